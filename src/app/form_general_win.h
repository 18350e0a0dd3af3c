#pragma once
// TFormGeneral: the hidden main window. It owns the tray icon, the global hot
// key and the application-wide services (error log, messages, exception
// handler, sounds).

#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/ErrorReporting.h"
#include "app/form_general.h"
#include "menu/MenuModel.h"
#include "support/Platform_win.h"
#include "support/Window_win.h"

namespace pv {

class TFormGeneral;

// Tray icon callback message of CSystrayGen's own window.
constexpr UINT WMAPP_NOTIFYCALLBACK = WM_APP + 1;

// The notification-area icon. It has a hidden window of its own for the icon's
// callback and the shell's "TaskbarCreated" broadcast.
class CSystrayGen : public Window {
public:
    explicit CSystrayGen(TFormGeneral& owner) : owner_(owner) {}
    ~CSystrayGen() override;

    // Creates the icon's window and places the icon (empty tip).
    bool Create(HICON icon);
    void Remove();
    bool Placed() const { return placed_; }

    // Whether mouse messages from the icon are acted on at all.
    bool Enabled = false;
    // The attached menu, or none.
    pv::PopupMenu* PopupMenu = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool Place();
    void ButtonPressed();

    TFormGeneral& owner_;
    HICON icon_ = nullptr;
    bool placed_ = false;
    UINT taskbarCreated_ = 0;
};

// The global hot key, a 16-bit menu-shortcut value registered on a window.
class JvApplicationHotKey {
public:
    void Attach(HWND window, int id) {
        window_ = window;
        id_ = id;
    }
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
    bool Registered() const { return registered_; }
    int Id() const { return id_; }
    void Unregister();

private:
    bool Register();

    HWND window_ = nullptr;
    int id_ = 0;
    uint16_t hotKey_ = kDefaultHotKey;
    bool wanted_ = false;
    bool registered_ = false;
};

class TFormGeneral : public Window {
public:
    TFormGeneral();
    ~TFormGeneral() override;

    // Creates the window; with it the tray icon is placed (ignoring the mouse)
    // and the hot key registered.
    bool Create();

    pv::CSystrayGen CSystrayGen;
    pv::JvApplicationHotKey JvApplicationHotKey;

    // Error log, messages, exception handler and sounds.
    ErrorReporting& AEGeneral() { return *errors_; }

    void JvApplicationHotKeyHotKey();

    // Bound while the program paints window titles itself.
    bool ActivateBound = false;
    void AEGeneralActivate();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormDestroy();

    WinFileSystem fs_;
    WinSystem system_;
    WinMessageUI ui_;
    MciSoundDevice sound_;
    std::unique_ptr<ErrorReporting> errors_;
};

// Pops menu up at the mouse: foreground on form's window, pending messages
// processed, the menu tracked, WM_NULL posted afterwards, then the chosen
// entry's click handler run. Nothing happens without a menu or a cursor position.
void PopupTrayMenuAtCursor(PopupMenu* menu, TFormGeneral* form, CSystrayGen* icon);

// The program icon at the small-icon size; the system's application icon when
// the executable has none.
HICON LoadProgramIcon(int size);

}  // namespace pv
