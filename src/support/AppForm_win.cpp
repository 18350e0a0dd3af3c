#include "support/AppForm_win.h"

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

void AppForm::SetFont(const WindowFont& font) {
    font_ = font;
    HFONT made = CreateWindowFont(font);
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
    PlaceCentred(width, height);
    return true;
}

void AppForm::Present() {
    if (!EnsureWindow()) return;
    const bool wasHidden = !IsWindowVisible(Handle());
    if (wasHidden) PlaceCentred(clientWidth_, clientHeight_);
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
        default:
            return Window::HandleMessage(msg, wParam, lParam);
    }
}

}  // namespace pv
