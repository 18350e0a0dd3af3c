#include "app/InitFinit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/form_general_win.h"
#include "manager/form_items_win.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"
#include "menu/SystemMenu.h"
#include "store/StoreLoader.h"
#include "support/Platform_win.h"
#include "support/SettingsStores_win.h"
#include "support/UkvGraphics_win.h"
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

// ---------------------------------------------------------------- settings

namespace {

class HotKeyOfFormGeneral : public IHotKey {
public:
    int HotKey() override { return Forms.FormGeneral->JvApplicationHotKey.HotKey(); }
    void SetHotKey(int value) override {
        Forms.FormGeneral->JvApplicationHotKey.SetHotKey(static_cast<uint16_t>(value));
    }
};

class ApplicationPump : public IMessagePump {
public:
    void ProcessMessages() override { Application::ProcessMessages(); }
};

struct SettingsHost {
    WinProfile profile;
    WinRegistry registry;
    WinFileSystem fs;
    WinSystem system;
    WinMessageUI ui;
    HotKeyOfFormGeneral hotKey;
    ApplicationPump pump;
    Settings settings;

    explicit SettingsHost(FormConfigControls& config)
        : settings(SettingsServices{profile, registry, fs, system, ui, hotKey, pump}, config) {}
};

std::unique_ptr<SettingsHost> g_settings;

AppForm* FormOf(AppWindow w) {
    switch (w) {
        case AppWindow::FormConfig:
            return Forms.FormConfig;
        case AppWindow::FormItems:
            return Forms.FormItems;
        case AppWindow::FormAbout:
            return Forms.FormAbout;
    }
    return nullptr;
}

}  // namespace

Settings* AppSettings() { return g_settings ? &g_settings->settings : nullptr; }

void CreateAppSettings() { g_settings = std::make_unique<SettingsHost>(Forms.FormConfig->Controls); }

void DestroyAppSettings() { g_settings.reset(); }

bool WinAppWindows::IsVisible(AppWindow w) { return IsWindowVisible(FormOf(w)->Handle()) != FALSE; }

void WinAppWindows::Hide(AppWindow w) { ShowWindow(FormOf(w)->Handle(), SW_HIDE); }

void WinAppWindows::Show(AppWindow w) { ShowWindow(FormOf(w)->Handle(), SW_SHOW); }

std::string WinAppWindows::TitleText(AppWindow w) { return FormOf(w)->TitleText; }

void WinAppWindows::SetCaption(AppWindow w, const std::string& caption) { FormOf(w)->SetCaption(caption); }

WindowFont WinAppWindows::GetFont(AppWindow w) { return FormOf(w)->Font(); }

void WinAppWindows::SetFont(AppWindow w, const WindowFont& font) { FormOf(w)->SetFont(font); }

WindowFont WinAppWindows::SystemMenuFont() {
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    WindowFont f{"MS Sans Serif", 8, false};
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return f;
    f.name = ncm.lfMenuFont.lfFaceName;
    HDC dc = GetDC(nullptr);
    const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    const int height = ncm.lfMenuFont.lfHeight < 0 ? -ncm.lfMenuFont.lfHeight : ncm.lfMenuFont.lfHeight;
    if (height > 0) f.size = MulDiv(height, 72, ppi);
    return f;
}

void WinAppWindows::BindCaptionPainting(AppWindow w, bool bind) { FormOf(w)->SetCaptionPainting(bind); }

void WinAppWindows::BindApplicationActivate(bool bind) { Forms.FormGeneral->ActivateBound = bind; }

void WinAppWindows::SetApplicationExStyle(uint32_t exStyle) {
    // There is no separate application window: the task-bar button belongs to
    // whichever of the three windows is shown, so each gets the style.
    for (AppWindow w : {AppWindow::FormConfig, AppWindow::FormItems, AppWindow::FormAbout}) {
        HWND hwnd = FormOf(w)->Handle();
        LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
        if (exStyle & WS_EX_TOOLWINDOW)
            ex = (ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
        else
            ex = (ex & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW)) | WS_EX_APPWINDOW;
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex);
    }
}

void WinAppWindows::SetLabelUrlFont(const std::string& name, int size) {
    Forms.FormAbout->LabelUrlFont.name = name;
    Forms.FormAbout->LabelUrlFont.size = size;
}

void WinAppWindows::ConfigControlsChanged() { Forms.FormConfig->PushToControls(); }

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
    uint32_t* bits = nullptr;
    HBITMAP bmp = Create32BitDib(width, height, &bits);
    if (!bits) return bmp;
    std::fill(bits, bits + width * height, DibPixel(color));
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

void WinAppSteps::LoadSettings() { AppSettings()->LoadSettings(); }

void WinAppSteps::SetMessageTable(const std::map<int, std::string>& table) {
    Forms.FormGeneral->AEGeneral().MessageTable = table;
}

void WinAppSteps::CreateScratchImages() { pv::CreateScratchImages(); }

void WinAppSteps::CopySystemMenu() {
    TFormItems& items = *Forms.FormItems;
    pv::CopySystemMenu(items.PictureMarks, items.TVBasic, items.TVItems, items.PMBasic, items.PMItems);
}

void WinAppSteps::CheckItemStore() {
    StoreContext c = Forms.FormItems->MakeStoreContext();
    pv::CheckItemStore(c);
}

void WinAppSteps::LoadItemStore() {
    StoreContext c = Forms.FormItems->MakeStoreContext();
    pv::LoadItemStore(c);
}

void WinAppSteps::ApplyVisualSettings() {
    WinAppWindows windows;
    AppSettings()->ApplyVisualSettings(windows);
}

void WinAppSteps::AssignMenuDrawHandlers() {
    pv::AssignMenuDrawHandlers(Forms.FormItems->PMItems.root, AppSettings()->WindowsDraw);
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

void WinAppSteps::ClearItemTable() { Forms.FormItems->Items.Clear(); }

void WinAppSteps::ClearTreesAndMenu() {
    TFormItems& items = *Forms.FormItems;
    items.TVItems.tag = 0;
    items.TVUndo.tag = 0;
    items.PictureMarks.itemIconCount = 0;
    items.TVItems.Clear();
    items.TVUndo.Clear();
    items.PMItems.root.Clear();
    items.PMItems.root.tag = 0;
}

void WinAppSteps::DeleteAddedPictures() { Forms.FormItems->Pictures.DeleteAbove(kLastFixedPicture); }

void WinAppSteps::AppendBreakPictures() { Forms.FormItems->Pictures.AppendBreakPictures(); }

void WinAppSteps::SaveSettings() { AppSettings()->SaveSettings(); }

void WinAppSteps::FreeScratchImages() { pv::FreeScratchImages(); }

void WinAppSteps::ReleaseInstanceMapping() { pv::ReleaseInstanceMapping(); }

void WinAppSteps::ProcessMessages() { Application::ProcessMessages(); }

void WinAppSteps::Terminate() { Application::Terminate(); }

bool WinAppSteps::Terminated() { return Application::Terminated(); }

}  // namespace pv
