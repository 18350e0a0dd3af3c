#include "store/StoreLoader.h"

#include <gtest/gtest.h>

#include "menu/SystemMenu.h"
#include "store/StoreDump.h"
#include "common/store_fakes.h"

namespace pv {
namespace {

using pvtest::StoreWorld;

const char* const kTop = "\"\" image=5 selected=5 state=-1 data=-1\n";

std::string Link(const std::string& name, int image, int item, int depth = 0) {
    return std::string(static_cast<size_t>(depth) * 2, ' ') + "\"" + name + "\" tag=" + std::to_string(item) +
           " image=" + std::to_string(image) + " item=" + std::to_string(item) + " click=NorItemsRTClickItem\n";
}
std::string Node(const std::string& text, int image, int data, int depth = 0) {
    return std::string(static_cast<size_t>(depth) * 2, ' ') + "\"" + text + "\" image=" + std::to_string(image) +
           " selected=" + std::to_string(image) + " state=-1 data=" + std::to_string(data) + "\n";
}
std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

// ---------------------------------------------------------------- empty stores

TEST(LoaderEmpty, NoStoreDirectoryGivesOnlyTheSystemPart) {
    StoreWorld w;
    LoadReport r = w.Start();
    EXPECT_TRUE(w.IsDir("shortcuts"));
    EXPECT_FALSE(w.IsFile("shortcuts\\shortcuts.txt"));
    EXPECT_EQ(w.UserMenu(), "");
    EXPECT_EQ(w.UserTree(), kTop);
    EXPECT_EQ(w.pmItems.root.Count(), 3);
    EXPECT_EQ(w.pmItems.root.tag, 0);
    EXPECT_EQ(w.tvItems.TopCount(), 4);
    EXPECT_EQ(w.lists.Count(), kFixedPictureCount);
    EXPECT_EQ(w.lists.ShellQueries(), 0);
    EXPECT_TRUE(w.table.extensions.Empty());
    EXPECT_EQ(r.entries, 0);
    EXPECT_EQ(w.backupQuestions, 0);
    EXPECT_TRUE(w.told.empty());
}

TEST(LoaderEmpty, EmptyIndexFileIsAnEmptyLevel) {
    StoreWorld w;
    w.File("shortcuts\\shortcuts.txt", "");
    w.Start();
    EXPECT_EQ(w.UserMenu(), "");
    EXPECT_EQ(w.UserTree(), kTop);
    // the picture preparation still runs: the five program extensions
    EXPECT_EQ(w.table.extensions.Length(), 5);
    EXPECT_EQ(w.pictures.break5, 19);
    EXPECT_EQ(w.lists.Count(), 20);
}

// ---------------------------------------------------------------- order and numbers

TEST(LoaderOrder, ItemNumbersFollowReadingOrderAcrossLevels) {
    StoreWorld w;
    const std::string t = w.D() + "t\\";
    w.Index("shortcuts", {"^UnkLnk|" + t + "a.txt|txt|A", "^Folder|F", "^ExeLnk|" + t + "d.bat|-d|bat|D",
                          "^SpeSep|Cap", "^NorSep|", "^NorSep|"});
    w.Index("shortcuts\\F", {"^UnkLnk|" + t + "b.txt|txt|B", "^Folder|G", "^UnkLnk|" + t + "e.txt|txt|E"});
    w.Index("shortcuts\\F\\G", {"^ExeLnk|" + t + "c.cmd|-c|cmd|C"});
    LoadReport r = w.Start();
    // extension list: txt, exe, bat, cmd, wsf, wsh
    EXPECT_EQ(w.UserMenu(), Link("A", 12, 0) +
                                "\"F\" tag=4 image=0\n" +
                                "  \"Hiding\" tag=-400 image=-1 hidden\n" + Link("B", 12, 1, 1) +
                                "  \"G\" tag=2 image=0\n" + "    \"Hiding\" tag=-400 image=-1 hidden\n" +
                                Link("C", 15, 2, 2) + Link("E", 12, 3, 1) + Link("D", 14, 4) +
                                "\"Cap\" tag=-100 image=-1\n" + "\"-\" tag=-200 image=-1\n" +
                                "\"-\" tag=-200 image=-1\n");
    EXPECT_EQ(w.UserTree(), std::string(kTop) + Node("A", 12, 0) + Node("F", 0, -1) + Indent(1) + kTop +
                                Node("B", 12, 1, 1) + Node("G", 0, -1, 1) + Indent(2) + kTop + Node("C", 15, 2, 2) +
                                Node("E", 12, 3, 1) + Node("D", 14, 4) + Node("--Cap--", 4, -1) +
                                Node("---------------", 3, -1) + Node("---------------", 3, -1));
    EXPECT_EQ(r.entries, 10);
    ASSERT_EQ(w.table.paths.Length(), 5);
    EXPECT_EQ(w.table.paths[0], t + "a.txt");
    EXPECT_EQ(w.table.paths[1], t + "b.txt");
    EXPECT_EQ(w.table.paths[2], t + "c.cmd");
    EXPECT_EQ(w.table.paths[3], t + "e.txt");
    EXPECT_EQ(w.table.paths[4], t + "d.bat");
    EXPECT_EQ(w.table.nextItemNumber, 5);
    // only program links have parameter pairs
    ASSERT_EQ(w.table.paramNumbers.Length(), 2);
    EXPECT_EQ(w.table.paramNumbers[0], "2");
    EXPECT_EQ(w.table.paramNumbers[1], "4");
    EXPECT_EQ(w.table.FindItemParams(2), "-c");
    EXPECT_EQ(w.table.FindItemParams(4), "-d");
    EXPECT_EQ(w.table.FindItemParams(0), "");
    // store entries sit above the system entries, which keep their order
    ASSERT_EQ(w.pmItems.root.Count(), 9);
    EXPECT_EQ(w.pmItems.root.Child(6)->caption, "Sysmenu");
    EXPECT_EQ(w.pmItems.root.Child(7)->caption, "Pivora Kit");
    EXPECT_EQ(w.pmItems.root.Child(8)->caption, "Close");
    EXPECT_EQ(w.pmItems.root.tag, 6);
}

TEST(LoaderOrder, UndoCopyEqualsTheTreeAndTheAnchorIsGone) {
    StoreWorld w;
    w.Index("shortcuts", {"^Folder|F", "^NorSep|"});
    w.Dir("shortcuts\\F");
    w.tvItems.tag = 3;
    w.Start();
    EXPECT_EQ(DumpTree(w.tvUndo), DumpTree(w.tvItems));
    EXPECT_EQ(w.tvUndo.tag, 3);
    for (TreeNode* n : w.tvItems.AllNodes()) EXPECT_NE(n->text, "hiding");
    EXPECT_EQ(w.tvItems.TopCount(), 1 + 2 + 3);
}

TEST(LoaderOrder, DeepNestingIsReadWithoutLimit) {
    StoreWorld w;
    const int depth = 60;  // keeps the deepest path under MAX_PATH under Wine
    std::string rel = "shortcuts";
    for (int i = 0; i < depth; ++i) {
        w.Index(rel, {"^UnkLnk|C:\\x" + std::to_string(i) + ".txt|txt|L" + std::to_string(i), "^Folder|f"});
        rel += "\\f";
    }
    w.Index(rel, {"^UnkLnk|C:\\last.txt|txt|Last"});
    LoadReport r = w.Start();
    EXPECT_EQ(r.entries, 2 * depth + 1);
    EXPECT_EQ(w.table.paths.Length(), depth + 1);
    const MenuEntry* m = &w.pmItems.root;
    for (int i = 0; i < depth; ++i) {
        ASSERT_GE(m->Count(), 2);
        EXPECT_EQ(m->Child(i == 0 ? 0 : 1)->tag, i);
        m = m->Child(i == 0 ? 1 : 2);
        EXPECT_EQ(m->caption, "f");
    }
    ASSERT_EQ(m->Count(), 2);
    EXPECT_EQ(m->Child(1)->caption, "Last");
    EXPECT_EQ(m->Child(1)->tag, depth);
}

TEST(LoaderOrder, AnsiNamesPassThrough) {
    StoreWorld w;
    const std::string name = "Gr\xFC\xDF" "e \x80";
    w.Index("shortcuts", {"^UnkLnk|C:\\\xE4.txt|txt|" + name, "^SpeSep|\xA7"});
    w.Start();
    EXPECT_EQ(w.pmItems.root.Child(0)->caption, name);
    EXPECT_EQ(w.pmItems.root.Child(1)->caption, "\xA7");
    EXPECT_EQ(w.tvItems.Top(2)->text, "--\xA7--");
    EXPECT_EQ(w.table.paths[0], "C:\\\xE4.txt");
}

// ---------------------------------------------------------------- menu shape

TEST(LoaderMenuShape, FolderEntriesWithAndWithoutTheSideBar) {
    struct Case {
        bool drawMenuBar;
        std::string menu;
    };
    const Case cases[] = {
        {false, "\"F\" tag=2 image=0\n"
                "  \"Hiding\" tag=-400 image=-1 hidden\n" +
                    Link("A", 12, 0, 1) + "\"E\" tag=1 image=0\n  \"Hiding\" tag=-400 image=-1 hidden\n"},
        {true, "\"F\" tag=3 image=0\n"
               "  \"F\" tag=-9999 image=-1 hidden\n"
               "  \"Hiding\" tag=-400 image=-1 hidden\n" +
                   Link("A", 12, 0, 1) +
                   "\"E\" tag=2 image=0\n  \"E\" tag=-9999 image=-1 hidden\n"
                   "  \"Hiding\" tag=-400 image=-1 hidden\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawMenuBar);
        StoreWorld w;
        w.Index("shortcuts", {"^Folder|F", "^Folder|E"});
        w.Index("shortcuts\\F", {"^UnkLnk|C:\\a.txt|txt|A"});
        w.Dir("shortcuts\\E");  // a folder without index file is an empty folder
        w.Start(c.drawMenuBar);
        EXPECT_EQ(w.UserMenu(), c.menu);
        const MenuEntry* f = w.pmItems.root.Child(0);
        EXPECT_EQ(f->Child(c.drawMenuBar ? 2 : 1)->caption, "A");
        // an empty folder still has entries, so it stays a submenu
        EXPECT_TRUE(w.pmItems.root.Child(1)->HasChildren());
    }
}

TEST(LoaderMenuShape, MissingFolderDirectoriesDropTheirEntries) {
    StoreWorld w;
    w.Index("shortcuts", {"^UnkLnk|C:\\1.txt|txt|One", "^Folder|Gone", "^UnkLnk|C:\\2.txt|txt|Two"});
    // an index below the missing folder's name must not be read (there is no folder)
    LoadReport r = w.Start();
    EXPECT_EQ(w.UserMenu(), Link("One", 12, 0) + Link("Two", 12, 1));
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::MissingFolder);
    EXPECT_EQ(r.skipped[0].lineNumber, 2);
    EXPECT_EQ(r.skipped[0].indexFile, w.D() + "shortcuts\\shortcuts.txt");
}

TEST(LoaderMenuShape, MalformedLinesAreSkippedWithTheirReasons) {
    StoreWorld w;
    w.Index("shortcuts", {
                             "",
                             "^Folder",
                             "garbage",
                             "^folder|F",
                             "^UnkLnk|C:\\a.txt|txt|A",
                             "^ExeLnk|C:\\nowhere.exe",  // too few bars: still an entry
                             "^NorSep|text after the bar",
                             "^XYZ|1|2|3",
                             "^UnkLnk|",
                         });
    LoadReport r = w.Start();
    EXPECT_EQ(r.entries, 4);
    ASSERT_EQ(r.skipped.size(), 5u);
    const SkipReason want[] = {SkipReason::EmptyLine, SkipReason::NoKindBar, SkipReason::NoKindBar,
                               SkipReason::UnknownKind, SkipReason::UnknownKind};
    const int lines[] = {1, 2, 3, 4, 8};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.skipped[i].reason, want[i]) << i;
        EXPECT_EQ(r.skipped[i].lineNumber, lines[i]) << i;
    }
    // the short program link: empty path and icon field, the rest is its name; its
    // empty icon field finds the empty extension like any script type would
    EXPECT_EQ(w.pmItems.root.Child(1)->caption, "C:\\nowhere.exe");
    EXPECT_EQ(w.pmItems.root.Child(1)->imageIndex, 12 + w.table.extensions.IndexOf(""));
    EXPECT_EQ(w.table.extensions.IndexOf(""), 1);
    EXPECT_EQ(w.table.paths[1], "");
    EXPECT_EQ(w.pmItems.root.Child(2)->tag, kTagPlainSeparator);
    // "^UnkLnk|": empty path and extension field, extension "" from the scan
    EXPECT_EQ(w.pmItems.root.Child(3)->caption, "");
    EXPECT_EQ(w.pmItems.root.Child(3)->imageIndex, 12 + w.table.extensions.IndexOf(""));
}

// ---------------------------------------------------------------- pictures

TEST(LoaderPictures, ExtensionPicturesAreSharedAndCompareExactly) {
    StoreWorld w;
    const std::string t = w.D() + "t\\";
    w.Dir("t\\dir");
    w.Index("shortcuts", {
                             "^UnkLnk|" + t + "a.txt|txt|A",
                             "^UnkLnk|" + t + "b.txt|txt|B",
                             "^UnkLnk|" + t + "C.TXT|TXT|C",
                             "^UnkLnk|" + t + "dir||Dir",
                             "^UnkLnk|" + t + "gone||Gone",
                             "^ExeLnk|" + t + "go.bat||bat|Go",
                             "^Folder|F",
                         });
    w.Index("shortcuts\\F", {"^UnkLnk|" + t + "x.pdf|pdf|X", "^UnkLnk|" + t + "y.txt|txt|Y"});
    w.Start();
    const std::vector<std::string> exts = {"txt", "TXT", "", "pdf", "exe", "bat", "cmd", "wsf", "wsh"};
    EXPECT_EQ(w.table.extensions.Items(), exts);
    const MenuEntry& root = w.pmItems.root;
    EXPECT_EQ(root.Child(0)->imageIndex, 12);  // txt
    EXPECT_EQ(root.Child(1)->imageIndex, 12);  // txt, shared
    EXPECT_EQ(root.Child(2)->imageIndex, 13);  // TXT, its own
    EXPECT_EQ(root.Child(3)->imageIndex, 6);   // an existing directory
    EXPECT_EQ(root.Child(4)->imageIndex, 14);  // gone: the picture of a name without extension
    EXPECT_EQ(root.Child(5)->imageIndex, 17);  // bat
    EXPECT_EQ(root.Child(6)->Child(1)->imageIndex, 15);  // pdf, found by the depth-first scan
    EXPECT_EQ(root.Child(6)->Child(2)->imageIndex, 12);
    // one shell query per extension, each through its temporary file
    EXPECT_EQ(w.lists.ShellQueries(), 9);
    for (size_t p = 0; p < exts.size(); ++p)
        EXPECT_EQ(w.lists.Menu()[12 + p], "shell " + w.D() + "TempFile." + exts[p]) << p;
    EXPECT_EQ(w.lists.Menu()[21], "break 3");
    EXPECT_EQ(w.lists.Menu()[22], "break 4");
    EXPECT_EQ(w.lists.Menu()[23], "break 5");
    EXPECT_TRUE(w.lists.InStep());
    EXPECT_EQ(w.pictures.break3, 21);
    EXPECT_EQ(w.pictures.break4, 22);
    EXPECT_EQ(w.pictures.break5, 23);
    EXPECT_EQ(w.pictures.IconBase(), w.lists.Count() - 1);
    // the temporary files are gone again
    for (const auto& e : exts) EXPECT_FALSE(w.IsFile("TempFile." + e)) << e;
    // the tree shows the same pictures
    EXPECT_EQ(w.tvItems.Top(4)->imageIndex, 6);
    EXPECT_EQ(w.tvItems.Top(4)->selectedIndex, 6);
}

TEST(LoaderPictures, ProgramLinkIcons) {
    StoreWorld w;
    const std::string t = w.D() + "t\\";
    const std::string L = w.D() + "shortcuts\\";
    w.File("t\\app.exe", "MZ");
    w.File("t\\run.cmd", "@echo off");
    w.File("shortcuts\\app.bmp", "BM");
    w.File("shortcuts\\gone.bmp", "BM");
    w.File("shortcuts\\up.BMP", "BM");
    w.File("shortcuts\\icon.ico", "ICO");
    w.File("shortcuts\\odd.png", "PNG");
    w.Index("shortcuts", {
                             "^ExeLnk|" + t + "app.exe|-x|app.bmp|App",        // target exists: its own icon
                             "^ExeLnk|" + t + "gone.exe||gone.bmp|Gone",       // only the bitmap
                             "^ExeLnk|" + t + "app.exe||nobmp.bmp|NoBmp",      // bitmap deleted, target there
                             "^ExeLnk|" + t + "lost.exe||lost.bmp|Lost",       // neither
                             "^ExeLnk|" + t + "lost.exe||up.BMP|Upper",        // ending not matched exactly
                             "^ExeLnk|" + t + "lost.exe||icon.ico|Ico",        // an icon file
                             "^ExeLnk|" + t + "lost.exe||odd.png|Odd",         // unknown ending, no target
                             "^ExeLnk|" + t + "run.cmd||cmd|Cmd",              // script type
                             "^ExeLnk|" + t + "lost.exe||exe|ExeField",        // position 0 is no script type
                             "^ExeLnk|" + t + "app.exe||odd.png|OddReach",     // unknown ending, target there
                         });
    w.Start();
    // extension list: exe bat cmd wsf wsh, so item icons start at 19
    const int want[] = {19, 20, 21, -1, -1, 22, -1, 14, -1, 23};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(w.pmItems.root.Child(i)->imageIndex, want[i]) << w.pmItems.root.Child(i)->caption;
        EXPECT_EQ(w.tvItems.Top(1 + i)->imageIndex, want[i]);
    }
    EXPECT_EQ(w.lists.Menu()[19], "shell " + t + "app.exe");
    EXPECT_EQ(w.lists.Tree()[19], "shell " + t + "app.exe");
    EXPECT_EQ(w.lists.Menu()[20], "file " + L + "gone.bmp");
    EXPECT_EQ(w.lists.Tree()[20], "file " + L + "gone.bmp");
    EXPECT_EQ(w.lists.Menu()[21], "shell " + t + "app.exe");
    EXPECT_EQ(w.lists.Menu()[22], "file " + L + "icon.ico");
    EXPECT_EQ(w.lists.Menu()[23], "shell " + t + "app.exe");
    EXPECT_EQ(w.lists.Menu()[24], "break 5");
    EXPECT_TRUE(w.lists.InStep());
    EXPECT_EQ(w.pictures.itemIconCount, 5);
    EXPECT_EQ(w.pictures.break5, 24);
    EXPECT_EQ(w.lists.Count(), 25);
    // the shell is asked once per extension and once per reachable program
    EXPECT_EQ(w.lists.ShellQueries(), 5 + 3);
}

TEST(LoaderPictures, LoadItemIconInsertsAtBreakPictureFive) {
    StoreWorld w;
    w.File("t\\a.exe", "MZ");
    CopySystemMenu(w.pictures, w.tvBasic, w.tvItems, w.pmBasic, w.pmItems);
    EXPECT_EQ(LoadItemIcon(w.ctx, w.D() + "x.bmp", w.D() + "t\\a.exe"), 14);
    EXPECT_EQ(LoadItemIcon(w.ctx, w.D() + "x.bmp", ""), 15);
    EXPECT_EQ(LoadItemIcon(w.ctx, w.D() + "x.bmp", w.D() + "t"), 16);  // a directory is no file
    EXPECT_EQ(w.lists.Menu()[14], "shell " + w.D() + "t\\a.exe");
    EXPECT_EQ(w.lists.Menu()[15], "file " + w.D() + "x.bmp");
    EXPECT_EQ(w.lists.Menu()[16], "file " + w.D() + "x.bmp");
    EXPECT_EQ(w.lists.Menu()[17], "break 5");
    EXPECT_TRUE(w.lists.InStep());
    EXPECT_EQ(w.pictures.itemIconCount, 3);
    EXPECT_EQ(w.pictures.break5, 17);
}

TEST(LoaderPictures, HostileExtensionsMakeNoFilesOutsideTheDataDirectory) {
    StoreWorld w;
    w.File("keep.txt", "precious");
    w.Index("shortcuts", {"^UnkLnk|C:\\a|\\..\\keep.txt|A", "^UnkLnk|C:\\b|x:y|B", "^UnkLnk|C:\\c|txt|C"});
    w.Start();
    std::string kept;
    w.fs.ReadAll(w.D() + "keep.txt", kept);
    EXPECT_EQ(kept, "precious");
    // the loader names file types and makes no file for any of them
    EXPECT_TRUE(w.fs.writes.empty());
    // the pictures still line up with the extension list
    EXPECT_EQ(w.pmItems.root.Child(0)->imageIndex, 12);
    EXPECT_EQ(w.pmItems.root.Child(1)->imageIndex, 13);
    EXPECT_EQ(w.pmItems.root.Child(2)->imageIndex, 14);
    EXPECT_EQ(w.pictures.break3, 12 + 8);
    EXPECT_TRUE(w.lists.InStep());
    // in the list's order, the hostile names between the types' runs
    const char* exts[] = {"\\..\\keep.txt", "x:y", "txt", "exe", "bat", "cmd", "wsf", "wsh"};
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(w.lists.Menu()[static_cast<size_t>(12 + p)], "shell " + w.D() + "TempFile." + exts[p]) << p;
}

// ---------------------------------------------------------------- backup question

TEST(LoaderBackup, TheThreeAnswers) {
    struct Case {
        int answer;
        StoreCheckResult result;
        bool bakAfter;
        const char* menuCaption;  // first entry after loading
        bool prepared;            // scan and pictures ran
    };
    const Case cases[] = {
        {kMrYes, StoreCheckResult::Restored, false, "FromBackup", true},
        {kMrNo, StoreCheckResult::BackupKept, false, "Current", true},
        {kMrCancel, StoreCheckResult::Cancelled, true, "Current", false},
        {kMrNone, StoreCheckResult::Cancelled, true, "Current", false},  // closed without a button
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        StoreWorld w;
        w.Index("shortcuts", {"^UnkLnk|C:\\cur.txt|txt|Current"});
        w.File("shortcuts\\only-in-current.bmp", "BM");
        w.Index("item_bak", {"^UnkLnk|C:\\bak.doc|doc|FromBackup"});
        w.Index("item_bak\\Sub", {"^NorSep|"});
        w.backupAnswer = c.answer;
        CopySystemMenu(w.pictures, w.tvBasic, w.tvItems, w.pmBasic, w.pmItems);
        EXPECT_EQ(CheckItemStore(w.ctx), c.result);
        EXPECT_EQ(w.backupQuestions, 1);
        EXPECT_EQ(w.IsDir("item_bak"), c.bakAfter);
        EXPECT_TRUE(w.IsDir("shortcuts"));
        EXPECT_EQ(w.IsFile("shortcuts\\only-in-current.bmp"), c.answer != kMrYes);
        EXPECT_EQ(w.IsFile("shortcuts\\Sub\\shortcuts.txt"), c.answer == kMrYes);
        EXPECT_EQ(w.lists.ShellQueries() > 0, c.prepared);
        // No keeps the interrupted save's store among the backups, named by the time.
        EXPECT_EQ(w.IsFile("backups\\2026-01-01 12-00-00 interrupted save\\Sub\\shortcuts.txt"), c.answer == kMrNo);
        EXPECT_EQ(w.table.backupUnresolved, c.result == StoreCheckResult::Cancelled);
        LoadItemStore(w.ctx);
        EXPECT_EQ(w.pmItems.root.Child(0)->caption, c.menuCaption);
        if (!c.prepared) {
            // no extension pictures: an other link shows picture 11
            EXPECT_EQ(w.pmItems.root.Child(0)->imageIndex, 11);
            EXPECT_EQ(w.lists.Count(), kFixedPictureCount);
        }
    }
}

TEST(LoaderBackup, ALeftoverItemDelGoesOnceTheStoreStandsWhole) {
    struct Case {
        bool backup;  // an interrupted save's item_bak beside it
        int answer;
        bool itemDelAfter;
    } cases[] = {
        {false, kMrCancel, false},  // no question: the store is whole
        {true, kMrYes, false},      // item_bak is the whole store again
        {true, kMrNo, true},        // the store may be the half-written one
        {true, kMrCancel, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.backup) + " " + std::to_string(c.answer));
        StoreWorld w;
        w.Index("shortcuts", {"^UnkLnk|C:\\cur.txt|txt|Current"});
        w.Index("item_del\\Half", {"^NorSep|"});
        w.Index("backups\\2026-01-01 10-00-00", {"^NorSep|"});
        if (c.backup) w.Index("item_bak", {"^UnkLnk|C:\\bak.txt|txt|FromBackup"});
        w.backupAnswer = c.answer;
        w.Start();
        EXPECT_EQ(w.backupQuestions, c.backup ? 1 : 0) << "quietly";
        EXPECT_EQ(w.IsDir("item_del"), c.itemDelAfter);
        EXPECT_TRUE(w.IsFile("backups\\2026-01-01 10-00-00\\shortcuts.txt")) << "a backup is never taken for anything else";
        EXPECT_TRUE(w.told.empty());
    }
}

TEST(LoaderBackup, NoWhoseMoveFailsKeepsItemBakAndSavesRefuse) {
    StoreWorld w;
    w.Index("shortcuts", {"^UnkLnk|C:\\cur.txt|txt|Current"});
    w.Index("item_bak", {"^UnkLnk|C:\\bak.txt|txt|FromBackup"});
    w.File("backups", "a file where the folder should be");
    w.backupAnswer = kMrNo;
    w.Start();
    EXPECT_TRUE(w.IsFile("item_bak\\shortcuts.txt")) << "never deleted: asked again at the next start";
    EXPECT_TRUE(w.table.backupUnresolved);
}

TEST(LoaderBackup, NoQuestionWithoutBackupAndNoCallbackMeansCancel) {
    StoreWorld w;
    w.Index("shortcuts", {"^NorSep|"});
    CopySystemMenu(w.pictures, w.tvBasic, w.tvItems, w.pmBasic, w.pmItems);
    EXPECT_EQ(CheckItemStore(w.ctx), StoreCheckResult::NoBackup);
    EXPECT_EQ(w.backupQuestions, 0);

    StoreWorld v;
    v.Dir("item_bak");
    v.ctx.askBackupQuestion = nullptr;
    EXPECT_EQ(CheckItemStore(v.ctx), StoreCheckResult::Cancelled);
    EXPECT_TRUE(v.IsDir("item_bak"));
    EXPECT_FALSE(v.IsDir("shortcuts"));  // Cancel leaves everything as it is
}

// ---------------------------------------------------------------- faults mended

TEST(LoaderFaults, FolderNamesThatLeadNowhereAreSkipped) {
    // Without the check, "." reads the same level again and ".." the level
    // outside the store, forever.
    const char* names[] = {"", ".", "..", "...", " ", " . ", ". .", "..\\..", "a\\b", "\\", "/", "a/b",
                           "C:", ":", "..\\shortcuts"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        StoreWorld w;
        w.Dir("shortcuts\\a\\b");
        w.Index("shortcuts\\a\\b", {"^UnkLnk|C:\\inner.txt|inner|Inner"});
        w.Index("", {"^UnkLnk|C:\\outside.txt|outside|Outside"});  // D itself
        w.Index("shortcuts", {"^UnkLnk|C:\\r.txt|txt|R", std::string("^Folder|") + name, "^NorSep|"});
        LoadReport r = w.Start();
        EXPECT_EQ(w.UserMenu(), Link("R", 12, 0) + "\"-\" tag=-200 image=-1\n");
        ASSERT_EQ(r.skipped.size(), 1u);
        EXPECT_EQ(r.skipped[0].reason, SkipReason::BadFolderName);
        // the scan did not go there either
        EXPECT_EQ(w.table.extensions.IndexOf("inner"), -1);
        EXPECT_EQ(w.table.extensions.IndexOf("outside"), -1);
    }
}

TEST(LoaderFaults, MissingBitmapOfAReachableProgramShowsTheTargetsIcon) {
    StoreWorld w;
    w.File("t\\tool.exe", "MZ");
    w.Index("shortcuts", {"^ExeLnk|" + w.D() + "t\\tool.exe||tool.bmp|Tool"});
    w.Start();
    EXPECT_EQ(w.pmItems.root.Child(0)->imageIndex, 19);
    EXPECT_EQ(w.lists.Menu()[19], "shell " + w.D() + "t\\tool.exe");
    EXPECT_EQ(w.lists.Tree()[19], "shell " + w.D() + "t\\tool.exe");
    EXPECT_TRUE(w.lists.InStep());
}

TEST(LoaderFaults, UnreadableRootIndexIsLoggedToldOnceAndKept) {
    StoreWorld w;
    const std::string index = w.D() + "shortcuts\\shortcuts.txt";
    const std::string text = "^UnkLnk|C:\\a.txt|txt|A\r\n";
    w.File("shortcuts\\shortcuts.txt", text);
    w.fs.unreadable.insert(index);
    LoadReport r = w.Start();
    EXPECT_EQ(w.UserMenu(), "");
    EXPECT_EQ(w.UserTree(), kTop);
    ASSERT_EQ(w.logged.size(), 1u);
    EXPECT_NE(w.logged[0].find(index), std::string::npos);
    ASSERT_EQ(w.told.size(), 1u);
    EXPECT_NE(w.told[0].find("\"" + index + "\""), std::string::npos);
    ASSERT_EQ(w.table.unreadableIndexFiles.size(), 1u);
    EXPECT_EQ(w.table.unreadableIndexFiles[0], index);
    EXPECT_EQ(r.unreadableIndexFiles, w.table.unreadableIndexFiles);
    // nothing wrote over the store
    for (const auto& p : w.fs.writes) EXPECT_EQ(p.find("shortcuts"), std::string::npos) << p;
    w.fs.unreadable.clear();
    std::string now;
    ASSERT_TRUE(w.fs.ReadAll(index, now));
    EXPECT_EQ(now, text);
}

TEST(LoaderFaults, UnreadableFolderIndexesLeaveTheRestLoadedAndAreToldOnce) {
    StoreWorld w;
    w.Index("shortcuts", {"^Folder|A", "^Folder|B", "^UnkLnk|C:\\z.txt|txt|Z"});
    w.Index("shortcuts\\A", {"^UnkLnk|C:\\a.txt|txt|InA"});
    w.Index("shortcuts\\B", {"^UnkLnk|C:\\b.txt|txt|InB"});
    w.fs.unreadable.insert(w.D() + "shortcuts\\A\\shortcuts.txt");
    w.fs.unreadable.insert(w.D() + "shortcuts\\B\\shortcuts.txt");
    LoadReport r = w.Start();
    // both folders are there, empty; the entry after them loads with number 0
    EXPECT_EQ(w.UserMenu(), "\"A\" tag=1 image=0\n  \"Hiding\" tag=-400 image=-1 hidden\n"
                            "\"B\" tag=1 image=0\n  \"Hiding\" tag=-400 image=-1 hidden\n" +
                                Link("Z", 12, 0));
    EXPECT_EQ(r.unreadableIndexFiles.size(), 2u);
    EXPECT_EQ(w.logged.size(), 1u);
    EXPECT_EQ(w.told.size(), 1u);
    EXPECT_NE(w.told[0].find("A\\shortcuts.txt"), std::string::npos);
    EXPECT_NE(w.told[0].find("B\\shortcuts.txt"), std::string::npos);
}

TEST(LoaderFaults, ANormalLoadTellsNothing) {
    StoreWorld w;
    w.Index("shortcuts", {"^UnkLnk|C:\\a.txt|txt|A"});
    w.Start();
    EXPECT_TRUE(w.logged.empty());
    EXPECT_TRUE(w.told.empty());
    EXPECT_TRUE(w.table.unreadableIndexFiles.empty());
}

// ---------------------------------------------------------------- rebuild

TEST(LoaderRebuild, ASecondLoadAfterTheResetGivesTheSameState) {
    StoreWorld w;
    w.File("t\\app.exe", "MZ");
    w.Index("shortcuts", {"^ExeLnk|" + w.D() + "t\\app.exe||app.bmp|App", "^Folder|F",
                          "^UnkLnk|C:\\a.txt|txt|A"});
    w.Dir("shortcuts\\F");
    w.Start();
    const std::string menu = DumpMenu(w.pmItems.root), tree = DumpTree(w.tvItems);
    const std::vector<std::string> pics = w.lists.Menu();
    // what RebuildItemMenus does before loading again
    w.table.Clear();
    w.tvItems.tag = w.tvUndo.tag = 0;
    w.pictures.itemIconCount = 0;
    w.tvItems.Clear();
    w.tvUndo.Clear();
    w.pmItems.root.Clear();
    w.pmItems.root.tag = 0;
    w.lists.DeleteAbove(kLastFixedPicture);
    w.lists.AppendBreakPictures();
    w.Start();
    EXPECT_EQ(DumpMenu(w.pmItems.root), menu);
    EXPECT_EQ(DumpTree(w.tvItems), tree);
    EXPECT_EQ(w.lists.Menu(), pics);
}

}  // namespace
}  // namespace pv

namespace pv {
namespace {

// ---------------------------------------------------------------- cost per entry

TEST(LoaderCost, DiskWorkDoesNotGrowWithTheEntriesOfALevel) {
    // Documents with an extension need no file-system call of their own; folders
    // need a fixed few. So the calls for 10 and for 2000 documents are the same.
    long calls[2][3];
    int sizes[2] = {10, 2000};
    for (int k = 0; k < 2; ++k) {
        StoreWorld w;
        std::vector<std::string> lines;
        for (int i = 0; i < sizes[k]; ++i)
            lines.push_back("^UnkLnk|C:\\d" + std::to_string(i) + ".e" + std::to_string(i % 7) + "|e" +
                            std::to_string(i % 7) + "|D" + std::to_string(i));
        lines.push_back("^Folder|F");
        w.Index("shortcuts", lines);
        w.Index("shortcuts\\F", {"^NorSep|"});
        w.Start();
        ASSERT_EQ(w.table.paths.Length(), sizes[k]);
        calls[k][0] = w.fs.attributeCalls;
        calls[k][1] = w.fs.listCalls;
        calls[k][2] = w.fs.readCalls;
    }
    EXPECT_EQ(calls[0][0], calls[1][0]);
    EXPECT_EQ(calls[0][1], calls[1][1]);
    EXPECT_EQ(calls[0][2], calls[1][2]);
    EXPECT_EQ(calls[1][1], 0);  // no directory searches at all
}

TEST(LoaderBackup, YesWhoseRenameFailsLeavesAnEmptyStoreAndTheBackup) {
    StoreWorld w;
    w.Index("shortcuts", {"^UnkLnk|C:\\cur.txt|txt|Current"});
    w.Index("item_bak", {"^UnkLnk|C:\\bak.txt|txt|FromBackup"});
    w.fs.failRename = true;
    w.backupAnswer = kMrYes;
    w.Start();
    EXPECT_EQ(w.backupQuestions, 1);
    EXPECT_TRUE(w.IsDir("item_bak"));    // asked again at the next start
    EXPECT_TRUE(w.IsDir("shortcuts"));   // made anew, empty
    EXPECT_EQ(w.UserMenu(), "");
}

}  // namespace
}  // namespace pv
