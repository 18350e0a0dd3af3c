// probe: a windowless program that the launch tests start through Pivora.
// It appends one line to a log file and exits:
//   cmd=<its full command line>|cwd=<its current directory>
// both as the system hands them over in UTF-16 (GetCommandLineW), written in
// UTF-8, so that a test sees the exact name it was started with.
// The log is the file named by PIVORA_PROBE_LOG, or probe.log beside the probe.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::wstring LogPath() {
    wchar_t buf[MAX_PATH * 2] = L"";
    DWORD n = GetEnvironmentVariableW(L"PIVORA_PROBE_LOG", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) return buf;
    n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    std::wstring path(buf, n);
    size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"probe.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t cwd[MAX_PATH * 2] = L"";
    GetCurrentDirectoryW(MAX_PATH * 2, cwd);
    std::string line = "cmd=" + Utf8(GetCommandLineW()) + "|cwd=" + Utf8(cwd) + "\r\n";
    // Several probes may finish at once: append under a short retry loop.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE f = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
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
