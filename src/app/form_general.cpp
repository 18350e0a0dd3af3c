#include "app/form_general.h"

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
    if (!Enabled || !Menu) return;
    PopupTrayMenuAtCursor(Menu, host, click);
}

void TrayMenu::JvApplicationHotKeyHotKey(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click) {
    PopupTrayMenuAtCursor(Menu, host, click);
}

void TrayMenu::PopupTrayMenuAtCursor(PopupMenu* menu, ITrayMenuHost& host,
                                     const std::function<void(MenuEntry&)>& click) {
    if (busy_ || !menu) return;
    busy_ = true;
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
    if (chosen && click) click(*chosen);
}

}  // namespace pv
