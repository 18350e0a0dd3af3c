#include "prefs/form_about_win.h"

#include <commctrl.h>

#include <algorithm>

#include "../../res/resource.h"
#include "support/UkvGraphics_win.h"
#include "support/Wide_win.h"
#include "support/Window_win.h"

namespace pv {

namespace {

enum : int {
    kIdLogo = 1100,
    kIdLabelVer,
    kIdLabelDis,
    kIdBevel,
    kIdLabelUrl,
    kIdLabelMem,
    kIdProgress,
};

constexpr UINT_PTR kTimerMemId = 1;
constexpr int kLabelHeight = 18;


}  // namespace

MemoryStatus QueryMemoryStatus() {
    MemoryStatus s;
    MEMORYSTATUSEX ms = {};
    ms.dwLength = sizeof ms;
    if (GlobalMemoryStatusEx(&ms)) {
        s.loadPercent = static_cast<int>(ms.dwMemoryLoad);
        s.totalPhysBytes = ms.ullTotalPhys;
    }
    return s;
}

std::string SystemThousandSeparator() {
    char sep[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep) <= 1) return ",";
    return sep;
}

TFormAbout::TFormAbout(AppModel& model, IAboutBoxHost& host)
    : AppForm(model.settings.FontName), Handlers(Controls, host) {
    SetName("FormAbout");
}

TFormAbout::~TFormAbout() {
    Destroy();
    if (urlFont_) DeleteObject(urlFont_);
}

template <class Body>
void TFormAbout::Run(const char* sender, Body&& body) {
    if (Guard(sender, body)) Guard(sender, [this] { PushToControls(); });
}

HWND TFormAbout::MakeChild(int id, const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
    HWND hwnd = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                nullptr);
    if (!hwnd) childMissing_ = true;
    Place(hwnd, LayoutRect{x, y, w, h});
    return hwnd;
}

bool TFormAbout::MakeWindow() {
    if (!CreateDialogFrame("TFormAbout", 331, 172)) return false;
    HWND logo = MakeChild(kIdLogo, "STATIC", "", SS_ICON | SS_REALSIZECONTROL, 16, 8, 32, 32);
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PIVORA), IMAGE_ICON, 32, 32, LR_SHARED));
    if (logo && icon) SendMessageA(logo, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    MakeChild(kIdLabelVer, "STATIC", "", SS_NOPREFIX, 60, 8, 260, kLabelHeight);
    MakeChild(kIdLabelDis, "STATIC", "", SS_NOPREFIX, 60, 27, 260, kLabelHeight);
    // A bevel with only its bottom line: the etched line at the bevel's foot.
    MakeChild(kIdBevel, "STATIC", "", SS_ETCHEDHORZ, 16, 65 + 4 - 2, 289, 2);
    MakeChild(kIdLabelUrl, "STATIC", "", SS_NOPREFIX | SS_NOTIFY, 15, 73, 300, kLabelHeight);
    MakeChild(kIdLabelMem, "STATIC", "", SS_NOPREFIX, 16, 124, 300, kLabelHeight);
    HWND gauge = MakeChild(kIdProgress, PROGRESS_CLASSA, "", WS_BORDER, 16, 146, 289, 15);
    if (childMissing_) return false;
    SendMessageA(gauge, PBM_SETRANGE32, 0, 100);
    // The memory line at its longest: a full load of a terabyte.
    AddLongestText(Item(kIdLabelMem), MemoryText(MemoryStatus{100, 1024ull * 1024 * 1024 * 1024}, SystemThousandSeparator()));
    SetFont(Font());
    PushToControls();
    return true;
}

void TFormAbout::SetLabelUrlFont(const std::string& name, int size) {
    LabelUrlFont.name = name;
    LabelUrlFont.size = size;
    ApplyLabelUrlFont();
}

void TFormAbout::ApplyLabelUrlFont() {
    HWND url = Item(kIdLabelUrl);
    if (!url) return;
    HFONT base = CreateWindowFont(LabelUrlFont);
    if (!base) return;
    LOGFONTA lf = {};
    GetObjectA(base, sizeof lf, &lf);
    DeleteObject(base);
    lf.lfUnderline = TRUE;
    HFONT made = CreateFontIndirectA(&lf);
    if (!made) return;
    SendMessageA(url, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (urlFont_) DeleteObject(urlFont_);
    urlFont_ = made;
    // As wide as its text, so that the hand shows over the address only.
    // Once the box is laid out at its font and DPI.
    LayOutPlaced();
    HDC dc = GetDC(url);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, made);
        SIZE ext = {};
        const std::wstring address = Widen(Controls.LabelUrl);
        GetTextExtentPoint32W(dc, address.c_str(), static_cast<int>(address.size()), &ext);
        SelectObject(dc, old);
        ReleaseDC(url, dc);
        SetWindowPos(url, nullptr, 0, 0, ext.cx + 2, std::max<LONG>(ext.cy + 2, Scaled(kLabelHeight)),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TFormAbout::PushToControls() {
    if (!Handle() || !Item(kIdProgress)) return;
    const bool relayout = layoutFor_ != Controls.LabelVer + "\n" + Controls.LabelDis + "\n" + Controls.LabelUrl;
    SetTextIfChanged(Item(kIdLabelVer), Controls.LabelVer);
    SetTextIfChanged(Item(kIdLabelDis), Controls.LabelDis);
    SetTextIfChanged(Item(kIdLabelUrl), Controls.LabelUrl);
    if (relayout) {
        // The box grows where its texts need it.
        layoutFor_ = Controls.LabelVer + "\n" + Controls.LabelDis + "\n" + Controls.LabelUrl;
        ApplyLabelUrlFont();
    }
    SetTextIfChanged(Item(kIdLabelMem), Controls.LabelMemTotal);
    if (SendMessageA(Item(kIdProgress), PBM_GETPOS, 0, 0) != Controls.ProgressBarP)
        SendMessageA(Item(kIdProgress), PBM_SETPOS, static_cast<WPARAM>(Controls.ProgressBarP), 0);
    if (Controls.TimerMemEnabled && !timerRunning_) {
        timerRunning_ = SetTimer(Handle(), kTimerMemId, kTimerMemInterval, nullptr) != 0;
    } else if (!Controls.TimerMemEnabled && timerRunning_) {
        KillTimer(Handle(), kTimerMemId);
        timerRunning_ = false;
    }
}

void TFormAbout::FormShow() {
    Run("FormAbout", [this] { Handlers.FormShow(); });
}

void TFormAbout::FontChanged() {
    // SetFont reached LabelUrl too; it keeps its own font.
    ApplyLabelUrlFont();
}

LRESULT TFormAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kTimerMemId) Run("TimerMem", [this] { Handlers.TimerMemTimer(); });
            return 0;
        case WM_CLOSE:
            Run("FormAbout", [this] { Handlers.FormClose(); });
            return AppForm::HandleMessage(msg, wParam, lParam);
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdLabelUrl && HIWORD(wParam) == STN_CLICKED)
                Run("LabelUrl", [this] { Handlers.LabelUrlClick(); });
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Item(kIdLabelUrl)) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            return AppForm::HandleMessage(msg, wParam, lParam);
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Item(kIdLabelUrl)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            return AppForm::HandleMessage(msg, wParam, lParam);
        case WM_PAINT: {
            // PanelAbout: the client area in a lowered outer and a raised inner bevel.
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT r;
            GetClientRect(Handle(), &r);
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            EndPaint(Handle(), &ps);
            FormPaint();
            return 0;
        }
        default:
            return AppForm::HandleMessage(msg, wParam, lParam);
    }
}

}  // namespace pv
