#include "app/form_general_win.h"

#include <shellapi.h>

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "manager/form_items_win.h"
#include "menu/form_shortcuts_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"
#include "../../res/resource.h"

namespace pv {

namespace {
constexpr UINT kTrayIconId = 1;
constexpr int kHotKeyId = 1;
}  // namespace

HICON LoadProgramIcon(int size) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PIVORA), IMAGE_ICON, size, size, LR_SHARED));
    if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    return icon;
}

// ---------------------------------------------------------------- CSystrayGen

CSystrayGen::~CSystrayGen() { Remove(); }

bool CSystrayGen::Create(HICON icon) {
    icon_ = icon;
    SetName("CSystrayGen");
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // A hidden top-level window rather than a message-only one: only top-level
    // windows receive the shell's TaskbarCreated broadcast.
    if (!Window::Create("PivoraSystrayWindow", "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) return false;
    return Place();
}

bool CSystrayGen::Place() {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WMAPP_NOTIFYCALLBACK;
    nid.hIcon = icon_;
    nid.szTip[0] = '\0';
    placed_ = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
    return placed_;
}

void CSystrayGen::Remove() {
    if (!placed_ || !Handle()) return;
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &nid);
    placed_ = false;
}

void CSystrayGen::ButtonPressed() {
    if (!Enabled || !PopupMenu) return;
    PopupTrayMenuAtCursor(PopupMenu, &owner_, this);
}

LRESULT CSystrayGen::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WMAPP_NOTIFYCALLBACK) {
        switch (static_cast<UINT>(lParam)) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                ButtonPressed();
                break;
            default:
                break;  // a double click does no more than its first press
        }
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // The shell restarted and forgot its icons.
        Place();
        return 0;
    }
    if (msg == WM_DESTROY) {
        Remove();
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

// ---------------------------------------------------------------- JvApplicationHotKey

bool JvApplicationHotKey::Register() {
    if (!window_) return false;
    const HotKeyRegistration r = HotKeyToRegistration(hotKey_);
    registered_ = RegisterHotKey(window_, id_, r.modifiers, r.virtualKey) != FALSE;
    return registered_;
}

void JvApplicationHotKey::Unregister() {
    if (registered_) UnregisterHotKey(window_, id_);
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

// ---------------------------------------------------------------- TFormGeneral

TFormGeneral::TFormGeneral() : CSystrayGen(*this) {
    SetName("FormGeneral");
    ErrorReportingDeps deps{fs_,
                            system_,
                            ui_,
                            sound_,
                            [] { return DataDir; },
                            [] { return Application::Title(); },
                            [] { Application::Terminate(); }};
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
    FormCreate();
    return true;
}

void TFormGeneral::FormCreate() {
    ui_.SetOwner(nullptr);
    SetApplicationExceptionRoute([this](const char* sender, const std::exception* e) {
        errors_->AEGeneralException(sender, e);
    });
    CSystrayGen.Create(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON)));
    JvApplicationHotKey.Attach(Handle(), kHotKeyId);
    JvApplicationHotKey.SetActive(true);
}

void TFormGeneral::FormDestroy() {
    JvApplicationHotKey.Unregister();
    CSystrayGen.Remove();
    CSystrayGen.Destroy();
}

void TFormGeneral::JvApplicationHotKeyHotKey() {
    PopupTrayMenuAtCursor(CSystrayGen.PopupMenu, this, &CSystrayGen);
}

void TFormGeneral::AEGeneralActivate() {
    for (AppForm* form : {static_cast<AppForm*>(Forms.FormItems), static_cast<AppForm*>(Forms.FormConfig),
                          static_cast<AppForm*>(Forms.FormAbout)}) {
        if (form && IsWindowVisible(form->Handle())) form->FormActivate();
        Application::ProcessMessages();
    }
}

LRESULT TFormGeneral::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATEAPP:
            if (ActivateBound) AEGeneralActivate();
            break;
        case WM_HOTKEY:
            if (static_cast<int>(wParam) == JvApplicationHotKey.Id()) JvApplicationHotKeyHotKey();
            return 0;
        case WM_MEASUREITEM:
            if (Forms.FormShortCuts && Forms.FormShortCuts->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (Forms.FormShortCuts && Forms.FormShortCuts->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case WM_MENUCHAR:
            if (Forms.FormShortCuts)
                return Forms.FormShortCuts->MenuChar(static_cast<char>(LOWORD(wParam)),
                                                     reinterpret_cast<HMENU>(lParam));
            break;
        case WM_DESTROY:
            FormDestroy();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

// ---------------------------------------------------------------- pop-up

void PopupTrayMenuAtCursor(PopupMenu* menu, TFormGeneral* form, CSystrayGen* icon) {
    (void)icon;  // the icon only names who asked; the form's window owns the menu
    // Pumping below may deliver another click or hot key: one menu at a time.
    static bool busy = false;
    if (busy || !menu || !form || !Forms.FormShortCuts) return;
    busy = true;
    struct Release {
        ~Release() { busy = false; }
    } release;
    POINT pt;
    if (!GetCursorPos(&pt)) return;
    Application::ProcessMessages();
    if (Application::Terminated()) return;
    SetForegroundWindow(form->Handle());
    MenuEntry* chosen = Forms.FormShortCuts->TrackMenu(*menu, form->Handle(), pt);
    PostMessageA(form->Handle(), WM_NULL, 0, 0);
    if (chosen) Forms.FormShortCuts->ClickEntry(*chosen);
}

}  // namespace pv
