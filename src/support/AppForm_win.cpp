#include "support/AppForm_win.h"

#include "support/DisplayScale_win.h"
#include "support/UkvGraphics_win.h"

namespace pv {

AppForm::~AppForm() {
    Destroy();
    if (hfont_) DeleteObject(hfont_);
}

void AppForm::SetCaptionPainting(bool on) {
    paintCaption_ = on;
    if (Handle()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

namespace {
// The window font at the window's DPI (not the screen's: another monitor may
// have another).
HFONT CreateFontAtDpi(const WindowFont& font, int dpi) {
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(font.size, dpi, 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}
}  // namespace

void AppForm::SetFont(const WindowFont& font) {
    font_ = font;
    if (Handle()) dpi_ = DpiOfWindow(Handle());
    HFONT made = Handle() ? CreateFontAtDpi(font, dpi_) : CreateWindowFont(font);
    if (!made) return;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (hfont_) DeleteObject(hfont_);
    hfont_ = made;
    FontChanged();
}

void AppForm::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (Handle()) SetWindowTextA(Handle(), caption.c_str());
}

LONG_PTR AppForm::ExStyle(LONG_PTR ex) const {
    ex &= ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);
    return ownButton_ ? ex | WS_EX_APPWINDOW : ex;
}

void AppForm::SetTaskBarButton(bool own, HWND owner) {
    ownButton_ = own;
    owner_ = owner;
    if (!Handle()) return;
    // The shell looks at the button when the window is shown next; the
    // settings hide the open windows around this change.
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, ExStyle(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Owner()));
}

bool AppForm::EnsureWindow() { return Handle() || MakeWindow(); }

bool AppForm::CreateDialogFrame(const char* className, int width, int height) {
    if (!Window::Create(className, caption_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        static_cast<DWORD>(ExStyle(WS_EX_DLGMODALFRAME)), CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, Owner()))
        return false;
    clientWidth_ = width;
    clientHeight_ = height;
    dpi_ = DpiOfWindow(Handle());
    scale_ = LayoutScale(dpi_, {});
    SetDarkTitleBar(Handle(), AppsUseDarkTheme());
    PlaceCentred(Scaled(width), Scaled(height));
    return true;
}

LayoutNeed AppForm::NeedOf(HWND child, const LayoutRect& base, const std::string& text) const {
    LayoutNeed need;
    need.base = base;
    if (!child || text.empty()) return need;
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    UINT flags = DT_SINGLELINE | DT_CALCRECT;
    bool widthCounts = true;
    if (lstrcmpiA(cls, "Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_3STATE:
            case BS_AUTO3STATE:
            case BS_AUTORADIOBUTTON:
                // The box, the gap after it and the focus frame.
                need.extraWidth = ScaleToDpi(22, dpi_);
                break;
            case BS_GROUPBOX:
                need.extraWidth = ScaleToDpi(20, dpi_);
                break;
            default:
                need.extraWidth = ScaleToDpi(12, dpi_);
                break;
        }
        need.extraHeight = ScaleToDpi(2, dpi_);
    } else if (lstrcmpiA(cls, "Static") == 0) {
        const LONG_PTR kind = style & SS_TYPEMASK;
        if (kind == SS_OWNERDRAW) need.extraWidth = ScaleToDpi(8, dpi_);
        if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
        // A static that shortens its text with an ellipsis shows the whole of
        // it on hover: it asks for the height only.
        if (style & SS_ELLIPSISMASK) widthCounts = false;
    } else {
        flags |= DT_NOPREFIX;
        need.extraWidth = ScaleToDpi(8, dpi_);
        need.extraHeight = ScaleToDpi(4, dpi_);
    }
    HDC dc = GetDC(child);
    if (!dc) return need;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    if (!font) font = hfont_;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    if (old) SelectObject(dc, old);
    ReleaseDC(child, dc);
    need.textWidth = widthCounts ? r.right - r.left : 0;
    need.textHeight = r.bottom - r.top;
    return need;
}

void AppForm::Fit(const std::vector<LayoutNeed>& needs) {
    if (Handle()) dpi_ = DpiOfWindow(Handle());
    scale_ = LayoutScale(dpi_, needs);
    HWND h = Handle();
    if (!h || clientWidth_ <= 0) return;
    RECT r = {0, 0, Scaled(clientWidth_), Scaled(clientHeight_)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE)));
    SetWindowPos(h, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppForm::Place(HWND child, const LayoutRect& base) {
    if (!child) return;
    for (Placed& p : placed_)
        if (p.hwnd == child) {
            p.base = base;
            return;
        }
    placed_.push_back(Placed{child, base, {}});
}

void AppForm::AddLongestText(HWND child, const std::string& text) {
    for (Placed& p : placed_)
        if (p.hwnd == child) p.longest.push_back(text);
}

void AppForm::LayOutPlaced(const std::vector<LayoutNeed>& extra) {
    std::vector<LayoutNeed> needs(extra);
    for (const Placed& p : placed_) {
        const int n = GetWindowTextLengthA(p.hwnd);
        std::string now(static_cast<size_t>(n) + 1, '\0');
        GetWindowTextA(p.hwnd, &now[0], n + 1);
        now.resize(static_cast<size_t>(n));
        needs.push_back(NeedOf(p.hwnd, p.base, now));
        for (const std::string& t : p.longest) needs.push_back(NeedOf(p.hwnd, p.base, t));
    }
    Fit(needs);
    for (const Placed& p : placed_) {
        const LayoutRect r = Scaled(p.base);
        MoveWindow(p.hwnd, r.left, r.top, r.width, r.height, TRUE);
    }
}

void AppForm::Present() {
    if (!EnsureWindow()) return;
    const bool wasHidden = !IsWindowVisible(Handle());
    if (wasHidden) {
        // At the size its layout gave it.
        RECT client = {0, 0, 0, 0};
        GetClientRect(Handle(), &client);
        if (client.right > 0 && client.bottom > 0)
            PlaceCentred(client.right, client.bottom);
        else
            PlaceCentred(Scaled(clientWidth_), Scaled(clientHeight_));
    }
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    // Only a window that becomes visible is shown; one already open comes to the front.
    if (wasHidden) FormShow();
}

void AppForm::ShowAgain() {
    if (!EnsureWindow()) return;
    ShowWindow(Handle(), SW_SHOW);
    FormShow();
}

void AppForm::PlaceCentred(int width, int height) {
    HWND h = Handle();
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE)));
    const int w = r.right - r.left;
    const int hgt = r.bottom - r.top;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - w) / 2;
    const int y = work.top + (work.bottom - work.top - hgt) / 2;
    SetWindowPos(h, nullptr, x, y, w, hgt, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppForm::FormActivate() {
    if (!paintCaption_) return;
    PaintFormCaption(Handle(), TitleText, captionFont_);
}

void AppForm::FormPaint() { FormActivate(); }

LRESULT AppForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            // Created once, afterwards only shown and hidden.
            ShowWindow(Handle(), SW_HIDE);
            return 0;
        case WM_NCPAINT:
        case WM_NCACTIVATE:
        case WM_ACTIVATE: {
            // The system repaints the caption bar on these; the title goes on top.
            const LRESULT r = Window::HandleMessage(msg, wParam, lParam);
            FormActivate();
            return r;
        }
        case WM_PAINT: {
            const LRESULT r = Window::HandleMessage(msg, wParam, lParam);
            FormPaint();
            return r;
        }
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            dpi_ = HIWORD(wParam);
            SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            DpiChanged();
            return 0;
        }
        case WM_SETTINGCHANGE:
            if (IsColorSetChange(lParam)) {
                SetDarkTitleBar(Handle(), AppsUseDarkTheme());
                RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            }
            return Window::HandleMessage(msg, wParam, lParam);
        default:
            return Window::HandleMessage(msg, wParam, lParam);
    }
}

}  // namespace pv
