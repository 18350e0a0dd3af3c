#include "support/UkvGraphics_win.h"

#include <algorithm>

#include "support/UkvSysExceptions.h"
#include "support/Wide_win.h"

namespace pv {

HBITMAP Create32BitDib(int width, int height, uint32_t** bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (bits) *bits = bmp ? static_cast<uint32_t*>(p) : nullptr;
    return bmp;
}

uint32_t DibPixel(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) | (static_cast<uint32_t>(GetGValue(color)) << 8) |
           GetBValue(color);
}


void MakeImageList32Bit(HIMAGELIST* list, int growBy) {
    if (!list || !*list) return;
    HIMAGELIST old = *list;
    int width = 0, height = 0;
    if (!ImageList_GetIconSize(old, &width, &height)) return;
    HIMAGELIST fresh = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 0, growBy);
    if (!fresh) return;
    const int count = ImageList_GetImageCount(old);
    for (int i = 0; i < count; ++i) {
        HICON icon = ImageList_GetIcon(old, i, ILD_TRANSPARENT);
        // A picture that cannot be taken over still needs its place: indexes
        // must keep meaning the same picture.
        if (!icon || ImageList_ReplaceIcon(fresh, -1, icon) < 0) {
            HDC screen = GetDC(nullptr);
            HBITMAP blank = CreateCompatibleBitmap(screen, width, height);
            ReleaseDC(nullptr, screen);
            ImageList_Add(fresh, blank, nullptr);
            DeleteObject(blank);
        }
        if (icon) DestroyIcon(icon);
    }
    ImageList_Destroy(old);
    *list = fresh;
}

void FillWithBrushColor(const FillTarget& target, HDC canvas, bool useBrushColor, COLORREF color) {
    if (useBrushColor) {
        LOGBRUSH current = {};
        HGDIOBJ brush = GetCurrentObject(canvas, OBJ_BRUSH);
        if (brush && GetObjectA(brush, sizeof current, &current)) color = current.lbColor;
    }
    int width = 0, height = 0;
    if (target.picture) {
        BITMAP bm = {};
        if (!GetObjectA(target.picture, sizeof bm, &bm)) throw EkvParamOutOfValidRangeError("");
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (target.control) {
        RECT r = {};
        if (!GetWindowRect(target.control, &r)) throw EkvParamOutOfValidRangeError("");
        width = r.right - r.left;
        height = r.bottom - r.top;
    } else {
        throw EkvParamOutOfValidRangeError("");
    }
    HBRUSH solid = CreateSolidBrush(color);
    RECT area = {0, 0, width, height};
    FillRect(canvas, &area, solid);
    DeleteObject(solid);
}

HBITMAP CreateSolidBitmap32(int width, int height, COLORREF color) {
    uint32_t* bits = nullptr;
    HBITMAP bmp = Create32BitDib(width, height, &bits);
    if (!bits) return bmp;
    std::fill(bits, bits + width * height, DibPixel(color));
    GdiFlush();
    return bmp;
}

void CreateScratchImages(ScratchPictures& Scratch) {
    FreeScratchImages(Scratch);
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    Scratch.MenuScratchBitmap = CreateSolidBitmap32(32, 32, menu);
    Scratch.WindowScratchBitmap = CreateSolidBitmap32(32, 32, window);
    Scratch.MenuScratchImage = CreateSolidBitmap32(16, 16, menu);
    Scratch.TreeScratchImage = CreateSolidBitmap32(16, 18, window);
}

void FreeScratchImages(ScratchPictures& Scratch) {
    HBITMAP* order[] = {&Scratch.MenuScratchImage, &Scratch.TreeScratchImage, &Scratch.MenuScratchBitmap,
                        &Scratch.WindowScratchBitmap};
    for (HBITMAP* b : order) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
}

HFONT CreateWindowFont(const WindowFont& font) {
    HDC dc = GetDC(nullptr);
    const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(font.size, ppi, 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void PaintFormCaption(HWND hwnd, const std::string& text, const std::string& fontName) {
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    do {
        SetBkMode(dc, TRANSPARENT);
        // A new drawing surface's default size, 8 points; the settings' size is
        // for the window contents, not the title.
        LOGFONTA lf = {};
        lf.lfHeight = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
        lf.lfWeight = FW_BOLD;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, fontName.c_str(), LF_FACESIZE);
        font = CreateFontIndirectA(&lf);
        if (!font) break;
        oldFont = SelectObject(dc, font);
        const bool active = GetActiveWindow() == hwnd;
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        SIZE extent = {};
        const std::wstring wide = Widen(text);
        if (!GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent)) break;
        const CaptionTextPos pos =
            CaptionTextPosition(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYCAPTION), extent.cy);
        TextOutW(dc, pos.x, pos.y, wide.c_str(), static_cast<int>(wide.size()));
    } while (false);
    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    ReleaseDC(hwnd, dc);
}

}  // namespace pv
