#include "app/Settings.h"

#include <cctype>
#include <cstdint>

#include "support/UkvSysExceptions.h"
#include "support/UkvSysIO.h"
#include "support/UkvWinSysAPI.h"

namespace pv {

namespace {

const char* const kGeneral = "General Settings";
const char* const kMisc = "Misc Settings";
const char* const kFont = "Font Settings";

const AppWindow kWindowOrder[kAppWindowCount] = {AppWindow::FormConfig, AppWindow::FormItems, AppWindow::FormAbout};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool StartsWithNoCase(const std::string& text, size_t pos, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        if (pos + i >= text.size()) return false;
        if (std::tolower(static_cast<unsigned char>(text[pos + i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

struct KeyName {
    int vk;
    const char* name;
};

// Names of the keys that are neither letters, digits nor function keys.
const KeyName kKeyNames[] = {
    {0x08, "BkSp"},  {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},   {0x20, "Space"},
    {0x21, "PgUp"},  {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"},
    {0x26, "Up"},    {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},   {0x2E, "Del"},
};

std::string KeyToName(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
    for (const auto& k : kKeyNames)
        if (k.vk == vk) return k.name;
    return std::string();
}

int NameToKey(const std::string& name) {
    if (name.empty()) return 0;
    for (int vk = 1; vk <= 0xFF; ++vk) {
        std::string n = KeyToName(vk);
        if (!n.empty() && Lower(n) == Lower(name)) return vk;
    }
    return 0;
}

// A shell folder path to append "\Kelvory" to. Wine hands some folders over
// with a trailing backslash, which would double the separator in DataDir.
std::string ShellFolder(ISystem& system, int csidl) {
    std::string path = system.SpecialFolderPath(csidl);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// A text value as it must be written for the profile functions to read it back
// unchanged: they drop blanks around a value and one pair of enclosing quotes,
// so a value that begins or ends with either goes between double quotes.
std::string ProfileText(const std::string& value) {
    auto edge = [](char c) { return IsBlank(c) || c == '"' || c == '\''; };
    if (!value.empty() && (edge(value.front()) || edge(value.back()))) return "\"" + value + "\"";
    return value;
}

}  // namespace

// ---------------------------------------------------------------- menu-shortcut text

std::string ShortCutToText(int shortCut) {
    std::string name = KeyToName(shortCut & 0xFF);
    if (name.empty()) return std::string();
    std::string text;
    if (shortCut & kScShift) text += "Shift+";
    if (shortCut & kScCtrl) text += "Ctrl+";
    if (shortCut & kScAlt) text += "Alt+";
    return text + name;
}

int TextToShortCut(const std::string& input) {
    const std::string text = Trim(input);
    int mods = 0;
    size_t pos = 0;
    for (;;) {
        if (StartsWithNoCase(text, pos, "Shift+")) {
            mods |= kScShift;
            pos += 6;
        } else if (StartsWithNoCase(text, pos, "Ctrl+")) {
            mods |= kScCtrl;
            pos += 5;
        } else if (StartsWithNoCase(text, pos, "Alt+")) {
            mods |= kScAlt;
            pos += 4;
        } else if (StartsWithNoCase(text, pos, "^")) {
            mods |= kScCtrl;
            pos += 1;
        } else {
            break;
        }
    }
    int vk = NameToKey(text.substr(pos));
    return vk == 0 ? 0 : (mods | vk);
}

// ---------------------------------------------------------------- INI values

bool ParseIniInteger(const std::string& input, int& value) {
    const std::string t = Trim(input);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    bool hex = false;
    if (i < t.size() && t[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= t.size()) return false;
    uint64_t acc = 0;
    for (; i < t.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return false;
        acc = acc * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (acc > 0xFFFFFFFFull) return false;
    }
    int64_t result;
    if (hex) {
        // Eight hex digits fill all 32 bits, sign included, like the platform's conversion.
        result = static_cast<int32_t>(static_cast<uint32_t>(acc));
        if (negative) result = -result;
        if (result > INT32_MAX || result < INT32_MIN) return false;
    } else {
        result = negative ? -static_cast<int64_t>(acc) : static_cast<int64_t>(acc);
        if (result > INT32_MAX || result < INT32_MIN) return false;
    }
    value = static_cast<int>(result);
    return true;
}

int ReadIniInteger(IProfile& profile, const std::string& file, const std::string& section, const std::string& key,
                   int def) {
    int v;
    return ParseIniInteger(profile.ReadString(file, section, key, std::string()), v) ? v : def;
}

bool ReadIniBool(IProfile& profile, const std::string& file, const std::string& section, const std::string& key,
                 bool def) {
    return ReadIniInteger(profile, file, section, key, def ? 1 : 0) != 0;
}

void WriteIniBool(IProfile& profile, const std::string& file, const std::string& section, const std::string& key,
                  bool value) {
    profile.WriteString(file, section, key, value ? "1" : "0");
}

void WriteIniInteger(IProfile& profile, const std::string& file, const std::string& section,
                     const std::string& key, int value) {
    profile.WriteString(file, section, key, std::to_string(value));
}

// ---------------------------------------------------------------- Settings

Settings::Settings(const SettingsServices& services, AppModel& model, FormConfigControls& config)
    : svc_(services), m_(model), config_(config) {}

std::string Settings::MigrationQuestion(const std::string& copySource, const std::string& newDir) {
    const std::string br = "\r\n";
    return "Pivora has copied files" + br + "from: \"" + copySource + "\"" + br + "to: \"" + newDir + "\"." + br +
           br + "Do you want Pivora to delete files found" + br + "in: \"" + copySource + "\"?" + br + br +
           "For more information see \"history.txt\" that accompanies Pivora.";
}

void Settings::LoadSettings() {
    SettleDataDir();
    ReadSettingsFile();
}

void Settings::SettleDataDir() {
    IFileSystem& fs = svc_.fs;
    m_.DataDir = m_.ProgramDir;
    std::string copySource = m_.ProgramDir;
    bool oldLocation = false;
    const std::string access =
        Lower(Trim(svc_.profile.ReadString(m_.ProgramDir + kGlcIniName, "Misc", "DataAccess", "all")));

    // Setting up the per-user directory is best effort: whatever fails leaves the
    // data where it was, and the program starts all the same.
    try {
        if (access != "user") {
            ForceDirectories(fs, m_.ProgramDir + "shortcuts");
        } else {
            const std::string appData = ShellFolder(svc_.system, kCsidlAppData);
            if (!appData.empty() && DirectoryExists(fs, appData + "\\Kelvory") &&
                DirectoryExists(fs, appData + "\\Kelvory\\Pivora")) {
                copySource = appData + "\\Kelvory\\Pivora\\";
                oldLocation = true;
            }
            std::string dir = ShellFolder(svc_.system, kCsidlPersonal);
            bool ok = !dir.empty();
            for (const char* level : {"\\Kelvory", "\\Pivora"}) {
                if (!ok) break;
                dir += level;
                if (!DirectoryExists(fs, dir)) ok = fs.MakeDir(dir) && DirectoryExists(fs, dir);
            }
            if (ok) {
                dir += "\\";
                // Should the application data and the documents folder be one
                // and the same, the "old" location is the new directory itself:
                // it must be neither copied onto itself nor offered for removal.
                if (oldLocation && Lower(copySource) == Lower(dir)) {
                    copySource = m_.ProgramDir;
                    oldLocation = false;
                }
                const bool hasStore = DirectoryExists(fs, dir + "shortcuts");
                const bool hasIni = FileExists(fs, dir + kSettingsIniName);
                if (hasStore && hasIni) {
                    m_.DataDir = dir;
                } else {
                    // A part the copy source lacks is no failure: the new directory
                    // starts with what there is, and defaults for the rest. Were the
                    // data to stay behind for this run, the next start would move it
                    // to the copy made now and the run's edits would be lost.
                    // The same holds for a settings file that cannot be copied:
                    // the store decides where the data lives. The copy source then
                    // holds the only copy of the settings and is not offered for removal.
                    if (!hasStore) CopyDirectoryTree(fs, copySource + "shortcuts", dir + "shortcuts");
                    bool settingsCopied = true;
                    if (!hasIni && FileExists(fs, copySource + kSettingsIniName)) {
                        try {
                            CopyFileContents(fs, copySource + kSettingsIniName, dir + kSettingsIniName);
                        } catch (const EStreamError&) {
                            settingsCopied = false;
                        }
                    }
                    m_.DataDir = dir;
                    if (oldLocation && settingsCopied) {
                        int answer = svc_.ui.Dialog("Confirm", MigrationQuestion(copySource, dir),
                                                    DialogType::Confirmation, kBtnYes | kBtnNo, 0);
                        if (answer == kMrYes) {
                            WalkOptions opts;
                            opts.deleteFiles = true;
                            opts.useRecycleBin = true;
                            opts.removeDirectories = true;
                            opts.continueOnError = true;
                            WalkDirectory(fs, copySource, true, "*.*", opts);
                            fs.RemoveDir(WithoutTrailingBackslash(copySource));
                        }
                    }
                }
            }
        }
    } catch (...) {
    }
    svc_.pump.ProcessMessages();
}

std::string Settings::ForeseeDataDir(const std::string& programDir) {
    IFileSystem& fs = svc_.fs;
    const std::string access =
        Lower(Trim(svc_.profile.ReadString(programDir + kGlcIniName, "Misc", "DataAccess", "all")));
    if (access != "user") return programDir;
    std::string dir = ShellFolder(svc_.system, kCsidlPersonal);
    if (dir.empty()) return programDir;  // settling leaves the data where it is too
    dir += "\\Kelvory\\Pivora\\";
    // Only a directory that settling takes as it is: anything else is set up
    // there first, or copied, and perhaps asked about.
    if (DirectoryExists(fs, dir + "shortcuts") && FileExists(fs, dir + kSettingsIniName)) return dir;
    return std::string();
}

void Settings::ReadSettingsFile() {
    IProfile& p = svc_.profile;
    const std::string f = SettingsFile();
    m_.settings.TaskBar = ReadIniBool(p, f, kGeneral, "TaskBar", true);
    svc_.hotKey.SetHotKey(TextToShortCut(p.ReadString(f, kGeneral, "OpenPivoraHotkey", "CTRL+L")));
    config_.HotKeyOpenPivora.ShortCut = svc_.hotKey.HotKey();
    const bool legacyWindowsDraw = ReadIniBool(p, f, kFont, "WindowsDraw", true);
    m_.settings.WindowsDraw = ReadIniBool(p, f, kMisc, "WindowsDraw", legacyWindowsDraw);
    m_.settings.DrawMenuBar = ReadIniBool(p, f, kMisc, "DrawMenuBar", false);
    // An empty name would leave the program without a font to write back.
    m_.settings.FontName = Trim(p.ReadString(f, kFont, "FontName", "Verdana"));
    if (m_.settings.FontName.empty()) m_.settings.FontName = "Verdana";
    m_.settings.FontSize = ReadIniInteger(p, f, kFont, "FontSize", 8);
    m_.settings.FontStyle = 0;
    m_.settings.FontStyleBold = ReadIniBool(p, f, kFont, "FontStyleBold", false);
    if (m_.settings.FontStyleBold) m_.settings.FontStyle = kFontStyleBold;
    svc_.pump.ProcessMessages();
    ReadAutostart();
}

bool Settings::SaveSettings() {
    IProfile& p = svc_.profile;
    const std::string f = SettingsFile();
    bool ok = true;
    ok &= p.WriteString(f, kGeneral, "TaskBar", config_.ChkBxTaskBar.Checked ? "1" : "0");
    ok &= p.WriteString(f, kGeneral, "OpenPivoraHotkey", ShortCutToText(svc_.hotKey.HotKey()));
    ok &= p.WriteString(f, kMisc, "WindowsDraw", config_.CBWinDefDrawAll.Checked ? "1" : "0");
    ok &= p.WriteString(f, kMisc, "DrawMenuBar", m_.settings.DrawMenuBar ? "1" : "0");
    // A hand-edited file may hold the legacy key more than once, and a delete
    // takes one; left over, it would go at a later save and change the file again.
    // (A missing key reads as whatever default is asked for, a present one not.)
    auto legacyKeyLeft = [&] {
        return p.ReadString(f, kFont, "WindowsDraw", "0") == p.ReadString(f, kFont, "WindowsDraw", "1");
    };
    for (int n = 0; n < 1000 && legacyKeyLeft(); ++n)
        if (!p.DeleteKey(f, kFont, "WindowsDraw")) break;
    // A list without a selection (the file named a font that is not installed, or
    // a size outside the list) keeps the value read from the file.
    std::string name = config_.CmBoxFontName.Text();
    if (name.empty()) name = m_.settings.FontName;
    ok &= p.WriteString(f, kFont, "FontName", ProfileText(name));
    int size;
    if (!ParseIniInteger(config_.CmBoxFontSize.Text(), size)) size = m_.settings.FontSize;
    ok &= p.WriteString(f, kFont, "FontSize", std::to_string(size));
    ok &= p.WriteString(f, kFont, "FontStyleBold", m_.settings.FontStyleBold ? "1" : "0");
    WriteAutostart(config_.ChkBxSystray.Checked);
    svc_.pump.ProcessMessages();
    return ok;
}

std::string Settings::AutostartCommand() const {
    // Quoted, so that a path with blanks cannot be taken for a shorter program path.
    return "\"" + m_.ProgramDir + m_.ExeName + "\"";
}

void Settings::ReadAutostart() {
    std::string value;
    const bool found = svc_.registry.ReadString(kRunKey, kRunValueName, value);
    config_.ChkBxSystray.Checked = found && !value.empty();
}

void Settings::WriteAutostart(bool on) {
    if (on)
        svc_.registry.WriteString(kRunKey, kRunValueName, AutostartCommand());
    else
        svc_.registry.DeleteValue(kRunKey, kRunValueName);
}

void Settings::ApplyWindowsDrawSwitch(bool on) { pv::ApplyWindowsDrawSwitch(config_, on); }

void Settings::ApplyVisualSettings(IAppWindows& windows) {
    int i = config_.CmBoxFontSize.IndexOf(std::to_string(m_.settings.FontSize));
    if (i >= 0) config_.CmBoxFontSize.ItemIndex = i;
    i = config_.CmBoxFontName.IndexOf(m_.settings.FontName);
    if (i >= 0) config_.CmBoxFontName.ItemIndex = i;

    if (m_.settings.TaskBar) {
        windows.SetApplicationExStyle(0);
        config_.ChkBxTaskBar.Checked = true;
    } else {
        svc_.pump.ProcessMessages();
        windows.SetApplicationExStyle(kWsExToolWindow);
        config_.ChkBxTaskBar.Checked = false;
    }

    config_.edtDataPath.Text = m_.DataDir;
    config_.CBWinDefDrawAll.Checked = m_.settings.WindowsDraw;
    ApplyWindowsDrawSwitch(m_.settings.WindowsDraw);

    if (m_.settings.WindowsDraw) {
        windows.BindApplicationActivate(false);
        const WindowFont menuFont = windows.SystemMenuFont();
        for (AppWindow w : kWindowOrder) {
            windows.SetCaption(w, windows.TitleText(w));
            WindowFont font = windows.GetFont(w);
            font.name = menuFont.name;
            font.size = menuFont.size;
            windows.SetFont(w, font);
            windows.BindCaptionPainting(w, false);
            if (w == AppWindow::FormConfig) {
                config_.RichEditHelp.Font.name = menuFont.name;
                config_.RichEditHelp.Font.size = menuFont.size;
            }
        }
    } else {
        windows.BindApplicationActivate(true);
        for (AppWindow w : kWindowOrder) {
            windows.SetCaption(w, std::string());
            WindowFont font = windows.GetFont(w);
            font.name = m_.settings.FontName;
            font.size = m_.settings.FontSize;
            font.bold = font.bold || m_.settings.FontStyleBold;  // bold, once added, stays
            windows.SetFont(w, font);
            windows.BindCaptionPainting(w, true);
            if (w == AppWindow::FormConfig) {
                RichEditModel& help = config_.RichEditHelp;
                help.Font.name = m_.settings.FontName;
                help.Font.size = m_.settings.FontSize;
                help.Font.bold = help.Font.bold || m_.settings.FontStyleBold;
            }
            if (w == AppWindow::FormAbout) {
                const WindowFont aboutFont = windows.GetFont(AppWindow::FormAbout);
                windows.SetLabelUrlFont(aboutFont.name, aboutFont.size);
            }
        }
    }
    windows.ConfigControlsChanged();
}

void Settings::HideOpenWindows(IAppWindows& windows) {
    for (AppWindow w : kWindowOrder) {
        if (windows.IsVisible(w)) {
            windows.Hide(w);
            WindowMark(w) = 1;
        }
    }
}

void Settings::ShowHiddenWindows(IAppWindows& windows) {
    for (AppWindow w : kWindowOrder) {
        if (WindowMark(w) == 1) {
            windows.Show(w);
            WindowMark(w) = 0;
        }
    }
}

}  // namespace pv
