#include "app/InitFinit_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

#include "manager/form_restore_win.h"
#include "menu/Launching.h"
#include "store/StoreSnapshot.h"
#include "support/UkvWinSysAPI.h"
#include "support/UkvSysExceptions.h"

namespace pv {

const char* const kInstanceMappingName = "{0C462EFB-02B9-4314-80A4-DA95904F9B9F}";

// ---------------------------------------------------------------- application

bool Application::DialogMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    for (Window* w : DialogWindows) {
        const HWND h = w ? w->Handle() : nullptr;
        if (!h || !IsWindowVisible(h) || (msg.hwnd != h && !IsChild(h, msg.hwnd))) continue;
        // The window's own keys first (Esc that ends a drag is not the cancel button's).
        bool taken = false;
        if (!Guard(w->Name().empty() ? nullptr : w->Name().c_str(), [&] { taken = w->DialogKey(msg); }) || taken)
            return true;
        if (IsDialogMessageA(h, &msg)) return true;
    }
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

bool SingleInstance::Held(const char* mappingName) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName);
    if (!mapping) return false;
    CloseHandle(mapping);
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
    // There is no separate application window whose button could go: each of
    // the three windows shows its own button, and without one it is owned by
    // the hidden main window (owned windows get none). They stay ordinary
    // windows with caption and icon; only the application's button goes.
    const bool own = (exStyle & WS_EX_TOOLWINDOW) == 0;
    for (AppWindow w : {AppWindow::FormConfig, AppWindow::FormItems, AppWindow::FormAbout})
        Form(w).SetTaskBarButton(own, p_.FormGeneral.Handle());
}

void WinAppWindows::SetLabelUrlFont(const std::string& name, int size) { p_.FormAbout.SetLabelUrlFont(name, size); }

void WinAppWindows::ConfigControlsChanged() { p_.FormConfig.PushToControls(); }

// ---------------------------------------------------------------- PivoraProgram

PivoraProgram::PivoraProgram()
    : FormGeneral(Model),
      FormShortCuts(Model, Pictures),
      Pictures(Scratch, FormShortCuts.Breaks),
      FormItems(Model, Pictures, Fs, *this),
      FormConfig(Model, *this),
      FormAbout(Model, *this),
      FormFind(Model, Pictures) {
    Model.TextFiles = ProgramTextFileCodec();
    QueryPerformanceFrequency(&freq_);
    QueryPerformanceCounter(&begin_);
    lastStep_ = begin_;
    char flag[8] = "";
    timing_ = GetEnvironmentVariableA("PIVORA_TIMING", flag, sizeof flag) && flag[0] != '0';
    if (timing_) {
        // What the loader and the runtime took before the program's first line.
        FILETIME created, exited, kernel, user, now;
        if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
            GetSystemTimeAsFileTime(&now);
            const auto ticks = [](const FILETIME& t) {
                return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
            };
            Timing("process start to the program", static_cast<double>(ticks(now) - ticks(created)) / 10000.0);
        }
    }
    settings_ = std::make_unique<Settings>(
        SettingsServices{profile_, registry_, Fs, system_, ui_, hotKey_, pump_}, Model, FormConfig.Controls);
    WireWindows();
}

PivoraProgram::~PivoraProgram() {
    // The windows in reverse order of creation; FormGeneral last takes the tray
    // icon and the hot key with it. The menus and pictures they show are gone
    // with them, before the scratch pictures and the mapping.
    FormFind.Destroy();
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
    actions_.launchItem = [this](const MenuEntry& entry) {
        FormFind.Model().NoteStarted(FindKeyOf(entry, Model.Items));
        NorItemsRTClickItem(*LaunchShell, Model.Items, entry);
    };
    actions_.showFind = [this] {
        POINT pt{0, 0};
        GetCursorPos(&pt);
        FormFind.FormShow(pt.x, pt.y, std::string());
    };
    FormFind.Owner = &FormGeneral;
    FormGeneral.OnStrayChar = [this](char ch) { return FormFind.TypeAhead(ch); };
    FormFind.OnLaunch = [this](const MenuEntry& entry) { DispatchMenuClick(entry, actions_, Model); };
    FormGeneral.Tray.OpenFind = [this](const FindRequest& r) { FormFind.FormShow(r.x, r.y, r.text); };
    if (timing_) FormFind.OnTiming = [this](const char* what, double ms) { Timing(what, ms); };

    FormItems.OnTiming = [this](const char* what, double ms) { Timing(what, ms); };
    if (timing_) FormGeneral.OnTiming = [this](const char* what, double ms) { Timing(what, ms); };
    if (timing_) FormShortCuts.OnTiming = [this](const char* what, double ms) { Timing(what, ms); };

    FormGeneral.ShortCuts = &FormShortCuts;
    FormGeneral.OnMenuClick = [this](MenuEntry& entry) { DispatchMenuClick(entry, actions_, Model); };
    FormShortCuts.OnEntryCommand = [this](EntryCommand command, const MenuEntry& entry) {
        RunEntryCommand(command, entry, Model.Items, *LaunchShell, *this);
    };
    FormGeneral.TitledForms = {&FormItems, &FormConfig, &FormAbout};
    FormGeneral.ProcessMessagesHook = [this] { App.ProcessMessages(); };
    FormGeneral.TerminatedHook = [this] { return App.Terminated(); };
    FormGeneral.OnLaterWork = [this] { Pictures.RealizeAll(); };
}

void PivoraProgram::ReadStoreEarly() {
    // A second copy leaves at the single-instance test; the store is not its to read.
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    if (SingleInstance::Held()) return;
    std::string programDir, exeName;
    SplitExePath(ExecutablePath(), programDir, exeName);
    const std::string dataDir = settings_->ForeseeDataDir(programDir);
    Timing("  foreseeing DataDir", MsSince(t));
    QueryPerformanceCounter(&t);
    if (!dataDir.empty())
        storeAhead_.Start(Fs, dataDir + "shortcuts\\", kStoreReaders, Model.TextFiles, dataDir + kSnapshotName);
    Timing("  starting the readers", MsSince(t));
}

bool PivoraProgram::CreateWindows() {
    // Created in this order; the first is the main window. Creating FormGeneral
    // places the tray icon (ignoring the mouse) and registers the hot key.
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    auto timed = [&](const char* what, bool ok) {
        Timing(what, MsSince(t));
        QueryPerformanceCounter(&t);
        return ok;
    };
    if (!(timed("  FormGeneral", FormGeneral.Create()) && timed("  FormShortCuts", FormShortCuts.Create()) &&
          timed("  FormItems", FormItems.Create()) && timed("  FormConfig", FormConfig.Create()) &&
          timed("  FormAbout", FormAbout.Create())))
        return false;
    App.DialogWindows = {&FormItems, &FormConfig, &FormAbout};
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
        LeaveTheRestForLater();
    });
}

int PivoraProgram::Main() {
    App.ProcessMessages();
    Model.ApplicationTitle = Model.ProductTitle;
    ReadStoreEarly();
    StepDone("ReadStoreEarly");
    if (!CreateWindows()) return 1;
    StepDone("CreateWindows");
    App.ProcessMessages();
    Start();
    return App.Run();
}

StoreContext PivoraProgram::MakeStoreContext() {
    StoreContext c(Fs, Pictures, Model.TVItems, Model.TVUndo, Model.PMItems, Model.Items, Model.PictureMarks);
    c.dataDir = Model.DataDir;
    c.textFiles = Model.TextFiles;
    c.drawMenuBar = Model.settings.DrawMenuBar;
    ErrorReporting& er = Errors();
    c.askBackupQuestion = [&er] {
        return er.ShowAppMessage(kMsgBackupQuestion, "", kMsgDialog, DialogType::Warning, kBtnYes | kBtnNo | kBtnCancel,
                                 0);
    };
    c.writeErrorLog = [&er](const std::string& text) { er.WriteErrorLog(text); };
    c.now = [this] { return system_.Now(); };
    c.tellUser = [&er](const std::string& text) { er.ShowAppMessage(0, text, kMsgPlain); };
    c.cache = &storeCache_;
    c.readers = kStoreReaders;
    c.ahead = &storeAhead_;
    if (timing_) c.timing = [this](const char* phase, double ms) { Timing((std::string("  ") + phase).c_str(), ms); };
    return c;
}

void PivoraProgram::OpenTargetWithMessage(const std::string& target) {
    ErrorReporting& er = Errors();
    pv::OpenTarget(*LaunchShell, target, [&er](const std::string& text) { er.ShowAppMessage(0, text, kMsgPlain); });
}

double PivoraProgram::MsSince(const LARGE_INTEGER& t) const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - t.QuadPart) / static_cast<double>(freq_.QuadPart);
}

void PivoraProgram::Timing(const char* what, double ms) {
    if (!timing_) return;
    char line[200];
    snprintf(line, sizeof line, "%s: %.1f ms\r\n", what, ms);
    timingLines_.push_back(line);
    if (started_) WriteTimingLines();
}

void PivoraProgram::WriteTimingLines() {
    std::string text;
    for (const std::string& l : timingLines_) text += l;
    timingLines_.clear();
    const std::string file = Model.DataDir + "timing.txt";
    if (!Fs.Append(file, text)) Fs.WriteAll(file, text);
}

namespace {

// The process's working set in KB, for the timing lines; 0 where the system
// cannot tell (before Windows 7 the function is in psapi.dll, not loaded here).
unsigned long WorkingSetKb() {
    struct Counters {
        DWORD cb, PageFaultCount;
        SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
            QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage;
    };
    using Query = BOOL(WINAPI*)(HANDLE, Counters*, DWORD);
    static const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    Counters c = {};
    c.cb = sizeof c;
    if (!query || !query(GetCurrentProcess(), &c, sizeof c)) return 0;
    return static_cast<unsigned long>(c.WorkingSetSize / 1024);
}

}  // namespace

void PivoraProgram::StepDone(const char* step) {
    if (!timing_) return;
    char line[200];
    snprintf(line, sizeof line, "step %s: %.1f ms (at %.1f ms, working set %lu KB)\r\n", step, MsSince(lastStep_),
             MsSince(begin_), WorkingSetKb());
    QueryPerformanceCounter(&lastStep_);
    timingLines_.push_back(line);
    if (!started_ && std::string(step) == "AttachTreeChangeHandler") {
        started_ = true;
        WriteTimingLines();
    }
}

// ---- the steps

void PivoraProgram::SetFormTitles(const FormTitles& titles) {
    FormItems.TitleText = titles.items;
    FormConfig.TitleText = titles.config;
    FormAbout.TitleText = titles.about;
}

std::string PivoraProgram::ExecutablePath() {
    if (!ExecutablePathOverride.empty()) return ExecutablePathOverride;
    // Wide: a folder name in UTF-8 can take more bytes than MAX_PATH.
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Narrow(path, static_cast<int>(n));
}

void PivoraProgram::FillFontNames() { FormConfig.FillFontNames(); }

void PivoraProgram::SetVersionLabel(const std::string& text) {
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
    c.copyUndo = false;  // the manager copies it when it is first shown
    pv::LoadItemStore(c);
    FormItems.Model().TreeReloaded(false);
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

void PivoraProgram::AttachTreeChangeHandler() { FormItems.Model().AttachTreeChange(true); }

void PivoraProgram::DetachTreeChangeHandler() { FormItems.Model().AttachTreeChange(false); }

void PivoraProgram::DisableTrayMenu() {
    FormFind.MenuChanged();
    FormGeneral.Tray.Enabled = false;
    FormGeneral.Tray.Menu = nullptr;
}

void PivoraProgram::ClearItemTable() { pv::ClearItemTable(Model); }

void PivoraProgram::ClearTreesAndMenu() {
    // The next steps may pump messages (the backup question): the tree view
    // must not draw from the nodes that go now.
    FormItems.ReleaseTree();
    pv::ClearTreesAndMenu(Model);
    FormItems.Model().TreeReloaded();  // nothing may point at the old nodes
}

void PivoraProgram::DeleteAddedPictures() { pv::DeleteAddedPictures(Model); }

void PivoraProgram::AppendBreakPictures() { pv::AppendBreakPictures(Model); }

void PivoraProgram::SaveSettings() { settings_->SaveSettings(); }

void PivoraProgram::FreeScratchImages() { pv::FreeScratchImages(Scratch); }

void PivoraProgram::ReleaseInstanceMapping() { Instance.Release(); }

void PivoraProgram::ProcessMessages() { App.ProcessMessages(); }

void PivoraProgram::Terminate() { App.Terminate(); }

bool PivoraProgram::Terminated() { return App.Terminated(); }

// ---- what the manager asks of the program

void PivoraProgram::PlaySoundFile(const std::string& name) { Errors().PlaySoundFile(name, false); }

void PivoraProgram::WriteErrorLog(const std::string& text) { Errors().WriteErrorLog(text); }

void PivoraProgram::RebuildItemMenus() {
    pv::RebuildItemMenus(*this);
    LeaveTheRestForLater();
}

void PivoraProgram::LeaveTheRestForLater() {
    // The file types' icons are asked for when first drawn; those nobody has
    // drawn by then are asked for once the program is idle, so that the first
    // submenu does not wait for the shell.
    if (Pictures.HasUnrealized()) FormGeneral.ScheduleLaterWork(kLaterWorkDelayMs);
}


bool PivoraProgram::OpenDialogAdd(std::string& file) {
    wchar_t name[4 * MAX_PATH] = L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = FormItems.Handle();
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name / sizeof name[0];
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
    // comdlg32 is loaded when the dialog is first asked for.
    using Fn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const Fn open = LateBound<Fn>("comdlg32.dll", "GetOpenFileNameW");
    if (!open || !open(&ofn)) return false;
    file = Narrow(name);
    return true;
}

IMessageUI& PivoraProgram::MessageUI() {
    itemsUi_.SetOwner(FormItems.Handle());
    return itemsUi_;
}

bool PivoraProgram::BrowseForFolder(const std::string& title, std::string& directory) {
    return pv::BrowseForFolder(FormItems.Handle(), title, directory);
}

int PivoraProgram::ChooseBackup(const std::vector<std::string>& labels) {
    return ShowRestoreDialog(FormItems.Handle(), labels);
}

bool PivoraProgram::ResolveShellLink(const std::string& link, std::string& arguments, std::string& target) {
    ShellLinkInfo info;
    const long rc = pv::ResolveShellLink(link, info);
    if (rc == 0) {
        arguments = info.arguments;
        target = info.target;
    }
    FreeShellLinkInfo(info);
    return rc == 0;
}

void PivoraProgram::Launch(const MenuEntry& entry) { DispatchMenuClick(entry, actions_, Model); }

bool PivoraProgram::CopyText(const std::string& text) { return SetClipboardText(FormGeneral.Handle(), text); }

bool PivoraProgram::ShortcutTarget(const std::string& link, std::string& target) {
    std::string arguments, shortTarget;
    if (!ResolveShellLink(link, arguments, shortTarget)) return false;
    // The link holds the short (8.3) form; Explorer shows the name the user knows.
    target = Fs.LongPath(shortTarget);
    return true;
}

void PivoraProgram::EditItem(int itemNumber) { FormItems.ShowItem(itemNumber); }

bool PivoraProgram::EnvironmentVariable(const std::string& name, std::string& value) {
    if (name.empty()) return false;
    std::string buffer(256, '\0');
    for (;;) {
        SetLastError(0);
        const DWORD n = GetEnvironmentVariableA(name.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            // A variable that is set but empty also answers 0, without an error.
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            value.clear();
            return true;
        }
        if (n < buffer.size()) {
            value.assign(buffer.data(), n);
            return true;
        }
        buffer.resize(n);  // n counts the terminating NUL here
    }
}

}  // namespace pv
