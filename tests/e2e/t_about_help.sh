#!/usr/bin/env bash
# The about box and the help page. About: the version line, the memory text
# and the gauge are filled at once on opening; the text shows the machine's
# whole memory (beyond 4 GiB) with the system's thousands separator; while the
# box is open the timer rewrites the text every second, after closing it does
# not. Help: the dialog's Help button and "Help File" in the Kit submenu open
# help.html beside the program through the shell, here a stand-in registered
# for ".html" in the test prefix that records what it was given, and "Visit
# Website" the maker's web address (a stand-in for "https"). The program is
# started from a working directory of its own, as from a shortcut.
#   t_about_help.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init about_help "$1"
e2e_install
[ -f "$E2E_BIN/help.html" ] || e2e_fail "no help.html beside pivora.exe in $E2E_BIN"
cp "$E2E_BIN/help.html" "$E2E_APP/"
e2e_probe_store

# ---- the about box
elsewhere="$E2E_OUT/elsewhere"
mkdir -p "$elsewhere"
cd "$elsewhere"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"
# The box is made when first shown: before, there is nothing of it to fill.
e2e_not e2e_driver find --class TFormAbout --timeout 0 >/dev/null ||
    e2e_fail "the about box exists before it was asked for"

# The whole memory as the system reports it (Wine takes it from the kernel, a
# few KB from /proc/meminfo's figure), beyond what a 32-bit count holds on most
# machines today, its thousands grouped by commas.
total_kb=$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)
e2e_log "MemTotal: $total_kb kB"
memory_text() { e2e_driver gettext "$mem" | tr -d '\r'; }
valid_text() {
    local t kb
    t=$(memory_text)
    grep -qE '^[0-9]{1,3}% used of the total memory at [0-9]{1,3}(,[0-9]{3})* KB$' <<<"$t" || return 1
    kb=$(sed -E 's/.* at ([0-9,]+) KB$/\1/; s/,//g' <<<"$t")
    [ $(( kb > total_kb ? kb - total_kb : total_kb - kb )) -le $(( total_kb / 1000 )) ]
}

# The gauge read between two readings of the text: the timer may rewrite both
# between two calls (the load moves by the second on a busy machine), so the
# gauge must show the load the text named just before or just after it.
gauge_follows_text() {
    local before pos after
    before=$(memory_text)
    pos=$(e2e_driver send "$gauge" PBM_GETPOS)
    after=$(memory_text)
    echo "gauge $pos between [$before] and [$after]" >>"$E2E_OUT/gauge.log"
    [ "$pos" = "${before%%%*}" ] || [ "$pos" = "${after%%%*}" ]
}

about=$(kit_open "$KIT_ABOUT" TFormAbout) || e2e_fail "About... did not show the about box"
# Its statics in order: logo, version, distributor, bevel, address, memory text.
mem=$(e2e_driver child "$about" --class Static | sed -n 6p)
gauge=$(e2e_driver child "$about" --class msctls_progress32 | head -1)
first=$(memory_text)
e2e_log "on opening: $first"
valid_text || e2e_fail "the memory text on opening reads [$first]"
e2e_wait_for 15 "one reading of the gauge and the text" gauge_follows_text ||
    e2e_fail "the gauge stands at $(e2e_driver send "$gauge" PBM_GETPOS), the text says [$(memory_text)]"
e2e_driver child "$about" --class Static --title "Kelvory Pivora version 1.46 for Windows" >/dev/null ||
    e2e_fail "no version line"
e2e_driver child "$about" --class Static --title "https://www.kelvory.example/pivora" >/dev/null ||
    e2e_fail "no web address"
e2e_settled_screenshot about

# Refreshed every second while open: a text put there is overwritten, and the
# gauge follows the load the text names.
e2e_driver settext "$mem" "stale" >/dev/null
e2e_wait_for 3 "the timer to rewrite the text" valid_text || e2e_fail "no refresh within 3 s: [$(memory_text)]"
second=$(memory_text)
e2e_log "rewritten: $second"
e2e_wait_for 15 "one reading of the gauge and the text" gauge_follows_text ||
    e2e_fail "the gauge does not follow the text: $(e2e_driver send "$gauge" PBM_GETPOS) against [$(memory_text)]"

# Closed: no refresh until it is shown again, then one at once.
e2e_driver post "$about" WM_CLOSE >/dev/null
e2e_wait_for 10 "the about box to close" e2e_not e2e_driver find --class TFormAbout --visible --timeout 0 ||
    e2e_fail "the about box did not close"
e2e_driver settext "$mem" "stale after close" >/dev/null
e2e_never 3 "a refresh of the closed box" e2e_not test "$(memory_text)" = "stale after close" ||
    e2e_fail "the closed box was refreshed: [$(memory_text)]"
about=$(kit_open "$KIT_ABOUT" TFormAbout) || e2e_fail "About... did not show the about box again"
valid_text || e2e_fail "reopened, the memory text reads [$(memory_text)]"
e2e_driver post "$about" WM_CLOSE >/dev/null
e2e_wait_for 10 "the about box to close" e2e_not e2e_driver find --class TFormAbout --visible --timeout 0 ||
    e2e_fail "the about box did not close"

# ---- help.html through the shell: a stand-in for ".html" records what it got
# (In the class root itself: Wine 8 does not look into the user's own classes.)
classes='HKCR'
probe_win="$E2E_PROBE_DIR_A\\probe.exe"
e2e_wine reg add "$classes\\.html" /ve /d PivoraTestHtml /f >/dev/null
e2e_wine reg add "$classes\\PivoraTestHtml\\shell\\open\\command" /ve /d "\"$probe_win\" \"%1\"" /f >/dev/null
unregister() {
    e2e_wine reg delete "$classes\\.html" /f >/dev/null 2>&1 || true
    e2e_wine reg delete "$classes\\PivoraTestHtml" /f >/dev/null 2>&1 || true
}
help_file="$(e2e_winpath "$E2E_APP")\\help.html"
opened() {  # N: the N-th probe run was given help.html
    e2e_probe_has "$1" && sed -n "${1}p" "$E2E_PROBE_LOG" | grep -qF "$help_file"
}

dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || { unregister; e2e_fail "Preferences... did not show the dialog"; }
click_window "$(child "$dlg" Button Help)"
e2e_wait_for 15 "the stand-in to get help.html" opened 1 ||
    { unregister; e2e_fail "Help opened nothing: $(cat "$E2E_PROBE_LOG" 2>/dev/null)"; }
e2e_log "Help: $(sed -n 1p "$E2E_PROBE_LOG" | tr -d '\r')"
e2e_driver post "$dlg" WM_CLOSE >/dev/null

# "Help File", the Kit submenu's first entry.
e2e_mouse 300 150
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || { unregister; e2e_fail "no menu"; }
e2e_key $KIT_HELP
sleep 0.2
e2e_key Return
e2e_wait_for 15 "the stand-in to get help.html again" opened 2 ||
    { unregister; e2e_fail "Help File opened nothing: $(cat "$E2E_PROBE_LOG")"; }
e2e_log "Help File: $(sed -n 2p "$E2E_PROBE_LOG" | tr -d '\r')"
unregister

# "Visit Website": the maker's address, through the handler of "https" (the
# prefix's own is put back afterwards).
https_key='HKCR\https\shell\open\command'
https_before=$(e2e_reg_query "$https_key" '' || true)
e2e_wine reg add "$https_key" /ve /d "\"$probe_win\" \"%1\"" /f >/dev/null
restore_https() {
    if [ -n "$https_before" ]; then
        e2e_wine reg add "$https_key" /ve /d "$https_before" /f >/dev/null
    else
        e2e_wine reg delete "$https_key" /f >/dev/null 2>&1 || true
    fi
}
visited() { e2e_probe_has 3 && sed -n 3p "$E2E_PROBE_LOG" | grep -qF "https://www.kelvory.example/pivora"; }
e2e_mouse 300 150
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || { restore_https; e2e_fail "no menu"; }
e2e_key $KIT_WEBSITE
sleep 0.2
e2e_key Return
e2e_wait_for 15 "the stand-in to get the web address" visited ||
    { restore_https; e2e_fail "Visit Website opened nothing: $(cat "$E2E_PROBE_LOG")"; }
e2e_log "Visit Website: $(sed -n 3p "$E2E_PROBE_LOG" | tr -d '\r')"
restore_https

# Without the page the user is told, with the full path.
rm "$E2E_APP/help.html"
dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "Preferences... did not show the dialog"
click_window "$(child "$dlg" Button Help)"
e2e_driver find --class '#32770' --title "Kelvory Pivora" --visible --timeout 15000 >/dev/null ||
    e2e_fail "no message for a missing help page"
e2e_settled_screenshot help-missing
box=$(e2e_driver msgbox-answer '*' OK --timeout 15000) || e2e_fail "no message for a missing help page"
e2e_log "missing page: $box"
grep -qF "text=\"$help_file\" not found." <<<"$box" || e2e_fail "the message reads: $box"
e2e_driver post "$dlg" WM_CLOSE >/dev/null

mm_close_program
e2e_pass
