#include "store/StoreFormat.h"

#include <gtest/gtest.h>

#include <set>

namespace pv {
namespace {

struct ParseCase {
    const char* line;
    bool ok;
    SkipReason reason;
    RecordKind kind;
    const char* path;
    const char* params;
    const char* icon;
    const char* extension;
    const char* name;
};

const ParseCase kParseCases[] = {
    // well-formed records of every kind
    {"^Folder|Tools", true, SkipReason::None, RecordKind::Folder, "", "", "", "", "Tools"},
    {"^NorSep|", true, SkipReason::None, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^SpeSep|Games", true, SkipReason::None, RecordKind::CaptionedSeparator, "", "", "", "", "Games"},
    {"^ExeLnk|C:\\W\\notepad.exe|-n x|notepad.bmp|Notepad", true, SkipReason::None, RecordKind::ProgramLink,
     "C:\\W\\notepad.exe", "-n x", "notepad.bmp", "", "Notepad"},
    {"^ExeLnk|C:\\run.bat||bat|Run", true, SkipReason::None, RecordKind::ProgramLink, "C:\\run.bat", "", "bat", "",
     "Run"},
    {"^UnkLnk|C:\\a.txt|txt|A text", true, SkipReason::None, RecordKind::OtherLink, "C:\\a.txt", "", "", "txt",
     "A text"},
    {"^UnkLnk|C:\\Data||Data", true, SkipReason::None, RecordKind::OtherLink, "C:\\Data", "", "", "", "Data"},
    // the name runs to the end of the line, bars included
    {"^UnkLnk|C:\\a.txt|txt|A|B|C", true, SkipReason::None, RecordKind::OtherLink, "C:\\a.txt", "", "", "txt",
     "A|B|C"},
    {"^Folder|a|b", true, SkipReason::None, RecordKind::Folder, "", "", "", "", "a|b"},
    {"^SpeSep|x|y", true, SkipReason::None, RecordKind::CaptionedSeparator, "", "", "", "", "x|y"},
    // a "^" inside a name is harmless
    {"^UnkLnk|C:\\a.txt|txt|^Folder|x", true, SkipReason::None, RecordKind::OtherLink, "C:\\a.txt", "", "", "txt",
     "^Folder|x"},
    // text after a plain separator's bar is ignored
    {"^NorSep|something", true, SkipReason::None, RecordKind::PlainSeparator, "", "", "", "", ""},
    // missing bars: the field taken is empty, nothing is dropped, the rest is the name
    {"^ExeLnk|C:\\x.exe", true, SkipReason::None, RecordKind::ProgramLink, "", "", "", "", "C:\\x.exe"},
    {"^ExeLnk|C:\\x.exe|p", true, SkipReason::None, RecordKind::ProgramLink, "C:\\x.exe", "", "", "", "p"},
    {"^ExeLnk|C:\\x.exe|p|i", true, SkipReason::None, RecordKind::ProgramLink, "C:\\x.exe", "p", "", "", "i"},
    {"^ExeLnk|", true, SkipReason::None, RecordKind::ProgramLink, "", "", "", "", ""},
    {"^UnkLnk|C:\\a.txt", true, SkipReason::None, RecordKind::OtherLink, "", "", "", "", "C:\\a.txt"},
    {"^UnkLnk|C:\\a.txt|txt", true, SkipReason::None, RecordKind::OtherLink, "C:\\a.txt", "", "", "", "txt"},
    {"^UnkLnk||||", true, SkipReason::None, RecordKind::OtherLink, "", "", "", "", "|"},
    {"^Folder|", true, SkipReason::None, RecordKind::Folder, "", "", "", "", ""},
    // skipped lines
    {"", false, SkipReason::EmptyLine, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^NorSep", false, SkipReason::NoKindBar, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"just text", false, SkipReason::NoKindBar, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^folder|Tools", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^FOLDER|Tools", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {" ^Folder|Tools", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^Folder |Tools", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"|^Folder|Tools", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"^Lnk|x", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
    {"\xEF\xBB\xBF^Folder|x", false, SkipReason::UnknownKind, RecordKind::PlainSeparator, "", "", "", "", ""},
};

TEST(StoreFormatParse, TableOfLines) {
    for (const auto& c : kParseCases) {
        SCOPED_TRACE(c.line);
        StoreRecord r;
        SkipReason why = SkipReason::MissingFolder;
        ASSERT_EQ(ParseRecord(c.line, r, &why), c.ok);
        EXPECT_EQ(why, c.reason);
        if (!c.ok) continue;
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.path, c.path);
        EXPECT_EQ(r.params, c.params);
        EXPECT_EQ(r.icon, c.icon);
        EXPECT_EQ(r.extension, c.extension);
        EXPECT_EQ(r.name, c.name);
    }
}

TEST(StoreFormatParse, AnsiBytesPassThroughUntouched) {
    std::string name = "Caf\xE9 \x80\x81\xFF \xC4pfel";
    std::string path = "C:\\\xDC" "ber\\\xE4.exe";
    StoreRecord r;
    ASSERT_TRUE(ParseRecord("^ExeLnk|" + path + "|\xB5|\xE4.bmp|" + name, r));
    EXPECT_EQ(r.path, path);
    EXPECT_EQ(r.params, "\xB5");
    EXPECT_EQ(r.icon, "\xE4.bmp");
    EXPECT_EQ(r.name, name);
    EXPECT_EQ(FormatRecord(r), "^ExeLnk|" + path + "|\xB5|\xE4.bmp|" + name + "\r\n");
}

TEST(StoreFormatParse, FailureLeavesOutputAlone) {
    StoreRecord r;
    r.name = "kept";
    EXPECT_FALSE(ParseRecord("^nope|x", r));
    EXPECT_EQ(r.name, "kept");
    EXPECT_FALSE(ParseRecord("", r, nullptr));
}

TEST(StoreFormatWrite, EveryKindAsWritten) {
    struct Case {
        StoreRecord rec;
        const char* text;
    };
    auto rec = [](RecordKind k, const char* path, const char* params, const char* icon, const char* ext,
                  const char* name) {
        StoreRecord r;
        r.kind = k;
        r.path = path;
        r.params = params;
        r.icon = icon;
        r.extension = ext;
        r.name = name;
        return r;
    };
    const Case cases[] = {
        {rec(RecordKind::Folder, "", "", "", "", "Tools"), "^Folder|Tools\r\n"},
        {rec(RecordKind::PlainSeparator, "", "", "", "", ""), "^NorSep|\r\n"},
        {rec(RecordKind::CaptionedSeparator, "", "", "", "", "Games"), "^SpeSep|Games\r\n"},
        {rec(RecordKind::ProgramLink, "C:\\x.exe", "-a", "x.bmp", "", "X"), "^ExeLnk|C:\\x.exe|-a|x.bmp|X\r\n"},
        {rec(RecordKind::ProgramLink, "C:\\x.exe", "", "x.bmp", "", "X"), "^ExeLnk|C:\\x.exe||x.bmp|X\r\n"},
        {rec(RecordKind::OtherLink, "C:\\a.txt", "", "", "txt", "A"), "^UnkLnk|C:\\a.txt|txt|A\r\n"},
        // a directory target: two bars in a row between path and name
        {rec(RecordKind::OtherLink, "C:\\Data", "", "", "", "Data"), "^UnkLnk|C:\\Data||Data\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatRecord(c.rec), c.text);
        // and back again
        std::string line = c.text;
        line.resize(line.size() - 2);
        StoreRecord back;
        ASSERT_TRUE(ParseRecord(line, back));
        EXPECT_EQ(back, c.rec);
    }
}

TEST(StoreFormatWrite, RoundTripOfRecordsWithHostileNames) {
    const char* names[] = {"", " ", "a|b", "^", "^Folder|x", "\xFF\xFE", "--x--", "tab\there", "..", "x\\y"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        for (RecordKind k : {RecordKind::Folder, RecordKind::CaptionedSeparator, RecordKind::ProgramLink,
                             RecordKind::OtherLink}) {
            StoreRecord r;
            r.kind = k;
            r.name = name;
            if (k == RecordKind::ProgramLink) {
                r.path = "C:\\p\\q.exe";
                r.params = "/x \"y\"";
                r.icon = "q1.bmp";
            } else if (k == RecordKind::OtherLink) {
                r.path = "\\\\server\\share\\doc.TXT";
                r.extension = "txt";
            }
            std::string text = FormatRecord(r);
            ASSERT_GE(text.size(), 2u);
            EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
            StoreRecord back;
            ASSERT_TRUE(ParseRecord(text.substr(0, text.size() - 2), back));
            EXPECT_EQ(back, r);
        }
    }
}

TEST(StoreFormatParse, BarInsideAFieldShiftsTheFieldsThatFollow) {
    // as a hand-edited line holds it: parameters "a|b"
    StoreRecord back;
    ASSERT_TRUE(ParseRecord("^ExeLnk|C:\\x.exe|a|b|x.bmp|X", back));
    EXPECT_EQ(back.params, "a");
    EXPECT_EQ(back.icon, "b");
    EXPECT_EQ(back.name, "x.bmp|X");
}

TEST(StoreFormatLines, SplitsOnEveryLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitIndexLines(c.text), c.lines);
    }
}

TEST(StoreFormatNames, ExtensionOfAPath) {
    struct Case {
        const char* path;
        const char* ext;
        const char* field;
    };
    const Case cases[] = {
        {"C:\\x.exe", ".exe", "exe"},
        {"C:\\X.EXE", ".EXE", "exe"},
        {"C:\\a.b\\file", "", ""},          // a dot in a directory name is no extension
        {"C:\\a.b\\file.tar.GZ", ".GZ", "gz"},
        {"C:\\Data", "", ""},
        {"C:\\Data\\", "", ""},
        {"C:x.Txt", ".Txt", "txt"},
        {"file.", ".", ""},
        {".profile", ".profile", "profile"},
        {"", "", ""},
        {"C:\\\xC4.\xC4X", ".\xC4X", "\xC4x"},  // only ASCII letters change case
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathExtension(c.path), c.ext);
        EXPECT_EQ(ExtensionField(c.path), c.field);
    }
}

TEST(StoreFormatNames, LinkKindByExtension) {
    struct Case {
        const char* path;
        RecordKind kind;
        bool bitmap;
    };
    const Case cases[] = {
        {"C:\\x.exe", RecordKind::ProgramLink, true},   {"C:\\x.EXE", RecordKind::ProgramLink, true},
        {"C:\\x.Com", RecordKind::ProgramLink, true},   {"C:\\x.bat", RecordKind::ProgramLink, false},
        {"C:\\x.CMD", RecordKind::ProgramLink, false},  {"C:\\x.wsf", RecordKind::ProgramLink, false},
        {"C:\\x.wsH", RecordKind::ProgramLink, false},  {"C:\\x.lnk", RecordKind::OtherLink, false},
        {"C:\\x.txt", RecordKind::OtherLink, false},    {"C:\\Dir", RecordKind::OtherLink, false},
        {"C:\\x.exe.txt", RecordKind::OtherLink, false}, {"C:\\x.exe\\y", RecordKind::OtherLink, false},
        {"C:\\x.ex", RecordKind::OtherLink, false},     {"C:\\x.exe ", RecordKind::OtherLink, false},
        {"", RecordKind::OtherLink, false},
        // a non-ASCII capital keeps its case, so this is no ".exe"
        {"C:\\x.\xC9XE", RecordKind::OtherLink, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(LinkKindForPath(c.path), c.kind);
        EXPECT_EQ(IsProgramLinkPath(c.path), c.kind == RecordKind::ProgramLink);
        EXPECT_EQ(HasIconBitmap(c.path), c.bitmap);
    }
}

TEST(StoreFormatNames, LinkRecordForATarget) {
    StoreRecord exe = MakeLinkRecord("C:\\P\\Setup.EXE", "-q", "Setup.bmp", "Setup");
    EXPECT_EQ(FormatRecord(exe), "^ExeLnk|C:\\P\\Setup.EXE|-q|Setup.bmp|Setup\r\n");
    StoreRecord bat = MakeLinkRecord("C:\\P\\Go.BAT", "", "ignored.bmp", "Go");
    EXPECT_EQ(FormatRecord(bat), "^ExeLnk|C:\\P\\Go.BAT||bat|Go\r\n");
    StoreRecord doc = MakeLinkRecord("C:\\P\\Read.Me.TXT", "params dropped", "", "Readme");
    EXPECT_EQ(FormatRecord(doc), "^UnkLnk|C:\\P\\Read.Me.TXT|txt|Readme\r\n");
    StoreRecord dir = MakeLinkRecord("C:\\P", "", "", "P");
    EXPECT_EQ(FormatRecord(dir), "^UnkLnk|C:\\P||P\r\n");
}

TEST(StoreFormatNames, IconBitmapNames) {
    std::set<std::string> taken;
    auto exists = [&](const std::string& n) { return taken.count(n) > 0; };
    EXPECT_EQ(IconBitmapName("C:\\A\\setup.exe", exists), "setup.bmp");
    taken.insert("setup.bmp");
    EXPECT_EQ(IconBitmapName("C:\\B\\setup.exe", exists), "setup1.bmp");
    taken.insert("setup1.bmp");
    EXPECT_EQ(IconBitmapName("C:\\C\\setup.com", exists), "setup2.bmp");
    taken.insert("setup3.bmp");  // a gap further up does not matter
    taken.insert("setup2.bmp");
    EXPECT_EQ(IconBitmapName("C:\\C\\setup.exe", exists), "setup4.bmp");
    // names with several dots lose only the last part; names without dot stay whole
    EXPECT_EQ(IconBitmapName("C:\\x\\my.tool.exe", exists), "my.tool.bmp");
    EXPECT_EQ(IconBitmapName("C:\\x\\tool", exists), "tool.bmp");
    EXPECT_EQ(IconBitmapName("C:\\x.y\\tool", exists), "tool.bmp");
    // case of the base is kept
    EXPECT_EQ(IconBitmapName("C:\\x\\SETUP.EXE", exists), "SETUP.bmp");
    // without a callback nothing is taken
    EXPECT_EQ(IconBitmapName("C:\\setup.exe", nullptr), "setup.bmp");
    // numbers go past single digits
    for (int i = 4; i < 12; ++i) taken.insert("setup" + std::to_string(i) + ".bmp");
    EXPECT_EQ(IconBitmapName("setup.exe", exists), "setup12.bmp");
}

TEST(StoreFormatNames, FollowableFolderNames) {
    struct Case {
        const char* name;
        bool ok;
    };
    const Case cases[] = {
        {"Tools", true}, {"My Tools", true}, {".hidden", true}, {"a.b", true}, {" x", true},
        {"", false},     {".", false},       {"..", false},     {" ", false},  {". .", false},
        {"...", false},  {"a\\b", false},    {"\\", false},     {"a/b", false}, {"..\\..", false},
        {"C:", false},   {":x", false},      {"/", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsFollowableFolderName(c.name), c.ok);
    }
}

TEST(StoreFormatNames, KeywordsAndReasons) {
    EXPECT_STREQ(RecordKeyword(RecordKind::Folder), "^Folder");
    EXPECT_STREQ(RecordKeyword(RecordKind::PlainSeparator), "^NorSep");
    EXPECT_STREQ(RecordKeyword(RecordKind::CaptionedSeparator), "^SpeSep");
    EXPECT_STREQ(RecordKeyword(RecordKind::ProgramLink), "^ExeLnk");
    EXPECT_STREQ(RecordKeyword(RecordKind::OtherLink), "^UnkLnk");
    EXPECT_STRNE(SkipReasonText(SkipReason::UnknownKind), "");
}

}  // namespace
}  // namespace pv
