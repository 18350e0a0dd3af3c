#include "support/DisplayScale_win.h"

namespace pv {

namespace {

template <class Fn>
Fn Lookup(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadLibraryA(dll);
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

int DpiOfWindow(HWND hwnd) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn get = Lookup<Fn>("user32.dll", "GetDpiForWindow");
    if (get && hwnd) {
        const UINT dpi = get(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int DpiAtPoint(POINT pt) {
    using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const Fn get = Lookup<Fn>("shcore.dll", "GetDpiForMonitor");
    if (get) {
        HMONITOR monitor = MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
        UINT x = 0, y = 0;
        // MDT_EFFECTIVE_DPI = 0
        if (monitor && SUCCEEDED(get(monitor, 0, &x, &y)) && y > 0) return static_cast<int>(y);
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, int dpi) {
    using Fn = int(WINAPI*)(int, UINT);
    static const Fn get = Lookup<Fn>("user32.dll", "GetSystemMetricsForDpi");
    if (get) return get(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

bool AppsUseDarkTheme() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD value = 1, size = sizeof value, type = 0;
    const LONG r = RegQueryValueExA(key, "AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD && value == 0;
}

bool HighContrastOn() {
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void SetDarkTitleBar(HWND hwnd, bool dark) {
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static const Fn set = Lookup<Fn>("dwmapi.dll", "DwmSetWindowAttribute");
    if (!set || !hwnd) return;
    const BOOL on = dark ? TRUE : FALSE;
    // DWMWA_USE_IMMERSIVE_DARK_MODE; systems before it ignore or refuse it.
    set(hwnd, 20, &on, sizeof on);
}

bool IsColorSetChange(LPARAM lParam) {
    const char* what = reinterpret_cast<const char*>(lParam);
    return what && lstrcmpiA(what, "ImmersiveColorSet") == 0;
}

}  // namespace pv
