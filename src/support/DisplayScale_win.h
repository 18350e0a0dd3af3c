#pragma once
// The DPI of windows and monitors, metrics at a DPI, and the desktop's colour
// settings, through the functions of newer systems where they exist (looked up
// at run time) and the screen's values where they do not.

#include <windows.h>

namespace pv {

// GetDpiForWindow, else the screen's LOGPIXELSY.
int DpiOfWindow(HWND hwnd);
// The effective DPI of the monitor under pt (GetDpiForMonitor), else the screen's.
int DpiAtPoint(POINT pt);
// The screen's LOGPIXELSY (the system DPI).
int ScreenDpi();
// GetSystemMetricsForDpi, else GetSystemMetrics scaled from the screen's DPI.
int SystemMetricForDpi(int index, int dpi);

// AppsUseLightTheme = 0 under HKCU\...\Themes\Personalize.
bool AppsUseDarkTheme();
// SPI_GETHIGHCONTRAST with HCF_HIGHCONTRASTON.
bool HighContrastOn();
// The dark title bar (DWMWA_USE_IMMERSIVE_DARK_MODE) on or off; nothing where
// the system has no such attribute.
void SetDarkTitleBar(HWND hwnd, bool dark);
// Whether a WM_SETTINGCHANGE's lParam names the colour-set change.
bool IsColorSetChange(LPARAM lParam);

}  // namespace pv
