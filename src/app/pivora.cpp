// Program entry of pivora.exe: five hidden windows, the single-instance test,
// the start-up sequence, then the message loop. No arguments are read.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/InitFinit_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL: none from the program's own folder.
    pv::RestrictDllSearchToSystem();
    // Shell links, the folder browser and long-path parsing go through COM.
    const HRESULT comInit = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    int exitCode = 0;
    {
        // The whole run; large enough that it belongs on the heap.
        auto program = std::make_unique<pv::PivoraProgram>();
        exitCode = program->Main();
    }
    if (SUCCEEDED(comInit)) CoUninitialize();
    return exitCode;
}
