// The preferences dialog's handlers over the model of its controls: context
// help, focus, the help panel layout, the Windows-draw switch, Default, and the
// order of Apply, OK and Cancel with the real settings code behind them.

#include <gtest/gtest.h>

#include <set>

#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "common/settings_fakes.h"
#include "prefs/form_config.h"
#include "support/IniProfile.h"

namespace pvtest {
namespace {

using pv::ConfigControl;
using pv::ConfigPage;

const char* const kNoHelp = "No help available for this topic";

// A host that records the calls; the windows, the marks and the settings are
// those of the real settings code over fakes.
class RecordingHost : public pv::IConfigDialogHost {
public:
    RecordingHost(pv::Settings& s, FakeAppWindows& w) : settings(s), windows(w) {}

    void HideOpenWindows() override {
        Log("HideOpenWindows");
        settings.HideOpenWindows(windows);
    }
    void SaveSettings() override {
        Log("SaveSettings");
        settings.SaveSettings();
    }
    void LoadSettings() override {
        Log("LoadSettings");
        settings.LoadSettings();
    }
    void ApplyVisualSettings() override {
        Log("ApplyVisualSettings");
        settings.ApplyVisualSettings(windows);
    }
    void RefreshKitSubmenu() override { Log("RefreshKitSubmenu"); }
    void AssignMenuDrawHandlers() override { Log("AssignMenuDrawHandlers"); }
    void ShowHiddenWindows() override {
        Log("ShowHiddenWindows");
        settings.ShowHiddenWindows(windows);
    }
    void CloseDialog() override {
        Log("CloseDialog");
        windows.Hide(pv::AppWindow::FormConfig);
    }
    void ClearDialogMark() override {
        Log("ClearDialogMark");
        settings.WindowMark(pv::AppWindow::FormConfig) = 0;
    }
    void OpenTarget(const std::string& target) override { Log("OpenTarget " + target); }
    pv::WindowFont SystemMenuFont() override { return menuFont; }
    int HotKeyInForce() override { return hot->HotKey(); }
    bool ChangeHotKey(int shortCut) override {
        Log("ChangeHotKey " + std::to_string(shortCut));
        if (heldByOthers.count(shortCut)) return false;
        hot->SetHotKey(shortCut);
        return true;
    }
    std::set<int> heldByOthers;  // combinations another program has registered
    pv::IHotKey* hot = nullptr;    // the hot key in force

    void Log(const std::string& call) { calls.push_back(call); }

    pv::Settings& settings;
    FakeAppWindows& windows;
    pv::WindowFont menuFont{"Tahoma", 8, false};
    std::vector<std::string> calls;
};

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.ProgramDir = dir.Root();
        model.ExeName = "pivora.exe";
        model.DataDir = dir.Root();
        config.CmBoxFontName.SetItems({"Verdana", "Arial", "Tahoma", "Courier New"});
        settings = std::make_unique<pv::Settings>(
            pv::SettingsServices{profile, registry, dir.Fs(), system, ui, hotKey, pump}, model, config);
        host = std::make_unique<RecordingHost>(*settings, windows);
        host->hot = &hotKey;
        dialog = std::make_unique<pv::ConfigDialog>(config, model, *host);
        dialog->FormCreate();
    }

    void Start(const std::string& ini) {
        dir.WriteFile("pivora.ini", ini);
        settings->LoadSettings();
        settings->ApplyVisualSettings(windows);
        windows.log.clear();
    }
    bool Visible(pv::AppWindow w) { return windows.win[FakeAppWindows::Ix(w)].visible; }
    const std::string& Help() const { return config.RichEditHelp.Text; }

    ScratchDir dir;
    pv::IniProfile profile{dir.Fs()};
    MemoryRegistry registry;
    FakeSystem system;
    ScriptedMessageUI ui;
    FakeHotKey hotKey;
    CountingPump pump;
    pv::AppModel model;
    pv::FormConfigControls config;
    FakeAppWindows windows;
    std::unique_ptr<pv::Settings> settings;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<pv::ConfigDialog> dialog;
};

// ---------------------------------------------------------------- context help

TEST(ContextHelp, EveryControlHasItsText) {
    struct Case {
        ConfigControl control;
        const char* text;
    };
    const Case cases[] = {
        {ConfigControl::ChkBxSystray,
         "If checked program will register itself to windows startup registry. This means the program in the future "
         "always will place itself in the systray when the computer starts ready to be used. \r\n\r\nYou can at any "
         "time uncheck this setting and the program will un-register itself again."},
        {ConfigControl::ChkBxTaskBar,
         "If checked the program will be shown in the taskbar when - and only when - a window of the program is "
         "visible. If unchecked the program will never be shown in the taskbar even if a window of the program is "
         "visible."},
        {ConfigControl::edtDataPath,
         "This shows where data (setup and shortcuts) is stored. One can under installation choose where data is "
         "placed. \r\n\r\nEither all data gets stored in the same directory as the program, or else data for each "
         "user account has its own directory (availability of this option depends on the operating system). "
         "\r\n\r\nThis setting is stored in file \"glc.ini\" at key \"DataAccess\" with valid values being \"user\" "
         "and \"all\"."},
        {ConfigControl::CBWinDefDrawAll,
         "If checked all fonts in program will be drawn by Windows meaning it'll choose the fonts you typical see in "
         "Windows.\r\n\r\nThat is of course the most compatible setting and is bound to work. However if you wish to "
         "customize the font size and type, you need to have this box unchecked."},
        {ConfigControl::CmBoxFontName,
         "If you have chosen not to let Windows default draw controls, you can in this combobox choose what font "
         "should be used."},
        {ConfigControl::CmBoxFontSize,
         "If you have chosen not to let Windows default draw controls, you can in this combobox choose what size font "
         "should be used."},
        {ConfigControl::BtnDefault,
         "If you have chosen not to let Windows default draw controls, you can use this button to retrieve program "
         "suggested font settings."},
        {ConfigControl::BtnCancel, "Cancel and exit (without saving changes to settings)."},
        {ConfigControl::BtnApply, "Apply changes to settings (doesn't exit)."},
        {ConfigControl::BtnOK, "Save changes to settings and exit."},
        {ConfigControl::BtnHelp, kNoHelp},
        {ConfigControl::PCSettings, kNoHelp},
        {ConfigControl::RichEditHelp, kNoHelp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.control));
        EXPECT_EQ(pv::ContextHelpText(c.control), c.text);
    }
}

TEST_F(ConfigDialogTest, TheFocusCarriesTheHelpTextExitThenEnter) {
    struct Step {
        ConfigControl to;
        const char* expected;  // the help text after the move
    };
    const std::string systray = pv::ContextHelpText(ConfigControl::ChkBxSystray);
    const std::string ok = "Save changes to settings and exit.";
    const std::string cancel = "Cancel and exit (without saving changes to settings).";
    const Step steps[] = {
        {ConfigControl::ChkBxSystray, systray.c_str()},
        {ConfigControl::BtnHelp, kNoHelp},
        {ConfigControl::BtnOK, ok.c_str()},
        // The help text itself explains nothing on entering: the exit of OK stays.
        {ConfigControl::RichEditHelp, ok.c_str()},
        // Its exit does, and the page control's enter too.
        {ConfigControl::PCSettings, kNoHelp},
        // The page control's exit is not bound: the entered control's text.
        {ConfigControl::BtnCancel, cancel.c_str()},
        {ConfigControl::RichEditHelp, cancel.c_str()},
        {ConfigControl::BtnCancel, cancel.c_str()},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(static_cast<int>(s.to));
        dialog->FocusControl(s.to);
        EXPECT_EQ(config.Focused, s.to);
        EXPECT_EQ(Help(), s.expected);
    }
    // A control that has the focus already raises nothing.
    config.RichEditHelp.Text = "untouched";
    dialog->FocusControl(ConfigControl::BtnCancel);
    EXPECT_EQ(Help(), "untouched");
}

TEST_F(ConfigDialogTest, ShowAndPageChangeFocusThePageFirstControl) {
    dialog->FormShow();
    EXPECT_EQ(config.ActivePage, ConfigPage::Control);
    EXPECT_EQ(config.Focused, ConfigControl::ChkBxSystray);
    EXPECT_EQ(Help(), pv::ContextHelpText(ConfigControl::ChkBxSystray));

    dialog->FocusControl(ConfigControl::PCSettings);  // a click on the tabs
    dialog->PCSettingsChange(ConfigPage::Visuals);
    EXPECT_EQ(config.ActivePage, ConfigPage::Visuals);
    EXPECT_EQ(config.Focused, ConfigControl::CBWinDefDrawAll);
    EXPECT_EQ(Help(), pv::ContextHelpText(ConfigControl::CBWinDefDrawAll));

    // Shown again (after Apply) on page "Visuals", with the focus on a button.
    dialog->FocusControl(ConfigControl::BtnApply);
    dialog->FormShow();
    EXPECT_EQ(config.Focused, ConfigControl::CBWinDefDrawAll);
    dialog->PCSettingsChange(ConfigPage::Control);
    EXPECT_EQ(config.Focused, ConfigControl::ChkBxSystray);
}

TEST_F(ConfigDialogTest, HelpPanelsFollowTheVisualsPage) {
    dialog->PCSettingsResize(24, 235);
    EXPECT_EQ(config.PanelHeading, (pv::ControlRect{322, 20, 145, 27}));
    EXPECT_EQ(config.PanelHelp, (pv::ControlRect{322, 47, 145, 214}));
    dialog->PCSettingsResize(27, 232);  // a larger font, taller tabs
    EXPECT_EQ(config.PanelHeading.Top, 23);
    EXPECT_EQ(config.PanelHelp.Top, 50);
    EXPECT_EQ(config.PanelHelp.Height, 211);
}

// ---------------------------------------------------------------- the Windows-draw switch

TEST_F(ConfigDialogTest, WindowsDrawBoxSwitchesTheFontControlsAtOnce) {
    Start("[Misc Settings]\r\nWindowsDraw=1\r\n");
    ASSERT_TRUE(config.CBWinDefDrawAll.Checked);
    ASSERT_FALSE(config.CmBoxFontName.Enabled);

    // A click: the box is already unchecked when the handler runs.
    config.CBWinDefDrawAll.Checked = false;
    dialog->CBWinDefDrawAllClick();
    EXPECT_TRUE(config.CmBoxFontName.Enabled);
    EXPECT_TRUE(config.CmBoxFontSize.Enabled);
    EXPECT_TRUE(config.BtnDefault.Enabled);

    // Space: the key press sees the old state, the click that follows the new one.
    dialog->CBWinDefDrawAllKeyPress(' ');
    EXPECT_TRUE(config.CmBoxFontName.Enabled);
    config.CBWinDefDrawAll.Checked = true;
    dialog->CBWinDefDrawAllClick();
    EXPECT_FALSE(config.CmBoxFontName.Enabled);
    EXPECT_FALSE(config.CmBoxFontSize.Enabled);
    EXPECT_FALSE(config.BtnDefault.Enabled);
    dialog->CBWinDefDrawAllKeyPress(' ');
    EXPECT_TRUE(config.CBWinDefDrawAll.Checked);
    EXPECT_FALSE(config.BtnDefault.Enabled);

    // Another key does nothing.
    config.CBWinDefDrawAll.Checked = false;
    dialog->CBWinDefDrawAllKeyPress('x');
    EXPECT_FALSE(config.BtnDefault.Enabled);

    // Nothing was saved or applied.
    EXPECT_TRUE(host->calls.empty());
    EXPECT_TRUE(model.settings.WindowsDraw);
}

// ---------------------------------------------------------------- Default

TEST_F(ConfigDialogTest, DefaultPicksTheMenuFontOrVerdanaOrTheFirst) {
    struct Case {
        std::vector<std::string> fonts;  // as installed; the list sorts them
        pv::WindowFont menuFont;
        const char* name;
        const char* size;
    };
    const std::vector<std::string> withVerdana = {"Verdana", "Arial", "Tahoma", "Courier New"};
    const std::vector<std::string> withoutVerdana = {"Tahoma", "Courier New", "Arial"};
    const Case cases[] = {
        {withVerdana, {"Tahoma", 8, false}, "Tahoma", "8"},
        {withVerdana, {"Segoe UI", 9, false}, "Verdana", "9"},
        {withVerdana, {"tahoma", 8, false}, "Verdana", "8"},  // letter case counts
        {withVerdana, {"Arial", 12, false}, "Arial", "9"},
        {withVerdana, {"Arial", 7, false}, "Arial", "7"},
        {withVerdana, {"Arial", 6, false}, "Arial", "7"},
        {withoutVerdana, {"Segoe UI", 9, false}, "Arial", "9"},  // the first of the sorted list
        {withoutVerdana, {"Courier New", 10, false}, "Courier New", "9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menuFont.name + " " + std::to_string(c.menuFont.size));
        config.CmBoxFontName.SetItems(c.fonts);
        config.CmBoxFontSize.ItemIndex = 0;
        host->menuFont = c.menuFont;
        dialog->BtnDefaultClick();
        EXPECT_EQ(config.CmBoxFontName.Text(), c.name);
        EXPECT_EQ(config.CmBoxFontSize.Text(), c.size);
    }
    EXPECT_TRUE(host->calls.empty()) << "Default only changes the two lists";
}

TEST_F(ConfigDialogTest, DefaultWithNoFontsLeavesTheNameListEmpty) {
    config.CmBoxFontName.SetItems({});
    host->menuFont = {"Tahoma", 8, false};
    dialog->BtnDefaultClick();
    EXPECT_EQ(config.CmBoxFontName.ItemIndex, -1);
    EXPECT_EQ(config.CmBoxFontSize.Text(), "8");
}

// ---------------------------------------------------------------- Apply, OK, Cancel, Help

TEST_F(ConfigDialogTest, ApplyRunsTheStepsInOrderAndShowsTheWindowsAgain) {
    Start("");
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormConfig)].visible = true;
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormItems)].visible = true;
    config.CBWinDefDrawAll.Checked = false;
    config.CmBoxFontName.ItemIndex = config.CmBoxFontName.IndexOf("Courier New");
    config.CmBoxFontSize.ItemIndex = config.CmBoxFontSize.IndexOf("11");

    dialog->BtnApplyClick();
    EXPECT_EQ(host->calls, (std::vector<std::string>{"HideOpenWindows", "SaveSettings", "LoadSettings",
                                                     "ApplyVisualSettings", "RefreshKitSubmenu",
                                                     "AssignMenuDrawHandlers", "ShowHiddenWindows"}));
    std::vector<std::string> shown;
    for (const std::string& e : windows.log)
        if (e.rfind("hide", 0) == 0 || e.rfind("show", 0) == 0) shown.push_back(e);
    EXPECT_EQ(shown, (std::vector<std::string>{"hide 0", "hide 1", "show 0", "show 1"}));
    EXPECT_TRUE(Visible(pv::AppWindow::FormConfig));
    EXPECT_TRUE(Visible(pv::AppWindow::FormItems));
    EXPECT_FALSE(Visible(pv::AppWindow::FormAbout));
    EXPECT_EQ(settings->WindowMark(pv::AppWindow::FormConfig), 0);
    EXPECT_EQ(settings->WindowMark(pv::AppWindow::FormItems), 0);
    // Saved, read back and in force.
    EXPECT_FALSE(model.settings.WindowsDraw);
    EXPECT_EQ(model.settings.FontName, "Courier New");
    EXPECT_EQ(model.settings.FontSize, 11);
    EXPECT_EQ(windows.win[0].font, (pv::WindowFont{"Courier New", 11, false}));
}

TEST_F(ConfigDialogTest, OkClosesTheDialogAndShowsTheOthersAgain) {
    Start("");
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormConfig)].visible = true;
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormItems)].visible = true;
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormAbout)].visible = true;
    config.ChkBxTaskBar.Checked = false;

    dialog->BtnOKClick();
    EXPECT_EQ(host->calls,
              (std::vector<std::string>{"HideOpenWindows", "SaveSettings", "LoadSettings", "ApplyVisualSettings",
                                        "RefreshKitSubmenu", "AssignMenuDrawHandlers", "CloseDialog",
                                        "ClearDialogMark", "ShowHiddenWindows"}));
    EXPECT_FALSE(Visible(pv::AppWindow::FormConfig));
    EXPECT_TRUE(Visible(pv::AppWindow::FormItems));
    EXPECT_TRUE(Visible(pv::AppWindow::FormAbout));
    for (pv::AppWindow w : {pv::AppWindow::FormConfig, pv::AppWindow::FormItems, pv::AppWindow::FormAbout})
        EXPECT_EQ(settings->WindowMark(w), 0);
    EXPECT_FALSE(model.settings.TaskBar);
    EXPECT_NE(dir.ReadFile("pivora.ini").find("TaskBar=0"), std::string::npos);

    // A later Apply from elsewhere brings nothing back that OK closed.
    windows.log.clear();
    settings->ShowHiddenWindows(windows);
    EXPECT_TRUE(windows.log.empty());
}

TEST_F(ConfigDialogTest, CancelWritesNothingAndShowsTheStoredSettingsAgain) {
    const std::string ini =
        "[General Settings]\r\nTaskBar=0\r\n[Misc Settings]\r\nWindowsDraw=0\r\n"
        "[Font Settings]\r\nFontName=Tahoma\r\nFontSize=10\r\n";
    Start(ini);
    registry.WriteString(pv::kRunKey, pv::kRunValueName, "\"C:\\p\\pivora.exe\"");
    registry.log.clear();
    // The user changes everything, then thinks better of it.
    config.ChkBxSystray.Checked = true;
    config.ChkBxTaskBar.Checked = true;
    config.CBWinDefDrawAll.Checked = true;
    dialog->CBWinDefDrawAllClick();
    config.CmBoxFontName.ItemIndex = config.CmBoxFontName.IndexOf("Arial");
    config.CmBoxFontSize.ItemIndex = config.CmBoxFontSize.IndexOf("6");
    config.edtDataPath.Text = "changed";
    windows.win[FakeAppWindows::Ix(pv::AppWindow::FormConfig)].visible = true;

    dialog->BtnCancelClick();
    EXPECT_EQ(host->calls, (std::vector<std::string>{"LoadSettings", "CloseDialog"}));
    EXPECT_FALSE(Visible(pv::AppWindow::FormConfig));
    EXPECT_EQ(dir.ReadFile("pivora.ini"), ini) << "nothing written";
    EXPECT_TRUE(registry.log.empty()) << "the Run value untouched";

    EXPECT_TRUE(config.ChkBxSystray.Checked) << "the Run value is there";
    EXPECT_FALSE(config.ChkBxTaskBar.Checked);
    EXPECT_FALSE(config.CBWinDefDrawAll.Checked);
    EXPECT_TRUE(config.CmBoxFontName.Enabled);
    EXPECT_TRUE(config.BtnDefault.Enabled);
    EXPECT_EQ(config.CmBoxFontName.Text(), "Tahoma");
    EXPECT_EQ(config.CmBoxFontSize.Text(), "10");
    EXPECT_EQ(config.edtDataPath.Text, dir.Root());

    // So a later save (Close) writes what is stored, not the cancelled choices.
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(profile.ReadString(dir.Root() + "pivora.ini", "Font Settings", "FontName", ""), "Tahoma");
    EXPECT_EQ(profile.ReadString(dir.Root() + "pivora.ini", "Font Settings", "FontSize", ""), "10");
    EXPECT_EQ(profile.ReadString(dir.Root() + "pivora.ini", "Misc Settings", "WindowsDraw", ""), "0");
}

TEST_F(ConfigDialogTest, CancelLeavesAFontThatIsNotInstalledUnselected) {
    Start("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Gone Font\r\nFontSize=14\r\n");
    config.CmBoxFontName.ItemIndex = 1;
    config.CmBoxFontSize.ItemIndex = 1;
    dialog->BtnCancelClick();
    EXPECT_EQ(config.CmBoxFontName.ItemIndex, -1);
    EXPECT_EQ(config.CmBoxFontSize.ItemIndex, -1);
    // A save keeps the values read from the file.
    ASSERT_TRUE(settings->SaveSettings());
    EXPECT_EQ(profile.ReadString(dir.Root() + "pivora.ini", "Font Settings", "FontName", ""), "Gone Font");
    EXPECT_EQ(profile.ReadString(dir.Root() + "pivora.ini", "Font Settings", "FontSize", ""), "14");
}

// ---------------------------------------------------------------- the hot key field

TEST(HotKeyField, ValuesBothWays) {
    struct Case {
        unsigned field;  // key | HOTKEYF_* << 8
        int shortCut;
    } cases[] = {
        {0x024C, 0x404C},  // Ctrl+L
        {0x0650, 0xC050},  // Ctrl+Alt+P
        {0x0170, 0x2070},  // Shift+F1
        {0x0741, 0xE041},  // Shift+Ctrl+Alt+A
        {0x0000, 0},       // none
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pv::HotKeyFieldToShortCut(c.field), c.shortCut) << c.field;
        EXPECT_EQ(pv::ShortCutToHotKeyField(c.shortCut), c.field) << c.shortCut;
    }
    EXPECT_EQ(pv::HotKeyFieldToShortCut(0x0A26), 0x4026) << "the extended-key flag (8) does not count";
    EXPECT_EQ(pv::HotKeyFieldToShortCut(0x0600), 0) << "modifiers without a key are no hot key";
    // As pivora.ini stores them.
    EXPECT_EQ(pv::ShortCutToText(0xC050), "Ctrl+Alt+P");
    EXPECT_EQ(pv::TextToShortCut("CTRL+L"), 0x404C);
    EXPECT_EQ(pv::TextToShortCut("Ctrl+Alt+P"), 0xC050);
}

TEST_F(ConfigDialogTest, ApplyPutsTheHotKeyInForceAndWritesIt) {
    Start("[General Settings]\r\nOpenPivoraHotkey=CTRL+L\r\n");
    EXPECT_EQ(config.HotKeyOpenPivora.ShortCut, 0x404C) << "the field shows the one in force";
    config.HotKeyOpenPivora.ShortCut = 0xC050;  // the user pressed Ctrl+Alt+P in the field
    dialog->BtnApplyClick();
    EXPECT_EQ(hotKey.value, 0xC050);
    EXPECT_EQ(profile.ReadString(model.DataDir + "pivora.ini", "General Settings", "OpenPivoraHotkey", ""),
              "Ctrl+Alt+P");
    EXPECT_EQ(host->calls.front(), "ChangeHotKey 49232");
    // Default sets Ctrl+L again (Apply puts it in force).
    dialog->BtnDefaultClick();
    EXPECT_EQ(config.HotKeyOpenPivora.ShortCut, 0x404C);
    EXPECT_EQ(hotKey.value, 0xC050);
    dialog->BtnApplyClick();
    EXPECT_EQ(hotKey.value, 0x404C);
}

TEST_F(ConfigDialogTest, RefusedHotKeysLeaveTheOldOneAndSaveNothing) {
    Start("[General Settings]\r\nOpenPivoraHotkey=CTRL+L\r\n");
    host->heldByOthers = {0xC050};
    struct Case {
        int shortCut;
        const char* reason;
    } cases[] = {
        {0xC050, pv::kMsgHotKeyHeld},              // Ctrl+Alt+P, held by another program
        {0x0050, pv::kMsgHotKeyNeedsCtrlOrAlt},    // P alone
        {0x2050, pv::kMsgHotKeyNeedsCtrlOrAlt},    // Shift+P
        {0x0070, pv::kMsgHotKeyNeedsCtrlOrAlt},    // F1
        {0, pv::kMsgHotKeyNeedsCtrlOrAlt},         // the field cleared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortCut);
        host->calls.clear();
        config.HotKeyOpenPivora.ShortCut = c.shortCut;
        dialog->BtnApplyClick();
        EXPECT_EQ(Help(), c.reason);
        EXPECT_EQ(hotKey.value, 0x404C) << "the old one stays";
        for (const std::string& call : host->calls) EXPECT_EQ(call.rfind("ChangeHotKey", 0), 0u) << "nothing saved";
        windows.win[FakeAppWindows::Ix(pv::AppWindow::FormConfig)].visible = true;
        dialog->BtnOKClick();
        EXPECT_TRUE(Visible(pv::AppWindow::FormConfig)) << "OK keeps the dialog open with the reason";
    }
    EXPECT_EQ(profile.ReadString(model.DataDir + "pivora.ini", "General Settings", "OpenPivoraHotkey", ""), "CTRL+L");
}

TEST_F(ConfigDialogTest, HelpOpensTheHelpPageBesideTheProgram) {
    model.ProgramDir = "C:\\Program Files\\Kelvory Pivora\\";
    dialog->BtnHelpClick();
    EXPECT_EQ(host->calls, (std::vector<std::string>{"OpenTarget C:\\Program Files\\Kelvory Pivora\\help.html"}));
}

}  // namespace
}  // namespace pvtest
