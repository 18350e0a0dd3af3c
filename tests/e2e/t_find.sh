#!/usr/bin/env bash
# Type to find: letters typed into the open tray menu that no entry has as hot
# key turn it into the Find window; Enter starts the first row through the
# shell with its parameters and directory; a hot-key letter still chooses its
# entry; the hot key pressed twice opens Find at the mouse with the entries
# started so far; Enter on a folder searches inside it; Esc and a click
# elsewhere close Find and the menu still pops up afterwards.
#   t_find.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init find "$1"
e2e_install

# root:  Another note, Ca&lc, Tools > (Notepad, Network > (Ping))
a="$E2E_APP/probes/a"
b="$E2E_APP/probes/b c"
s="$E2E_APP/shortcuts"
mkdir -p "$a" "$b" "$s/Tools/Network"
cp "$E2E_BIN/probe.exe" "$a/probe.exe"
cp "$E2E_BIN/probe.exe" "$b/probe.exe"
pa="$(e2e_winpath "$a")\\probe.exe"
pb="$(e2e_winpath "$b")\\probe.exe"
printf '%s\r\n' "^ExeLnk|$pa|another|probe.bmp|Another note" "^ExeLnk|$pa|calc|probe.bmp|Ca&lc" \
    "^Folder|Tools" >"$s/shortcuts.txt"
printf '%s\r\n' "^ExeLnk|$pb|notepad file.txt|probe.bmp|Notepad" "^Folder|Network" >"$s/Tools/shortcuts.txt"
printf '%s\r\n' "^ExeLnk|$pa|ping|probe.bmp|Ping" >"$s/Tools/Network/shortcuts.txt"
E2E_PROBE_LOG="$E2E_OUT/probe.log"
PIVORA_PROBE_LOG="$(e2e_winpath "$E2E_PROBE_LOG")"
export PIVORA_PROBE_LOG
# The program draws the menu itself, so that its own hot-key lookup is what
# the letters meet.
printf '[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\n' \
    >"$E2E_APP/pivora.ini"

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

find_text_is() {  # TEXT
    local h e
    h=$(find_window) || return 1
    e=$(e2e_driver child "$h" --class Edit | head -1) || return 1
    [ "$(e2e_driver gettext "$e" | tr -d '\r\n')" = "$1" ]
}
# The first letter goes to the menu, the rest once Find is shown: under Wine 8
# the first key pressed after Find has taken over from the menu is sometimes
# lost on its way from X.
type_into_menu() {  # FIRST REST...
    local first="$1"; shift
    e2e_key "$first"
    e2e_wait_for 5 "the Find window" find_shown || e2e_fail "typing into the menu opened no Find window"
    sleep 0.5
    e2e_key "$@"
}
n=0
expect_probe() {  # ARGUMENTS DIRECTORY WHAT
    n=$(( n + 1 ))
    e2e_wait_for 15 "probe run $n" e2e_probe_has $n || e2e_fail "$3 started nothing"
    local line
    line=$(sed -n "${n}p" "$E2E_PROBE_LOG" | tr -d '\r')
    e2e_log "$3: $line"
    case "$line" in
        *"probe.exe\" $1|cwd=$2" | *"probe.exe $1|cwd=$2") ;;
        *) e2e_fail "$3: expected arguments '$1' in '$2', got: $line" ;;
    esac
}
open_menu() {
    e2e_mouse 300 200
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "the hot key opened no menu ($1)"
}

# 1. "not" typed into the menu: Find at the menu's place, Notepad first.
open_menu "not"
e2e_menu_rect || e2e_fail "no menu rectangle"
menu_left=$MENU_LEFT menu_top=$MENU_TOP
type_into_menu n o t
e2e_wait_for 5 "the Find window" find_shown || e2e_fail "typing into the menu opened no Find window"
e2e_wait_for 5 "the typed text" find_text_is not || e2e_fail "Find does not hold the typed 'not'"
e2e_menu_closed || e2e_fail "the menu stayed open beside Find"
e2e_wait_for 5 "two rows" find_rows_are 2 || e2e_fail "expected the rows Notepad and Another note"
info=$(e2e_driver info "$(find_window)")
e2e_log "Find: $info (menu was at $menu_left,$menu_top)"
case "$info" in *" rect=$menu_left,$menu_top,"*) ;; *) e2e_fail "Find is not at the menu's place" ;; esac
e2e_settled_screenshot find-not
e2e_key Return
expect_probe "notepad file.txt" "$(e2e_winpath "$b")" "Enter on 'not'"
e2e_wait_for 5 "Find to close" find_hidden || e2e_fail "Find stayed open after the start"

# 2. A hot-key letter still chooses its entry.
e2e_pivora_settled
open_menu "the hot-key letter"
e2e_key l
expect_probe "calc" "$(e2e_winpath "$a")" "the hot-key letter l"
e2e_never 1 "a Find window" find_shown || e2e_fail "the hot-key letter opened Find"
e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the menu stayed open"

# 3. The hot key twice: Find at the mouse, the started entries newest first.
e2e_pivora_settled
e2e_mouse 420 260
e2e_focus_desktop
xdotool key --delay 120 ctrl+l ctrl+l
e2e_wait_for 5 "the Find window" find_shown || e2e_fail "the hot key twice opened no Find window"
e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the menu stayed open beside Find"
e2e_wait_for 5 "the recent rows" find_rows_are 2 || e2e_fail "expected Ca&lc and Notepad as recent rows"
info=$(e2e_driver info "$(find_window)")
case "$info" in *" rect=420,260,"*) ;; *) e2e_fail "Find is not at the mouse: $info" ;; esac
e2e_settled_screenshot find-hotkey-twice-recent
# Esc closes; the menu pops up again.
e2e_key Escape
e2e_wait_for 5 "Find to close" find_hidden || e2e_fail "Esc did not close Find"
e2e_pivora_settled
open_menu "after Esc"
e2e_menu_dismiss || e2e_fail "the menu did not close"

# 4. Enter on a folder searches inside it.
open_menu "the folder"
type_into_menu t o
e2e_wait_for 5 "the Find window" find_shown || e2e_fail "typing into the menu opened no Find window"
e2e_wait_for 5 "the typed text" find_text_is to || e2e_fail "Find does not hold 'to'"
e2e_key Return
e2e_wait_for 5 "the folder's rows" find_rows_are 2 || e2e_fail "Enter on Tools did not show its two entries"
e2e_wait_for 5 "the field emptied" find_text_is "" || e2e_fail "the field kept its text in the folder"
e2e_key p i
e2e_wait_for 5 "one row" find_rows_are 1 || e2e_fail "'pi' inside Tools did not find Ping alone"
e2e_settled_screenshot find-in-folder
e2e_key Return
expect_probe "ping" "$(e2e_winpath "$a")" "Ping from inside Tools"

# 5. A click elsewhere closes Find; the tray icon opens the menu again.
e2e_pivora_settled
open_menu "the click elsewhere"
e2e_key q
e2e_wait_for 5 "the Find window" find_shown || e2e_fail "typing into the menu opened no Find window"
e2e_wait_for 5 "no match" find_rows_are 1 || e2e_fail "expected the one row 'No entry matches'"
e2e_settled_screenshot find-no-match
e2e_key Return
e2e_never 1 "a start" e2e_probe_has $(( n + 1 )) || e2e_fail "Enter on 'No entry matches' started something"
e2e_click 20 20 1
e2e_wait_for 5 "Find to close" find_hidden || e2e_fail "a click elsewhere did not close Find"
e2e_pivora_settled
e2e_tray_icon_pos 1
e2e_click "$TRAY_X" "$TRAY_Y" 1
e2e_wait_for 5 "the tray menu" e2e_menu_open || e2e_fail "the tray icon opened no menu after Find"
e2e_screenshot menu-after-find
e2e_menu_dismiss || e2e_fail "the menu did not close"
[ "$(e2e_probe_count)" = 3 ] || e2e_fail "expected 3 probe runs, got $(e2e_probe_count)"
e2e_pass
