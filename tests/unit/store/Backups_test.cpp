// The backups a save keeps: their names, the rule that decides which stay, and
// what the list shows of each.

#include <gtest/gtest.h>

#include <algorithm>

#include "common/store_fakes.h"
#include "store/Backups.h"

namespace pv {
namespace {

using pvtest::StoreWorld;

TEST(BackupNames, WrittenAndReadBack) {
    struct Case {
        LocalTime time;
        int sequence;
        bool interrupted;
        const char* text;
    } cases[] = {
        {{2026, 12, 9, 21, 55, 33}, 1, false, "2026-12-09 21-55-33"},
        {{2026, 12, 9, 21, 55, 33}, 2, false, "2026-12-09 21-55-33 #2"},
        {{2026, 3, 4, 5, 6, 7}, 1, true, "2026-03-04 05-06-07 interrupted save"},
        {{2026, 3, 4, 5, 6, 7}, 12, true, "2026-03-04 05-06-07 #12 interrupted save"},
        {{2028, 2, 29, 0, 0, 0}, 1, false, "2028-02-29 00-00-00"},
        {{1999, 1, 1, 23, 59, 59}, 1, false, "1999-01-01 23-59-59"},
    };
    for (const Case& c : cases) {
        BackupName n;
        n.time = c.time;
        n.sequence = c.sequence;
        n.interrupted = c.interrupted;
        EXPECT_EQ(FormatBackupName(n), c.text);
        BackupName back;
        ASSERT_TRUE(ParseBackupName(c.text, back)) << c.text;
        EXPECT_EQ(FormatBackupName(back), c.text);
        EXPECT_EQ(back.sequence, c.sequence) << c.text;
        EXPECT_EQ(back.interrupted, c.interrupted) << c.text;
    }
}

TEST(BackupNames, OtherNamesAreNoBackups) {
    const char* names[] = {
        "2026-12-09 21-55-33.deleting",  // on its way out
        "2026-12-09 21-55-33 #1",        // the first one has no counter
        "2026-12-09 21-55-33 #02",
        "2026-12-09 21-55-33 #",
        "2026-12-09 21-55-33 interrupted",
        "2026-12-09 21-55-33 interrupted save #2",
        "2026-12-09 21:55:33",
        "2026-13-01 00-00-00",
        "2026-02-29 00-00-00",  // 2026 is no leap year
        "2026-12-00 00-00-00",
        "2026-12-09 24-00-00",
        "2026-12-09 23-60-00",
        "2026-12-09",
        "my copy",
        "",
    };
    for (const char* name : names) {
        BackupName n;
        EXPECT_FALSE(ParseBackupName(name, n)) << name;
    }
}

TEST(BackupNames, NewerByTimeThenCounter) {
    auto name = [](const char* text) {
        BackupName n;
        EXPECT_TRUE(ParseBackupName(text, n)) << text;
        return n;
    };
    EXPECT_TRUE(name("2026-12-09 21-55-34").NewerThan(name("2026-12-09 21-55-33 #9")));
    EXPECT_TRUE(name("2026-12-09 21-55-33 #3").NewerThan(name("2026-12-09 21-55-33 #2")));
    EXPECT_TRUE(name("2027-01-01 00-00-00").NewerThan(name("2026-12-31 23-59-59")));
    EXPECT_FALSE(name("2026-12-09 21-55-33").NewerThan(name("2026-12-09 21-55-33 interrupted save")));
}

// The rule at 2026-12-09 21:00, worked out by hand: the newest ten stay (the
// seven of today, two of 12-08, the one of 12-06); of the rest, the newest of
// 12-05 and of 12-03 (six days ago) stay; 12-02 is seven days ago.
TEST(BackupRetention, TheNewestTenAndTheNewestOfEachOfTheLastSevenDays) {
    struct Row {
        const char* name;
        bool kept;
    } rows[] = {
        {"2026-12-09 15-00-00", true},
        {"2026-12-09 14-00-00", true},
        {"2026-12-09 13-00-00", true},
        {"2026-12-09 12-00-00", true},
        {"2026-12-09 11-00-00", true},
        {"2026-12-09 10-00-00", true},
        {"2026-12-09 09-00-00", true},
        {"2026-12-08 20-00-00", true},
        {"2026-12-08 08-00-00", true},
        {"2026-12-06 10-00-00", true},  // the tenth
        {"2026-12-05 09-00-00", true},  // newest of 12-05
        {"2026-12-05 08-00-00 interrupted save", false},
        {"2026-12-05 07-00-00", false},
        {"2026-12-03 18-00-00", true},  // newest of 12-03, six days ago
        {"2026-12-02 23-59-59", false},  // seven days ago
        {"2026-11-30 12-00-00", false},
        {"my copy", true},                          // no backup: never touched
        {"2026-11-01 10-00-00.deleting", true},     // no backup either
    };
    std::vector<std::string> names, expected;
    for (const Row& r : rows) {
        names.push_back(r.name);
        if (!r.kept) expected.push_back(r.name);
    }
    std::reverse(names.begin(), names.end());  // the listing's order does not matter
    std::vector<std::string> doomed = BackupsToDelete(names, {2026, 12, 9, 21, 0, 0});
    std::sort(doomed.begin(), doomed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(doomed, expected);
}

TEST(BackupRetention, DaysCountAcrossMonthsAndLeapDays) {
    // At 2028-03-01: 02-24 is six days ago (2028 has a 29th of February), 02-23 seven.
    std::vector<std::string> names;
    for (int h = 0; h < 10; ++h) names.push_back("2028-03-01 0" + std::to_string(h) + "-00-00");
    names.push_back("2028-02-24 12-00-00");
    names.push_back("2028-02-23 12-00-00");
    EXPECT_EQ(BackupsToDelete(names, {2028, 3, 1, 12, 0, 0}), std::vector<std::string>{"2028-02-23 12-00-00"});
    // At 2027-01-02, 2026-12-27 is six days ago.
    names = {};
    for (int h = 0; h < 10; ++h) names.push_back("2027-01-02 0" + std::to_string(h) + "-00-00");
    names.push_back("2026-12-27 12-00-00");
    names.push_back("2026-12-26 12-00-00");
    EXPECT_EQ(BackupsToDelete(names, {2027, 1, 2, 12, 0, 0}), std::vector<std::string>{"2026-12-26 12-00-00"});
    // Ten or fewer: all stay, however old.
    names = {"2001-01-01 00-00-00", "2002-01-01 00-00-00"};
    EXPECT_TRUE(BackupsToDelete(names, {2027, 1, 2, 12, 0, 0}).empty());
}

TEST(BackupStore, MovedInUnderAFreeNameAndListedNewestFirstWithCounts) {
    StoreWorld w;
    const LocalTime t{2026, 12, 9, 21, 55, 33};
    w.Index("one", {"^UnkLnk|C:\\a.txt|txt|A"});
    w.Index("two", {"^Folder|F", "^Folder|Missing", "^NorSep|", "^SpeSep|S", "^ExeLnk|C:\\x.exe||x.bmp|X"});
    w.Index("two\\F", {"^Folder|G", "^UnkLnk|C:\\b.txt|txt|B"});
    w.Dir("two\\F\\G");
    w.Index("three", {});
    EXPECT_EQ(MoveIntoBackups(w.fs, w.D(), w.D() + "one", t, false), "2026-12-09 21-55-33");
    EXPECT_EQ(MoveIntoBackups(w.fs, w.D(), w.D() + "two", t, true), "2026-12-09 21-55-33 #2 interrupted save");
    EXPECT_FALSE(w.IsDir("one"));
    EXPECT_TRUE(w.IsFile("backups\\2026-12-09 21-55-33\\shortcuts.txt"));
    w.fs.failRename = true;
    EXPECT_EQ(MoveIntoBackups(w.fs, w.D(), w.D() + "three", t, false), "");
    EXPECT_TRUE(w.IsDir("three")) << "a store that cannot move stays where it is";
    w.Dir("backups\\not a backup");
    w.Dir("backups\\2026-12-09 21-55-34.deleting");

    const std::vector<BackupInfo> list = ListBackups(w.fs, w.D());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].dir, w.D() + "backups\\2026-12-09 21-55-33 #2 interrupted save");
    EXPECT_EQ(BackupLabel(list[0]), "2026-12-09 21:55:33 - 4 entries, 2 folders (interrupted save)");
    EXPECT_EQ(BackupLabel(list[1]), "2026-12-09 21:55:33 - 1 entry, 0 folders");
}

TEST(BackupStore, PruningLeavesWhatCannotGoAndNeverAHalfStore) {
    StoreWorld w;
    // Twelve backups a year old: the two oldest go.
    for (int d = 1; d <= 12; ++d) {
        const std::string name = std::string("2025-01-") + (d < 10 ? "0" : "") + std::to_string(d) + " 10-00-00";
        w.Index("backups\\" + name, {"^UnkLnk|C:\\" + std::to_string(d) + ".txt|txt|N"});
    }
    w.Dir("backups\\2024-06-01 10-00-00.deleting\\rest");  // what an earlier pruning left
    w.fs.failRename = true;  // the oldest cannot be renamed away: both stay whole
    PruneBackups(w.fs, w.D(), {2026, 12, 9, 21, 0, 0});
    EXPECT_EQ(ListBackups(w.fs, w.D()).size(), 12u);
    EXPECT_FALSE(w.IsDir("backups\\2024-06-01 10-00-00.deleting")) << "the leftover is deleted";
    w.fs.failRename = false;
    PruneBackups(w.fs, w.D(), {2026, 12, 9, 21, 0, 0});
    const std::vector<BackupInfo> list = ListBackups(w.fs, w.D());
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list.back().dir, w.D() + "backups\\2025-01-03 10-00-00");
    EXPECT_FALSE(w.IsDir("backups\\2025-01-01 10-00-00"));
    EXPECT_FALSE(w.IsDir("backups\\2025-01-01 10-00-00.deleting"));
}

}  // namespace
}  // namespace pv
