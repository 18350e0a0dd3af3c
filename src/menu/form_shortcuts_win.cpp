#include "menu/form_shortcuts_win.h"
#include "support/StepClock_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "../../res/resource.h"
#include "support/DisplayScale_win.h"
#include "support/Wide_win.h"

namespace pv {

// ---------------------------------------------------------------- realising a menu

RealisedMenu::~RealisedMenu() {
    if (menu) DestroyMenu(menu);  // submenus go with it
}

MenuEntry* RealisedMenu::EntryOfCommand(UINT id) const {
    if (id == 0 || id > commands.size()) return nullptr;
    return commands[id - 1];
}

namespace {

bool IsOwnerDrawn(const MenuEntry& e) {
    return e.onDraw != DrawHandler::None || e.onMeasure != MeasureHandler::None;
}

void AddEntries(HMENU target, const MenuEntry& parent, RealisedMenu& out) {
    HIMAGELIST images = out.images;
    const int pictureCount = images ? ImageList_GetImageCount(images) : 0;
    for (int i = 0; i < parent.Count(); ++i) {
        MenuEntry& e = *parent.Child(i);
        if (!e.visible) continue;

        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        if (e.tag == kTagPlainSeparator) {
            // Plain separators are measured and drawn by the system, unless the
            // menu is in colours of its own.
            mii.fMask = MIIM_FTYPE;
            mii.fType = MFT_SEPARATOR;
            if (out.drawSeparators) {
                mii.fMask |= MIIM_DATA;
                mii.fType |= MFT_OWNERDRAW;
                mii.dwItemData = reinterpret_cast<ULONG_PTR>(&e);
            }
            InsertMenuItemA(target, GetMenuItemCount(target), TRUE, &mii);
            continue;
        }

        out.commands.push_back(&e);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
        mii.wID = static_cast<UINT>(out.commands.size());
        mii.fState = e.enabled ? MFS_ENABLED : MFS_DISABLED;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(&e);
        std::string text;
        if (IsOwnerDrawn(e)) {
            // Drawn by the program, read by screen readers (GetMenuString).
            mii.fType = MFT_OWNERDRAW;
            text = MenuItemText(e.caption);
            mii.fMask |= MIIM_STRING;
            mii.dwTypeData = const_cast<char*>(text.c_str());
            mii.cch = static_cast<UINT>(text.size());
        } else {
            mii.fType = MFT_STRING;
            mii.fMask |= MIIM_STRING;
            mii.dwTypeData = const_cast<char*>(e.caption.c_str());
            mii.cch = static_cast<UINT>(e.caption.size());
            if (e.imageIndex >= 0 && e.imageIndex < pictureCount) {
                // The picture is drawn on request (WM_DRAWITEM for the bitmap), so
                // that its alpha falls on the real background, highlighted or not.
                mii.fMask |= MIIM_BITMAP;
                mii.hbmpItem = HBMMENU_CALLBACK;
            }
        }
        if (e.HasChildren()) {
            HMENU sub = CreatePopupMenu();
            out.unfilled.emplace_back(sub, &e);
            mii.fMask |= MIIM_SUBMENU;
            mii.hSubMenu = sub;
        }
        InsertMenuItemA(target, GetMenuItemCount(target), TRUE, &mii);
    }
}

}  // namespace

bool RealisedMenu::FillSubmenu(HMENU sub) {
    for (size_t i = 0; i < unfilled.size(); ++i) {
        if (unfilled[i].first != sub) continue;
        const MenuEntry* entry = unfilled[i].second;
        unfilled.erase(unfilled.begin() + static_cast<std::ptrdiff_t>(i));
        AddEntries(sub, *entry, *this);
        return true;
    }
    return false;
}

void RealiseMenuTree(const MenuEntry& root, RealisedMenu& out, HIMAGELIST images, bool drawSeparators) {
    if (out.menu) DestroyMenu(out.menu);
    out.commands.clear();
    out.unfilled.clear();
    out.images = images;
    out.drawSeparators = drawSeparators;
    out.menu = CreatePopupMenu();
    AddEntries(out.menu, root, out);
}

// ---------------------------------------------------------------- TFormShortCuts

namespace {
// The request the message filter posts to this window: the context menu of
// the entry the right button was released on.
constexpr UINT WMAPP_ENTRYMENU = WM_APP + 2;
// The window whose menu is tracked, for the message filter (a system callback
// has no other way to find it); set only while the menu runs.
TFormShortCuts* filtering = nullptr;
HHOOK filterHook = nullptr;

HBITMAP LoadPicture(int id) {
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
}  // namespace

TFormShortCuts::TFormShortCuts(AppModel& model, WinPictureLists& pictures) : m_(model), pictures_(pictures) {
    SetName("FormShortCuts");
}

TFormShortCuts::~TFormShortCuts() {
    Destroy();
    if (background_) DeleteObject(background_);
    for (HBITMAP* set : {Breaks.small, Breaks.large}) {
        for (int i = 0; i < 3; ++i) {
            if (set[i]) DeleteObject(set[i]);
            set[i] = nullptr;
        }
    }
}

bool TFormShortCuts::Create() {
    StepClock clock;
    // Never shown, and no menu or dialog is owned by it: a message-only window,
    // for which the system makes no window on the display (under Wine the
    // costliest part of start-up's windows after the tray icon).
    if (!Window::Create("TFormShortCuts", "FormShortCuts", 0, 0, 0, 0, 0, 0, HWND_MESSAGE)) return false;
    const double windowMs = clock.Lap();
    const int small[3] = {IDB_PM_BREAK3, IDB_PM_BREAK4, IDB_PM_BREAK5};
    const int large[3] = {IDB_TV_BREAK3, IDB_TV_BREAK4, IDB_TV_BREAK5};
    for (int i = 0; i < 3; ++i) {
        Breaks.small[i] = LoadPicture(small[i]);
        Breaks.large[i] = LoadPicture(large[i]);
    }
    if (OnTiming) {
        OnTiming("    its window", windowMs);
        OnTiming("    break pictures", clock.Lap());
    }
    return true;
}

MenuEntry* TFormShortCuts::TrackMenu(PopupMenu& menu, HWND owner, POINT pt, UINT align, const RECT* exclude) {
    const StepClock clock;
    // Measured and drawn for the monitor the menu opens on, in the colours the
    // desktop asks for now.
    dpi_ = DpiAtPoint(pt);
    palette_ = CurrentMenuPalette(m_.settings.WindowsDraw);
    RealisedMenu realised;
    RealiseMenuTree(menu.root, realised, pictures_.Menu(), !palette_.UsesSystemColors());
    tracked_ = &realised;
    // Tags and handlers may have changed since the last pop-up.
    menu.root.ForgetLayout();
    measure_ = std::make_unique<WinMenuTextMeasure>(dpi_);
    if (background_) DeleteObject(background_);
    background_ = nullptr;
    if (!palette_.UsesSystemColors()) {
        background_ = CreateSolidBrush(palette_.Color(kColorMenu));
        MENUINFO mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
        mi.hbrBack = background_;
        SetMenuInfo(realised.menu, &mi);
    }
    if (OnTiming) OnTiming("tray menu made", clock.Total());
    TPMPARAMS params = {};
    params.cbSize = sizeof params;
    if (exclude) params.rcExclude = *exclude;
    owner_ = owner;
    selectedId_ = 0;
    selectedMenu_ = nullptr;
    // A request the last menu ended before is not this menu's.
    entryMenuFor_ = nullptr;
    choice_.Reset();
    filtering = this;
    filterHook = SetWindowsHookExA(WH_MSGFILTER, MenuFilterHook, nullptr, GetCurrentThreadId());
    const UINT id = static_cast<UINT>(TrackPopupMenuEx(realised.menu, align | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                       pt.x, pt.y, owner, exclude ? &params : nullptr));
    if (filterHook) UnhookWindowsHookEx(filterHook);
    filterHook = nullptr;
    filtering = nullptr;
    measure_.reset();
    tracked_ = nullptr;
    entryMenu_.root.Clear();
    if (MenuEntry* instead = choice_.EntryChosen()) return instead;
    return realised.EntryOfCommand(id);
}

// ---------------------------------------------------------------- an entry's context menu

LRESULT CALLBACK TFormShortCuts::MenuFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    // The menu's own loop offers every message here before it acts on it;
    // a right button taken for a context menu must not choose the entry too.
    if (code == MSGF_MENU && filtering) {
        const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
        bool taken = false;
        if (msg.message == WM_RBUTTONUP)
            Guard(filtering->Name().c_str(), [&] { taken = filtering->RightButtonUp(msg.pt); });
        if (taken) return TRUE;
    }
    return CallNextHookEx(filterHook, code, wParam, lParam);
}

void TFormShortCuts::MenuSelect(UINT item, UINT flags, HMENU menu) {
    if (!tracked_ || entryMenuOpen_) return;
    const bool none = flags == 0xFFFF && !menu;
    selectedId_ = none || (flags & MF_POPUP) ? 0 : item;
    selectedMenu_ = none ? nullptr : menu;
}

bool TFormShortCuts::RightButtonUp(POINT pt) {
    if (!tracked_ || entryMenuOpen_ || entryMenuFor_ || !selectedMenu_ || selectedId_ == 0) return false;
    // The entry selected last is the one under the pointer only while the
    // pointer is still on it.
    const int pos = MenuItemFromPoint(nullptr, selectedMenu_, pt);
    if (pos < 0 || GetMenuItemID(selectedMenu_, pos) != selectedId_) return false;
    MenuEntry* entry = tracked_->EntryOfCommand(selectedId_);
    if (!entry || EntryCommandsOf(*entry, m_.Items).empty()) return false;
    entryMenuFor_ = entry;
    entryMenuAt_ = pt;
    // Shown from the window procedure, as the menu's loop hands it the message
    // between two of its own: not from inside this hook.
    PostMessageA(Handle(), WMAPP_ENTRYMENU, 0, 0);
    return true;
}

void TFormShortCuts::ShowEntryMenu() {
    MenuEntry* entry = entryMenuFor_;
    entryMenuFor_ = nullptr;
    if (!entry || !tracked_) return;
    BuildEntryMenu(*entry, m_.Items, m_.settings.WindowsDraw, entryMenu_);
    RealisedMenu realised;
    RealiseMenuTree(entryMenu_.root, realised, nullptr, !palette_.UsesSystemColors());
    entryMenu_.root.ForgetLayout();
    if (background_) {
        MENUINFO mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIM_BACKGROUND;
        mi.hbrBack = background_;
        SetMenuInfo(realised.menu, &mi);
    }
    // Open is the default: bold where the system draws, and selected at once,
    // so that Enter starts the entry as the right button did before.
    SetMenuDefaultItem(realised.menu, 0, TRUE);
    PostMessageA(owner_, WM_KEYDOWN, VK_DOWN, 0);
    entryMenuOpen_ = true;
    SetLastError(0);
    const UINT id = static_cast<UINT>(TrackPopupMenuEx(
        realised.menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_RECURSE,
        entryMenuAt_.x, entryMenuAt_.y, owner_, nullptr));
    // A system without TPM_RECURSE refuses a menu while one is open.
    const DWORD error = GetLastError();
    const bool shown = !(id == 0 && (error == ERROR_POPUP_ALREADY_ACTIVE || error == ERROR_INVALID_FLAGS));
    entryMenuOpen_ = false;
    if (!shown) {
        // The key meant for the context menu goes unused.
        MSG stray;
        PeekMessageA(&stray, owner_, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    }
    if (choice_.Closed(*entry, shown, realised.EntryOfCommand(id)) != EntryMenuChoice::Outcome::Dismissed) EndMenu();
}

bool TFormShortCuts::RunEntryCommand() { return choice_.Run(OnEntryCommand); }

LRESULT TFormShortCuts::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WMAPP_ENTRYMENU) {
        ShowEntryMenu();
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

void TFormShortCuts::InitMenuPopup(HMENU sub) {
    if (tracked_) tracked_->FillSubmenu(sub);
}

WinMenuTextMeasure& TFormShortCuts::Measure() {
    if (!measure_) measure_ = std::make_unique<WinMenuTextMeasure>(dpi_);
    return *measure_;
}

HIMAGELIST TFormShortCuts::PicturesFor(int index, int size) {
    pictures_.RealizeAt(index, size);
    return pictures_.MenuAt(size);
}

MenuDrawSettings TFormShortCuts::DrawSettings() const {
    MenuDrawSettings s = MenuDrawSettingsOf(m_.settings);
    s.dpi = dpi_ > 0 ? dpi_ : ScreenDpi();
    return s;
}

// ---------------------------------------------------------------- owner drawing

HFONT CreateMenuFont(const FontSpec& spec) {
    LOGFONTA lf = {};
    if (spec.systemMenuFont) {
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) lf = ncm.lfMenuFont;
    } else {
        lf.lfHeight = spec.height;
        lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, spec.faceName.c_str(), LF_FACESIZE);
    }
    lf.lfEscapement = spec.escapement;
    lf.lfOrientation = spec.escapement;
    return CreateFontIndirectA(&lf);
}

WinMenuTextMeasure::WinMenuTextMeasure(int dpi) {
    dc_ = GetDC(nullptr);
    if (dpi > 0)
        ppi_ = dpi;
    else if (dc_)
        ppi_ = GetDeviceCaps(dc_, LOGPIXELSY);
}

Rgb SystemColorOf(int index) { return static_cast<Rgb>(GetSysColor(index)); }

MenuPalette CurrentMenuPalette(bool windowsDraw) {
    ThemeInputs in;
    in.windowsDraw = windowsDraw;
    in.highContrast = HighContrastOn();
    in.appsUseLightTheme = !AppsUseDarkTheme();
    return MenuPalette(ChooseMenuLook(in), SystemColorOf);
}

WinMenuTextMeasure::~WinMenuTextMeasure() {
    for (auto& f : fonts_)
        if (f.second) DeleteObject(f.second);
    if (dc_) ReleaseDC(nullptr, dc_);
}

HFONT WinMenuTextMeasure::Font(const FontSpec& spec) {
    for (auto& f : fonts_)
        if (f.first == spec) return f.second;
    fonts_.emplace_back(spec, CreateMenuFont(spec));
    return fonts_.back().second;
}

TextExtent WinMenuTextMeasure::Extent(const FontSpec& font, const std::string& text) {
    TextExtent e;
    if (!dc_) return e;
    HFONT f = Font(font);
    HGDIOBJ old = f ? SelectObject(dc_, f) : nullptr;
    SIZE sz = {};
    const std::wstring wide = Widen(text);
    if (GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &sz)) {
        e.cx = sz.cx;
        e.cy = sz.cy;
    }
    if (old) SelectObject(dc_, old);
    return e;
}

void ExecuteDisplayList(HDC dc, const DisplayList& list, HIMAGELIST images, WinMenuTextMeasure& fonts,
                        const MenuPalette* palette) {
    const MenuPalette system(MenuLook::Light, SystemColorOf);
    const MenuPalette& colors = palette ? *palette : system;
    auto color = [&](int index) { return static_cast<COLORREF>(colors.Color(index)); };
    const int saved = SaveDC(dc);
    for (const DrawOp& op : list) {
        switch (op.kind) {
            case DrawOpKind::FillRect: {
                RECT r = {op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
                if (colors.UsesSystemColors()) {
                    FillRect(dc, &r, GetSysColorBrush(op.color));
                } else {
                    HBRUSH brush = CreateSolidBrush(color(op.color));
                    FillRect(dc, &r, brush);
                    DeleteObject(brush);
                }
                break;
            }
            case DrawOpKind::Line: {
                HPEN pen = CreatePen(PS_SOLID, 1, color(op.color));
                HGDIOBJ old = SelectObject(dc, pen);
                MoveToEx(dc, op.x1, op.y1, nullptr);
                LineTo(dc, op.x2, op.y2);
                SelectObject(dc, old);
                DeleteObject(pen);
                break;
            }
            case DrawOpKind::Image: {
                if (!images) break;
                if (!op.greyed) {
                    ImageList_Draw(images, op.imageIndex, dc, op.x1, op.y1, ILD_TRANSPARENT);
                } else {
                    HICON icon = ImageList_GetIcon(images, op.imageIndex, ILD_TRANSPARENT);
                    if (icon) {
                        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, op.x1, op.y1, 0, 0,
                                   DST_ICON | DSS_DISABLED);
                        DestroyIcon(icon);
                    }
                }
                break;
            }
            case DrawOpKind::Text: {
                HFONT f = fonts.Font(op.font);
                HGDIOBJ old = f ? SelectObject(dc, f) : nullptr;
                SetTextColor(dc, color(op.color));
                if (op.bkColor < 0) {
                    SetBkMode(dc, TRANSPARENT);
                } else {
                    SetBkMode(dc, OPAQUE);
                    SetBkColor(dc, color(op.bkColor));
                }
                RECT r = {op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
                const std::wstring wide = Widen(op.text);
                DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, op.textFlags);
                if (old) SelectObject(dc, old);
                break;
            }
            case DrawOpKind::BarText: {
                // One rotated font per bar painting, made and deleted here.
                HFONT f = CreateMenuFont(op.font);
                HGDIOBJ old = f ? SelectObject(dc, f) : nullptr;
                SetTextColor(dc, color(op.color));
                SetBkMode(dc, OPAQUE);
                SetBkColor(dc, color(op.bkColor < 0 ? kColorInactiveCaption : op.bkColor));
                RECT r = {op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
                const std::wstring wide = Widen(op.text);
                ExtTextOutW(dc, op.x1, op.y1, ETO_CLIPPED | ETO_OPAQUE, &r, wide.c_str(),
                            static_cast<UINT>(wide.size()), nullptr);
                if (old) SelectObject(dc, old);
                if (f) DeleteObject(f);
                break;
            }
        }
    }
    RestoreDC(dc, saved);
}

namespace {
char UpperAnsi(char c) {
    char buf[2] = {c, 0};
    CharUpperBuffA(buf, 1);
    return buf[0];
}
}  // namespace

int FindMenuHotKey(HMENU menu, char ch, bool& several) {
    std::vector<MenuKeyItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuKeyItem item;
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) {
            item.entry = reinterpret_cast<const MenuEntry*>(mii.dwItemData);
            item.ownerDrawn = (mii.fType & MFT_OWNERDRAW) != 0;
            item.enabled = (mii.fState & MFS_DISABLED) == 0;
        }
        items.push_back(item);
    }
    return FindMenuHotKey(items, ch, several, UpperAnsi);
}

LRESULT TFormShortCuts::MenuChar(char ch, HMENU menu) {
    bool several = false;
    const int pos = FindMenuHotKey(menu, ch, several);
    if (pos < 0) return MAKELRESULT(0, MNC_IGNORE);
    return MAKELRESULT(pos, several ? MNC_SELECT : MNC_EXECUTE);
}

bool TFormShortCuts::MeasureItem(MEASUREITEMSTRUCT& mis) {
    if (mis.CtlType != ODT_MENU || !mis.itemData) return false;
    const MenuEntry& entry = *reinterpret_cast<const MenuEntry*>(mis.itemData);
    if (entry.tag == kTagPlainSeparator) {
        mis.itemWidth = 0;
        mis.itemHeight = static_cast<UINT>(PlainSeparatorHeight(DrawSettings()));
        return true;
    }
    if (!IsOwnerDrawn(entry)) {
        // The picture of a system-drawn entry, at the menu's DPI.
        const int size = PictureSizeForDpi(DrawSettings().dpi);
        mis.itemWidth = static_cast<UINT>(size);
        mis.itemHeight = static_cast<UINT>(size);
        return true;
    }
    WinMenuTextMeasure& measure = Measure();
    MeasureResult r;
    if (entry.onMeasure == MeasureHandler::NorItemsRTMeasureItem) {
        r = NorItemsRTMeasureItem(entry, DrawSettings(), measure);
    } else {
        // Drawn by the program but measured by no handler: the system's size for a text entry.
        const TextExtent e = measure.Extent(FontSpec{true, "", 0, false, 0}, entry.caption);
        r.width = e.cx;
        r.height = SystemMetricForDpi(SM_CYMENU, DrawSettings().dpi);
    }
    mis.itemWidth = static_cast<UINT>(r.width < 0 ? 0 : r.width);
    mis.itemHeight = static_cast<UINT>(r.height < 0 ? 0 : r.height);
    return true;
}

bool TFormShortCuts::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.CtlType != ODT_MENU || !dis.itemData) return false;
    const MenuEntry& entry = *reinterpret_cast<const MenuEntry*>(dis.itemData);
    const DrawRect rect{dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom};
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    const MenuDrawSettings settings = DrawSettings();
    const int size = PictureSizeForDpi(settings.dpi);
    if (entry.tag == kTagPlainSeparator) {
        ExecuteDisplayList(dis.hDC, PlainSeparatorDrawItem(entry, rect, settings, Measure()), nullptr, Measure(),
                           &palette_);
        return true;
    }
    if (!IsOwnerDrawn(entry)) {
        // The picture of a system-drawn entry, centred in the place the menu gave.
        if (entry.imageIndex < 0) return true;
        HIMAGELIST images = PicturesFor(entry.imageIndex, size);
        if (!images) return true;
        const int x = dis.rcItem.left + (dis.rcItem.right - dis.rcItem.left - size) / 2;
        const int y = dis.rcItem.top + (dis.rcItem.bottom - dis.rcItem.top - size) / 2;
        ImageList_Draw(images, entry.imageIndex, dis.hDC, x, y,
                       (dis.itemState & ODS_DISABLED) ? ILD_TRANSPARENT | ILD_BLEND50 : ILD_TRANSPARENT);
        return true;
    }
    WinMenuTextMeasure& measure = Measure();
    DisplayList list;
    switch (entry.onDraw) {
        case DrawHandler::NorItemsRTDrawItem:
            list = NorItemsRTDrawItem(entry, rect, selected, settings, measure);
            break;
        case DrawHandler::SpeItemsRTDrawItem:
            list = SpeItemsRTDrawItem(entry, rect, settings, measure);
            break;
        case DrawHandler::None:
            return true;
    }
    HIMAGELIST images = pictures_.MenuAt(size);
    for (const DrawOp& op : list)
        if (op.kind == DrawOpKind::Image) images = PicturesFor(op.imageIndex, op.x2 - op.x1);
    ExecuteDisplayList(dis.hDC, list, images, measure, &palette_);
    if (!palette_.UsesSystemColors()) {
        // The system draws a submenu's arrow after this, in the text and
        // background colours the entry leaves behind.
        const bool lit = selected && entry.enabled && entry.onDraw == DrawHandler::NorItemsRTDrawItem;
        SetTextColor(dis.hDC, palette_.Color(lit ? kColorHighlightText : kColorMenuText));
        SetBkColor(dis.hDC, palette_.Color(lit ? kColorHighlight : kColorMenu));
    }
    return true;
}

}  // namespace pv
