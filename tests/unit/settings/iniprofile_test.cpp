// The portable INI profile answers like the system's profile functions.
#include <gtest/gtest.h>

#include "common/settings_fakes.h"
#include "support/IniProfile.h"

namespace {

class IniProfileTest : public ::testing::Test {
protected:
    pvtest::ScratchDir dir;
    pv::IniProfile ini{dir.Fs()};
    std::string file = dir.Root() + "x.ini";
    std::string Text() { return dir.ReadFile("x.ini"); }
};

TEST_F(IniProfileTest, NewFileGetsSectionsInCreationOrderWithCrLf) {
    EXPECT_TRUE(ini.WriteString(file, "B", "k1", "v1"));
    EXPECT_TRUE(ini.WriteString(file, "A", "k2", "v2"));
    EXPECT_TRUE(ini.WriteString(file, "B", "k3", "v3"));
    EXPECT_TRUE(ini.WriteString(file, "b", "K1", "new"));  // the file keeps the first spelling
    EXPECT_EQ(Text(), "[B]\r\nk1=new\r\nk3=v3\r\n[A]\r\nk2=v2\r\n");
}

TEST_F(IniProfileTest, ReadingTrimsAndIgnoresLetterCase) {
    dir.WriteFile("x.ini",
                  "junk before\n[ Sec ]\n  Key  =  some value  \nq=\"quoted \"\nnoequals\nempty=\n[Other]\nKey=2\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Sec", "Key", "some value"}, {"SEC", "key", "some value"}, {"Sec", "q", "quoted "},
        {"Sec", "empty", ""},         {"Sec", "noequals", "<def>"}, {"Other", "key", "2"},
        {"Missing", "Key", "<def>"},  {"Sec", "Missing", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(file, c.section, c.key, "<def>"), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(ini.ReadString(dir.Root() + "none.ini", "Sec", "Key", "<def>"), "<def>");
}

TEST_F(IniProfileTest, DeleteKeyRemovesOnlyThatLine) {
    dir.WriteFile("x.ini", "[A]\r\na=1\r\nb=2\r\n[B]\r\na=3\r\n");
    EXPECT_TRUE(ini.DeleteKey(file, "a", "A"));
    EXPECT_EQ(Text(), "[A]\r\nb=2\r\n[B]\r\na=3\r\n");
    EXPECT_TRUE(ini.DeleteKey(file, "Nope", "b"));
    EXPECT_TRUE(ini.DeleteKey(file, "A", "nope"));
    EXPECT_EQ(Text(), "[A]\r\nb=2\r\n[B]\r\na=3\r\n");
}

TEST_F(IniProfileTest, DeletingFromAMissingFileCreatesNothing) {
    EXPECT_TRUE(ini.DeleteKey(file, "A", "a"));
    EXPECT_FALSE(dir.IsFile("x.ini"));
}

TEST_F(IniProfileTest, NewKeyGoesAfterTheSectionsLastKey) {
    dir.WriteFile("x.ini", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    EXPECT_TRUE(ini.WriteString(file, "A", "c", "3"));
    EXPECT_EQ(Text(), "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n");
}

TEST_F(IniProfileTest, WritingWhereNoFileCanBeMadeFails) {
    EXPECT_FALSE(ini.WriteString(dir.Root() + "missing\\x.ini", "A", "a", "1"));
    dir.MakeDirs("adir");
    EXPECT_FALSE(ini.WriteString(dir.Root() + "adir", "A", "a", "1"));
}

}  // namespace
