#pragma once
// The settings behaviour tests, shared by two programs: unit_settings runs them
// over the portable INI profile and an in-memory registry (natively and under
// Wine), win_settings over the system's profile functions and the real registry
// (Wine only). Include this header in exactly one file of a test program and
// define MakeSettingsBackend there.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/Settings.h"
#include "settings_fakes.h"
#include "support/UkvWinSysAPI.h"

namespace pvtest {

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    virtual std::unique_ptr<pv::IProfile> MakeProfile(pv::IFileSystem& fs) = 0;
    virtual pv::IRegistry& Registry() = 0;
    // Removes what the tests may have left in the registry.
    virtual void CleanRegistry() = 0;
};

std::unique_ptr<SettingsBackend> MakeSettingsBackend();

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend = MakeSettingsBackend();
        backend->CleanRegistry();
        profile = backend->MakeProfile(dir.Fs());
        prog = dir.Root() + "Program Files\\Kelvory Pivora\\";
        dir.MakeDirs("Program Files\\Kelvory Pivora");
        model.ProgramDir = prog;
        model.ExeName = "pivora.exe";
        model.DataDir = prog;
        config.CmBoxFontName.SetItems({"Verdana", "Arial", "Tahoma", "Courier New", "Lucida Console"});
        settings = std::make_unique<pv::Settings>(
            pv::SettingsServices{*profile, backend->Registry(), dir.Fs(), system, ui, hotKey, pump}, model, config);
    }
    void TearDown() override { backend->CleanRegistry(); }

    // Relative path of the program directory below the scratch root.
    static std::string ProgRel(const std::string& name) { return "Program Files\\Kelvory Pivora\\" + name; }
    void WriteSettingsIni(const std::string& text) { dir.WriteFile(ProgRel("pivora.ini"), text); }
    std::string SettingsIniText() {
        std::string s;
        dir.Fs().ReadAll(model.DataDir + "pivora.ini", s);
        return s;
    }
    std::string Read(const std::string& section, const std::string& key) {
        return profile->ReadString(model.DataDir + "pivora.ini", section, key, "<missing>");
    }
    bool RunValue(std::string& value) { return backend->Registry().ReadString(pv::kRunKey, pv::kRunValueName, value); }
    // A start: settings read and applied as start-up does.
    void Start() {
        settings->LoadSettings();
        settings->ApplyVisualSettings(windows);
    }

    ScratchDir dir;
    std::unique_ptr<SettingsBackend> backend;
    std::unique_ptr<pv::IProfile> profile;
    FakeSystem system;
    ScriptedMessageUI ui;
    FakeHotKey hotKey;
    CountingPump pump;
    pv::AppModel model;
    pv::FormConfigControls config;
    FakeAppWindows windows;
    std::unique_ptr<pv::Settings> settings;
    std::string prog;
};

// ---------------------------------------------------------------- reading pivora.ini

TEST_F(SettingsTest, MissingOrEmptyFileGivesDefaults) {
    for (bool exists : {false, true}) {
        if (exists) WriteSettingsIni("");
        hotKey.value = 0;
        settings->LoadSettings();
        SCOPED_TRACE(exists ? "empty file" : "no file");
        EXPECT_TRUE(model.settings.TaskBar);
        EXPECT_EQ(hotKey.value, 0x404C);
        EXPECT_TRUE(model.settings.WindowsDraw);
        EXPECT_FALSE(model.settings.DrawMenuBar);
        EXPECT_EQ(model.settings.FontName, "Verdana");
        EXPECT_EQ(model.settings.FontSize, 8);
        EXPECT_FALSE(model.settings.FontStyleBold);
        EXPECT_EQ(model.settings.FontStyle, 0u);
        EXPECT_FALSE(config.ChkBxSystray.Checked);
    }
}

TEST_F(SettingsTest, BooleansAndIntegersFollowTheIniRules) {
    struct Case {
        const char* value;
        bool boolean;  // TaskBar (default 1)
        int size;      // FontSize (default 8)
    };
    const Case cases[] = {
        {"1", true, 1},          {"0", false, 0},        {"2", true, 2},         {"-1", true, -1},
        {"0x0", false, 0},       {"0x10", true, 16},     {"0X0A", true, 10},     {"0xff", true, 255},
        {"$0", false, 0},        {"  7  ", true, 7},     {"00", false, 0},       {"+9", true, 9},
        {"", true, 8},           {"yes", true, 8},       {"no", true, 8},        {"false", true, 8},
        {"12abc", true, 8},      {"1.5", true, 8},       {"0x", true, 8},        {"0xZZ", true, 8},
        {"--1", true, 8},        {"99999999999", true, 8}, {"1 2", true, 8},     {"\"0\"", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("value [") + c.value + "]");
        WriteSettingsIni(std::string("[General Settings]\r\nTaskBar=") + c.value + "\r\n[Font Settings]\r\nFontSize=" +
                         c.value + "\r\n");
        settings->LoadSettings();
        EXPECT_EQ(model.settings.TaskBar, c.boolean);
        EXPECT_EQ(model.settings.FontSize, c.size);
    }
}

TEST_F(SettingsTest, EveryKeyIsReadIntoItsSetting) {
    WriteSettingsIni(
        "[General Settings]\r\nTaskBar=0\r\nOpenPivoraHotkey=Shift+Alt+F5\r\n"
        "[Misc Settings]\r\nWindowsDraw=0\r\nDrawMenuBar=1\r\n"
        "[Font Settings]\r\nFontName=Tahoma\r\nFontSize=10\r\nFontStyleBold=1\r\n");
    settings->LoadSettings();
    EXPECT_FALSE(model.settings.TaskBar);
    EXPECT_EQ(hotKey.value, pv::kScShift | pv::kScAlt | 0x74);
    EXPECT_FALSE(model.settings.WindowsDraw);
    EXPECT_TRUE(model.settings.DrawMenuBar);
    EXPECT_EQ(model.settings.FontName, "Tahoma");
    EXPECT_EQ(model.settings.FontSize, 10);
    EXPECT_TRUE(model.settings.FontStyleBold);
    EXPECT_EQ(model.settings.FontStyle, pv::kFontStyleBold);
    pv::MenuDrawSettings d = pv::MenuDrawSettingsOf(model.settings);
    EXPECT_EQ(d.fontName, "Tahoma");
    EXPECT_EQ(d.fontSize, 10);
    EXPECT_TRUE(d.fontBold);
    EXPECT_FALSE(d.windowsDraw);
}

TEST_F(SettingsTest, NamesOfSectionsAndKeysMatchInAnyLetterCase) {
    WriteSettingsIni("[general settings]\r\ntaskbar=0\r\n[FONT SETTINGS]\r\nFONTNAME=Arial\r\n");
    settings->LoadSettings();
    EXPECT_FALSE(model.settings.TaskBar);
    EXPECT_EQ(model.settings.FontName, "Arial");
}

TEST_F(SettingsTest, BoldIsRecomputedAtEveryRead) {
    WriteSettingsIni("[Font Settings]\r\nFontStyleBold=1\r\n");
    settings->LoadSettings();
    EXPECT_EQ(model.settings.FontStyle, pv::kFontStyleBold);
    WriteSettingsIni("[Font Settings]\r\nFontStyleBold=0\r\n");
    settings->LoadSettings();
    EXPECT_FALSE(model.settings.FontStyleBold);
    EXPECT_EQ(model.settings.FontStyle, 0u);
}

TEST_F(SettingsTest, LegacyWindowsDrawIsTheDefaultOfTheNewKey) {
    struct Case {
        const char* text;
        bool windowsDraw;
    };
    const Case cases[] = {
        {"[Font Settings]\r\nWindowsDraw=0\r\n", false},
        {"[Font Settings]\r\nWindowsDraw=1\r\n", true},
        {"[Font Settings]\r\nWindowsDraw=0\r\n[Misc Settings]\r\nWindowsDraw=1\r\n", true},
        {"[Font Settings]\r\nWindowsDraw=1\r\n[Misc Settings]\r\nWindowsDraw=0\r\n", false},
        {"[Font Settings]\r\nWindowsDraw=0\r\n[Misc Settings]\r\nWindowsDraw=junk\r\n", false},
        {"[Font Settings]\r\nWindowsDraw=junk\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteSettingsIni(c.text);
        settings->LoadSettings();
        EXPECT_EQ(model.settings.WindowsDraw, c.windowsDraw);
    }
}

TEST_F(SettingsTest, LegacyKeyMovesToMiscSettingsAtTheNextSave) {
    WriteSettingsIni("[Font Settings]\r\nWindowsDraw=0\r\nFontName=Arial\r\n");
    Start();
    EXPECT_FALSE(model.settings.WindowsDraw);
    EXPECT_FALSE(config.CBWinDefDrawAll.Checked);
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(Read("Font Settings", "WindowsDraw"), "<missing>");
    EXPECT_EQ(Read("Misc Settings", "WindowsDraw"), "0");
    settings->LoadSettings();
    EXPECT_FALSE(model.settings.WindowsDraw);
}

// ---------------------------------------------------------------- writing pivora.ini

TEST_F(SettingsTest, FileWrittenFromScratchHasTheSectionsInOrder) {
    Start();
    ASSERT_TRUE(settings->SaveSettings());
    const std::vector<std::string> expected = {
        "[General Settings]", "TaskBar=1",     "OpenPivoraHotkey=Ctrl+L",
        "[Misc Settings]",    "WindowsDraw=1", "DrawMenuBar=0",
        "[Font Settings]",    "FontName=Verdana", "FontSize=8", "FontStyleBold=0",
    };
    const std::string text = SettingsIniText();
    EXPECT_EQ(IniShape(text), expected);
    // Lines end in CR LF.
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
}

TEST_F(SettingsTest, WritingTakesTheControlsAndTheHotKeyInForce) {
    Start();
    config.ChkBxTaskBar.Checked = false;
    config.CBWinDefDrawAll.Checked = false;
    config.CmBoxFontName.ItemIndex = config.CmBoxFontName.IndexOf("Lucida Console");
    config.CmBoxFontSize.ItemIndex = config.CmBoxFontSize.IndexOf("11");
    hotKey.value = pv::kScCtrl | pv::kScAlt | 'P';
    model.settings.DrawMenuBar = true;
    model.settings.FontStyleBold = true;
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(Read("General Settings", "TaskBar"), "0");
    EXPECT_EQ(Read("General Settings", "OpenPivoraHotkey"), "Ctrl+Alt+P");
    EXPECT_EQ(Read("Misc Settings", "WindowsDraw"), "0");
    EXPECT_EQ(Read("Misc Settings", "DrawMenuBar"), "1");
    EXPECT_EQ(Read("Font Settings", "FontName"), "Lucida Console");
    EXPECT_EQ(Read("Font Settings", "FontSize"), "11");
    EXPECT_EQ(Read("Font Settings", "FontStyleBold"), "1");
}

TEST_F(SettingsTest, SaveKeepsOtherContentOfTheFile) {
    WriteSettingsIni("[User Notes]\r\nnote=keep me\r\n[Font Settings]\r\nFontName=Arial\r\nExtra=1\r\n");
    Start();
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(Read("User Notes", "note"), "keep me");
    EXPECT_EQ(Read("Font Settings", "Extra"), "1");
    EXPECT_EQ(Read("Font Settings", "FontName"), "Arial");
}

TEST_F(SettingsTest, DrawMenuBarBoldAndHotKeyAreWrittenBackAsRead) {
    WriteSettingsIni(
        "[General Settings]\r\nOpenPivoraHotkey=alt+shift+home\r\n[Misc Settings]\r\nDrawMenuBar=5\r\n"
        "[Font Settings]\r\nFontStyleBold=0x1\r\n");
    Start();
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(Read("General Settings", "OpenPivoraHotkey"), "Shift+Alt+Home");
    EXPECT_EQ(Read("Misc Settings", "DrawMenuBar"), "1");
    EXPECT_EQ(Read("Font Settings", "FontStyleBold"), "1");
}

// A FontSize outside the list or a FontName not installed leaves the list
// without a selection; the values read stay in force and are written back.
TEST_F(SettingsTest, FontValuesOutsideTheListsAreWrittenBackAsRead) {
    struct Case {
        const char* name;
        const char* size;
        const char* writtenName;
        const char* writtenSize;
    };
    const Case cases[] = {
        {"No Such Font", "8", "No Such Font", "8"},
        {"Verdana", "99", "Verdana", "99"},
        {"Verdana", "5", "Verdana", "5"},
        {"Verdana", "-3", "Verdana", "-3"},
        {"verdana", "0", "verdana", "0"},  // letter case counts when selecting
        {"Bogus", "1000", "Bogus", "1000"},
        {"", "", "Verdana", "8"},          // empty values: the defaults
        {"   ", "garbage", "Verdana", "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.size);
        config = pv::FormConfigControls();
        config.CmBoxFontName.SetItems({"Verdana", "Arial", "Tahoma"});
        WriteSettingsIni(std::string("[Font Settings]\r\nFontName=") + c.name + "\r\nFontSize=" + c.size +
                         "\r\nFontStyleBold=1\r\n");
        Start();
        config.ChkBxSystray.Checked = true;
        bool ok = false;
        EXPECT_NO_THROW(ok = settings->SaveSettings());
        EXPECT_TRUE(ok);
        EXPECT_EQ(Read("Font Settings", "FontName"), c.writtenName);
        EXPECT_EQ(Read("Font Settings", "FontSize"), c.writtenSize);
        EXPECT_EQ(Read("Font Settings", "FontStyleBold"), "1");
        std::string run;
        EXPECT_TRUE(RunValue(run));
        // Applying again (Apply in the dialog) changes nothing and does not fail.
        EXPECT_NO_THROW(Start());
        EXPECT_NO_THROW(settings->SaveSettings());
        EXPECT_EQ(Read("Font Settings", "FontName"), c.writtenName);
        EXPECT_EQ(Read("Font Settings", "FontSize"), c.writtenSize);
    }
}

TEST_F(SettingsTest, ValidFontValuesAreSelectedInTheLists) {
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\nFontSize=0x0C\r\n");
    Start();
    EXPECT_EQ(config.CmBoxFontName.Text(), "Tahoma");
    EXPECT_EQ(config.CmBoxFontSize.Text(), "12");
    // A later value not in the lists keeps the earlier selection.
    WriteSettingsIni("[Font Settings]\r\nFontName=Nope\r\nFontSize=13\r\n");
    Start();
    EXPECT_EQ(config.CmBoxFontName.Text(), "Tahoma");
    EXPECT_EQ(config.CmBoxFontSize.Text(), "12");
}

// ---------------------------------------------------------------- hot key

TEST_F(SettingsTest, HotKeyTextIsSetOnTheHotKey) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"CTRL+L", 16460},      {"Ctrl+L", 16460},        {"ctrl+l", 16460},       {"Alt+Ctrl+L", 0xC04C},
        {"Shift+F12", 0x207B},  {"Ctrl+", 0},             {"", 0},                 {"Ctrl+Nothing", 0},
        {"  Ctrl+L  ", 16460},  {"Ctrl+Shift+Alt+9", 0xE039},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteSettingsIni(std::string("[General Settings]\r\nOpenPivoraHotkey=") + c.text + "\r\n");
        settings->LoadSettings();
        EXPECT_EQ(hotKey.value, c.value);
    }
}

TEST_F(SettingsTest, SettingTheSameHotKeyAgainChangesNothing) {
    settings->LoadSettings();
    settings->LoadSettings();
    EXPECT_EQ(hotKey.changes, 0);  // Ctrl+L was already in force
}

// ---------------------------------------------------------------- start with Windows

TEST_F(SettingsTest, RunValueHoldsTheQuotedExecutablePath) {
    Start();
    config.ChkBxSystray.Checked = true;
    ASSERT_TRUE(settings->SaveSettings());
    std::string run;
    ASSERT_TRUE(RunValue(run));
    EXPECT_EQ(run, "\"" + prog + "pivora.exe\"");
    EXPECT_EQ(run, settings->AutostartCommand());
    config.ChkBxSystray.Checked = false;
    settings->ReadAutostart();
    EXPECT_TRUE(config.ChkBxSystray.Checked);

    config.ChkBxSystray.Checked = false;
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_FALSE(RunValue(run));
    config.ChkBxSystray.Checked = true;
    settings->ReadAutostart();
    EXPECT_FALSE(config.ChkBxSystray.Checked);
}

TEST_F(SettingsTest, AnyNonEmptyRunValueReadsAsOn) {
    struct Case {
        const char* value;
        bool on;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Kelvory Pivora\\pivora.exe", true},  // unquoted, from an older version
        {"\"C:\\x.exe\"", true},
        {"x", true},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        backend->Registry().WriteString(pv::kRunKey, pv::kRunValueName, c.value);
        settings->LoadSettings();
        EXPECT_EQ(config.ChkBxSystray.Checked, c.on);
    }
    backend->Registry().DeleteValue(pv::kRunKey, pv::kRunValueName);
    settings->LoadSettings();
    EXPECT_FALSE(config.ChkBxSystray.Checked);
}

TEST_F(SettingsTest, DeletingAMissingRunValueIsHarmless) {
    settings->WriteAutostart(false);
    settings->WriteAutostart(false);
    std::string run;
    EXPECT_FALSE(RunValue(run));
}

// ---------------------------------------------------------------- data location

TEST_F(SettingsTest, WithoutGlcIniTheProgramDirectoryHoldsTheData) {
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, prog);
    EXPECT_TRUE(dir.IsDir(ProgRel("shortcuts")));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsTest, DataAccessValuesOtherThanUserSelectTheProgramDirectory) {
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    dir.MakeDirs("Docs");
    const char* values[] = {"all", "", "users", "use r", "user1", "ALL"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        dir.WriteFile(ProgRel("glc.ini"), std::string("[Misc]\r\nDataAccess=") + v + "\r\n");
        settings->LoadSettings();
        EXPECT_EQ(model.DataDir, prog);
    }
    EXPECT_FALSE(dir.IsDir("Docs\\Kelvory"));
}

TEST_F(SettingsTest, UserWithBlanksAndCapitalsSelectsThePerUserDirectory) {
    const std::string docs = dir.Root() + "Docs";
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlPersonal] = docs;
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess= User \r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Arial\r\n");
    dir.WriteFile(ProgRel("shortcuts\\shortcuts.txt"), "^Folder|Games\r\n");
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, docs + "\\Kelvory\\Pivora\\");
    // Copied from the program directory, without any question.
    EXPECT_EQ(dir.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^Folder|Games\r\n");
    EXPECT_TRUE(dir.IsFile("Docs\\Kelvory\\Pivora\\pivora.ini"));
    EXPECT_EQ(model.settings.FontName, "Arial");
    EXPECT_TRUE(ui.shown.empty());
    // The program directory keeps its files.
    EXPECT_TRUE(dir.IsFile(ProgRel("pivora.ini")));
}

// Where the data lives, worked out before the settings are read (to read the
// store early): what settling will settle, with nothing made, copied or asked,
// or nothing at all when settling has something to set up first.
TEST_F(SettingsTest, TheDataDirectoryIsForeseenWithoutChangingAnything) {
    struct Case {
        const char* what;
        const char* glc;       // glc.ini's text; null: none
        const char* docs;      // the documents folder below the scratch root; null: none
        bool perUserStore;     // Docs\Kelvory\Pivora\shortcuts exists
        bool perUserIni;       // Docs\Kelvory\Pivora\pivora.ini exists
        const char* expected;  // relative to the scratch root; "" for none; "prog" for the program directory
    };
    const Case cases[] = {
        {"no glc.ini", nullptr, "Docs", true, true, "prog"},
        {"all", "[Misc]\r\nDataAccess=all\r\n", "Docs", true, true, "prog"},
        {"user, set up", "[Misc]\r\nDataAccess= User \r\n", "Docs", true, true, "Docs\\Kelvory\\Pivora\\"},
        {"user, shell folder with backslash", "[Misc]\r\nDataAccess=user\r\n", "Docs\\", true, true,
         "Docs\\Kelvory\\Pivora\\"},
        {"user, nothing there yet", "[Misc]\r\nDataAccess=user\r\n", "Docs", false, false, ""},
        {"user, no settings there", "[Misc]\r\nDataAccess=user\r\n", "Docs", true, false, ""},
        {"user, no store there", "[Misc]\r\nDataAccess=user\r\n", "Docs", false, true, ""},
        {"user, no documents folder", "[Misc]\r\nDataAccess=user\r\n", nullptr, false, false, "prog"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir d;
        auto prof = backend->MakeProfile(d.Fs());
        const std::string p = d.Root() + "Prog\\";
        d.MakeDirs("Prog");
        if (c.glc) d.WriteFile("Prog\\glc.ini", c.glc);
        d.WriteFile("Prog\\pivora.ini", "[Font Settings]\r\nFontName=Tahoma\r\n");
        d.MakeDirs("Docs");
        if (c.perUserStore) d.WriteFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt", "^NorSep\r\n");
        if (c.perUserIni) d.WriteFile("Docs\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");
        FakeSystem sys;
        if (c.docs) sys.folders[pv::kCsidlPersonal] = d.Root() + c.docs;
        ScriptedMessageUI mui;
        pv::AppModel m;
        m.ProgramDir = p;
        m.DataDir = p;
        pv::Settings s(pv::SettingsServices{*prof, backend->Registry(), d.Fs(), sys, mui, hotKey, pump}, m, config);
        const std::string expected = std::string(c.expected) == "prog" ? p
                                     : *c.expected                   ? d.Root() + c.expected
                                                                     : std::string();
        EXPECT_EQ(s.ForeseeDataDir(p), expected);
        // Nothing made, nothing asked.
        EXPECT_FALSE(d.IsDir("Prog\\shortcuts"));
        EXPECT_EQ(d.IsDir("Docs\\Kelvory"), c.perUserStore || c.perUserIni);
        EXPECT_TRUE(mui.shown.empty());
        // What was foreseen is what settling settles.
        s.LoadSettings();
        if (!expected.empty()) {
            EXPECT_EQ(m.DataDir, expected);
        }
    }
}

TEST_F(SettingsTest, ShellFoldersWithATrailingBackslashGiveSingleSeparators) {
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\n");
    dir.WriteFile("AppData\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlAppData] = dir.Root() + "AppData\\";
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs\\";
    ui.answers = {pv::kMrNo};
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, dir.Root() + "Docs\\Kelvory\\Pivora\\");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.find("\\\\"), std::string::npos) << ui.shown[0].text;
}

TEST_F(SettingsTest, FirstStartWithAnOldLocationCopiesAndAsks) {
    for (int answer : {pv::kMrNo, pv::kMrYes}) {
        SCOPED_TRACE(answer == pv::kMrYes ? "Yes" : "No");
        ScratchDir d;
        auto prof = backend->MakeProfile(d.Fs());
        const std::string p = d.Root() + "Prog\\";
        d.MakeDirs("Prog");
        model.ProgramDir = p;
        d.WriteFile("Prog\\glc.ini", "[Misc]\r\nDataAccess=user\r\n");
        d.WriteFile("Prog\\pivora.ini", "[Font Settings]\r\nFontName=Tahoma\r\n");
        d.WriteFile("AppData\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");
        d.WriteFile("AppData\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt", "^ExeLnk|Editor|C:\\e.exe\r\n");
        d.WriteFile("AppData\\Kelvory\\Pivora\\shortcuts\\Sub\\shortcuts.txt", "^NorSep\r\n");
        d.WriteFile("AppData\\Kelvory\\Pivora\\errorlog.txt", "old log\r\n");
        d.MakeDirs("Docs");
        FakeSystem sys;
        sys.folders[pv::kCsidlAppData] = d.Root() + "AppData";
        sys.folders[pv::kCsidlPersonal] = d.Root() + "Docs";
        ScriptedMessageUI mui;
        mui.answers = {answer};
        pv::Settings s(pv::SettingsServices{*prof, backend->Registry(), d.Fs(), sys, mui, hotKey, pump}, model, config);
        s.LoadSettings();

        const std::string oldDir = d.Root() + "AppData\\Kelvory\\Pivora\\";
        const std::string newDir = d.Root() + "Docs\\Kelvory\\Pivora\\";
        EXPECT_EQ(model.DataDir, newDir);
        EXPECT_EQ(model.settings.FontName, "Arial");  // the old location's settings, not the program directory's
        EXPECT_EQ(d.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^ExeLnk|Editor|C:\\e.exe\r\n");
        EXPECT_EQ(d.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\Sub\\shortcuts.txt"), "^NorSep\r\n");
        EXPECT_FALSE(d.IsFile("Docs\\Kelvory\\Pivora\\errorlog.txt"));

        ASSERT_EQ(mui.shown.size(), 1u);
        EXPECT_EQ(mui.shown[0].type, pv::DialogType::Confirmation);
        EXPECT_EQ(mui.shown[0].buttons, unsigned(pv::kBtnYes | pv::kBtnNo));
        EXPECT_EQ(mui.shown[0].text,
                  "Pivora has copied files\r\nfrom: \"" + oldDir + "\"\r\nto: \"" + newDir +
                      "\".\r\n\r\nDo you want Pivora to delete files found\r\nin: \"" + oldDir +
                      "\"?\r\n\r\nFor more information see \"history.txt\" that accompanies Pivora.");
        if (answer == pv::kMrYes) {
            EXPECT_FALSE(d.IsDir("AppData\\Kelvory\\Pivora"));
            EXPECT_TRUE(d.IsDir("AppData\\Kelvory"));
        } else {
            EXPECT_TRUE(d.IsFile("AppData\\Kelvory\\Pivora\\pivora.ini"));
            EXPECT_TRUE(d.IsFile("AppData\\Kelvory\\Pivora\\errorlog.txt"));
            EXPECT_TRUE(d.IsFile("AppData\\Kelvory\\Pivora\\shortcuts\\Sub\\shortcuts.txt"));
        }

        // A later start uses the new directory; nothing is copied, nothing asked.
        d.WriteFile("Docs\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Courier New\r\n");
        s.LoadSettings();
        EXPECT_EQ(model.DataDir, newDir);
        EXPECT_EQ(model.settings.FontName, "Courier New");
        EXPECT_EQ(mui.shown.size(), 1u);

        // With No, the question comes again only when the new directory lacks a part.
        if (answer == pv::kMrNo) {
            mui.answers = {pv::kMrNo};
            d.Fs().RemoveFile(newDir + "pivora.ini");
            s.LoadSettings();
            EXPECT_EQ(mui.shown.size(), 2u);
            EXPECT_EQ(model.settings.FontName, "Arial");
        }
        model.ProgramDir = prog;
    }
}

TEST_F(SettingsTest, PerUserSetupFailingLeavesTheProgramDirectory) {
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\n");
    // The documents folder cannot be resolved.
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, prog);
    EXPECT_EQ(model.settings.FontName, "Tahoma");

    // The documents folder names a directory that does not exist.
    system.folders[pv::kCsidlPersonal] = dir.Root() + "NoSuchParent\\Docs";
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, prog);
    EXPECT_FALSE(dir.IsDir("NoSuchParent"));
}

TEST_F(SettingsTest, FreshPerUserInstallKeepsTheFirstSessionsEdits) {
    // The usual fresh install: the program directory holds a store but no settings file.
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    dir.WriteFile(ProgRel("shortcuts\\shortcuts.txt"), "^NorSep|\r\n");
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    const std::string newDir = dir.Root() + "Docs\\Kelvory\\Pivora\\";

    // First start: the data moves at once; the settings are the defaults.
    Start();
    EXPECT_EQ(model.DataDir, newDir);
    EXPECT_EQ(dir.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^NorSep|\r\n");
    EXPECT_TRUE(model.settings.TaskBar);
    EXPECT_EQ(model.settings.FontName, "Verdana");
    EXPECT_TRUE(ui.shown.empty());

    // The session's edits and, on Close, the settings go to the new directory.
    dir.WriteFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt", "^SpeSep|Edited\r\n");
    config.ChkBxTaskBar.Checked = false;
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_TRUE(dir.IsFile("Docs\\Kelvory\\Pivora\\pivora.ini"));
    EXPECT_FALSE(dir.IsFile(ProgRel("pivora.ini")));

    // Second start: the same directory, with the edits and the saved settings.
    Start();
    EXPECT_EQ(model.DataDir, newDir);
    EXPECT_FALSE(model.settings.TaskBar);
    EXPECT_EQ(dir.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^SpeSep|Edited\r\n");
    EXPECT_EQ(dir.ReadFile(ProgRel("shortcuts\\shortcuts.txt")), "^NorSep|\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsTest, CopySourceWithoutAStoreStillMovesTheData) {
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\n");
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, dir.Root() + "Docs\\Kelvory\\Pivora\\");
    EXPECT_EQ(model.settings.FontName, "Tahoma");
    EXPECT_TRUE(dir.IsDir("Docs\\Kelvory\\Pivora\\shortcuts"));
    EXPECT_FALSE(dir.IsFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"));
}

TEST_F(SettingsTest, OldLocationWithoutSettingsFileIsCopiedAndTheQuestionStillComes) {
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    dir.WriteFile("AppData\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt", "^Folder|Old\r\n");
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlAppData] = dir.Root() + "AppData";
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    ui.answers = {pv::kMrNo};
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, dir.Root() + "Docs\\Kelvory\\Pivora\\");
    EXPECT_EQ(dir.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^Folder|Old\r\n");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("from: \"" + dir.Root() + "AppData\\Kelvory\\Pivora\\\""), std::string::npos);
    EXPECT_TRUE(dir.IsFile("AppData\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"));
}

TEST_F(SettingsTest, ASettingsFileThatCannotBeCopiedKeepsTheDataInTheNewDirectory) {
    // Nothing can be written where the new directory's settings file should go.
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    dir.WriteFile("AppData\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt", "^Folder|Old\r\n");
    dir.WriteFile("AppData\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");
    dir.MakeDirs("Docs\\Kelvory\\Pivora\\pivora.ini");
    system.folders[pv::kCsidlAppData] = dir.Root() + "AppData";
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    const std::string newDir = dir.Root() + "Docs\\Kelvory\\Pivora\\";
    ui.answers = {pv::kMrYes, pv::kMrYes};
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        Start();
        EXPECT_EQ(model.DataDir, newDir);
        EXPECT_EQ(dir.ReadFile("Docs\\Kelvory\\Pivora\\shortcuts\\shortcuts.txt"), "^Folder|Old\r\n");
        // The old location holds the only copy of the settings: no offer to remove it.
        EXPECT_TRUE(ui.shown.empty());
        EXPECT_TRUE(dir.IsFile("AppData\\Kelvory\\Pivora\\pivora.ini"));
        settings->SaveSettings();
    }
}

TEST_F(SettingsTest, OldLocationThatIsTheNewDirectoryIsNeverRemoved) {
    // Application data and documents resolve to the same folder.
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\n");
    dir.WriteFile("Same\\Kelvory\\Pivora\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");
    system.folders[pv::kCsidlAppData] = dir.Root() + "Same";
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Same";
    ui.answers = {pv::kMrYes};
    settings->LoadSettings();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(model.DataDir, dir.Root() + "Same\\Kelvory\\Pivora\\");
    EXPECT_EQ(model.settings.FontName, "Arial");
    EXPECT_EQ(dir.ReadFile("Same\\Kelvory\\Pivora\\pivora.ini"), "[Font Settings]\r\nFontName=Arial\r\n");
}

TEST_F(SettingsTest, OldLocationNeedsBothDirectories) {
    dir.WriteFile(ProgRel("glc.ini"), "[Misc]\r\nDataAccess=user\r\n");
    WriteSettingsIni("[Font Settings]\r\nFontName=Tahoma\r\n");
    dir.WriteFile("AppData\\Kelvory\\pivora.ini", "[Font Settings]\r\nFontName=Arial\r\n");  // no Pivora below
    dir.MakeDirs("Docs");
    system.folders[pv::kCsidlAppData] = dir.Root() + "AppData";
    system.folders[pv::kCsidlPersonal] = dir.Root() + "Docs";
    settings->LoadSettings();
    EXPECT_EQ(model.DataDir, dir.Root() + "Docs\\Kelvory\\Pivora\\");
    EXPECT_EQ(model.settings.FontName, "Tahoma");
    EXPECT_TRUE(ui.shown.empty());
}

// ---------------------------------------------------------------- applying

TEST_F(SettingsTest, ApplyWithWindowsDrawOn) {
    WriteSettingsIni("[General Settings]\r\nTaskBar=1\r\n[Misc Settings]\r\nWindowsDraw=1\r\n");
    windows.menuFont = {"Segoe UI", 9, false};
    windows.win[0].font.bold = true;
    Start();
    EXPECT_EQ(windows.exStyle, 0u);
    EXPECT_TRUE(config.ChkBxTaskBar.Checked);
    EXPECT_EQ(config.edtDataPath.Text, prog);
    EXPECT_TRUE(config.CBWinDefDrawAll.Checked);
    EXPECT_FALSE(config.CmBoxFontName.Enabled);
    EXPECT_FALSE(config.CmBoxFontSize.Enabled);
    EXPECT_FALSE(config.BtnDefault.Enabled);
    EXPECT_FALSE(windows.appActivateBound);
    for (auto& w : windows.win) {
        EXPECT_EQ(w.caption, w.title);
        EXPECT_EQ(w.font.name, "Segoe UI");
        EXPECT_EQ(w.font.size, 9);
        EXPECT_FALSE(w.captionPainting);
    }
    EXPECT_TRUE(windows.win[0].font.bold);  // the style is left alone
    EXPECT_EQ(config.RichEditHelp.Font.name, "Segoe UI");
    EXPECT_EQ(config.RichEditHelp.Font.size, 9);
    EXPECT_GE(windows.controlsPushed, 1);
}

TEST_F(SettingsTest, ApplyWithWindowsDrawOff) {
    WriteSettingsIni(
        "[General Settings]\r\nTaskBar=0\r\n[Misc Settings]\r\nWindowsDraw=0\r\n"
        "[Font Settings]\r\nFontName=Tahoma\r\nFontSize=10\r\nFontStyleBold=1\r\n");
    const int pumpsBefore = pump.count;
    Start();
    EXPECT_EQ(windows.exStyle, pv::kWsExToolWindow);
    EXPECT_GT(pump.count, pumpsBefore);
    EXPECT_FALSE(config.ChkBxTaskBar.Checked);
    EXPECT_FALSE(config.CBWinDefDrawAll.Checked);
    EXPECT_TRUE(config.CmBoxFontName.Enabled);
    EXPECT_TRUE(config.CmBoxFontSize.Enabled);
    EXPECT_TRUE(config.BtnDefault.Enabled);
    EXPECT_TRUE(windows.appActivateBound);
    for (auto& w : windows.win) {
        EXPECT_EQ(w.caption, "");
        EXPECT_EQ(w.font, (pv::WindowFont{"Tahoma", 10, true}));
        EXPECT_TRUE(w.captionPainting);
    }
    EXPECT_EQ(config.RichEditHelp.Font, (pv::WindowFont{"Tahoma", 10, true}));
    EXPECT_EQ(windows.labelUrl.name, "Tahoma");
    EXPECT_EQ(windows.labelUrl.size, 10);
}

TEST_F(SettingsTest, BoldOnceAddedStaysWhenSwitchingBackAndForth) {
    WriteSettingsIni("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontStyleBold=1\r\n");
    Start();
    WriteSettingsIni("[Misc Settings]\r\nWindowsDraw=1\r\n[Font Settings]\r\nFontStyleBold=0\r\n");
    Start();
    WriteSettingsIni("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontStyleBold=0\r\n");
    Start();
    for (auto& w : windows.win) EXPECT_TRUE(w.font.bold);
    EXPECT_TRUE(config.RichEditHelp.Font.bold);
}

TEST_F(SettingsTest, WindowsDrawSwitchFollowsTheBox) {
    settings->ApplyWindowsDrawSwitch(true);
    EXPECT_FALSE(config.CmBoxFontName.Enabled);
    EXPECT_FALSE(config.BtnDefault.Enabled);
    config.CBWinDefDrawAll.Checked = true;
    settings->ApplyWindowsDrawSwitch(false);
    EXPECT_FALSE(config.CBWinDefDrawAll.Checked);
    EXPECT_TRUE(config.CmBoxFontName.Enabled);
    EXPECT_TRUE(config.CmBoxFontSize.Enabled);
    EXPECT_TRUE(config.BtnDefault.Enabled);
}

TEST_F(SettingsTest, HiddenWindowsComeBackInOrder) {
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormConfig)].visible = true;
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormAbout)].visible = true;
    settings->HideOpenWindows(windows);
    EXPECT_EQ(windows.log, (std::vector<std::string>{"hide 0", "hide 2"}));
    EXPECT_EQ(settings->WindowMark(pv::AppWindow::FormItems), 0);
    // OK closes the dialog and clears its mark: it stays closed.
    settings->WindowMark(pv::AppWindow::FormConfig) = 0;
    windows.log.clear();
    settings->ShowHiddenWindows(windows);
    EXPECT_EQ(windows.log, (std::vector<std::string>{"show 2"}));
    windows.log.clear();
    settings->ShowHiddenWindows(windows);
    EXPECT_TRUE(windows.log.empty());
}

// ---------------------------------------------------------------- hand-edited values

TEST_F(SettingsTest, FontNamesTheFileCannotHoldBareSurviveASave) {
    struct Case {
        const char* line;     // FontName as edited by hand
        const char* name;     // FontName after reading it
        const char* written;  // the value the save writes
    };
    const Case cases[] = {
        {"FontName=\"'Tahoma'\"", "'Tahoma'", "\"'Tahoma'\""},
        {"FontName=\" 'Tahoma' \"", "'Tahoma'", "\"'Tahoma'\""},
        {"FontName=\"' Tahoma '\"", "' Tahoma '", "\"' Tahoma '\""},
        {"FontName='\"Arial\"'", "\"Arial\"", "\"\"Arial\"\""},
        {"FontName=Tahoma's", "Tahoma's", "Tahoma's"},
        {"FontName=\"Courier New\"", "Courier New", "Courier New"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        WriteSettingsIni(std::string("[Font Settings]\r\n") + c.line + "\r\n");
        Start();
        EXPECT_EQ(model.settings.FontName, c.name);
        ASSERT_TRUE(settings->SaveSettings());
        std::vector<std::string> shape = IniShape(SettingsIniText());
        EXPECT_NE(std::find(shape.begin(), shape.end(), std::string("FontName=") + c.written), shape.end())
            << SettingsIniText();
        Start();
        EXPECT_EQ(model.settings.FontName, c.name);
        // and the file is a fixed point of load and save
        const std::string once = SettingsIniText();
        ASSERT_TRUE(settings->SaveSettings());
        EXPECT_EQ(SettingsIniText(), once);
    }
}

TEST_F(SettingsTest, FontSizesWhosePixelHeightOverflowsGiveADefinedFont) {
    struct Case {
        const char* value;
        int size;
        int ppi;
    };
    const Case cases[] = {{"-1073741824", -1073741824, 144}, {"-1610612736", -1610612736, 96},
                          {"0xB3333333", -1288490189, 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        WriteSettingsIni(std::string("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontSize=") + c.value +
                         "\r\n");
        settings->LoadSettings();
        EXPECT_EQ(model.settings.FontSize, c.size);
        // the pixel height is -2147483648, beyond the platform's MulDiv: height 1
        EXPECT_EQ(pv::MenuFont(pv::MenuDrawSettingsOf(model.settings), c.ppi).height, 1);
    }
}

TEST_F(SettingsTest, EveryCopyOfTheLegacyKeyGoesAtTheFirstSave) {
    WriteSettingsIni("[Font Settings]\r\nWindowsDraw=0\r\nFontName=Arial\r\nWindowsDraw=1\r\n");
    Start();
    EXPECT_FALSE(model.settings.WindowsDraw);
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(Read("Font Settings", "WindowsDraw"), "<missing>");
    EXPECT_EQ(Read("Misc Settings", "WindowsDraw"), "0");
    const std::string once = SettingsIniText();
    Start();
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(SettingsIniText(), once);
}

}  // namespace pvtest
