// The floor of a tray program's start-up: a hidden window, a notification-area
// icon, a global hot key, and a three-entry popup menu opened on the icon's
// callback. Nothing else. The start-up benchmark times it beside Pivora.
// Built a second time with PV_BARE_COMMON_CONTROLS: the same program as one
// that draws pictures from image lists must start, with the common controls
// of version 6 (by the manifest) and COM loaded and initialised first.

#include <windows.h>
#include <shellapi.h>
#ifdef PV_BARE_COMMON_CONTROLS
#include <commctrl.h>
#include <objbase.h>
#endif

#include <cstring>

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

// With PIVORA_TIMING set, the same steps as Pivora's timing, in timing.txt
// beside the program: what the loader took, the window, the icon, the hot key.
class Steps {
public:
    Steps() {
        char flag[8] = "";
        on_ = GetEnvironmentVariableA("PIVORA_TIMING", flag, sizeof flag) && flag[0] != '0';
        if (!on_) return;
        QueryPerformanceFrequency(&freq_);
        QueryPerformanceCounter(&last_);
        FILETIME created, exited, kernel, user, now;
        if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
            GetSystemTimeAsFileTime(&now);
            Line("process start to the program", static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0);
        }
    }
    void Done(const char* what) {
        if (!on_) return;
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        Line(what, 1000.0 * static_cast<double>(t.QuadPart - last_.QuadPart) / static_cast<double>(freq_.QuadPart));
        last_ = t;
    }
    void Write() {
        if (!on_) return;
        char path[MAX_PATH];
        const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = n ? strrchr(path, '\\') : nullptr;
        if (!slash) return;
        lstrcpyA(slash + 1, "timing.txt");
        HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(f, text_, static_cast<DWORD>(lstrlenA(text_)), &written, nullptr);
        CloseHandle(f);
    }

private:
    static unsigned long long Ticks(const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }
    void Line(const char* what, double ms) {
        const int used = lstrlenA(text_);
        wsprintfA(text_ + used, "%s: %d.%d ms\r\n", what, static_cast<int>(ms), static_cast<int>(ms * 10) % 10);
    }
    bool on_ = false;
    LARGE_INTEGER freq_{}, last_{};
    char text_[1024] = "";
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Steps steps;
#ifdef PV_BARE_COMMON_CONTROLS
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    steps.Done("  COM and common controls");
#endif
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "PivoraSystrayWindow";  // the class the benchmark looks for
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    steps.Done("  its window");
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd;
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    Shell_NotifyIconA(NIM_ADD, &nid);
    steps.Done("  tray icon");
    RegisterHotKey(hwnd, 1, MOD_CONTROL, 'L');
    steps.Done("  hot key");
    steps.Write();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &nid);
    return 0;
}
