// The settings in force as the menu's measure and draw handlers read them:
// the font the preferences chose, bold from FontStyleBold, and whether
// Windows draws; and the text an owner-drawn entry carries for screen readers.

#include <gtest/gtest.h>

#include "menu/MenuDraw.h"
#include "model/AppModel.h"

namespace pv {
namespace {

TEST(MenuDrawSettingsOf, TakesFontBoldAndWindowsDrawFromTheSettingsInForce) {
    struct Case {
        const char* fontName;
        int fontSize;
        bool bold;
        unsigned fontStyle;  // the style set follows FontStyleBold; the menu reads the flag
        bool windowsDraw;
        bool taskBar, drawMenuBar;  // not the menu's business
    };
    const Case cases[] = {
        {"Verdana", 8, false, 0, true, true, false},
        {"Tahoma", 12, true, kFontStyleBold, false, false, true},
        {"Courier New", 6, true, kFontStyleBold, true, true, true},
        {"", 10, false, 0, false, false, false},
    };
    for (const Case& c : cases) {
        SettingsValues v;
        v.FontName = c.fontName;
        v.FontSize = c.fontSize;
        v.FontStyleBold = c.bold;
        v.FontStyle = c.fontStyle;
        v.WindowsDraw = c.windowsDraw;
        v.TaskBar = c.taskBar;
        v.DrawMenuBar = c.drawMenuBar;
        const MenuDrawSettings s = MenuDrawSettingsOf(v);
        SCOPED_TRACE(c.fontName);
        EXPECT_EQ(s.fontName, c.fontName);
        EXPECT_EQ(s.fontSize, c.fontSize);
        EXPECT_EQ(s.fontBold, c.bold);
        EXPECT_EQ(s.windowsDraw, c.windowsDraw);
    }
}

TEST(MenuDrawSettingsOf, TheDefaultsDrawLikeWindowsInVerdanaEight) {
    const MenuDrawSettings s = MenuDrawSettingsOf(SettingsValues{});
    EXPECT_EQ(s.fontName, "Verdana");
    EXPECT_EQ(s.fontSize, 8);
    EXPECT_FALSE(s.fontBold);
    EXPECT_TRUE(s.windowsDraw);
}

TEST(MenuItemText, TheCaptionAsItReadsWithoutItsMarkers) {
    const struct {
        const char* caption;
        const char* text;
    } cases[] = {
        {"&Notepad", "Notepad"},
        {"Registry &Editor", "Registry Editor"},
        {"Fish && Chips", "Fish & Chips"},
        {"Tom && &Jerry", "Tom & Jerry"},
        {"&&&x", "&x"},
        {"ends with &", "ends with "},
        {"Sysmenu", "Sysmenu"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MenuItemText(c.caption), c.text) << c.caption;
}

}  // namespace
}  // namespace pv
