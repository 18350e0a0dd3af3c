// Start-up timing under Wine or Windows: starts pivora.exe and measures the time
// until the tray icon answers a click with the tray menu, that is until start-up
// has attached the menu and the menu is on the screen. Clicks on the icon are
// ignored before that; the menu's appearance marks the moment the program is
// ready for the user.
//
//   traybench EXE [TIMEOUT_MS]
// prints "pid=N", "tray_ready_ms=N" (or "tray_ready_ms=-1" on a time-out) and
// "working_set_kb=N", the program's working set once it has been idle for a
// second after that, and ends the program it started.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;  // the icon's callback message

struct Search {
    DWORD pid;
    const char* cls;
    bool wantVisible;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
    if (s->wantVisible && !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, s->cls) != 0) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND Find(DWORD pid, const char* cls, bool visible) {
    Search s{pid, cls, visible, nullptr};
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b, const LARGE_INTEGER& f) {
    return static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: traybench EXE [TIMEOUT_MS]\n");
        return 2;
    }
    const DWORD timeout = argc > 2 ? static_cast<DWORD>(std::atol(argv[2])) : 120000;

    char dir[MAX_PATH];
    lstrcpynA(dir, argv[1], MAX_PATH);
    if (char* slash = strrchr(dir, '\\')) *slash = '\0';

    LARGE_INTEGER freq, t0, now;
    QueryPerformanceFrequency(&freq);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi)) {
        std::printf("start failed: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("pid=%lu\n", pi.dwProcessId);

    // The time until the menu is seen, with a click every 10 ms meanwhile: a
    // click and a fixed wait for its menu would round the figure up to the
    // wait, and waiting for a busy program's answer would count the wait too.
    double readyMs = -1;
    double lastClick = -1e9;
    for (;;) {
        QueryPerformanceCounter(&now);
        const double t = Ms(t0, now, freq);
        if (t > timeout) break;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        if (HWND menu = Find(pi.dwProcessId, "#32768", true)) {
            readyMs = t;
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        }
        HWND icon = Find(pi.dwProcessId, "PivoraSystrayWindow", false);
        if (icon && t - lastClick >= 10) {
            PostMessageA(icon, kTrayCallback, 1, WM_RBUTTONDOWN);
            lastClick = t;
        }
        Sleep(1);
    }
    std::printf("tray_ready_ms=%.0f\n", readyMs);
    if (readyMs >= 0) {
        // Idle: the menu closed, nothing more to do until the next click.
        WaitForInputIdle(pi.hProcess, 5000);
        Sleep(1000);
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
            std::printf("working_set_kb=%lu\n", static_cast<unsigned long>(pmc.WorkingSetSize / 1024));
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return readyMs >= 0 ? 0 : 1;
}
