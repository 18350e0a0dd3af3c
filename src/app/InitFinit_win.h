#pragma once
// The Win32 half of the spine: the message loop, the single-instance mapping,
// and the program itself (PivoraProgram) as WinMain and the Wine tests build it:
// the application model, the five windows and the services they share, wired
// together once, and the start-up, rebuild and close steps over them.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/Settings.h"
#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/EntryMenu.h"
#include "menu/SystemMenu.h"
#include "menu/form_find_win.h"
#include "menu/form_shortcuts_win.h"
#include "model/AppModel.h"
#include "model/Pictures_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"
#include "store/IndexPrefetch.h"
#include "store/StoreLoader.h"
#include "support/Platform_win.h"
#include "support/SettingsStores_win.h"
#include "support/UkvGraphics_win.h"
#include "support/IniProfile.h"
#include "support/Wide_win.h"

namespace pv {

// ---------------------------------------------------------------- application

// The little the program needs of an application object: the message loop and
// its end.
class Application {
public:
    // Dispatches every pending message; a WM_QUIT found on the way marks the
    // application terminated instead of being lost.
    void ProcessMessages();
    // Ends the message loop: Run returns (or is never entered) once this ran.
    // A WM_QUIT rather than a flag alone, so that a modal loop (a message box, a
    // tracked menu) that is running right now ends too.
    void Terminate() { PostQuitMessage(0); }
    bool Terminated() const { return terminated_; }
    // The message loop. Returns the exit code.
    int Run();
    // Windows whose keyboard works like a dialog's (Tab, accelerators, Esc).
    // Read at every key message: a window that is made later counts once it is.
    std::vector<Window*> DialogWindows;
    // One key message as the loop sees it: true when a dialog window took it
    // (its own keys first, then IsDialogMessage).
    bool DialogMessage(MSG& msg);

private:

    bool terminated_ = false;
    int exitCode_ = 0;
};

// ---------------------------------------------------------------- single instance

extern const char* const kInstanceMappingName;

// The named mapping that tells a second copy that one runs already.
class SingleInstance {
public:
    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance() { Release(); }

    // False when the mapping exists already (another copy runs). Otherwise keeps
    // the mapping, stores appWindow in its four bytes and returns true. Throws
    // EOSError when the mapping cannot be made.
    bool Claim(HWND appWindow, const char* mappingName = kInstanceMappingName);
    void Release();
    // Whether another copy holds the mapping now. Only a look: Claim decides.
    static bool Held(const char* mappingName = kInstanceMappingName);

private:
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

// ---------------------------------------------------------------- the program

class PivoraProgram;

// The three titled windows as the settings code changes them.
class WinAppWindows : public IAppWindows {
public:
    explicit WinAppWindows(PivoraProgram& p) : p_(p) {}
    bool IsVisible(AppWindow w) override;
    void Hide(AppWindow w) override;
    void Show(AppWindow w) override;
    std::string TitleText(AppWindow w) override;
    void SetCaption(AppWindow w, const std::string& caption) override;
    WindowFont GetFont(AppWindow w) override;
    void SetFont(AppWindow w, const WindowFont& font) override;
    WindowFont SystemMenuFont() override;
    void BindCaptionPainting(AppWindow w, bool bind) override;
    void BindApplicationActivate(bool bind) override;
    void SetApplicationExStyle(uint32_t exStyle) override;
    void SetLabelUrlFont(const std::string& name, int size) override;
    void ConfigControlsChanged() override;

private:
    AppForm& Form(AppWindow w);
    PivoraProgram& p_;
};

// Everything of one run. WinMain makes one; the Wine tests make their own.
// Members are built in this order and torn down in reverse, so the windows go
// before the services they use, and FormGeneral, with the tray icon and the hot
// key, last of the windows.
class PivoraProgram : public IAppSteps,
                      public IConfigDialogHost,
                      public IAboutBoxHost,
                      private IItemsHost,
                      private IEntryMenuHost {
public:
    PivoraProgram();
    ~PivoraProgram() override;

    // Starts reading the store on worker threads, unless another copy runs:
    // the store check takes over what was read. Where the data lives is worked
    // out here already (without the settings, which are read at their step).
    void ReadStoreEarly();
    // Creates the five windows hidden, in order; false when one cannot be made.
    bool CreateWindows();
    // The single-instance test, then (unless refused) the start-up sequence.
    // Exceptions raised by start-up take the application's route.
    void Start();
    // WinMain: windows, start, message loop; returns the exit code.
    int Main();

    // Where the program believes it was started from; empty means the real
    // executable (tests point it into a scratch directory).
    std::string ExecutablePathOverride;

    AppModel Model;
    Application App;
    SingleInstance Instance;
    ScratchPictures Scratch;
    WinFileSystem Fs;
    WinShell Shell_;
    // What the tray menu's entries start and open things through: the system's
    // shell (tests put a recording one here).
    IShell* LaunchShell = &Shell_;
    TFormGeneral FormGeneral;
    TFormShortCuts FormShortCuts;
    WinPictureLists Pictures;
    TFormItems FormItems;
    TFormConfig FormConfig;
    TFormAbout FormAbout;
    TFormFind FormFind;  // made when first shown

    Settings& AppSettings() { return *settings_; }
    ErrorReporting& Errors() { return FormGeneral.AEGeneral(); }
    // What the store check and the load work on, for the current DataDir and settings.
    StoreContext MakeStoreContext();
    // OpenTarget with its "not found." message.
    void OpenTargetWithMessage(const std::string& target);
    const SystemMenuActions& MenuActions() const { return actions_; }

    // ---- IAppSteps
    void SetFormTitles(const FormTitles& titles) override;
    std::string ExecutablePath() override;
    void FillFontNames() override;
    void SetVersionLabel(const std::string& text) override;
    void SetApplicationTitle(const std::string& title) override;
    void LoadSettings() override;
    void SetMessageTable(const std::map<int, std::string>& table) override;
    void CreateScratchImages() override;
    void CopySystemMenu() override;
    void CheckItemStore() override;
    void LoadItemStore() override;
    void ApplyVisualSettings() override;
    void AssignMenuDrawHandlers() override;
    void EnableTrayMenu() override;
    void AttachTreeChangeHandler() override;

    void DetachTreeChangeHandler() override;
    void DisableTrayMenu() override;
    void ClearItemTable() override;
    void ClearTreesAndMenu() override;
    void DeleteAddedPictures() override;
    void AppendBreakPictures() override;

    void SaveSettings() override;
    void FreeScratchImages() override;
    void ReleaseInstanceMapping() override;
    void ProcessMessages() override;
    void Terminate() override;
    bool Terminated() override;
    void StepDone(const char* step) override;

    // ---- IConfigDialogHost (LoadSettings, SaveSettings, ApplyVisualSettings and
    // AssignMenuDrawHandlers are the steps above); PrefsHost_win.cpp
    void HideOpenWindows() override;
    void RefreshKitSubmenu() override;
    void ShowHiddenWindows() override;
    void CloseDialog() override;
    void ClearDialogMark() override;
    // The manager's too (IItemsHost).
    void OpenTarget(const std::string& target) override;
    WindowFont SystemMenuFont() override;
    int HotKeyInForce() override { return FormGeneral.JvApplicationHotKey.HotKey(); }
    bool ChangeHotKey(int shortCut) override {
        return FormGeneral.JvApplicationHotKey.TrySetHotKey(static_cast<uint16_t>(shortCut));
    }
    // ---- IAboutBoxHost (and OpenTarget)
    MemoryStatus QueryMemoryStatus() override;
    std::string ThousandSeparator() override;

private:
    // ---- IItemsHost
    void PlaySoundFile(const std::string& name) override;
    void WriteErrorLog(const std::string& text) override;
    void RebuildItemMenus() override;
    IShell& Shell() override { return Shell_; }
    bool OpenDialogAdd(std::string& file) override;
    bool BrowseForFolder(const std::string& title, std::string& directory) override;
    bool ResolveShellLink(const std::string& link, std::string& arguments, std::string& target) override;
    IMessageUI& MessageUI() override;
    bool EnvironmentVariable(const std::string& name, std::string& value) override;
    LocalTime Now() override { return system_.Now(); }
    int ChooseBackup(const std::vector<std::string>& labels) override;

    // ---- IEntryMenuHost: what a tray entry's context menu asks for
    void Launch(const MenuEntry& entry) override;
    bool CopyText(const std::string& text) override;
    bool ShortcutTarget(const std::string& link, std::string& target) override;
    void EditItem(int itemNumber) override;
    std::string WindowsDirectory() override { return system_.WindowsDirectory(); }

    // The hot key in force, as the settings code reads and sets it.
    class HotKeyOfFormGeneral : public IHotKey {
    public:
        explicit HotKeyOfFormGeneral(TFormGeneral& g) : g_(g) {}
        int HotKey() override { return g_.JvApplicationHotKey.HotKey(); }
        void SetHotKey(int value) override { g_.JvApplicationHotKey.SetHotKey(static_cast<uint16_t>(value)); }

    private:
        TFormGeneral& g_;
    };
    class ApplicationPump : public IMessagePump {
    public:
        explicit ApplicationPump(Application& a) : a_(a) {}
        void ProcessMessages() override { a_.ProcessMessages(); }

    private:
        Application& a_;
    };

    void WireWindows();
    // With PIVORA_TIMING set, a line "what: N ms" in DataDir + "timing.txt".
    // Lines of the start-up wait until it is done, so the writing is not timed.
    void LeaveTheRestForLater();
    static constexpr unsigned kLaterWorkDelayMs = 1500;
    void Timing(const char* what, double ms);
    void WriteTimingLines();
    double MsSince(const LARGE_INTEGER& t) const;

    // pivora.ini and glc.ini, in UTF-8 or the legacy code page as the store.
    IniProfile profile_{Fs, ProgramTextFileCodec()};
    WinRegistry registry_;
    WinSystem system_;
    WinMessageUI ui_;
    WinMessageUI itemsUi_;  // questions of the manager, owned by its window
    HotKeyOfFormGeneral hotKey_{FormGeneral};
    ApplicationPump pump_{App};
    std::unique_ptr<Settings> settings_;
    SystemMenuActions actions_;
    StoreCache storeCache_;
    // The scan waits on the file system most of the time: two threads reading
    // ahead halve it, more only queue up behind the same server.
    static constexpr int kStoreReaders = 2;
    StoreReadAhead storeAhead_;  // after Fs, which its workers use
    bool timing_ = false;
    bool started_ = false;
    LARGE_INTEGER freq_ = {}, begin_ = {}, lastStep_ = {};
    std::vector<std::string> timingLines_;
};

}  // namespace pv
