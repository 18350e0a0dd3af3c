// Reading and writing the program's text files: UTF-8 or the legacy code page.
#include <gtest/gtest.h>

#include <string>

#include "common/settings_fakes.h"
#include "support/IniProfile.h"
#include "support/TextCodec.h"

namespace {

using pv::CodePage1252;
using pv::TextFileCodec;

const TextFileCodec kCodec(&CodePage1252());

TEST(TextCodec, ValidUtf8AgainstLegacyBytes) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;  // as UTF-8
    } cases[] = {
        {"plain ASCII", "^Folder|Tools", "^Folder|Tools"},
        {"empty", "", ""},
        {"1252 e acute", "Caf\xE9\\", "Caf\xC3\xA9\\"},
        {"UTF-8 e acute", "Caf\xC3\xA9\\", "Caf\xC3\xA9\\"},
        {"1252 name with two letters", "Donn\xE9""es.txt", "Donn\xC3\xA9""es.txt"},
        {"1252 euro, quotes, dash, Y diaeresis", "\x80 \x93x\x94 \x96 \x9F", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xE2\x80\x93 \xC5\xB8"},
        {"1252 bytes without a letter: the control characters", "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"1252 y diaeresis at the end", "\xFF", "\xC3\xBF"},
        {"UTF-8 Polish", "\xC5\x81\xC3\xB3""d\xC5\xBA", "\xC5\x81\xC3\xB3""d\xC5\xBA"},
        {"UTF-8 outside the BMP", "\xF0\x9F\x9A\x80 launch.cmd", "\xF0\x9F\x9A\x80 launch.cmd"},
        {"UTF-8 byte-order mark dropped", "\xEF\xBB\xBF^NorSep|", "^NorSep|"},
        {"an overlong slash is no UTF-8: A grave and macron in 1252", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"encoded surrogate is no UTF-8", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"truncated sequence at the end", "ab\xE2\x82", "ab\xC3\xA2\xE2\x80\x9A"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (const Case& c : cases) EXPECT_EQ(kCodec.Decode(c.bytes), c.text) << c.what;
}

TEST(TextCodec, AFileMixingBothIsReadAsLegacy) {
    // "Café" in UTF-8 on one line and "Données" in 1252 on the next: as a whole
    // the file is no UTF-8, so every byte is a 1252 character, the first line's
    // two bytes included.
    const std::string file = "^Folder|Caf\xC3\xA9\r\n^UnkLnk|C:\\Donn\xE9""es.txt|txt|D\r\n";
    EXPECT_EQ(kCodec.Decode(file),
              "^Folder|Caf\xC3\x83\xC2\xA9\r\n^UnkLnk|C:\\Donn\xC3\xA9""es.txt|txt|D\r\n");
}

TEST(TextCodec, A1252FileWhoseBytesHappenToBeValidUtf8) {
    // "Ã©" (C3 A9) in 1252 is also "é" in UTF-8: read as UTF-8, it names "é",
    // and is written back in 1252 as the single byte E9. Real names do not have
    // such pairs in practice; the header says which they are.
    const std::string file = "^UnkLnk|C:\\\xC3\xA9.txt|txt|x";
    const std::string text = kCodec.Decode(file);
    EXPECT_EQ(text, "^UnkLnk|C:\\\xC3\xA9.txt|txt|x");
    EXPECT_EQ(kCodec.Encode(text), "^UnkLnk|C:\\\xE9.txt|txt|x");
}

TEST(TextCodec, WritingPrefersTheLegacyCodePage) {
    struct Case {
        const char* what;
        std::string text;
        std::string bytes;
    } cases[] = {
        {"ASCII", "^NorSep|\r\n", "^NorSep|\r\n"},
        {"fits 1252", "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80"},
        {"the control characters of 1252's empty places", "\xC2\x81\xC2\x9D", "\x81\x9D"},
        {"L stroke: no 1252 byte, all of it UTF-8", "\xC5\x81\xC3\xB3""d\xC5\xBA", "\xC5\x81\xC3\xB3""d\xC5\xBA"},
        {"one check mark makes the whole file UTF-8", "Donn\xC3\xA9""es \xE2\x9C\x93", "Donn\xC3\xA9""es \xE2\x9C\x93"},
        {"emoji", "\xF0\x9F\x9A\x80", "\xF0\x9F\x9A\x80"},
        {"a C1 control only UTF-8 can say (U+0080)", "\xC2\x80", "\xC2\x80"},
        {"text that is no UTF-8 is written as it is", "ab\xFF", "ab\xFF"},
        {"A tilde and copyright sign: their 1252 bytes would read as e acute", "\xC3\x83\xC2\xA9", "\xC3\x83\xC2\xA9"},
    };
    for (const Case& c : cases) EXPECT_EQ(kCodec.Encode(c.text), c.bytes) << c.what;
}

TEST(TextCodec, EveryLegacyByteReadsAndWritesBackUnchanged) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string bytes = std::string("x") + static_cast<char>(b) + "y";
        const std::string text = kCodec.Decode(bytes);
        EXPECT_TRUE(pv::IsValidUtf8(text)) << b;
        EXPECT_EQ(kCodec.Encode(text), bytes) << "byte " << b;
    }
}

TEST(TextCodec, WithoutALegacyCodePageBytesPassThrough) {
    const TextFileCodec none;
    EXPECT_FALSE(none.Converts());
    for (const std::string& s : {std::string("Caf\xE9"), std::string("\xEF\xBB\xBFx"), std::string("\xC5\x81")}) {
        EXPECT_EQ(none.Decode(s), s);
        EXPECT_EQ(none.Encode(s), s);
    }
}

TEST(TextCodec, Utf16FromWideCallsLoneSurrogatesReplaced) {
    struct Case {
        const char* what;
        std::u16string wide;
        std::string utf8;
    } cases[] = {
        {"ASCII", u"C:\\a.txt", "C:\\a.txt"},
        {"BMP", u"\u0141\u00F3d\u017A \u2013 \u65E5\u672C\u8A9E \u2713", "\xC5\x81\xC3\xB3""d\xC5\xBA \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE2\x9C\x93"},
        {"surrogate pair", u"\xD83D\xDE80", "\xF0\x9F\x9A\x80"},
        {"lone high surrogate", std::u16string{u'a', char16_t(0xD800), u'b'}, "a\xEF\xBF\xBD""b"},
        {"lone low surrogate", std::u16string{char16_t(0xDC00)}, "\xEF\xBF\xBD"},
        {"high surrogate at the end", std::u16string{u'x', char16_t(0xDBFF)}, "x\xEF\xBF\xBD"},
        {"pair the wrong way round", std::u16string{char16_t(0xDE80), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"two highs, then a low: one lone, one pair",
         std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE80)}, "\xEF\xBF\xBD\xF0\x9F\x9A\x80"},
        {"embedded zero", std::u16string{u'a', u'\0', u'b'}, std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        const std::string utf8 = pv::Utf16ToUtf8(c.wide);
        EXPECT_EQ(utf8, c.utf8) << c.what;
        EXPECT_TRUE(pv::IsValidUtf8(utf8)) << c.what;
    }
}

TEST(TextCodec, Utf8ToUtf16) {
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string wide;
    } cases[] = {
        {"ASCII", "abc", u"abc"},
        {"two, three and four bytes", "\xC3\xA9\xE2\x9C\x93\xF0\x9F\x9A\x80", u"\u00E9\u2713\xD83D\xDE80"},
        {"a stray continuation byte", "a\x80" "b", u"a\xFFFD" "b"},
        {"a broken sequence is one replacement", "a\xE2\x82" "b", u"a\xFFFD" "b"},
        {"a 1252 byte", "Caf\xE9", u"Caf\xFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(pv::Utf8ToUtf16(c.utf8), c.wide) << c.what;
}

TEST(TextCodec, TheGenericSingleBytePageTellsWhatItCannotHold) {
    // Bytes 0x80 to 0xFF as Latin-1 but 0xA4 without a character.
    static char16_t upper[128];
    for (int i = 0; i < 128; ++i) upper[i] = static_cast<char16_t>(0x80 + i);
    upper[0x24] = 0;
    const pv::SingleByteCodePage page(28591, upper);
    EXPECT_EQ(page.Number(), 28591u);
    EXPECT_EQ(page.ToUtf16("\xE9\xA4"), u"\u00E9\xFFFD");
    std::string bytes;
    EXPECT_TRUE(page.FromUtf16(u"\u00E9\u0080", bytes));
    EXPECT_EQ(bytes, "\xE9\x80");
    EXPECT_FALSE(page.FromUtf16(u"\u00A4", bytes)) << "no byte for it";
    EXPECT_FALSE(page.FromUtf16(u"\u20AC", bytes));
    const TextFileCodec codec(&page);
    EXPECT_EQ(codec.Encode("\xC2\xA4"), "\xC2\xA4") << "written as UTF-8";
}

TEST(TextCodec, SettingsFilesFollowTheSameRules) {
    pvtest::ScratchDir dir;
    pv::IniProfile ini(dir.Fs(), kCodec);
    const std::string file = dir.Root() + "pivora.ini";
    const std::string legacy = "[Font Settings]\r\nFontName=Caf\xE9 Sans\r\n[Misc Settings]\r\nA=1\r\n";
    dir.WriteFile("pivora.ini", legacy);
    EXPECT_EQ(ini.ReadString(file, "Font Settings", "FontName", ""), "Caf\xC3\xA9 Sans");
    // A value the legacy page holds: the file stays 1252.
    EXPECT_TRUE(ini.WriteString(file, "Misc Settings", "A", "1"));
    EXPECT_EQ(dir.ReadFile("pivora.ini"), legacy);
    EXPECT_TRUE(ini.WriteString(file, "Misc Settings", "A", "\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(dir.ReadFile("pivora.ini"), "[Font Settings]\r\nFontName=Caf\xE9 Sans\r\n[Misc Settings]\r\nA=\xE9t\xE9\r\n");
    // One that it does not: the whole file becomes UTF-8, and reads back the same.
    EXPECT_TRUE(ini.WriteString(file, "Font Settings", "FontName", "\xE6\x97\xA5\xE6\x9C\xAC"));
    EXPECT_EQ(dir.ReadFile("pivora.ini"),
              "[Font Settings]\r\nFontName=\xE6\x97\xA5\xE6\x9C\xAC\r\n[Misc Settings]\r\nA=\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(ini.ReadString(file, "Misc Settings", "A", ""), "\xC3\xA9t\xC3\xA9");
}

}  // namespace
