#pragma once
// Geometry of the owner-drawn tray menu. The measure and draw handlers of
// TFormShortCuts are computed here as plain data: a measure result, or a short
// display list that the Win32 layer replays with GDI in WM_DRAWITEM. Keeping the
// positions and colours out of the GDI code lets them be checked natively.
//
// Coordinates are those of the item rectangle the menu hands over (x counted
// from the menu's left edge). Lines follow MoveToEx/LineTo: the end point is not
// painted. Rectangles follow FillRect/DrawText: right and bottom are exclusive.

#include <string>
#include <vector>

#include "menu/MenuTheme.h"
#include "model/AppModel.h"
#include "model/MenuModel.h"

namespace pv {

// System colour indices, the values of the Win32 COLOR_* constants.
enum SysColor : int {
    kColorInactiveCaption = 3,       // COLOR_INACTIVECAPTION
    kColorMenu = 4,                  // COLOR_MENU
    kColorMenuText = 7,              // COLOR_MENUTEXT
    kColorHighlight = 13,            // COLOR_HIGHLIGHT
    kColorHighlightText = 14,        // COLOR_HIGHLIGHTTEXT
    kColorBtnShadow = 16,            // COLOR_BTNSHADOW
    kColorGrayText = 17,             // COLOR_GRAYTEXT
    kColorInactiveCaptionText = 19,  // COLOR_INACTIVECAPTIONTEXT
    kColorBtnHighlight = 20,         // COLOR_BTNHIGHLIGHT
};

// DrawText flags, the values of the Win32 DT_* constants.
enum DrawTextFlag : unsigned {
    kDtLeft = 0x0,
    kDtCenter = 0x1,
    kDtVCenter = 0x4,
    kDtSingleLine = 0x20,
    kDtNoPrefix = 0x800,
};

// Sizes of the menu layout at 96 dpi, in pixels; at another DPI each is
// scaled on its own (ScaleToDpi), so that rows stay whole pixels.
constexpr int kMenuItemHeight = 19;
constexpr int kPlainSeparatorHeight = 8;
constexpr int kSideBarWidth = 20;
constexpr int kLogFontFaceMax = 31;  // LOGFONT lfFaceName holds 31 characters and a zero

struct DrawRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DrawRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A font as the Win32 layer should create it (CreateFontIndirect).
struct FontSpec {
    // Use the system menu font (NONCLIENTMETRICS lfMenuFont) as it is; the other
    // fields except escapement are then ignored.
    bool systemMenuFont = false;
    std::string faceName;
    int height = 0;  // LOGFONT lfHeight: negative = character height in pixels
    bool bold = false;
    int escapement = 0;  // tenths of a degree; 900 runs bottom to top
    bool operator==(const FontSpec& o) const {
        return systemMenuFont == o.systemMenuFont && faceName == o.faceName && height == o.height &&
               bold == o.bold && escapement == o.escapement;
    }
};

// The menu's settings as the draw handlers read them.
struct MenuDrawSettings {
    std::string fontName = "Verdana";
    int fontSize = 8;  // points
    bool fontBold = false;
    bool windowsDraw = true;
    // Pixels per inch of the monitor the menu shows on: every size of the layout
    // is scaled to it (the font's height follows IMenuTextMeasure::PixelsPerInch).
    int dpi = kBaseDpi;
};

// The settings in force as the draw handlers read them.
MenuDrawSettings MenuDrawSettingsOf(const SettingsValues& settings);

struct TextExtent {
    int cx = 0, cy = 0;
};

// Supplied by the Win32 layer: GetTextExtentPoint32 of text (as is, "&"
// included) in the font, plus the screen's pixels per inch (LOGPIXELSY).
class IMenuTextMeasure {
public:
    virtual ~IMenuTextMeasure() = default;
    virtual TextExtent Extent(const FontSpec& font, const std::string& text) = 0;
    virtual int PixelsPerInch() = 0;
};

enum class DrawOpKind {
    FillRect,  // rect, color (a solid brush of the system colour)
    Line,      // x1,y1 to x2,y2, color (solid pen, width 1)
    Image,     // imageIndex from ILAllPublicPM (at the picture size x2 - x1) at
               // x1,y1 to x2,y2 (exclusive); greyed = drawn disabled
    Text,      // DrawText of text in rect with textFlags, font, color; opaque
               // background in bkColor, or transparent when bkColor < 0
    BarText,   // the side bar: select font (rotated, made and deleted by the
               // executor), TextRect/ExtTextOut of text at x1,y1, clipped to rect,
               // opaque background bkColor, text colour color
};

struct DrawOp {
    DrawOpKind kind = DrawOpKind::FillRect;
    DrawRect rect;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int color = kColorMenu;
    int bkColor = -1;
    int imageIndex = -1;
    bool greyed = false;
    std::string text;
    unsigned textFlags = 0;
    FontSpec font;
};

using DisplayList = std::vector<DrawOp>;

struct MeasureResult {
    int width = 0;
    int height = 0;
};

// -------------------------------------------------------------- helpers

// MulDiv as the platform computes it: a * b / c rounded to the nearest integer,
// halves away from zero; -1 when c is 0 or the result lies beyond +-2147483647.
int MulDivRound(int a, int b, int c);

// The layout of parent's sub-entries, worked out on first use and kept in the
// entry until its sub-entries, tags or handlers change (MenuEntry::ForgetLayout).
const SubEntryLayout& SubmenuLayout(const MenuEntry& parent);
// Position of the side-bar entry (tag -9999) among the entry's siblings, or -1.
int SideBarIndex(const MenuEntry& entry);
// Whether the entry is the last of its siblings that carries a draw handler.
bool IsLastDrawnEntry(const MenuEntry& entry);
// Height of the submenu the entry sits in: 0 for side-bar and hidden entries,
// 8 for plain separators, 19 for every other sibling (each scaled to dpi).
int SubmenuHeight(const MenuEntry& entry, int dpi = kBaseDpi);
// The caption without its hot-key markers ("&&" leaves one "&").
std::string StripHotkey(const std::string& caption);

// The program's font for menu entries: FontName, FontSize (at the given pixels
// per inch), bold when FontStyleBold.
FontSpec MenuFont(const MenuDrawSettings& settings, int pixelsPerInch);
// The rotated side-bar font: face name cut to 31 characters, escapement 900.
FontSpec SideBarFont(const MenuDrawSettings& settings, int pixelsPerInch);

// One item of a shown menu, by position, as the hot-key lookup sees it.
struct MenuKeyItem {
    const MenuEntry* entry = nullptr;  // null for items that are not ours
    bool ownerDrawn = false;
    bool enabled = true;
};

// The system finds no hot-key letters in owner-drawn items (WM_MENUCHAR): the
// position of the enabled owner-drawn item whose caption marks ch with "&"
// ("&&" is a plain ampersand), letter case compared through upper (the code
// page's upper case), and whether more than one does; -1 when none.
int FindMenuHotKey(const std::vector<MenuKeyItem>& items, char ch, bool& several, char (*upper)(char));

// The text an owner-drawn item carries beside its drawing, for screen readers
// and GetMenuString: the caption as it reads, without its "&" markers ("&&"
// a plain "&"). Without markers the system still finds no hot-key letters in
// it, and WM_MENUCHAR keeps choosing among entries that share a letter.
std::string MenuItemText(const std::string& caption);

// -------------------------------------------------------------- handlers

// Width and height of one entry (links, folders, system entries, captioned separators).
MeasureResult NorItemsRTMeasureItem(const MenuEntry& entry, const MenuDrawSettings& settings,
                                    IMenuTextMeasure& measure);

// Ordinary entry. Adds the side bar when the entry has one and is the last drawn.
DisplayList NorItemsRTDrawItem(const MenuEntry& entry, const DrawRect& rect, bool selected,
                               const MenuDrawSettings& settings, IMenuTextMeasure& measure);

// Captioned separator (tag -100); the selected state plays no part.
DisplayList SpeItemsRTDrawItem(const MenuEntry& entry, const DrawRect& rect, const MenuDrawSettings& settings,
                               IMenuTextMeasure& measure);

// A plain separator (tag -200) drawn by the program, where the system's own
// would not match the menu's colours (dark): kPlainSeparatorHeight high at the
// settings' DPI, an etched line across its middle from the bar (if any) to the
// right edge. Adds the side bar when the entry is the last drawn.
int PlainSeparatorHeight(const MenuDrawSettings& settings);
DisplayList PlainSeparatorDrawItem(const MenuEntry& entry, const DrawRect& rect, const MenuDrawSettings& settings,
                                   IMenuTextMeasure& measure);

// Appends the side bar of the entry's submenu to list (nothing when it has none).
void DrawSideBar(const MenuEntry& entry, const MenuDrawSettings& settings, IMenuTextMeasure& measure,
                 DisplayList& list);

}  // namespace pv
