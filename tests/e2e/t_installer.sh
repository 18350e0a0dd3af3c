#!/usr/bin/env bash
# The installer, silently, one data location per run: installs, checks the
# files, glc.ini, the uninstall key, the shortcut and the Run value; starts the
# installed program and finds its data where glc.ini says; a second installer
# and the uninstaller, started while it runs, refuse and change nothing (the
# question of the installer is looked at with "user", that of the uninstaller
# with "all"); after Close, uninstalls
# silently: the program is gone, the data stays byte for byte.
#   t_installer.sh BUILD_DIR user|all [product|build]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/installer_lib.sh"
mode="$2"
which="${3:-build}"
case "$mode" in user|all) ;; *) echo "usage: t_installer.sh BUILD_DIR user|all [product|build]" >&2; exit 2 ;; esac
e2e_init "installer_$mode$([ "$which" = product ] && echo _product)" "$1"
inst_pick_installer "$which"
inst_user_dirs

if [ "$mode" = user ]; then
    # The default folder, with its blank; the start-with-Windows value asked for.
    inst_win="$INST_PF\\Kelvory Pivora"
    args=(/S /DATA=user /AUTOSTART=1)
else
    inst_win='C:\PivoraTest\Pivora'
    args=(/S /DATA=all "/D=$inst_win")
fi
inst="$(inst_linux_path "$inst_win")"
inst_clean_prefix 'C:\PivoraTest'
exe_win="$inst_win\\pivora.exe"

# ---- silent installation
inst_run 120 "$INST_SETUP_WIN" "${args[@]}"
[ "$INST_EXIT" = 0 ] || e2e_fail "the installer ended with $INST_EXIT"
[ -d "$inst" ] || e2e_fail "nothing installed in $inst"
inst_listing "$inst" >"$E2E_OUT/installed.txt"
cat "$E2E_OUT/installed.txt"
{
    echo glc.ini
    [ -n "$INST_HELP" ] && echo help.html
    echo pivora.exe
    # per-user: the empty settings file the first start copies from
    [ "$mode" = user ] && echo pivora.ini
    echo uninstall.exe
} >"$E2E_OUT/expected-installed.txt"
diff "$E2E_OUT/expected-installed.txt" "$E2E_OUT/installed.txt" || e2e_fail "unexpected files in $inst"
cmp -s "$INST_PROGRAM" "$inst/pivora.exe" ||
    e2e_fail "the installed pivora.exe is not $INST_PROGRAM (scripts/package.sh makes the installer from it)"
[ -z "$INST_HELP" ] || cmp -s "$INST_HELP" "$inst/help.html" || e2e_fail "help.html differs from $INST_HELP"
printf '[Misc]\r\nDataAccess=%s\r\n' "$mode" >"$E2E_OUT/expected-glc.ini"
cmp "$E2E_OUT/expected-glc.ini" "$inst/glc.ini" || e2e_fail "glc.ini is not DataAccess=$mode"
[ "$mode" = all ] || [ ! -s "$inst/pivora.ini" ] || e2e_fail "the installed pivora.ini is not empty"

inst_check_uninstall_key "$inst_win"
inst_shortcut_names "$exe_win" || e2e_fail "no Start menu shortcut to $exe_win ($INST_SHORTCUT)"

run_value() { e2e_reg_query "$INST_RUN_KEY" Kelvory-Pivora; }
if [ "$mode" = user ]; then
    got=$(run_value) || e2e_fail "no Run value after /AUTOSTART=1"
    [ "$got" = "\"$exe_win\"" ] || e2e_fail "Run value is [$got], expected [\"$exe_win\"]"
else
    if run_value >/dev/null; then e2e_fail "a Run value without /AUTOSTART=1"; fi
fi

# ---- the installed program: tray icon, data where glc.ini says
E2E_EXE="$inst/pivora.exe"
e2e_start_pivora
mm_wait_ready 40 || e2e_fail "the tray icon never reacted"
e2e_screenshot installed-running
if [ "$mode" = user ]; then
    data="$INST_USERDATA"
    [ -d "$data/shortcuts" ] || e2e_fail "no item store in the per-user directory $data"
    [ ! -e "$inst/shortcuts" ] || e2e_fail "an item store was made in the program folder"
else
    data="$inst"
    [ -d "$data/shortcuts" ] || e2e_fail "no item store beside the program"
    [ ! -e "$INST_DOCS/Kelvory" ] || e2e_fail "a per-user directory was made"
fi

# ---- while it runs, neither installer nor uninstaller touch anything
other=$([ "$mode" = user ] && echo all || echo user)
inst_snapshot "$inst" >"$E2E_OUT/before-refusals.txt"
inst_run 60 "$INST_SETUP_WIN" /S "/DATA=$other" "/D=$inst_win"
[ "$INST_EXIT" = 2 ] || e2e_fail "a silent installer ran over the running program (exit $INST_EXIT, expected 2)"
inst_uninstall "$inst" /S
inst_snapshot "$inst" | diff "$E2E_OUT/before-refusals.txt" - || e2e_fail "the program folder changed"
inst_key_present || e2e_fail "the uninstall key went"
# Not silent, they ask to close it first; Cancel ends them.
if [ "$mode" = user ]; then
    inst_expect_running_question "$INST_SETUP" "Kelvory Pivora 1.46 Setup" "$(basename "$INST_SETUP")"
else
    inst_expect_running_question "$inst/uninstall.exe" "Kelvory Pivora 1.46 Uninstall" Un.exe
fi
inst_snapshot "$inst" | diff "$E2E_OUT/before-refusals.txt" - || e2e_fail "the program folder changed"
inst_key_present || e2e_fail "the uninstall key went"

# ---- Close: the settings go to the data directory, the Run value stays as it was
mm_close_program menu-before-close
[ -f "$data/pivora.ini" ] || e2e_fail "Close wrote no pivora.ini in $data"
if [ "$mode" = user ]; then
    [ ! -s "$inst/pivora.ini" ] || e2e_fail "settings were written into the program folder"
    got=$(run_value) || e2e_fail "Close removed the Run value the installer wrote"
    [ "$got" = "\"$exe_win\"" ] || e2e_fail "after Close the Run value is [$got], expected [\"$exe_win\"]"
else
    if run_value >/dev/null; then e2e_fail "Close wrote a Run value"; fi
fi

# Some data of the user's own, then a picture of all of it.
printf '^NorSep|\r\n^SpeSep|Mine\r\n' >"$data/shortcuts/shortcuts.txt"
mkdir -p "$data/shortcuts/Tools"
printf '^NorSep|\r\n' >"$data/shortcuts/Tools/shortcuts.txt"
# A store an earlier save replaced, kept as a backup.
mkdir -p "$data/backups/2024-01-01 10-00-00"
printf '^SpeSep|Before\r\n' >"$data/backups/2024-01-01 10-00-00/shortcuts.txt"
printf '2024-01-01 10:00:00 an earlier error\r\n' >"$data/errorlog.txt"
inst_snapshot_data "$data" >"$E2E_OUT/data-before.txt"
cat "$E2E_OUT/data-before.txt"

# ---- silent uninstallation
inst_uninstall "$inst" /S
inst_snapshot_data "$data" >"$E2E_OUT/data-after.txt"
diff "$E2E_OUT/data-before.txt" "$E2E_OUT/data-after.txt" || e2e_fail "the uninstaller changed the data in $data"
if [ "$mode" = user ]; then
    [ ! -e "$inst" ] || { inst_listing "$inst"; e2e_fail "the program folder is still there"; }
else
    # Only the data is left.
    for f in pivora.exe glc.ini uninstall.exe help.html; do
        [ ! -e "$inst/$f" ] || e2e_fail "$f is still there"
    done
fi
[ ! -e "$INST_SHORTCUT" ] || e2e_fail "the shortcut is still there"
if run_value >/dev/null; then e2e_fail "the Run value is still there"; fi
inst_key_present && e2e_fail "the uninstall key is still there"

inst_clean_prefix 'C:\PivoraTest'
e2e_pass
