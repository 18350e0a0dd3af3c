#pragma once
// TFormFind: the Find window. A borderless pop-up with an edit field and an
// owner-drawn list (picture, name, greyed folder path) in the tray menu's font
// and colours. The rules are FindModel's; this window mirrors its controls and
// forwards the keys. It closes on Esc, after a start and when it loses the
// activation (a click elsewhere).

#include <windows.h>

#include <functional>
#include <string>

#include "menu/MenuDraw.h"
#include "menu/form_find.h"
#include "menu/form_shortcuts_win.h"
#include "model/AppModel.h"
#include "model/Pictures_win.h"
#include "support/Window_win.h"

namespace pv {

// UTF-8 for Windows' wide functions; text that is no valid UTF-8 is read in
// the ANSI code page (how store names come today).
std::wstring WideFromText(const std::string& text);
std::string TextFromWide(const std::wstring& text);
// A character in the ANSI code page (WM_MENUCHAR of an ANSI window) as UTF-8.
std::string TextFromAnsiChar(char ch);

// The top left corner of the open popup menu window that shows menu.
bool MenuWindowPlace(HWND owner, HMENU menu, POINT& topLeft);

class TFormFind : public Window {
public:
    TFormFind(AppModel& model, WinPictureLists& pictures);
    ~TFormFind() override;

    // Shows the window with its top left corner at (x, y) (kept on the
    // monitor's work area) and text typed already, and gives it the keyboard.
    void FormShow(int x, int y, const std::string& text);
    void FormHide();
    bool Shown() const;
    // A character that reached the main window while Find was opening (typed
    // on quickly after the first letter): it goes into the field. False when
    // Find is not shown.
    bool TypeAhead(char ch);
    // The tray menu is rebuilt or cleared: close, and forget the index.
    void MenuChanged();

    FindModel& Model() { return model_; }
    // The hidden main window: owned by it, Find gets no task-bar button.
    const Window* Owner = nullptr;
    // Starts an entry the way a choice in the tray menu does.
    std::function<void(const MenuEntry&)> OnLaunch;
    std::function<void(const char* what, double ms)> OnTiming;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateOnce();
    // Font, sizes and colours for an opening at the point: the tray menu's.
    void UpdateLook(POINT at);
    void PushRows();
    void Layout();
    void Apply(const FindOutcome& out);
    bool EditKeyDown(WPARAM key);
    void EditChange();
    void DrawRow(const DRAWITEMSTRUCT& dis);
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);

    AppModel& m_;
    WinPictureLists& pictures_;
    FindModel model_;
    HWND edit_ = nullptr;
    HWND scope_ = nullptr;
    HWND list_ = nullptr;
    HFONT font_ = nullptr;
    FontSpec fontSpec_;
    int fontHeight_ = 13;
    // The monitor's DPI and the tray menu's colours, as of the last opening.
    int dpi_ = kBaseDpi;
    FindGeometry geo_ = FindGeometryFor(kBaseDpi, 13);
    MenuPalette palette_{MenuLook::Light, SystemColorOf};
    HBRUSH background_ = nullptr;
    int x_ = 0, y_ = 0;
    bool pushing_ = false;
};

}  // namespace pv
