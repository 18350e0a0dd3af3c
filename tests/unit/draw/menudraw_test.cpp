// Geometry of the owner-drawn tray menu: sizes, positions, colours and fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/MenuDraw.h"

namespace {

using pv::DisplayList;
using pv::DrawOp;
using pv::DrawOpKind;
using pv::DrawRect;
using pv::MenuEntry;

// Every character 7 pixels wide; text height = |font height| + 2.
class FakeMeasure : public pv::IMenuTextMeasure {
public:
    pv::TextExtent Extent(const pv::FontSpec& font, const std::string& text) override {
        fonts.push_back(font);
        texts.push_back(text);
        int h = font.height < 0 ? -font.height : font.height;
        return {static_cast<int>(text.size()) * 7, h + 2 + extraHeight};
    }
    int PixelsPerInch() override { return ppi; }
    int ppi = 96;
    int extraHeight = 0;
    std::vector<pv::FontSpec> fonts;
    std::vector<std::string> texts;
};

MenuEntry* Add(MenuEntry& parent, const std::string& caption, int tag, int image = -1,
               pv::DrawHandler draw = pv::DrawHandler::NorItemsRTDrawItem) {
    MenuEntry* e = parent.Append();
    e->caption = caption;
    e->tag = tag;
    e->imageIndex = image;
    e->onDraw = draw;
    e->onMeasure = draw == pv::DrawHandler::None ? pv::MeasureHandler::None : pv::MeasureHandler::NorItemsRTMeasureItem;
    return e;
}

// A folder's submenu as the loader builds it with DrawMenuBar on.
struct BarFolder {
    MenuEntry root;
    MenuEntry* folder;
    MenuEntry* link;
    MenuEntry* sub;
    MenuEntry* last;
    BarFolder(const std::string& name = "Games") {
        folder = Add(root, name, 4, 0);
        Add(*folder, name, pv::kTagSideBar, -1, pv::DrawHandler::None);
        Add(*folder, "Hiding", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
        link = Add(*folder, "Editor", 0, 15);
        Add(*folder, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
        sub = Add(*folder, "More", 1, 0);
        Add(*sub, "Hiding", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
        last = Add(*folder, "Notes", 1, -1);
    }
};

std::vector<const DrawOp*> OfKind(const DisplayList& list, DrawOpKind kind) {
    std::vector<const DrawOp*> out;
    for (const auto& op : list)
        if (op.kind == kind) out.push_back(&op);
    return out;
}

const DrawRect kItem{0, 38, 150, 57};  // B = 57
pv::MenuDrawSettings Program(bool bold = false) {
    pv::MenuDrawSettings s;
    s.windowsDraw = false;
    s.fontBold = bold;
    return s;
}

// ---------------------------------------------------------------- helpers

TEST(MenuDrawHelpers, MulDivRoundsToNearest) {
    struct Case {
        int a, b, c, r;
    };
    const Case cases[] = {
        {8, 96, 72, 11},  {9, 96, 72, 12},   {10, 96, 72, 13},  {11, 96, 72, 15}, {12, 96, 72, 16},
        {7, 96, 72, 9},   {6, 96, 72, 8},    {8, 120, 72, 13},  {8, 144, 72, 16}, {-8, 96, 72, -11},
        {1, 1, 2, 1},     {-1, 1, 2, -1},    {3, 1, 2, 2},      {5, 7, 0, -1},    {0, 96, 72, 0},
        {2000000000, 2, 4, 1000000000},      {2000000000, 3, 1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(pv::MulDivRound(c.a, c.b, c.c), c.r) << c.a << "*" << c.b << "/" << c.c;
}

TEST(MenuDrawHelpers, StripHotkeyRemovesMarkers) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"Sysmenu", "Sysmenu"}, {"&File", "File"},  {"Sys&&menu", "Sys&menu"},
                          {"a&b&c", "abc"},       {"end&", "end"},    {"&&&x", "&x"},
                          {"", ""},               {"&", ""}};
    for (const Case& c : cases) EXPECT_EQ(pv::StripHotkey(c.in), c.out) << c.in;
}

TEST(MenuDrawHelpers, SubmenuHeightCountsVisibleEntries) {
    struct Case {
        std::vector<int> tags;
        int height;
    };
    const Case cases[] = {
        {{}, 0},
        {{pv::kTagSideBar, pv::kTagHiddenPlaceholder}, 0},
        {{pv::kTagPlainSeparator}, 8},
        {{0}, 19},
        {{pv::kTagCaptionedSeparator}, 19},
        {{pv::kTagSideBar, pv::kTagHiddenPlaceholder, 0, pv::kTagPlainSeparator, 3, pv::kTagCaptionedSeparator}, 65},
    };
    for (const Case& c : cases) {
        MenuEntry root;
        MenuEntry* probe = nullptr;
        for (int t : c.tags) probe = Add(root, "x", t);
        if (!probe) probe = Add(root, "x", pv::kTagHiddenPlaceholder);  // an entry to ask from
        EXPECT_EQ(pv::SubmenuHeight(*probe), c.height);
    }
    MenuEntry lone;
    EXPECT_EQ(pv::SubmenuHeight(lone), 0);
}

TEST(MenuDrawHelpers, SideBarIndexAndLastDrawn) {
    BarFolder f;
    EXPECT_EQ(pv::SideBarIndex(*f.link), 0);
    EXPECT_EQ(pv::SideBarIndex(*f.folder), -1);  // the root menu has no bar
    MenuEntry lone;
    EXPECT_EQ(pv::SideBarIndex(lone), -1);
    EXPECT_FALSE(pv::IsLastDrawnEntry(lone));
    EXPECT_TRUE(pv::IsLastDrawnEntry(*f.last));
    EXPECT_FALSE(pv::IsLastDrawnEntry(*f.link));
    // Entries the system draws do not count from the end.
    Add(*f.folder, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
    EXPECT_TRUE(pv::IsLastDrawnEntry(*f.last));
    // The layout is kept until the handlers change, which whoever changes them says.
    f.last->onDraw = pv::DrawHandler::None;
    EXPECT_TRUE(pv::IsLastDrawnEntry(*f.last)) << "still the kept layout";
    f.folder->ForgetLayout();
    EXPECT_TRUE(pv::IsLastDrawnEntry(*f.sub));
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

TEST(MenuDrawHelpers, HotKeyLettersOfOwnerDrawnItems) {
    MenuEntry root;
    std::vector<pv::MenuKeyItem> items;
    for (const char* caption : {"&Notepad", "Registry &Editor", "Fish && Chips", "&extra", "No marker", "&zz", "&Quit"}) {
        pv::MenuKeyItem item;
        item.entry = Add(root, caption, 0);
        item.ownerDrawn = true;
        items.push_back(item);
    }
    items[5].enabled = false;
    items[6].ownerDrawn = false;  // the system finds its letter itself
    items.push_back(pv::MenuKeyItem{});  // a separator: no entry of ours
    bool several = true;
    EXPECT_EQ(pv::FindMenuHotKey(items, 'n', several, AsciiUpper), 0);
    EXPECT_FALSE(several);
    EXPECT_EQ(pv::FindMenuHotKey(items, 'E', several, AsciiUpper), 1);
    EXPECT_TRUE(several) << "Registry &Editor and &extra";
    EXPECT_EQ(pv::FindMenuHotKey(items, 'c', several, AsciiUpper), -1) << "&& is no marker";
    EXPECT_EQ(pv::FindMenuHotKey(items, 'z', several, AsciiUpper), -1) << "disabled items are passed over";
    EXPECT_EQ(pv::FindMenuHotKey(items, 'q', several, AsciiUpper), -1);
}

TEST(MenuDrawHelpers, FontsFromTheSettings) {
    pv::MenuDrawSettings s = Program(true);
    s.fontName = "Tahoma";
    s.fontSize = 10;
    pv::FontSpec f = pv::MenuFont(s, 96);
    EXPECT_EQ(f.faceName, "Tahoma");
    EXPECT_EQ(f.height, -13);
    EXPECT_TRUE(f.bold);
    EXPECT_EQ(f.escapement, 0);
    EXPECT_FALSE(f.systemMenuFont);
    pv::FontSpec bar = pv::SideBarFont(s, 120);
    EXPECT_EQ(bar.height, -17);
    EXPECT_EQ(bar.escapement, 900);
    EXPECT_TRUE(bar.bold);
}

TEST(MenuDrawHelpers, LongFontNameIsCutForTheBarOnly) {
    pv::MenuDrawSettings s = Program();
    const std::string longName = "A Font Name Of Forty Characters Long xyz";  // 40
    ASSERT_EQ(longName.size(), 40u);
    s.fontName = longName;
    EXPECT_EQ(pv::MenuFont(s, 96).faceName, longName);
    EXPECT_EQ(pv::SideBarFont(s, 96).faceName, longName.substr(0, 31));
    s.fontName = std::string(31, 'x');
    EXPECT_EQ(pv::SideBarFont(s, 96).faceName, s.fontName);
}

// ---------------------------------------------------------------- measure

TEST(MenuMeasure, WidthsAndHeight) {
    BarFolder f;
    MenuEntry root;
    MenuEntry* plain = Add(root, "Editor", 0, 15);
    MenuEntry* folder = Add(root, "Editor", 2, 0);
    Add(*folder, "Hiding", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
    MenuEntry* marked = Add(root, "&Editor", 0, 15);
    FakeMeasure m;
    const pv::MenuDrawSettings s = Program();
    struct Case {
        const MenuEntry* entry;
        int width;
    };
    const Case cases[] = {
        {plain, 42 + 23},           // text + 23
        {folder, 42 + 23 + 7},      // a submenu is 7 wider
        {marked, 49 + 23},          // the marker is measured as it stands
        {f.link, 42 + 23 + 22},     // with a bar, 22 wider
        {f.sub, 28 + 23 + 22 + 7},  // both
        {f.folder, 35 + 23 + 7},    // the root menu has no bar
    };
    for (const Case& c : cases) {
        pv::MeasureResult r = pv::NorItemsRTMeasureItem(*c.entry, s, m);
        EXPECT_EQ(r.width, c.width) << c.entry->caption;
        EXPECT_EQ(r.height, 19);
    }
    for (const auto& font : m.fonts) {
        EXPECT_EQ(font.faceName, "Verdana");
        EXPECT_EQ(font.height, -11);
        EXPECT_FALSE(font.bold);
    }
}

TEST(MenuMeasure, UsesTheBoldFontWhenAsked) {
    MenuEntry root;
    MenuEntry* e = Add(root, "x", 0);
    FakeMeasure m;
    pv::NorItemsRTMeasureItem(*e, Program(true), m);
    ASSERT_EQ(m.fonts.size(), 1u);
    EXPECT_TRUE(m.fonts[0].bold);
}

// ---------------------------------------------------------------- ordinary entries

struct DrawCase {
    const char* name;
    bool bar;
    int image;
    bool enabled;
    bool selected;
};

TEST(MenuDraw, OrdinaryEntryGeometry) {
    const DrawCase cases[] = {
        {"plain, image, idle", false, 15, true, false},
        {"plain, image, selected", false, 15, true, true},
        {"plain, no image, selected", false, -1, true, true},
        {"plain, no image, idle", false, -1, true, false},
        {"bar, image, selected", true, 15, true, true},
        {"bar, no image, selected", true, -1, true, true},
        {"disabled, image, selected", false, 15, false, true},
        {"disabled, no image, idle", false, -1, false, false},
        {"bar, disabled, image", true, 3, false, true},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        BarFolder f;
        MenuEntry root;
        MenuEntry* e = c.bar ? f.link : Add(root, "&Editor", 0);
        e->caption = "&Editor";
        e->imageIndex = c.image;
        e->enabled = c.enabled;
        FakeMeasure m;
        DisplayList list = pv::NorItemsRTDrawItem(*e, kItem, c.selected, Program(), m);

        auto images = OfKind(list, DrawOpKind::Image);
        if (c.image >= 0) {
            ASSERT_EQ(images.size(), 1u);
            EXPECT_EQ(images[0]->imageIndex, c.image);
            EXPECT_EQ(images[0]->x1, c.bar ? 22 : 2);
            EXPECT_EQ(images[0]->y1, 39);
            EXPECT_EQ(images[0]->greyed, !c.enabled);
        } else {
            EXPECT_TRUE(images.empty());
        }

        // B = 57: the frame's top line is at 38, its bottom at 56; its left
        // edge at 1 (21 with the bar), its right edge at 18 (38).
        auto lines = OfKind(list, DrawOpKind::Line);
        ASSERT_EQ(lines.size(), 4u);
        const bool frame = c.image >= 0 && c.selected;
        const int light = frame ? pv::kColorBtnHighlight : pv::kColorMenu;
        const int dark = frame ? pv::kColorBtnShadow : pv::kColorMenu;
        const int plain[4][4] = {{1, 38, 18, 38}, {1, 38, 1, 56}, {18, 38, 18, 56}, {1, 56, 19, 56}};
        const int barred[4][4] = {{21, 38, 38, 38}, {21, 38, 21, 56}, {38, 38, 38, 56}, {21, 56, 39, 56}};
        const int (*expected)[4] = c.bar ? barred : plain;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(lines[i]->x1, expected[i][0]) << i;
            EXPECT_EQ(lines[i]->y1, expected[i][1]) << i;
            EXPECT_EQ(lines[i]->x2, expected[i][2]) << i;
            EXPECT_EQ(lines[i]->y2, expected[i][3]) << i;
            EXPECT_EQ(lines[i]->color, i < 2 ? light : dark) << i;
        }

        auto fills = OfKind(list, DrawOpKind::FillRect);
        ASSERT_EQ(fills.size(), 1u);  // the bar is drawn by the last entry only
        const int bgLeft = c.image >= 0 ? (c.bar ? 40 : 20) : (c.bar ? 20 : 0);
        const DrawRect bg{bgLeft, 38, 150, 57};
        EXPECT_EQ(fills[0]->rect, bg);
        EXPECT_EQ(fills[0]->color, c.selected && c.enabled ? pv::kColorHighlight : pv::kColorMenu);

        auto texts = OfKind(list, DrawOpKind::Text);
        const DrawRect tr{c.bar ? 43 : 23, 38, 150, 57};
        const unsigned flags = pv::kDtSingleLine | pv::kDtVCenter;
        if (c.enabled) {
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0]->rect, tr);
            EXPECT_EQ(texts[0]->color, c.selected ? pv::kColorHighlightText : pv::kColorMenuText);
        } else {
            // Embossed: a light copy 1 pixel right and down, then the shadow in place.
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_EQ(texts[0]->rect, (DrawRect{tr.left + 1, tr.top + 1, tr.right + 1, tr.bottom + 1}));
            EXPECT_EQ(texts[0]->color, pv::kColorBtnHighlight);
            EXPECT_EQ(texts[1]->rect, tr);
            EXPECT_EQ(texts[1]->color, pv::kColorBtnShadow);
        }
        for (const DrawOp* t : texts) {
            EXPECT_EQ(t->text, "&Editor");  // DrawText underlines the marked letter
            EXPECT_EQ(t->textFlags, flags);
            EXPECT_LT(t->bkColor, 0);
            EXPECT_EQ(t->font.faceName, "Verdana");
            EXPECT_EQ(t->font.height, -11);
        }
        // Order: the background comes before the text.
        size_t fillAt = 0, textAt = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].kind == DrawOpKind::FillRect && fillAt == 0) fillAt = i + 1;
            if (list[i].kind == DrawOpKind::Text && textAt == 0) textAt = i + 1;
        }
        EXPECT_LT(fillAt, textAt);
    }
}

TEST(MenuDraw, DisabledEntryIsNeverHighlighted) {
    MenuEntry root;
    MenuEntry* e = Add(root, "Off", 0, -1);
    e->enabled = false;
    FakeMeasure m;
    for (bool sel : {false, true}) {
        DisplayList list = pv::NorItemsRTDrawItem(*e, kItem, sel, Program(), m);
        for (const auto& op : list) {
            EXPECT_NE(op.color, pv::kColorHighlight);
            EXPECT_NE(op.color, pv::kColorHighlightText);
        }
    }
}

TEST(MenuDraw, BoldSettingReachesTheTextFont) {
    MenuEntry root;
    MenuEntry* e = Add(root, "x", 0);
    FakeMeasure m;
    DisplayList list = pv::NorItemsRTDrawItem(*e, kItem, false, Program(true), m);
    auto texts = OfKind(list, DrawOpKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0]->font.bold);
}

// ---------------------------------------------------------------- side bar

TEST(MenuDraw, LastDrawnEntryPaintsTheSideBar) {
    BarFolder f("Games & Fun");
    FakeMeasure m;
    const int h = 19 + 8 + 19 + 19;  // Editor, separator, More, Notes
    DisplayList list = pv::NorItemsRTDrawItem(*f.last, {0, 46, 120, 65}, false, Program(true), m);
    auto fills = OfKind(list, DrawOpKind::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[1]->rect, (DrawRect{0, 0, 19, h - 1}));
    EXPECT_EQ(fills[1]->color, pv::kColorInactiveCaption);
    auto bars = OfKind(list, DrawOpKind::BarText);
    ASSERT_EQ(bars.size(), 1u);
    const DrawOp& bar = *bars[0];
    EXPECT_EQ(bar.text, "Games & Fun");  // the side-bar entry's caption, as it stands
    EXPECT_EQ(bar.font.escapement, 900);
    EXPECT_EQ(bar.font.faceName, "Verdana");
    EXPECT_EQ(bar.font.height, -11);
    EXPECT_TRUE(bar.font.bold);
    EXPECT_EQ(bar.x1, (20 - 13) / 2);  // text height 13 in the fake
    EXPECT_EQ(bar.y1, h - 4);
    EXPECT_EQ(bar.rect, (DrawRect{0, 0, 20, h}));
    EXPECT_EQ(bar.color, pv::kColorInactiveCaptionText);
    EXPECT_EQ(bar.bkColor, pv::kColorInactiveCaption);
    EXPECT_EQ(list.back().kind, DrawOpKind::BarText);  // painted last, over the entries

    // The other entries leave the bar alone.
    for (MenuEntry* e : {f.link, f.sub}) {
        DisplayList other = pv::NorItemsRTDrawItem(*e, kItem, true, Program(), m);
        EXPECT_TRUE(OfKind(other, DrawOpKind::BarText).empty());
    }
}

TEST(MenuDraw, SideBarTextPositionTruncatesTowardZero) {
    struct Case {
        int fontSize;
        int extra;
        int x;
    };
    // text height = MulDiv(size, 96, 72) + 2 + extra
    const Case cases[] = {{8, 0, 3}, {8, 1, 3}, {9, 0, 3}, {12, 0, 1}, {12, 1, 0}, {12, 6, -2}, {12, 7, -2}};
    for (const Case& c : cases) {
        BarFolder f;
        FakeMeasure m;
        m.extraHeight = c.extra;
        pv::MenuDrawSettings s = Program();
        s.fontSize = c.fontSize;
        DisplayList list;
        pv::DrawSideBar(*f.last, s, m, list);
        auto bars = OfKind(list, DrawOpKind::BarText);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0]->x1, c.x) << c.fontSize << "+" << c.extra;
    }
}

TEST(MenuDraw, SideBarFontNameIsCutTo31) {
    BarFolder f;
    FakeMeasure m;
    pv::MenuDrawSettings s = Program();
    s.fontName = std::string(40, 'F');
    DisplayList list = pv::NorItemsRTDrawItem(*f.last, kItem, false, s, m);
    auto texts = OfKind(list, DrawOpKind::Text);
    auto bars = OfKind(list, DrawOpKind::BarText);
    ASSERT_EQ(texts.size(), 1u);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(texts[0]->font.faceName.size(), 40u);
    EXPECT_EQ(bars[0]->font.faceName, std::string(31, 'F'));
}

TEST(MenuDraw, KitSubmenuHasABarPaintedByAbout) {
    MenuEntry root;
    MenuEntry* kit = Add(root, "Pivora Kit", 10, 0);
    Add(*kit, "Pivora  Kit", pv::kTagSideBar, -1, pv::DrawHandler::None);
    Add(*kit, "hidden", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
    MenuEntry* help = Add(*kit, "Help File", 0, 8);
    Add(*kit, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
    Add(*kit, "Manage Items...", 0, 9);
    Add(*kit, "Preferences...", 0, 10);
    Add(*kit, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
    Add(*kit, "Visit Website", 0);
    Add(*kit, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
    MenuEntry* about = Add(*kit, "About...", 0);
    EXPECT_EQ(pv::SubmenuHeight(*help), 5 * 19 + 3 * 8);
    FakeMeasure m;
    EXPECT_EQ(pv::NorItemsRTMeasureItem(*help, Program(), m).width, 9 * 7 + 23 + 22);
    DisplayList list = pv::NorItemsRTDrawItem(*about, kItem, false, Program(), m);
    auto bars = OfKind(list, DrawOpKind::BarText);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0]->text, "Pivora  Kit");
    EXPECT_EQ(bars[0]->y1, 119 - 4);
}

// ---------------------------------------------------------------- captioned separators

TEST(MenuDraw, CaptionedSeparatorGeometry) {
    for (bool bar : {false, true}) {
        for (bool windowsDraw : {false, true}) {
            SCOPED_TRACE(std::string(bar ? "bar" : "no bar") + (windowsDraw ? ", Windows draws" : ""));
            BarFolder f;
            MenuEntry root;
            MenuEntry* e = bar ? f.link : Add(root, "", 0);
            e->caption = "Sys&menu";
            e->tag = pv::kTagCaptionedSeparator;
            e->imageIndex = -1;
            e->onDraw = pv::DrawHandler::SpeItemsRTDrawItem;
            pv::MenuDrawSettings s = Program(true);
            s.windowsDraw = windowsDraw;
            FakeMeasure m;
            DisplayList list = pv::SpeItemsRTDrawItem(*e, kItem, s, m);
            const int x0 = bar ? 20 : 0;
            const int y = kItem.bottom - 10;
            ASSERT_EQ(list.size(), 4u);
            EXPECT_EQ(list[0].kind, DrawOpKind::FillRect);
            EXPECT_EQ(list[0].rect, (DrawRect{x0, kItem.top, kItem.right, kItem.bottom}));
            EXPECT_EQ(list[0].color, pv::kColorMenu);
            EXPECT_EQ(list[1].kind, DrawOpKind::Line);
            EXPECT_EQ(list[1].x1, x0);
            EXPECT_EQ(list[1].y1, y);
            EXPECT_EQ(list[1].x2, kItem.right);
            EXPECT_EQ(list[1].y2, y);
            EXPECT_EQ(list[1].color, pv::kColorBtnShadow);
            EXPECT_EQ(list[2].kind, DrawOpKind::Line);
            EXPECT_EQ(list[2].y1, y + 1);
            EXPECT_EQ(list[2].y2, y + 1);
            EXPECT_EQ(list[2].x1, x0);
            EXPECT_EQ(list[2].x2, kItem.right);
            EXPECT_EQ(list[2].color, pv::kColorBtnHighlight);
            const DrawOp& t = list[3];
            EXPECT_EQ(t.kind, DrawOpKind::Text);
            EXPECT_EQ(t.text, "Sysmenu");
            EXPECT_EQ(t.rect, (DrawRect{x0, kItem.top, kItem.right, kItem.bottom}));
            EXPECT_EQ(t.textFlags & (pv::kDtSingleLine | pv::kDtVCenter | pv::kDtCenter),
                      unsigned(pv::kDtSingleLine | pv::kDtVCenter | pv::kDtCenter));
            EXPECT_EQ(t.color, pv::kColorMenuText);
            EXPECT_EQ(t.bkColor, pv::kColorMenu);  // opaque: it interrupts the line
            EXPECT_EQ(t.font.systemMenuFont, windowsDraw);
            if (!windowsDraw) {
                EXPECT_EQ(t.font.faceName, "Verdana");
                EXPECT_TRUE(t.font.bold);
            }
        }
    }
}

TEST(MenuDraw, CaptionedSeparatorLastInABarSubmenuPaintsTheBar) {
    BarFolder f;
    MenuEntry* sep = Add(*f.folder, "Tools", pv::kTagCaptionedSeparator, -1, pv::DrawHandler::SpeItemsRTDrawItem);
    FakeMeasure m;
    DisplayList list = pv::SpeItemsRTDrawItem(*sep, kItem, Program(), m);
    auto bars = OfKind(list, DrawOpKind::BarText);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0]->y1, 19 + 8 + 19 + 19 + 19 - 4);
    // The entry before it no longer paints the bar.
    EXPECT_TRUE(OfKind(pv::NorItemsRTDrawItem(*f.last, kItem, false, Program(), m), DrawOpKind::BarText).empty());
}

}  // namespace
