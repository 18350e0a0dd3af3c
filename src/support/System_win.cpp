#include <windows.h>

#include "support/Platform_win.h"
#include "support/UkvWinSysAPI.h"

namespace pv {

std::string WinSystem::ShortDate() {
    char buffer[256] = {0};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof buffer)) return "";
    return buffer;
}

std::string WinSystem::LongTime() {
    char buffer[256] = {0};
    // No format and no flags: the locale's long time format.
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer)) return "";
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
