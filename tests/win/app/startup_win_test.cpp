// The five windows brought to life in-process: the start-up sequence over the
// real windows, settings and loader, a rebuild after the store changed, and
// Close. The program directory is a scratch directory of the test's own.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"

namespace pv {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + "\\");
            else
                DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

class Spine : public ::testing::Test {
protected:
    void SetUp() override {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "pivora-spine-" + std::to_string(GetCurrentProcessId()) + "\\";
        RemoveTree(dir_);
        CreateDirectoryA(dir_.c_str(), nullptr);
        CreateDirectoryA((dir_ + "shortcuts").c_str(), nullptr);
        CreateDirectoryA((dir_ + "shortcuts\\Tools").c_str(), nullptr);
        WriteText(dir_ + "shortcuts\\shortcuts.txt",
                  "^UnkLnk|C:\\windows\\win.ini|ini|Win ini\r\n^Folder|Tools\r\n^NorSep|\r\n");
        WriteText(dir_ + "shortcuts\\Tools\\shortcuts.txt", "^UnkLnk|C:\\windows\\system.ini|ini|System ini\r\n");

        p_ = std::make_unique<PivoraProgram>();
        p_->ExecutablePathOverride = dir_ + "pivora.exe";
        ASSERT_TRUE(p_->CreateWindows());
        FillFixedPictures();
    }

    // The test program has no resources: stand-ins for pictures 0 to 14 and the
    // six break pictures.
    void FillFixedPictures() {
        for (int i = 0; i < 15; ++i) {
            HBITMAP small = CreateSolidBitmap32(16, 16, RGB(i * 10, 0, 0));
            HBITMAP large = CreateSolidBitmap32(16, 18, RGB(i * 10, 0, 0));
            ImageList_Add(p_->Pictures.Menu(), small, nullptr);
            ImageList_Add(p_->Pictures.Tree(), large, nullptr);
            DeleteObject(small);
            DeleteObject(large);
        }
        BreakPictures& b = p_->FormShortCuts.Breaks;
        for (int i = 0; i < 3; ++i) {
            if (!b.small[i]) b.small[i] = CreateSolidBitmap32(16, 16, RGB(0, 0, 200));
            if (!b.large[i]) b.large[i] = CreateSolidBitmap32(16, 18, RGB(0, 0, 200));
        }
    }

    void Start() { StartupSequence(*p_, p_->Model); }

    void TearDown() override {
        p_.reset();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        RemoveTree(dir_);
    }

    std::string dir_;
    std::unique_ptr<PivoraProgram> p_;
};

TEST_F(Spine, WindowsStartHidden) {
    for (HWND h : {p_->FormGeneral.Handle(), p_->FormShortCuts.Handle(), p_->FormItems.Handle(), p_->FormConfig.Handle(), p_->FormAbout.Handle()})
        EXPECT_FALSE(IsWindowVisible(h));
    RECT r = {};
    GetWindowRect(p_->FormGeneral.Handle(), &r);
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    // The icon is there from the start but ignores the mouse and has no menu.
    EXPECT_FALSE(p_->FormGeneral.Tray.Enabled);
    EXPECT_EQ(p_->FormGeneral.Tray.Menu, nullptr);
}

TEST_F(Spine, StartupBuildsTheTrayMenuAndEnablesTheIcon) {
    Start();

    EXPECT_EQ(p_->Model.ProgramDir, dir_);
    EXPECT_EQ(p_->Model.ExeName, "pivora.exe");
    EXPECT_EQ(p_->Model.DataDir, dir_) << "no glc.ini: the program directory";
    EXPECT_EQ(p_->FormItems.TitleText, "Kelvory Pivora - Manage Items");
    EXPECT_EQ(p_->FormConfig.TitleText, "Kelvory Pivora - Preferences");
    EXPECT_EQ(p_->FormAbout.TitleText, "Kelvory Pivora - About");
    EXPECT_EQ(p_->FormAbout.Controls.LabelVer, "Kelvory Pivora version 1.46 for Windows");
    EXPECT_EQ(p_->FormGeneral.AEGeneral().MessageTable.at(3), ComposeBackupQuestion(dir_, ComposeSupportTail(dir_)));
    EXPECT_FALSE(p_->FormConfig.Controls.CmBoxFontName.Items.empty()) << "installed fonts listed at step 4";

    // User items first, then Sysmenu, the Kit and Close.
    const MenuEntry& root = p_->Model.PMItems.root;
    ASSERT_EQ(root.Count(), 6);
    EXPECT_EQ(root.Child(0)->caption, "Win ini");
    EXPECT_EQ(root.Child(1)->caption, "Tools");
    EXPECT_EQ(root.Child(2)->tag, kTagPlainSeparator);
    EXPECT_EQ(root.Child(3)->caption, "Sysmenu");
    EXPECT_EQ(root.Child(4)->caption, "Pivora Kit");
    EXPECT_EQ(root.Child(5)->caption, "Close");
    EXPECT_TRUE(p_->FormGeneral.Tray.Enabled);
    EXPECT_EQ(p_->FormGeneral.Tray.Menu, &p_->Model.PMItems);
    EXPECT_EQ(p_->Model.Items.PathOf(1), "C:\\windows\\system.ini") << "numbers follow reading order";

    // The windows-draw default: only the captioned separator is owner-drawn.
    RealisedMenu rm;
    RealiseMenuTree(root, rm, p_->Pictures.Menu());
    ASSERT_EQ(GetMenuItemCount(rm.menu), 6);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(rm.menu, 3, TRUE, &mii);
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
    GetMenuItemInfoA(rm.menu, 0, TRUE, &mii);
    EXPECT_FALSE(mii.fType & MFT_OWNERDRAW);
}

// Records what the program asks the shell to open, and reports success.
struct RecordingShell : IShell {
    std::vector<std::string> opened;
    intptr_t Execute(const std::string& verb, const std::string& file, const std::string& params,
                     const std::string& dir, int) override {
        opened.push_back(verb + " [" + file + "] [" + params + "] [" + dir + "]");
        return 42;
    }
};

const MenuEntry* KitEntry(const PopupMenu& menu, const std::string& caption) {
    const MenuEntry& root = menu.root;
    const MenuEntry& kit = *root.Child(root.Count() - 2);
    for (int i = 0; i < kit.Count(); ++i)
        if (kit.Child(i)->caption == caption) return kit.Child(i);
    return nullptr;
}

TEST_F(Spine, KitHelpAndWebsiteOpenTheirTargetsThroughTheProgramsWiring) {
    Start();
    RecordingShell shell;
    p_->LaunchShell = &shell;
    const MenuEntry* help = KitEntry(p_->Model.PMItems, "Help File");
    const MenuEntry* web = KitEntry(p_->Model.PMItems, "Visit Website");
    ASSERT_NE(help, nullptr);
    ASSERT_NE(web, nullptr);
    // Chosen in the tray menu: the handler the program wired for the menu.
    ASSERT_TRUE(p_->FormGeneral.OnMenuClick);
    p_->FormGeneral.OnMenuClick(*const_cast<MenuEntry*>(help));
    p_->FormGeneral.OnMenuClick(*const_cast<MenuEntry*>(web));
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"open [" + dir_ + "help.html] [] []",
                                                      "open [https://www.kelvory.example/pivora] [] []"}));
}

TEST_F(Spine, RebuildShowsTheStoreAsItIsNow) {
    Start();
    const int pictures = ImageList_GetImageCount(p_->Pictures.Menu());
    EXPECT_GE(pictures, 15);

    // The same store again: the same pictures, nothing piles up.
    RebuildItemMenus(*p_);
    EXPECT_EQ(ImageList_GetImageCount(p_->Pictures.Menu()), pictures);
    EXPECT_EQ(ImageList_GetImageCount(p_->Pictures.Tree()), pictures);
    EXPECT_EQ(p_->Model.PMItems.root.Count(), 6);

    WriteText(dir_ + "shortcuts\\shortcuts.txt", "^SpeSep|Only\r\n^UnkLnk|C:\\windows\\win.ini|ini|Again\r\n");
    RebuildItemMenus(*p_);

    const MenuEntry& root = p_->Model.PMItems.root;
    ASSERT_EQ(root.Count(), 5);
    EXPECT_EQ(root.Child(0)->caption, "Only");
    EXPECT_EQ(root.Child(1)->caption, "Again");
    EXPECT_EQ(root.Child(1)->tag, 0) << "numbering starts again";
    EXPECT_EQ(root.Child(2)->caption, "Sysmenu");
    EXPECT_TRUE(p_->FormGeneral.Tray.Enabled);
    EXPECT_EQ(p_->FormGeneral.Tray.Menu, &p_->Model.PMItems);
    EXPECT_EQ(ImageList_GetImageCount(p_->Pictures.Menu()), ImageList_GetImageCount(p_->Pictures.Tree()));
    EXPECT_LE(ImageList_GetImageCount(p_->Pictures.Menu()), pictures) << "added pictures were cleared";
    EXPECT_GE(ImageList_GetImageCount(p_->Pictures.Menu()), 15);
}

// The program reads its store before it makes the windows; an edit made by
// hand in between still shows in the menu, and what did not change stays.
TEST_F(Spine, AStoreEditedAfterTheEarlyReadingShowsAsEdited) {
    p_->ReadStoreEarly();
    Sleep(50);  // let the reading run ahead; the check waits for it anyway
    WriteText(dir_ + "shortcuts\\Tools\\shortcuts.txt",
              "^UnkLnk|C:\\windows\\system.ini|ini|System ini\r\n^UnkLnk|C:\\windows\\win.ini|ini|Edited\r\n");
    Start();
    const MenuEntry& root = p_->Model.PMItems.root;
    ASSERT_EQ(root.Count(), 6);
    EXPECT_EQ(root.Child(0)->caption, "Win ini");
    const MenuEntry& tools = *root.Child(1);
    ASSERT_EQ(tools.caption, "Tools");
    std::vector<std::string> captions;
    for (int i = 0; i < tools.Count(); ++i)
        if (tools.Child(i)->visible) captions.push_back(tools.Child(i)->caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"System ini", "Edited"}));
    EXPECT_EQ(p_->Model.Items.PathOf(2), "C:\\windows\\win.ini");
}

std::string CaptionOf(HWND h) {
    char buf[256] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

TEST_F(Spine, WindowsDrawOnGivesCaptionsAndTaskBarButtons) {
    Start();  // no pivora.ini: Windows drawing, task-bar button
    // The windows wait for their first showing; what the settings gave them is
    // applied when they are made.
    for (AppForm* f : {static_cast<AppForm*>(&p_->FormItems), static_cast<AppForm*>(&p_->FormConfig),
                       static_cast<AppForm*>(&p_->FormAbout)}) {
        EXPECT_EQ(f->Handle(), nullptr);
        ASSERT_TRUE(f->EnsureWindow());
    }
    EXPECT_EQ(CaptionOf(p_->FormItems.Handle()), "Kelvory Pivora - Manage Items");
    EXPECT_EQ(CaptionOf(p_->FormConfig.Handle()), "Kelvory Pivora - Preferences");
    EXPECT_EQ(CaptionOf(p_->FormAbout.Handle()), "Kelvory Pivora - About");
    for (AppForm* f : {static_cast<AppForm*>(&p_->FormItems), static_cast<AppForm*>(&p_->FormConfig),
                       static_cast<AppForm*>(&p_->FormAbout)}) {
        EXPECT_FALSE(f->CaptionPainting());
        const LONG_PTR ex = GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE);
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(ex & WS_EX_APPWINDOW);
        EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), nullptr) << f->TitleText;
    }
    EXPECT_FALSE(p_->FormGeneral.ActivateBound);
    EXPECT_TRUE(p_->FormConfig.Controls.CBWinDefDrawAll.Checked);
    EXPECT_EQ(p_->FormConfig.Controls.edtDataPath.Text, dir_);
}

TEST_F(Spine, ProgramDrawingPaintsTitlesInTheSettingsFont) {
    WriteText(dir_ + "pivora.ini",
              "[General Settings]\r\nTaskBar=0\r\n[Misc Settings]\r\nWindowsDraw=0\r\n"
              "[Font Settings]\r\nFontName=Tahoma\r\nFontSize=10\r\nFontStyleBold=1\r\n");
    Start();
    for (AppForm* f : {static_cast<AppForm*>(&p_->FormItems), static_cast<AppForm*>(&p_->FormConfig),
                       static_cast<AppForm*>(&p_->FormAbout)}) {
        ASSERT_TRUE(f->EnsureWindow());
        EXPECT_EQ(CaptionOf(f->Handle()), "") << f->TitleText;
        EXPECT_TRUE(f->CaptionPainting());
        EXPECT_EQ(f->Font().size, 10);
        EXPECT_TRUE(f->Font().bold);
        // No button on the task bar, but an ordinary window: caption, icon,
        // owned by the hidden main window.
        const LONG_PTR ex = GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE);
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW) << f->TitleText;
        EXPECT_FALSE(ex & WS_EX_APPWINDOW) << f->TitleText;
        EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), p_->FormGeneral.Handle()) << f->TitleText;
    }
    EXPECT_TRUE(p_->FormGeneral.ActivateBound);
    // The title painting itself must not disturb anything, shown or not.
    ShowWindow(p_->FormConfig.Handle(), SW_SHOWNA);
    PaintFormCaption(p_->FormConfig.Handle(), p_->FormConfig.TitleText, "Tahoma");
    ShowWindow(p_->FormConfig.Handle(), SW_HIDE);

    // The menu is drawn by the program: every entry but plain separators.
    const MenuEntry& root = p_->Model.PMItems.root;
    EXPECT_EQ(root.Child(0)->onDraw, DrawHandler::NorItemsRTDrawItem);
    EXPECT_EQ(root.Child(2)->onDraw, DrawHandler::None);
    EXPECT_EQ(root.Child(3)->onDraw, DrawHandler::SpeItemsRTDrawItem);
}

TEST_F(Spine, TheTaskBarOptionMovesOnlyTheButtonOfWindowsThatExist) {
    Start();
    AppForm* forms[] = {&p_->FormItems, &p_->FormConfig, &p_->FormAbout};
    for (AppForm* f : forms) ASSERT_TRUE(f->EnsureWindow());
    for (bool taskBar : {false, true, false}) {
        p_->Model.settings.TaskBar = taskBar;
        p_->ApplyVisualSettings();
        for (AppForm* f : forms) {
            const LONG_PTR ex = GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE);
            const LONG_PTR style = GetWindowLongPtrA(f->Handle(), GWL_STYLE);
            EXPECT_FALSE(ex & WS_EX_TOOLWINDOW) << f->TitleText << " taskbar " << taskBar;
            EXPECT_EQ((ex & WS_EX_APPWINDOW) != 0, taskBar) << f->TitleText;
            EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), taskBar ? nullptr : p_->FormGeneral.Handle()) << f->TitleText;
            EXPECT_TRUE(style & WS_SYSMENU) << "the caption keeps its icon and close box";
        }
    }
}

TEST_F(Spine, CloseWritesTheSettingsAndEndsTheLoop) {
    Start();
    CloseProgram(*p_);
    EXPECT_NE(GetFileAttributesA((dir_ + "pivora.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(p_->Scratch.MenuScratchBitmap, nullptr);
    EXPECT_EQ(p_->Scratch.TreeScratchImage, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the message loop ends";
}

}  // namespace
}  // namespace pv
