// The Win32 spine in-process: the single-instance mapping, the HMENU made from
// a MenuEntry tree, and picture insertion in image lists. (The hot key and the
// tray icon need a desktop: tests/desktop.)

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/SystemMenu.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_config_win.h"

namespace pv {
namespace {

// Drops a WM_QUIT that a refused start posted, so later tests can pump.
void DrainQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

std::string UniqueName(const char* what) {
    return std::string("pivora-test-") + what + "-" + std::to_string(GetCurrentProcessId());
}

// ---------------------------------------------------------------- single instance

TEST(SingleInstance, ASecondClaimIsRefusedUntilTheFirstIsReleased) {
    const std::string name = UniqueName("instance");
    SingleInstance first, second;
    EXPECT_TRUE(first.Claim(nullptr, name.c_str()));
    EXPECT_FALSE(second.Claim(nullptr, name.c_str()));
    first.Release();
    EXPECT_TRUE(second.Claim(nullptr, name.c_str())) << "released: a new copy may start";
}

TEST(SingleInstance, StoresTheWindowHandleInFourBytes) {
    const std::string name = UniqueName("view");
    HWND fake = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345678));
    SingleInstance instance;
    ASSERT_TRUE(instance.Claim(fake, name.c_str()));
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    ASSERT_NE(h, nullptr);
    const void* view = MapViewOfFile(h, FILE_MAP_READ, 0, 0, 4);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(*static_cast<const uint32_t*>(view), 0x12345678u);
    UnmapViewOfFile(view);
    CloseHandle(h);
}

TEST(SingleInstance, ASecondProgramLeavesQuietlyWithoutStarting) {
    // What a second pivora.exe sees when the first runs: the same named mapping.
    HANDLE first = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, kInstanceMappingName);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the test prefix runs no Pivora";
    {
        PivoraProgram second;
        ASSERT_TRUE(second.CreateWindows());
        second.Start();
        EXPECT_EQ(second.Model.StartFlag, 0);
        EXPECT_EQ(second.Model.TVItems.TopCount(), 0) << "no start-up step ran";
        EXPECT_FALSE(second.FormGeneral.Tray.Enabled);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the message loop ends";
    }
    DrainQuit();
    CloseHandle(first);
}

// ---------------------------------------------------------------- menu realisation

MenuEntry* Add(MenuEntry& parent, const std::string& caption, int tag, bool visible = true) {
    MenuEntry* e = parent.Append();
    e->caption = caption;
    e->tag = tag;
    e->visible = visible;
    return e;
}

UINT ItemType(HMENU m, int pos) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(m, static_cast<UINT>(pos), TRUE, &mii);
    return mii.fType;
}

ULONG_PTR ItemData(HMENU m, int pos) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    GetMenuItemInfoA(m, static_cast<UINT>(pos), TRUE, &mii);
    return mii.dwItemData;
}

std::string ItemText(HMENU m, int pos) {
    char buf[256] = {};
    GetMenuStringA(m, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

TEST(RealiseMenuTree, ShapeOfTheMenu) {
    PopupMenu pm;
    MenuEntry& root = pm.root;
    Add(root, "Notepad", 0)->onClick = ClickHandler::NorItemsRTClickItem;
    Add(root, "-", kTagPlainSeparator);
    MenuEntry* folder = Add(root, "Tools", 2);
    Add(*folder, "Tools", kTagSideBar, false);
    Add(*folder, "Hiding", kTagHiddenPlaceholder, false);
    Add(*folder, "Calc", 1);
    MenuEntry* empty = Add(root, "Empty", 1);
    Add(*empty, "Hiding", kTagHiddenPlaceholder, false);
    Add(root, "Docs", kTagCaptionedSeparator);
    Add(root, "-", kTagPlainSeparator);

    RealisedMenu rm;
    RealiseMenuTree(root, rm);
    ASSERT_NE(rm.menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(rm.menu), 6);
    EXPECT_EQ(ItemText(rm.menu, 0), "Notepad");
    EXPECT_EQ(ItemType(rm.menu, 1) & MFT_SEPARATOR, static_cast<UINT>(MFT_SEPARATOR));
    EXPECT_EQ(ItemType(rm.menu, 5) & MFT_SEPARATOR, static_cast<UINT>(MFT_SEPARATOR)) << "two in a row stay two";

    HMENU tools = GetSubMenu(rm.menu, 2);
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(GetMenuItemCount(tools), 0) << "filled only when about to open";
    EXPECT_TRUE(rm.FillSubmenu(tools));
    EXPECT_FALSE(rm.FillSubmenu(tools)) << "once";
    EXPECT_FALSE(rm.FillSubmenu(rm.menu)) << "the top menu is filled from the start";
    ASSERT_EQ(GetMenuItemCount(tools), 1) << "hidden side bar and placeholder are left out";
    EXPECT_EQ(ItemText(tools, 0), "Calc");

    // An empty folder is still a submenu, with nothing visible in it.
    HMENU emptySub = GetSubMenu(rm.menu, 3);
    ASSERT_NE(emptySub, nullptr);
    rm.FillSubmenu(emptySub);
    EXPECT_EQ(GetMenuItemCount(emptySub), 0);

    // Command ids lead back to the entries.
    const UINT id = GetMenuItemID(rm.menu, 0);
    EXPECT_EQ(rm.EntryOfCommand(id), root.Child(0));
    EXPECT_EQ(rm.EntryOfCommand(GetMenuItemID(tools, 0)), folder->Child(2));
    EXPECT_EQ(rm.EntryOfCommand(0), nullptr);
    EXPECT_EQ(rm.EntryOfCommand(10000), nullptr);
}

TEST(RealiseMenuTree, OwnerDrawnWhereTheEntryHasHandlers) {
    PopupMenu pmBasic, pm;
    BuildMenuTemplate(pmBasic);
    CopyMenuItemTree(pmBasic.root, pm.root);

    for (bool windowsDraw : {false, true}) {
        AssignMenuDrawHandlers(pm.root, windowsDraw);
        RealisedMenu rm;
        RealiseMenuTree(pm.root, rm);
        ASSERT_EQ(GetMenuItemCount(rm.menu), 3) << "Sysmenu, Pivora Kit, Close";

        // The captioned separator is always drawn by the program.
        EXPECT_TRUE(ItemType(rm.menu, 0) & MFT_OWNERDRAW);
        EXPECT_EQ(reinterpret_cast<MenuEntry*>(ItemData(rm.menu, 0)), pm.root.Child(0));
        EXPECT_EQ(!!(ItemType(rm.menu, 1) & MFT_OWNERDRAW), !windowsDraw);
        EXPECT_EQ(!!(ItemType(rm.menu, 2) & MFT_OWNERDRAW), !windowsDraw);
        if (windowsDraw) {
            EXPECT_EQ(ItemText(rm.menu, 2), "Close");
        }

        HMENU kit = GetSubMenu(rm.menu, 1);
        ASSERT_NE(kit, nullptr);
        rm.FillSubmenu(kit);
        // Help File, -, Manage Items..., Find Item..., Preferences..., -, Visit Website, -, About...
        ASSERT_EQ(GetMenuItemCount(kit), 9);
        for (int sep : {1, 5, 7}) EXPECT_TRUE(ItemType(kit, sep) & MFT_SEPARATOR) << sep;
        const MenuEntry* about = rm.EntryOfCommand(GetMenuItemID(kit, 8));
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->onClick, ClickHandler::miAboutClick);
    }
}

TEST(RealiseMenuTree, DisabledEntriesStayDisabled) {
    PopupMenu pm;
    Add(pm.root, "off", 0)->enabled = false;
    RealisedMenu rm;
    RealiseMenuTree(pm.root, rm);
    EXPECT_TRUE(GetMenuState(rm.menu, 0, MF_BYPOSITION) & MF_DISABLED);
}

TEST(FindMenuHotKey, LooksUpTheMarkedLetterOfOwnerDrawnEntries) {
    PopupMenu pm;
    for (const char* caption : {"&Notepad", "Registry &Editor", "Fish && Chips", "&extra", "No marker", "&zz"}) {
        MenuEntry* e = Add(pm.root, caption, 0);
        e->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
        e->onDraw = DrawHandler::NorItemsRTDrawItem;
    }
    pm.root.Child(5)->enabled = false;
    RealisedMenu rm;
    RealiseMenuTree(pm.root, rm);
    bool several = false;
    EXPECT_EQ(FindMenuHotKey(rm.menu, 'n', several), 0);
    EXPECT_FALSE(several);
    EXPECT_EQ(FindMenuHotKey(rm.menu, 'E', several), 1);
    EXPECT_TRUE(several) << "Registry &Editor and &extra";
    EXPECT_EQ(FindMenuHotKey(rm.menu, 'c', several), -1) << "&& is no marker";
    EXPECT_EQ(FindMenuHotKey(rm.menu, 'z', several), -1) << "disabled entries are passed over";
    EXPECT_EQ(FindMenuHotKey(rm.menu, 'q', several), -1);
}

TEST(RealiseMenuTree, OwnerDrawnEntriesAlsoCarryTheirTextForScreenReaders) {
    PopupMenu pm;
    const auto drawn = [](MenuEntry* e) {
        e->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
        e->onDraw = DrawHandler::NorItemsRTDrawItem;
        return e;
    };
    drawn(Add(pm.root, "&Notepad", 0));
    drawn(Add(pm.root, "Fish && Chips", 1));
    MenuEntry* caption = Add(pm.root, "Sysmenu", kTagCaptionedSeparator);
    caption->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
    caption->onDraw = DrawHandler::SpeItemsRTDrawItem;
    Add(pm.root, "-", kTagPlainSeparator);
    Add(pm.root, "&Windows drawn", 2);
    MenuEntry* folder = drawn(Add(pm.root, "Tools", 2));
    drawn(Add(*folder, "Registry &Editor", 3));
    RealisedMenu rm;
    RealiseMenuTree(pm.root, rm);

    const auto text = [](HMENU menu, UINT pos) {
        char buffer[100] = "";
        const int n = GetMenuStringA(menu, pos, buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer, n > 0 ? n : 0);
    };
    // As the entry reads; the "&" markers stay the program's own business.
    EXPECT_EQ(text(rm.menu, 0), "Notepad");
    EXPECT_EQ(text(rm.menu, 1), "Fish & Chips");
    EXPECT_EQ(text(rm.menu, 2), "Sysmenu");
    EXPECT_EQ(text(rm.menu, 3), "") << "a plain separator has none";
    EXPECT_EQ(text(rm.menu, 4), "&Windows drawn");
    EXPECT_EQ(text(rm.menu, 5), "Tools");
    for (UINT pos : {0u, 1u, 2u, 5u}) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(rm.menu, pos, TRUE, &mii));
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << pos << ": still drawn by the program";
        EXPECT_NE(mii.dwItemData, 0u) << pos;
    }
    HMENU sub = GetSubMenu(rm.menu, 5);
    ASSERT_TRUE(rm.FillSubmenu(sub));
    EXPECT_EQ(text(sub, 0), "Registry Editor");
}

// A window class of the tray icon's name that refuses every window.
LRESULT CALLBACK RefuseCreation(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) return FALSE;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(TrayIconWindow, WithoutItTheWindowsAreNotMade) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RefuseCreation;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PivoraSystrayWindow";
    UnregisterClassA(wc.lpszClassName, wc.hInstance);  // an earlier test's, its windows long gone
    ASSERT_TRUE(RegisterClassA(&wc));
    {
        PivoraProgram p;
        EXPECT_FALSE(p.CreateWindows()) << "a program without its icon could never be reached";
        EXPECT_EQ(p.FormGeneral.CSystrayGen.Handle(), nullptr);
        EXPECT_FALSE(p.FormGeneral.CSystrayGen.Placed());
    }
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

// ---------------------------------------------------------------- fonts

TEST(InstalledFontNames, EachFaceOnceAndNoVerticalFaces) {
    const std::vector<std::string> names = InstalledFontNames();
    EXPECT_FALSE(names.empty());
    std::set<std::string> seen;
    for (const std::string& n : names) {
        EXPECT_TRUE(seen.insert(n).second) << n;
        EXPECT_FALSE(!n.empty() && n[0] == '@') << n;
    }
}

// ---------------------------------------------------------------- image lists

HBITMAP SolidPicture(COLORREF c) { return CreateSolidBitmap32(16, 16, c); }

// The colour in the middle of picture index, drawn onto a black bitmap.
COLORREF PixelOf(HIMAGELIST il, int index) {
    HBITMAP canvas = CreateSolidBitmap32(16, 16, RGB(0, 0, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    ImageList_Draw(il, index, dc, 0, 0, ILD_NORMAL);
    const COLORREF c = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    return c;
}

TEST(InsertPicture, InsertsAtPositionAndMovesTheRestUp) {
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (COLORREF c : colours) {
        HBITMAP b = SolidPicture(c);
        ImageList_Add(il, b, nullptr);
        DeleteObject(b);
    }
    HBITMAP y = SolidPicture(RGB(255, 255, 0));
    InsertPicture(il, 1, [&](int i) { ImageList_Replace(il, i, y, nullptr); });
    ASSERT_EQ(ImageList_GetImageCount(il), 4);
    EXPECT_EQ(PixelOf(il, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(il, 1), RGB(255, 255, 0));
    EXPECT_EQ(PixelOf(il, 2), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(il, 3), RGB(0, 0, 255));

    // Past the end or negative: appended.
    InsertPicture(il, -1, [&](int i) { ImageList_Replace(il, i, y, nullptr); });
    InsertPicture(il, 99, [&](int i) { ImageList_Replace(il, i, y, nullptr); });
    EXPECT_EQ(ImageList_GetImageCount(il), 6);
    EXPECT_EQ(PixelOf(il, 5), RGB(255, 255, 0));
    DeleteObject(y);
    ImageList_Destroy(il);
}

TEST(WinPictureLists, EveryCallKeepsTheListsInStep) {
    ScratchPictures scratch;
    BreakPictures breaks;
    WinPictureLists lists(scratch, breaks);
    ASSERT_TRUE(lists.Create());  // the test program has no fixed pictures: empty lists
    HIMAGELIST pm = lists.Menu();
    HIMAGELIST tv = lists.Tree();
    CreateScratchImages(scratch);

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string existing = std::string(windows) + "\\win.ini";

    EXPECT_TRUE(lists.AddShellIcon(windows, -1, false)) << "a directory has the folder icon";
    EXPECT_FALSE(lists.AddShellIcon("C:\\no\\such\\file.xyz", 0, false));
    lists.AddShellIcon(existing, 1, false);
    EXPECT_EQ(ImageList_GetImageCount(pm), 3);
    EXPECT_EQ(ImageList_GetImageCount(tv), 3);

    lists.AddShellIcon(existing, -1, true);  // menu only, then the tree from the menu
    EXPECT_EQ(ImageList_GetImageCount(pm), 4);
    lists.CopyMenuPictureToTree(-1);
    EXPECT_EQ(ImageList_GetImageCount(tv), 4);

    EXPECT_FALSE(lists.InsertIconFile("C:\\no\\such\\icon.bmp", 2));
    lists.CopyMenuPictureToTree(2);
    EXPECT_EQ(lists.Count(), 5);
    EXPECT_EQ(ImageList_GetImageCount(tv), 5);

    lists.DeleteAbove(1);
    EXPECT_EQ(ImageList_GetImageCount(pm), 2);
    EXPECT_EQ(ImageList_GetImageCount(tv), 2);

    FreeScratchImages(scratch);
}

TEST(WinPictureLists, BitmapOfAnyWidthIsOnePicture) {
    ScratchPictures scratch;
    BreakPictures breaks;
    WinPictureLists lists(scratch, breaks);
    ASSERT_TRUE(lists.Create());
    HIMAGELIST pm = lists.Menu();

    // A 48x16 bitmap written to a temporary file.
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "pivora-wide-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    {
        BITMAPFILEHEADER fh = {};
        BITMAPINFOHEADER ih = {};
        ih.biSize = sizeof ih;
        ih.biWidth = 48;
        ih.biHeight = 16;
        ih.biPlanes = 1;
        ih.biBitCount = 32;
        std::string pixels(48 * 16 * 4, '\x40');
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixels.size());
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(h, &fh, sizeof fh, &n, nullptr);
        WriteFile(h, &ih, sizeof ih, &n, nullptr);
        WriteFile(h, pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
        CloseHandle(h);
    }
    EXPECT_TRUE(lists.InsertIconFile(file, -1));
    EXPECT_EQ(ImageList_GetImageCount(pm), 1);
    DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace pv
