// The copy of the index files that start-up reads instead of the files whose
// stamps are unchanged: what the load finds is always what the files hold.
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>
#include <vector>

#include "common/store_fakes.h"
#include "store/IndexPrefetch.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"
#include "store/StoreSnapshot.h"

namespace pv {
namespace {

TEST(StoreCopyFile, ReadsBackWhatWasWrittenAndNothingOfAnIncompleteOne) {
    SnapshotEntries entries;
    entries["shortcuts.txt"] = {"132000000000000000:24", "^Folder|A\r\n^NorSep|\r\n"};
    entries["A\\shortcuts.txt"] = {"132000000000000001:0", ""};
    // Lines, a line that looks like a count, bytes that are not text.
    entries["A\\B c\\shortcuts.txt"] = {"132000000000000002:9", std::string("7\n\n\0\xff\r\n|x", 9)};
    const std::string text = SerializeSnapshot(entries);
    SnapshotEntries back;
    ASSERT_TRUE(ParseSnapshot(text, back));
    ASSERT_EQ(back.size(), 3u);
    for (const auto& e : entries) {
        SCOPED_TRACE(e.first);
        ASSERT_EQ(back.count(e.first), 1u);
        EXPECT_EQ(back.at(e.first).stamp, e.second.stamp);
        EXPECT_EQ(back.at(e.first).bytes, e.second.bytes);
    }
    EXPECT_TRUE(ParseSnapshot(SerializeSnapshot({}), back));
    EXPECT_TRUE(back.empty());

    // Cut short anywhere (a write that was interrupted), one byte changed (a
    // hand edit), a byte more: not a copy at all.
    for (size_t n = 0; n < text.size(); ++n) {
        back["x"] = {};
        EXPECT_FALSE(ParseSnapshot(text.substr(0, n), back)) << n;
        EXPECT_TRUE(back.empty());
        std::string edited = text;
        edited[n] = static_cast<char>(edited[n] ^ 0x20);
        EXPECT_FALSE(ParseSnapshot(edited, back)) << n;
    }
    EXPECT_FALSE(ParseSnapshot(text + "\n", back));
}

TEST(StoreCopyFile, ACopyStandsForAFileOnlyWhileItsStampHoldsAndTheFileHadSettled) {
    const unsigned long long second = 10000000ULL;
    const unsigned long long t = 132000000000000000ULL;
    const std::string stamp = std::to_string(t) + ":24";
    struct Case {
        const char* what;
        std::string taken, now;
        unsigned long long written;
        bool holds;
    } cases[] = {
        {"unchanged, written a minute before the copy", stamp, stamp, t + 60 * second, true},
        {"unchanged, exactly ten seconds before", stamp, stamp, t + 10 * second, true},
        {"written again since (another time)", stamp, std::to_string(t + 1) + ":24", t + 60 * second, false},
        {"written again since (another size)", stamp, std::to_string(t) + ":25", t + 60 * second, false},
        {"gone", stamp, "", t + 60 * second, false},
        {"no stamp to go by", "", "", t + 60 * second, false},
        // A second write within the same tick of a coarse clock would keep the stamp.
        {"written nine seconds before the copy", stamp, stamp, t + 9 * second, false},
        {"written after the copy (a clock set back)", stamp, stamp, t - second, false},
        {"a stamp without a time", ":24", ":24", t, false},
    };
    for (const Case& c : cases) EXPECT_EQ(SnapshotCopyHolds(c.taken, c.now, c.written), c.holds) << c.what;
    EXPECT_EQ(StampTime(stamp), t);
    EXPECT_EQ(StampTime("garbage"), 0u);
}

// ---------------------------------------------------------------- at start-up

// The store's files as a user's are: written long before the program starts
// (their stamps an hour older than they are). Counts the index files read.
class SettledFs : public pvtest::UnreadableFs {
public:
    explicit SettledFs(pv::IFileSystem& inner) : UnreadableFs(inner), inner_(inner) {}
    std::atomic<int> indexReads{0};
    bool settled = true;
    bool ReadAll(const std::string& p, std::string& c) override {
        if (p.size() >= 13 && p.compare(p.size() - 13, 13, "shortcuts.txt") == 0) ++indexReads;
        return inner_.ReadAll(p, c);
    }
    std::string FileStamp(const std::string& p) override {
        std::string s = inner_.FileStamp(p);
        const unsigned long long t = StampTime(s);
        if (!settled || !t || p.find("shortcuts.txt") == std::string::npos) return s;
        return std::to_string(t - 3600ULL * 10000000ULL) + s.substr(s.find(':'));
    }

private:
    pv::IFileSystem& inner_;
};

void WriteStore(pvtest::StoreWorld& w, const char* rootName = "R") {
    w.Index("shortcuts", {"^Folder|A", std::string("^UnkLnk|C:\\r.txt|txt|") + rootName, "^Folder|B"});
    w.Index("shortcuts\\A", {"^Folder|Deeper", "^UnkLnk|C:\\a.doc|doc|A"});
    w.Index("shortcuts\\A\\Deeper", {"^UnkLnk|C:\\d.xls|xls|D"});
    w.Index("shortcuts\\B", {"^NorSep|"});
}

// The tree without its picture numbers, which a second load in one world counts on from the first's.
std::string Contents(const std::string& tree) {
    return std::regex_replace(tree, std::regex(" image=[0-9-]+ selected=[0-9-]+"), "");
}

struct Outcome {
    std::string tree;
    int indexReads = 0;
    bool copyWritten = false;
};

// One start-up's reading with the copy, then the check and load.
Outcome StartUp(pvtest::StoreWorld& w, SettledFs& fs) {
    fs.indexReads = 0;
    const size_t writesBefore = w.fs.writes.size();
    StoreReadAhead ahead;
    ahead.Start(fs, w.D() + "shortcuts\\", 2, TextFileCodec(), w.D() + kSnapshotName);
    ahead.Wait();
    Outcome o;
    o.indexReads = fs.indexReads;
    StoreCache cache;
    w.ctx.cache = &cache;
    w.ctx.ahead = &ahead;
    w.Start();
    o.tree = Contents(DumpTree(w.tvItems));
    for (size_t i = writesBefore; i < w.fs.writes.size(); ++i)
        o.copyWritten = o.copyWritten || w.fs.writes[i].find(kSnapshotName) != std::string::npos;
    return o;
}

std::string FreshLoad(void (*edit)(pvtest::StoreWorld&)) {
    pvtest::StoreWorld w;
    WriteStore(w);
    if (edit) edit(w);
    w.Start();
    return Contents(DumpTree(w.tvItems));
}

TEST(StoreCopyAtStartUp, AnUnchangedStoreIsReadFromTheCopyAndWhatChangedFromTheFiles) {
    pvtest::StoreWorld w;
    WriteStore(w);
    SettledFs fs(w.fs);
    const std::string want = FreshLoad(nullptr);

    const Outcome first = StartUp(w, fs);
    EXPECT_EQ(first.tree, want);
    EXPECT_EQ(first.indexReads, 4) << "no copy yet: every index file is read";
    EXPECT_TRUE(first.copyWritten);

    const Outcome second = StartUp(w, fs);
    EXPECT_EQ(second.tree, want);
    EXPECT_EQ(second.indexReads, 0) << "every index file from the copy";
    EXPECT_FALSE(second.copyWritten) << "nothing changed, nothing written";

    // A level edited by hand: read from its file, the copy renewed, and the
    // start after that reads nothing again.
    w.Index("shortcuts\\A\\Deeper", {"^UnkLnk|C:\\e.ppt|ppt|Edited"});
    const Outcome edited = StartUp(w, fs);
    EXPECT_EQ(edited.tree, FreshLoad([](pvtest::StoreWorld& x) {
        x.Index("shortcuts\\A\\Deeper", {"^UnkLnk|C:\\e.ppt|ppt|Edited"});
    }));
    EXPECT_NE(edited.tree.find("Edited"), std::string::npos);
    EXPECT_EQ(edited.indexReads, 1);
    EXPECT_TRUE(edited.copyWritten);
    EXPECT_EQ(StartUp(w, fs).indexReads, 0);

    // A level gone: the copy of it goes too.
    w.Index("shortcuts", {"^Folder|A", "^UnkLnk|C:\\r.txt|txt|R"});
    const Outcome removed = StartUp(w, fs);
    EXPECT_EQ(removed.tree.find("NorSep"), std::string::npos);
    EXPECT_EQ(removed.indexReads, 1);
    EXPECT_TRUE(removed.copyWritten);
    std::string copy;
    ASSERT_TRUE(w.fs.ReadAll(w.D() + kSnapshotName, copy));
    SnapshotEntries entries;
    ASSERT_TRUE(ParseSnapshot(copy, entries));
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.count("B\\shortcuts.txt"), 0u);
}

TEST(StoreCopyAtStartUp, ABrokenOrUntrustedCopyCostsOnlyTime) {
    struct Case {
        const char* what;
        void (*spoil)(pvtest::StoreWorld&);
        bool settled;
    } cases[] = {
        {"the copy cut short",
         [](pvtest::StoreWorld& w) {
             std::string c;
             w.fs.ReadAll(w.D() + kSnapshotName, c);
             w.fs.WriteAll(w.D() + kSnapshotName, c.substr(0, c.size() / 2));
         },
         true},
        {"the copy edited by hand so that it names another entry",
         [](pvtest::StoreWorld& w) {
             std::string c;
             w.fs.ReadAll(w.D() + kSnapshotName, c);
             const size_t at = c.find("|R\r\n");
             if (at != std::string::npos) c[at + 1] = 'Q';
             w.fs.WriteAll(w.D() + kSnapshotName, c);
         },
         true},
        {"the copy is a directory",
         [](pvtest::StoreWorld& w) {
             w.fs.RemoveFile(w.D() + kSnapshotName);
             w.Dir(kSnapshotName);
         },
         true},
        // Files written moments ago may yet be written again within their stamp's tick.
        {"the store written moments before", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pvtest::StoreWorld w;
        WriteStore(w);
        SettledFs fs(w.fs);
        fs.settled = c.settled;
        StartUp(w, fs);
        if (c.spoil) c.spoil(w);
        const Outcome next = StartUp(w, fs);
        EXPECT_EQ(next.tree, FreshLoad(nullptr));
        EXPECT_EQ(next.indexReads, 4);
    }
}

}  // namespace
}  // namespace pv
