// probe: a windowless program that the launch tests start through Pivora.
// It appends one line to a log file and exits:
//   cmd=<its full command line>|cwd=<its current directory>
// The log is the file named by PIVORA_PROBE_LOG, or probe.log beside the probe.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string LogPath() {
    char buf[MAX_PATH * 2] = "";
    DWORD n = GetEnvironmentVariableA("PIVORA_PROBE_LOG", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) return buf;
    n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string path(buf, n);
    size_t slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "probe.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char cwd[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string line = std::string("cmd=") + GetCommandLineA() + "|cwd=" + cwd + "\r\n";
    // Several probes may finish at once: append under a short retry loop.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE f = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(f);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}
