// What needs a real desktop: the global hot key and the notification-area
// icon. Runs inside the end-to-end harness's Wine desktop (t_desktop_units.sh),
// where both exist, so nothing here is skipped: a missing tray or a refused hot
// key is a failure.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/InitFinit_win.h"

namespace pv {
namespace {

class MessageWindow {
public:
    MessageWindow() { hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr); }
    ~MessageWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

bool CanTake(UINT mods, UINT vk) {
    MessageWindow w;
    if (!RegisterHotKey(w.hwnd, 77, mods, vk)) return false;
    UnregisterHotKey(w.hwnd, 77);
    return true;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(HotKey, TheProgramHoldsCtrlLWhileItsMainWindowLives) {
    ASSERT_TRUE(CanTake(MOD_CONTROL, 'L')) << "Ctrl+L must be free on the test desktop";
    {
        PivoraProgram p;
        ASSERT_TRUE(p.CreateWindows());
        EXPECT_TRUE(p.FormGeneral.JvApplicationHotKey.Active());
        EXPECT_FALSE(CanTake(MOD_CONTROL, 'L')) << "held by the program";
        // The settings name another key: it replaces Ctrl+L at once.
        p.FormGeneral.JvApplicationHotKey.SetHotKey(kScCtrl | kScAlt | kScShift | 0x7B);  // F12
        EXPECT_TRUE(CanTake(MOD_CONTROL, 'L'));
        EXPECT_FALSE(CanTake(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
    }
    EXPECT_TRUE(CanTake(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12)) << "let go with the window";
}

TEST(HotKey, HeldElsewhereTheProgramStartsWithoutItAndTakesTheSettingsValue) {
    MessageWindow other;
    ASSERT_TRUE(RegisterHotKey(other.hwnd, 1, MOD_CONTROL, 'L'));
    {
        PivoraProgram p;
        ASSERT_TRUE(p.CreateWindows());
        EXPECT_FALSE(p.FormGeneral.JvApplicationHotKey.Active());
        p.FormGeneral.JvApplicationHotKey.SetHotKey(kScCtrl | kScAlt | kScShift | 0x7A);  // F11
        EXPECT_TRUE(p.FormGeneral.JvApplicationHotKey.Active());
        EXPECT_FALSE(CanTake(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F11));
    }
    UnregisterHotKey(other.hwnd, 1);
}

bool IconExists(HWND window) {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = 1;
    nid.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

TEST(TrayIcon, PlacedWithTheWindowAgainAfterTheTaskBarRestartsAndGoneWithIt) {
    PivoraProgram p;
    ASSERT_TRUE(p.CreateWindows());
    HWND icon = p.FormGeneral.CSystrayGen.Handle();
    ASSERT_TRUE(p.FormGeneral.CSystrayGen.Placed());
    EXPECT_TRUE(IconExists(icon));

    // The shell restarted and forgot the icon, then says so.
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = icon;
    nid.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    EXPECT_FALSE(IconExists(icon));
    SendMessageA(icon, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconExists(icon));

    p.FormGeneral.Destroy();
    EXPECT_FALSE(IconExists(icon));
}

TEST(TrayIcon, ASecondTaskbarCreatedWhileTheIconIsThereKeepsItAndItGoesAtTheEnd) {
    PivoraProgram p;
    ASSERT_TRUE(p.CreateWindows());
    HWND icon = p.FormGeneral.CSystrayGen.Handle();
    ASSERT_TRUE(p.FormGeneral.CSystrayGen.Placed());
    // The shell says it again (or another program broadcasts it) while it
    // still shows the icon: adding it fails, and it is still there.
    SendMessageA(icon, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconExists(icon));
    EXPECT_TRUE(p.FormGeneral.CSystrayGen.Placed());
    p.FormGeneral.Destroy();
    EXPECT_FALSE(IconExists(icon)) << "a ghost icon left behind";
}

// Watches, from a timer that also fires inside a menu's modal loop, whether a
// popup menu window shows; closes it when it does.
bool g_menuSeen = false;

void CALLBACK WatchForMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        EndMenu();
    }
}

// Delivers msg to the icon's window, then watches for up to ms milliseconds.
bool MenuOpensAfter(HWND target, UINT msg, WPARAM wParam, LPARAM lParam, DWORD ms) {
    g_menuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchForMenu);
    PostMessageA(target, msg, wParam, lParam);
    const DWORD start = GetTickCount();
    while (!g_menuSeen && GetTickCount() - start < ms) {
        Pump();
        Sleep(10);
    }
    KillTimer(nullptr, timer);
    Pump();
    return g_menuSeen;
}

TEST(TrayIcon, ClicksOpenTheMenuOnlyWhileEnabledAndAttached) {
    PivoraProgram p;
    ASSERT_TRUE(p.CreateWindows());
    p.Model.PMItems.root.Append()->caption = "Notepad";
    HWND icon = p.FormGeneral.CSystrayGen.Handle();
    HWND main = p.FormGeneral.Handle();
    TrayMenu& tray = p.FormGeneral.Tray;

    tray.Menu = &p.Model.PMItems;  // attached, disabled
    EXPECT_FALSE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, 1, WM_LBUTTONDOWN, 600));
    tray.Enabled = true;
    tray.Menu = nullptr;  // enabled, nothing attached: a rebuild
    EXPECT_FALSE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, 1, WM_RBUTTONDOWN, 600));
    EXPECT_FALSE(MenuOpensAfter(main, WM_HOTKEY, 1, 0, 600));

    // For contrast, so that the checks above could fail: enabled and attached.
    tray.Menu = &p.Model.PMItems;
    EXPECT_TRUE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, 1, WM_LBUTTONDOWN, 5000));
    EXPECT_TRUE(MenuOpensAfter(main, WM_HOTKEY, 1, 0, 5000));
}

TEST(TrayIcon, TheKeyboardEventsOfVersionFourOpenTheMenu) {
    PivoraProgram p;
    ASSERT_TRUE(p.CreateWindows());
    p.Model.PMItems.root.Append()->caption = "Notepad";
    HWND icon = p.FormGeneral.CSystrayGen.Handle();
    p.FormGeneral.Tray.Enabled = true;
    p.FormGeneral.Tray.Menu = &p.Model.PMItems;
    RECT r = {};
    RecordProperty("iconRectKnown", p.FormGeneral.CSystrayGen.IconRect(r) ? 1 : 0);
    // As the shell sends them to a version 4 icon: the event and the icon's id
    // in lParam, the anchor in wParam.
    const WPARAM anchor = MAKEWPARAM(990, 690);
    EXPECT_TRUE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, anchor, MAKELPARAM(NIN_KEYSELECT, 1), 5000));
    EXPECT_TRUE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, anchor, MAKELPARAM(WM_CONTEXTMENU, 1), 5000));
    EXPECT_TRUE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, anchor, MAKELPARAM(NIN_SELECT, 1), 5000));
    // A mouse move or a button's release opens nothing.
    EXPECT_FALSE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, anchor, MAKELPARAM(WM_MOUSEMOVE, 1), 600));
    EXPECT_FALSE(MenuOpensAfter(icon, WMAPP_NOTIFYCALLBACK, anchor, MAKELPARAM(WM_LBUTTONUP, 1), 600));
}

}  // namespace
}  // namespace pv
