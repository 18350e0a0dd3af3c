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

// ---------------------------------------------------------------- TrayMenu

void TrayMenu::IconButtonPressed(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click) {
    if (!Enabled || !Menu) return;
    PopupTrayMenuAtCursor(Menu, host, click);
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
    MenuEntry* chosen = host.TrackMenu(*menu, x, y);
    host.PostNull();
    if (findPending_) {
        findPending_ = false;
        if (OpenFind) OpenFind(pending_);
        return;
    }
    if (chosen && click) click(*chosen);
}

}  // namespace pv
