#!/usr/bin/env bash
# A winmm.dll left beside pivora.exe is never loaded. Wine takes its built-in
# DLLs before any file; with winmm=n,b it searches as Windows does, and a
# program that loads winmm by its bare name takes the one beside it (shown
# first with a copy of the driver, so that this test can fail). Pivora loads
# winmm for the sound of a save, from the system directory only.
#   t_dll_planting.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/prefs_lib.sh"
e2e_init dll_planting "$1"
e2e_install
e2e_probe_store
[ -f "$E2E_BIN/plantdll.dll" ] || e2e_fail "no plantdll.dll in $E2E_BIN"
cp "$E2E_BIN/plantdll.dll" "$E2E_APP/winmm.dll"
mark="$E2E_APP/winmm.dll.loaded"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winmm=n,b"

# The planted DLL is what a careless program beside it gets.
cp "$E2E_BIN/pvdriver.exe" "$E2E_APP/pvdriver.exe"
e2e_log "a bare LoadLibrary beside it: $(e2e_wine "$E2E_APP/pvdriver.exe" loadlib winmm.dll || true)"
[ -f "$mark" ] || e2e_fail "even a bare LoadLibrary does not take the planted winmm.dll: this test would prove nothing"
rm -f "$mark" "$E2E_APP/pvdriver.exe"

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"
[ -f "$mark" ] && e2e_fail "the planted winmm.dll was loaded at start-up"

# Save in the manager plays a sound (and loads winmm for it).
form=$(kit_open "$KIT_MANAGER" TFormItems) || e2e_fail "Manage Items... did not show the manager"
status=$(e2e_driver child "$form" --class msctls_statusbar32 | head -1)
save=$(e2e_driver child "$form" --class Button --title "S&ave" | head -1)
[ -n "$status" ] && [ -n "$save" ] || e2e_fail "no status bar or Save button"
saved() { [ "$(e2e_driver status-text "$status")" = "Save succesful!" ]; }
e2e_driver post "$save" BM_CLICK >/dev/null
# A sound that cannot be played is logged, and the log named in a box.
box_or_saved() { saved || e2e_box_painted; }
e2e_wait_for 15 "the save and its sound" box_or_saved || e2e_fail "the save did not end: $(e2e_driver status-text "$status")"
if ! saved; then
    e2e_screenshot sound-box
    e2e_log "box: $(e2e_driver msgbox-answer '*' OK --timeout 5000 || true)"
    e2e_wait_for 10 "the save" saved || e2e_fail "save: $(e2e_driver status-text "$status")"
fi
e2e_screenshot saved
[ -f "$mark" ] && e2e_fail "the sound loaded the winmm.dll planted beside the program"
e2e_log "winmm came from the system directory"
e2e_driver post "$form" WM_CLOSE >/dev/null
e2e_pass
