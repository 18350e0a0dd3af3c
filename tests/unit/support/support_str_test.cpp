// String, list and path-text helpers, and the exception classes.

#include <gtest/gtest.h>

#include "support/UkvSysDeclars.h"
#include "support/UkvSysExceptions.h"
#include "support/UkvSysIO.h"
#include "support/UkvSysStr.h"

namespace {

// A file system that must not be asked: the tests here run with must-exist off.
class NoFileSystem : public pv::IFileSystem {
public:
    uint32_t Attributes(const std::string&) override { return Fail(pv::kInvalidAttributes); }
    bool List(const std::string&, std::vector<pv::DirEntry>&) override { return Fail(false); }
    bool MakeDir(const std::string&) override { return Fail(false); }
    bool RemoveDir(const std::string&) override { return Fail(false); }
    bool RemoveFile(const std::string&) override { return Fail(false); }
    bool Rename(const std::string&, const std::string&) override { return Fail(false); }
    bool ReadAll(const std::string&, std::string&) override { return Fail(false); }
    bool WriteAll(const std::string&, const std::string&) override { return Fail(false); }
    bool Append(const std::string&, const std::string&) override { return Fail(false); }
    std::string ShortPath(const std::string&) override { return Fail(std::string()); }
    std::string LongPath(const std::string& p) override { return Fail(p); }
    bool Recycle(const std::string&) override { return Fail(false); }
    std::string TempDir() override { return Fail(std::string()); }

private:
    template <class T>
    T Fail(T value) {
        ADD_FAILURE() << "file system asked although must-exist is off";
        return value;
    }
};

}  // namespace

TEST(StringTable, IndexOfStringFindsTheFirstExactEntry) {
    pv::TkvDynStringArray table;
    EXPECT_EQ(pv::IndexOfString(table, ""), -1);
    EXPECT_EQ(pv::IndexOfString(table, "exe"), -1);
    for (const char* s : {"exe", "com", "exe", "", "bat", "EXE"}) pv::AppendString(table, s);
    struct Case {
        const char* text;
        int index;
    } cases[] = {{"exe", 0}, {"com", 1}, {"", 3}, {"bat", 4}, {"EXE", 5},
                 {"Exe", -1}, {"ex", -1}, {"exe ", -1}, {"cmd", -1}};
    for (const auto& c : cases) EXPECT_EQ(pv::IndexOfString(table, c.text), c.index) << c.text;
    EXPECT_EQ(table.Length(), 6);
}

TEST(StringTable, AppendGrowsByOneAndKeepsBytes) {
    pv::TkvDynStringArray table;
    const std::string withZero("a\0b", 3);
    pv::AppendString(table, withZero);
    pv::AppendString(table, "\xE4\xF6\xFC");
    ASSERT_EQ(table.Length(), 2);
    EXPECT_EQ(table[0], withZero);
    EXPECT_EQ(pv::IndexOfString(table, withZero), 0);
    EXPECT_EQ(pv::IndexOfString(table, "a"), -1);
    EXPECT_EQ(pv::IndexOfString(table, "\xE4\xF6\xFC"), 1);
}

TEST(StringTable, IndexAgreesWithAScanAfterReplacements) {
    pv::TkvDynStringArray table;
    for (const char* s : {"a", "b", "a", "c", "b"}) pv::AppendString(table, s);
    table.Set(0, "z");  // the first "a" moves to index 2
    table.Set(4, "a");
    table.Set(1, "c");  // "c" now first at 1
    table.Set(9, "ignored");
    table.Set(-1, "ignored");
    for (const char* probe : {"a", "b", "c", "z", "ignored"}) {
        int scan = -1;
        for (int i = 0; i < table.Length(); ++i)
            if (table[i] == probe) {
                scan = i;
                break;
            }
        EXPECT_EQ(pv::IndexOfString(table, probe), scan) << probe;
    }
    table.Clear();
    EXPECT_EQ(pv::IndexOfString(table, "a"), -1);
}

TEST(Strings, LastPos) {
    struct Case {
        const char* pattern;
        const char* text;
        int pos;
    } cases[] = {
        {".", "a.b.c", 4}, {"ab", "abab", 3}, {"x", "", 0},       {"", "", 0},
        {"", "abc", 3},    {"abc", "ab", 0},  {"abc", "abc", 1},  {"c", "abc", 3},
        {"A", "abc", 0},   {".", "nodot", 0}, {"aa", "aaaa", 3},  {"\\", "C:\\a\\b", 5},
    };
    for (const auto& c : cases) EXPECT_EQ(pv::LastPos(c.pattern, c.text), c.pos) << c.pattern << " in " << c.text;
}

// Names compared as NTFS compares them: one letter in two cases is one name,
// also beyond ASCII; a byte that is no UTF-8 is taken as the ANSI page's letter.
TEST(Strings, FoldNameCaseAndLengthInWindowsCharacters) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Tools", "tOOLS", true},
        {"\xC3\x84pfel", "\xC3\xA4pfel", true},              // Äpfel, äpfel
        {"\xC3\x84pfel", "Apfel", false},
        {"\xC3\xBF", "\xC5\xB8", true},                       // ÿ, Ÿ
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x82\xC3\x93" "D\xC5\xB9", true},  // Łódź, łÓDŹ
        {"\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0", "\xD0\xBF\xD0\x90\xD0\x9F\xD0\x9A\xD0\x90", true},  // Папка, пАПКА
        {"\xCE\xA3\xCE\xB5", "\xCF\x83\xCE\x95", true},   // Σε, σΕ
        {"\xC4pfel", "\xE4pfel", true},                         // the same in the ANSI page
        {"\xC4pfel", "\xC3\xA4pfel", true},                    // ANSI and UTF-8 spelling
        {"ss", "\xC3\x9F", false},                              // no folding of one letter into two
        {"a\xC3\xA4", "a\xC3\xA5", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pv::FoldNameCase(c.a) == pv::FoldNameCase(c.b), c.same) << c.a << " / " << c.b;
    struct Length {
        const char* text;
        size_t units;
    } lengths[] = {
        {"", 0}, {"abc", 3}, {"\xC3\x84pfel", 5}, {"\xE2\x82\xAC", 1}, {"\xF0\x9F\x98\x80", 2}, {"\xC4pfel", 5},
    };
    for (const Length& l : lengths) EXPECT_EQ(pv::NameLengthUtf16(l.text), l.units) << l.text;
}

TEST(Strings, RemoveFirstCharAndExtension) {
    EXPECT_EQ(pv::RemoveFirstChar(""), "");
    EXPECT_EQ(pv::RemoveFirstChar(".exe"), "exe");
    EXPECT_EQ(pv::RemoveFirstChar("x"), "");
    struct Case {
        const char* name;
        const char* result;
    } cases[] = {{"archive.tar.gz", "archive.tar"}, {"report.final.doc", "report.final"}, {".profile", ""},
                 {"readme", "readme"},              {"", ""},                           {"trailing.", "trailing"},
                 {"..", "."},                       {"a.b", "a"}};
    for (const auto& c : cases) EXPECT_EQ(pv::RemoveExtension(c.name), c.result) << c.name;
}

TEST(PathText, AddTrailingBackslash) {
    EXPECT_EQ(pv::AddTrailingBackslash("C:\\data"), "C:\\data\\");
    EXPECT_EQ(pv::AddTrailingBackslash("C:\\data\\"), "C:\\data\\");
    EXPECT_EQ(pv::AddTrailingBackslash("C:"), "C:\\");
    EXPECT_EQ(pv::AddTrailingBackslash("x"), "x\\");
    EXPECT_EQ(pv::AddTrailingBackslash(""), "");
}

TEST(PathText, ForbiddenCharacters) {
    const std::string pathSet = "*?\"<>|";
    const std::string nameSet = "/\\:*?\"<>|";
    for (char c : nameSet) {
        std::string text = std::string("ab") + c + "cd";
        EXPECT_FALSE(pv::HasValidFileNameChars(text)) << c;
        EXPECT_EQ(pv::HasValidPathChars(text), pathSet.find(c) == std::string::npos) << c;
    }
    EXPECT_TRUE(pv::HasValidPathChars("C:\\Program Files\\x.exe"));
    EXPECT_TRUE(pv::HasValidPathChars(""));
    EXPECT_TRUE(pv::HasValidFileNameChars("name with spaces.txt"));
    EXPECT_TRUE(pv::HasValidFileNameChars(""));
    EXPECT_FALSE(pv::HasValidPathChars("|"));
    EXPECT_FALSE(pv::HasValidFileNameChars("|"));
}

TEST(PathText, NamePartAndDirectoryPrefix) {
    struct Case {
        const char* path;
        const char* name;
        const char* prefix;
    } cases[] = {
        {"C:\\data\\a.txt", "a.txt", "C:\\data\\"}, {"C:\\data\\", "", "C:\\data\\"}, {"C:a.txt", "a.txt", "C:\\"},
        {"C:", "", "C:\\"},                         {"a.txt", "a.txt", ""},           {"", "", ""},
        {"\\\\srv\\share\\f", "f", "\\\\srv\\share\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pv::FileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(pv::DirectoryPrefix(c.path), c.prefix) << c.path;
    }
}

TEST(PathText, TrailingBackslashesAndTheFileDirectory) {
    // A drive root keeps its backslash: "C:" alone is the drive's current directory.
    struct Case {
        const char* path;
        const char* without;
        const char* dir;  // of a file at that path
    } cases[] = {
        {"C:\\Data\\", "C:\\Data", "C:\\Data"},
        {"C:\\Data\\\\", "C:\\Data", "C:\\Data\\\\"},
        {"C:\\", "C:\\", "C:\\"},
        {"C:\\x.exe", "C:\\x.exe", "C:\\"},
        {"C:\\Tools\\x.exe", "C:\\Tools\\x.exe", "C:\\Tools"},
        {"C:x", "C:x", "C:"},
        {"x.exe", "x.exe", ""},
        {"\\", "\\", "\\"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pv::WithoutTrailingBackslash(c.path), c.without) << c.path;
        EXPECT_EQ(pv::ExtractFileDir(c.path), c.dir) << c.path;
    }
}

TEST(PathText, DirectoryAndFilePathsWithoutExistence) {
    NoFileSystem fs;
    struct Case {
        const char* path;
        bool dir, file;
    } cases[] = {
        {"C:\\data\\", true, false},       {"C:", true, false},          {"C:\\data", false, true},
        {"C:\\data\\a.txt", false, true},  {"C:\\da|ta\\", false, false}, {"C:\\da*ta\\", false, false},
        {"C:\\data\\a|b.txt", false, false}, {"C:\\data\\a?.txt", false, false}, {"C:\\d<\\a.txt", false, false},
        {"C:\\data\\a\"b", false, false},  {"C:a.txt", false, true},     {"\\", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pv::IsDirectoryPath(fs, c.path, false), c.dir) << c.path;
        EXPECT_EQ(pv::IsFilePath(fs, c.path, false), c.file) << c.path;
    }
}

TEST(Exceptions, HierarchyAndMessages) {
    try {
        throw pv::EkvParamOutOfValidRangeError("");
    } catch (const pv::EkvParamWrong& e) {
        EXPECT_STREQ(e.what(), "");
    }
    EXPECT_THROW(throw pv::EkvParamWrong("x"), pv::Exception);
    EXPECT_EQ(pv::EFOpenError("C:\\a.txt").Message(), "Cannot open file C:\\a.txt");
    EXPECT_EQ(pv::EFCreateError("C:\\b.txt").Message(), "Cannot create file C:\\b.txt");
    EXPECT_THROW(throw pv::EFOpenError("x"), pv::EStreamError);
    pv::EOSError os(5, "Access is denied");
    EXPECT_EQ(os.Message(), "System Error.  Code: 5.\r\nAccess is denied");
    EXPECT_EQ(os.ErrorCode(), 5u);
    pv::EInOutError io("I/O error 103", 103);
    EXPECT_EQ(io.ErrorCode(), 103u);
    EXPECT_THROW(throw io, std::exception);
}
