#include "menu/form_shortcuts_win.h"

#include "app/InitFinit_win.h"
#include "manager/form_items_win.h"
#include "../../res/resource.h"

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
    for (int i = 0; i < parent.Count(); ++i) {
        MenuEntry& e = *parent.Child(i);
        if (!e.visible) continue;

        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        if (e.tag == kTagPlainSeparator) {
            // Plain separators are measured and drawn by the system.
            mii.fMask = MIIM_FTYPE;
            mii.fType = MFT_SEPARATOR;
            InsertMenuItemA(target, GetMenuItemCount(target), TRUE, &mii);
            continue;
        }

        out.commands.push_back(&e);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
        mii.wID = static_cast<UINT>(out.commands.size());
        mii.fState = e.enabled ? MFS_ENABLED : MFS_DISABLED;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(&e);
        if (IsOwnerDrawn(e)) {
            mii.fType = MFT_OWNERDRAW;
        } else {
            mii.fType = MFT_STRING;
            mii.fMask |= MIIM_STRING;
            mii.dwTypeData = const_cast<char*>(e.caption.c_str());
            mii.cch = static_cast<UINT>(e.caption.size());
        }
        if (e.HasChildren()) {
            HMENU sub = CreatePopupMenu();
            AddEntries(sub, e, out);
            mii.fMask |= MIIM_SUBMENU;
            mii.hSubMenu = sub;
        }
        InsertMenuItemA(target, GetMenuItemCount(target), TRUE, &mii);
    }
}

}  // namespace

void RealiseMenuTree(const MenuEntry& root, RealisedMenu& out) {
    if (out.menu) DestroyMenu(out.menu);
    out.commands.clear();
    out.menu = CreatePopupMenu();
    AddEntries(out.menu, root, out);
}

// ---------------------------------------------------------------- TFormShortCuts

namespace {
HBITMAP LoadPicture(int id) {
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
}  // namespace

TFormShortCuts::TFormShortCuts() { SetName("FormShortCuts"); }

TFormShortCuts::~TFormShortCuts() {
    Destroy();
    for (HBITMAP* b : {&ImageBreak3Small, &ImageBreak4Small, &ImageBreak5Small, &ImageBreak3Large,
                       &ImageBreak4Large, &ImageBreak5Large}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
}

bool TFormShortCuts::Create() {
    if (!Window::Create("TFormShortCuts", "FormShortCuts", WS_OVERLAPPEDWINDOW)) return false;
    ImageBreak3Small = LoadPicture(IDB_PM_BREAK3);
    ImageBreak4Small = LoadPicture(IDB_PM_BREAK4);
    ImageBreak5Small = LoadPicture(IDB_PM_BREAK5);
    ImageBreak3Large = LoadPicture(IDB_TV_BREAK3);
    ImageBreak4Large = LoadPicture(IDB_TV_BREAK4);
    ImageBreak5Large = LoadPicture(IDB_TV_BREAK5);
    return true;
}

MenuEntry* TFormShortCuts::TrackMenu(PopupMenu& menu, HWND owner, POINT pt) {
    // A second press while the menu is open (or being prepared) must not stack
    // a second menu on the first.
    if (tracking_) return nullptr;
    tracking_ = true;
    RealisedMenu realised;
    RealiseMenuTree(menu.root, realised);
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(realised.menu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       pt.x, pt.y, 0, owner, nullptr));
    tracking_ = false;
    return realised.EntryOfCommand(id);
}

void TFormShortCuts::ClickEntry(MenuEntry& entry) {
    TFormItems& items = *Forms.FormItems;
    switch (entry.onClick) {
        case ClickHandler::NorItemsRTClickItem:
            NorItemsRTClickItem(entry);
            break;
        case ClickHandler::miHelpFileClick:
            items.miHelpFileClick();
            break;
        case ClickHandler::miManageItemsClick:
            items.miManageItemsClick();
            break;
        case ClickHandler::SetupClick:
            items.SetupClick();
            break;
        case ClickHandler::miVisitWebsiteClick:
            items.miVisitWebsiteClick();
            break;
        case ClickHandler::miAboutClick:
            items.miAboutClick();
            break;
        case ClickHandler::miCloseAppClick:
            items.miCloseAppClick();
            break;
        case ClickHandler::None:
            break;
    }
}

void TFormShortCuts::NorItemsRTClickItem(MenuEntry& entry) {
    (void)entry;
    // Launching: the store's launcher is called here once it is part of the build.
}

bool TFormShortCuts::MeasureItem(MEASUREITEMSTRUCT& mis) {
    if (mis.CtlType != ODT_MENU || !mis.itemData) return false;
    // Menu geometry: measured here once the drawing module is part of the build.
    mis.itemWidth = 100;
    mis.itemHeight = 19;
    return true;
}

bool TFormShortCuts::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.CtlType != ODT_MENU || !dis.itemData) return false;
    return true;
}

}  // namespace pv
