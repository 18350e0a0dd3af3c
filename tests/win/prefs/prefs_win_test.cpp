// The preferences dialog and the about box as real windows, in-process: their
// controls, tab order, focus and help text, keys through IsDialogMessage, the
// Windows-draw switch, OK with the manager open, and the about box's timer.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "common/settings_fakes.h"

namespace pv {
namespace {

std::string TextOf(HWND h) {
    char buf[2048] = "";
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

class Prefs : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = scratch_.Root();
        scratch_.WriteFile("shortcuts\\shortcuts.txt", "");
    }
    void Start(const std::string& ini = std::string()) {
        if (!ini.empty()) scratch_.WriteFile("pivora.ini", ini);
        p_ = std::make_unique<PivoraProgram>();
        p_->ExecutablePathOverride = dir_ + "pivora.exe";
        ASSERT_TRUE(p_->CreateWindows());
        StartupSequence(*p_, p_->Model);
        // Both windows are made when first shown; made now, hidden, they are
        // what the user's first showing makes.
        ASSERT_EQ(Dialog(), nullptr);
        ASSERT_EQ(p_->FormAbout.Handle(), nullptr);
        ASSERT_TRUE(p_->FormConfig.EnsureWindow());
        ASSERT_TRUE(p_->FormAbout.EnsureWindow());
    }
    void TearDown() override {
        p_.reset();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    std::string Ini() { return scratch_.ReadFile("pivora.ini"); }

    HWND Dialog() { return p_->FormConfig.Handle(); }
    HWND Control(ConfigControl c) { return p_->FormConfig.ControlHandle(c); }
    HWND Child(const char* cls, const char* text) { return FindWindowExA(Dialog(), nullptr, cls, text); }
    std::string HelpShown() { return TextOf(Control(ConfigControl::RichEditHelp)); }
    // A key as the keyboard delivers it: to the focused control, through the loop.
    void Key(UINT vk) {
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
        p_->App.ProcessMessages();
    }
    void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
    // The user picks a page on the tab control.
    void ShowPage(int page) {
        HWND tabs = Control(ConfigControl::PCSettings);
        TabCtrl_SetCurSel(tabs, page);
        NMHDR nm = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(Dialog(), WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
    }

    pvtest::ScratchDir scratch_;
    std::string dir_;
    std::unique_ptr<PivoraProgram> p_;
};

TEST_F(Prefs, EveryControlWithItsCaption) {
    Start();
    RECT r;
    GetClientRect(Dialog(), &r);
    EXPECT_EQ(r.right, 468);
    EXPECT_EQ(r.bottom, 297);
    for (const char* t : {"Always show Kelvory Pivora in Systray", "Always* show Kelvory Pivora in TaskBar",
                          "General Settings", "Let Windows default draw all controls.", "Program Font Settings",
                          "Default", "Cancel", "Apply", "OK", "Help"})
        EXPECT_NE(Child("Button", t), nullptr) << t;
    for (const char* t : {"Data Path :", "Font Name", "Font Size", "Conext Sensitive Help"})
        EXPECT_NE(Child("Static", t), nullptr) << t;

    HWND tabs = Control(ConfigControl::PCSettings);
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 2);
    char caption[32] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof caption;
    for (int i = 0; i < 2; ++i) {
        SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(caption, i == 0 ? "Control" : "Visuals");
    }
    GetWindowRect(tabs, &r);
    EXPECT_EQ(r.bottom - r.top, 263);

    // The buttons, 60 x 25, left to right Cancel, Apply, OK, Help at the bottom right.
    int lastRight = 0;
    for (const char* t : {"Cancel", "Apply", "OK", "Help"}) {
        GetWindowRect(Child("Button", t), &r);
        EXPECT_EQ(r.right - r.left, 60);
        EXPECT_EQ(r.bottom - r.top, 25);
        EXPECT_GT(r.left, lastRight) << t;
        lastRight = r.right;
    }

    // Sizes 6 to 12; every installed font, the list sorted; the data path read-only.
    HWND sizes = Control(ConfigControl::CmBoxFontSize);
    ASSERT_EQ(SendMessageA(sizes, CB_GETCOUNT, 0, 0), 7);
    char text[64];
    SendMessageA(sizes, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "6");
    SendMessageA(sizes, CB_GETLBTEXT, 6, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "12");
    HWND names = Control(ConfigControl::CmBoxFontName);
    EXPECT_EQ(SendMessageA(names, CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(p_->FormConfig.Controls.CmBoxFontName.Items.size()));
    EXPECT_GT(SendMessageA(names, CB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(GetWindowLongPtrA(Control(ConfigControl::edtDataPath), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(TextOf(Control(ConfigControl::edtDataPath)), dir_);
    const LONG_PTR helpStyle = GetWindowLongPtrA(Control(ConfigControl::RichEditHelp), GWL_STYLE);
    EXPECT_TRUE(helpStyle & ES_READONLY);
    EXPECT_TRUE(helpStyle & ES_MULTILINE);
    EXPECT_TRUE(helpStyle & WS_VSCROLL);
    EXPECT_FALSE(helpStyle & WS_TABSTOP);
}

TEST_F(Prefs, HelpPanelsLieAlongTheVisualsPage) {
    Start();
    RECT page = {0, 0, 468, 263};
    TabCtrl_AdjustRect(Control(ConfigControl::PCSettings), FALSE, &page);
    RECT heading, panel;
    GetWindowRect(Child("Static", "Conext Sensitive Help"), &heading);
    MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&heading), 2);
    GetWindowRect(Control(ConfigControl::RichEditHelp), &panel);
    MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&panel), 2);
    EXPECT_EQ(heading.left, 322);
    EXPECT_EQ(heading.right - heading.left, 145);
    EXPECT_EQ(heading.bottom - heading.top, 27);
    EXPECT_EQ(heading.top, page.top - 4);
    // The help text fills its panel, inside the panel's bevel.
    EXPECT_EQ(panel.top, heading.bottom + 2);
    EXPECT_EQ(panel.bottom, heading.bottom + (page.bottom - page.top) - 27 + 6 - 2);
}

TEST_F(Prefs, ShownOnPageControlWithTheStartBoxFocusedTabWalksTheControls) {
    Start();
    p_->FormConfig.Present();
    p_->App.ProcessMessages();
    ASSERT_TRUE(IsWindowVisible(Dialog()));
    EXPECT_EQ(GetFocus(), Control(ConfigControl::ChkBxSystray));
    EXPECT_EQ(HelpShown(), ContextHelpText(ConfigControl::ChkBxSystray));
    EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::CBWinDefDrawAll)));

    const ConfigControl order[] = {ConfigControl::ChkBxTaskBar, ConfigControl::edtDataPath,
                                   ConfigControl::HotKeyOpenPivora,
                                   ConfigControl::BtnCancel,    ConfigControl::BtnApply,
                                   ConfigControl::BtnOK,        ConfigControl::BtnHelp,
                                   ConfigControl::PCSettings,   ConfigControl::ChkBxSystray};
    for (ConfigControl c : order) {
        Key(VK_TAB);
        EXPECT_EQ(GetFocus(), Control(c)) << static_cast<int>(c);
        EXPECT_EQ(p_->FormConfig.Controls.Focused, c);
        EXPECT_EQ(HelpShown(), ContextHelpText(c));
    }
    EXPECT_EQ(ContextHelpText(ConfigControl::BtnHelp), "No help available for this topic");
}

TEST_F(Prefs, PageVisualsFocusesTheWindowsDrawBoxWhichSwitchesTheFontControls) {
    Start();
    p_->FormConfig.Present();
    HWND tabs = Control(ConfigControl::PCSettings);
    SetFocus(tabs);
    Key(VK_RIGHT);  // the tab control's own page change, TCN_SELCHANGE
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 1);
    EXPECT_EQ(GetFocus(), Control(ConfigControl::CBWinDefDrawAll));
    EXPECT_EQ(HelpShown(), ContextHelpText(ConfigControl::CBWinDefDrawAll));
    EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::CmBoxFontName)));
    EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::ChkBxSystray)));

    // Windows draws (no pivora.ini): the font controls are off until the box is cleared.
    HWND box = Control(ConfigControl::CBWinDefDrawAll);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(Control(ConfigControl::CmBoxFontName)));
    Key(VK_SPACE);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(Control(ConfigControl::CmBoxFontName)));
    EXPECT_TRUE(IsWindowEnabled(Control(ConfigControl::CmBoxFontSize)));
    EXPECT_TRUE(IsWindowEnabled(Control(ConfigControl::BtnDefault)));
    Click(box);
    EXPECT_FALSE(IsWindowEnabled(Control(ConfigControl::BtnDefault)));
    EXPECT_TRUE(p_->Model.settings.WindowsDraw) << "nothing applied before Apply";
}

TEST_F(Prefs, DefaultSelectsTheSystemMenuFontInBothLists) {
    Start("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Zeta\r\nFontSize=12\r\n");
    // Whatever the prefix's menu font is (SPI_GETNONCLIENTMETRICS), a list that
    // holds it selects it; one that lacks it falls back on Verdana.
    const WindowFont menuFont = p_->SystemMenuFont();
    ASSERT_FALSE(menuFont.name.empty());
    ASSERT_EQ(menuFont.size, 8) << "an 8-point menu font";
    FormConfigControls& c = p_->FormConfig.Controls;
    p_->FormConfig.Present();
    ShowPage(1);
    c.CmBoxFontName.SetItems({"Zeta", menuFont.name, "Verdana"});
    c.CmBoxFontName.ItemIndex = c.CmBoxFontName.IndexOf("Zeta");
    p_->FormConfig.PushToControls();
    ASSERT_EQ(TextOf(Control(ConfigControl::CmBoxFontName)), "Zeta");
    ASSERT_EQ(TextOf(Control(ConfigControl::CmBoxFontSize)), "12");
    Click(Control(ConfigControl::BtnDefault));
    EXPECT_EQ(TextOf(Control(ConfigControl::CmBoxFontName)), menuFont.name);
    EXPECT_EQ(TextOf(Control(ConfigControl::CmBoxFontSize)), "8");

    c.CmBoxFontName.SetItems({"Zeta", "Verdana"});
    p_->FormConfig.PushToControls();
    Click(Control(ConfigControl::BtnDefault));
    EXPECT_EQ(TextOf(Control(ConfigControl::CmBoxFontName)), "Verdana");
}

TEST_F(Prefs, EscapeCancelsAndTheCloseBoxToo) {
    Start("[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Courier New\r\nFontSize=10\r\n");
    const std::string before = Ini();
    for (int way = 0; way < 2; ++way) {
        p_->FormConfig.Present();
        HWND sizes = Control(ConfigControl::CmBoxFontSize);
        SendMessageA(sizes, CB_SETCURSEL, 0, 0);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sizes), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(sizes));
        ASSERT_EQ(p_->FormConfig.Controls.CmBoxFontSize.Text(), "6");
        if (way == 0)
            Key(VK_ESCAPE);
        else
            SendMessageA(Dialog(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(Dialog())) << way;
        EXPECT_EQ(TextOf(sizes), "10") << "back to the stored size";
        EXPECT_EQ(Ini(), before) << "nothing written";
    }
}

TEST_F(Prefs, OkWithTheManagerOpenLeavesTheManagerShownAndTheDialogClosed) {
    Start();
    p_->FormItems.miManageItemsClick();
    p_->FormConfig.Present();
    ShowPage(1);
    HWND box = Control(ConfigControl::CBWinDefDrawAll);
    Click(box);  // Windows drawing off
    Click(Child("Button", "OK"));
    EXPECT_FALSE(IsWindowVisible(Dialog()));
    EXPECT_TRUE(IsWindowVisible(p_->FormItems.Handle()));
    EXPECT_FALSE(p_->Model.settings.WindowsDraw);
    EXPECT_TRUE(p_->FormItems.CaptionPainting()) << "the manager follows the new settings";
    EXPECT_NE(Ini().find("WindowsDraw=0"), std::string::npos);

    // Apply keeps the dialog open.
    p_->FormConfig.Present();
    Click(box);
    Click(Child("Button", "Apply"));
    EXPECT_TRUE(IsWindowVisible(Dialog()));
    EXPECT_TRUE(IsWindowVisible(p_->FormItems.Handle()));
    EXPECT_TRUE(p_->Model.settings.WindowsDraw);
}

TEST_F(Prefs, AboutBoxFilledAtOnceAndItsTimerRunsOnlyWhileShown) {
    Start();
    TFormAbout& about = p_->FormAbout;
    EXPECT_NE(FindWindowExA(about.Handle(), nullptr, "Static", "Kelvory Pivora version 1.46 for Windows"), nullptr);
    EXPECT_NE(FindWindowExA(about.Handle(), nullptr, "Static", "https://www.kelvory.example/pivora"), nullptr);
    EXPECT_FALSE(about.TimerMemRunning());

    about.Present();
    EXPECT_TRUE(about.TimerMemRunning());
    const std::string text = about.Controls.LabelMemTotal;
    int load = -1;
    char rest[128] = "";
    ASSERT_EQ(std::sscanf(text.c_str(), "%d%% used of the total memory at %127[^\n]", &load, rest), 2) << text;
    EXPECT_NE(FindWindowExA(about.Handle(), nullptr, "Static", text.c_str()), nullptr) << "shown at once";
    HWND gauge = FindWindowExA(about.Handle(), nullptr, PROGRESS_CLASSA, nullptr);
    EXPECT_EQ(SendMessageA(gauge, PBM_GETPOS, 0, 0), load);
    EXPECT_EQ(SendMessageA(gauge, PBM_GETRANGE, FALSE, 0), 100);

    SendMessageA(about.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
    EXPECT_FALSE(about.TimerMemRunning());
    EXPECT_FALSE(about.Controls.TimerMemEnabled);
}

}  // namespace
}  // namespace pv
