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
    // The user's choice of a new value: registered in place of the old one, or,
    // when another program holds it, refused with the old one registered again
    // (false).
    bool TrySetHotKey(uint16_t value);
    void Unregister();

private:
    bool Register();

    IHotKeyRegistrar& reg_;
    uint16_t hotKey_ = kDefaultHotKey;
    bool wanted_ = false;
    bool registered_ = false;
};

// ---------------------------------------------------------------- where the menu opens

// The screen edge the task bar sits on (SHAppBarMessage ABM_GETTASKBARPOS).
enum class TaskbarEdge { Unknown, Left, Top, Right, Bottom };

// TrackPopupMenu alignment bits, the values of the Win32 TPM_* constants.
constexpr unsigned kTpmLeftAlign = 0x0;
constexpr unsigned kTpmRightAlign = 0x8;
constexpr unsigned kTpmTopAlign = 0x0;
constexpr unsigned kTpmBottomAlign = 0x20;
constexpr unsigned kTpmVertical = 0x40;

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where and how a popup menu opens: its anchor point, the alignment bits, and
// a rectangle it must not cover (the icon it was opened from).
struct MenuPlacement {
    int x = 0, y = 0;
    unsigned flags = 0;
    bool exclude = false;
    ScreenRect excluded;
};

// The alignment that opens the menu toward the inside of the screen from the
// task bar's edge, as the shell's own menus do: upward from a bottom bar,
// downward from a top one, to the right of a left one and to the left of a
// right one (their notification area sits at the bottom). Where the edge
// leaves the side open, dropRight (SM_MENUDROPALIGNMENT) decides it.
unsigned TrayMenuAlignment(TaskbarEdge edge, bool dropRight);
// A pop-up at a point (the cursor).
MenuPlacement PlaceMenuAtPoint(int x, int y, TaskbarEdge edge, bool dropRight);
// A pop-up from the icon itself: the menu starts at the icon's edge that faces
// the screen and leaves the icon uncovered. An unknown edge counts as the
// bottom, where the task bar usually is.
MenuPlacement PlaceMenuAtIcon(const ScreenRect& icon, TaskbarEdge edge, bool dropRight);

// What the icon tells its window (with NOTIFYICON_VERSION_4 the event is the
// low word of lParam).
enum class TrayIconEvent {
    Other,
    ButtonDown,   // WM_LBUTTONDOWN, WM_RBUTTONDOWN
    Select,       // NIN_SELECT: a left click released, or Space on the focused icon
    KeySelect,    // NIN_KEYSELECT: Enter on the focused icon
    ContextMenu,  // WM_CONTEXTMENU: a right click released, Shift+F10, the menu key
};
TrayIconEvent TrayEventOf(unsigned message);

// What popping the tray menu up needs of the system.
class ITrayMenuHost {
public:
    virtual ~ITrayMenuHost() = default;
    virtual bool CursorPos(int& x, int& y) = 0;  // GetCursorPos
    virtual void ProcessMessages() = 0;
    virtual bool Terminated() = 0;               // the program is ending
    virtual void BringToForeground() = 0;        // SetForegroundWindow on the main window
    // Shows the menu as placed and returns the chosen entry, or null.
    virtual MenuEntry* TrackMenu(PopupMenu& menu, const MenuPlacement& where) = 0;
    virtual void PostNull() = 0;                 // WM_NULL to the main window
    virtual TaskbarEdge Taskbar() { return TaskbarEdge::Unknown; }
    virtual bool MenuDropsRight() { return false; }  // SM_MENUDROPALIGNMENT
    // The icon's rectangle on the screen (Shell_NotifyIconGetRect); false when
    // the shell cannot tell.
    virtual bool IconRect(ScreenRect&) { return false; }
    virtual unsigned NowMs() { return 0; }            // GetTickCount
    virtual unsigned DoubleClickMs() { return 500; }  // GetDoubleClickTime
    // For the Find window: closing the menu that is open (EndMenu).
    virtual void CloseMenu() {}
    // Runs what an entry's context menu chose while the menu was open, in
    // place of a chosen entry; false when it chose nothing.
    virtual bool RunEntryCommand() { return false; }
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
    // Any event from the icon, with the anchor the shell sent (the cursor for
    // the mouse, the icon for the keyboard). A press opens the menu at the
    // cursor as before; NIN_KEYSELECT, and NIN_SELECT or WM_CONTEXTMENU that do
    // not merely complete the click that opened it, open it at the icon.
    void IconEvent(TrayIconEvent event, int anchorX, int anchorY, ITrayMenuHost& host,
                   const std::function<void(MenuEntry&)>& click);
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
    // Cursor (or icon) position read, pending messages, foreground, the menu,
    // WM_NULL, the click.
    // From the icon the menu opens away from the task bar; at the icon itself
    // when atIcon is given, else at the cursor.
    void Popup(PopupMenu* menu, ITrayMenuHost& host, const std::function<void(MenuEntry&)>& click,
               const ScreenRect* atIcon, bool fromIcon);

    bool busy_ = false;
    // When the last menu opened by a button press closed: the release of that
    // click (NIN_SELECT, WM_CONTEXTMENU) follows within a double-click time.
    bool pressed_ = false;
    unsigned pressEnded_ = 0;
    // Find asked for while the menu is open: it opens once the menu has closed.
    bool findPending_ = false;
    FindRequest pending_;
    // The hot key pressed twice within the double-click time opens Find.
    bool hotKeySeen_ = false;
    unsigned lastHotKey_ = 0;
};

// The notification-area icon's bookkeeping: whether it is placed, so that it
// is removed at the end, also after the shell said "TaskbarCreated" while the
// icon was still there.
class ITrayIconShell {
public:
    virtual ~ITrayIconShell() = default;
    virtual bool Add() = 0;     // NIM_ADD (and the protocol version)
    virtual bool Modify() = 0;  // NIM_MODIFY: true when the icon exists
    virtual bool Delete() = 0;  // NIM_DELETE
};

class TrayIconPlacement {
public:
    // At creation and at every "TaskbarCreated". A shell that restarted forgot
    // the icon and takes it anew; one that still has it refuses the addition,
    // and the icon is kept as placed.
    bool Place(ITrayIconShell& shell);
    void Remove(ITrayIconShell& shell);
    bool Placed() const { return placed_; }

private:
    bool placed_ = false;
};

}  // namespace pv
