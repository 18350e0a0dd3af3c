// Reading index files ahead on worker threads: the load finds what reading them
// in turn finds, whatever thread read which file.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/store_fakes.h"
#include "common/support_fs.h"
#include "store/IndexPrefetch.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"
#include "support/UkvSysIO.h"

namespace pv {
namespace {

struct Loaded {
    std::string tree;
    std::vector<std::string> extensions;
    std::vector<std::string> skipped;  // relative to the data directory
    int entries = 0;
};

// Twelve folders of four levels each, every level with its own extension;
// among them a folder named twice, one without index file, one missing and
// one whose index file is a directory.
void WriteStore(pvtest::StoreWorld& w) {
    std::vector<std::string> root;
    for (int f = 0; f < 12; ++f) {
        const std::string name = "F" + std::to_string(f);
        root.push_back("^Folder|" + name);
        std::string dir = "shortcuts\\" + name;
        for (int depth = 0; depth < 4; ++depth) {
            std::vector<std::string> index;
            for (int i = 0; i < 3; ++i) {
                const std::string ext = "x" + std::to_string(f) + std::to_string(depth);
                index.push_back("^UnkLnk|C:\\d\\" + name + std::to_string(i) + "." + ext + "|" + ext + "|Doc");
            }
            if (depth < 3) index.push_back("^Folder|Sub");
            w.Index(dir, index);
            dir += "\\Sub";
        }
    }
    for (const char* more : {"^Folder|F3", "^Folder|NoIndex", "^Folder|Missing", "^Folder|DirIndex", "^Folder|.."})
        root.push_back(more);
    w.Dir("shortcuts\\NoIndex");
    w.Dir("shortcuts\\DirIndex\\shortcuts.txt");
    w.Index("shortcuts", root);
}

Loaded Result(pvtest::StoreWorld& w, const LoadReport& r) {
    Loaded out;
    out.tree = DumpTree(w.tvItems);
    out.extensions = w.table.extensions.Items();
    for (const SkippedLine& s : r.skipped)
        out.skipped.push_back(s.indexFile.substr(w.D().size()) + ":" + std::to_string(s.lineNumber));
    out.entries = r.entries;
    return out;
}

Loaded Load(int readers) {
    pvtest::StoreWorld w;
    WriteStore(w);
    StoreCache cache;
    w.ctx.cache = &cache;
    w.ctx.readers = readers;
    const LoadReport r = w.Start();
    return Result(w, r);
}

TEST(ReadingAhead, FindsWhatReadingInTurnFinds) {
    const Loaded inTurn = Load(0);
    // 144 links and 36 sub-folders, 15 folders at the root (F3 twice, NoIndex,
    // DirIndex) and F3's 12 links and 3 sub-folders a second time.
    EXPECT_EQ(inTurn.entries, 210);
    EXPECT_EQ(inTurn.extensions.size(), 12u * 4 + 5);
    for (int run = 0; run < 5; ++run) {
        const Loaded ahead = Load(3);
        EXPECT_EQ(ahead.tree, inTurn.tree) << run;
        EXPECT_EQ(ahead.extensions, inTurn.extensions) << run;
        EXPECT_EQ(ahead.skipped, inTurn.skipped) << run;
    }
}

TEST(ReadingAhead, TheWorkersLeaveEveryRealLevelInTheCache) {
    pvtest::SupportFsEnv env;
    const std::string s = env.Root() + "S\\";
    ASSERT_TRUE(env.MakeDir(s));
    ASSERT_TRUE(env.MakeDir(s + "A"));
    ASSERT_TRUE(env.MakeDir(s + "A\\B"));
    ASSERT_TRUE(env.MakeFile(s + "shortcuts.txt", "^Folder|A\r\n^Folder|A\r\n^Folder|Gone\r\n^Folder|..\r\n"));
    ASSERT_TRUE(env.MakeFile(s + "A\\shortcuts.txt", "^Folder|B\r\n"));
    ASSERT_TRUE(env.MakeFile(s + "A\\B\\shortcuts.txt", "^UnkLnk|C:\\x.txt|txt|X\r\n"));
    StoreCache cache;
    ReadStoreAhead(env.Fs(), s, 2, cache);
    ASSERT_EQ(cache.indexFiles.size(), 3u);
    const auto& b = cache.indexFiles.at(s + "A\\B\\shortcuts.txt");
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0], "^UnkLnk|C:\\x.txt|txt|X");
    // The folders named, with what the file system says of them; ".." is no
    // name to follow and is not asked about.
    EXPECT_EQ(cache.folderAttributes.size(), 3u);
    EXPECT_TRUE(cache.folderAttributes.at(s + "A") & kAttrDirectory);
    EXPECT_EQ(cache.folderAttributes.at(s + "Gone"), kInvalidAttributes);
    EXPECT_EQ(cache.folderAttributes.count(s + ".."), 0u);
}

// ---------------------------------------------------------------- the early reading

// Rewrites an index file until the file system tells the new text from the
// old one by its stamp (the clock may not have moved on since the last write).
void Rewrite(pvtest::StoreWorld& w, const std::string& relDir, const std::vector<std::string>& lines) {
    const std::string file = w.D() + relDir + "\\shortcuts.txt";
    const std::string before = w.fs.FileStamp(file);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
        w.Index(relDir, lines);
        if (w.fs.FileStamp(file) != before) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < until);
    ADD_FAILURE() << "the stamp of " << file << " never changed";
}

// What was read before the windows were made, then the store edited by hand,
// then the check: the load finds what a load of the edited store finds.
TEST(ReadingEarly, WhatChangedAfterwardsIsReadAgain) {
    const auto sub = [](int f, int depth, const char* ext, int links) {
        std::vector<std::string> index;
        for (int i = 0; i < links; ++i)
            index.push_back("^UnkLnk|C:\\d\\e" + std::to_string(f) + std::to_string(i) + "." + ext + "|" + ext + "|Doc");
        if (depth < 3) index.push_back("^Folder|Sub");
        return index;
    };
    struct Edit {
        const char* what;
        std::function<void(pvtest::StoreWorld&)> apply;
    };
    const Edit edits[] = {
        {"a link of a new type added", [&](pvtest::StoreWorld& w) { Rewrite(w, "shortcuts\\F1", sub(1, 0, "new", 4)); }},
        // The same length as before ("x20" for "x50"): only the time tells.
        {"a level rewritten to the same size",
         [&](pvtest::StoreWorld& w) { Rewrite(w, "shortcuts\\F2\\Sub\\Sub", sub(2, 2, "x50", 3)); }},
        {"a level emptied", [&](pvtest::StoreWorld& w) { Rewrite(w, "shortcuts\\F6", {}); }},
        {"a folder added at the root",
         [&](pvtest::StoreWorld& w) {
             w.Index("shortcuts\\Added", {"^UnkLnk|C:\\d\\added.add|add|Added"});
             std::vector<std::string> root;
             for (int f = 0; f < 12; ++f) root.push_back("^Folder|F" + std::to_string(f));
             for (const char* more : {"^Folder|F3", "^Folder|NoIndex", "^Folder|Missing", "^Folder|DirIndex",
                                      "^Folder|..", "^Folder|Added"})
                 root.push_back(more);
             Rewrite(w, "shortcuts", root);
         }},
        {"a folder's directory removed", [](pvtest::StoreWorld& w) { DeleteDirectoryTree(w.fs, w.D() + "shortcuts\\F4"); }},
        {"a missing folder made", [](pvtest::StoreWorld& w) { w.Index("shortcuts\\Missing", {"^NorSep|"}); }},
        {"an index file made", [](pvtest::StoreWorld& w) { w.Index("shortcuts\\NoIndex", {"^UnkLnk|C:\\n.nix|nix|N"}); }},
        {"an index file removed", [](pvtest::StoreWorld& w) { w.fs.RemoveFile(w.D() + "shortcuts\\F5\\Sub\\shortcuts.txt"); }},
    };
    // The edit after the reading is done, or while it runs (then whatever the
    // workers met, the outcome is the same).
    for (bool whileReading : {false, true})
    for (const Edit& e : edits) {
        SCOPED_TRACE(std::string(e.what) + (whileReading ? ", while reading" : ""));
        pvtest::StoreWorld early;
        WriteStore(early);
        StoreReadAhead ahead;
        ahead.Start(early.fs, early.D() + "shortcuts\\", 2, pv::TextFileCodec());
        if (!whileReading) ahead.Wait();
        e.apply(early);
        StoreCache cache;
        early.ctx.cache = &cache;
        early.ctx.ahead = &ahead;
        early.ctx.readers = 2;
        const Loaded got = Result(early, early.Start());
        EXPECT_TRUE(ahead.Level().empty()) << "the check takes the reading over";

        pvtest::StoreWorld fresh;
        WriteStore(fresh);
        e.apply(fresh);
        const Loaded want = Result(fresh, fresh.Start());
        EXPECT_EQ(got.tree, want.tree);
        EXPECT_EQ(got.extensions, want.extensions);
        EXPECT_EQ(got.skipped, want.skipped);
        EXPECT_EQ(got.entries, want.entries);
        EXPECT_NE(want.tree, Load(0).tree) << "the edit shows in the menu";
    }
}

TEST(ReadingEarly, AnUnchangedStoreIsNotReadAgain) {
    // Every level named once (a level named twice is read again by the load,
    // which takes the text out of the cache).
    pvtest::StoreWorld w;
    w.Index("shortcuts", {"^Folder|A", "^UnkLnk|C:\\r.txt|txt|R", "^Folder|B"});
    w.Index("shortcuts\\A", {"^Folder|Deeper", "^UnkLnk|C:\\a.doc|doc|A"});
    w.Index("shortcuts\\A\\Deeper", {"^UnkLnk|C:\\d.xls|xls|D"});
    w.Index("shortcuts\\B", {"^NorSep|"});
    StoreReadAhead ahead;
    ahead.Start(w.fs, w.D() + "shortcuts\\", 2, pv::TextFileCodec());
    ahead.Wait();
    const long readBefore = w.fs.readCalls;
    StoreCache cache;
    w.ctx.cache = &cache;
    w.ctx.ahead = &ahead;
    const Loaded got = Result(w, w.Start());
    EXPECT_EQ(w.fs.readCalls, readBefore) << "every index file came from the early reading";
    EXPECT_EQ(readBefore, 4);
    EXPECT_EQ(got.entries, 7);
    // In the scan's order: a folder's contents before the lines after it.
    EXPECT_EQ(got.extensions, (std::vector<std::string>{"xls", "doc", "txt", "exe", "bat", "cmd", "wsf", "wsh"}));
}

TEST(ReadingEarly, AReadingOfAnotherDirectoryOrARestoredBackupIsDropped) {
    for (bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "backup restored" : "another directory");
        pvtest::StoreWorld w;
        WriteStore(w);
        w.Index("other\\shortcuts", {"^UnkLnk|C:\\o.oth|oth|Other"});
        w.Index("item_bak", {"^UnkLnk|C:\\b.bak|bak|Backup"});
        StoreReadAhead ahead;
        // Read ahead: another store, or the one the backup replaces.
        ahead.Start(w.fs, w.D() + (restore ? "shortcuts\\" : "other\\shortcuts\\"), 2, pv::TextFileCodec());
        if (!restore) {
            w.fs.RemoveFile(w.D() + "item_bak\\shortcuts.txt");
            w.fs.RemoveDir(w.D() + "item_bak");
        }
        w.backupAnswer = kMrYes;
        StoreCache cache;
        w.ctx.cache = &cache;
        w.ctx.ahead = &ahead;
        w.Start();
        EXPECT_TRUE(ahead.Level().empty());
        EXPECT_EQ(w.UserMenu().find("Other"), std::string::npos) << w.UserMenu();
        EXPECT_EQ(w.UserMenu().find("Backup") != std::string::npos, restore) << w.UserMenu();
        EXPECT_EQ(w.UserMenu().find("F0") != std::string::npos, !restore) << w.UserMenu();
    }
}

TEST(ReadingEarly, DroppingAReadingStopsItsWorkers) {
    pvtest::StoreWorld w;
    WriteStore(w);
    for (int run = 0; run < 20; ++run) {
        StoreReadAhead ahead;
        ahead.Start(w.fs, w.D() + "shortcuts\\", 2, pv::TextFileCodec());
        EXPECT_EQ(ahead.Level(), w.D() + "shortcuts\\");
        ahead.Discard();
        EXPECT_TRUE(ahead.Level().empty());
        StoreCache cache;
        EXPECT_EQ(ahead.HandOver(cache), 0u);
        EXPECT_TRUE(cache.indexFiles.empty());
    }
}

}  // namespace
}  // namespace pv
