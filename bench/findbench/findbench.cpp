// Find against the tray menu under Wine or Windows: starts pivora.exe, waits
// until its tray icon opens the menu, then ROUNDS times measures
//   menu: from the icon's click to the menu on the screen, and
//   find: from a letter typed into that open menu to the Find window shown
//         with its rows,
// and prints every figure and the medians ("menu_ms=", "find_ms=", "ratio=").
//   findbench EXE [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;

struct Search {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, s->cls) != 0) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND FindVisible(DWORD pid, const char* cls) {
    Search s{pid, cls, nullptr};
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindIcon(DWORD pid) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, "PivoraSystrayWindow", nullptr))) {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == pid) return h;
    }
    return nullptr;
}

double Now() {
    static LARGE_INTEGER f = [] {
        LARGE_INTEGER x;
        QueryPerformanceFrequency(&x);
        return x;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Find shown with its rows: visible, its list filled.
bool FindWithRows(DWORD pid) {
    HWND f = FindVisible(pid, "TFormFind");
    if (!f) return false;
    HWND list = FindWindowExA(f, nullptr, "ListBox", nullptr);
    return list && IsWindowVisible(list) && SendMessageA(list, LB_GETCOUNT, 0, 0) > 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: findbench EXE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    char dir[MAX_PATH];
    lstrcpynA(dir, argv[1], MAX_PATH);
    if (char* slash = strrchr(dir, '\\')) *slash = '\0';
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi)) {
        std::printf("start failed: error %lu\n", GetLastError());
        return 1;
    }
    const DWORD pid = pi.dwProcessId;
    auto waitFor = [&](auto cond, double ms) {
        const double end = Now() + ms;
        while (Now() < end) {
            if (cond()) return true;
            Sleep(1);
        }
        return false;
    };
    // Start-up: click until the menu shows, then close it.
    bool ready = waitFor(
        [&] {
            if (HWND m = FindVisible(pid, "#32768")) {
                PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
                return true;
            }
            if (HWND icon = FindIcon(pid)) PostMessageA(icon, kTrayCallback, 1, WM_RBUTTONDOWN);
            Sleep(20);
            return false;
        },
        120000);
    std::vector<double> menu, find;
    int status = ready ? 0 : 1;
    for (int i = 0; ready && i < rounds; ++i) {
        waitFor([&] { return !FindVisible(pid, "#32768"); }, 5000);
        Sleep(500);  // idle again, as a user's next click finds it
        HWND icon = FindIcon(pid);
        const double t0 = Now();
        PostMessageA(icon, kTrayCallback, 1, WM_RBUTTONDOWN);
        HWND m = nullptr;
        if (!waitFor([&] { return (m = FindVisible(pid, "#32768")) != nullptr; }, 10000)) { status = 1; break; }
        const double t1 = Now();
        Sleep(300);
        const double t2 = Now();
        PostMessageA(m, WM_CHAR, 'd', 0);
        if (!waitFor([&] { return FindWithRows(pid); }, 10000)) { status = 1; break; }
        const double t3 = Now();
        menu.push_back(t1 - t0);
        find.push_back(t3 - t2);
        std::printf("round %d: menu %.1f ms, find %.1f ms\n", i + 1, t1 - t0, t3 - t2);
        PostMessageA(FindVisible(pid, "TFormFind"), WM_CLOSE, 0, 0);
        waitFor([&] { return !FindVisible(pid, "TFormFind"); }, 5000);
    }
    std::printf("menu_ms=%.1f\nfind_ms=%.1f\nratio=%.2f\n", Median(menu), Median(find),
                Median(find) / Median(menu));
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return status;
}
