#include "app/InitFinit_win.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"
#include "support/Platform_win.h"
#include "support/UkvSysExceptions.h"

namespace pv {

AppForms Forms;
ScratchPictures Scratch;

const char* const kInstanceMappingName = "{0C462EFB-02B9-4314-80A4-DA95904F9B9F}";

// ---------------------------------------------------------------- application

namespace {
bool g_terminated = false;
int g_exitCode = 0;
HANDLE g_instanceMapping = nullptr;
void* g_instanceView = nullptr;
}  // namespace

std::string& Application::Title() {
    static std::string title;
    return title;
}

std::string& Application::HelpFile() {
    static std::string helpFile;
    return helpFile;
}

void Application::ProcessMessages() {
    MSG msg;
    while (!g_terminated && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_terminated = true;
            g_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Application::Terminate() {
    // WM_QUIT rather than a flag alone, so that a modal loop (a message box, a
    // tracked menu) that is running right now ends too.
    PostQuitMessage(0);
}

bool Application::Terminated() { return g_terminated; }

int Application::Run() {
    MSG msg;
    while (!g_terminated) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) g_exitCode = static_cast<int>(msg.wParam);
            g_terminated = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return g_exitCode;
}

// ---------------------------------------------------------------- single instance

void CheckSingleInstance(HWND appWindow, const char* mappingName) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, mappingName);
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        // Another copy runs: leave quietly, it is not told.
        if (mapping) CloseHandle(mapping);
        StartFlag = 0;
        Application::Terminate();
        return;
    }
    if (!mapping) throw EOSError(error, WinSystem().ErrorText(error));

    ReleaseInstanceMapping();
    g_instanceMapping = mapping;
    g_instanceView = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4);
    if (g_instanceView) {
        const uint32_t value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(appWindow));
        std::memcpy(g_instanceView, &value, sizeof value);
    }
}

void ReleaseInstanceMapping() {
    if (g_instanceView) UnmapViewOfFile(g_instanceView);
    g_instanceView = nullptr;
    if (g_instanceMapping) CloseHandle(g_instanceMapping);
    g_instanceMapping = nullptr;
}

// ---------------------------------------------------------------- scratch pictures

HBITMAP CreateSolidBitmap32(int width, int height, COLORREF color) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return bmp;
    // What a GDI solid fill leaves: the colour, alpha 0.
    const uint32_t pixel = (static_cast<uint32_t>(GetRValue(color)) << 16) |
                           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
    uint32_t* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) p[i] = pixel;
    GdiFlush();
    return bmp;
}

void CreateScratchImages() {
    FreeScratchImages();
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    Scratch.MenuScratchBitmap = CreateSolidBitmap32(32, 32, menu);
    Scratch.WindowScratchBitmap = CreateSolidBitmap32(32, 32, window);
    Scratch.MenuScratchImage = CreateSolidBitmap32(16, 16, menu);
    Scratch.TreeScratchImage = CreateSolidBitmap32(16, 18, window);
}

void FreeScratchImages() {
    HBITMAP* order[] = {&Scratch.MenuScratchImage, &Scratch.TreeScratchImage, &Scratch.MenuScratchBitmap,
                        &Scratch.WindowScratchBitmap};
    for (HBITMAP* b : order) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
}

// ---------------------------------------------------------------- title painting

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
        if (!GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent)) break;
        const CaptionTextPos pos =
            CaptionTextPosition(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYCAPTION), extent.cy);
        TextOutA(dc, pos.x, pos.y, text.c_str(), static_cast<int>(text.size()));
    } while (false);
    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    ReleaseDC(hwnd, dc);
}

// ---------------------------------------------------------------- the steps

void WinAppSteps::SetFormTitles(const FormTitles& titles) {
    Forms.FormItems->TitleText = titles.items;
    Forms.FormConfig->TitleText = titles.config;
    Forms.FormAbout->TitleText = titles.about;
}

std::string WinAppSteps::ExecutablePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void WinAppSteps::SetHelpFile(const std::string& path) { Application::HelpFile() = path; }

void WinAppSteps::FillFontNames() { Forms.FormConfig->FillFontNames(); }

void WinAppSteps::SetVersionLabel(const std::string& text) { Forms.FormAbout->LabelVer = text; }

void WinAppSteps::SetApplicationTitle(const std::string& title) { Application::Title() = title; }

void WinAppSteps::LoadSettings() {
    // Settings module: LoadSettings is called here once it is part of the build.
}

void WinAppSteps::CreateScratchImages() { pv::CreateScratchImages(); }

void WinAppSteps::CopySystemMenu() {
    // System menu module: CopySystemMenu is called here once it is part of the build.
}

void WinAppSteps::CheckItemStore() {
    // Store loader: CheckItemStore is called here once it is part of the build.
}

void WinAppSteps::LoadItemStore() {
    // Store loader: LoadItemStore is called here once it is part of the build.
}

void WinAppSteps::ApplyVisualSettings() {
    // Settings module: ApplyVisualSettings is called here once it is part of the build.
}

void WinAppSteps::AssignMenuDrawHandlers() {
    // System menu module: AssignMenuDrawHandlers is called here once it is part of the build.
}

void WinAppSteps::EnableTrayMenu() {
    CSystrayGen& icon = Forms.FormGeneral->CSystrayGen;
    icon.Enabled = true;
    icon.PopupMenu = &Forms.FormItems->PMItems;
}

void WinAppSteps::AttachTreeChangeHandler() {
    // The manager tree's change handler comes with the manager window.
}

void WinAppSteps::DetachTreeChangeHandler() {
    // The manager tree's change handler comes with the manager window.
}

void WinAppSteps::DisableTrayMenu() {
    CSystrayGen& icon = Forms.FormGeneral->CSystrayGen;
    icon.Enabled = false;
    icon.PopupMenu = nullptr;
}

void WinAppSteps::ClearItemTable() {
    // Store loader: the item table is emptied here once it is part of the build.
}

void WinAppSteps::ClearTreesAndMenu() {
    TFormItems& items = *Forms.FormItems;
    items.TVItems.tag = 0;
    items.TVUndo.tag = 0;
    items.ILAllPublicPMTag = 0;
    items.TVItems.Clear();
    items.TVUndo.Clear();
    items.PMItems.root.Clear();
    items.PMItems.root.tag = 0;
}

void WinAppSteps::DeleteAddedPictures() {
    TFormItems& items = *Forms.FormItems;
    for (int i = ImageList_GetImageCount(items.ILAllPublicTV) - 1; i > 11; --i) {
        ImageList_Remove(items.ILAllPublicPM, i);
        ImageList_Remove(items.ILAllPublicTV, i);
    }
}

void WinAppSteps::AppendBreakPictures() {
    TFormItems& items = *Forms.FormItems;
    TFormShortCuts& sc = *Forms.FormShortCuts;
    for (HBITMAP b : {sc.ImageBreak3Small, sc.ImageBreak4Small, sc.ImageBreak5Small})
        ImageList_Add(items.ILAllPublicPM, b, nullptr);
    for (HBITMAP b : {sc.ImageBreak3Large, sc.ImageBreak4Large, sc.ImageBreak5Large})
        ImageList_Add(items.ILAllPublicTV, b, nullptr);
}

void WinAppSteps::SaveSettings() {
    // Settings module: SaveSettings is called here once it is part of the build.
}

void WinAppSteps::FreeScratchImages() { pv::FreeScratchImages(); }

void WinAppSteps::ReleaseInstanceMapping() { pv::ReleaseInstanceMapping(); }

void WinAppSteps::ProcessMessages() { Application::ProcessMessages(); }

void WinAppSteps::Terminate() { Application::Terminate(); }

}  // namespace pv
