#pragma once
// TFormGeneral: the hidden main window. It owns the tray icon, the global hot
// key and the application-wide services (error log, messages, exception
// handler, sounds). What the icon and the hot key do is portable
// (app/form_general.h); this window supplies the system calls and forwards.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ErrorReporting.h"
#include "app/form_general.h"
#include "model/AppModel.h"
#include "support/AppForm_win.h"
#include "support/Platform_win.h"
#include "support/Window_win.h"

namespace pv {

class TFormGeneral;
class TFormShortCuts;

// Tray icon callback message of CSystrayGen's own window.
constexpr UINT WMAPP_NOTIFYCALLBACK = WM_APP + 1;

// The notification-area icon. It has a hidden window of its own for the icon's
// callback and the shell's "TaskbarCreated" broadcast. The icon speaks
// NOTIFYICON_VERSION_4, so that it can be reached from the keyboard.
class CSystrayGen : public Window, private ITrayIconShell {
public:
    explicit CSystrayGen(TFormGeneral& owner) : owner_(owner) {}
    ~CSystrayGen() override;

    // Creates the icon's window and places the icon, its tip the program's
    // name. False only when the window cannot be made: a shell that is not
    // there yet places the icon when it says "TaskbarCreated".
    bool Create(HICON icon, const std::string& tip);
    void Remove();
    bool Placed() const { return placement_.Placed(); }
    // The icon's rectangle on the screen, where the shell can tell it.
    bool IconRect(RECT& r) const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    NOTIFYICONDATAA Data() const;
    // ITrayIconShell
    bool Add() override;
    bool Modify() override;
    bool Delete() override;

    TFormGeneral& owner_;
    HICON icon_ = nullptr;
    std::string tip_;
    TrayIconPlacement placement_;
    UINT taskbarCreated_ = 0;
};

class TFormGeneral : public Window, private IHotKeyRegistrar, private ITrayMenuHost {
public:
    explicit TFormGeneral(AppModel& model);
    ~TFormGeneral() override;

    // Creates the window; with it the tray icon is placed (ignoring the mouse)
    // and the hot key registered.
    bool Create();

    pv::CSystrayGen CSystrayGen;
    pv::JvApplicationHotKey JvApplicationHotKey;
    // The icon's state (Enabled, the attached menu) and the pop-up.
    TrayMenu Tray;

    // Error log, messages, exception handler and sounds.
    ErrorReporting& AEGeneral() { return *errors_; }

    // Wired by WinMain once every window exists.
    TFormShortCuts* ShortCuts = nullptr;             // draws the tracked menu
    std::function<void(MenuEntry&)> OnMenuClick;     // the chosen entry's handler
    std::vector<AppForm*> TitledForms;               // AEGeneralActivate repaints their titles
    std::function<void()> ProcessMessagesHook;       // Application.ProcessMessages
    std::function<bool()> TerminatedHook;            // Application.Terminated
    std::function<void()> OnLaterWork;               // what start-up left for later
    std::function<void(const char* what, double ms)> OnTiming;  // the parts of its creation
    std::function<bool(char)> OnStrayChar;           // a character typed while no window of ours has the keyboard

    // OnLaterWork runs once, ms after now, when the program has nothing else to
    // do (a timer's turn comes after input and painting).
    void ScheduleLaterWork(unsigned ms);

    void IconButtonPressed();
    // An event from the icon, with the anchor the shell sent in wParam.
    void IconEvent(UINT event, int anchorX, int anchorY);
    void JvApplicationHotKeyHotKey();

    // Bound while the program paints window titles itself.
    bool ActivateBound = false;
    void AEGeneralActivate();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // False when the tray icon's window cannot be made.
    bool FormCreate();
    void FormDestroy();

    // IHotKeyRegistrar
    bool Register(const HotKeyRegistration& r) override;
    void Unregister() override;
    // ITrayMenuHost
    bool CursorPos(int& x, int& y) override;
    void ProcessMessages() override;
    bool Terminated() override;
    void BringToForeground() override;
    MenuEntry* TrackMenu(PopupMenu& menu, const MenuPlacement& where) override;
    void PostNull() override;
    TaskbarEdge Taskbar() override;
    bool MenuDropsRight() override;
    bool IconRect(ScreenRect& r) override;
    unsigned NowMs() override;
    unsigned DoubleClickMs() override;
    void CloseMenu() override;
    bool RunEntryCommand() override;
    LRESULT MenuChar(char ch, HMENU menu);
    static LRESULT CALLBACK MenuKeyHook(int code, WPARAM wParam, LPARAM lParam);

    AppModel& m_;
    WinFileSystem fs_;
    WinSystem system_;
    WinMessageUI ui_;
    MciSoundDevice sound_;
    std::unique_ptr<ErrorReporting> errors_;
    bool menuCharInHand_ = false;  // the menu's loop may still hold the letter that opened Find
    char menuChar_ = 0;
};

// The program icon at the small-icon size; the system's application icon when
// the executable has none.
HICON LoadProgramIcon(int size);

}  // namespace pv
