// The five windows brought to life in-process: the start-up sequence over the
// real windows, settings and loader, a rebuild after the store changed, and
// Close. The program directory is a scratch directory of the test's own.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <string>

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

// WinAppSteps with the program living in the test's scratch directory.
class ScratchSteps : public WinAppSteps {
public:
    explicit ScratchSteps(std::string exe) : exe_(std::move(exe)) {}
    std::string ExecutablePath() override { return exe_; }

private:
    std::string exe_;
};

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

        general_ = std::make_unique<TFormGeneral>();
        shortCuts_ = std::make_unique<TFormShortCuts>();
        items_ = std::make_unique<TFormItems>();
        config_ = std::make_unique<TFormConfig>();
        about_ = std::make_unique<TFormAbout>();
        Forms = AppForms{general_.get(), shortCuts_.get(), items_.get(), config_.get(), about_.get()};
        ASSERT_TRUE(general_->Create());
        ASSERT_TRUE(shortCuts_->Create());
        ASSERT_TRUE(items_->Create());
        ASSERT_TRUE(config_->Create());
        ASSERT_TRUE(about_->Create());
        CreateAppSettings();
        FillFixedPictures();
    }

    // The test program has no resources: stand-ins for pictures 0 to 14 and the
    // six break pictures.
    void FillFixedPictures() {
        for (int i = 0; i < 15; ++i) {
            HBITMAP small = CreateSolidBitmap32(16, 16, RGB(i * 10, 0, 0));
            HBITMAP large = CreateSolidBitmap32(16, 18, RGB(i * 10, 0, 0));
            ImageList_Add(items_->ILAllPublicPM, small, nullptr);
            ImageList_Add(items_->ILAllPublicTV, large, nullptr);
            DeleteObject(small);
            DeleteObject(large);
        }
        TFormShortCuts& sc = *shortCuts_;
        for (HBITMAP* b : {&sc.ImageBreak3Small, &sc.ImageBreak4Small, &sc.ImageBreak5Small})
            if (!*b) *b = CreateSolidBitmap32(16, 16, RGB(0, 0, 200));
        for (HBITMAP* b : {&sc.ImageBreak3Large, &sc.ImageBreak4Large, &sc.ImageBreak5Large})
            if (!*b) *b = CreateSolidBitmap32(16, 18, RGB(0, 0, 200));
    }

    void TearDown() override {
        DestroyAppSettings();
        about_.reset();
        config_.reset();
        items_.reset();
        shortCuts_.reset();
        general_.reset();
        Forms = AppForms{};
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        RemoveTree(dir_);
    }

    std::string dir_;
    std::unique_ptr<TFormGeneral> general_;
    std::unique_ptr<TFormShortCuts> shortCuts_;
    std::unique_ptr<TFormItems> items_;
    std::unique_ptr<TFormConfig> config_;
    std::unique_ptr<TFormAbout> about_;
};

TEST_F(Spine, WindowsStartHidden) {
    for (HWND h : {general_->Handle(), shortCuts_->Handle(), items_->Handle(), config_->Handle(), about_->Handle()})
        EXPECT_FALSE(IsWindowVisible(h));
    RECT r = {};
    GetWindowRect(general_->Handle(), &r);
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    // The icon is there from the start but ignores the mouse and has no menu.
    EXPECT_FALSE(general_->CSystrayGen.Enabled);
    EXPECT_EQ(general_->CSystrayGen.PopupMenu, nullptr);
}

TEST_F(Spine, StartupBuildsTheTrayMenuAndEnablesTheIcon) {
    ScratchSteps steps(dir_ + "pivora.exe");
    StartupSequence(steps);

    EXPECT_EQ(ProgramDir, dir_);
    EXPECT_EQ(ExeName, "pivora.exe");
    EXPECT_EQ(DataDir, dir_) << "no glc.ini: the program directory";
    EXPECT_EQ(items_->TitleText, "Kelvory Pivora - Manage Items");
    EXPECT_EQ(config_->TitleText, "Kelvory Pivora - Preferences");
    EXPECT_EQ(about_->TitleText, "Kelvory Pivora - About");
    EXPECT_EQ(about_->LabelVer, "Kelvory Pivora version 1.46 for Windows");
    EXPECT_EQ(general_->AEGeneral().MessageTable.at(3), ComposeBackupQuestion(dir_, ComposeSupportTail(dir_)));
    EXPECT_FALSE(config_->Controls.CmBoxFontName.Items.empty()) << "installed fonts listed at step 4";

    // User items first, then Sysmenu, the Kit and Close.
    const MenuEntry& root = items_->PMItems.root;
    ASSERT_EQ(root.Count(), 6);
    EXPECT_EQ(root.Child(0)->caption, "Win ini");
    EXPECT_EQ(root.Child(1)->caption, "Tools");
    EXPECT_EQ(root.Child(2)->tag, kTagPlainSeparator);
    EXPECT_EQ(root.Child(3)->caption, "Sysmenu");
    EXPECT_EQ(root.Child(4)->caption, "Pivora Kit");
    EXPECT_EQ(root.Child(5)->caption, "Close");
    EXPECT_TRUE(general_->CSystrayGen.Enabled);
    EXPECT_EQ(general_->CSystrayGen.PopupMenu, &items_->PMItems);
    EXPECT_EQ(items_->Items.PathOf(1), "C:\\windows\\system.ini") << "numbers follow reading order";

    // The windows-draw default: only the captioned separator is owner-drawn.
    RealisedMenu rm;
    RealiseMenuTree(root, rm, items_->ILAllPublicPM);
    ASSERT_EQ(GetMenuItemCount(rm.menu), 6);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(rm.menu, 3, TRUE, &mii);
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
    GetMenuItemInfoA(rm.menu, 0, TRUE, &mii);
    EXPECT_FALSE(mii.fType & MFT_OWNERDRAW);
}

TEST_F(Spine, RebuildShowsTheStoreAsItIsNow) {
    ScratchSteps steps(dir_ + "pivora.exe");
    StartupSequence(steps);
    const int pictures = ImageList_GetImageCount(items_->ILAllPublicPM);
    EXPECT_GE(pictures, 15);

    // The same store again: the same pictures, nothing piles up.
    RebuildItemMenus(steps);
    EXPECT_EQ(ImageList_GetImageCount(items_->ILAllPublicPM), pictures);
    EXPECT_EQ(ImageList_GetImageCount(items_->ILAllPublicTV), pictures);
    EXPECT_EQ(items_->PMItems.root.Count(), 6);

    WriteText(dir_ + "shortcuts\\shortcuts.txt", "^SpeSep|Only\r\n^UnkLnk|C:\\windows\\win.ini|ini|Again\r\n");
    RebuildItemMenus(steps);

    const MenuEntry& root = items_->PMItems.root;
    ASSERT_EQ(root.Count(), 5);
    EXPECT_EQ(root.Child(0)->caption, "Only");
    EXPECT_EQ(root.Child(1)->caption, "Again");
    EXPECT_EQ(root.Child(1)->tag, 0) << "numbering starts again";
    EXPECT_EQ(root.Child(2)->caption, "Sysmenu");
    EXPECT_TRUE(general_->CSystrayGen.Enabled);
    EXPECT_EQ(general_->CSystrayGen.PopupMenu, &items_->PMItems);
    EXPECT_EQ(ImageList_GetImageCount(items_->ILAllPublicPM), ImageList_GetImageCount(items_->ILAllPublicTV));
    EXPECT_LE(ImageList_GetImageCount(items_->ILAllPublicPM), pictures) << "added pictures were cleared";
    EXPECT_GE(ImageList_GetImageCount(items_->ILAllPublicPM), 15);
}

std::string CaptionOf(HWND h) {
    char buf[256] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

TEST_F(Spine, WindowsDrawOnGivesCaptionsAndTaskBarButtons) {
    ScratchSteps steps(dir_ + "pivora.exe");
    StartupSequence(steps);  // no pivora.ini: Windows drawing, task-bar button
    EXPECT_EQ(CaptionOf(items_->Handle()), "Kelvory Pivora - Manage Items");
    EXPECT_EQ(CaptionOf(config_->Handle()), "Kelvory Pivora - Preferences");
    EXPECT_EQ(CaptionOf(about_->Handle()), "Kelvory Pivora - About");
    for (AppForm* f : {static_cast<AppForm*>(items_.get()), static_cast<AppForm*>(config_.get()),
                       static_cast<AppForm*>(about_.get())}) {
        EXPECT_FALSE(f->CaptionPainting());
        const LONG_PTR ex = GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE);
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    }
    EXPECT_FALSE(general_->ActivateBound);
    EXPECT_TRUE(config_->Controls.CBWinDefDrawAll.Checked);
    EXPECT_EQ(config_->Controls.edtDataPath.Text, dir_);
}

TEST_F(Spine, ProgramDrawingPaintsTitlesInTheSettingsFont) {
    WriteText(dir_ + "pivora.ini",
              "[General Settings]\r\nTaskBar=0\r\n[Misc Settings]\r\nWindowsDraw=0\r\n"
              "[Font Settings]\r\nFontName=Tahoma\r\nFontSize=10\r\nFontStyleBold=1\r\n");
    ScratchSteps steps(dir_ + "pivora.exe");
    StartupSequence(steps);
    for (AppForm* f : {static_cast<AppForm*>(items_.get()), static_cast<AppForm*>(config_.get()),
                       static_cast<AppForm*>(about_.get())}) {
        EXPECT_EQ(CaptionOf(f->Handle()), "") << f->TitleText;
        EXPECT_TRUE(f->CaptionPainting());
        EXPECT_EQ(f->Font().size, 10);
        EXPECT_TRUE(f->Font().bold);
        EXPECT_TRUE(GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    }
    EXPECT_TRUE(general_->ActivateBound);
    // The title painting itself must not disturb anything, shown or not.
    ShowWindow(config_->Handle(), SW_SHOWNA);
    PaintFormCaption(config_->Handle(), config_->TitleText, "Tahoma");
    ShowWindow(config_->Handle(), SW_HIDE);

    // The menu is drawn by the program: every entry but plain separators.
    const MenuEntry& root = items_->PMItems.root;
    EXPECT_EQ(root.Child(0)->onDraw, DrawHandler::NorItemsRTDrawItem);
    EXPECT_EQ(root.Child(2)->onDraw, DrawHandler::None);
    EXPECT_EQ(root.Child(3)->onDraw, DrawHandler::SpeItemsRTDrawItem);
}

TEST_F(Spine, CloseWritesTheSettingsAndEndsTheLoop) {
    ScratchSteps steps(dir_ + "pivora.exe");
    StartupSequence(steps);
    CloseProgram(steps);
    EXPECT_NE(GetFileAttributesA((dir_ + "pivora.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Scratch.MenuScratchBitmap, nullptr);
    EXPECT_EQ(Scratch.TreeScratchImage, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the message loop ends";
}

}  // namespace
}  // namespace pv
