// The floor of a tray program's start-up: a hidden window, a notification-area
// icon, a global hot key, and a three-entry popup menu opened on the icon's
// callback. Nothing else. The start-up benchmark times it beside Pivora.

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kTrayCallback && (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "First");
        AppendMenuA(menu, MF_STRING, 2, "Second");
        AppendMenuA(menu, MF_STRING, 3, "Close");
        POINT pt;
        GetCursorPos(&pt);
        SetForegroundWindow(hwnd);
        const UINT id = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd, nullptr));
        PostMessageA(hwnd, WM_NULL, 0, 0);
        DestroyMenu(menu);
        if (id == 3) PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_HOTKEY) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "PivoraSystrayWindow";  // the class the benchmark looks for
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd;
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    Shell_NotifyIconA(NIM_ADD, &nid);
    RegisterHotKey(hwnd, 1, MOD_CONTROL, 'L');
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &nid);
    return 0;
}
