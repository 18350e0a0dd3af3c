// standin: the smallest program that behaves like Pivora at start-up as far as
// the foundation's end-to-end tests can see (hidden windows, a tray icon, the
// single-instance mapping, Ctrl+L). The tests use it to check the harness
// itself, so that a harness fault is never mistaken for a program fault.
#include <windows.h>
#include <shellapi.h>

namespace {

const UINT WMAPP_NOTIFYCALLBACK = WM_APP + 1;
const char kMappingName[] = "{0C462EFB-02B9-4314-80A4-DA95904F9B9F}-standin";

LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = h;
        nid.uID = 1;
        Shell_NotifyIconA(NIM_DELETE, &nid);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.lpszClassName = "TPivoraStandIn";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, wc.lpszClassName, "standin", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, inst, nullptr);
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, kMappingName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(map);
        DestroyWindow(h);
        return 0;
    }
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = h;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_MESSAGE;
    nid.uCallbackMessage = WMAPP_NOTIFYCALLBACK;
    nid.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    Shell_NotifyIconA(NIM_ADD, &nid);
    RegisterHotKey(h, 1, MOD_CONTROL, 'L');
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnregisterHotKey(h, 1);
    CloseHandle(map);
    return 0;
}
