// The legacy code page as Windows converts it, and text at the W functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/TextCodec.h"
#include "support/Wide_win.h"

namespace {

TEST(WinText, The1252TableGivesWhatWindowsGivesForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        wchar_t w[2] = {};
        ASSERT_EQ(MultiByteToWideChar(1252, 0, &c, 1, w, 2), 1) << b;
        const std::u16string mine = pv::CodePage1252().ToUtf16(std::string(1, c));
        ASSERT_EQ(mine.size(), 1u);
        EXPECT_EQ(static_cast<unsigned>(mine[0]), static_cast<unsigned>(w[0])) << "byte " << b;
    }
}

TEST(WinText, OtherCodePagesThroughTheSystem) {
    struct Case {
        unsigned cp;
        std::u16string text;
        bool fits;
        std::string bytes;
    } cases[] = {
        {1252, u"Caf\u00E9", true, "Caf\xE9"},
        {1252, u"\u0141\u00F3d\u017A", false, ""},
        {1250, u"\u0141\u00F3d\u017A", true, "\xA3\xF3" "d\x9F"},
        {932, u"\u65E5\u672C\u8A9E", true, "\x93\xFA\x96\x7B\x8C\xEA"},
        {932, u"\u0141", false, ""},
        {1250, u"\u0105", true, "\xB9"},
        {1252, u"\u0105", false, ""},  // no best-fit "a" for it
    };
    for (const Case& c : cases) {
        const pv::WinLegacyCodePage page(c.cp);
        std::string bytes;
        EXPECT_EQ(page.FromUtf16(c.text, bytes), c.fits) << c.cp;
        if (!c.fits) continue;
        EXPECT_EQ(bytes, c.bytes) << c.cp;
        EXPECT_EQ(page.ToUtf16(bytes), c.text) << c.cp;
    }
}

TEST(WinText, TheSystemLocalesCodePageIsThatOfAProcessWithoutTheManifest) {
    // This test program has no manifest: its code page is the legacy one.
    ASSERT_FALSE(pv::ProcessTextIsUtf8());
    EXPECT_EQ(pv::SystemLegacyCodePageNumber(), GetACP());
    EXPECT_FALSE(pv::ProgramTextFileCodec().Converts()) << "files pass through as earlier versions read them";
}

TEST(WinText, WideAndNarrowInTheProcessCodePage) {
    EXPECT_EQ(pv::Narrow(pv::Widen("C:\\Caf\xE9\\x.txt")), "C:\\Caf\xE9\\x.txt");
    EXPECT_EQ(pv::Widen(""), L"");
    EXPECT_EQ(pv::Narrow(static_cast<const wchar_t*>(nullptr)), "");
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    const std::string n = pv::Narrow(lone);
    EXPECT_EQ(n.size(), 3u) << "a lone surrogate is one replacement character";
    EXPECT_EQ(n.front(), 'a');
    EXPECT_EQ(n.back(), 'b');
}

}  // namespace
