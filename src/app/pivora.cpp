// Program entry of pivora.exe: five hidden windows, the single-instance test,
// the start-up sequence, then the message loop. No arguments are read.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <memory>

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace pv;

    // Shell links, the folder browser and long-path parsing go through COM.
    const HRESULT comInit = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    Application::ProcessMessages();
    Application::Title() = ProductTitle;

    // Created in this order; the first is the main window. Creating FormGeneral
    // places the tray icon (ignoring the mouse) and registers the hot key.
    auto formGeneral = std::make_unique<TFormGeneral>();
    auto formShortCuts = std::make_unique<TFormShortCuts>();
    auto formItems = std::make_unique<TFormItems>();
    auto formConfig = std::make_unique<TFormConfig>();
    auto formAbout = std::make_unique<TFormAbout>();
    Forms = AppForms{formGeneral.get(), formShortCuts.get(), formItems.get(), formConfig.get(), formAbout.get()};

    int exitCode = 0;
    try {
        if (!formGeneral->Create() || !formShortCuts->Create() || !formItems->Create() || !formConfig->Create() ||
            !formAbout->Create()) {
            exitCode = 1;
        } else {
            CreateAppSettings();
            Application::ProcessMessages();

            StartFlag = 1;
            CheckSingleInstance(formGeneral->Handle());
            if (StartFlag == 1) {
                WinAppSteps steps;
                StartupSequence(steps);
            }
            exitCode = Application::Run();
        }
    } catch (const std::exception& e) {
        // Start-up's own steps run outside any window procedure, so nothing
        // routed them to the application's handler: report and end here.
        MessageBoxA(nullptr, e.what(), Application::Title().c_str(), MB_OK | MB_ICONERROR);
        exitCode = 1;
    }

    // Windows go in reverse order; FormGeneral last takes the tray icon and the
    // hot key with it.
    DestroyAppSettings();
    formAbout.reset();
    formConfig.reset();
    formItems.reset();
    formShortCuts.reset();
    formGeneral.reset();
    Forms = AppForms{};
    ReleaseInstanceMapping();
    if (SUCCEEDED(comInit)) CoUninitialize();
    return exitCode;
}
