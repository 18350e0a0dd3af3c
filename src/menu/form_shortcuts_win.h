#pragma once
// TFormShortCuts: never shown. Holds the six break pictures and the menu
// entries' measure and draw handlers, and turns the MenuEntry tree of a popup
// menu into an HMENU each time the menu pops up.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "menu/EntryMenu.h"
#include "menu/MenuDraw.h"
#include "menu/MenuTheme.h"
#include "model/AppModel.h"
#include "model/MenuModel.h"
#include "model/Pictures_win.h"
#include "support/Window_win.h"

namespace pv {

// The HMENU made from a MenuEntry tree. Command id n (from 1) is commands[n - 1];
// owner-drawn items carry their MenuEntry* as item data.
struct RealisedMenu {
    HMENU menu = nullptr;
    std::vector<MenuEntry*> commands;
    HIMAGELIST images = nullptr;
    // Plain separators drawn by the program (their entry as item data), in
    // colours the system's would not match.
    bool drawSeparators = false;
    // Submenus made empty, to be filled when they are about to open.
    std::vector<std::pair<HMENU, const MenuEntry*>> unfilled;

    RealisedMenu() = default;
    RealisedMenu(const RealisedMenu&) = delete;
    RealisedMenu& operator=(const RealisedMenu&) = delete;
    ~RealisedMenu();
    MenuEntry* EntryOfCommand(UINT id) const;
    // Fills sub when it is one of the unfilled submenus (WM_INITMENUPOPUP).
    // Returns whether it was.
    bool FillSubmenu(HMENU sub);
};

// Builds a popup HMENU from root's sub-entries: invisible entries are left out,
// entries with sub-entries become submenus, tag -200 a separator, entries with
// a measure or draw handler owner-drawn items, the rest text items that show
// their picture from images (when given) through HBMMENU_CALLBACK. Submenus
// stay empty until FillSubmenu, so that a pop-up costs the levels the user
// opens, not the whole tree.
void RealiseMenuTree(const MenuEntry& root, RealisedMenu& out, HIMAGELIST images = nullptr,
                     bool drawSeparators = false);

// Text sizes for the menu geometry, measured on the screen: one device context
// and one font per face, size and weight for as long as the object lives (one
// pop-up), not one per entry.
class WinMenuTextMeasure : public IMenuTextMeasure {
public:
    // dpi: the pixels per inch fonts are made for (0: the screen's).
    explicit WinMenuTextMeasure(int dpi = 0);
    ~WinMenuTextMeasure() override;
    WinMenuTextMeasure(const WinMenuTextMeasure&) = delete;
    WinMenuTextMeasure& operator=(const WinMenuTextMeasure&) = delete;

    TextExtent Extent(const FontSpec& font, const std::string& text) override;
    int PixelsPerInch() override { return ppi_; }
    // The font for spec, made on first use and kept; null when it cannot be made.
    HFONT Font(const FontSpec& spec);
    int FontsMade() const { return static_cast<int>(fonts_.size()); }

private:
    HDC dc_ = nullptr;
    int ppi_ = 96;
    std::vector<std::pair<FontSpec, HFONT>> fonts_;
};

// A font as the menu geometry describes it.
HFONT CreateMenuFont(const FontSpec& spec);

// The enabled owner-drawn entry of menu whose caption marks ch with "&".
int FindMenuHotKey(HMENU menu, char ch, bool& several);

// The system's colour of an index (GetSysColor), for MenuPalette.
Rgb SystemColorOf(int index);
// The palette the desktop asks for now: dark, high contrast or the system's.
MenuPalette CurrentMenuPalette(bool windowsDraw);

// Replays a display list of the menu geometry with GDI; images from images, the
// fonts of text operations from fonts (the side bar's rotated font is made and
// deleted for each bar, as it is painted once per submenu), the colours from
// palette (the system's colours when none is given).
void ExecuteDisplayList(HDC dc, const DisplayList& list, HIMAGELIST images, WinMenuTextMeasure& fonts,
                        const MenuPalette* palette = nullptr);

class TFormShortCuts : public Window {
public:
    TFormShortCuts(AppModel& model, WinPictureLists& pictures);
    std::function<void(const char* what, double ms)> OnTiming;  // how long each pop-up took to make
    ~TFormShortCuts() override;

    bool Create();

    // Break pictures "3", "4", "5" for the menu list (16x16) and the tree list (16x18).
    BreakPictures Breaks;

    // Shows menu at pt, owned by owner (which forwards WM_MEASUREITEM,
    // WM_DRAWITEM and WM_MENUCHAR here), aligned by the TPM_* bits in align and
    // off exclude when given; returns the chosen entry or null.
    MenuEntry* TrackMenu(PopupMenu& menu, HWND owner, POINT pt, UINT align = TPM_LEFTALIGN,
                         const RECT* exclude = nullptr);

    // Owner-draw messages of the tracked menu; false when not one of ours.
    bool MeasureItem(MEASUREITEMSTRUCT& mis);
    bool DrawItem(const DRAWITEMSTRUCT& dis);
    // WM_MENUCHAR: the system finds no hot-key letters in owner-drawn entries,
    // so the captions' "&" markers are looked up here.
    LRESULT MenuChar(char ch, HMENU menu);
    // WM_INITMENUPOPUP of the tracked menu: fills the submenu about to open.
    void InitMenuPopup(HMENU sub);
    // WM_MENUSELECT of the tracked menu: the entry the right button may be
    // released on.
    void MenuSelect(UINT item, UINT flags, HMENU menu);

    // The right button released on a link entry opens its context menu
    // (TPM_RECURSE) instead of choosing it; a command chosen there ends the
    // tray menu and waits here until RunEntryCommand. Where the system cannot
    // show a menu inside a menu, the entry is chosen as before.
    bool InEntryMenu() const { return entryMenuOpen_; }
    // Runs the command chosen in the last tray menu's context menu, once;
    // false when none was chosen.
    bool RunEntryCommand();
    std::function<void(EntryCommand, const MenuEntry&)> OnEntryCommand;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    MenuDrawSettings DrawSettings() const;
    static LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam);
    // A right button released in the tracked menu: true when it opens a context menu.
    bool RightButtonUp(POINT pt);
    void ShowEntryMenu();
    WinMenuTextMeasure& Measure();
    // The picture list for the menu's DPI, the picture made.
    HIMAGELIST PicturesFor(int index, int size);

    AppModel& m_;
    WinPictureLists& pictures_;
    // Lives while a menu is tracked; messages outside a pop-up get their own.
    std::unique_ptr<WinMenuTextMeasure> measure_;
    RealisedMenu* tracked_ = nullptr;  // while TrackMenu runs
    // The DPI of the monitor the last menu opened on, and its colours, read
    // again at every pop-up (a change of the desktop's colours shows at the next).
    int dpi_ = 0;
    MenuPalette palette_{MenuLook::Light, SystemColorOf};
    HBRUSH background_ = nullptr;  // the dark menu's background while it shows

    HWND owner_ = nullptr;  // of the tracked menu
    // The entry last selected in the tracked menu, and the menu that holds it.
    UINT selectedId_ = 0;
    HMENU selectedMenu_ = nullptr;
    // The entry the context menu is for, and where the button was released.
    MenuEntry* entryMenuFor_ = nullptr;
    POINT entryMenuAt_{0, 0};
    bool entryMenuOpen_ = false;
    PopupMenu entryMenu_;
    EntryMenuChoice choice_;
};

}  // namespace pv
