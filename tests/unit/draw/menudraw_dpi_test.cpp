// The tray menu's geometry at 96, 120, 144 and 192 dpi, and the colours it
// paints in for a light, dark and high-contrast desktop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/MenuDraw.h"
#include "menu/MenuTheme.h"

namespace {

using pv::DisplayList;
using pv::DrawOp;
using pv::DrawOpKind;
using pv::DrawRect;
using pv::MenuEntry;

// Every character 7 pixels wide; text height = |font height| + 2.
class FakeMeasure : public pv::IMenuTextMeasure {
public:
    explicit FakeMeasure(int dpi) : ppi(dpi) {}
    pv::TextExtent Extent(const pv::FontSpec& font, const std::string& text) override {
        const int h = font.height < 0 ? -font.height : font.height;
        return {static_cast<int>(text.size()) * 7, h + 2};
    }
    int PixelsPerInch() override { return ppi; }
    int ppi;
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

// A folder's submenu with a side bar: four rows and one plain separator.
struct BarFolder {
    MenuEntry root;
    MenuEntry* folder;
    MenuEntry* link;
    MenuEntry* sub;
    MenuEntry* caption;
    MenuEntry* last;
    BarFolder() {
        folder = Add(root, "Games", 4, 0);
        Add(*folder, "Games", pv::kTagSideBar, -1, pv::DrawHandler::None);
        Add(*folder, "Hiding", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
        link = Add(*folder, "Editor", 0, 15);
        Add(*folder, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
        sub = Add(*folder, "More", 1, 0);
        Add(*sub, "Hiding", pv::kTagHiddenPlaceholder, -1, pv::DrawHandler::None);
        caption = Add(*folder, "Group", pv::kTagCaptionedSeparator, -1, pv::DrawHandler::SpeItemsRTDrawItem);
        last = Add(*folder, "Notes", 1, -1);
    }
};

pv::MenuDrawSettings At(int dpi) {
    pv::MenuDrawSettings s;
    s.windowsDraw = false;
    s.dpi = dpi;
    return s;
}

const DrawOp* First(const DisplayList& list, DrawOpKind kind) {
    for (const DrawOp& op : list)
        if (op.kind == kind) return &op;
    return nullptr;
}

// Worked out by hand: each 96-dpi size times dpi / 96, to the nearest pixel
// (halves away from zero).
struct DpiCase {
    int dpi;
    int rowHeight;        // 19
    int picture;          // 16
    int linkWidth;        // "Editor" 42 + 23 + 22 (bar)
    int folderWidth;      // "More" 28 + 23 + 22 (bar) + 7 (sub-entries)
    int imageX, imageY;   // a + 2, B - 18 with a = 20 (bar), B = 100
    int fillLeft;         // a + 20
    int textLeft;         // a + 23
    int frameLeft, frameRight, frameTop;  // a + 1, a + 18, B - 19
    int separatorY;       // B - 10
    int submenuHeight;    // 4 rows (19) + 1 plain separator (8)
    int barRight;         // 20 - 1
    int barTextX, barTextY;  // (20 - text height) / 2, h - 4
};
const DpiCase kCases[] = {
    {96, 19, 16, 87, 80, 22, 82, 40, 43, 21, 38, 81, 90, 84, 19, 3, 80},
    {120, 24, 20, 99, 94, 28, 77, 50, 54, 26, 48, 76, 87, 106, 24, 5, 101},
    {144, 29, 24, 110, 107, 33, 73, 60, 65, 32, 57, 71, 85, 128, 29, 6, 122},
    {192, 38, 32, 132, 132, 44, 64, 80, 86, 42, 76, 62, 80, 168, 39, 8, 160},
};

TEST(MenuDrawDpi, SizesScaleWithTheMonitorsDpi) {
    for (const DpiCase& c : kCases) {
        SCOPED_TRACE(c.dpi);
        BarFolder f;
        FakeMeasure measure(c.dpi);
        const pv::MeasureResult link = pv::NorItemsRTMeasureItem(*f.link, At(c.dpi), measure);
        EXPECT_EQ(link.height, c.rowHeight);
        EXPECT_EQ(link.width, c.linkWidth);
        EXPECT_EQ(pv::NorItemsRTMeasureItem(*f.sub, At(c.dpi), measure).width, c.folderWidth);
        EXPECT_EQ(pv::PictureSizeForDpi(c.dpi), c.picture);
        EXPECT_EQ(pv::SubmenuHeight(*f.link, c.dpi), c.submenuHeight);
    }
}

TEST(MenuDrawDpi, PicturePositionsAndLinesScale) {
    for (const DpiCase& c : kCases) {
        SCOPED_TRACE(c.dpi);
        BarFolder f;
        FakeMeasure measure(c.dpi);
        const DrawRect row{0, 100 - c.rowHeight, 150, 100};
        const DisplayList list = pv::NorItemsRTDrawItem(*f.link, row, true, At(c.dpi), measure);
        const DrawOp* image = First(list, DrawOpKind::Image);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->x1, c.imageX);
        EXPECT_EQ(image->y1, c.imageY);
        EXPECT_EQ(image->x2 - image->x1, c.picture);
        EXPECT_EQ(image->y2 - image->y1, c.picture);
        // The picture lies inside its row.
        EXPECT_GE(image->y1, row.top);
        EXPECT_LE(image->y2, row.bottom);

        std::vector<const DrawOp*> lines;
        for (const DrawOp& op : list)
            if (op.kind == DrawOpKind::Line) lines.push_back(&op);
        ASSERT_EQ(lines.size(), 4u);
        // Top, left, right, bottom of the raised frame of the selected entry.
        EXPECT_EQ(lines[0]->x1, c.frameLeft);
        EXPECT_EQ(lines[0]->x2, c.frameRight);
        EXPECT_EQ(lines[0]->y1, c.frameTop);
        EXPECT_EQ(lines[1]->y2, 99);
        EXPECT_EQ(lines[2]->x1, c.frameRight);
        EXPECT_EQ(lines[3]->x2, c.frameRight + 1);
        EXPECT_EQ(lines[0]->color, pv::kColorBtnHighlight);

        const DrawOp* fill = First(list, DrawOpKind::FillRect);
        ASSERT_NE(fill, nullptr);
        EXPECT_EQ(fill->rect, (DrawRect{c.fillLeft, row.top, 150, 100}));
        const DrawOp* text = First(list, DrawOpKind::Text);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->rect.left, c.textLeft);
    }
}

TEST(MenuDrawDpi, CaptionLineAndSideBarScale) {
    for (const DpiCase& c : kCases) {
        SCOPED_TRACE(c.dpi);
        BarFolder f;
        FakeMeasure measure(c.dpi);
        const DisplayList sep = pv::SpeItemsRTDrawItem(*f.caption, DrawRect{0, 100 - c.rowHeight, 150, 100},
                                                       At(c.dpi), measure);
        const DrawOp* line = First(sep, DrawOpKind::Line);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->y1, c.separatorY);
        EXPECT_EQ(line->x1, c.barRight + 1);  // the line starts right of the bar

        const DisplayList last = pv::NorItemsRTDrawItem(*f.last, DrawRect{0, 0, 150, c.rowHeight}, false,
                                                        At(c.dpi), measure);
        const DrawOp* bar = nullptr;
        const DrawOp* barText = nullptr;
        for (const DrawOp& op : last) {
            if (op.kind == DrawOpKind::FillRect && op.color == pv::kColorInactiveCaption) bar = &op;
            if (op.kind == DrawOpKind::BarText) barText = &op;
        }
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(barText, nullptr);
        EXPECT_EQ(bar->rect, (DrawRect{0, 0, c.barRight, c.submenuHeight - 1}));
        EXPECT_EQ(barText->x1, c.barTextX);
        EXPECT_EQ(barText->y1, c.barTextY);
        EXPECT_EQ(barText->rect, (DrawRect{0, 0, c.barRight + 1, c.submenuHeight}));
    }
}

TEST(MenuDrawDpi, RootEntryWithoutBarStartsAtTheEdge) {
    // At 144 dpi: picture at 3, highlight from 30, text from 35.
    MenuEntry root;
    MenuEntry* e = Add(root, "Probe", 0, 16);
    FakeMeasure measure(144);
    const DisplayList list = pv::NorItemsRTDrawItem(*e, DrawRect{0, 0, 120, 29}, false, At(144), measure);
    EXPECT_EQ(First(list, DrawOpKind::Image)->x1, 3);
    EXPECT_EQ(First(list, DrawOpKind::Image)->y1, 2);
    EXPECT_EQ(First(list, DrawOpKind::FillRect)->rect.left, 30);
    EXPECT_EQ(First(list, DrawOpKind::Text)->rect.left, 35);
    // Not selected: the frame is wiped in the menu colour.
    EXPECT_EQ(First(list, DrawOpKind::Line)->color, pv::kColorMenu);
}

// ---------------------------------------------------------------- colours

pv::Rgb FakeSystem(int index) { return pv::MakeRgb(index, index, index); }

TEST(MenuTheme, LookFollowsTheDesktop) {
    struct Case {
        bool highContrast, light, windowsDraw;
        pv::MenuLook look;
    };
    const Case cases[] = {
        {false, true, false, pv::MenuLook::Light},
        {false, false, false, pv::MenuLook::Dark},
        {true, true, false, pv::MenuLook::HighContrast},
        {true, false, false, pv::MenuLook::HighContrast},  // high contrast wins over dark
        {false, false, true, pv::MenuLook::Light},         // Windows draws as it always has
        {true, false, true, pv::MenuLook::Light},
    };
    for (const Case& c : cases) {
        pv::ThemeInputs in;
        in.highContrast = c.highContrast;
        in.appsUseLightTheme = c.light;
        in.windowsDraw = c.windowsDraw;
        EXPECT_EQ(pv::ChooseMenuLook(in), c.look) << c.highContrast << c.light << c.windowsDraw;
    }
    EXPECT_EQ(pv::ChooseMenuLook(pv::ThemeInputs{}), pv::MenuLook::Light);  // nothing said: light
}

TEST(MenuTheme, LightAndHighContrastUseTheSystemColours) {
    for (pv::MenuLook look : {pv::MenuLook::Light, pv::MenuLook::HighContrast}) {
        const pv::MenuPalette p(look, FakeSystem);
        EXPECT_TRUE(p.UsesSystemColors());
        for (int index : {pv::kColorMenu, pv::kColorMenuText, pv::kColorHighlight, pv::kColorHighlightText,
                          pv::kColorBtnShadow, pv::kColorBtnHighlight, pv::kColorInactiveCaption,
                          pv::kColorInactiveCaptionText})
            EXPECT_EQ(p.Color(index), pv::MakeRgb(index, index, index));
    }
}

TEST(MenuTheme, DarkColoursAreDarkAndReadable) {
    const pv::MenuPalette p(pv::MenuLook::Dark, FakeSystem);
    EXPECT_FALSE(p.UsesSystemColors());
    // A dark background, light text.
    EXPECT_LT(pv::RelativeLuminance(p.Color(pv::kColorMenu)), 0.05);
    EXPECT_GT(pv::RelativeLuminance(p.Color(pv::kColorMenuText)), 0.8);
    const std::pair<int, int> textOn[] = {
        {pv::kColorMenuText, pv::kColorMenu},
        {pv::kColorGrayText, pv::kColorMenu},
        {pv::kColorHighlightText, pv::kColorHighlight},
        {pv::kColorInactiveCaptionText, pv::kColorInactiveCaption},
    };
    for (const auto& t : textOn)
        EXPECT_GE(pv::ContrastRatio(p.Color(t.first), p.Color(t.second)), pv::kMinTextContrast)
            << t.first << " on " << t.second;
    // The highlight is seen against the menu; the separator's dark line too.
    EXPECT_NE(p.Color(pv::kColorHighlight), p.Color(pv::kColorMenu));
    EXPECT_GT(pv::ContrastRatio(p.Color(pv::kColorBtnShadow), p.Color(pv::kColorMenu)), 2.0);
}

TEST(MenuTheme, ContrastRatioOfKnownPairs) {
    struct Case {
        pv::Rgb a, b;
        double ratio;
    };
    const Case cases[] = {
        {pv::MakeRgb(0, 0, 0), pv::MakeRgb(255, 255, 255), 21.0},
        {pv::MakeRgb(255, 255, 255), pv::MakeRgb(0, 0, 0), 21.0},  // order does not matter
        {pv::MakeRgb(255, 255, 255), pv::MakeRgb(255, 255, 255), 1.0},
        // #767676 on white: the lightest grey that passes, 4.54.
        {pv::MakeRgb(0x76, 0x76, 0x76), pv::MakeRgb(255, 255, 255), 4.54},
        // Pure red on black: (0.2126 + 0.05) / 0.05 = 5.25.
        {pv::MakeRgb(255, 0, 0), pv::MakeRgb(0, 0, 0), 5.25},
    };
    for (const Case& c : cases) EXPECT_NEAR(pv::ContrastRatio(c.a, c.b), c.ratio, 0.01);
    EXPECT_EQ(pv::RedOf(pv::MakeRgb(1, 2, 3)), 1);
    EXPECT_EQ(pv::GreenOf(pv::MakeRgb(1, 2, 3)), 2);
    EXPECT_EQ(pv::BlueOf(pv::MakeRgb(1, 2, 3)), 3);
}

}  // namespace

namespace {

TEST(MenuDrawDpi, PlainSeparatorsInTheMenusOwnColours) {
    // 144 dpi: 12 high, the etched line across its middle: 50 + 6 - 1.
    MenuEntry root;
    MenuEntry* sep = Add(root, "-", pv::kTagPlainSeparator, -1, pv::DrawHandler::None);
    FakeMeasure measure(144);
    EXPECT_EQ(pv::PlainSeparatorHeight(At(144)), 12);
    EXPECT_EQ(pv::PlainSeparatorHeight(At(96)), 8);
    const DisplayList list = pv::PlainSeparatorDrawItem(*sep, DrawRect{0, 50, 120, 62}, At(144), measure);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].rect, (DrawRect{0, 50, 120, 62}));
    EXPECT_EQ(list[0].color, pv::kColorMenu);
    EXPECT_EQ(list[1].y1, 55);
    EXPECT_EQ(list[1].color, pv::kColorBtnShadow);
    EXPECT_EQ(list[2].y1, 56);
    EXPECT_EQ(list[2].color, pv::kColorBtnHighlight);
    // Beside a side bar it starts right of the bar (30 at 144 dpi).
    BarFolder f;
    MenuEntry* barSep = f.folder->Child(3);
    ASSERT_EQ(barSep->tag, pv::kTagPlainSeparator);
    const DisplayList beside = pv::PlainSeparatorDrawItem(*barSep, DrawRect{0, 29, 150, 41}, At(144), measure);
    EXPECT_EQ(beside[0].rect.left, 30);
    EXPECT_EQ(beside[1].x1, 30);
    EXPECT_EQ(beside[1].x2, 150);
}

}  // namespace
