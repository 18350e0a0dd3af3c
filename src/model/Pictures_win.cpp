#include "model/Pictures_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../../res/resource.h"
#include "support/PictureScale.h"
#include "support/Wide_win.h"

namespace pv {

void AddResourcePictures(HIMAGELIST list, int firstId, int count) {
    for (int i = 0; i < count; ++i) {
        HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(firstId + i),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bmp) continue;
        ImageList_Add(list, bmp, nullptr);
        DeleteObject(bmp);
    }
}

void InsertPicture(HIMAGELIST list, int position, const std::function<void(int index)>& put,
                   const BlankPicture* grow) {
    const int count = ImageList_GetImageCount(list);
    // Adding grows the list's bitmaps by its growth step; setting the count
    // makes them anew each time (Wine), which costs the whole list per picture.
    if (!grow || !grow->color || ImageList_Add(list, grow->color, grow->mask) < 0)
        ImageList_SetImageCount(list, static_cast<UINT>(count + 1));
    if (position < 0 || position >= count) {
        put(count);
        return;
    }
    // The image list cannot insert: move the tail up one place. The loader
    // inserts just below the few break pictures, so the tail is short.
    for (int i = count; i > position; --i) ImageList_Copy(list, i, list, i - 1, ILCF_MOVE);
    put(position);
}

// ---------------------------------------------------------------- WinPictureLists

namespace {

// A 32-bit DIB section and its pixels; top-down.
struct Dib {
    HBITMAP bmp = nullptr;
    uint32_t* bits = nullptr;
    int width = 0, height = 0;

    // In the body: bits is declared after bmp, so its initialiser would run last.
    Dib(int w, int h) : width(w), height(h) { bmp = Create32BitDib(w, h, &bits); }
    ~Dib() {
        if (bmp) DeleteObject(bmp);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
};

// Pixels of a 32-bit DIB section (the scratch pictures are such sections).
uint32_t* PixelsOf(HBITMAP bmp, int& width, int& height) {
    DIBSECTION ds = {};
    if (!bmp || GetObjectA(bmp, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 32) return nullptr;
    width = ds.dsBm.bmWidth;
    height = std::abs(ds.dsBm.bmHeight);
    return static_cast<uint32_t*>(ds.dsBm.bmBits);
}

void FillPixels(HBITMAP bmp, COLORREF color) {
    int w = 0, h = 0;
    uint32_t* p = PixelsOf(bmp, w, h);
    if (!p) return;
    GdiFlush();
    std::fill(p, p + w * h, DibPixel(color));
}

// GDI leaves alpha 0 (or half-set values after icon drawing): a picture drawn
// on a solid background is meant to be opaque everywhere.
void MakeOpaque(HBITMAP bmp) {
    int w = 0, h = 0;
    uint32_t* p = PixelsOf(bmp, w, h);
    if (!p) return;
    GdiFlush();
    for (int i = 0; i < w * h; ++i) p[i] |= 0xFF000000u;
}

// A transparent picture of cx by cy: an empty colour section, a white mask.
BlankPicture MakeBlankPicture(int cx, int cy) {
    BlankPicture b;
    b.color = Create32BitDib(cx, cy, nullptr);
    b.mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    if (b.mask) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, b.mask);
        PatBlt(dc, 0, 0, cx, cy, WHITENESS);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    return b;
}

void FreeBlankPicture(BlankPicture& b) {
    if (b.color) DeleteObject(b.color);
    if (b.mask) DeleteObject(b.mask);
    b = BlankPicture();
}

// Replaces picture index of list by the list's blank picture.
void PutBlank(HIMAGELIST list, int index, const BlankPicture& blank) {
    ImageList_Replace(list, index, blank.color, blank.mask);
}

void PutIcon(HIMAGELIST list, int index, HICON icon, const BlankPicture& blank) {
    if (!icon || ImageList_ReplaceIcon(list, index, icon) < 0) PutBlank(list, index, blank);
}

// The tree picture of an icon: drawn at 32x32 on the window scratch bitmap, then
// stretched into (0,1)-(16,17) of the 16x18 tree scratch image.
void PutTreeIcon(const ScratchPictures& scratch_, HIMAGELIST tree, int index, HICON icon, const BlankPicture& blank) {
    HBITMAP big = scratch_.WindowScratchBitmap;
    HBITMAP small = scratch_.TreeScratchImage;
    if (!big || !small) {
        PutIcon(tree, index, icon, blank);
        return;
    }
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    FillPixels(big, window);
    FillPixels(small, window);
    HDC src = CreateCompatibleDC(nullptr);
    HDC dst = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, big);
    HGDIOBJ oldDst = SelectObject(dst, small);
    DrawIconEx(src, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    SetStretchBltMode(dst, HALFTONE);
    SetBrushOrgEx(dst, 0, 0, nullptr);
    StretchBlt(dst, 0, 1, 16, 16, src, 0, 0, 32, 32, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    MakeOpaque(small);
    ImageList_Replace(tree, index, small, nullptr);
}

HICON ShellSmallIcon(const std::string& path) {
    SHFILEINFOW sfi = {};
    // On failure the structure is left as it was (Wine leaves garbage in
    // hIcon), so only the result says whether there is an icon.
    const DWORD_PTR ok = SHGetFileInfoW(Widen(path).c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON);
    return ok ? sfi.hIcon : nullptr;
}

bool KeyExists(const std::string& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::string DefaultValue(const std::string& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::string();
    char value[MAX_PATH * 2] = {};
    DWORD type = 0;
    DWORD size = sizeof value - 1;
    const LONG r = RegQueryValueExA(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    return std::string(value);
}

// Types whose icon the shell takes from the file itself: a DefaultIcon of "%1"
// (programs, icon files) or an icon handler (shortcuts). Asked about a name
// alone the shell may answer differently for those, so they get a real file.
bool IconComesFromFile(const std::string& file) {
    const size_t slash = file.find_last_of("\\/");
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = file.substr(dot);
    if (ext.size() < 2) return false;
    if (KeyExists(ext + "\\shellex\\IconHandler")) return true;
    const std::string cls = DefaultValue(ext);
    if (cls.empty()) return false;
    if (KeyExists(cls + "\\shellex\\IconHandler")) return true;
    return DefaultValue(cls + "\\DefaultIcon").find("%1") != std::string::npos;
}

HICON TypeSmallIcon(const std::string& file) {
    if (IconComesFromFile(file)) {
        // CREATE_NEW: a file of that name that was there before is the user's; it
        // is asked about as it is and left alone.
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            HICON icon = ShellSmallIcon(file);
            DeleteFileA(file.c_str());
            return icon;
        }
        if (GetLastError() == ERROR_FILE_EXISTS) return ShellSmallIcon(file);
        // No file can be made there (a read-only data directory): the type's
        // icon by name is the nearest answer.
    }
    SHFILEINFOW sfi = {};
    const DWORD_PTR ok = SHGetFileInfoW(Widen(file).c_str(), FILE_ATTRIBUTE_NORMAL, &sfi, sizeof sfi,
                                        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    return ok ? sfi.hIcon : nullptr;
}

bool EndsWithNoCase(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && lstrcmpiA(s.c_str() + s.size() - n, tail) == 0;
}

}  // namespace

int WinPictureLists::Count() const { return ImageList_GetImageCount(pm_); }

void WinPictureLists::MakeRoomAt(int position) {
    Changed(position < 0 ? Count() : position);
    if (position < 0 || position >= Count()) return;
    for (TypePicture& t : unrealized_)
        if (t.index >= position) ++t.index;
}

bool WinPictureLists::HasUnrealized() const {
    for (const TypePicture& t : unrealized_)
        if (!t.realized) return true;
    return false;
}

void WinPictureLists::AddTypeIcon(const std::string& file, int position) {
    const int index = position < 0 || position >= Count() ? Count() : position;
    MakeRoomAt(position);
    InsertPicture(pm_, position, [&](int i) { PutBlank(pm_, i, blankMenu_); },
                  &blankMenu_);
    InsertPicture(tv_, position, [&](int i) { PutBlank(tv_, i, blankTree_); },
                  &blankTree_);
    unrealized_.push_back(TypePicture{index, file});
}

void WinPictureLists::AddTypeIcons(const std::vector<std::string>& files, int position) {
    const int count = Count();
    const int n = static_cast<int>(files.size());
    if (position < 0 || position >= count || n < 2) {
        IPictureLists::AddTypeIcons(files, position);
        return;
    }
    Changed(position);
    for (TypePicture& t : unrealized_)
        if (t.index >= position) t.index += n;
    // Blanks appended, the pictures above moved up once, and the places they
    // left blank again: the lists one insertion at a time would give.
    const int above = count - position;
    for (auto [list, blank] : {std::pair<HIMAGELIST, const BlankPicture*>{pm_, &blankMenu_}, {tv_, &blankTree_}}) {
        // One strip of n blanks side by side: the list takes them in one call
        // rather than n (each call costs the list's bitmaps a round of copies).
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        BlankPicture strip = MakeBlankPicture(cx * n, cy);
        if (!strip.color || !strip.mask || ImageList_Add(list, strip.color, strip.mask) < 0)
            ImageList_SetImageCount(list, static_cast<UINT>(count + n));
        FreeBlankPicture(strip);
        for (int i = count - 1; i >= position; --i) ImageList_Copy(list, i + n, list, i, ILCF_MOVE);
        for (int i = 0; i < std::min(n, above); ++i) PutBlank(list, position + i, *blank);
    }
    for (int i = 0; i < n; ++i) unrealized_.push_back(TypePicture{position + i, files[static_cast<size_t>(i)]});
}

void WinPictureLists::Realize(int index) {
    for (size_t k = 0; k < unrealized_.size(); ++k) {
        if (unrealized_[k].index != index || unrealized_[k].realized) continue;
        unrealized_[k].realized = true;
        const std::string& file = unrealized_[k].file;
        for (ScaledList& sc : scaled_)
            if (sc.tree && index < static_cast<int>(sc.done.size())) sc.done[static_cast<size_t>(index)] = false;
        HICON icon = TypeSmallIcon(file);
        PutIcon(pm_, index, icon, blankMenu_);
        if (icon) {
            PutTreeIcon(scratch_, tv_, index, icon, blankTree_);
            DestroyIcon(icon);
        }
        return;
    }
}

void WinPictureLists::RealizeAll() {
    for (size_t k = 0; k < unrealized_.size(); ++k)
        if (!unrealized_[k].realized) Realize(unrealized_[k].index);
}

bool WinPictureLists::AddShellIcon(const std::string& path, int position, bool menuOnly) {
    const int index = position < 0 || position >= Count() ? Count() : position;
    MakeRoomAt(position);
    HICON icon = ShellSmallIcon(path);
    if (icon) unrealized_.push_back(TypePicture{index, path, true, true});
    InsertPicture(pm_, position, [&](int i) { PutIcon(pm_, i, icon, blankMenu_); }, &blankMenu_);
    if (!menuOnly) {
        InsertPicture(
            tv_, position,
            [&](int i) {
                if (icon)
                    PutTreeIcon(scratch_, tv_, i, icon, blankTree_);
                else
                    PutBlank(tv_, i, blankTree_);
            },
            &blankTree_);
    }
    if (icon) DestroyIcon(icon);
    return icon != nullptr;
}

bool WinPictureLists::InsertIconFile(const std::string& file, int position) {
    MakeRoomAt(position);
    bool loaded = false;
    if (EndsWithNoCase(file, ".ico")) {
        HICON icon = static_cast<HICON>(LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
        loaded = icon != nullptr;
        InsertPicture(pm_, position, [&](int i) { PutIcon(pm_, i, icon, blankMenu_); }, &blankMenu_);
        if (icon) DestroyIcon(icon);
        return loaded;
    }
    HBITMAP bmp = nullptr;
    if (EndsWithNoCase(file, ".bmp"))
        bmp = static_cast<HBITMAP>(
            LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    InsertPicture(pm_, position, [&](int i) {
        if (!bmp) {
            PutBlank(pm_, i, blankMenu_);
            return;
        }
        // Exactly one 16x16 picture, whatever the file's size: a wider bitmap
        // would otherwise become several pictures and put the lists out of step.
        Dib pic(16, 16);
        HDC src = CreateCompatibleDC(nullptr);
        HDC dst = CreateCompatibleDC(nullptr);
        HGDIOBJ oldSrc = SelectObject(src, bmp);
        HGDIOBJ oldDst = SelectObject(dst, pic.bmp);
        BITMAP bm = {};
        GetObjectA(bmp, sizeof bm, &bm);
        SetStretchBltMode(dst, COLORONCOLOR);
        StretchBlt(dst, 0, 0, 16, 16, src, 0, 0, bm.bmWidth, std::abs(bm.bmHeight), SRCCOPY);
        SelectObject(src, oldSrc);
        SelectObject(dst, oldDst);
        DeleteDC(src);
        DeleteDC(dst);
        // The bitmap is its own mask: its white pixels are transparent.
        ImageList_Replace(pm_, i, pic.bmp, pic.bmp);
    }, &blankMenu_);
    loaded = bmp != nullptr;
    if (bmp) DeleteObject(bmp);
    return loaded;
}

void WinPictureLists::CopyMenuPictureToTree(int position) {
    Changed(position < 0 ? ImageList_GetImageCount(tv_) : position);
    HBITMAP small = scratch_.MenuScratchImage;
    HBITMAP tree = scratch_.TreeScratchImage;
    InsertPicture(tv_, position, [&](int i) {
        if (!small || !tree) {
            PutBlank(tv_, i, blankTree_);
            return;
        }
        const int from = position < 0 ? Count() - 1 : position;
        FillPixels(small, GetSysColor(COLOR_MENU));
        FillPixels(tree, GetSysColor(COLOR_WINDOW));
        HDC a = CreateCompatibleDC(nullptr);
        HDC b = CreateCompatibleDC(nullptr);
        HGDIOBJ oldA = SelectObject(a, small);
        HGDIOBJ oldB = SelectObject(b, tree);
        ImageList_Draw(pm_, from, a, 0, 0, ILD_NORMAL);
        BitBlt(b, 0, 1, 16, 16, a, 0, 0, SRCCOPY);
        SelectObject(a, oldA);
        SelectObject(b, oldB);
        DeleteDC(a);
        DeleteDC(b);
        MakeOpaque(tree);
        ImageList_Replace(tv_, i, tree, nullptr);
    }, &blankTree_);
}

void WinPictureLists::DeleteAbove(int last) {
    Changed(last + 1);
    unrealized_.erase(std::remove_if(unrealized_.begin(), unrealized_.end(),
                                     [last](const TypePicture& t) { return t.index > last; }),
                      unrealized_.end());
    for (int i = ImageList_GetImageCount(tv_) - 1; i > last; --i) {
        ImageList_Remove(pm_, i);
        ImageList_Remove(tv_, i);
    }
}

bool WinPictureLists::AppendCopy(int index) {
    if (index < 0 || index >= ImageList_GetImageCount(pm_) || index >= ImageList_GetImageCount(tv_)) return false;
    Realize(index);
    InsertPicture(pm_, -1, [&](int at) { ImageList_Copy(pm_, at, pm_, index, ILCF_MOVE); }, &blankMenu_);
    InsertPicture(tv_, -1, [&](int at) { ImageList_Copy(tv_, at, tv_, index, ILCF_MOVE); }, &blankTree_);
    return true;
}

void WinPictureLists::AppendBreakPictures() {
    if (!breaks_) return;
    Changed(Count());
    for (HBITMAP b : breaks_->small) ImageList_Add(pm_, b, nullptr);
    for (HBITMAP b : breaks_->large) ImageList_Add(tv_, b, nullptr);
}

std::string WinPictureLists::MenuPictureBmp(int index) {
    Realize(index);
    Dib pic(16, 16);
    if (!pic.bits) return std::string();
    std::fill(pic.bits, pic.bits + 16 * 16, DibPixel(GetSysColor(COLOR_MENU)));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, pic.bmp);
    if (index >= 0 && index < Count()) ImageList_Draw(pm_, index, dc, 0, 0, ILD_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    GdiFlush();
    // A bottom-up file, the usual form: the section is top-down, so the rows
    // are written last to first.
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = 16;
    ih.biHeight = 16;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    const size_t pixelBytes = 16 * 16 * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixelBytes);
    std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int row = 15; row >= 0; --row)
        out.append(reinterpret_cast<const char*>(pic.bits + row * 16), 16 * 4);
    return out;
}

bool WinPictureLists::Create() {
    Destroy();
    // 32 bits with a mask, so that the pictures' alpha and the shell's icons
    // both come out right.
    pm_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 32, 32);
    tv_ = ImageList_Create(16, 18, ILC_COLOR32 | ILC_MASK, 32, 32);
    if (!pm_ || !tv_) return false;
    blankMenu_ = MakeBlankPicture(16, 16);
    blankTree_ = MakeBlankPicture(16, 18);
    // Pictures 0 to 11 and the break pictures at 12 to 14.
    AddResourcePictures(pm_, IDB_PM_FIRST, PV_FIXED_PICTURE_COUNT);
    AddResourcePictures(tv_, IDB_TV_FIRST, PV_FIXED_PICTURE_COUNT);
    return true;
}

void WinPictureLists::Destroy() {
    DestroyScaled();
    unrealized_.clear();
    FreeBlankPicture(blankMenu_);
    FreeBlankPicture(blankTree_);
    if (pm_) ImageList_Destroy(pm_);
    if (tv_) ImageList_Destroy(tv_);
    pm_ = tv_ = nullptr;
}

// ---------------------------------------------------------------- other sizes

namespace {

// The pixels of an icon as 0xAARRGGBB, straight alpha: the colour bitmap's
// alpha where it has one, else opaque where the mask is black.
bool IconPixels(HICON icon, int& width, int& height, std::vector<uint32_t>& pixels) {
    ICONINFO ii = {};
    if (!icon || !GetIconInfo(icon, &ii)) return false;
    BITMAP bm = {};
    HBITMAP source = ii.hbmColor ? ii.hbmColor : ii.hbmMask;
    bool ok = GetObjectA(source, sizeof bm, &bm) != 0;
    width = bm.bmWidth;
    height = ii.hbmColor ? std::abs(bm.bmHeight) : std::abs(bm.bmHeight) / 2;
    if (ok && width > 0 && height > 0 && ii.hbmColor) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        std::vector<uint32_t> mask(pixels.size(), 0);
        HDC dc = GetDC(nullptr);
        ok = GetDIBits(dc, ii.hbmColor, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS) != 0;
        const bool masked = ii.hbmMask && GetDIBits(dc, ii.hbmMask, 0, static_cast<UINT>(height), mask.data(), &bi,
                                                    DIB_RGB_COLORS) != 0;
        ReleaseDC(nullptr, dc);
        bool alpha = false;
        for (uint32_t p : pixels)
            if (p & 0xFF000000u) alpha = true;
        if (!alpha) {
            for (size_t i = 0; i < pixels.size(); ++i) {
                const bool transparent = masked && (mask[i] & 0x00FFFFFFu) != 0;
                pixels[i] = transparent ? 0 : (pixels[i] | 0xFF000000u);
            }
        }
    } else {
        ok = false;
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    return ok;
}

// An icon of width x height from 0xAARRGGBB pixels (straight alpha).
HICON IconFromPixels(const std::vector<uint32_t>& pixels, int width, int height) {
    uint32_t* bits = nullptr;
    HBITMAP color = Create32BitDib(width, height, &bits);
    if (!color || !bits) {
        if (color) DeleteObject(color);
        return nullptr;
    }
    GdiFlush();
    std::copy(pixels.begin(), pixels.end(), bits);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmColor = color;
    ii.hbmMask = mask;
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(color);
    if (mask) DeleteObject(mask);
    return icon;
}

HICON ScaledIcon(HICON icon, int width, int height) {
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    if (!IconPixels(icon, w, h, pixels)) return nullptr;
    if (w == width && h == height) return IconFromPixels(pixels, w, h);
    return IconFromPixels(ScalePicture(pixels, w, h, width, height), width, height);
}

// The shell's icon of a file type at about size pixels: the large icon (which
// the shell makes at the system's icon size) for anything above 16.
HICON TypeIconAt(const std::string& file, int size, bool real) {
    if (size <= 16) return real ? ShellSmallIcon(file) : TypeSmallIcon(file);
    SHFILEINFOA sfi = {};
    const DWORD_PTR ok =
        SHGetFileInfoA(file.c_str(), FILE_ATTRIBUTE_NORMAL, &sfi, sizeof sfi,
                       SHGFI_ICON | SHGFI_LARGEICON | (real ? 0u : static_cast<UINT>(SHGFI_USEFILEATTRIBUTES)));
    return ok ? sfi.hIcon : nullptr;
}

}  // namespace

void WinPictureLists::Changed(int position) {
    if (position < 0) position = 0;
    for (ScaledList& s : scaled_) {
        for (size_t i = static_cast<size_t>(position); i < s.done.size(); ++i) s.done[i] = false;
    }
}

WinPictureLists::ScaledList& WinPictureLists::Scaled(bool tree, int width, int height) {
    for (ScaledList& s : scaled_)
        if (s.tree == tree && s.width == width && s.height == height) {
            const int count = Count();
            if (ImageList_GetImageCount(s.list) != count) ImageList_SetImageCount(s.list, static_cast<UINT>(count));
            s.done.resize(static_cast<size_t>(count), false);
            return s;
        }
    ScaledList s;
    s.tree = tree;
    s.width = width;
    s.height = height;
    s.list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 32, 32);
    if (s.list) ImageList_SetImageCount(s.list, static_cast<UINT>(Count()));
    s.done.assign(static_cast<size_t>(Count()), false);
    scaled_.push_back(std::move(s));
    return scaled_.back();
}

void WinPictureLists::MakeScaled(ScaledList& s, int index) {
    if (!s.list || index < 0 || index >= static_cast<int>(s.done.size()) || s.done[static_cast<size_t>(index)]) return;
    s.done[static_cast<size_t>(index)] = true;
    HICON made = nullptr;
    if (!s.tree) {
        for (const TypePicture& t : unrealized_) {
            if (t.index != index) continue;
            HICON icon = TypeIconAt(t.file, s.width, t.real);
            made = ScaledIcon(icon, s.width, s.height);
            if (icon) DestroyIcon(icon);
            break;
        }
    }
    if (!made) {
        HICON icon = ImageList_GetIcon(s.tree ? tv_ : pm_, index, ILD_TRANSPARENT);
        made = ScaledIcon(icon, s.width, s.height);
        if (icon) DestroyIcon(icon);
    }
    if (!made || ImageList_ReplaceIcon(s.list, index, made) < 0) {
        BlankPicture blank = MakeBlankPicture(s.width, s.height);
        ImageList_Replace(s.list, index, blank.color, blank.mask);
        FreeBlankPicture(blank);
    }
    if (made) DestroyIcon(made);
}

HIMAGELIST WinPictureLists::MenuAt(int size) {
    if (size == 16 || size <= 0) return pm_;
    return Scaled(false, size, size).list;
}

void WinPictureLists::RealizeAt(int index, int size) {
    Realize(index);
    if (size == 16 || size <= 0) return;
    MakeScaled(Scaled(false, size, size), index);
}

HIMAGELIST WinPictureLists::TreeAt(int width, int height) {
    if (width == 16 && height == 18) return tv_;
    RealizeAll();
    ScaledList& s = Scaled(true, width, height);
    for (int i = 0; i < static_cast<int>(s.done.size()); ++i) MakeScaled(s, i);
    return s.list;
}

void WinPictureLists::DestroyScaled() {
    for (ScaledList& s : scaled_)
        if (s.list) ImageList_Destroy(s.list);
    scaled_.clear();
}

}  // namespace pv
