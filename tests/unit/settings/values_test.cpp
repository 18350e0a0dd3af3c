// Texts of settings values: INI integers and the hot key's menu-shortcut text.
#include <gtest/gtest.h>

#include "app/Settings.h"

namespace {

TEST(IniInteger, ParsesDecimalAndHexAndRefusesTheRest) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"8", true, 8},
        {"-12", true, -12},
        {"+7", true, 7},
        {" 42 ", true, 42},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"$10", true, 16},
        {"0xFFFFFFFF", true, -1},
        {"0x80000000", true, INT32_MIN},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"0x100000000", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"0x", false, 0},
        {"$", false, 0},
        {"12abc", false, 0},
        {"abc", false, 0},
        {"1e3", false, 0},
        {"3.0", false, 0},
        {"0x1G", false, 0},
        {"1F", false, 0},
        {"++1", false, 0},
        {"\x01\xff", false, 0},
    };
    for (const Case& c : cases) {
        int v = 12345;
        EXPECT_EQ(pv::ParseIniInteger(c.text, v), c.ok) << "[" << c.text << "]";
        if (c.ok) EXPECT_EQ(v, c.value) << "[" << c.text << "]";
        else EXPECT_EQ(v, 12345) << "value touched for [" << c.text << "]";
    }
}

TEST(MenuShortcutText, ValueToText) {
    struct Case {
        int value;
        const char* text;
    };
    const Case cases[] = {
        {16460, "Ctrl+L"},
        {pv::kScShift | pv::kScCtrl | pv::kScAlt | 'A', "Shift+Ctrl+Alt+A"},
        {pv::kScAlt | pv::kScShift | '7', "Shift+Alt+7"},
        {'Z', "Z"},
        {pv::kScCtrl | 0x70, "Ctrl+F1"},
        {pv::kScCtrl | 0x7B, "Ctrl+F12"},
        {0x87, "F24"},
        {pv::kScAlt | 0x20, "Alt+Space"},
        {0x21, "PgUp"},
        {0x22, "PgDn"},
        {0x2E, "Del"},
        {0x2D, "Ins"},
        {0x24, "Home"},
        {0x23, "End"},
        {0x0D, "Enter"},
        {0x1B, "Esc"},
        {0x08, "BkSp"},
        {0x09, "Tab"},
        {0x25, "Left"},
        {0x26, "Up"},
        {0x27, "Right"},
        {0x28, "Down"},
        {0, ""},
        {pv::kScCtrl, ""},  // no key
        {pv::kScCtrl | 0xE5, ""},
        {'a', ""},          // 0x61 is the numeric pad's 1, not a letter
    };
    for (const Case& c : cases) EXPECT_EQ(pv::ShortCutToText(c.value), c.text) << c.value;
}

TEST(MenuShortcutText, TextToValue) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"CTRL+L", 16460},
        {"Ctrl+L", 16460},
        {"ctrl+l", 16460},
        {"cTrL+L", 16460},
        {"^L", 16460},
        {"Alt+Shift+Ctrl+a", pv::kScShift | pv::kScCtrl | pv::kScAlt | 'A'},
        {"shift+f10", pv::kScShift | 0x79},
        {"F1", 0x70},
        {"Ctrl+Space", pv::kScCtrl | 0x20},
        {"ctrl+pgdn", pv::kScCtrl | 0x22},
        {"Ctrl+0", pv::kScCtrl | '0'},
        {"L", 'L'},
        {"", 0},
        {"Ctrl+", 0},
        {"Ctrl+Alt+", 0},
        {"+", 0},
        {"Ctrl+LL", 0},
        {"Ctrl+F25", 0},
        {"Ctrl+F0", 0},
        {"Ctrl L", 0},
        {"Control+L", 0},
        {"Ctrl++", 0},
        {"\xff\xfe", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(pv::TextToShortCut(c.text), c.value) << "[" << c.text << "]";
}

TEST(MenuShortcutText, EveryNamedKeyRoundTrips) {
    int named = 0;
    for (int vk = 0; vk <= 0xFF; ++vk) {
        for (int mods : {0, int(pv::kScShift), pv::kScCtrl | pv::kScAlt, pv::kScShift | pv::kScCtrl | pv::kScAlt}) {
            const std::string text = pv::ShortCutToText(mods | vk);
            if (text.empty()) continue;
            ++named;
            EXPECT_EQ(pv::TextToShortCut(text), mods | vk) << text;
        }
    }
    EXPECT_GE(named, 4 * (26 + 10 + 24 + 15));
}

}  // namespace
