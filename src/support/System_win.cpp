#include <windows.h>

#include "support/Platform_win.h"
#include "support/UkvWinSysAPI.h"

namespace pv {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchToSystem() {
    using Fn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto set = kernel ? reinterpret_cast<Fn>(
                                  reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                            : nullptr;
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE m = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (m) return m;
    // Without the search flags (Windows 7 before its update) the flag is
    // refused: the full path leaves the loader nothing to search.
    char dir[MAX_PATH] = "";
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::string path = std::string(dir, n) + "\\" + name;
    return LoadLibraryA(path.c_str());
}

std::string WinSystem::ShortDate() {
    char buffer[256] = {0};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof buffer)) return "";
    return buffer;
}

std::string WinSystem::ShortTime() {
    char buffer[256] = {0};
    // The locale's time format without the seconds (and their separator).
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer, sizeof buffer)) return "";
    return buffer;
}

LocalTime WinSystem::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

uint32_t WinSystem::LastError() {
    return GetLastError();
}

std::string WinSystem::ErrorText(uint32_t code) {
    char buffer[256] = {0};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, buffer, sizeof buffer, nullptr);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

std::string WinSystem::WindowsDirectory() {
    char buffer[256] = {0};
    UINT n = GetWindowsDirectoryA(buffer, 255);
    if (n == 0 || n >= 255) return "";
    return std::string(buffer, n);
}

std::string WinSystem::SpecialFolderPath(int csidl) {
    return GetSpecialFolderPath(csidl);
}

}  // namespace pv
