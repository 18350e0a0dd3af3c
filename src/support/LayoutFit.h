#pragma once
// Window layouts designed at 96 dpi with an 8-point font, made to fit the DPI
// and the font they show with: the whole layout grows by one factor, at least
// the DPI's, and more where a control's text (in the font as it is) would not
// fit the control's scaled size. Portable: the window measures its texts and
// hands them in.

#include <vector>

namespace pv {

// ---------------------------------------------------------------- DPI

constexpr int kBaseDpi = 96;  // the DPI every fixed size of the program is designed at

// px pixels at 96 dpi, at dpi: px * dpi / 96 to the nearest pixel (halves away
// from zero). A dpi of 0 or less counts as 96.
int ScaleToDpi(int px, int dpi);
// The side of the square pictures at dpi: 16 at 96, 20 at 120, 24 at 144, 32 at 192.
int PictureSizeForDpi(int dpi);

// ---------------------------------------------------------------- layouts

struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const LayoutRect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// One control's text as measured in the window's font, with what the control
// needs beside it (a check box's box and gap, an edit's margins, in pixels at
// the window's DPI). A text of width 0 asks nothing of the control's width.
struct LayoutNeed {
    LayoutRect base;      // at 96 dpi
    int textWidth = 0;
    int textHeight = 0;
    int extraWidth = 0;
    int extraHeight = 0;
};

// The layout's factor in thousandths: at least dpi * 1000 / 96, and enough that
// every need fits its control as ScaleRect makes it.
int LayoutScale(int dpi, const std::vector<LayoutNeed>& needs);

// Scales a length (a client width, a height) and a rectangle by the factor:
// edges are scaled where they lie, so that neighbours that touch still touch.
int ScaleLength(int length, int scale);
LayoutRect ScaleRect(const LayoutRect& r, int scale);

}  // namespace pv
