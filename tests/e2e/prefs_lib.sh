# shellcheck shell=bash
# Helpers for the preferences and about-box tests (source after lib.sh).

RUN_KEY='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# kit_open "KEYS..." CLASS: walks the tray menu to a Kit entry with the
# keyboard (the menu opened with Ctrl+L), chooses it, waits for the window of
# CLASS to show and prints its handle.
kit_open() {
    local keys="$1" cls="$2"
    e2e_mouse 300 150
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for the walk $keys"
    # shellcheck disable=SC2086
    e2e_key $keys
    sleep 0.2
    e2e_key Return
    e2e_driver find --class "$cls" --visible --timeout 10000 | head -1
}
KIT_PREFERENCES="Up Up Right Down Down Down"
KIT_MANAGER="Up Up Right Down"
KIT_ABOUT="Up Up Right Down Down Down Down Down"
KIT_HELP="Up Up Right"
KIT_WEBSITE="Up Up Right Down Down Down Down"

# Sets R_LEFT R_TOP R_RIGHT R_BOTTOM to a window's screen rectangle.
win_rect() {
    local r
    r=$(e2e_driver info "$1" | sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p')
    IFS=, read -r R_LEFT R_TOP R_RIGHT R_BOTTOM <<<"$r"
    [ -n "$R_BOTTOM" ]
}

# Clicks the middle of a window.
click_window() {
    win_rect "$1" || e2e_fail "no rectangle for $1"
    e2e_click $(( (R_LEFT + R_RIGHT) / 2 )) $(( (R_TOP + R_BOTTOM) / 2 )) 1
}

# A click into the dialog on the help panel's heading, which is no control, as
# a user does before typing into it. (Under Wine 8 the keyboard reaches a window
# that a tray-menu choice opened only after a click into it; a click on the
# title bar would start moving the window with the pointer's next motion.)
click_into() {
    win_rect "$(child "$1" Static "Conext Sensitive Help")" || e2e_fail "no help heading in $1"
    e2e_click $(( (R_LEFT + R_RIGHT) / 2 )) $(( (R_TOP + R_BOTTOM) / 2 )) 1
    sleep 0.3
}

# child DIALOG CLASS TITLE: the handle of a child window.
child() { e2e_driver child "$1" --class "$2" --title "$3" | head -1; }

# The title (class and text) of the window with the keyboard focus in DIALOG's thread.
focus_title() { e2e_driver focus "$1" | sed -n 's/.* title="\(.*\)"$/\1/p'; }
focus_class() { e2e_driver focus "$1" | sed -n 's/.* class="\([^"]*\)".*/\1/p'; }
focus_is() { [ "$(focus_title "$1")" = "$2" ]; }
enabled() { e2e_driver info "$1" | grep -q ' enabled=1 '; }

# Opens the tray menu with a click on the icon, trying again when a click
# right after the last menu closed went nowhere.
open_tray_menu() {
    local i
    for i in 1 2 3; do
        mm_open && return 0
    done
    return 1
}
