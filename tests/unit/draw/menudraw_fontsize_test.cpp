// Font sizes from a hand-edited pivora.ini: every size the file can hold gives
// a font height, even those whose pixel height does not fit in an int.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "menu/MenuDraw.h"

namespace {

class FixedPpi : public pv::IMenuTextMeasure {
public:
    explicit FixedPpi(int ppi) : ppi_(ppi) {}
    pv::TextExtent Extent(const pv::FontSpec&, const std::string& text) override {
        return {static_cast<int>(text.size()) * 7, 13};
    }
    int PixelsPerInch() override { return ppi_; }

private:
    int ppi_;
};

pv::MenuDrawSettings Sized(int size, bool windowsDraw = false) {
    pv::MenuDrawSettings s;
    s.fontSize = size;
    s.windowsDraw = windowsDraw;
    return s;
}

// The platform's MulDiv answers -1 for a result beyond +-2147483647, INT_MIN
// included, so its negation is always an int.
TEST(MenuDrawFontSize, MulDivTreatsTheMostNegativeIntAsOverflow) {
    EXPECT_EQ(pv::MulDivRound(-2147483647, 1, 1), -2147483647);
    EXPECT_EQ(pv::MulDivRound(INT_MIN, 1, 1), -1);
    EXPECT_EQ(pv::MulDivRound(-1073741824, 2, 1), -1);
    EXPECT_EQ(pv::MulDivRound(2147483647, 1, 1), 2147483647);
    EXPECT_EQ(pv::MulDivRound(INT_MIN, -1, 1), -1);
}

TEST(MenuDrawFontSize, SizesWhosePixelHeightIsIntMinGiveHeightOne) {
    struct Case {
        int size;
        int ppi;
    };
    // -1073741824 * 144 / 72, -1610612736 * 96 / 72 and 0xB3333333 * 120 / 72
    // (-2147483648.33, rounded) are all -2147483648: MulDiv's -1, negated.
    const Case cases[] = {{-1073741824, 144}, {-1610612736, 96}, {static_cast<int>(0xB3333333u), 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " at " + std::to_string(c.ppi));
        EXPECT_EQ(pv::MenuFont(Sized(c.size), c.ppi).height, 1);
        EXPECT_EQ(pv::SideBarFont(Sized(c.size), c.ppi).height, 1);
    }
}

TEST(MenuDrawFontSize, EveryOwnerDrawnHandlerCopesWithTheExtremeSizes) {
    pv::MenuEntry root;
    pv::MenuEntry* folder = root.Append();
    folder->caption = "Games";
    pv::MenuEntry* bar = folder->Append();
    bar->tag = pv::kTagSideBar;
    bar->caption = "Games";
    pv::MenuEntry* cap = folder->Append();
    cap->caption = "Cap";
    cap->tag = pv::kTagCaptionedSeparator;
    cap->onDraw = pv::DrawHandler::SpeItemsRTDrawItem;
    pv::MenuEntry* link = folder->Append();
    link->caption = "Editor";
    link->imageIndex = 15;
    link->onDraw = pv::DrawHandler::NorItemsRTDrawItem;
    const pv::DrawRect rect{0, 19, 150, 38};
    for (int size : {INT_MIN, -1610612736, -1073741824, static_cast<int>(0xB3333333u), INT_MAX, 0, 8})
        for (int ppi : {96, 120, 144}) {
            SCOPED_TRACE(std::to_string(size) + " at " + std::to_string(ppi));
            FixedPpi measure(ppi);
            const pv::MenuDrawSettings s = Sized(size);
            EXPECT_EQ(pv::NorItemsRTMeasureItem(*link, s, measure).height, 19);
            const pv::DisplayList items = pv::NorItemsRTDrawItem(*link, rect, true, s, measure);
            ASSERT_FALSE(items.empty());
            // the link is the last drawn entry: its list ends with the side bar
            EXPECT_EQ(items.back().kind, pv::DrawOpKind::BarText);
            EXPECT_EQ(items.back().font.escapement, 900);
            EXPECT_FALSE(pv::SpeItemsRTDrawItem(*cap, rect, s, measure).empty());
        }
}

}  // namespace
