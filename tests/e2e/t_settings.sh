#!/usr/bin/env bash
# Data location and settings, end to end: glc.ini asks for the per-user
# directory (" User ", blanks and capitals), an older per-user location under
# the application data exists, so the first start copies it to Documents\Kelvory\
# Pivora and asks whether to remove the old one (answered No, then, on a start
# with the new directory incomplete, Yes). Close writes pivora.ini there and the
# quoted Run value; a save with the start-with-Windows box cleared deletes it.
#   t_settings.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
e2e_init settings "$1"
e2e_install

RUN_KEY='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

user_dir=$(ls -d "$E2E_PREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)
docs="${user_dir}Documents"
old="${user_dir}AppData/Roaming/Kelvory/Pivora"
new="$docs/Kelvory/Pivora"
[ -d "$docs" ] || e2e_fail "no Documents folder in the prefix ($docs)"
rm -rf "$docs/Kelvory" "${user_dir}AppData/Roaming/Kelvory"

printf '[Misc]\r\nDataAccess= User \r\n' >"$E2E_APP/glc.ini"
# The program directory's own settings must not be the ones copied.
printf '[Font Settings]\r\nFontName=Arial\r\n' >"$E2E_APP/pivora.ini"
mkdir -p "$old/shortcuts"
printf '[Font Settings]\r\nFontName=Tahoma\r\nFontSize=9\r\nWindowsDraw=0\r\n[Misc Settings]\r\nDrawMenuBar=1\r\n' \
    >"$old/pivora.ini"
printf '^Folder|Old folder\r\n' >"$old/shortcuts/shortcuts.txt"
mkdir -p "$old/shortcuts/Old folder"
printf '^NorSep|\r\n' >"$old/shortcuts/Old folder/shortcuts.txt"

# A Run value from before: the box starts checked, so Close writes it back.
e2e_wine reg add "$RUN_KEY" /v Kelvory-Pivora /d 'C:\old\pivora.exe' /f >/dev/null

# ---- first start: copy and question, answered No
e2e_start_pivora
e2e_driver msgbox-answer Confirm No --timeout 30000 >"$E2E_OUT/question1.txt" ||
    e2e_fail "no migration question"
mm_wait_ready 30 || e2e_fail "the tray icon never reacted"
[ -d "$new/shortcuts/Old folder" ] || e2e_fail "the item store was not copied to $new"
cmp -s "$old/pivora.ini" "$new/pivora.ini" || e2e_fail "pivora.ini was not copied from the old location"
[ -f "$old/pivora.ini" ] || e2e_fail "No removed the old location"
mm_close_program menu-first-start

ini="$new/pivora.ini"
cp "$ini" "$E2E_OUT/pivora-after-close.ini"
cat "$ini"
grep -q $'^FontName=Tahoma\r$' "$ini" || e2e_fail "FontName not written back as read"
grep -q $'^FontSize=9\r$' "$ini" || e2e_fail "FontSize not written"
grep -q $'^OpenPivoraHotkey=Ctrl+L\r$' "$ini" || e2e_fail "hot key not written as Ctrl+L"
grep -q $'^DrawMenuBar=1\r$' "$ini" || e2e_fail "DrawMenuBar not written back"
# The legacy key became the new one.
awk '/^\[/{s=$0} /^WindowsDraw=/{print s}' "$ini" | tr -d '\r' >"$E2E_OUT/windowsdraw-sections.txt"
[ "$(cat "$E2E_OUT/windowsdraw-sections.txt")" = "[Misc Settings]" ] ||
    e2e_fail "WindowsDraw in $(cat "$E2E_OUT/windowsdraw-sections.txt" | tr '\n' ' ')"
grep -q $'^WindowsDraw=0\r$' "$ini" || e2e_fail "the legacy WindowsDraw value was lost"

run=$(e2e_reg_query "$RUN_KEY" Kelvory-Pivora) || e2e_fail "no Run value after Close with the box checked"
e2e_log "Run value: $run"
want="\"$(e2e_winpath "$E2E_EXE")\""
[ "$run" = "$want" ] || e2e_fail "Run value is [$run], expected [$want]"

# ---- second start: nothing copied, nothing asked
printf '[Font Settings]\r\nFontName=Courier New\r\n' >"$old/pivora.ini"
e2e_wine reg delete "$RUN_KEY" /v Kelvory-Pivora /f >/dev/null
e2e_start_pivora
mm_wait_ready 30 || e2e_fail "the tray icon never reacted"
if e2e_driver find --title Confirm --visible --timeout 0 >/dev/null; then
    e2e_fail "the question came again although the new directory is complete"
fi
mm_close_program menu-second-start
grep -q $'^FontName=Tahoma\r$' "$ini" || e2e_fail "the second start did not use $new"
if e2e_reg_query "$RUN_KEY" Kelvory-Pivora >/dev/null; then
    e2e_fail "a Run value exists after Close with the box cleared"
fi

# ---- third start: the new directory lacks its settings, so the question comes again; Yes
rm -f "$ini"
e2e_start_pivora
e2e_driver msgbox-answer Confirm Yes --timeout 30000 >"$E2E_OUT/question2.txt" ||
    e2e_fail "no migration question with the settings file missing"
mm_wait_ready 30 || e2e_fail "the tray icon never reacted"
[ ! -e "$old" ] || e2e_fail "Yes left the old location in place"
grep -q $'^FontName=Courier New\r$' "$ini" || e2e_fail "the settings file was not copied again"
mm_close_program menu-third-start
e2e_pass
