#!/usr/bin/env bash
# The installer and the uninstaller as a user clicks through them: a folder
# with blanks typed on the directory page; the data-location page (screenshot)
# offers each user's own directory first, "beside the program" and start with
# Windows are chosen; then glc.ini, the Run value and the uninstall key follow
# the choices. The uninstaller, confirmed, says where the data stays and
# leaves it there.
#   t_installer_pages.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/installer_lib.sh"
e2e_init installer_pages "$1"
inst_pick_installer
inst_user_dirs
inst_win='C:\Pivora Apps\Kelvory Pivora'
inst="$(inst_linux_path "$inst_win")"
exe_win="$inst_win\\pivora.exe"
inst_clean_prefix 'C:\Pivora Apps'

# The wizard's caption gains a blank at the end once its pages are up; that of
# its message boxes has none.
SETUP_TITLE="Kelvory Pivora 1.46 Setup"
UNINST_TITLE="Kelvory Pivora 1.46 Uninstall"

# Prints the handle of the wizard window whose caption starts with TITLE.
wizard_window() {  # TITLE
    local h
    for h in $(e2e_driver find --class '#32770' --visible --timeout 0); do
        if e2e_driver info "$h" | grep -qF "title=\"$1"; then echo "$h"; return 0; fi
    done
    return 1
}
wait_wizard() {  # TITLE
    e2e_wait_for 30 "the window $1" wizard_window "$1" && wizard_window "$1"
}

# Waits for a control of the wizard's current page; prints its handle.
page_control() {  # WIZARD-HWND CLASS TITLE
    e2e_driver child "$1" --class "$2" --title "$3" --visible --timeout 20000 | head -1
}
# Presses the wizard's default button (Next, Install, Finish and Close all have
# id 1). By handle: the pages change the window's title.
press_next() {  # WIZARD-HWND
    local b
    b=$(e2e_driver child "$1" --class Button --id 1 --visible --timeout 20000 | head -1) || e2e_fail "no button to go on"
    e2e_driver post "$1" WM_COMMAND 1 "$(printf '%d' "$b")" || e2e_fail "the button could not be pressed"
}
checked() { [ "$(e2e_driver send "$1" BM_GETCHECK)" = 1 ]; }

e2e_start "$INST_SETUP"
setup_pid=$E2E_LAST_PID
wiz=$(wait_wizard "$SETUP_TITLE") ||
    e2e_fail "the installer window did not open"
page_control "$wiz" Button '&Next >' >/dev/null || e2e_fail "no welcome page"
e2e_screenshot page-welcome
press_next "$wiz"

# Directory page: the default under Program Files, replaced by a folder of our own.
edit=$(e2e_driver child "$wiz" --class Edit --visible --timeout 20000 | head -1) || e2e_fail "no directory page"
default_dir=$(e2e_driver gettext "$edit")
[ "$default_dir" = "$INST_PF\\Kelvory Pivora" ] || e2e_fail "default folder [$default_dir], expected [$INST_PF\\Kelvory Pivora]"
e2e_driver settext "$edit" "$inst_win"
press_next "$wiz"

# Data-location page.
user_radio=$(page_control "$wiz" Button "&Each user's own directory: Documents\\Kelvory\\Pivora") ||
    e2e_fail "no data-location page"
all_radio=$(page_control "$wiz" Button '&Beside the program, in the installation folder') || e2e_fail "no choice 'beside the program'"
auto_box=$(page_control "$wiz" Button '&Start Pivora with Windows (for the current user; the preferences change it later)') ||
    e2e_fail "no start-with-Windows box"
e2e_screen_settled || true
e2e_screenshot page-data-location
checked "$user_radio" || e2e_fail "each user's own directory is not the first choice"
checked "$all_radio" && e2e_fail "both choices are checked"
checked "$auto_box" && e2e_fail "start with Windows is checked before anyone asked for it"
e2e_driver send "$all_radio" BM_CLICK >/dev/null
e2e_driver send "$auto_box" BM_CLICK >/dev/null
checked "$all_radio" || e2e_fail "the click did not choose 'beside the program'"
checked "$user_radio" && e2e_fail "each user's directory stayed checked"
e2e_screenshot page-data-location-chosen
press_next "$wiz"

# Installation, then the finish page.
page_control "$wiz" Button '&Finish' >/dev/null || e2e_fail "no finish page"
e2e_screenshot page-finish
press_next "$wiz"
e2e_wait_exit "$setup_pid" 20 || e2e_fail "Finish did not end the installer"

printf '[Misc]\r\nDataAccess=all\r\n' >"$E2E_OUT/expected-glc.ini"
cmp "$E2E_OUT/expected-glc.ini" "$inst/glc.ini" || e2e_fail "glc.ini is not DataAccess=all"
[ ! -e "$inst/pivora.ini" ] || e2e_fail "a settings file was made for data beside the program"
cmp -s "$INST_PROGRAM" "$inst/pivora.exe" || e2e_fail "the installed pivora.exe is not $INST_PROGRAM"
got=$(e2e_reg_query "$INST_RUN_KEY" Kelvory-Pivora) || e2e_fail "no Run value although the box was checked"
[ "$got" = "\"$exe_win\"" ] || e2e_fail "Run value is [$got], expected [\"$exe_win\"]"
inst_check_uninstall_key "$inst_win"
inst_shortcut_names "$exe_win" || e2e_fail "no Start menu shortcut to $exe_win"

# Data of the user's beside the program.
printf '[Font Settings]\r\nFontName=Tahoma\r\n' >"$inst/pivora.ini"
mkdir -p "$inst/shortcuts"
printf '^NorSep|\r\n' >"$inst/shortcuts/shortcuts.txt"
inst_snapshot_data "$inst" >"$E2E_OUT/data-before.txt"

# The uninstaller: confirm, read what it says, close.
e2e_start "$inst/uninstall.exe"
uwiz=$(wait_wizard "$UNINST_TITLE") ||
    e2e_fail "the uninstaller window did not open"
page_control "$uwiz" Button '&Uninstall' >/dev/null || e2e_fail "no confirmation page"
e2e_screenshot uninstall-confirm
press_next "$uwiz"
e2e_driver find --class '#32770' --title "$UNINST_TITLE" --visible --timeout 30000 >/dev/null &&
    e2e_screenshot uninstall-message
{ e2e_driver msgbox-answer "$UNINST_TITLE" OK --timeout 30000 | tr -d '\r' >"$E2E_OUT/uninstall-message.txt"; } ||
    e2e_fail "the uninstaller said nothing at the end"
cat "$E2E_OUT/uninstall-message.txt"
grep -qF "stay in the program folder:" "$E2E_OUT/uninstall-message.txt" || e2e_fail "the message does not say where the data stays"
grep -qxF "$inst_win" "$E2E_OUT/uninstall-message.txt" || e2e_fail "the message does not name $inst_win"
page_control "$uwiz" Button '&Close' >/dev/null || e2e_fail "no last page"
e2e_screenshot uninstall-done
press_next "$uwiz"
e2e_wait_for 20 "the uninstaller to end" e2e_not e2e_driver pids Un.exe || e2e_fail "Close did not end the uninstaller"

inst_snapshot_data "$inst" | diff "$E2E_OUT/data-before.txt" - || e2e_fail "the uninstaller changed the data"
inst_listing "$inst" >"$E2E_OUT/left.txt"
printf '%s\n' pivora.ini shortcuts shortcuts/shortcuts.txt | diff - "$E2E_OUT/left.txt" ||
    e2e_fail "more than the data is left in $inst"
if e2e_reg_query "$INST_RUN_KEY" Kelvory-Pivora >/dev/null; then e2e_fail "the Run value is still there"; fi
inst_key_present && e2e_fail "the uninstall key is still there"
[ ! -e "$INST_SHORTCUT" ] || e2e_fail "the shortcut is still there"

inst_clean_prefix 'C:\Pivora Apps'
e2e_pass
