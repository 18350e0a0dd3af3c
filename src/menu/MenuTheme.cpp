#include "menu/MenuTheme.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "menu/MenuDraw.h"

namespace pv {

namespace {
double Channel(int v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
}  // namespace

double RelativeLuminance(Rgb c) {
    return 0.2126 * Channel(RedOf(c)) + 0.7152 * Channel(GreenOf(c)) + 0.0722 * Channel(BlueOf(c));
}

double ContrastRatio(Rgb a, Rgb b) {
    double la = RelativeLuminance(a);
    double lb = RelativeLuminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

MenuLook ChooseMenuLook(const ThemeInputs& in) {
    if (in.windowsDraw) return MenuLook::Light;
    if (in.highContrast) return MenuLook::HighContrast;
    return in.appsUseLightTheme ? MenuLook::Light : MenuLook::Dark;
}

Rgb MenuPalette::Color(int index) const {
    if (look_ != MenuLook::Dark) return system_ ? system_(index) : MakeRgb(0, 0, 0);
    // Close to the shell's own dark menus; text on its backgrounds well above
    // the least contrast, the bevel and disabled text plainly weaker.
    switch (index) {
        case kColorMenu: return MakeRgb(0x2B, 0x2B, 0x2B);
        case kColorMenuText: return MakeRgb(0xF2, 0xF2, 0xF2);
        case kColorHighlight: return MakeRgb(0x4A, 0x4A, 0x4A);
        case kColorHighlightText: return MakeRgb(0xFF, 0xFF, 0xFF);
        case kColorBtnShadow: return MakeRgb(0x80, 0x80, 0x80);
        case kColorGrayText: return MakeRgb(0xA0, 0xA0, 0xA0);
        case kColorBtnHighlight: return MakeRgb(0x3C, 0x3C, 0x3C);
        case kColorInactiveCaption: return MakeRgb(0x1C, 0x1C, 0x1C);
        case kColorInactiveCaptionText: return MakeRgb(0xD6, 0xD6, 0xD6);
        default: return MakeRgb(0x2B, 0x2B, 0x2B);
    }
}

}  // namespace pv
