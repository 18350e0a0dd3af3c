#pragma once
// Scale and colours of what the program paints itself, shared by the tray
// menu and any window that draws its own rows: sizes designed at 96 dpi made
// right for the monitor's DPI, and the colour scheme the desktop asks for
// (light, dark, high contrast) with the contrast check that goes with it.
//
// Portable: the Win32 layer reads the DPI, the registry and the system colours
// and hands them in.

#include <cstdint>

// The scale: kBaseDpi, ScaleToDpi, PictureSizeForDpi.
#include "support/LayoutFit.h"

namespace pv {

// ---------------------------------------------------------------- colours

// A colour as Win32 COLORREF holds it: 0x00BBGGRR.
using Rgb = uint32_t;
constexpr Rgb MakeRgb(int r, int g, int b) {
    return static_cast<Rgb>(r & 0xFF) | (static_cast<Rgb>(g & 0xFF) << 8) | (static_cast<Rgb>(b & 0xFF) << 16);
}
constexpr int RedOf(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

// Relative luminance (sRGB, 0 for black to 1 for white) and the contrast ratio
// of two colours, (lighter + 0.05) / (darker + 0.05): 1 to 21.
double RelativeLuminance(Rgb c);
double ContrastRatio(Rgb a, Rgb b);
// The least contrast text must have against its background.
constexpr double kMinTextContrast = 4.5;

enum class MenuLook {
    Light,         // the system colours, as always
    Dark,          // the program's dark colours
    HighContrast,  // the system colours: the user's high-contrast scheme rules
};

// What the desktop says about colours.
struct ThemeInputs {
    bool highContrast = false;       // SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON
    bool appsUseLightTheme = true;   // AppsUseLightTheme; true when the value is missing
    bool windowsDraw = false;        // the setting WindowsDraw: the system draws the menu
};

// High contrast wins over dark; with Windows drawing, Windows draws as it
// always has (Light).
MenuLook ChooseMenuLook(const ThemeInputs& in);

// The colour for each system colour index (kColorMenu, ...) the menu drawing
// names. Light and high contrast give the system's colours; dark gives its own.
class MenuPalette {
public:
    using SystemColors = Rgb (*)(int index);
    MenuPalette() = default;
    MenuPalette(MenuLook look, SystemColors system) : look_(look), system_(system) {}
    MenuLook Look() const { return look_; }
    bool UsesSystemColors() const { return look_ != MenuLook::Dark; }
    Rgb Color(int sysColorIndex) const;

private:
    MenuLook look_ = MenuLook::Light;
    SystemColors system_ = nullptr;
};

}  // namespace pv
