#include "app/InitFinit_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdint>
#include <cstring>
#include <exception>

#include "menu/Launching.h"
#include "support/UkvSysExceptions.h"

namespace pv {

const char* const kInstanceMappingName = "{0C462EFB-02B9-4314-80A4-DA95904F9B9F}";

// ---------------------------------------------------------------- application

bool Application::DialogMessage(MSG& msg) {
    for (HWND dialog : dialogWindows_)
        if (msg.hwnd && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) && IsDialogMessageA(dialog, &msg))
            return true;
    return false;
}

void Application::ProcessMessages() {
    MSG msg;
    while (!terminated_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            exitCode_ = static_cast<int>(msg.wParam);
            break;
        }
        if (DialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int Application::Run() {
    MSG msg;
    while (!terminated_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) exitCode_ = static_cast<int>(msg.wParam);
            terminated_ = true;
            break;
        }
        if (DialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return exitCode_;
}

// ---------------------------------------------------------------- single instance

bool SingleInstance::Claim(HWND appWindow, const char* mappingName) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, mappingName);
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        if (mapping) CloseHandle(mapping);
        return false;
    }
    if (!mapping) throw EOSError(error, WinSystem().ErrorText(error));

    Release();
    mapping_ = mapping;
    view_ = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4);
    if (view_) {
        const uint32_t value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(appWindow));
        std::memcpy(view_, &value, sizeof value);
    }
    return true;
}

void SingleInstance::Release() {
    if (view_) UnmapViewOfFile(view_);
    view_ = nullptr;
    if (mapping_) CloseHandle(mapping_);
    mapping_ = nullptr;
}

// ---------------------------------------------------------------- the windows for the settings

AppForm& WinAppWindows::Form(AppWindow w) {
    switch (w) {
        case AppWindow::FormConfig:
            return p_.FormConfig;
        case AppWindow::FormItems:
            return p_.FormItems;
        case AppWindow::FormAbout:
            break;
    }
    return p_.FormAbout;
}

bool WinAppWindows::IsVisible(AppWindow w) { return IsWindowVisible(Form(w).Handle()) != FALSE; }

void WinAppWindows::Hide(AppWindow w) { ShowWindow(Form(w).Handle(), SW_HIDE); }

void WinAppWindows::Show(AppWindow w) { Form(w).ShowAgain(); }

std::string WinAppWindows::TitleText(AppWindow w) { return Form(w).TitleText; }

void WinAppWindows::SetCaption(AppWindow w, const std::string& caption) { Form(w).SetCaption(caption); }

WindowFont WinAppWindows::GetFont(AppWindow w) { return Form(w).Font(); }

void WinAppWindows::SetFont(AppWindow w, const WindowFont& font) { Form(w).SetFont(font); }

WindowFont WinAppWindows::SystemMenuFont() {
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    WindowFont f{"MS Sans Serif", 8, false};
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return f;
    f.name = ncm.lfMenuFont.lfFaceName;
    HDC dc = GetDC(nullptr);
    const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    const int height = ncm.lfMenuFont.lfHeight < 0 ? -ncm.lfMenuFont.lfHeight : ncm.lfMenuFont.lfHeight;
    if (height > 0) f.size = MulDiv(height, 72, ppi);
    return f;
}

void WinAppWindows::BindCaptionPainting(AppWindow w, bool bind) { Form(w).SetCaptionPainting(bind); }

void WinAppWindows::BindApplicationActivate(bool bind) { p_.FormGeneral.ActivateBound = bind; }

void WinAppWindows::SetApplicationExStyle(uint32_t exStyle) {
    // There is no separate application window: the task-bar button belongs to
    // whichever of the three windows is shown, so each gets the style.
    for (AppWindow w : {AppWindow::FormConfig, AppWindow::FormItems, AppWindow::FormAbout}) {
        HWND hwnd = Form(w).Handle();
        LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
        if (exStyle & WS_EX_TOOLWINDOW)
            ex = (ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
        else
            ex = (ex & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW)) | WS_EX_APPWINDOW;
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex);
    }
}

void WinAppWindows::SetLabelUrlFont(const std::string& name, int size) { p_.FormAbout.SetLabelUrlFont(name, size); }

void WinAppWindows::ConfigControlsChanged() { p_.FormConfig.PushToControls(); }

// ---------------------------------------------------------------- PivoraProgram

PivoraProgram::PivoraProgram()
    : FormGeneral(Model),
      FormShortCuts(Model, Pictures),
      Pictures(Scratch, FormShortCuts.Breaks),
      FormItems(Model, Pictures),
      FormConfig(Model, *this),
      FormAbout(Model, *this) {
    settings_ = std::make_unique<Settings>(
        SettingsServices{profile_, registry_, Fs, system_, ui_, hotKey_, pump_}, Model, FormConfig.Controls);
    WireWindows();
}

PivoraProgram::~PivoraProgram() {
    // The windows in reverse order of creation; FormGeneral last takes the tray
    // icon and the hot key with it. The menus and pictures they show are gone
    // with them, before the scratch pictures and the mapping.
    FormAbout.Destroy();
    FormConfig.Destroy();
    FormItems.Destroy();
    FormShortCuts.Destroy();
    FormGeneral.Destroy();
    Model.Pictures = nullptr;
    pv::FreeScratchImages(Scratch);
    Instance.Release();
}

void PivoraProgram::WireWindows() {
    actions_.showManager = [this] { FormItems.miManageItemsClick(); };
    actions_.showPreferences = [this] { FormConfig.Present(); };
    actions_.showAbout = [this] { FormAbout.Present(); };
    actions_.closeProgram = [this] { CloseProgram(*this); };
    actions_.openTarget = [this](const std::string& target) { OpenTargetWithMessage(target); };
    actions_.launchItem = [this](const MenuEntry& entry) { NorItemsRTClickItem(Shell, Model.Items, entry); };

    FormGeneral.ShortCuts = &FormShortCuts;
    FormGeneral.OnMenuClick = [this](MenuEntry& entry) { DispatchMenuClick(entry, actions_); };
    FormGeneral.TitledForms = {&FormItems, &FormConfig, &FormAbout};
    FormGeneral.ProcessMessagesHook = [this] { App.ProcessMessages(); };
    FormGeneral.TerminatedHook = [this] { return App.Terminated(); };
}

bool PivoraProgram::CreateWindows() {
    // Created in this order; the first is the main window. Creating FormGeneral
    // places the tray icon (ignoring the mouse) and registers the hot key.
    if (!(FormGeneral.Create() && FormShortCuts.Create() && FormItems.Create() && FormConfig.Create() &&
          FormAbout.Create()))
        return false;
    App.AddDialogWindow(FormConfig.Handle());
    return true;
}

void PivoraProgram::Start() {
    // Start-up's steps run outside any window procedure; what they throw must
    // take the same route as an exception from a handler: logged, the notice,
    // the end.
    Guard(nullptr, [this] {
        Model.StartFlag = 1;
        if (!Instance.Claim(FormGeneral.Handle())) {
            // Another copy runs: leave quietly, it is not told.
            Model.StartFlag = 0;
            App.Terminate();
            return;
        }
        StartupSequence(*this, Model);
    });
}

int PivoraProgram::Main() {
    App.ProcessMessages();
    Model.ApplicationTitle = Model.ProductTitle;
    if (!CreateWindows()) return 1;
    App.ProcessMessages();
    Start();
    return App.Run();
}

StoreContext PivoraProgram::MakeStoreContext() {
    StoreContext c(Fs, Pictures, Model.TVItems, Model.TVUndo, Model.PMItems, Model.Items, Model.PictureMarks);
    c.dataDir = Model.DataDir;
    c.drawMenuBar = Model.settings.DrawMenuBar;
    ErrorReporting& er = Errors();
    c.askBackupQuestion = [&er] {
        return er.ShowAppMessage(kMsgBackupQuestion, "", kMsgDialog, DialogType::Warning, kBtnYes | kBtnNo | kBtnCancel,
                                 0);
    };
    c.writeErrorLog = [&er](const std::string& text) { er.WriteErrorLog(text); };
    c.tellUser = [&er](const std::string& text) { er.ShowAppMessage(0, text, kMsgPlain); };
    return c;
}

void PivoraProgram::OpenTargetWithMessage(const std::string& target) {
    ErrorReporting& er = Errors();
    pv::OpenTarget(Shell, target, [&er](const std::string& text) { er.ShowAppMessage(0, text, kMsgPlain); });
}

// ---- the steps

void PivoraProgram::SetFormTitles(const FormTitles& titles) {
    Model.Titles = titles;
    FormItems.TitleText = titles.items;
    FormConfig.TitleText = titles.config;
    FormAbout.TitleText = titles.about;
}

std::string PivoraProgram::ExecutablePath() {
    if (!ExecutablePathOverride.empty()) return ExecutablePathOverride;
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void PivoraProgram::SetHelpFile(const std::string& path) { Model.HelpFile = path; }

void PivoraProgram::FillFontNames() { FormConfig.FillFontNames(); }

void PivoraProgram::SetVersionLabel(const std::string& text) {
    Model.VersionLabel = text;
    FormAbout.Controls.LabelVer = text;
    FormAbout.PushToControls();
}

void PivoraProgram::SetApplicationTitle(const std::string& title) { Model.ApplicationTitle = title; }

void PivoraProgram::LoadSettings() { settings_->LoadSettings(); }

void PivoraProgram::SetMessageTable(const std::map<int, std::string>& table) { Errors().MessageTable = table; }

void PivoraProgram::CreateScratchImages() { pv::CreateScratchImages(Scratch); }

void PivoraProgram::CopySystemMenu() {
    pv::CopySystemMenu(Model.PictureMarks, Model.TVBasic, Model.TVItems, Model.PMBasic, Model.PMItems);
}

void PivoraProgram::CheckItemStore() {
    StoreContext c = MakeStoreContext();
    pv::CheckItemStore(c);
}

void PivoraProgram::LoadItemStore() {
    StoreContext c = MakeStoreContext();
    pv::LoadItemStore(c);
}

void PivoraProgram::ApplyVisualSettings() {
    WinAppWindows windows(*this);
    settings_->ApplyVisualSettings(windows);
}

void PivoraProgram::AssignMenuDrawHandlers() {
    pv::AssignMenuDrawHandlers(Model.PMItems.root, Model.settings.WindowsDraw);
}

void PivoraProgram::EnableTrayMenu() {
    FormGeneral.Tray.Enabled = true;
    FormGeneral.Tray.Menu = &Model.PMItems;
}

void PivoraProgram::AttachTreeChangeHandler() { FormItems.AttachTreeChange(true); }

void PivoraProgram::DetachTreeChangeHandler() { FormItems.AttachTreeChange(false); }

void PivoraProgram::DisableTrayMenu() {
    FormGeneral.Tray.Enabled = false;
    FormGeneral.Tray.Menu = nullptr;
}

void PivoraProgram::ClearItemTable() { pv::ClearItemTable(Model); }

void PivoraProgram::ClearTreesAndMenu() { pv::ClearTreesAndMenu(Model); }

void PivoraProgram::DeleteAddedPictures() { pv::DeleteAddedPictures(Model); }

void PivoraProgram::AppendBreakPictures() { pv::AppendBreakPictures(Model); }

void PivoraProgram::SaveSettings() { settings_->SaveSettings(); }

void PivoraProgram::FreeScratchImages() { pv::FreeScratchImages(Scratch); }

void PivoraProgram::ReleaseInstanceMapping() { Instance.Release(); }

void PivoraProgram::ProcessMessages() { App.ProcessMessages(); }

void PivoraProgram::Terminate() { App.Terminate(); }

bool PivoraProgram::Terminated() { return App.Terminated(); }

}  // namespace pv
