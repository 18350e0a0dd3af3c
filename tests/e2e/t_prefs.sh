#!/usr/bin/env bash
# The preferences dialog as a user meets it: opened from the Kit submenu on page
# "Control" with the start-with-Windows box focused and its help text shown;
# page "Visuals" focuses the Windows-draw box; unchecking it enables the font
# lists at once; a font and a size picked with the keyboard and Apply: the tray
# menu is drawn in that font (screenshot), pivora.ini holds it and the Run value
# follows the start-with-Windows box. OK with the manager window open leaves the
# manager shown and the dialog closed; Cancel (Esc) writes nothing and the
# dialog shows the stored settings when it opens again.
#   t_prefs.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init prefs "$1"
e2e_install
e2e_probe_store
ini="$E2E_APP/pivora.ini"
e2e_wine reg delete "$RUN_KEY" /v Kelvory-Pivora /f >/dev/null 2>&1 || true

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"
open_tray_menu || e2e_fail "the tray menu did not open"
e2e_screenshot menu-windows-draws
e2e_menu_dismiss || e2e_fail "the menu stayed open"

# ---- opened: page "Control", the start-with-Windows box focused, its help shown
dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "Preferences... did not show the dialog"
tabs=$(e2e_driver child "$dlg" --class SysTabControl32 | head -1)
help=$(e2e_driver child "$dlg" --class Edit | tail -1)  # the second edit: the help text
e2e_settled_screenshot prefs-control
[ "$(e2e_driver send "$tabs" TCM_GETCURSEL)" = 0 ] || e2e_fail "the dialog did not open on page Control"
focus_is "$dlg" "Always show Kelvory Pivora in Systray" ||
    e2e_fail "focus on [$(focus_title "$dlg")], not the start-with-Windows box"
printf '%b\n' 'If checked program will register itself to windows startup registry. This means the program in the future always will place itself in the systray when the computer starts ready to be used. \r\n\r\nYou can at any time uncheck this setting and the program will un-register itself again.' \
    >"$E2E_OUT/help-expected-systray.txt"
e2e_driver gettext "$help" >"$E2E_OUT/help-shown-systray.txt"
cmp -s "$E2E_OUT/help-expected-systray.txt" "$E2E_OUT/help-shown-systray.txt" ||
    e2e_fail "help text on opening: $(head -c 120 "$E2E_OUT/help-shown-systray.txt")"

# The keyboard: space checks the start-with-Windows box, Tab moves on with its help.
click_into "$dlg"
systray=$(child "$dlg" Button "Always show Kelvory Pivora in Systray")
e2e_key space
e2e_wait_for 5 "the box checked" test "$(e2e_driver send "$systray" BM_GETCHECK)" = 1 ||
    e2e_fail "space did not check the start-with-Windows box"
e2e_key Tab
e2e_wait_for 5 "the focus on the task-bar box" focus_is "$dlg" "Always* show Kelvory Pivora in TaskBar" ||
    e2e_fail "Tab moved the focus to [$(focus_title "$dlg")]"
e2e_driver gettext "$help" | grep -q '^If checked the program will be shown in the taskbar when - and only when' ||
    e2e_fail "no task-bar help after Tab"

# ---- page "Visuals": the Windows-draw box focused, its help shown
win_rect "$tabs"
e2e_click $(( R_LEFT + 85 )) $(( R_TOP + 10 )) 1  # the second tab
e2e_wait_for 5 "page Visuals" test "$(e2e_driver send "$tabs" TCM_GETCURSEL)" = 1 || e2e_fail "no page Visuals"
e2e_wait_for 5 "the focus on the Windows-draw box" focus_is "$dlg" "Let Windows default draw all controls." ||
    e2e_fail "page Visuals focused [$(focus_title "$dlg")]"
e2e_driver gettext "$help" | grep -q "^If checked all fonts in program will be drawn by Windows meaning it'll choose" ||
    e2e_fail "no Windows-draw help on page Visuals"
windraw=$(child "$dlg" Button "Let Windows default draw all controls.")
names=$(e2e_driver child "$dlg" --class ComboBox | head -1)
sizes=$(e2e_driver child "$dlg" --class ComboBox | tail -1)
default=$(child "$dlg" Button Default)
e2e_settled_screenshot prefs-visuals-windows-draws
if enabled "$names"; then e2e_fail "the font list is enabled while Windows draws"; fi

# Unchecked: the font controls at once, before any Apply.
e2e_key space
e2e_wait_for 5 "the font list enabled" enabled "$names" || e2e_fail "unchecking did not enable the font list"
for h in "$sizes" "$default"; do
    enabled "$h" || e2e_fail "unchecking did not enable $(e2e_driver info "$h")"
done

# A font and a size, with the keyboard: Home, then Down to the wanted entry.
# (The DejaVu faces come with scripts/setup.sh.)
e2e_driver cbitems "$names" | tr -d '\r' >"$E2E_OUT/fonts.txt"
font=""
for f in "DejaVu Serif" "Courier New" "DejaVu Sans Mono" "Tahoma"; do
    grep -qxF "$f" "$E2E_OUT/fonts.txt" && { font="$f"; break; }
done
[ -n "$font" ] || e2e_fail "none of the wanted fonts installed: $(tr '\n' ',' <"$E2E_OUT/fonts.txt")"
index=$(( $(grep -nxF "$font" "$E2E_OUT/fonts.txt" | head -1 | cut -d: -f1) - 1 ))
e2e_log "picking $font (entry $index of $(wc -l <"$E2E_OUT/fonts.txt"))"
e2e_key Tab
e2e_wait_for 5 "the focus on the font list" test "$(focus_class "$dlg")" = ComboBox || e2e_fail "Tab did not reach the font list"
e2e_key Home
if [ "$index" -gt 0 ]; then
    # shellcheck disable=SC2046
    xdotool key --delay 40 $(yes Down | head -"$index")
fi
e2e_wait_for 5 "$font selected" test "$(e2e_driver gettext "$names")" = "$font" ||
    e2e_fail "the font list shows [$(e2e_driver gettext "$names")]"
e2e_key Tab Home Down Down Down Down Down Down  # "6" .. "12"
e2e_wait_for 5 "size 12" test "$(e2e_driver gettext "$sizes")" = 12 ||
    e2e_fail "the size list shows [$(e2e_driver gettext "$sizes")]"
e2e_screenshot prefs-visuals-font-picked

# ---- Apply: saved, read back, in force; the dialog stays open
click_window "$(child "$dlg" Button Apply)"
ini_has() { grep -q "^$1"$'\r'"\?$" "$ini" 2>/dev/null; }
e2e_wait_for 10 "pivora.ini with the font" ini_has "FontName=$font" || e2e_fail "Apply did not write FontName=$font"
ini_has "FontSize=12" || e2e_fail "Apply did not write FontSize=12"
ini_has "WindowsDraw=0" || e2e_fail "Apply did not write WindowsDraw=0"
cp "$ini" "$E2E_OUT/pivora-after-apply.ini"
run=$(e2e_reg_query "$RUN_KEY" Kelvory-Pivora) || e2e_fail "no Run value after Apply with the box checked"
[ "$run" = "\"$(e2e_winpath "$E2E_EXE")\"" ] || e2e_fail "Run value [$run]"
e2e_wait_for 5 "the dialog shown again" e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "Apply closed the dialog"
e2e_settled_screenshot prefs-after-apply

# The tray menu in the new font (look at the screenshots).
open_tray_menu || e2e_fail "the tray menu did not open after Apply"
e2e_screenshot menu-after-apply
mm_click_from_bottom 2
e2e_settled_screenshot menu-kit-after-apply
e2e_menu_dismiss || e2e_fail "the menus stayed open"  # a click on the empty desktop, clear of the dialog

# ---- OK with the manager open: manager shown, dialog closed; the Run value follows the box
items=$(kit_open "$KIT_MANAGER" TFormItems) || e2e_fail "Manage Items... did not show the manager"
# The manager covers the dialog; choosing Preferences... again brings it to the front.
dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "the dialog went away"
sleep 0.3
win_rect "$tabs"
e2e_click $(( R_LEFT + 30 )) $(( R_TOP + 10 )) 1  # back to page "Control"
e2e_wait_for 5 "page Control" test "$(e2e_driver send "$tabs" TCM_GETCURSEL)" = 0 || e2e_fail "no page Control"
click_window "$systray"
e2e_wait_for 5 "the box cleared" test "$(e2e_driver send "$systray" BM_GETCHECK)" = 0 ||
    e2e_fail "a click did not clear the start-with-Windows box"
click_window "$(child "$dlg" Button OK)"
e2e_wait_for 10 "the dialog to close" e2e_not e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "OK left the dialog open"
e2e_never 2 "the dialog came back" e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "the dialog was shown again after OK"
e2e_driver find --class TFormItems --visible --timeout 0 >/dev/null || e2e_fail "OK did not show the manager again"
if e2e_reg_query "$RUN_KEY" Kelvory-Pivora >/dev/null; then e2e_fail "the Run value stayed with the box cleared"; fi
e2e_settled_screenshot ok-manager-stays
e2e_driver post "$items" WM_CLOSE >/dev/null
e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager did not close"

# ---- Cancel (Esc) writes nothing; the dialog shows the stored settings again
cp "$ini" "$E2E_OUT/pivora-before-cancel.ini"
dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "Preferences... did not show the dialog again"
click_into "$dlg"
win_rect "$tabs"
e2e_click $(( R_LEFT + 85 )) $(( R_TOP + 10 )) 1
e2e_wait_for 5 "the focus on the Windows-draw box" focus_is "$dlg" "Let Windows default draw all controls." ||
    e2e_fail "page Visuals focused [$(focus_title "$dlg")]"
[ "$(e2e_driver send "$windraw" BM_GETCHECK)" = 0 ] || e2e_fail "the Windows-draw box is checked although stored off"
e2e_key space Tab Home
e2e_wait_for 5 "the box checked" test "$(e2e_driver send "$windraw" BM_GETCHECK)" = 1 || e2e_fail "space did not check it"
e2e_key Escape
e2e_wait_for 10 "the dialog to close" e2e_not e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "Esc did not close the dialog"
cmp -s "$ini" "$E2E_OUT/pivora-before-cancel.ini" || e2e_fail "Cancel changed pivora.ini"
if e2e_reg_query "$RUN_KEY" Kelvory-Pivora >/dev/null; then e2e_fail "Cancel wrote a Run value"; fi
[ "$(e2e_driver send "$windraw" BM_GETCHECK)" = 0 ] || e2e_fail "after Cancel the Windows-draw box is still checked"
[ "$(e2e_driver gettext "$names")" = "$font" ] || e2e_fail "after Cancel the font list shows [$(e2e_driver gettext "$names")]"
dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "Preferences... did not show the dialog a third time"
e2e_settled_screenshot prefs-after-cancel
e2e_driver post "$dlg" WM_CLOSE >/dev/null
e2e_wait_for 10 "the dialog to close" e2e_not e2e_driver find --class TFormConfig --visible --timeout 0 ||
    e2e_fail "the close box did not close the dialog"

mm_close_program menu-at-close
grep -q "^FontName=$font"$'\r' "$ini" || e2e_fail "Close did not keep FontName=$font"
e2e_pass
