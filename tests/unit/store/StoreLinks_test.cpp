// Directory links (junctions, symbolic links) inside the item store: a link that
// leads back into a level the reader is inside is not followed, any other is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/support_fs.h"
#include "menu/SystemMenu.h"
#include "store/StoreLoader.h"
#include "store/StoreReport.h"

namespace pv {
namespace {

// D\shortcuts holds two records of loop -> . (the root itself), real\up -> ..
// (back to the root from a real folder) and shared -> ..\Shared (a folder
// elsewhere, whose own back -> ..\shortcuts leads to the root again).
class StoreWithLinks : public ::testing::Test {
protected:
    void SetUp() override {
        D = env.Root() + "Data\\";
        const std::string s = D + "shortcuts\\";
        ASSERT_TRUE(env.MakeDir(D));
        ASSERT_TRUE(env.MakeDir(s));
        ASSERT_TRUE(env.MakeDir(s + "real"));
        ASSERT_TRUE(env.MakeDir(D + "Shared"));
        ASSERT_TRUE(env.MakeFile(s + "shortcuts.txt",
                                 "^UnkLnk|C:\\a.txt|txt|A\r\n^Folder|loop\r\n^Folder|loop\r\n^Folder|real\r\n"
                                 "^Folder|shared\r\n"));
        ASSERT_TRUE(env.MakeFile(s + "real\\shortcuts.txt", "^UnkLnk|C:\\b.doc|doc|B\r\n^Folder|up\r\n"));
        ASSERT_TRUE(env.MakeFile(D + "Shared\\shortcuts.txt", "^UnkLnk|C:\\c.pdf|pdf|C\r\n^Folder|back\r\n"));
        std::string how;
        if (!env.MakeDirectoryLink(s, "loop", ".", how) || !env.MakeDirectoryLink(s + "real\\", "up", "..", how) ||
            !env.MakeDirectoryLink(s, "shared", "../Shared", how) ||
            !env.MakeDirectoryLink(D + "Shared\\", "back", "../shortcuts", how))
            GTEST_SKIP() << how;
    }

    pvtest::SupportFsEnv env;
    std::string D;
};

TEST_F(StoreWithLinks, LinksBackAreSkippedAndOthersFollowed) {
    PictureRecorder lists;
    TreeModel tvItems, tvUndo, tvBasic;
    PopupMenu pmItems, pmBasic;
    ItemTable table;
    PictureBookkeeping pictures;
    BuildMenuTemplate(pmBasic);
    BuildBasicTree(tvBasic);
    StoreContext ctx(env.Fs(), lists, tvItems, tvUndo, pmItems, table, pictures);
    ctx.dataDir = D;
    CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    CheckItemStore(ctx);
    const LoadReport r = LoadItemStore(ctx);

    // the scan went into real and shared only
    std::vector<std::string> exts;
    for (int i = 0; i < 3 && i < table.extensions.Length(); ++i) exts.push_back(table.extensions[i]);
    EXPECT_EQ(exts, (std::vector<std::string>{"txt", "doc", "pdf"}));

    const MenuEntry& root = pmItems.root;
    ASSERT_EQ(root.Count(), 6);
    EXPECT_EQ(root.Child(0)->caption, "A");
    EXPECT_EQ(root.Child(1)->caption, "real");
    EXPECT_EQ(root.Child(2)->caption, "shared");
    EXPECT_EQ(root.Child(3)->caption, "Sysmenu");
    ASSERT_EQ(root.Child(1)->Count(), 2);  // "Hiding" and B
    EXPECT_EQ(root.Child(1)->Child(1)->caption, "B");
    ASSERT_EQ(root.Child(2)->Count(), 2);  // "Hiding" and C
    EXPECT_EQ(root.Child(2)->Child(1)->caption, "C");
    EXPECT_EQ(table.paths.Length(), 3);

    struct Skip {
        std::string file;
        int line;
    };
    const Skip want[] = {{D + "shortcuts\\shortcuts.txt", 2},
                         {D + "shortcuts\\shortcuts.txt", 3},
                         {D + "shortcuts\\real\\shortcuts.txt", 2},
                         {D + "shortcuts\\shared\\shortcuts.txt", 2}};
    ASSERT_EQ(r.skipped.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r.skipped[i].indexFile, want[i].file);
        EXPECT_EQ(r.skipped[i].lineNumber, want[i].line);
        EXPECT_EQ(r.skipped[i].reason, SkipReason::FolderLinksBack);
    }
}

TEST_F(StoreWithLinks, TheStoreToolReportsTheSkippedFolders) {
    const StoreReportResult r = DescribeItemStore(env.Fs(), D, false);
    EXPECT_EQ(r.skippedLines, 4);
    const std::string line = D + "shortcuts\\shortcuts.txt:2: folder is a directory link back to a level it is in: "
                                 "^Folder|loop\n";
    EXPECT_NE(r.text.find(line), std::string::npos) << r.text;
}

}  // namespace
}  // namespace pv
