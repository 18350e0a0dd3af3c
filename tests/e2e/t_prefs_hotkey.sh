#!/usr/bin/env bash
# The hot key set in the preferences: a combination another program holds
# (the driver holds Ctrl+Alt+O) is refused at Apply with the reason in the
# help panel and Ctrl+L stays; Ctrl+Alt+P typed into the field and applied
# is written to pivora.ini, opens the menu, and Ctrl+L no longer does.
#   t_prefs_hotkey.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init prefs_hotkey "$1"
e2e_install
e2e_probe_store
ini="$E2E_APP/pivora.ini"
HKM_SETHOTKEY=0x0401
HKM_GETHOTKEY=0x0402

# MOD_CONTROL | MOD_ALT = 3, VK 'O' = 0x4F
e2e_start "$E2E_BIN/pvdriver.exe" hotkey 3 0x4F --hold 600000
holder_log="$E2E_OUT/pvdriver.log"
e2e_wait_for 20 "the driver to hold Ctrl+Alt+O" grep -q registered "$holder_log" ||
    e2e_fail "the driver could not register Ctrl+Alt+O: $(cat "$holder_log")"

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"
e2e_pivora_settled
DLG=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "the preferences did not show"
FIELD=$(e2e_driver child "$DLG" --class msctls_hotkey32 | head -1)
[ -n "$FIELD" ] || e2e_fail "no hot key field on the page Control"
[ "$(e2e_driver send "$FIELD" $HKM_GETHOTKEY)" = $((0x024C)) ] || e2e_fail "the field does not show Ctrl+L"
help_says() {
    local e
    for e in $(e2e_driver child "$DLG" --class Edit); do
        e2e_driver gettext "$e" | grep -qF "$1" && return 0
    done
    return 1
}

# Held by the driver: refused, Ctrl+L stays.
e2e_driver send "$FIELD" $HKM_SETHOTKEY $((0x064F)) >/dev/null  # HOTKEYF_CONTROL | HOTKEYF_ALT, 'O'
[ "$(e2e_driver send "$FIELD" $HKM_GETHOTKEY)" = $((0x064F)) ] || e2e_fail "the field did not take Ctrl+Alt+O"
# The field's own notification of the change (the keys themselves would go to the driver).
FIELD_ID=1020
[ "$(e2e_driver child "$DLG" --id $FIELD_ID | head -1)" = "$FIELD" ] || e2e_fail "the field's id is not $FIELD_ID"
e2e_driver send "$DLG" WM_COMMAND $(( (0x0300 << 16) | FIELD_ID )) "$FIELD" >/dev/null  # EN_CHANGE
click_window "$(child "$DLG" Button Apply)"
e2e_wait_for 5 "the refusal" help_says "already held by another program" || e2e_fail "no refusal in the help panel"
e2e_screenshot hotkey-refused
grep -qi '^OpenPivoraHotkey=Ctrl+Alt+O' "$ini" 2>/dev/null && e2e_fail "the refused combination was written"

# Ctrl+Alt+P typed into the field, as a user does.
click_into "$DLG"
win_rect "$FIELD" || e2e_fail "no rectangle for the field"
e2e_click $(( (R_LEFT + R_RIGHT) / 2 )) $(( (R_TOP + R_BOTTOM) / 2 )) 1
e2e_wait_for 5 "the field's focus" e2e_driver focus "$DLG" >/dev/null
e2e_key ctrl+alt+p
field_is() { [ "$(e2e_driver send "$FIELD" $HKM_GETHOTKEY)" = "$1" ]; }
e2e_wait_for 5 "Ctrl+Alt+P in the field" field_is $((0x0650)) ||
    e2e_fail "the field holds $(e2e_driver send "$FIELD" $HKM_GETHOTKEY), not Ctrl+Alt+P"
e2e_screenshot hotkey-field
click_window "$(child "$DLG" Button Apply)"
ini_has() { tr -d '\r' <"$ini" | grep -qx "$1"; }
e2e_wait_for 10 "pivora.ini with the hot key" ini_has "OpenPivoraHotkey=Ctrl+Alt+P" ||
    e2e_fail "Apply did not write the hot key: $(grep -i hotkey "$ini" || true)"
click_window "$(child "$DLG" Button OK)"
e2e_wait_for 10 "the dialog to close" e2e_not e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "the dialog stayed"

# The new key opens the menu; Ctrl+L no longer does.
e2e_mouse 300 150
e2e_key ctrl+alt+p
e2e_wait_for 5 "the menu by Ctrl+Alt+P" e2e_menu_open || e2e_fail "Ctrl+Alt+P did not open the menu"
e2e_screenshot menu-by-new-key
e2e_menu_dismiss || e2e_fail "the menu did not close"
e2e_key ctrl+l
e2e_never 1 "a menu opened" e2e_menu_open || e2e_fail "Ctrl+L still opens the menu"
e2e_alive "$PV_PID" || e2e_fail "the program ended"
e2e_pass
