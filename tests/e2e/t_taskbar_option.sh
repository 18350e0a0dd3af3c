#!/usr/bin/env bash
# With the task-bar option off (TaskBar=0) the manager shows no button on the
# task bar, and is still an ordinary window: full caption with the program's
# icon, the title painted in the middle of it (screenshot). With the option on
# it has its button.
#   t_taskbar_option.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init taskbar_option "$1"
e2e_install
e2e_probe_store
printf '[General Settings]\r\nTaskBar=0\r\n[Misc Settings]\r\nWindowsDraw=0\r\n' >"$E2E_APP/pivora.ini"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

# Task-bar buttons shown: Wine's task bar keeps one button per window, the
# start button first.
buttons_shown() {
    local tray h n=0
    tray=$(e2e_driver find --class Shell_TrayWnd --visible --timeout 2000 | head -1) || return 1
    for h in $(e2e_driver child "$tray" --class Button); do
        e2e_driver info "$h" | grep -q ' visible=1 ' && n=$(( n + 1 ))
    done
    echo "$n"
}
form=$(kit_open "$KIT_MANAGER" TFormItems) || e2e_fail "Manage Items... did not show the manager"
e2e_driver info "$form"
e2e_settled_screenshot manager-without-button
[ "$(buttons_shown)" = 1 ] || e2e_fail "with TaskBar=0 the task bar shows $(buttons_shown) buttons"
e2e_driver post "$form" WM_CLOSE >/dev/null
e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager did not close"
e2e_pass
