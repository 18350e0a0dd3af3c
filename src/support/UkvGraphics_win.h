#pragma once
// Picture helpers used where icons and bitmaps are prepared.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "support/UkvGraphics.h"

namespace pv {

// A top-down DIB section of 32 bits per pixel; *bits (when given) receives its
// pixels. Null when the section cannot be made.
HBITMAP Create32BitDib(int width, int height, uint32_t** bits);

// A colour as a pixel of such a section: 0x00RRGGBB, alpha 0, as a GDI solid fill leaves it.
uint32_t DibPixel(COLORREF color);

// Rebuilds *list with 32-bit colour and a mask (ILC_COLOR32 | ILC_MASK), same
// image size, growth step growBy, same images in the same order; the old handle
// is destroyed and *list receives the new one. A null list (or *list) is left alone.
void MakeImageList32Bit(HIMAGELIST* list, int growBy = 4);

// What FillWithBrushColor fills: a picture (bitmap) or a control (window).
struct FillTarget {
    HBITMAP picture = nullptr;
    HWND control = nullptr;
};

// Fills the target's area, from (0,0) to its width and height, on canvas with a
// solid brush. With useBrushColor the colour is that of the brush currently
// selected into canvas and color is ignored. Throws
// EkvParamOutOfValidRangeError("") when the target is neither a picture nor a control.
void FillWithBrushColor(const FillTarget& target, HDC canvas, bool useBrushColor, COLORREF color);

// A 32-bit top-down DIB section filled with one colour; null when it cannot be made.
HBITMAP CreateSolidBitmap32(int width, int height, COLORREF color);

// Prepared once at start-up for turning shell icons into list pictures.
struct ScratchPictures {
    HBITMAP MenuScratchBitmap = nullptr;    // 32x32, menu colour
    HBITMAP WindowScratchBitmap = nullptr;  // 32x32, window colour
    HBITMAP MenuScratchImage = nullptr;     // 16x16, menu colour
    HBITMAP TreeScratchImage = nullptr;     // 16x18, window colour
};
void CreateScratchImages(ScratchPictures& scratch);
void FreeScratchImages(ScratchPictures& scratch);

// A font made from a name, a size in points and the bold flag, for the screen.
HFONT CreateWindowFont(const WindowFont& font);

// Paints text over the caption bar of hwnd in fontName, bold, 8 points.
void PaintFormCaption(HWND hwnd, const std::string& text, const std::string& fontName);

}  // namespace pv
