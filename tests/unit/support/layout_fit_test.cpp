// Layouts made at 96 dpi and 8 points, fitted to a DPI and to texts; pictures
// scaled smoothly.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/LayoutFit.h"
#include "support/PictureScale.h"

namespace {

using pv::LayoutNeed;
using pv::LayoutRect;

TEST(LayoutFit, ScaleToDpiRoundsToTheNearestPixel) {
    struct Case {
        int px, dpi, out;
    };
    const Case cases[] = {{16, 96, 16},  {16, 120, 20}, {16, 144, 24}, {16, 192, 32}, {19, 120, 24},
                          {19, 144, 29}, {2, 120, 3},   {1, 144, 2},   {7, 144, 11},  {-3, 144, -5},
                          {10, 0, 10},   {10, -5, 10}};
    for (const Case& c : cases) EXPECT_EQ(pv::ScaleToDpi(c.px, c.dpi), c.out) << c.px << " at " << c.dpi;
}

TEST(LayoutFit, FactorIsTheDpisWhenEveryTextFits) {
    const std::vector<LayoutNeed> fits = {{{10, 0, 100, 20}, 60, 14, 22, 2}};
    EXPECT_EQ(pv::LayoutScale(96, {}), 1000);
    EXPECT_EQ(pv::LayoutScale(120, {}), 1250);
    EXPECT_EQ(pv::LayoutScale(144, fits), 1500);
    EXPECT_EQ(pv::LayoutScale(192, fits), 2000);
    EXPECT_EQ(pv::LayoutScale(0, {}), 1000);
}

TEST(LayoutFit, TooLongATextGrowsTheLayoutUntilItFits) {
    struct Case {
        LayoutNeed need;
        int dpi;
        int scale;
    };
    const Case cases[] = {
        // 150 wide in 100: (150 + 1) / 100, rounded up.
        {{{10, 0, 100, 20}, 150, 0, 0, 0}, 96, 1510},
        // With a check box's 22 beside it: (100 + 22 + 1) / 100.
        {{{10, 0, 100, 20}, 100, 0, 22, 0}, 96, 1230},
        // Too tall: (25 + 2 + 1) / 20.
        {{{0, 0, 100, 20}, 0, 25, 0, 2}, 96, 1400},
        // At 144 dpi the DPI's factor is already enough for 140 in 100.
        {{{0, 0, 100, 20}, 140, 0, 0, 0}, 144, 1500},
        // No text asks nothing; nor does a control of no size.
        {{{0, 0, 100, 20}, 0, 0, 50, 50}, 96, 1000},
        {{{0, 0, 0, 0}, 300, 300, 0, 0}, 96, 1000},
    };
    for (const Case& c : cases) {
        const int scale = pv::LayoutScale(c.dpi, {c.need});
        EXPECT_EQ(scale, c.scale);
        // And the control made at that factor holds its text.
        const LayoutRect r = pv::ScaleRect(c.need.base, scale);
        if (c.need.textWidth > 0 && c.need.base.width > 0) {
            EXPECT_GE(r.width, c.need.textWidth + c.need.extraWidth);
        }
        if (c.need.textHeight > 0 && c.need.base.height > 0) {
            EXPECT_GE(r.height, c.need.textHeight + c.need.extraHeight);
        }
    }
}

TEST(LayoutFit, RectanglesScaleByTheirEdges) {
    EXPECT_EQ(pv::ScaleRect({18, 30, 288, 20}, 1500), (LayoutRect{27, 45, 432, 30}));
    EXPECT_EQ(pv::ScaleRect({18, 30, 288, 20}, 1000), (LayoutRect{18, 30, 288, 20}));
    // Neighbours that touch at 96 dpi touch at 120: 10 * 1.25 rounds to 13 for both.
    const LayoutRect a = pv::ScaleRect({0, 0, 10, 10}, 1250);
    const LayoutRect b = pv::ScaleRect({10, 0, 10, 10}, 1250);
    EXPECT_EQ(a.left + a.width, b.left);
    EXPECT_EQ(a.width, 13);
    EXPECT_EQ(b.width, 12);
    EXPECT_EQ(pv::ScaleLength(468, 1500), 702);
    EXPECT_EQ(pv::ScaleLength(521, 1250), 651);  // 651.25
}

// ---------------------------------------------------------------- pictures

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kClear = 0x00000000u;

TEST(PictureScale, WholeEnlargementsRepeatPixels) {
    EXPECT_EQ(pv::ScalePicture({kRed, kBlue}, 2, 1, 4, 1), (std::vector<uint32_t>{kRed, kRed, kBlue, kBlue}));
    EXPECT_EQ(pv::ScalePicture({kRed, kBlue}, 1, 2, 2, 4),
              (std::vector<uint32_t>{kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue}));
    EXPECT_EQ(pv::ScalePicture({kRed}, 1, 1, 1, 1), (std::vector<uint32_t>{kRed}));
}

TEST(PictureScale, InBetweenSizesMixTheNeighbours) {
    // 2 to 3: the middle pixel is half red, half blue: 127.5 rounds to 128.
    EXPECT_EQ(pv::ScalePicture({kRed, kBlue}, 2, 1, 3, 1),
              (std::vector<uint32_t>{kRed, 0xFF800080u, kBlue}));
    // 4 greys to 1: their mean, (64 + 128 + 192 + 255) / 4 = 159.75 -> 160 = 0xA0.
    EXPECT_EQ(pv::ScalePicture({0xFF404040u, 0xFF808080u, 0xFFC0C0C0u, 0xFFFFFFFFu}, 2, 2, 1, 1),
              (std::vector<uint32_t>{0xFFA0A0A0u}));
}

TEST(PictureScale, TransparentNeighboursDoNotDarkenEdges) {
    // Half covered by red, half by nothing: half-transparent red, not dark red.
    EXPECT_EQ(pv::ScalePicture({kRed, kClear}, 2, 1, 3, 1), (std::vector<uint32_t>{kRed, 0x80FF0000u, kClear}));
    EXPECT_EQ(pv::ScalePicture({kClear, kClear}, 2, 1, 1, 1), (std::vector<uint32_t>{kClear}));
}

TEST(PictureScale, BadSizesGiveNothing) {
    EXPECT_TRUE(pv::ScalePicture({kRed}, 0, 1, 2, 2).empty());
    EXPECT_TRUE(pv::ScalePicture({kRed}, 1, 1, 0, 2).empty());
    EXPECT_TRUE(pv::ScalePicture({kRed}, 2, 2, 4, 4).empty());  // fewer pixels than 2 x 2
}

}  // namespace
