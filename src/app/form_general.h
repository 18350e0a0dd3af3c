#pragma once
// Portable half of the hidden main window: the global hot key's registration
// rules, and the tray menu's pop-up with its one-menu-at-a-time guard. The Win32
// window only supplies the system calls (IHotKeyRegistrar, ITrayMenuHost) and
// forwards its messages here.

#include <cstdint>
#include <functional>
#include <string>

#include "model/MenuModel.h"

namespace pv {

// Bits of a 16-bit menu-shortcut value (the low byte is the virtual key).
constexpr uint16_t kScShift = 0x2000;
constexpr uint16_t kScCtrl = 0x4000;
constexpr uint16_t kScAlt = 0x8000;

// RegisterHotKey modifier bits, same values as Win32 MOD_*.
constexpr unsigned kModAlt = 0x1;
constexpr unsigned kModControl = 0x2;
constexpr unsigned kModShift = 0x4;

// Ctrl+L, the hot key until the settings say otherwise.
constexpr uint16_t kDefaultHotKey = 0x404C;

struct HotKeyRegistration {
    unsigned modifiers = 0;  // kMod* bits
    unsigned virtualKey = 0;
};

HotKeyRegistration HotKeyToRegistration(uint16_t hotKey);

// RegisterHotKey and UnregisterHotKey on the main window with the program's id.
class IHotKeyRegistrar {
public:
    virtual ~IHotKeyRegistrar() = default;
    // False when the combination cannot be had (another program holds it).
    virtual bool Register(const HotKeyRegistration& r) = 0;
    virtual void Unregister() = 0;
};

// The global hot key, a menu-shortcut value registered on the main window.
class JvApplicationHotKey {
public:
    explicit JvApplicationHotKey(IHotKeyRegistrar& registrar) : reg_(registrar) {}

    // Registers or unregisters. A failed registration (the combination is held
    // by another program) leaves the hot key inactive, without a message.
    void SetActive(bool active);
    // Whether the hot key is registered and reaches the program.
    bool Active() const { return registered_; }
    // A different value is registered in place of the old one while the hot
    // key is wanted, also after the old one could not be registered: the value
    // from the settings must not be lost because the default was taken.
    void SetHotKey(uint16_t value);
    uint16_t HotKey() const { return hotKey_; }
    void Unregister();

private:
    bool Register();

    IHotKeyRegistrar& reg_;
    uint16_t hotKey_ = kDefaultHotKey;
    bool wanted_ = false;
    bool registered_ = false;
};

// What popping the tray menu up needs of the system.
class ITrayMenuHost {
public:
    virtual ~ITrayMenuHost() = default;
    virtual bool CursorPos(int& x, int& y) = 0;  // GetCursorPos
    virtual void ProcessMessages() = 0;
    virtual bool Terminated() = 0;               // the program is ending
    virtual void BringToForeground() = 0;        // SetForegroundWindow on the main window
    // Shows the menu at (x, y) and returns the chosen entry, or null.
    virtual MenuEntry* TrackMenu(PopupMenu& menu, int x, int y) = 0;
    virtual void PostNull() = 0;                 // WM_NULL to the main window
    // For the Find window: the message time in milliseconds, the double-click
    // time, and closing the menu that is open (EndMenu).
    virtual unsigned NowMs() { return 0; }
    virtual unsigned DoubleClickMs() { return 0; }
    virtual void CloseMenu() {}
};

// Where and with what the Find window opens.
struct FindRequest {
    std::string text;  // typed already (UTF-8)
    int x = 0, y = 0;  // its top left corner
    bool atMouse = false;
};

// The tray icon's run-time state and the pop-up that both the icon and the hot
// key use. Pumping messages before the menu shows, and the chosen entry's
// handler, may deliver another click or hot key: one menu at a time.
class TrayMenu {
public:
    // Whether mouse messages from the icon are acted on at all.
    bool Enabled = false;
    // The attached menu, or none (start-up before the menu is built, a rebuild).
    PopupMenu* Menu = nullptr;

    // A button pressed on the icon: the menu pops up while enabled and attached.
    void IconButtonPressed(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click);
    // The hot key: the menu pops up whenever one is attached.
    void JvApplicationHotKeyHotKey(ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click);
    // PopupTrayMenuAtCursor: cursor, pending messages, foreground, the menu,
    // WM_NULL, then the chosen entry's click. Refused while a pop-up runs.
    void PopupTrayMenuAtCursor(PopupMenu* menu, ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click);
    bool Busy() const { return busy_; }

    // Opens the Find window; while unset, typing and the hot key do what they
    // did before it existed.
    std::function<void(const FindRequest&)> OpenFind;
    // A character typed into the open menu that is no hot key there (UTF-8):
    // true when the menu is to close so that Find opens at (x, y) with it.
    bool MenuCharUnmatched(const std::string& typed, int x, int y);
    // Whether Find waits for the open menu to close.
    bool FindPending() const { return findPending_; }

private:
    bool busy_ = false;
    // Find asked for while the menu is open: it opens once the menu has closed.
    bool findPending_ = false;
    FindRequest pending_;
    // The hot key pressed twice within the double-click time opens Find.
    bool hotKeySeen_ = false;
    unsigned lastHotKey_ = 0;
};

}  // namespace pv
