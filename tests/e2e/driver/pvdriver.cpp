// pvdriver: a small console program that drives Windows programs from the
// end-to-end tests. It runs under the same Wine prefix (and desktop) as the
// program under test, finds its windows and sends them standard messages.
//
// Every subcommand prints its result on stdout, one item a line, and exits
// with 0 on success, 1 when what was asked for did not happen (not found,
// timed out), 2 on a usage error.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs(
        "usage: pvdriver <command> [arguments]\n"
        "  find [--class C] [--title T] [--pid P] [--visible] [--timeout MS]\n"
        "                           wait for a top-level window, print its handle\n"
        "  child HWND [--class C] [--title T] [--id N]   find a child window\n"
        "  list PID                 top-level windows of a process\n"
        "  info HWND                visibility, rect, class and title\n"
        "  send HWND MSG [W] [L]    SendMessage, print the result\n"
        "  post HWND MSG [W] [L]    PostMessage\n"
        "  settext HWND TEXT        WM_SETTEXT\n"
        "  gettext HWND             WM_GETTEXT\n"
        "  loadlib NAME             LoadLibrary by bare name (the loader's own search)\n"
        "  foreground [HWND]        SetForegroundWindow; without HWND print the\n"
        "                           foreground window\n"
        "  menumode HWND            exit 0 while HWND's thread tracks a menu, 1 once it does not\n"
        "  focus HWND               the window that has the keyboard focus in HWND's\n"
        "                           thread (info line); exit 1 when none has\n"
        "  cbitems HWND             the items of a combo box, one a line\n"
        "  start [--idle-timeout MS] EXE [ARGS...]\n"
        "                           start a program, wait until it is input-idle,\n"
        "                           print its pid and the elapsed milliseconds\n"
        "  run [--timeout MS] EXE [ARGS...]\n"
        "                           start a program and wait for its end,\n"
        "                           print its exit code and the elapsed milliseconds\n"
        "  wait-exit PID [--timeout MS]   wait for a process to end\n"
        "  alive PID                exit 0 while the process runs\n"
        "  pids EXE-NAME            pids of the running processes with that file name\n"
        "  kill PID [CODE]          TerminateProcess\n"
        "  mapping NAME             exit 0 when a named file mapping exists\n"
        "  hotkey MODS VK [--hold MS]     register a global hot key and keep it\n"
        "  tree-select HWND PATH    select the tree-view item at PATH (texts joined\n"
        "                           by '|', from the top level), opening folders on\n"
        "                           the way; prints its handle\n"
        "  tree-collapse HWND PATH  collapse the item at PATH\n"
        "  tree-rect HWND PATH      screen rectangle of the item at PATH (its text)\n"
        "  tree-drop HWND PATH LIST drop the files listed in the file LIST (UTF-8,\n"
        "                           one a line) on the item at PATH, as the shell\n"
        "                           does: WM_DROPFILES with a wide DROPFILES block\n"
        "  tree-dump HWND           every item of a tree view, indented by level\n"
        "                           (folders are opened to reach their items)\n"
        "  status-text HWND [PART]  the text of a status bar's part\n"
        "  textfit HWND... [--font NAME POINTS]\n"
        "                           every static text, check box and radio button of\n"
        "                           HWND: its text's width in its font (the control's\n"
        "                           own, else NAME at POINTS) against its client width,\n"
        "                           one line each; exit 1 when a text does not fit\n"
        "  dpi HWND                 the window's DPI (GetDpiForWindow) and the screen's\n"
        "  pick HWND INDEX          select item INDEX of a drop-down list and tell its\n"
        "                           parent (CBN_SELCHANGE), as a user's choice arrives\n"
        "  shortpath PATH           GetShortPathName of a path\n"
        "  clipboard                the clipboard's Unicode text, in UTF-8; exit 1\n"
        "                           when it holds none\n"
        "  lock PATH [MS]           open a file or directory with no sharing and keep\n"
        "                           it open (until killed, or MS milliseconds); prints\n"
        "                           \"locked\" once it holds it\n"
        "  hold [MS]                make sure the desktop exists, then sleep\n"
        "                           (keeps a Wine prefix and its desktop warm)\n"
        "  msgbox-answer TITLE BUTTON [--timeout MS]\n"
        "                           wait for a message box and press a button\n"
        "                           (Yes, No, Cancel, OK or a control id)\n"
        "MSG is a number or one of WM_NULL WM_CLOSE WM_COMMAND WM_SETTEXT WM_GETTEXT\n"
        "WM_GETTEXTLENGTH BM_CLICK BM_GETCHECK BM_SETCHECK TVM_GETCOUNT WM_KEYDOWN\n"
        "WM_KEYUP WM_CHAR WM_LBUTTONDOWN WM_LBUTTONUP WM_RBUTTONDOWN WM_RBUTTONUP\n"
        "CB_GETCOUNT CB_GETCURSEL CB_SETCURSEL LB_GETCOUNT WM_SYSCOMMAND WM_HOTKEY\n"
        "TCM_GETCURSEL PBM_GETPOS.\n",
        stderr);
    return 2;
}

struct MsgName {
    const char* name;
    UINT value;
};

const MsgName kMessages[] = {
    {"WM_NULL", WM_NULL},
    {"WM_CLOSE", WM_CLOSE},
    {"WM_COMMAND", WM_COMMAND},
    {"WM_SETTEXT", WM_SETTEXT},
    {"WM_GETTEXT", WM_GETTEXT},
    {"WM_GETTEXTLENGTH", WM_GETTEXTLENGTH},
    {"WM_KEYDOWN", WM_KEYDOWN},
    {"WM_KEYUP", WM_KEYUP},
    {"WM_CHAR", WM_CHAR},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {"WM_RBUTTONUP", WM_RBUTTONUP},
    {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_HOTKEY", WM_HOTKEY},
    {"BM_CLICK", BM_CLICK},
    {"BM_GETCHECK", BM_GETCHECK},
    {"BM_SETCHECK", BM_SETCHECK},
    {"TVM_GETCOUNT", TVM_GETCOUNT},
    {"CB_GETCOUNT", CB_GETCOUNT},
    {"CB_GETCURSEL", CB_GETCURSEL},
    {"CB_SETCURSEL", CB_SETCURSEL},
    {"LB_GETCOUNT", LB_GETCOUNT},
    {"TCM_GETCURSEL", TCM_GETCURSEL},
    {"PBM_GETPOS", PBM_GETPOS},
};

bool ParseNumber(const char* s, long long& out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    out = std::strtoll(s, &end, 0);
    return end && *end == '\0';
}

bool ParseMessage(const char* s, UINT& out) {
    for (const MsgName& m : kMessages) {
        if (lstrcmpiA(s, m.name) == 0) {
            out = m.value;
            return true;
        }
    }
    long long v = 0;
    if (!ParseNumber(s, v)) return false;
    out = static_cast<UINT>(v);
    return true;
}

bool ParseHwnd(const char* s, HWND& out) {
    long long v = 0;
    if (!ParseNumber(s, v)) return false;
    out = reinterpret_cast<HWND>(static_cast<INT_PTR>(v));
    return true;
}

std::string ClassOf(HWND h) {
    char buf[256] = "";
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string TitleOf(HWND h) {
    // Cross-process WM_GETTEXT is marshalled by the system, so this is safe.
    char buf[1024] = "";
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

void PrintHwnd(HWND h) {
    std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
}

void PrintInfo(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    std::printf("0x%llx visible=%d enabled=%d rect=%ld,%ld,%ld,%ld size=%ldx%ld pid=%lu class=\"%s\" title=\"%s\"\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)),
                IsWindowVisible(h) ? 1 : 0, IsWindowEnabled(h) ? 1 : 0, r.left, r.top,
                r.right, r.bottom, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(pid), ClassOf(h).c_str(), TitleOf(h).c_str());
}

// Options shared by the window searches.
struct Filter {
    const char* cls = nullptr;
    const char* title = nullptr;
    long long pid = -1;
    long long id = -1;
    bool visibleOnly = false;
    std::vector<HWND> found;
};

bool Matches(HWND h, const Filter& f) {
    if (f.visibleOnly && !IsWindowVisible(h)) return false;
    if (f.pid >= 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (static_cast<long long>(pid) != f.pid) return false;
    }
    if (f.id >= 0 && GetDlgCtrlID(h) != static_cast<int>(f.id)) return false;
    if (f.cls && lstrcmpiA(ClassOf(h).c_str(), f.cls) != 0) return false;
    if (f.title && TitleOf(h) != f.title) return false;
    return true;
}

BOOL CALLBACK CollectProc(HWND h, LPARAM lp) {
    Filter* f = reinterpret_cast<Filter*>(lp);
    if (Matches(h, *f)) f->found.push_back(h);
    return TRUE;
}

// Parses "--class C --title T --pid P --id N --visible --timeout MS" from argv[i..].
bool ParseFilter(int argc, char** argv, int i, Filter& f, long long& timeoutMs) {
    for (; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--class" && hasValue) {
            f.cls = argv[++i];
        } else if (a == "--title" && hasValue) {
            f.title = argv[++i];
        } else if (a == "--pid" && hasValue) {
            if (!ParseNumber(argv[++i], f.pid)) return false;
        } else if (a == "--id" && hasValue) {
            if (!ParseNumber(argv[++i], f.id)) return false;
        } else if (a == "--timeout" && hasValue) {
            if (!ParseNumber(argv[++i], timeoutMs)) return false;
        } else if (a == "--visible") {
            f.visibleOnly = true;
        } else {
            return false;
        }
    }
    return true;
}

int CmdFind(int argc, char** argv) {
    Filter f;
    long long timeoutMs = 5000;
    if (!ParseFilter(argc, argv, 2, f, timeoutMs)) return Usage();
    DWORD start = GetTickCount();
    for (;;) {
        f.found.clear();
        EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&f));
        if (!f.found.empty()) {
            for (HWND h : f.found) PrintHwnd(h);
            return 0;
        }
        if (static_cast<long long>(GetTickCount() - start) >= timeoutMs) return 1;
        Sleep(50);
    }
}

int CmdChild(int argc, char** argv) {
    HWND parent;
    if (argc < 3 || !ParseHwnd(argv[2], parent)) return Usage();
    Filter f;
    long long timeoutMs = 0;
    if (!ParseFilter(argc, argv, 3, f, timeoutMs)) return Usage();
    DWORD start = GetTickCount();
    for (;;) {
        f.found.clear();
        EnumChildWindows(parent, CollectProc, reinterpret_cast<LPARAM>(&f));
        if (!f.found.empty()) {
            for (HWND h : f.found) PrintHwnd(h);
            return 0;
        }
        if (static_cast<long long>(GetTickCount() - start) >= timeoutMs) return 1;
        Sleep(50);
    }
}

int CmdList(int argc, char** argv) {
    Filter f;
    if (argc < 3 || !ParseNumber(argv[2], f.pid)) return Usage();
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&f));
    for (HWND h : f.found) PrintInfo(h);
    return f.found.empty() ? 1 : 0;
}

int CmdInfo(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    if (!IsWindow(h)) {
        std::printf("no window\n");
        return 1;
    }
    PrintInfo(h);
    return 0;
}

int CmdSendPost(int argc, char** argv, bool post) {
    HWND h;
    UINT msg;
    long long w = 0, l = 0;
    if (argc < 4 || !ParseHwnd(argv[2], h) || !ParseMessage(argv[3], msg)) return Usage();
    if (argc > 4 && !ParseNumber(argv[4], w)) return Usage();
    if (argc > 5 && !ParseNumber(argv[5], l)) return Usage();
    if (post) {
        if (!PostMessageA(h, msg, static_cast<WPARAM>(w), static_cast<LPARAM>(l))) return 1;
        return 0;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(h, msg, static_cast<WPARAM>(w), static_cast<LPARAM>(l),
                             SMTO_NORMAL, 10000, &result)) {
        std::printf("timeout\n");
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
    return 0;
}

int CmdLoadLib(int argc, char** argv) {
    if (argc < 3) return Usage();
    HMODULE m = LoadLibraryA(argv[2]);
    std::printf("%s\n", m ? "loaded" : "not loaded");
    return m ? 0 : 1;
}

int CmdSetText(int argc, char** argv) {
    HWND h;
    if (argc < 4 || !ParseHwnd(argv[2], h)) return Usage();
    return SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0 : 1;
}

int CmdGetText(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    if (!IsWindow(h)) return 1;
    std::printf("%s\n", TitleOf(h).c_str());
    return 0;
}

int CmdFocus(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti) || !gti.hwndFocus) return 1;
    PrintInfo(gti.hwndFocus);
    return 0;
}

// A menu window is hidden before its thread leaves the menu loop; until then
// a click on the tray icon is taken by that loop, not by the program.
int CmdMenuMode(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti)) return 1;
    return (gti.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) ? 0 : 1;
}

int CmdClipboard() {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    std::string utf8;
    if (text) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            utf8.resize(static_cast<size_t>(n));
            WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], n, nullptr, nullptr);
            utf8.resize(static_cast<size_t>(n - 1));
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (!text) return 1;
    std::printf("%s\n", utf8.c_str());
    return 0;
}

int CmdCbItems(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    // CB_GETLBTEXT is marshalled across processes; Wine hands the text over
    // in UTF-16 whichever side is ANSI, so ask for that and convert.
    const LRESULT n = SendMessageW(h, CB_GETCOUNT, 0, 0);
    if (n < 0) return 1;
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t wide[512] = L"";
        const LRESULT len = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len < 0 || len >= static_cast<LRESULT>(sizeof wide / sizeof wide[0])) return 1;
        SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char buf[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
        std::printf("%s\n", buf);
    }
    return 0;
}

int CmdForeground(int argc, char** argv) {
    HWND h;
    if (argc == 2) {
        // Without a window: print the foreground window.
        h = GetForegroundWindow();
        if (!h) return 1;
        PrintInfo(h);
        return 0;
    }
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    return SetForegroundWindow(h) ? 0 : 1;
}

// Quotes one argument the way the C runtime splits a command line.
std::string Quote(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : a) {
        if (c == '\\') {
            ++slashes;
            out += c;
        } else if (c == '"') {
            out.append(slashes + 1, '\\');
            out += '"';
            slashes = 0;
        } else {
            slashes = 0;
            out += c;
        }
    }
    out.append(slashes, '\\');
    out += '"';
    return out;
}

bool StartProcess(int argc, char** argv, int first, PROCESS_INFORMATION& pi) {
    std::string cmd;
    for (int i = first; i < argc; ++i) {
        if (!cmd.empty()) cmd += ' ';
        cmd += Quote(argv[i]);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    if (!CreateProcessA(argv[first], buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        std::printf("start failed: error %lu\n", GetLastError());
        return false;
    }
    return true;
}

int CmdStart(int argc, char** argv) {
    long long timeoutMs = 30000;
    int i = 2;
    if (i + 1 < argc && std::strcmp(argv[i], "--idle-timeout") == 0) {
        if (!ParseNumber(argv[i + 1], timeoutMs)) return Usage();
        i += 2;
    }
    if (i >= argc) return Usage();
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    PROCESS_INFORMATION pi{};
    if (!StartProcess(argc, argv, i, pi)) return 1;
    DWORD r = WaitForInputIdle(pi.hProcess, static_cast<DWORD>(timeoutMs));
    QueryPerformanceCounter(&t1);
    long long ms = (t1.QuadPart - t0.QuadPart) * 1000 / freq.QuadPart;
    std::printf("pid=%lu\n", static_cast<unsigned long>(pi.dwProcessId));
    if (r == 0) {
        std::printf("idle_ms=%lld\n", ms);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("idle_ms=-1\nwait=%lu exit=%lu\n", static_cast<unsigned long>(r),
                    static_cast<unsigned long>(code));
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r == 0 ? 0 : 1;
}

int CmdRun(int argc, char** argv) {
    long long timeoutMs = 30000;
    int i = 2;
    if (i + 1 < argc && std::strcmp(argv[i], "--timeout") == 0) {
        if (!ParseNumber(argv[i + 1], timeoutMs)) return Usage();
        i += 2;
    }
    if (i >= argc) return Usage();
    DWORD t0 = GetTickCount();
    PROCESS_INFORMATION pi{};
    if (!StartProcess(argc, argv, i, pi)) return 1;
    DWORD r = WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeoutMs));
    DWORD ms = GetTickCount() - t0;
    std::printf("pid=%lu\n", static_cast<unsigned long>(pi.dwProcessId));
    int rc = 1;
    if (r == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("exit=%lu\nelapsed_ms=%lu\n", static_cast<unsigned long>(code),
                    static_cast<unsigned long>(ms));
        rc = 0;
    } else {
        std::printf("still running after %lld ms\n", timeoutMs);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return rc;
}

int CmdWaitExit(int argc, char** argv) {
    long long pid = 0, timeoutMs = 10000;
    if (argc < 3 || !ParseNumber(argv[2], pid)) return Usage();
    if (argc == 5 && std::strcmp(argv[3], "--timeout") == 0) {
        if (!ParseNumber(argv[4], timeoutMs)) return Usage();
    }
    HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!p) {
        std::printf("exited\n");
        return 0;
    }
    DWORD r = WaitForSingleObject(p, static_cast<DWORD>(timeoutMs));
    DWORD code = 0;
    GetExitCodeProcess(p, &code);
    CloseHandle(p);
    if (r != WAIT_OBJECT_0) {
        std::printf("running\n");
        return 1;
    }
    std::printf("exited %lu\n", static_cast<unsigned long>(code));
    return 0;
}

int CmdAlive(int argc, char** argv) {
    long long pid = 0;
    if (argc < 3 || !ParseNumber(argv[2], pid)) return Usage();
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!p) return 1;
    DWORD r = WaitForSingleObject(p, 0);
    CloseHandle(p);
    return r == WAIT_TIMEOUT ? 0 : 1;
}

int CmdPids(int argc, char** argv) {
    if (argc < 3) return Usage();
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 1;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    int found = 0;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
        if (lstrcmpiA(pe.szExeFile, argv[2]) == 0) {
            std::printf("%lu\n", static_cast<unsigned long>(pe.th32ProcessID));
            ++found;
        }
    }
    CloseHandle(snap);
    return found ? 0 : 1;
}

int CmdKill(int argc, char** argv) {
    long long pid = 0, code = 1;
    if (argc < 3 || !ParseNumber(argv[2], pid)) return Usage();
    if (argc > 3 && !ParseNumber(argv[3], code)) return Usage();
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!p) return 1;
    BOOL ok = TerminateProcess(p, static_cast<UINT>(code));
    if (ok) WaitForSingleObject(p, 5000);
    CloseHandle(p);
    return ok ? 0 : 1;
}

int CmdMapping(int argc, char** argv) {
    if (argc < 3) return Usage();
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, argv[2]);
    if (!h) return 1;
    CloseHandle(h);
    return 0;
}

int CmdHotkey(int argc, char** argv) {
    long long mods = 0, vk = 0, holdMs = -1;
    if (argc < 4 || !ParseNumber(argv[2], mods) || !ParseNumber(argv[3], vk)) return Usage();
    if (argc == 6 && std::strcmp(argv[4], "--hold") == 0) {
        if (!ParseNumber(argv[5], holdMs)) return Usage();
    }
    if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(mods), static_cast<UINT>(vk))) {
        std::printf("failed %lu\n", GetLastError());
        std::fflush(stdout);
        return 1;
    }
    std::printf("registered\n");
    std::fflush(stdout);
    DWORD start = GetTickCount();
    // Keep the thread alive (and its message queue pumped) while the key is held.
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_HOTKEY) {
                std::printf("hotkey\n");
                std::fflush(stdout);
            }
        }
        if (holdMs >= 0 && static_cast<long long>(GetTickCount() - start) >= holdMs) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    UnregisterHotKey(nullptr, 1);
    return 0;
}

int CmdHold(int argc, char** argv) {
    long long ms = -1;
    if (argc > 2 && !ParseNumber(argv[2], ms)) return Usage();
    // Under Wine a hidden window of our own starts the desktop process
    // (explorer) now, from a process whose output goes nowhere, and keeps it
    // running; started later by a test program, it would inherit and hold that
    // program's output pipe, and it would end and restart around every test.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PvDriverHold";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "pvdriver hold", WS_POPUP, 0, 0, 1, 1,
                             nullptr, nullptr, wc.hInstance, nullptr);
    // Pump messages while holding, so that broadcasts to all windows never wait on us.
    DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        if (ms >= 0 && static_cast<long long>(GetTickCount() - start) >= ms) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
    }
    if (h) DestroyWindow(h);
    return 0;
}

// Memory in another process, for messages whose structures the system does not
// carry across (TVM_GETITEM, SB_GETTEXT).
class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) mem_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    bool Ok() const { return mem_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(mem_) + offset; }
    bool Write(size_t offset, const void* data, size_t n) {
        return WriteProcessMemory(process_, At(offset), data, n, nullptr) != FALSE;
    }
    bool Read(size_t offset, void* data, size_t n) {
        return ReadProcessMemory(process_, At(offset), data, n, nullptr) != FALSE;
    }

private:
    HANDLE process_ = nullptr;
    void* mem_ = nullptr;
    size_t size_;
};

// In UTF-8, whatever code page the tree's program has.
std::string TreeItemText(HWND tree, HTREEITEM item) {
    RemoteBuffer buf(tree, sizeof(TVITEMW) + 1024 * sizeof(wchar_t));
    if (!buf.Ok()) return std::string();
    TVITEMW it = {};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = reinterpret_cast<wchar_t*>(buf.At(sizeof(TVITEMW)));
    it.cchTextMax = 1023;
    buf.Write(0, &it, sizeof it);
    wchar_t zero = 0;
    buf.Write(sizeof(TVITEMW), &zero, sizeof zero);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buf.At(0)));
    wchar_t text[1024] = L"";
    buf.Read(sizeof(TVITEMW), text, 1023 * sizeof(wchar_t));
    text[1023] = 0;
    char utf8[4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    utf8[sizeof utf8 - 1] = 0;
    return utf8;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT code) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// Opens item so that the control holds its children, and returns the first.
HTREEITEM TreeFirstChild(HWND tree, HTREEITEM item) {
    HTREEITEM child = TreeNext(tree, item, TVGN_CHILD);
    if (!child) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        child = TreeNext(tree, item, TVGN_CHILD);
    }
    return child;
}

HTREEITEM TreeFind(HWND tree, const std::string& path) {
    HTREEITEM item = TreeNext(tree, nullptr, TVGN_ROOT);
    size_t start = 0;
    for (;;) {
        // "|" can be in no item's text here: neither in a store's nor in a file name.
        const size_t slash = path.find('|', start);
        const std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        while (item && TreeItemText(tree, item) != part) item = TreeNext(tree, item, TVGN_NEXT);
        if (!item || slash == std::string::npos) return item;
        item = TreeFirstChild(tree, item);
        start = slash + 1;
    }
}

int CmdTreeSelect(int argc, char** argv) {
    HWND tree;
    if (argc < 4 || !ParseHwnd(argv[2], tree)) return Usage();
    HTREEITEM item = TreeFind(tree, argv[3]);
    if (!item) return 1;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    std::printf("%p\n", static_cast<void*>(item));
    return 0;
}

int CmdTreeCollapse(int argc, char** argv) {
    HWND tree;
    if (argc < 4 || !ParseHwnd(argv[2], tree)) return Usage();
    HTREEITEM item = TreeFind(tree, argv[3]);
    if (!item) return 1;
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    return 0;
}

int CmdTreeRect(int argc, char** argv) {
    HWND tree;
    if (argc < 4 || !ParseHwnd(argv[2], tree)) return Usage();
    HTREEITEM item = TreeFind(tree, argv[3]);
    if (!item) return 1;
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RemoteBuffer buf(tree, sizeof(RECT));
    RECT r = {};
    std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
    buf.Write(0, &r, sizeof r);
    if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buf.At(0)))) return 1;
    buf.Read(0, &r, sizeof r);
    POINT a = {r.left, r.top}, b = {r.right, r.bottom};
    ClientToScreen(tree, &a);
    ClientToScreen(tree, &b);
    std::printf("%ld,%ld,%ld,%ld\n", a.x, a.y, b.x, b.y);
    return 0;
}

// The block lives in the receiver's memory, where DragQueryFile reads it: a
// fixed block (GMEM_FIXED), whose handle is its address. DragFinish hands it
// to GlobalFree, which refuses it without harm; the receiver's few bytes stay.
int CmdTreeDrop(int argc, char** argv) {
    HWND tree;
    if (argc < 5 || !ParseHwnd(argv[2], tree)) return Usage();
    HTREEITEM item = TreeFind(tree, argv[3]);
    if (!item) return 1;
    std::string list;
    if (FILE* f = std::fopen(argv[4], "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) list.append(chunk, n);
        std::fclose(f);
    } else {
        std::fprintf(stderr, "tree-drop: cannot read %s\n", argv[4]);
        return 1;
    }
    std::wstring names;  // each name and its zero, then one more zero
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.empty()) continue;
        const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(), static_cast<int>(line.size()),
                                          nullptr, 0);
        if (n <= 0) {
            std::fprintf(stderr, "tree-drop: a line of %s is no UTF-8\n", argv[4]);
            return 2;
        }
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &w[0], n);
        names += w;
        names.push_back(L'\0');
    }
    names.push_back(L'\0');

    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT r = {};
    {
        RemoteBuffer rb(tree, sizeof(RECT));
        std::memcpy(&r, &item, sizeof item);
        rb.Write(0, &r, sizeof r);
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(rb.At(0)))) return 1;
        rb.Read(0, &r, sizeof r);
    }
    std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* df = reinterpret_cast<DROPFILES*>(block.data());
    df->pFiles = sizeof(DROPFILES);
    df->pt.x = (r.left + r.right) / 2;
    df->pt.y = (r.top + r.bottom) / 2;
    df->fNC = FALSE;
    df->fWide = TRUE;
    std::memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));

    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    const bool written =
        remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr) != FALSE;
    CloseHandle(process);
    if (!written) return 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(tree, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0, SMTO_NORMAL, 10000, &result))
        return 1;
    return 0;
}

void DumpTreeLevel(HWND tree, HTREEITEM item, int depth) {
    for (; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        std::printf("%*s%s\n", depth * 2, "", TreeItemText(tree, item).c_str());
        TVITEMA probe = {};
        probe.mask = TVIF_CHILDREN;
        probe.hItem = item;
        RemoteBuffer buf(tree, sizeof probe);
        buf.Write(0, &probe, sizeof probe);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buf.At(0)));
        buf.Read(0, &probe, sizeof probe);
        if (probe.cChildren) DumpTreeLevel(tree, TreeFirstChild(tree, item), depth + 1);
    }
}

int CmdTreeDump(int argc, char** argv) {
    HWND tree;
    if (argc < 3 || !ParseHwnd(argv[2], tree)) return Usage();
    DumpTreeLevel(tree, TreeNext(tree, nullptr, TVGN_ROOT), 0);
    return 0;
}

int CmdStatusText(int argc, char** argv) {
    HWND bar;
    long long part = 0;
    if (argc < 3 || !ParseHwnd(argv[2], bar) || (argc > 3 && !ParseNumber(argv[3], part))) return Usage();
    RemoteBuffer buf(bar, 1024);
    if (!buf.Ok()) return 1;
    char zero = 0;
    buf.Write(0, &zero, 1);
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buf.At(0)));
    char text[1024] = "";
    buf.Read(0, text, 1023);
    text[1023] = 0;
    std::printf("%s\n", text);
    return 0;
}

// The driver measures in real pixels, whatever the program under test declares.
void BeDpiAware() {
    using ContextFn = BOOL(WINAPI*)(HANDLE);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto context = reinterpret_cast<ContextFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    if (context && context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;  // per monitor v2
    SetProcessDPIAware();
}

int WindowDpi(HWND h) {
    using Fn = UINT(WINAPI*)(HWND);
    auto get = reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (get) {
        const UINT d = get(h);
        if (d) return static_cast<int>(d);
    }
    HDC dc = GetDC(nullptr);
    const int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d;
}

int CmdPick(int argc, char** argv) {
    HWND box;
    long long index = 0;
    if (argc < 4 || !ParseHwnd(argv[2], box) || !ParseNumber(argv[3], index)) return Usage();
    if (SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) return 1;
    const int id = GetDlgCtrlID(box);
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    std::printf("%lld\n", index);
    return 0;
}

int CmdDpi(int argc, char** argv) {
    HWND h;
    if (argc < 3 || !ParseHwnd(argv[2], h)) return Usage();
    BeDpiAware();
    HDC dc = GetDC(nullptr);
    std::printf("window=%d screen=%d\n", WindowDpi(h), GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(nullptr, dc);
    return 0;
}

struct FitScan {
    HWND parent;
    HFONT fallback;
    int dpi;
    int checked = 0;
    int clipped = 0;
};

BOOL CALLBACK FitChild(HWND h, LPARAM param) {
    auto* scan = reinterpret_cast<FitScan*>(param);
    // Hidden ones too: the pages of a tab control show one at a time.
    if (GetParent(h) != scan->parent) return TRUE;
    const std::string cls = ClassOf(h);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    int extra = 0;
    UINT flags = DT_SINGLELINE | DT_CALCRECT;
    const char* kind = nullptr;
    if (lstrcmpiA(cls.c_str(), "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP || type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT ||
            type == SS_ETCHEDFRAME || type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT)
            return TRUE;
        if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
        kind = (style & SS_ELLIPSISMASK) ? "ellipsis" : "static";
    } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                kind = "checkbox";
                break;
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                kind = "radio";
                break;
            default:
                return TRUE;
        }
        // The box as the button draws it, and the gap before the text.
        extra = MulDiv(13, scan->dpi, 96) + MulDiv(4, scan->dpi, 96);
    } else {
        return TRUE;
    }
    char text[1024] = "";
    GetWindowTextA(h, text, sizeof text);
    if (!text[0]) return TRUE;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    HFONT made = nullptr;
    // Another process's font handle: its description, made again here.
    if (font && GetObjectA(font, sizeof lf, &lf) == sizeof lf) made = CreateFontIndirectA(&lf);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, made ? made : scan->fallback);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &r, flags);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    if (made) DeleteObject(made);
    RECT client;
    GetClientRect(h, &client);
    const int need = r.right - r.left + extra;
    const bool fits = std::strcmp(kind, "ellipsis") == 0 || need <= client.right;
    const bool tall = r.bottom - r.top <= client.bottom;
    ++scan->checked;
    if (!fits || !tall) ++scan->clipped;
    std::printf("0x%llx %s need=%dx%d client=%ldx%ld font=%s %s text=\"%s\"\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)), kind, need,
                static_cast<int>(r.bottom - r.top), client.right, client.bottom, made ? "own" : "given",
                fits && tall ? "fits" : "CLIPPED", text);
    return TRUE;
}

int CmdTextFit(int argc, char** argv) {
    std::vector<HWND> windows;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--font") != 0; ++i) {
        HWND h;
        if (!ParseHwnd(argv[i], h)) return Usage();
        windows.push_back(h);
    }
    if (windows.empty()) return Usage();
    const char* face = nullptr;
    int points = 0;
    if (i < argc) {
        if (i + 2 >= argc) return Usage();
        face = argv[i + 1];
        points = std::atoi(argv[i + 2]);
    }
    BeDpiAware();
    int failed = 0;
    for (HWND h : windows) {
        FitScan scan{h, nullptr, WindowDpi(h)};
        if (face) {
            LOGFONTA lf = {};
            lf.lfHeight = -MulDiv(points, scan.dpi, 72);
            lf.lfCharSet = DEFAULT_CHARSET;
            lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
            scan.fallback = CreateFontIndirectA(&lf);
        } else {
            scan.fallback = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        }
        EnumChildWindows(h, FitChild, reinterpret_cast<LPARAM>(&scan));
        std::printf("window=0x%llx checked=%d clipped=%d dpi=%d\n",
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)), scan.checked, scan.clipped, scan.dpi);
        if (face) DeleteObject(scan.fallback);
        if (scan.clipped != 0 || scan.checked == 0) failed = 1;
    }
    return failed;
}

int CmdShortPath(int argc, char** argv) {
    if (argc < 3) return Usage();
    char buf[1024] = "";
    if (!GetShortPathNameA(argv[2], buf, sizeof buf)) return 1;
    std::printf("%s\n", buf);
    return 0;
}

int CmdLock(int argc, char** argv) {
    if (argc < 3) return Usage();
    long long ms = -1;
    if (argc > 3 && !ParseNumber(argv[3], ms)) return Usage();
    // Directories need the backup-semantics flag to be opened at all.
    HANDLE h = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::printf("error=%lu\n", GetLastError());
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    Sleep(ms < 0 ? INFINITE : static_cast<DWORD>(ms));
    CloseHandle(h);
    return 0;
}

struct ButtonSearch {
    const char* text;
    long long id;
    HWND found;
};

BOOL CALLBACK FindButtonProc(HWND h, LPARAM lp) {
    ButtonSearch* s = reinterpret_cast<ButtonSearch*>(lp);
    if (lstrcmpiA(ClassOf(h).c_str(), "Button") != 0) return TRUE;
    if (s->id >= 0) {
        if (GetDlgCtrlID(h) == static_cast<int>(s->id)) {
            s->found = h;
            return FALSE;
        }
        return TRUE;
    }
    std::string t = TitleOf(h);
    std::string plain;
    for (char c : t) {
        if (c != '&') plain += c;
    }
    if (lstrcmpiA(plain.c_str(), s->text) == 0) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

int CmdMsgboxAnswer(int argc, char** argv) {
    if (argc < 4) return Usage();
    long long timeoutMs = 10000;
    if (argc == 6 && std::strcmp(argv[4], "--timeout") == 0) {
        if (!ParseNumber(argv[5], timeoutMs)) return Usage();
    }
    ButtonSearch s{argv[3], -1, nullptr};
    long long id = 0;
    if (ParseNumber(argv[3], id)) s.id = id;
    DWORD start = GetTickCount();
    for (;;) {
        Filter f;
        f.cls = "#32770";
        f.visibleOnly = true;
        if (std::strcmp(argv[2], "*") != 0) f.title = argv[2];
        EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&f));
        for (HWND dlg : f.found) {
            s.found = nullptr;
            EnumChildWindows(dlg, FindButtonProc, reinterpret_cast<LPARAM>(&s));
            if (s.found) {
                // Print the message text too, so the test can check it.
                HWND text = GetDlgItem(dlg, 0xFFFF);
                if (text) std::printf("text=%s\n", TitleOf(text).c_str());
                PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(s.found), BN_CLICKED),
                             reinterpret_cast<LPARAM>(s.found));
                std::printf("pressed\n");
                return 0;
            }
        }
        if (static_cast<long long>(GetTickCount() - start) >= timeoutMs) return 1;
        Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Plain LF line ends, so that shell scripts can use the output as it is.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    if (cmd == "find") return CmdFind(argc, argv);
    if (cmd == "child") return CmdChild(argc, argv);
    if (cmd == "list") return CmdList(argc, argv);
    if (cmd == "info") return CmdInfo(argc, argv);
    if (cmd == "send") return CmdSendPost(argc, argv, false);
    if (cmd == "post") return CmdSendPost(argc, argv, true);
    if (cmd == "settext") return CmdSetText(argc, argv);
    if (cmd == "loadlib") return CmdLoadLib(argc, argv);
    if (cmd == "gettext") return CmdGetText(argc, argv);
    if (cmd == "foreground") return CmdForeground(argc, argv);
    if (cmd == "focus") return CmdFocus(argc, argv);
    if (cmd == "menumode") return CmdMenuMode(argc, argv);
    if (cmd == "cbitems") return CmdCbItems(argc, argv);
    if (cmd == "clipboard") return CmdClipboard();
    if (cmd == "start") return CmdStart(argc, argv);
    if (cmd == "run") return CmdRun(argc, argv);
    if (cmd == "wait-exit") return CmdWaitExit(argc, argv);
    if (cmd == "alive") return CmdAlive(argc, argv);
    if (cmd == "pids") return CmdPids(argc, argv);
    if (cmd == "kill") return CmdKill(argc, argv);
    if (cmd == "mapping") return CmdMapping(argc, argv);
    if (cmd == "hotkey") return CmdHotkey(argc, argv);
    if (cmd == "hold") return CmdHold(argc, argv);
    if (cmd == "lock") return CmdLock(argc, argv);
    if (cmd == "tree-select") return CmdTreeSelect(argc, argv);
    if (cmd == "tree-dump") return CmdTreeDump(argc, argv);
    if (cmd == "tree-drop") return CmdTreeDrop(argc, argv);
    if (cmd == "tree-rect") return CmdTreeRect(argc, argv);
    if (cmd == "tree-collapse") return CmdTreeCollapse(argc, argv);
    if (cmd == "status-text") return CmdStatusText(argc, argv);
    if (cmd == "textfit") return CmdTextFit(argc, argv);
    if (cmd == "dpi") return CmdDpi(argc, argv);
    if (cmd == "pick") return CmdPick(argc, argv);
    if (cmd == "shortpath") return CmdShortPath(argc, argv);
    if (cmd == "msgbox-answer") return CmdMsgboxAnswer(argc, argv);
    return Usage();
}
