#!/usr/bin/env bash
# The program at 96 and 192 dpi, the plain size and twice it (E2E_DPIS="96 144
# 192" adds the size between; LogPixels set in a prefix of the test's own),
# light and dark: the tray menu and its Kit submenu, the manager, the
# preferences dialog and the about box, and (dark) the context menu of an
# entry and the Find window, each kept as a screenshot. Measured in the
# screenshots: the height of a row's picture (a solid square item icon), and
# in dark mode the background and text colours of the menu and of Find. Through the driver:
# no static text, check box or radio button of the three windows is wider than
# its control, at each DPI and each font size the preferences offer.
#   t_dpi.sh BUILD_DIR
set -euo pipefail
E2E_PREFIX_NAME=e2e-wineprefix-dpi
# Room for the manager at 192 dpi.
E2E_SCREEN=2000x1400x24
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init dpi "$1"
e2e_install
e2e_probe_store

THEME_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
# The smallest, the default and the largest size the preferences offer
# (E2E_FONT_SIZES="6 7 8 9 10 11 12" checks every one).
SIZES="${E2E_FONT_SIZES:-6 8 12}"
RESULTS="$E2E_OUT/results.txt"
: >"$RESULTS"

# An entry whose program is gone shows its saved 16 x 16 bitmap: a solid red
# square (white would be transparent), so that its height can be measured.
convert -size 16x16 xc:'#C02020' -type TrueColor "BMP3:$E2E_APP/shortcuts/solid.bmp"
printf '%s\r\n' '^ExeLnk|Z:\nowhere\solid.exe||solid.bmp|Solid square' >>"$E2E_APP/shortcuts/shortcuts.txt"

reg_quiet() { e2e_wine reg add "$@" /f >/dev/null 2>&1; }

# A new Wine session at DPI: the registry written with no program running,
# then the server, the desktop and the keep-alive started again.
dpi_session() {
    local dpi="$1"
    pv_server_stop "$E2E_PREFIX"
    reg_quiet 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
    reg_quiet 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi"
    reg_quiet 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 2000x1400
    reg_quiet "$THEME_KEY" /v AppsUseLightTheme /t REG_DWORD /d 1
    pv_server_stop "$E2E_PREFIX"
    pv_server_start "$E2E_PREFIX" "$E2E_BIN/pvdriver.exe" hold
    e2e_track "$(cat "$E2E_PREFIX/.pivora-keepalive.pid")"
}

row_height() { echo $(( (19 * $1 + 48) / 96 )); }

# Height and width of the box holding the pixels of COLOUR in PNG (fuzz 8%).
colour_box() {
    convert "$1" -fuzz 8% -fill black +opaque "$2" -fill white -opaque "$2" -trim -format '%w %h' info: 2>/dev/null
}

# The menu's area of a screenshot, inside its frame.
crop_menu() {  # SHOT OUT
    convert "$1" -crop "$((MENU_R - MENU_L - 2))x$((MENU_B - MENU_T - 2))+$((MENU_L + 1))+$((MENU_T + 1))" +repage "$2"
}

# The most common colour of a PNG, as RRGGBB.
main_colour() {
    convert "$1" -format %c histogram:info:- | sort -rn | sed -n '1s/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p'
}

# The colour of the most contrast with BG among a PNG's colours, as RRGGBB.
text_colour() {  # PNG BG
    convert "$1" -format %c histogram:info:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' |
        python3 -c '
import sys
def lum(h):
    c = [int(h[i:i+2], 16) / 255 for i in (0, 2, 4)]
    c = [x / 12.92 if x <= 0.03928 else ((x + 0.055) / 1.055) ** 2.4 for x in c]
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
bg = lum(sys.argv[1])
best = max((l.strip() for l in sys.stdin if l.strip()), key=lambda h: abs(lum(h) - bg))
print(best)' "$2"
}

contrast() {  # RRGGBB RRGGBB
    python3 -c '
import sys
def lum(h):
    c = [int(h[i:i+2], 16) / 255 for i in (0, 2, 4)]
    c = [x / 12.92 if x <= 0.03928 else ((x + 0.055) / 1.055) ** 2.4 for x in c]
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
a, b = sorted((lum(sys.argv[1]), lum(sys.argv[2])))
print("%.2f" % ((b + 0.05) / (a + 0.05)))' "$1" "$2"
}

# Opens the tray menu and its Kit submenu (second entry from the bottom) with
# clicks; shoots both as NAME and NAME-kit.
shoot_menu() {  # NAME DPI
    local name="$1" rh
    rh=$(row_height "$2")
    open_tray_menu || e2e_fail "$name: the tray menu did not open"
    e2e_screenshot "$name"
    MENU_SHOT_RECT="$MENU_L $MENU_T $MENU_R $MENU_B"
    e2e_click $((MENU_L + 3 * rh)) $((MENU_B - 3 - rh - rh / 2)) 1
    e2e_wait_for 5 "the Kit submenu" two_menus_open || e2e_fail "$name: the Kit submenu did not open"
    e2e_settled_screenshot "$name-kit"
    mm_close || e2e_fail "$name: the menus stayed open"
    e2e_pivora_settled || true
    read -r MENU_L MENU_T MENU_R MENU_B <<<"$MENU_SHOT_RECT"
}
menus_open() { e2e_driver list "$PV_WINPID" | grep '#32768' | grep -c ' visible=1 ' || true; }
two_menus_open() { [ "$(menus_open)" -ge 2 ]; }

ini_size_is() { grep -q "^FontSize=$1" "$E2E_APP/pivora.ini"; }

clipped_total=0
checked_total=0
for dpi in ${E2E_DPIS:-96 192}; do
    e2e_log "---- $dpi dpi"
    dpi_session "$dpi"
    printf '[Misc Settings]\r\nWindowsDraw=0\r\nDrawMenuBar=1\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\n' \
        >"$E2E_APP/pivora.ini"
    e2e_start_pivora
    mm_wait_ready 40 || e2e_fail "$dpi: the tray icon never reacted"
    tray=$(e2e_driver find --class PivoraSystrayWindow --timeout 2000 | head -1)
    got=$(e2e_driver dpi "$tray")
    e2e_log "$dpi: $got"
    grep -q "window=$dpi " <<<"$got " || e2e_fail "$dpi: the program runs at $got, not at $dpi dpi"

    # ---- light: the picture of the first row
    shoot_menu "menu-$dpi-light" "$dpi"
    crop_menu "$E2E_OUT/menu-$dpi-light.png" "$E2E_OUT/.menu.png"
    read -r pw ph <<<"$(colour_box "$E2E_OUT/.menu.png" '#C02020')"
    want=$(( (16 * dpi + 48) / 96 ))
    echo "dpi=$dpi picture=${pw}x${ph} want=$want" | tee -a "$RESULTS"
    [ "$ph" = "$want" ] || e2e_fail "$dpi: the row's picture is $ph high, not $want"
    light_bg=$(main_colour "$E2E_OUT/.menu.png")

    # ---- dark, set while the program runs: it shows at the next pop-up
    reg_quiet "$THEME_KEY" /v AppsUseLightTheme /t REG_DWORD /d 0
    shoot_menu "menu-$dpi-dark" "$dpi"
    crop_menu "$E2E_OUT/menu-$dpi-dark.png" "$E2E_OUT/.menu.png"
    bg=$(main_colour "$E2E_OUT/.menu.png")
    fg=$(text_colour "$E2E_OUT/.menu.png" "$bg")
    ratio=$(contrast "$bg" "$fg")
    echo "dpi=$dpi light-background=#$light_bg dark-background=#$bg text=#$fg contrast=$ratio" | tee -a "$RESULTS"
    [ "${bg,,}" = 2b2b2b ] || e2e_fail "$dpi: the dark menu's background is #$bg"
    python3 -c "import sys; sys.exit(0 if float('$ratio') >= 4.5 else 1)" || e2e_fail "$dpi: text contrast $ratio"
    read -r pw ph <<<"$(colour_box "$E2E_OUT/.menu.png" '#C02020')"
    [ "$ph" = "$want" ] || e2e_fail "$dpi: the dark row's picture is $ph high"

    # ---- the context menu of an entry (the right button on Probe one), dark:
    # five rows and a separator at the menu's DPI
    open_tray_menu || e2e_fail "$dpi: the tray menu did not open for the context menu"
    rh=$(row_height "$dpi")
    e2e_mouse $((MENU_L + 3 * rh)) $((MENU_T + 3 + rh / 2))
    e2e_mouse $((MENU_L + 3 * rh + 5)) $((MENU_T + 3 + rh / 2))
    sleep 0.3
    xdotool click 3
    e2e_wait_for 5 "the context menu" two_menus_open || e2e_fail "$dpi: the right button opened no context menu"
    e2e_settled_screenshot "entry-menu-$dpi-dark"
    cm_h=$(e2e_driver list "$PV_WINPID" | grep 'visible=1 .*class="#32768"' |
        sed -n 's/.* size=[0-9]*x\([0-9]*\) .*/\1/p' | sort -n | head -1)
    cm_rows=$((5 * rh + (8 * dpi + 48) / 96))
    echo "dpi=$dpi context-menu-height=$cm_h rows-and-separator=$cm_rows" | tee -a "$RESULTS"
    [ "$cm_h" -ge "$cm_rows" ] && [ "$cm_h" -le $((cm_rows + 16)) ] ||
        e2e_fail "$dpi: the context menu is $cm_h high, for rows and a separator of $cm_rows"
    mm_close || e2e_fail "$dpi: the context menu stayed open"
    e2e_pivora_settled || true

    # ---- Find, dark: letters typed into the open menu; the window at the
    # menu's DPI (its width, the row's picture) and in its colours
    e2e_mouse 300 200
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "$dpi: the hot key opened no menu for Find"
    e2e_key s
    e2e_wait_for 5 "the Find window" find_shown || e2e_fail "$dpi: a letter typed into the menu opened no Find"
    sleep 0.5
    e2e_key o l
    e2e_wait_for 5 "Find's one row" find_rows_are 1 || e2e_fail "$dpi: 'sol' did not find Solid square alone"
    e2e_settled_screenshot "find-$dpi-dark"
    read -r fl ft fr fb <<<"$(e2e_driver info "$(find_window)" | sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' | tr ',' ' ')"
    convert "$E2E_OUT/find-$dpi-dark.png" -crop "$((fr - fl - 2))x$((fb - ft - 2))+$((fl + 1))+$((ft + 1))" +repage \
        "$E2E_OUT/.find.png"
    read -r pw ph <<<"$(colour_box "$E2E_OUT/.find.png" '#C02020')"
    bg=$(main_colour "$E2E_OUT/.find.png")
    fg=$(text_colour "$E2E_OUT/.find.png" "$bg")
    ratio=$(contrast "$bg" "$fg")
    echo "dpi=$dpi find-width=$((fr - fl)) find-picture=${pw}x${ph} find-background=#$bg text=#$fg contrast=$ratio" |
        tee -a "$RESULTS"
    # 400 at 96 dpi inside a one-pixel border; the row selected (#4A4A4A) or not
    [ $((fr - fl)) = $(( (400 * dpi + 48) / 96 + 2 )) ] || e2e_fail "$dpi: Find is $((fr - fl)) wide"
    [ "$ph" = "$want" ] || e2e_fail "$dpi: Find's picture is $ph high, not $want"
    case "${bg,,}" in 2b2b2b | 4a4a4a) ;; *) e2e_fail "$dpi: Find's background is #$bg, not the dark menu's" ;; esac
    python3 -c "import sys; sys.exit(0 if float('$ratio') >= 4.5 else 1)" || e2e_fail "$dpi: Find's text contrast $ratio"
    e2e_key Escape
    e2e_wait_for 5 "Find to close" find_hidden || e2e_fail "$dpi: Esc left Find open"
    reg_quiet "$THEME_KEY" /v AppsUseLightTheme /t REG_DWORD /d 1

    # ---- the windows
    items=$(kit_open "$KIT_MANAGER" TFormItems) || e2e_fail "$dpi: no manager"
    e2e_driver tree-select "$(e2e_driver child "$items" --class SysTreeView32 | head -1)" "Probe one" >/dev/null || true
    e2e_settled_screenshot "manager-$dpi"
    about=$(kit_open "$KIT_ABOUT" TFormAbout) || e2e_fail "$dpi: no about box"
    e2e_settled_screenshot "about-$dpi"
    dlg=$(kit_open "$KIT_PREFERENCES" TFormConfig) || e2e_fail "$dpi: no preferences"
    e2e_settled_screenshot "prefs-$dpi"
    sizes=$(e2e_driver child "$dlg" --id 1010 | head -1)
    apply=$(child "$dlg" Button Apply)
    offered=$(e2e_driver cbitems "$sizes")
    for size in $SIZES; do
        index=$(tr -d '\r' <<<"$offered" | grep -nx "$size" | cut -d: -f1)
        [ -n "$index" ] || e2e_fail "no font size $size offered"
        e2e_driver pick "$sizes" $((index - 1)) >/dev/null || e2e_fail "$dpi: size $size could not be picked"
        e2e_driver send "$apply" BM_CLICK >/dev/null || e2e_fail "$dpi: Apply could not be clicked"
        e2e_wait_for 10 "FontSize=$size" ini_size_is "$size" || e2e_fail "$dpi: Apply did not take size $size"
        out=$(e2e_driver textfit "$dlg" "$items" "$about" --font Verdana "$size" || true)
        printf '%s\n' "$out" | sed "s/^/dpi=$dpi size=$size /" >>"$E2E_OUT/textfit.txt"
        for w in "prefs:$dlg" "manager:$items" "about:$about"; do
            c=$(sed -n "s/^window=${w#*:} checked=\([0-9]*\) clipped=\([0-9]*\).*/\1 \2/p" <<<"$out" | tr -d '\r')
            nc="" ncl=""
            read -r nc ncl <<<"$c" || true
            [ -n "$nc" ] && [ "$nc" -gt 0 ] || e2e_fail "$dpi/$size: textfit measured nothing in ${w%%:*}"
            checked_total=$((checked_total + nc))
            clipped_total=$((clipped_total + ncl))
            echo "dpi=$dpi size=$size ${w%%:*} checked=$nc clipped=$ncl" >>"$RESULTS"
        done
        e2e_log "$dpi: size $size checked"
        if [ "$size" = 12 ]; then
            for w in "about:$about" "manager:$items" "prefs:$dlg"; do
                e2e_driver foreground "${w#*:}" >/dev/null || true
                e2e_settled_screenshot "${w%%:*}-$dpi-size12"
            done
        fi
    done
    e2e_log "$dpi: $(grep -c "^dpi=$dpi size" "$RESULTS") window checks"
    for w in "$dlg" "$about" "$items"; do e2e_driver post "$w" 0x0010 >/dev/null || true; done
    # "Close", the last entry of the tray menu.
    open_tray_menu || e2e_fail "$dpi: the tray menu did not open at the end"
    e2e_click $((MENU_L + 3 * $(row_height "$dpi"))) $((MENU_B - 3 - $(row_height "$dpi") / 2)) 1
    e2e_wait_exit "$PV_PID" 20 || e2e_fail "$dpi: Close did not end the program"
done

echo "textfit: checked=$checked_total clipped=$clipped_total" | tee -a "$RESULTS"
grep CLIPPED "$E2E_OUT/textfit.txt" && e2e_fail "texts cut: $clipped_total (see textfit.txt)"
ls "$E2E_OUT"/*.png
e2e_pass
