# shellcheck shell=bash
# Helpers of the installer and portable-zip tests (source after lib.sh, call
# after e2e_init).

INST_UNINST_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvory-Pivora'
INST_RUN_KEY='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
INST_VERSION=1.46

# The user's folders in the test prefix: sets INST_DOCS (Documents, Linux path)
# and INST_USERDATA (the per-user data directory Documents\Kelvory\Pivora).
inst_user_dirs() {
    local user_dir
    user_dir=$(ls -d "$E2E_PREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)
    INST_DOCS="${user_dir}Documents"
    [ -d "$INST_DOCS" ] || e2e_fail "no Documents folder in the prefix ($INST_DOCS)"
    INST_USERDATA="$INST_DOCS/Kelvory/Pivora"
    INST_SHORTCUT="$E2E_PREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelvory Pivora.lnk"
}

# Linux path of a Windows path on drive C: of the test prefix.
inst_linux_path() {
    local p="${1#[Cc]:\\}"
    printf '%s/drive_c/%s' "$E2E_PREFIX" "$(tr '\\' '/' <<<"$p")"
}

# The prefix is shared with the other tests and kept between runs: no earlier
# installation, uninstall key, Run value, shortcut or per-user data may remain.
# $@ extra Windows folders to remove.
inst_clean_prefix() {
    local d
    for d in 'C:\Program Files\Kelvory Pivora' 'C:\Program Files (x86)\Kelvory Pivora' "$@"; do
        rm -rf "$(inst_linux_path "$d")"
    done
    rm -rf "$INST_DOCS/Kelvory" "$INST_SHORTCUT"
    e2e_wine reg delete "HKLM\\$INST_UNINST_KEY" /f >/dev/null 2>&1 || true
    e2e_wine reg delete "HKLM\\Software\\WOW6432Node\\${INST_UNINST_KEY#Software\\}" /f >/dev/null 2>&1 || true
    e2e_wine reg delete "$INST_RUN_KEY" /v Kelvory-Pivora /f >/dev/null 2>&1 || true
}

# Picks the installer for this build and sets INST_SETUP (Linux path),
# INST_SETUP_WIN, INST_PF (the Program Files folder it installs into by
# default) and INST_KEY (where its uninstall key lands, for reg).
#   $1 "product": the 32-bit product installer build/dist/pivora-1.46-setup.exe,
#      also in a 64-bit build (needs wine32: skipped without it);
#   "build" (default): the product installer in a 32-bit build, the 64-bit
#      variant made now from this build's pivora.exe in a 64-bit build.
inst_pick_installer() {
    local which="${1:-build}" product="$E2E_REPO/build/dist/pivora-$INST_VERSION-setup.exe"
    if [ "$PV_WINE_BITS" = 32 ] || [ "$which" = product ]; then
        if [ "$PV_WINE_BITS" = 64 ] && ! pv_wine32_works; then
            e2e_skip "the 32-bit installer needs wine32, which cannot run on this machine"
        fi
        [ -f "$product" ] || e2e_fail "no $product (scripts/package.sh makes it)"
        INST_SETUP="$product"
        INST_PROGRAM="$E2E_REPO/build/win32/bin/pivora.exe"
        if [ "$PV_WINE_BITS" = 64 ]; then
            INST_PF='C:\Program Files (x86)'
            INST_KEY="HKLM\\Software\\WOW6432Node\\${INST_UNINST_KEY#Software\\}"
        else
            INST_PF='C:\Program Files'
            INST_KEY="HKLM\\$INST_UNINST_KEY"
        fi
    else
        inst_package_amd64
        INST_SETUP="$E2E_OUT/dist/pivora-$INST_VERSION-setup-x64.exe"
        INST_PROGRAM="$E2E_BIN/pivora.exe"
        INST_PF='C:\Program Files'
        INST_KEY="HKLM\\$INST_UNINST_KEY"
    fi
    INST_SETUP_WIN="$(e2e_winpath "$INST_SETUP")"
    inst_find_help "$INST_PROGRAM"
    e2e_log "installer $INST_SETUP ($(pv_pe_bits "$INST_SETUP")-bit), program $INST_PROGRAM"
}

# The 64-bit variant of the installer and the zip, from this build's program,
# in $E2E_OUT/dist.
inst_package_amd64() {
    bash "$E2E_REPO/scripts/package.sh" --amd64 --exe "$E2E_BIN/pivora.exe" --out "$E2E_OUT/dist" \
        >"$E2E_OUT/package.log" 2>&1 || { cat "$E2E_OUT/package.log"; e2e_fail "the 64-bit test packages were not made"; }
}

# help.html goes along when there is one, found the way the packaging finds
# it: sets INST_HELP (empty without one). $1 the packaged pivora.exe.
inst_find_help() {
    local h
    INST_HELP=""
    for h in "$(dirname "$1")/help.html" "$E2E_REPO/res/help.html"; do
        if [ -f "$h" ]; then INST_HELP="$h"; return 0; fi
    done
}

# Starts a wizard (no /S) while the program runs and expects its question to
# close the program first; answers Cancel and waits for the end.
#   $1 Linux path of the program, $2 caption of its message boxes,
#   $3 name of the process to wait for
inst_expect_running_question() {
    e2e_start "$1"
    e2e_driver find --class '#32770' --title "$2" --visible --timeout 30000 >/dev/null ||
        e2e_fail "no question while the program runs"
    e2e_screenshot running-question
    e2e_driver msgbox-answer "$2" Cancel --timeout 30000 | tr -d '\r' >"$E2E_OUT/running-question.txt" ||
        e2e_fail "the question could not be answered"
    cat "$E2E_OUT/running-question.txt"
    grep -qx 'text=Kelvory Pivora is running.' "$E2E_OUT/running-question.txt" || e2e_fail "the question does not say that Pivora runs"
    grep -q 'choose Close in its tray menu' "$E2E_OUT/running-question.txt" || e2e_fail "the question does not say how to close it"
    e2e_wait_for 20 "$3 to end" e2e_not e2e_driver pids "$3" || e2e_fail "Cancel did not end $3"
}

# Runs a Windows program to its end through the driver (bounded); sets
# INST_EXIT to its exit code.
inst_run() {  # TIMEOUT-SECONDS WINDOWS-EXE ARGS...
    local secs="$1" out; shift
    out=$(e2e_driver run --timeout "$((secs * 1000))" "$@") || { echo "$out"; e2e_fail "$(basename "$1") did not end within ${secs}s"; }
    INST_EXIT=$(sed -n 's/^exit=//p' <<<"$out")
    e2e_log "$* -> exit $INST_EXIT after $(sed -n 's/^elapsed_ms=//p' <<<"$out") ms"
}

# Names of the files and folders below a directory, one a line, sorted.
inst_listing() {
    (cd "$1" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
}

# Every file below a directory with its checksum, and every folder.
inst_snapshot() {
    (cd "$1" && find . -mindepth 1 -type d | LC_ALL=C sort &&
        find . -type f -exec sha256sum {} + | LC_ALL=C sort -k2)
}

# The same without the files the installer puts there and the program's copy
# of the store for a quick start: what is the user's.
inst_snapshot_data() {
    inst_snapshot "$1" | grep -vE '  \./(pivora\.exe|glc\.ini|help\.html|uninstall\.exe|shortcuts\.cache)$'
}

# Checks the values of the uninstall key. $1 installation folder (Windows).
inst_check_uninstall_key() {
    local dir="$1" v want
    while IFS='|' read -r v want; do
        got=$(e2e_reg_query "$INST_KEY" "$v") || e2e_fail "no $v in $INST_KEY"
        [ "$got" = "$want" ] || e2e_fail "$v is [$got], expected [$want]"
    done <<EOF
DisplayName|Kelvory Pivora
DisplayVersion|1.46
Publisher|Kelvory
UninstallString|"$dir\\uninstall.exe"
DisplayIcon|$dir\\pivora.exe,0
InstallLocation|$dir
EOF
}

# True while the uninstall key exists.
inst_key_present() { e2e_wine reg query "$INST_KEY" >/dev/null 2>&1; }

# The shortcut's target, as far as the link file names it.
inst_shortcut_names() {  # TARGET (Windows path)
    local names
    [ -f "$INST_SHORTCUT" ] || return 1
    names=$(strings -a "$INST_SHORTCUT"; strings -a -el "$INST_SHORTCUT")
    grep -qixF "$1" <<<"$names"
}

# Starts the uninstaller the way Apps & features does and waits until it has
# ended: it copies itself to the temporary folder as Un.exe, starts that copy
# and returns at once. $1 installation folder (Linux), then its arguments.
inst_uninstall() {
    local dir="$1"; shift
    e2e_wine "$dir/uninstall.exe" "$@" >/dev/null || true
    e2e_wait_for 60 "the uninstaller to end" e2e_not e2e_driver pids Un.exe || e2e_fail "the uninstaller did not end"
}
