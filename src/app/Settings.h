#pragma once
// Where the data lives (program directory or a per-user directory), the settings
// file pivora.ini, the start-with-Windows registry value, and applying the
// visual settings to the windows. Portable: the operating system is reached
// through the interfaces of support/Platform.h and the small ones below.

#include <cstdint>
#include <string>

#include "app/form_general.h"
#include "menu/MenuDraw.h"
#include "model/AppModel.h"
#include "prefs/form_config.h"
#include "support/Platform.h"

namespace pv {

// ---------------------------------------------------------------- names on disk

inline constexpr const char* kGlcIniName = "glc.ini";
inline constexpr const char* kSettingsIniName = "pivora.ini";
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Kelvory-Pivora";

// ---------------------------------------------------------------- menu-shortcut values

// A hot key value: low byte = virtual key, plus the modifier bits kScShift,
// kScCtrl, kScAlt (app/form_general.h); kDefaultHotKey is Ctrl+L, 16460.

// "Shift+", "Ctrl+", "Alt+" (in this order, each when present) and the key's
// name ("L", "5", "F1", "Space", "PgUp", ...). "" for a key without a name.
std::string ShortCutToText(int shortCut);
// The inverse; modifiers in any order and letter case ("CTRL+L" = 16460).
// 0 when the text names no key.
int TextToShortCut(const std::string& text);

// ---------------------------------------------------------------- INI values

// An INI integer: decimal, or hexadecimal after "0x"/"0X" (or "$"), optional
// sign; false when the text is not a whole 32-bit number.
bool ParseIniInteger(const std::string& text, int& value);
int ReadIniInteger(IProfile& profile, const std::string& file, const std::string& section,
                   const std::string& key, int def);
// Read as an integer; any value other than 0 is true.
bool ReadIniBool(IProfile& profile, const std::string& file, const std::string& section, const std::string& key,
                 bool def);
// Written as "1" / "0".
void WriteIniBool(IProfile& profile, const std::string& file, const std::string& section, const std::string& key,
                  bool value);
void WriteIniInteger(IProfile& profile, const std::string& file, const std::string& section,
                     const std::string& key, int value);

// ---------------------------------------------------------------- what the settings act on

enum class AppWindow { FormConfig = 0, FormItems = 1, FormAbout = 2 };
constexpr int kAppWindowCount = 3;

constexpr uint32_t kWsExToolWindow = 0x80;  // WS_EX_TOOLWINDOW

// The windows as ApplyVisualSettings, HideOpenWindows and ShowHiddenWindows
// change them. Implemented over the real windows by the Win32 layer.
class IAppWindows {
public:
    virtual ~IAppWindows() = default;
    virtual bool IsVisible(AppWindow w) = 0;
    virtual void Hide(AppWindow w) = 0;
    virtual void Show(AppWindow w) = 0;
    // The title text composed at start-up ("Kelvory Pivora - Preferences", ...).
    virtual std::string TitleText(AppWindow w) = 0;
    virtual void SetCaption(AppWindow w, const std::string& caption) = 0;
    virtual WindowFont GetFont(AppWindow w) = 0;
    virtual void SetFont(AppWindow w, const WindowFont& font) = 0;
    // Name and size of the system's menu font (NONCLIENTMETRICS lfMenuFont).
    virtual WindowFont SystemMenuFont() = 0;
    // Binds (or unbinds) the window's FormActivate to its activate and
    // deactivate events and its FormPaint to its paint event.
    virtual void BindCaptionPainting(AppWindow w, bool bind) = 0;
    // Binds (or unbinds) AEGeneralActivate to the application's activate and deactivate.
    virtual void BindApplicationActivate(bool bind) = 0;
    // SetWindowLong(GWL_EXSTYLE) on the application window.
    virtual void SetApplicationExStyle(uint32_t exStyle) = 0;
    // Font name and size of the about box's LabelUrl.
    virtual void SetLabelUrlFont(const std::string& name, int size) = 0;
    // The preferences controls' model changed; mirror it into the dialog.
    virtual void ConfigControlsChanged() {}
};

// The global hot key JvApplicationHotKey: the value in force. Setting the value
// already in force does nothing; a different one re-registers the key.
class IHotKey {
public:
    virtual ~IHotKey() = default;
    virtual int HotKey() = 0;
    virtual void SetHotKey(int value) = 0;
};

// Application.ProcessMessages: handles pending window messages.
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    virtual void ProcessMessages() = 0;
};

struct SettingsServices {
    IProfile& profile;
    IRegistry& registry;
    IFileSystem& fs;
    ISystem& system;  // special folders (CSIDL_PERSONAL, CSIDL_APPDATA)
    IMessageUI& ui;   // the migration question
    IHotKey& hotKey;
    IMessagePump& pump;
};

// ---------------------------------------------------------------- the settings

class Settings {
public:
    // The settings of the run live in model.settings; ProgramDir and ExeName are
    // read from the model, DataDir is settled there by LoadSettings.
    Settings(const SettingsServices& services, AppModel& model, FormConfigControls& config);

    // Settles DataDir (from glc.ini, setting up and migrating the per-user
    // directory when asked for), reads pivora.ini, sets the hot key and reads the
    // start-with-Windows value into ChkBxSystray.
    void LoadSettings();
    // The two halves of LoadSettings.
    void SettleDataDir();
    void ReadSettingsFile();
    // The DataDir that SettleDataDir will settle for a program in programDir,
    // worked out without changing anything or asking anyone: programDir, or
    // the per-user directory when glc.ini asks for it and it holds a store
    // and settings already. "" when settling it will set something up (the
    // per-user directory made or filled), so that it cannot be known before.
    std::string ForeseeDataDir(const std::string& programDir);

    // Writes pivora.ini from the controls (and DrawMenuBar, FontStyleBold, the
    // hot key in force), then the start-with-Windows value from ChkBxSystray.
    // False when a value could not be written (read-only file or directory).
    bool SaveSettings();

    void ReadAutostart();
    void WriteAutostart(bool on);
    // The text the Run value holds: the executable's full path in double quotes.
    std::string AutostartCommand() const;

    void ApplyVisualSettings(IAppWindows& windows);
    void ApplyWindowsDrawSwitch(bool on);
    void HideOpenWindows(IAppWindows& windows);
    void ShowHiddenWindows(IAppWindows& windows);
    // The re-show mark (the window's tag): 1 = hidden by HideOpenWindows.
    int& WindowMark(AppWindow w) { return marks_[static_cast<int>(w)]; }

    FormConfigControls& Config() { return config_; }
    SettingsValues& Values() { return m_.settings; }
    const SettingsValues& Values() const { return m_.settings; }
    std::string SettingsFile() const { return m_.DataDir + kSettingsIniName; }

    // The migration question after copying from old to the new directory.
    static std::string MigrationQuestion(const std::string& copySource, const std::string& newDir);

private:
    SettingsServices svc_;
    AppModel& m_;
    FormConfigControls& config_;
    int marks_[kAppWindowCount] = {0, 0, 0};
};

}  // namespace pv
