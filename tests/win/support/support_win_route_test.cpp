// The exception route end to end: a child process (this test program started
// again in child mode) builds a window on the window base, wires the route to
// AEGeneralException with the real file system, system and message boxes, and
// throws from a handler. The parent answers the message boxes, reads the log
// and checks that the child ended through the termination request.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "app/ErrorReporting.h"
#include "common/support_fs.h"
#include "support/Platform_win.h"
#include "support/Window_win.h"

namespace {

constexpr DWORD kLoopEnded = 42;  // the child's exit code once its message loop ended
const char kNotice[] = "An internal error occurred. Kelvory Pivora will close now.";

std::string Env(const char* name) {
    char buffer[1024] = {0};
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

class ThrowingForm : public pv::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) throw std::runtime_error("Handler failed on purpose");
        if (msg == WM_APP + 1) throw 3;
        return DefaultProc(msg, wParam, lParam);
    }
};

void CALLBACK ThrowingTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pv::Guard("TimerStatusTimer", [] { throw std::logic_error("Timer failed on purpose"); });
}

// ---- parent side

struct ChildRun {
    DWORD exitCode = 0;
    bool finished = false;
    std::vector<std::string> boxes;  // texts of the boxes answered, in order
    std::string windows;             // the child's windows, when it did not end
};

struct WindowList {
    DWORD pid;
    std::string text;
};

BOOL CALLBACK DescribeWindow(HWND h, LPARAM p) {
    auto* a = reinterpret_cast<WindowList*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner != a->pid) return TRUE;
    char cls[64] = {0}, title[128] = {0};
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, title, sizeof title);
    a->text += std::string(cls) + " \"" + title + "\"" + (IsWindowVisible(h) ? " visible; " : " hidden; ");
    return TRUE;
}

// For the failure message of a child that hangs: its top-level windows.
std::string DescribeWindows(DWORD pid) {
    WindowList all{pid, ""};
    EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&all));
    return all.text.empty() ? "no windows" : all.text;
}

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK FindBoxes(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == search->pid && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

ChildRun RunChild(const std::string& mode, const std::string& dataDir) {
    ChildRun run;
    char self[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=RouteChild.DISABLED_Run";
    SetEnvironmentVariableA("PV_ROUTE_CHILD", mode.c_str());
    SetEnvironmentVariableA("PV_ROUTE_DIR", dataDir.c_str());
    // The child's own test output would only interleave with ours.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    SetEnvironmentVariableA("PV_ROUTE_CHILD", nullptr);
    SetEnvironmentVariableA("PV_ROUTE_DIR", nullptr);
    if (!started) return run;

    std::vector<HWND> answered;
    const DWORD until = GetTickCount() + 30000;
    while (GetTickCount() < until) {
        if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) {
            run.finished = true;
            break;
        }
        BoxSearch search{pi.dwProcessId, {}};
        EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.found) {
            if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
            char text[1024] = {0};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message text
            run.boxes.push_back(text);
            answered.push_back(box);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    if (!run.finished) {
        run.windows = DescribeWindows(pi.dwProcessId);
        TerminateProcess(pi.hProcess, 99);
    }
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

}  // namespace

// The child half of the tests below; started by them, never on its own.
TEST(RouteChild, DISABLED_Run) {
    const std::string mode = Env("PV_ROUTE_CHILD");
    if (mode.empty()) {
        GTEST_SKIP() << "child half of the ExceptionRoute tests";
    }
    const std::string dataDir = Env("PV_ROUTE_DIR");
    pv::WinFileSystem fs;
    pv::WinSystem system;
    pv::WinMessageUI ui;
    pv::MciSoundDevice sound;
    pv::ErrorReporting reporting{pv::ErrorReportingDeps{fs, system, ui, sound, [&] { return dataDir; },
                                                        [] { return std::string("Kelvory Pivora"); },
                                                        [] { PostQuitMessage(0); }}};
    reporting.MessageTable[1] = kNotice;
    pv::SetApplicationExceptionRoute(
        [&](const char* sender, const std::exception* e) { reporting.AEGeneralException(sender, e); });

    ThrowingForm form;
    form.SetName(mode == "named" || mode == "unknown" ? "FormItems" : "");
    ASSERT_TRUE(form.Create("PvRouteChildForm", "route child", WS_OVERLAPPEDWINDOW));
    ui.SetOwner(form.Handle());
    if (mode == "timer")
        SetTimer(nullptr, 0, 10, ThrowingTimer);
    else
        PostMessageA(form.Handle(), mode == "unknown" ? WM_APP + 1 : WM_APP, 0, 0);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    fflush(stdout);
    ExitProcess(kLoopEnded);
}

TEST(ExceptionRoute, HandlerExceptionIsLoggedNoticedAndEndsTheProcess) {
    struct Case {
        const char* mode;
        const char* logged;
    } cases[] = {
        {"named", ": Pivora: Exception raised (Sender was: FormItems): Handler failed on purpose. Last Win32 Error ("},
        {"anonymous",
         ": Pivora: Exception raised (Sender Couldn't be determined): Handler failed on purpose. Last Win32 Error ("},
        {"unknown", ": Pivora: Exception raised (Sender was: FormItems): Unknown exception. Last Win32 Error ("},
        {"timer", ": Pivora: Exception raised (Sender was: TimerStatusTimer): Timer failed on purpose. Last Win32 Error ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        pvtest::SupportFsEnv env;
        ChildRun run = RunChild(c.mode, env.Root());
        ASSERT_TRUE(run.finished) << "the child did not end; boxes answered: " << run.boxes.size()
                                  << "; its windows: " << run.windows;
        EXPECT_EQ(run.exitCode, kLoopEnded);
        EXPECT_EQ(run.boxes, (std::vector<std::string>{env.Root() + "errorlog.txt", kNotice}));
        const std::string log = env.Read(env.Root() + "errorlog.txt");
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    }
}
