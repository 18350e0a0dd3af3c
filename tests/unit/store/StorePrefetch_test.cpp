// Reading index files ahead on worker threads: the load finds what reading them
// in turn finds, whatever thread read which file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/store_fakes.h"
#include "common/support_fs.h"
#include "store/IndexPrefetch.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"

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

Loaded Load(int readers) {
    pvtest::StoreWorld w;
    WriteStore(w);
    StoreCache cache;
    w.ctx.cache = &cache;
    w.ctx.readers = readers;
    const LoadReport r = w.Start();
    Loaded out;
    out.tree = DumpTree(w.tvItems);
    out.extensions = w.table.extensions.Items();
    for (const SkippedLine& s : r.skipped)
        out.skipped.push_back(s.indexFile.substr(w.D().size()) + ":" + std::to_string(s.lineNumber));
    out.entries = r.entries;
    return out;
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

}  // namespace
}  // namespace pv
