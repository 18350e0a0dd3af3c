#pragma once
// TFormShortCuts: never shown. Holds the six break pictures and the menu
// entries' click, measure and draw handlers, and turns the MenuEntry tree of a
// popup menu into an HMENU each time the menu pops up.

#include <windows.h>

#include <vector>

#include <commctrl.h>

#include "menu/MenuDraw.h"
#include "menu/MenuModel.h"
#include "support/Window_win.h"

namespace pv {

// The HMENU made from a MenuEntry tree. Command id n (from 1) is commands[n - 1];
// owner-drawn items carry their MenuEntry* as item data.
struct RealisedMenu {
    HMENU menu = nullptr;
    std::vector<MenuEntry*> commands;

    RealisedMenu() = default;
    RealisedMenu(const RealisedMenu&) = delete;
    RealisedMenu& operator=(const RealisedMenu&) = delete;
    ~RealisedMenu();
    MenuEntry* EntryOfCommand(UINT id) const;
};

// Builds a popup HMENU from root's sub-entries: invisible entries are left out,
// entries with sub-entries become submenus, tag -200 a separator, entries with
// a measure or draw handler owner-drawn items, the rest text items that show
// their picture from images (when given) through HBMMENU_CALLBACK.
void RealiseMenuTree(const MenuEntry& root, RealisedMenu& out, HIMAGELIST images = nullptr);

// Text sizes for the menu geometry, measured on the screen.
class WinMenuTextMeasure : public IMenuTextMeasure {
public:
    TextExtent Extent(const FontSpec& font, const std::string& text) override;
    int PixelsPerInch() override;
};

// A font as the menu geometry describes it.
HFONT CreateMenuFont(const FontSpec& spec);

// The position of the entry of menu whose caption marks ch with "&" (letter
// case ignored), and whether more than one does; -1 when none.
int FindMenuHotKey(HMENU menu, char ch, bool& several);

// Replays a display list of the menu geometry with GDI; images from images.
void ExecuteDisplayList(HDC dc, const DisplayList& list, HIMAGELIST images);

class TFormShortCuts : public Window {
public:
    TFormShortCuts();
    ~TFormShortCuts() override;

    bool Create();

    // Break pictures "3", "4", "5" for the menu list (16x16) and the tree list (16x18).
    HBITMAP ImageBreak3Small = nullptr;
    HBITMAP ImageBreak4Small = nullptr;
    HBITMAP ImageBreak5Small = nullptr;
    HBITMAP ImageBreak3Large = nullptr;
    HBITMAP ImageBreak4Large = nullptr;
    HBITMAP ImageBreak5Large = nullptr;

    // Shows menu at pt, owned by owner (which forwards WM_MEASUREITEM and
    // WM_DRAWITEM here); returns the chosen entry or null.
    MenuEntry* TrackMenu(PopupMenu& menu, HWND owner, POINT pt);
    // Runs the click handler of a chosen entry.
    void ClickEntry(MenuEntry& entry);

    // Owner-draw messages of the tracked menu; false when not one of ours.
    bool MeasureItem(MEASUREITEMSTRUCT& mis);
    bool DrawItem(const DRAWITEMSTRUCT& dis);
    // WM_MENUCHAR: the system finds no hot-key letters in owner-drawn entries,
    // so the captions' "&" markers are looked up here.
    LRESULT MenuChar(char ch, HMENU menu);

    void NorItemsRTClickItem(MenuEntry& entry);

private:
    bool tracking_ = false;
};

}  // namespace pv
