#include "menu/form_find_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "support/DisplayScale_win.h"
#include "support/StepClock_win.h"

namespace pv {

namespace {
constexpr UINT_PTR kEditSubclass = 1;
constexpr int kEditId = 1, kScopeId = 2, kListId = 3;
}  // namespace

std::wstring WideFromText(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int len = static_cast<int>(text.size());
    UINT page = CP_UTF8;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), len, nullptr, 0);
    if (n <= 0) {
        page = CP_ACP;
        n = MultiByteToWideChar(CP_ACP, 0, text.data(), len, nullptr, 0);
    }
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(page, page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text.data(), len, &out[0], n);
    return out;
}

std::string TextFromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int len = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), len, &out[0], n, nullptr, nullptr);
    return out;
}

std::string TextFromAnsiChar(char ch) {
    wchar_t w[2] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, &ch, 1, w, 2);
    return n > 0 ? TextFromWide(std::wstring(w, static_cast<size_t>(n))) : std::string();
}

bool MenuWindowPlace(HWND owner, HMENU menu, POINT& topLeft) {
    RECT item;
    // No window: the rectangle comes in screen coordinates of the popup itself.
    (void)owner;
    if (!GetMenuItemRect(nullptr, menu, 0, &item)) return false;
    const POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    HWND w = WindowFromPoint(centre);
    char cls[16] = "";
    if (w) GetClassNameA(w, cls, sizeof cls);
    RECT r;
    if (w && std::strcmp(cls, "#32768") == 0 && GetWindowRect(w, &r)) {
        topLeft = POINT{r.left, r.top};
    } else {
        topLeft = POINT{item.left - 3, item.top - 3};
    }
    return true;
}

TFormFind::TFormFind(AppModel& model, WinPictureLists& pictures) : m_(model), pictures_(pictures) {
    SetName("FormFind");
}

TFormFind::~TFormFind() {
    Destroy();
    if (font_) DeleteObject(font_);
    if (background_) DeleteObject(background_);
}

bool TFormFind::CreateOnce() {
    if (Handle()) return true;
    // A tool window has no task-bar button; the background is painted in the
    // menu's colour (WM_ERASEBKGND).
    if (!Window::Create("TFormFind", "Find", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
                        WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, geo_.width, 40, Owner ? Owner->Handle() : nullptr))
        return false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 10, 10,
                            Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), inst, nullptr);
    scope_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 10, 10,
                             Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScopeId)), inst, nullptr);
    list_ = CreateWindowExW(0, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 10,
                            10, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), inst, nullptr);
    if (!edit_ || !scope_ || !list_) return false;
    SetWindowSubclass(edit_, EditProc, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

void TFormFind::UpdateLook(POINT at) {
    // The tray menu's font at the DPI of the monitor Find opens on: the
    // system's when Windows draws the menu, else the program's.
    dpi_ = DpiAtPoint(at);
    MenuDrawSettings s;
    s.fontName = m_.settings.FontName;
    s.fontSize = m_.settings.FontSize;
    s.fontBold = m_.settings.FontStyleBold;
    FontSpec spec = MenuFont(s, dpi_);
    if (m_.settings.WindowsDraw) spec = FontSpec{true, "", 0, false, 0};
    if (!font_ || !(spec == fontSpec_)) {
        if (font_) DeleteObject(font_);
        font_ = CreateMenuFont(spec);
        fontSpec_ = spec;
        fontHeight_ = 13;
        HDC dc = GetDC(nullptr);
        if (dc && font_) {
            HGDIOBJ old = SelectObject(dc, font_);
            TEXTMETRICA tm;
            if (GetTextMetricsA(dc, &tm)) fontHeight_ = tm.tmHeight;
            SelectObject(dc, old);
        }
        if (dc) ReleaseDC(nullptr, dc);
        for (HWND h : {edit_, scope_, list_}) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    geo_ = FindGeometryFor(dpi_, fontHeight_);
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, geo_.rowHeight);
    // The menu's colours: dark when the desktop's apps are, as the menu is.
    palette_ = CurrentMenuPalette(m_.settings.WindowsDraw);
    if (background_) DeleteObject(background_);
    background_ = CreateSolidBrush(palette_.Color(kColorMenu));
}

void TFormFind::FormShow(int x, int y, const std::string& text) {
    StepClock clock;
    auto timed = [&](const char* what) {
        const double ms = clock.Lap();
        if (OnTiming) OnTiming(what, ms);
    };
    if (!CreateOnce()) return;
    UpdateLook(POINT{x, y});
    timed("  find window and font");
    model_.Open(m_.PMItems, m_.Items, text);
    timed("  find index and rows");
    x_ = x;
    y_ = y;
    // Laid out first: a field still narrow would scroll the typed text out of view.
    PushRows();
    timed("  find rows pushed");
    pushing_ = true;
    SetWindowTextW(edit_, WideFromText(model_.Controls.EditText).c_str());
    pushing_ = false;
    const int end = GetWindowTextLengthW(edit_);
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(edit_);
    UpdateWindow(Handle());
    timed("  find window shown and painted");
    if (OnTiming) OnTiming("find shown", clock.Total());
}

void TFormFind::FormHide() {
    if (Handle() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

bool TFormFind::Shown() const { return Handle() && IsWindowVisible(Handle()); }

bool TFormFind::TypeAhead(char ch) {
    if (!Shown() || static_cast<unsigned char>(ch) < 0x20) return false;
    SendMessageA(edit_, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), 0);
    return true;
}

void TFormFind::MenuChanged() {
    FormHide();
    // Rows point into the menu that goes now.
    if (list_) SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    model_.Controls.Rows.clear();
    model_.MenuChanged();
}

void TFormFind::PushRows() {
    const FormFindControls& c = model_.Controls;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < c.Rows.size(); ++i) SendMessageW(list_, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    // The list keeps no selection of its own, so that a click on any row,
    // the highlighted one too, reports itself; the highlight is the model's.
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    SetWindowTextW(scope_, WideFromText(c.ScopeText.empty() ? "" : c.ScopeText + kFindPathSeparator).c_str());
    ShowWindow(scope_, c.ScopeText.empty() ? SW_HIDE : SW_SHOWNA);
    Layout();
    InvalidateRect(list_, nullptr, TRUE);
}

void TFormFind::Layout() {
    const FormFindControls& c = model_.Controls;
    const int inner = geo_.width;
    const int margin = geo_.margin;
    int y = margin;
    MoveWindow(edit_, margin, y, inner - 2 * margin, geo_.editHeight, FALSE);
    y += geo_.editHeight + margin;
    if (!c.ScopeText.empty()) {
        const int scopeHeight = fontHeight_ + ScaleToDpi(2, dpi_);
        MoveWindow(scope_, margin + ScaleToDpi(2, dpi_), y, inner - 2 * margin - ScaleToDpi(2, dpi_), scopeHeight,
                   FALSE);
        y += scopeHeight;
    }
    const int listHeight = static_cast<int>(c.Rows.size()) * geo_.rowHeight;
    MoveWindow(list_, 0, y, inner, listHeight, FALSE);
    ShowWindow(list_, listHeight > 0 ? SW_SHOWNA : SW_HIDE);
    if (listHeight > 0) y += listHeight;
    RECT r = {0, 0, inner, y};
    AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    const int w = r.right - r.left, h = r.bottom - r.top;
    // Kept inside the work area of the monitor it opens on.
    int x = x_, top = y_;
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(MonitorFromPoint(POINT{x_, y_}, MONITOR_DEFAULTTONEAREST), &mi)) {
        x = std::max(static_cast<int>(mi.rcWork.left), std::min(x, static_cast<int>(mi.rcWork.right) - w));
        top = std::max(static_cast<int>(mi.rcWork.top), std::min(top, static_cast<int>(mi.rcWork.bottom) - h));
    }
    SetWindowPos(Handle(), HWND_TOPMOST, x, top, w, h, SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TFormFind::Apply(const FindOutcome& out) {
    if (out.textChanged) {
        pushing_ = true;
        SetWindowTextW(edit_, WideFromText(model_.Controls.EditText).c_str());
        pushing_ = false;
    }
    if (out.launch) {
        // Out of the way first, so that the started program comes to the front.
        const MenuEntry& entry = *out.launch;
        FormHide();
        if (OnLaunch) OnLaunch(entry);
        return;
    }
    if (out.close) {
        FormHide();
        return;
    }
    PushRows();
    SetFocus(edit_);
}

bool TFormFind::EditKeyDown(WPARAM key) {
    FindKey k;
    switch (key) {
        case VK_UP: k = FindKey::Up; break;
        case VK_DOWN: k = FindKey::Down; break;
        case VK_PRIOR: k = FindKey::PageUp; break;
        case VK_NEXT: k = FindKey::PageDown; break;
        case VK_RETURN: k = FindKey::Enter; break;
        case VK_ESCAPE: k = FindKey::Escape; break;
        case VK_BACK: k = FindKey::Backspace; break;
        default: return false;
    }
    const FindOutcome out = model_.KeyDown(k);
    if (!out.handled) return false;
    Apply(out);
    return true;
}

void TFormFind::EditChange() {
    if (pushing_) return;
    const int n = GetWindowTextLengthW(edit_);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(edit_, &text[0], n + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    model_.EditChange(TextFromWide(text));
    PushRows();
}

LRESULT CALLBACK TFormFind::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) {
    auto* form = reinterpret_cast<TFormFind*>(self);
    bool handled = false;
    Guard(form->Name().c_str(), [&] {
        if (msg == WM_KEYDOWN) handled = form->EditKeyDown(wParam);
        // The characters of keys taken above would only make the field beep.
        if (msg == WM_CHAR && (wParam == '\r' || wParam == 0x1B || wParam == '\n')) handled = true;
    });
    if (handled) return 0;
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, EditProc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TFormFind::DrawRow(const DRAWITEMSTRUCT& dis) {
    const FormFindControls& c = model_.Controls;
    if (dis.itemID == static_cast<UINT>(-1) || dis.itemID >= c.Rows.size()) return;
    const FindRow& row = c.Rows[dis.itemID];
    const bool selected = static_cast<int>(dis.itemID) == c.Selected;
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const auto colour = [this](int index) { return static_cast<COLORREF>(palette_.Color(index)); };
    SetDCBrushColor(dc, colour(selected ? kColorHighlight : kColorMenu));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    HGDIOBJ oldFont = font_ ? SelectObject(dc, font_) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    RECT text = {r.left + geo_.textLeft, r.top, r.right - geo_.margin - ScaleToDpi(2, dpi_), r.bottom};
    if (row.kind != FindRowKind::Entry) {
        SetTextColor(dc, colour(kColorGrayText));
        const std::wstring w = WideFromText(row.text);
        DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &text, flags);
    } else {
        const int size = geo_.pictureSize;
        if (row.imageIndex >= 0) {
            pictures_.RealizeAt(row.imageIndex, size);
            if (HIMAGELIST images = pictures_.MenuAt(size))
                ImageList_Draw(images, row.imageIndex, dc, r.left + geo_.pictureLeft,
                               r.top + (r.bottom - r.top - size) / 2, ILD_TRANSPARENT);
        }
        const std::wstring name = WideFromText(row.text);
        const std::wstring path = WideFromText(row.path);
        RECT nameSize = text, pathSize = text;
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameSize, flags | DT_CALCRECT);
        if (!path.empty()) DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &pathSize, flags | DT_CALCRECT);
        const int avail = static_cast<int>(text.right - text.left);
        const int nameWidth = static_cast<int>(nameSize.right - nameSize.left);
        const int pathWidth = path.empty() ? 0 : static_cast<int>(pathSize.right - pathSize.left);
        // The name has the room it needs, or at least half; the path the rest.
        int nameRoom = avail;
        if (!path.empty()) nameRoom = std::min(nameWidth, std::max(avail / 2, avail - geo_.gap - pathWidth));
        RECT nameRect = {text.left, text.top, text.left + nameRoom, text.bottom};
        SetTextColor(dc, colour(selected ? kColorHighlightText : kColorMenuText));
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameRect, flags);
        if (!path.empty()) {
            RECT pathRect = {text.left + nameRoom + geo_.gap, text.top, text.right, text.bottom};
            SetTextColor(dc, colour(selected ? kColorHighlightText : kColorGrayText));
            DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &pathRect, flags | DT_RIGHT);
        }
    }
    if (oldFont) SelectObject(dc, oldFont);
}

LRESULT TFormFind::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            // A click elsewhere, another window to the front: Find is done.
            if (LOWORD(wParam) == WA_INACTIVE) FormHide();
            return 0;
        case WM_CLOSE:
            FormHide();
            return 0;
        case WM_SETFOCUS:
            // The keyboard belongs to the field.
            if (edit_) SetFocus(edit_);
            return 0;
        case WM_CHAR:
            // Typed while the window itself had the focus for a moment.
            if (TypeAhead(static_cast<char>(wParam))) return 0;
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
                EditChange();
                return 0;
            }
            if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) {
                const int row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
                Apply(model_.RowClick(row));
                return 0;
            }
            break;
        case WM_DRAWITEM: {
            const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis.CtlType == ODT_LISTBOX) {
                DrawRow(dis);
                return TRUE;
            }
            break;
        }
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(Handle(), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, background_ ? background_ : GetSysColorBrush(COLOR_MENU));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            // In the menu's colours; the field's text as the menu's, the scope greyed.
            if (background_) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                const bool scope = reinterpret_cast<HWND>(lParam) == scope_;
                SetTextColor(dc, static_cast<COLORREF>(palette_.Color(scope ? kColorGrayText : kColorMenuText)));
                SetBkColor(dc, static_cast<COLORREF>(palette_.Color(kColorMenu)));
                return reinterpret_cast<LRESULT>(background_);
            }
            break;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
