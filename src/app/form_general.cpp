#include "app/form_general.h"

#include "menu/form_find.h"

namespace pv {

HotKeyRegistration HotKeyToRegistration(uint16_t hotKey) {
    HotKeyRegistration r;
    if (hotKey & kScShift) r.modifiers |= kModShift;
    if (hotKey & kScCtrl) r.modifiers |= kModControl;
    if (hotKey & kScAlt) r.modifiers |= kModAlt;
    r.virtualKey = hotKey & 0xFFu;
    return r;
}

// ---------------------------------------------------------------- JvApplicationHotKey

bool JvApplicationHotKey::Register() {
    registered_ = reg_.Register(HotKeyToRegistration(hotKey_));
    return registered_;
}

void JvApplicationHotKey::Unregister() {
    if (registered_) reg_.Unregister();
    registered_ = false;
}

void JvApplicationHotKey::SetActive(bool active) {
    wanted_ = active;
    if (!active) {
        Unregister();
        return;
    }
    // Held by another program: no hot key, and no message.
    if (!registered_) Register();
}

void JvApplicationHotKey::SetHotKey(uint16_t value) {
    if (value == hotKey_) return;
    Unregister();
    hotKey_ = value;
    if (wanted_) Register();
}

// ---------------------------------------------------------------- where the menu opens

unsigned TrayMenuAlignment(TaskbarEdge edge, bool dropRight) {
    const unsigned side = dropRight ? kTpmRightAlign : kTpmLeftAlign;
    switch (edge) {
        case TaskbarEdge::Bottom: return side | kTpmBottomAlign | kTpmVertical;
        case TaskbarEdge::Top: return side | kTpmTopAlign | kTpmVertical;
        case TaskbarEdge::Left: return kTpmLeftAlign | kTpmBottomAlign;
        case TaskbarEdge::Right: return kTpmRightAlign | kTpmBottomAlign;
        case TaskbarEdge::Unknown: break;
    }
    return side | kTpmTopAlign;
}

MenuPlacement PlaceMenuAtPoint(int x, int y, TaskbarEdge edge, bool dropRight) {
    MenuPlacement p;
    p.x = x;
    p.y = y;
    p.flags = TrayMenuAlignment(edge, dropRight);
    return p;
}

MenuPlacement PlaceMenuAtIcon(const ScreenRect& icon, TaskbarEdge edge, bool dropRight) {
    if (edge == TaskbarEdge::Unknown) edge = TaskbarEdge::Bottom;
    MenuPlacement p;
    p.flags = TrayMenuAlignment(edge, dropRight);
    p.exclude = true;
    p.excluded = icon;
    switch (edge) {
        case TaskbarEdge::Left:
            p.x = icon.right;
            p.y = icon.bottom;
            break;
        case TaskbarEdge::Right:
            p.x = icon.left;
            p.y = icon.bottom;
            break;
        case TaskbarEdge::Top:
            p.x = dropRight ? icon.right : icon.left;
            p.y = icon.bottom;
            break;
        default:
            p.x = dropRight ? icon.right : icon.left;
            p.y = icon.top;
            break;
    }
    return p;
}

TrayIconEvent TrayEventOf(unsigned message) {
    switch (message) {
        case 0x0201:  // WM_LBUTTONDOWN
        case 0x0204:  // WM_RBUTTONDOWN
            return TrayIconEvent::ButtonDown;
        case 0x0400: return TrayIconEvent::Select;       // NIN_SELECT (WM_USER)
        case 0x0401: return TrayIconEvent::KeySelect;    // NIN_KEYSELECT
        case 0x007B: return TrayIconEvent::ContextMenu;  // WM_CONTEXTMENU
        default: break;
    }
    return TrayIconEvent::Other;
}

bool JvApplicationHotKey::TrySetHotKey(uint16_t value) {
    if (value == hotKey_) return true;
    const uint16_t old = hotKey_;
    Unregister();
    hotKey_ = value;
    if (Register()) return true;
    hotKey_ = old;
    if (wanted_) Register();
    return false;
}

// ---------------------------------------------------------------- TrayMenu

void TrayMenu::IconButtonPressed(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click) {
    if (!Enabled || !Menu || busy_) return;
    Popup(Menu, host, click, nullptr, true);
    pressed_ = true;
    pressEnded_ = host.NowMs();
}

void TrayMenu::IconEvent(TrayIconEvent event, int anchorX, int anchorY, ITrayMenuHost& host,
                         const std::function<void(MenuEntry&)>& click) {
    switch (event) {
        case TrayIconEvent::ButtonDown:
            IconButtonPressed(host, click);
            return;
        case TrayIconEvent::Select:
        case TrayIconEvent::ContextMenu:
            // With the mouse these come at the release of the press that
            // opened the menu already.
            if (pressed_ && host.NowMs() - pressEnded_ < host.DoubleClickMs()) {
                pressed_ = false;
                return;
            }
            break;
        case TrayIconEvent::KeySelect:
            break;
        case TrayIconEvent::Other:
            return;
    }
    if (!Enabled || !Menu || busy_) return;
    ScreenRect icon;
    if (!host.IconRect(icon)) icon = ScreenRect{anchorX, anchorY, anchorX + 1, anchorY + 1};
    Popup(Menu, host, click, &icon, true);
}

void TrayMenu::JvApplicationHotKeyHotKey(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click) {
    if (OpenFind && Menu) {
        const unsigned now = host.NowMs();
        const bool twice = hotKeySeen_ && now - lastHotKey_ <= host.DoubleClickMs();
        // A third press starts over: menu, then Find again.
        hotKeySeen_ = !twice;
        lastHotKey_ = now;
        if (twice) {
            FindRequest r;
            r.atMouse = true;
            if (!host.CursorPos(r.x, r.y)) return;
            if (busy_) {
                // The first press's menu is open: Find takes its turn once it has closed.
                pending_ = r;
                findPending_ = true;
                host.CloseMenu();
            } else {
                OpenFind(r);
            }
            return;
        }
    }
    PopupTrayMenuAtCursor(Menu, host, click);
}

bool TrayMenu::MenuCharUnmatched(const std::string& typed, int x, int y) {
    if (!busy_ || !OpenFind || typed.empty() || !StartsFind(typed[0])) return false;
    if (findPending_ && !pending_.atMouse) {
        // Typed on before the menu was gone: the letters add up.
        pending_.text += typed;
        return true;
    }
    pending_ = FindRequest{typed, x, y, false};
    findPending_ = true;
    return true;
}

void TrayMenu::PopupTrayMenuAtCursor(PopupMenu* menu, ITrayMenuHost& host,
                                     const std::function<void(MenuEntry&)>& click) {
    // Wherever the mouse is: the task bar's edge says nothing about it.
    Popup(menu, host, click, nullptr, false);
}

void TrayMenu::Popup(PopupMenu* menu, ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click,
                     const ScreenRect* atIcon, bool fromIcon) {
    if (busy_ || !menu) return;
    busy_ = true;
    findPending_ = false;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};
    int x = 0, y = 0;
    if (!host.CursorPos(x, y)) return;
    host.ProcessMessages();
    if (host.Terminated()) return;
    host.BringToForeground();
    const bool dropRight = host.MenuDropsRight();
    const TaskbarEdge edge = fromIcon ? host.Taskbar() : TaskbarEdge::Unknown;
    const MenuPlacement where = atIcon ? PlaceMenuAtIcon(*atIcon, edge, dropRight)
                                       : PlaceMenuAtPoint(x, y, edge, dropRight);
    MenuEntry* chosen = host.TrackMenu(*menu, where);
    host.PostNull();
    if (findPending_) {
        findPending_ = false;
        if (OpenFind) OpenFind(pending_);
        return;
    }
    // A choice made in between means the next press is a new one, not the
    // second of a double press.
    if (host.RunEntryCommand()) {
        hotKeySeen_ = false;
        return;
    }
    if (chosen) hotKeySeen_ = false;
    if (chosen && click) click(*chosen);
}

// ---------------------------------------------------------------- TrayIconPlacement

bool TrayIconPlacement::Place(ITrayIconShell& shell) {
    placed_ = shell.Add() || shell.Modify();
    return placed_;
}

void TrayIconPlacement::Remove(ITrayIconShell& shell) {
    if (!placed_) return;
    shell.Delete();
    placed_ = false;
}

}  // namespace pv
