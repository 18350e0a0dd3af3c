#include "app/form_general_win.h"
#include "support/StepClock_win.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "menu/form_find_win.h"
#include "menu/form_shortcuts_win.h"

namespace pv {

namespace {
constexpr UINT kTrayIconId = 1;
constexpr int kHotKeyId = 1;
constexpr UINT_PTR kLaterWorkTimer = 1;
}  // namespace

HICON LoadProgramIcon(int size) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PIVORA), IMAGE_ICON, size, size, LR_SHARED));
    if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    return icon;
}

// ---------------------------------------------------------------- CSystrayGen

CSystrayGen::~CSystrayGen() { Remove(); }

bool CSystrayGen::Create(HICON icon, const std::string& tip) {
    icon_ = icon;
    tip_ = tip;
    SetName("CSystrayGen");
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // A hidden top-level window rather than a message-only one: only top-level
    // windows receive the shell's TaskbarCreated broadcast.
    if (!Window::Create("PivoraSystrayWindow", "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) return false;
    placement_.Place(*this);
    return true;
}

NOTIFYICONDATAA CSystrayGen::Data() const {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    return nid;
}

bool CSystrayGen::Add() {
    if (!Handle()) return false;
    NOTIFYICONDATAA nid = Data();
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    nid.uCallbackMessage = WMAPP_NOTIFYCALLBACK;
    nid.hIcon = icon_;
    lstrcpynA(nid.szTip, tip_.c_str(), sizeof nid.szTip);
    if (!Shell_NotifyIconA(NIM_ADD, &nid)) return false;
    // Keyboard selection and the context-menu key reach only icons of this
    // version; the shell forgets it with the icon, so it is set at every add.
    nid.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &nid);
    return true;
}

bool CSystrayGen::Modify() {
    if (!Handle()) return false;
    NOTIFYICONDATAA nid = Data();
    nid.uFlags = NIF_TIP | NIF_SHOWTIP;
    lstrcpynA(nid.szTip, tip_.c_str(), sizeof nid.szTip);
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

bool CSystrayGen::Delete() {
    if (!Handle()) return false;
    NOTIFYICONDATAA nid = Data();
    return Shell_NotifyIconA(NIM_DELETE, &nid) != FALSE;
}

void CSystrayGen::Remove() { placement_.Remove(*this); }

bool CSystrayGen::IconRect(RECT& r) const {
    // Windows 7 and later; looked up, so that the program still starts where
    // the shell lacks it.
    using GetRectFn = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto getRect =
        shell ? reinterpret_cast<GetRectFn>(reinterpret_cast<void (*)()>(GetProcAddress(shell, "Shell_NotifyIconGetRect")))
              : nullptr;
    if (!getRect || !Handle()) return false;
    NOTIFYICONIDENTIFIER id = {};
    id.cbSize = sizeof id;
    id.hWnd = Handle();
    id.uID = kTrayIconId;
    return SUCCEEDED(getRect(&id, &r)) && r.right > r.left && r.bottom > r.top;
}

LRESULT CSystrayGen::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WMAPP_NOTIFYCALLBACK) {
        // Version 4: the event in the low word of lParam, the anchor (cursor or
        // icon) in wParam. A double click does no more than its first press.
        owner_.IconEvent(LOWORD(lParam), static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)));
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // The shell restarted and forgot its icons (or merely says so again).
        placement_.Place(*this);
        return 0;
    }
    if (msg == WM_DESTROY) {
        Remove();
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

// ---------------------------------------------------------------- TFormGeneral

TFormGeneral::TFormGeneral(AppModel& model)
    : CSystrayGen(*this), JvApplicationHotKey(static_cast<IHotKeyRegistrar&>(*this)), m_(model) {
    SetName("FormGeneral");
    ErrorReportingDeps deps{fs_,
                            system_,
                            ui_,
                            sound_,
                            [this] { return m_.DataDir; },
                            [this] { return m_.ApplicationTitle; },
                            [] { PostQuitMessage(0); }};
    errors_ = std::make_unique<ErrorReporting>(deps);
}

TFormGeneral::~TFormGeneral() {
    Destroy();
    // The route points at this window's services, which go with it.
    SetApplicationExceptionRoute(nullptr);
}

bool TFormGeneral::Create() {
    // Borderless, zero size just off the screen's corner, never shown.
    if (!Window::Create("TFormGeneral", "", WS_POPUP, 0, -1, -1, 0, 0)) return false;
    return FormCreate();
}

bool TFormGeneral::FormCreate() {
    ui_.SetOwner(nullptr);
    SetApplicationExceptionRoute([this](const char* sender, const std::exception* e) {
        errors_->AEGeneralException(sender, e);
    });
    StepClock clock;
    HICON icon = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    const double iconMs = clock.Lap();
    // Without the icon's window the program could never be reached.
    if (!CSystrayGen.Create(icon, m_.ProductTitle)) return false;
    const double trayMs = clock.Lap();
    JvApplicationHotKey.SetActive(true);
    if (OnTiming) {
        OnTiming("    program icon", iconMs);
        OnTiming("    tray icon", trayMs);
        OnTiming("    hot key", clock.Lap());
    }
    return true;
}

void TFormGeneral::FormDestroy() {
    JvApplicationHotKey.Unregister();
    CSystrayGen.Remove();
    CSystrayGen.Destroy();
}

bool TFormGeneral::Register(const HotKeyRegistration& r) {
    return Handle() && RegisterHotKey(Handle(), kHotKeyId, r.modifiers, r.virtualKey) != FALSE;
}

void TFormGeneral::Unregister() {
    if (Handle()) UnregisterHotKey(Handle(), kHotKeyId);
}

bool TFormGeneral::CursorPos(int& x, int& y) {
    POINT pt;
    if (!GetCursorPos(&pt)) return false;
    x = pt.x;
    y = pt.y;
    return true;
}

void TFormGeneral::ProcessMessages() {
    if (ProcessMessagesHook) ProcessMessagesHook();
}

bool TFormGeneral::Terminated() { return TerminatedHook ? TerminatedHook() : false; }

void TFormGeneral::BringToForeground() { SetForegroundWindow(Handle()); }

namespace {
// The window whose menu is tracked, for the message hook below (a system
// callback has no other way to find it); set only while the menu runs.
TFormGeneral* tracking = nullptr;
HHOOK keyHook = nullptr;
}  // namespace

LRESULT CALLBACK TFormGeneral::MenuKeyHook(int code, WPARAM wParam, LPARAM lParam) {
    // Once a letter has sent the menu away for Find, the menu's loop may still
    // take a key or two typed on meanwhile, and they would end with it: they go
    // to this window instead, which hands them to Find.
    if (code == HC_ACTION && wParam == PM_REMOVE && tracking && tracking->Tray.FindPending()) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (msg.message == WM_CHAR && tracking->menuCharInHand_ &&
            static_cast<char>(msg.wParam) == tracking->menuChar_) {
            // The letter that asked for Find, taken off the queue after its answer.
            tracking->menuCharInHand_ = false;
        } else if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) {
            PostMessageA(tracking->Handle(), msg.message, msg.wParam, msg.lParam);
            msg.message = WM_NULL;
        }
    }
    return CallNextHookEx(keyHook, code, wParam, lParam);
}

MenuEntry* TFormGeneral::TrackMenu(PopupMenu& menu, const MenuPlacement& where) {
    if (!ShortCuts) return nullptr;
    const RECT exclude = {where.excluded.left, where.excluded.top, where.excluded.right, where.excluded.bottom};
    tracking = this;
    menuCharInHand_ = false;
    keyHook = SetWindowsHookExA(WH_GETMESSAGE, MenuKeyHook, nullptr, GetCurrentThreadId());
    MenuEntry* chosen =
        ShortCuts->TrackMenu(menu, Handle(), POINT{where.x, where.y}, where.flags, where.exclude ? &exclude : nullptr);
    if (keyHook) UnhookWindowsHookEx(keyHook);
    keyHook = nullptr;
    tracking = nullptr;
    return chosen;
}

TaskbarEdge TFormGeneral::Taskbar() {
    APPBARDATA abd = {};
    abd.cbSize = sizeof abd;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) return TaskbarEdge::Unknown;
    switch (abd.uEdge) {
        case ABE_LEFT: return TaskbarEdge::Left;
        case ABE_TOP: return TaskbarEdge::Top;
        case ABE_RIGHT: return TaskbarEdge::Right;
        case ABE_BOTTOM: return TaskbarEdge::Bottom;
        default: break;
    }
    return TaskbarEdge::Unknown;
}

bool TFormGeneral::MenuDropsRight() { return GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0; }

bool TFormGeneral::IconRect(ScreenRect& r) {
    RECT rc;
    if (!CSystrayGen.IconRect(rc)) return false;
    r = ScreenRect{rc.left, rc.top, rc.right, rc.bottom};
    return true;
}

unsigned TFormGeneral::NowMs() { return GetTickCount(); }

unsigned TFormGeneral::DoubleClickMs() { return GetDoubleClickTime(); }

void TFormGeneral::ScheduleLaterWork(unsigned ms) {
    if (Handle()) SetTimer(Handle(), kLaterWorkTimer, ms, nullptr);
}

void TFormGeneral::PostNull() { PostMessageA(Handle(), WM_NULL, 0, 0); }

void TFormGeneral::CloseMenu() { EndMenu(); }

bool TFormGeneral::RunEntryCommand() { return ShortCuts && ShortCuts->RunEntryCommand(); }

LRESULT TFormGeneral::MenuChar(char ch, HMENU menu) {
    const LRESULT r = ShortCuts->MenuChar(ch, menu);
    // In an entry's context menu a letter of no command is only that.
    if (HIWORD(r) != MNC_IGNORE || ShortCuts->InEntryMenu()) return r;
    // No entry has it as hot key: the menu makes way for Find, at its place.
    POINT at;
    if (!MenuWindowPlace(Handle(), menu, at) && !GetCursorPos(&at)) return r;
    if (Tray.MenuCharUnmatched(TextFromAnsiChar(ch), at.x, at.y)) {
        // MNC_CLOSE ends the menu on Windows; EndMenu makes sure elsewhere.
        EndMenu();
        menuCharInHand_ = true;
        menuChar_ = ch;
        return MAKELRESULT(0, MNC_CLOSE);
    }
    return r;
}

void TFormGeneral::IconButtonPressed() { Tray.IconButtonPressed(*this, OnMenuClick); }

void TFormGeneral::IconEvent(UINT event, int anchorX, int anchorY) {
    Tray.IconEvent(TrayEventOf(event), anchorX, anchorY, *this, OnMenuClick);
}

void TFormGeneral::JvApplicationHotKeyHotKey() { Tray.JvApplicationHotKeyHotKey(*this, OnMenuClick); }

void TFormGeneral::AEGeneralActivate() {
    for (AppForm* form : TitledForms) {
        if (form && IsWindowVisible(form->Handle())) form->FormActivate();
        ProcessMessages();
    }
}

LRESULT TFormGeneral::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATEAPP:
            if (ActivateBound) AEGeneralActivate();
            break;
        case WM_TIMER:
            if (wParam == kLaterWorkTimer) {
                KillTimer(Handle(), kLaterWorkTimer);
                if (OnLaterWork) OnLaterWork();
                return 0;
            }
            break;
        case WM_CHAR:
            if (OnStrayChar && OnStrayChar(static_cast<char>(wParam))) return 0;
            break;
        case WM_HOTKEY:
            if (static_cast<int>(wParam) == kHotKeyId) JvApplicationHotKeyHotKey();
            return 0;
        case WM_MEASUREITEM:
            if (ShortCuts && ShortCuts->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (ShortCuts && ShortCuts->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_INITMENUPOPUP:
            if (ShortCuts) ShortCuts->InitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_MENUSELECT:
            if (ShortCuts) ShortCuts->MenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
            break;
        case WM_MENUCHAR:
            if (ShortCuts) return MenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
            break;
        case WM_DESTROY:
            FormDestroy();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
