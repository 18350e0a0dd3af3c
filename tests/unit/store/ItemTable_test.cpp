#include "model/ItemTable.h"

#include <gtest/gtest.h>

#include "model/Pictures.h"

namespace pv {
namespace {

// The parameter lookups as a scan from the top would answer them.
std::string LinearFind(const ItemTable& t, int number) {
    const std::string key = std::to_string(number);
    for (int i = 0; i < t.paramNumbers.Length(); ++i)
        if (t.paramNumbers[i] == key) return i < t.paramValues.Length() ? t.paramValues[i] : std::string();
    return std::string();
}

TEST(ItemTableNumbers, ReadingOrderGivesNumbersAndPaths) {
    ItemTable t;
    EXPECT_EQ(t.AddProgramLink("C:\\a.exe", "-a"), 0);
    EXPECT_EQ(t.AddOtherLink("C:\\b.txt"), 1);
    EXPECT_EQ(t.AddProgramLink("C:\\c.bat", ""), 2);
    EXPECT_EQ(t.nextItemNumber, 3);
    EXPECT_EQ(t.PathOf(0), "C:\\a.exe");
    EXPECT_EQ(t.PathOf(1), "C:\\b.txt");
    EXPECT_EQ(t.PathOf(2), "C:\\c.bat");
    EXPECT_EQ(t.PathOf(3), "");
    EXPECT_EQ(t.PathOf(-1), "");
    EXPECT_EQ(t.paramNumbers.Length(), 2);
    EXPECT_EQ(t.paramNumbers[1], "2");
    t.Clear();
    EXPECT_EQ(t.nextItemNumber, 0);
    EXPECT_TRUE(t.paths.Empty());
    EXPECT_EQ(t.FindItemParams(0), "");
}

TEST(ItemTableParams, FindAndSetByNumber) {
    ItemTable t;
    t.AddProgramLink("C:\\a.exe", "-a");
    t.AddOtherLink("C:\\b.txt");
    t.AddProgramLink("C:\\c.exe", "");
    struct Case {
        int number;
        const char* params;
    };
    const Case found[] = {{0, "-a"}, {1, ""}, {2, ""}, {3, ""}, {-1, ""}, {1000000, ""}};
    for (const auto& c : found) EXPECT_EQ(t.FindItemParams(c.number), c.params) << c.number;

    t.SetItemParams(2, "/x");
    EXPECT_EQ(t.FindItemParams(2), "/x");
    t.SetItemParams(1, "ignored");  // other links have no pair
    EXPECT_EQ(t.FindItemParams(1), "");
    EXPECT_EQ(t.paramValues.Length(), 2);
    t.SetItemParams(-1, "ignored");
    EXPECT_EQ(t.paramValues.Length(), 2);
}

TEST(ItemTableParams, SameFirstMatchAsALinearScan) {
    // The manager appends pairs by hand; duplicated numbers must find the first pair.
    ItemTable t;
    for (int i = 0; i < 50; ++i) t.AddProgramLink("p" + std::to_string(i), "v" + std::to_string(i));
    t.paramNumbers.Append("7");
    t.paramValues.Append("second seven");
    t.paramNumbers.Append("77");
    t.paramValues.Append("late");
    t.paramNumbers.Append("077");  // not the decimal text of any number
    t.paramValues.Append("never");
    for (int n = -2; n < 100; ++n) EXPECT_EQ(t.FindItemParams(n), LinearFind(t, n)) << n;
    t.SetItemParams(7, "first seven");
    EXPECT_EQ(t.paramValues[7], "first seven");
    EXPECT_EQ(t.paramValues[50], "second seven");
    for (int n = -2; n < 100; ++n) EXPECT_EQ(t.FindItemParams(n), LinearFind(t, n)) << n;
}

TEST(ItemTableParams, ConstantTimeOnALargeTable) {
    ItemTable t;
    const int n = 200000;
    for (int i = 0; i < n; ++i) t.AddProgramLink("p", i % 3 ? "" : "x");
    long hits = 0;
    for (int i = 0; i < n; ++i) hits += t.FindItemParams(i) == "x";
    EXPECT_EQ(hits, (n + 2) / 3);
}

TEST(PictureRecorderLists, StartsWithTheFixedPicturesAndStaysInStep) {
    PictureRecorder p;
    EXPECT_EQ(p.Count(), kFixedPictureCount);
    EXPECT_TRUE(p.AddShellIcon("C:\\TempFile.txt", 12, false));
    EXPECT_EQ(p.Menu()[12], "shell C:\\TempFile.txt");
    EXPECT_EQ(p.Tree()[12], "shell C:\\TempFile.txt");
    EXPECT_EQ(p.Menu()[13], "break 3");
    p.AddShellIcon("C:\\x.exe", 15, true);
    EXPECT_FALSE(p.InStep());
    p.CopyMenuPictureToTree(15);
    EXPECT_TRUE(p.InStep());
    EXPECT_EQ(p.Tree()[15], "shell C:\\x.exe");
    p.InsertIconFile("C:\\s\\x.bmp", -1);
    p.CopyMenuPictureToTree(-1);
    EXPECT_EQ(p.Tree().back(), "file C:\\s\\x.bmp");
    EXPECT_EQ(p.ShellQueries(), 2);
    p.DeleteAbove(11);
    EXPECT_EQ(p.Count(), 12);
    p.AppendBreakPictures();
    EXPECT_EQ(p.Count(), 15);
    EXPECT_EQ(p.Menu()[14], "break 5");
    EXPECT_TRUE(p.InStep());
}

TEST(PictureRecorderLists, BookkeepingResets) {
    PictureBookkeeping b;
    b.break3 = 20;
    b.break5 = 40;
    b.itemIconCount = 3;
    b.Reset();
    EXPECT_EQ(b.lastFixed, 11);
    EXPECT_EQ(b.break3, 12);
    EXPECT_EQ(b.break4, 13);
    EXPECT_EQ(b.break5, 14);
    EXPECT_EQ(b.itemIconCount, 0);
    EXPECT_EQ(b.IconBase(), 14);
}

}  // namespace
}  // namespace pv
