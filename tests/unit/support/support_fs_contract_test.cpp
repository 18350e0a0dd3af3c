// Contract of the file helpers over IFileSystem. The same expectations hold
// natively (POSIX files below a scratch directory) and under Wine (Win32 files).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "common/support_fs.h"
#include "support/JCLPathes.h"
#include "support/UkvSysExceptions.h"
#include "support/UkvSysIO.h"
#include "support/UkvWinSysAPI.h"

using pv::WalkOptions;
using pvtest::RefusingFileSystem;
using pvtest::SupportFsEnv;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// root\a.txt, root\sub\b.txt, root\sub\deep\c.txt, root\other\d.txt
void MakeSmallTree(SupportFsEnv& env, const std::string& root) {
    ASSERT_TRUE(env.MakeFile(root + "a.txt", "A"));
    ASSERT_TRUE(env.MakeDir(root + "sub"));
    ASSERT_TRUE(env.MakeFile(root + "sub\\b.txt", "B"));
    ASSERT_TRUE(env.MakeDir(root + "sub\\deep"));
    ASSERT_TRUE(env.MakeFile(root + "sub\\deep\\c.txt", "C"));
    ASSERT_TRUE(env.MakeDir(root + "other"));
    ASSERT_TRUE(env.MakeFile(root + "other\\d.txt", "D"));
}

}  // namespace

// ---------------------------------------------------------------- queries

TEST(FsQueries, ForceDirectoriesMakesEveryMissingLevel) {
    SupportFsEnv env;
    const std::string root = env.Root();
    EXPECT_TRUE(pv::ForceDirectories(env.Fs(), root + "a\\b\\c\\"));
    EXPECT_TRUE(pv::DirectoryExists(env.Fs(), root + "a\\b\\c"));
    EXPECT_TRUE(pv::ForceDirectories(env.Fs(), root + "a\\b")) << "an existing directory is success";
    ASSERT_TRUE(env.MakeFile(root + "file", "x"));
    EXPECT_FALSE(pv::ForceDirectories(env.Fs(), root + "file\\sub")) << "below a file nothing can be made";
    EXPECT_FALSE(pv::ForceDirectories(env.Fs(), ""));
}

TEST(FsQueries, ExistenceOfFilesAndDirectories) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "dir"));
    ASSERT_TRUE(env.MakeFile(r + "file.txt", "x"));
    struct Case {
        std::string path;
        bool dirExists, fileExists, pathExists;
    } cases[] = {
        {r + "dir", true, false, true},
        {r + "dir\\", true, false, false},  // a search for "dir\" finds nothing
        {r + "file.txt", false, true, true},
        {r + "missing", false, false, false},
        {r + "missing\\", false, false, false},
        {r + "dir\\missing.txt", false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(pv::DirectoryExists(fs, c.path), c.dirExists);
        EXPECT_EQ(pv::FileExists(fs, c.path), c.fileExists);
        EXPECT_EQ(pv::PathExists(fs, c.path), c.pathExists);
    }
}

TEST(FsQueries, DirectoryAndFilePathsThatMustExist) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "dir"));
    ASSERT_TRUE(env.MakeFile(r + "dir\\f.txt", "x"));
    EXPECT_TRUE(pv::IsDirectoryPath(fs, r + "dir\\", true));
    EXPECT_FALSE(pv::IsDirectoryPath(fs, r + "nodir\\", true));
    EXPECT_FALSE(pv::IsDirectoryPath(fs, r + "dir", true));  // file-name part not empty
    EXPECT_TRUE(pv::IsFilePath(fs, r + "dir\\f.txt", true));
    EXPECT_FALSE(pv::IsFilePath(fs, r + "dir\\g.txt", true));
    EXPECT_FALSE(pv::IsFilePath(fs, r + "nodir\\f.txt", true));
    EXPECT_FALSE(pv::IsFilePath(fs, r + "dir", true));  // a directory is no file
    EXPECT_TRUE(pv::IsFilePath(fs, r + "nodir\\f.txt", false));
}

TEST(FsQueries, ShortAndLongPathForms) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    const std::string longDir = r + "A Long Directory Name";
    const std::string longFile = longDir + "\\Some Long File Name.text";
    ASSERT_TRUE(env.MakeDir(longDir));
    ASSERT_TRUE(env.MakeFile(longFile, "x"));

    EXPECT_EQ(pv::GetShortPath(fs, r + "no such dir\\no such file.txt"), "");
    EXPECT_EQ(pv::GetLongPath(fs, r + "no such dir\\no such file.txt"), r + "no such dir\\no such file.txt");

    const std::string shortForm = pv::GetShortPath(fs, longFile);
    ASSERT_NE(shortForm, "");
    EXPECT_TRUE(pv::FileExists(fs, shortForm)) << shortForm;
    EXPECT_EQ(pv::GetLongPath(fs, shortForm), longFile);
    EXPECT_EQ(pv::GetLongPath(fs, longFile), longFile);
}

// A file's stamp tells a reader whether what it read earlier still holds.
TEST(FsQueries, AFileStampChangesWithAWriteAndOnlyThen) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeFile(r + "index.txt", "^NorSep|\r\n"));
    ASSERT_TRUE(env.MakeDir(r + "dir"));
    const std::string first = fs.FileStamp(r + "index.txt");
    ASSERT_NE(first.find(':'), std::string::npos) << first;
    // The last write time in file-time ticks (100 ns since 1601), which the
    // store's copy compares with its own; written just now, so within a day
    // of the clock.
    const long long now = (static_cast<long long>(std::time(nullptr)) + 11644473600LL) * 10000000LL;
    const long long written = std::stoll(first.substr(0, first.find(':')));
    EXPECT_LT(std::llabs(written - now), 864000000000LL) << first;
    EXPECT_EQ(first.substr(first.find(':') + 1), "10") << "the size";
    std::string text;
    ASSERT_TRUE(fs.ReadAll(r + "index.txt", text));
    EXPECT_EQ(fs.Attributes(r + "index.txt") & pv::kAttrDirectory, 0u);
    EXPECT_EQ(fs.FileStamp(r + "index.txt"), first) << "reading and asking change nothing";
    // A longer text: a different size, whatever the clock did in between.
    ASSERT_TRUE(fs.Append(r + "index.txt", "^NorSep|\r\n"));
    EXPECT_NE(fs.FileStamp(r + "index.txt"), first);
    for (const char* none : {"missing.txt", "dir", "no dir\\index.txt", ""}) {
        SCOPED_TRACE(none);
        EXPECT_EQ(fs.FileStamp(*none ? r + none : std::string()), "");
    }
}

// ---------------------------------------------------------------- walk

TEST(FsWalk, ListsEveryEntryDepthFirst) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    MakeSmallTree(env, r);
    std::vector<std::string> dirs, files;
    WalkOptions o;
    o.directoryList = &dirs;
    o.fileList = &files;
    pv::WalkDirectory(fs, r, true, "*.*", o);
    EXPECT_EQ(Sorted(dirs), Sorted({r + "other\\", r + "sub\\", r + "sub\\deep\\"}));
    EXPECT_EQ(Sorted(files), Sorted({r + "a.txt", r + "other\\d.txt", r + "sub\\b.txt", r + "sub\\deep\\c.txt"}));

    // One list for both: each directory comes before its contents.
    std::vector<std::string> both;
    o = WalkOptions();
    o.directoryList = &both;
    o.fileList = &both;
    pv::WalkDirectory(fs, r, true, "*.*", o);
    ASSERT_EQ(both.size(), 7u);
    auto pos = [&](const std::string& s) { return std::find(both.begin(), both.end(), s) - both.begin(); };
    EXPECT_LT(pos(r + "sub\\"), pos(r + "sub\\b.txt"));
    EXPECT_LT(pos(r + "sub\\"), pos(r + "sub\\deep\\"));
    EXPECT_LT(pos(r + "sub\\deep\\"), pos(r + "sub\\deep\\c.txt"));
}

TEST(FsWalk, OptionsShapeTheLists) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    MakeSmallTree(env, r);
    ASSERT_TRUE(env.MakeFile(r + "sub\\e.dat", "E"));

    std::vector<std::string> files;
    WalkOptions o;
    o.fileList = &files;
    o.namesOnly = true;
    pv::WalkDirectory(fs, r, true, "*.*", o);
    EXPECT_EQ(Sorted(files), Sorted({"a.txt", "d.txt", "b.txt", "c.txt", "e.dat"}));

    files.clear();
    o.namesOnly = false;
    pv::WalkDirectory(fs, r, false, "*.*", o);
    EXPECT_EQ(files, std::vector<std::string>{r + "a.txt"});

    files.clear();
    pv::WalkDirectory(fs, r + "sub\\", false, "*.dat", o);
    EXPECT_EQ(files, std::vector<std::string>{r + "sub\\e.dat"});

    files.clear();
    pv::WalkDirectory(fs, r + "missing\\", true, "*.*", o);
    EXPECT_TRUE(files.empty());
    EXPECT_FALSE(env.Exists(r + "missing"));  // a listing walk creates nothing
}

TEST(FsWalk, RecursesIntoHiddenReadOnlySystemAndArchiveDirectories) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    struct Case {
        const char* name;
        uint32_t attributes;
        bool needsHiddenAndSystem;
    } cases[] = {
        {".hidden", pv::kAttrHidden, false},
        {"readonly", pv::kAttrReadOnly, false},
        {"system", pv::kAttrSystem, true},
        {"archive", pv::kAttrArchive, false},
        {"all", pv::kAttrHidden | pv::kAttrReadOnly | pv::kAttrSystem | pv::kAttrArchive, true},
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        if (c.needsHiddenAndSystem && !env.CanSetHiddenAndSystem()) continue;
        const std::string dir = r + c.name;
        ASSERT_TRUE(env.MakeDir(dir));
        ASSERT_TRUE(env.MakeDir(dir + "\\inner"));
        ASSERT_TRUE(env.MakeFile(dir + "\\inner\\f.txt", c.name));
        expected.push_back(dir + "\\inner\\f.txt");
        if (env.CanSetHiddenAndSystem() || c.attributes == pv::kAttrReadOnly) {
            ASSERT_TRUE(env.SetAttributes(dir, c.attributes)) << c.name;
            ASSERT_TRUE(env.SetAttributes(dir + "\\inner", c.attributes)) << c.name;
        }
    }
    std::vector<std::string> files;
    WalkOptions o;
    o.fileList = &files;
    pv::WalkDirectory(fs, r, true, "*.*", o);
    EXPECT_EQ(Sorted(files), Sorted(expected));
}

TEST(FsWalk, RemovingDirectoriesLeavesAnEmptyRoot) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string root = env.Root() + "tree\\";
    ASSERT_TRUE(env.MakeDir(root));
    MakeSmallTree(env, root);
    WalkOptions o;
    o.deleteFiles = true;
    o.removeDirectories = true;
    o.continueOnError = true;
    pv::WalkDirectory(fs, root, true, "*.*", o);
    EXPECT_TRUE(pv::DirectoryExists(fs, root));
    std::vector<pv::DirEntry> left;
    fs.List(root + "*.*", left);
    for (const auto& e : left) EXPECT_TRUE(e.name == "." || e.name == "..") << e.name;
}

TEST(FsWalk, AnUndeletableFileKeepsItsDirectoriesAndTheRoot) {
    for (bool throwing : {false, true}) {
        SCOPED_TRACE(throwing ? "deletion throws" : "deletion fails");
        SupportFsEnv env;
        const std::string root = env.Root() + "tree\\";
        ASSERT_TRUE(env.MakeDir(root));
        MakeSmallTree(env, root);
        RefusingFileSystem fs(env.Fs(), root + "sub\\deep\\c.txt", throwing);
        WalkOptions o;
        o.deleteFiles = true;
        o.removeDirectories = true;
        o.continueOnError = true;
        pv::WalkDirectory(fs, root, true, "*.*", o);
        EXPECT_EQ(fs.refusals, 1);
        EXPECT_EQ(env.Read(root + "sub\\deep\\c.txt"), "C");
        EXPECT_TRUE(pv::DirectoryExists(fs, root + "sub\\deep"));
        EXPECT_FALSE(env.Exists(root + "sub\\b.txt"));
        EXPECT_FALSE(env.Exists(root + "a.txt"));
        EXPECT_FALSE(env.Exists(root + "other"));  // the rest went on
        EXPECT_TRUE(pv::DirectoryExists(fs, root));
    }
}

TEST(FsWalk, ARootWithoutBackslashNeverReachesItsSiblings) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "data"));
    ASSERT_TRUE(env.MakeFile(r + "data\\in.txt", "I"));
    ASSERT_TRUE(env.MakeFile(r + "data-sibling.txt", "S"));
    ASSERT_TRUE(env.MakeDir(r + "database"));
    ASSERT_TRUE(env.MakeFile(r + "database\\keep.txt", "K"));
    WalkOptions o;
    o.deleteFiles = true;
    o.removeDirectories = true;
    o.continueOnError = true;
    pv::WalkDirectory(fs, r + "data", true, "*.*", o);
    pv::WalkDirectory(fs, "", true, "*.*", o);
    EXPECT_FALSE(env.Exists(r + "data\\in.txt"));
    EXPECT_TRUE(pv::DirectoryExists(fs, r + "data"));
    EXPECT_EQ(env.Read(r + "data-sibling.txt"), "S");
    EXPECT_EQ(env.Read(r + "database\\keep.txt"), "K");
}

TEST(FsWalk, WithoutContinueOnErrorAThrowingDeletionEndsTheWalk) {
    SupportFsEnv env;
    const std::string root = env.Root() + "tree\\";
    ASSERT_TRUE(env.MakeDir(root));
    ASSERT_TRUE(env.MakeFile(root + "a.txt", "A"));
    RefusingFileSystem fs(env.Fs(), root + "a.txt", true);
    WalkOptions o;
    o.deleteFiles = true;
    EXPECT_THROW(pv::WalkDirectory(fs, root, true, "*.*", o), std::runtime_error);
    EXPECT_EQ(env.Read(root + "a.txt"), "A");
}

TEST(FsWalk, RecycleBinWalkEmptiesTheTree) {
    std::string why;
    if (!SupportFsEnv::RecycleBinIsScratch(why)) {
        GTEST_SKIP() << why;
    }
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string root = env.Root() + "old data\\";
    ASSERT_TRUE(env.MakeDir(root));
    MakeSmallTree(env, root);
    WalkOptions o;
    o.deleteFiles = true;
    o.useRecycleBin = true;
    o.removeDirectories = true;
    o.continueOnError = true;
    pv::WalkDirectory(fs, root, true, "*.*", o);
    EXPECT_FALSE(env.Exists(root + "a.txt"));
    EXPECT_FALSE(env.Exists(root + "sub"));
    EXPECT_TRUE(pv::DirectoryExists(fs, root));
    EXPECT_TRUE(fs.RemoveDir(root));  // left empty
}

// ---------------------------------------------------------------- DeleteDirectoryTree

TEST(FsDeleteTree, RemovesEverythingAndTheDirectory) {
    for (const char* suffix : {"", "\\"}) {
        SupportFsEnv env;
        auto& fs = env.Fs();
        const std::string dir = env.Root() + "item_bak";
        ASSERT_TRUE(env.MakeDir(dir));
        MakeSmallTree(env, dir + "\\");
        ASSERT_TRUE(env.MakeFile(env.Root() + "sibling.txt", "S"));
        pv::DeleteDirectoryTree(fs, dir + suffix);
        EXPECT_FALSE(env.Exists(dir)) << suffix;
        EXPECT_EQ(env.Read(env.Root() + "sibling.txt"), "S");
    }
}

TEST(FsDeleteTree, MissingDirectoryIsNothingToDo) {
    SupportFsEnv env;
    pv::DeleteDirectoryTree(env.Fs(), env.Root() + "missing");
    EXPECT_FALSE(env.Exists(env.Root() + "missing"));
    EXPECT_TRUE(pv::DirectoryExists(env.Fs(), env.Root()));
}

TEST(FsDeleteTree, AnUndeletableFileStaysWithItsDirectories) {
    SupportFsEnv env;
    const std::string dir = env.Root() + "shortcuts";
    ASSERT_TRUE(env.MakeDir(dir));
    MakeSmallTree(env, dir + "\\");
    RefusingFileSystem fs(env.Fs(), dir + "\\sub\\b.txt");
    pv::DeleteDirectoryTree(fs, dir);
    EXPECT_EQ(env.Read(dir + "\\sub\\b.txt"), "B");
    EXPECT_TRUE(pv::DirectoryExists(fs, dir + "\\sub"));
    EXPECT_FALSE(env.Exists(dir + "\\sub\\deep"));
    EXPECT_FALSE(env.Exists(dir + "\\a.txt"));
}

// ---------------------------------------------------------------- links

namespace {

// root\outside\precious.txt and root\tree\inner\x.txt with root\tree\inner\link -> ..\..\outside
bool MakeTreeWithLink(SupportFsEnv& env, std::string& how) {
    const std::string r = env.Root();
    if (!env.MakeDir(r + "outside") || !env.MakeFile(r + "outside\\precious.txt", "P") ||
        !env.MakeDir(r + "outside\\nested") || !env.MakeFile(r + "outside\\nested\\n.txt", "N") ||
        !env.MakeDir(r + "tree") || !env.MakeDir(r + "tree\\inner") || !env.MakeFile(r + "tree\\inner\\x.txt", "X"))
        return false;
    return env.MakeDirectoryLink(r + "tree\\inner\\", "link", "../../outside", how);
}

}  // namespace

TEST(FsLinks, DeleteDirectoryTreeNeverDeletesThroughALink) {
    SupportFsEnv env;
    std::string how;
    if (!MakeTreeWithLink(env, how)) {
        GTEST_SKIP() << how;
    }
    RecordProperty("linkKind", how);
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(fs.Attributes(r + "tree\\inner\\link") & pv::kAttrReparsePoint) << how;
    pv::DeleteDirectoryTree(fs, r + "tree");
    EXPECT_EQ(env.Read(r + "outside\\precious.txt"), "P") << how;
    EXPECT_EQ(env.Read(r + "outside\\nested\\n.txt"), "N") << how;
    EXPECT_FALSE(env.Exists(r + "tree\\inner\\x.txt"));
    // Where the link itself can be removed, the whole tree is gone; under Wine a
    // Unix link cannot be removed through Win32 and stays with its directories.
    if (how.rfind("Unix symbolic link", 0) != 0) {
        EXPECT_FALSE(env.Exists(r + "tree")) << how;
    } else {
        EXPECT_TRUE(env.Exists(r + "tree\\inner\\link")) << how;
    }
}

TEST(FsLinks, RecycleBinWalkNeverRecyclesThroughALink) {
    std::string why;
    if (!SupportFsEnv::RecycleBinIsScratch(why)) {
        GTEST_SKIP() << why;
    }
    SupportFsEnv env;
    std::string how;
    if (!MakeTreeWithLink(env, how)) {
        GTEST_SKIP() << how;
    }
    auto& fs = env.Fs();
    const std::string r = env.Root();
    WalkOptions o;
    o.deleteFiles = true;
    o.useRecycleBin = true;
    o.removeDirectories = true;
    o.continueOnError = true;
    pv::WalkDirectory(fs, r + "tree\\", true, "*.*", o);
    EXPECT_EQ(env.Read(r + "outside\\precious.txt"), "P") << how;
    EXPECT_EQ(env.Read(r + "outside\\nested\\n.txt"), "N") << how;
    EXPECT_FALSE(env.Exists(r + "tree\\inner\\x.txt"));
}

TEST(FsLinks, ALinkGivenAsTheDirectoryIsRemovedAsALink) {
    SupportFsEnv env;
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "outside"));
    ASSERT_TRUE(env.MakeFile(r + "outside\\precious.txt", "P"));
    std::string how;
    if (!env.MakeDirectoryLink(r, "linked", "outside", how)) {
        GTEST_SKIP() << how;
    }
    pv::DeleteDirectoryTree(env.Fs(), r + "linked");
    EXPECT_EQ(env.Read(r + "outside\\precious.txt"), "P") << how;

    WalkOptions o;
    o.deleteFiles = true;
    o.removeDirectories = true;
    o.continueOnError = true;
    if (env.Exists(r + "linked")) {
        pv::WalkDirectory(env.Fs(), r + "linked\\", true, "*.*", o);
        EXPECT_EQ(env.Read(r + "outside\\precious.txt"), "P") << how;
    }
}

TEST(FsLinks, ListingAndCopyingDoNotFollowALinkLoop) {
    SupportFsEnv env;
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "src"));
    ASSERT_TRUE(env.MakeDir(r + "src\\d"));
    ASSERT_TRUE(env.MakeFile(r + "src\\d\\f.txt", "F"));
    std::string how;
    if (!env.MakeDirectoryLink(r + "src\\d\\", "loop", "..", how)) {
        GTEST_SKIP() << how;
    }
    auto& fs = env.Fs();
    std::vector<std::string> dirs, files;
    WalkOptions o;
    o.directoryList = &dirs;
    o.fileList = &files;
    pv::WalkDirectory(fs, r + "src\\", true, "*.*", o);
    EXPECT_EQ(Sorted(dirs), Sorted({r + "src\\d\\", r + "src\\d\\loop\\"}));
    EXPECT_EQ(files, std::vector<std::string>{r + "src\\d\\f.txt"});

    pv::CopyDirectoryTree(fs, r + "src", r + "dst");
    EXPECT_EQ(env.Read(r + "dst\\d\\f.txt"), "F");
    EXPECT_FALSE(env.Exists(r + "dst\\d\\loop\\d"));
}

// ---------------------------------------------------------------- copies

TEST(FsCopy, TreeCopyOverAnExistingTarget) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "src"));
    MakeSmallTree(env, r + "src\\");
    ASSERT_TRUE(env.MakeDir(r + "src\\empty"));
    ASSERT_TRUE(env.MakeDir(r + "dst"));
    ASSERT_TRUE(env.MakeFile(r + "dst\\a.txt", "old A, longer than the new one"));
    ASSERT_TRUE(env.MakeFile(r + "dst\\keep.txt", "K"));
    ASSERT_TRUE(env.MakeDir(r + "dst\\sub"));
    ASSERT_TRUE(env.MakeFile(r + "dst\\sub\\keep2.txt", "K2"));

    pv::CopyDirectoryTree(fs, r + "src", r + "dst\\");
    EXPECT_EQ(env.Read(r + "dst\\a.txt"), "A");
    EXPECT_EQ(env.Read(r + "dst\\sub\\b.txt"), "B");
    EXPECT_EQ(env.Read(r + "dst\\sub\\deep\\c.txt"), "C");
    EXPECT_EQ(env.Read(r + "dst\\other\\d.txt"), "D");
    EXPECT_TRUE(pv::DirectoryExists(fs, r + "dst\\empty"));
    EXPECT_EQ(env.Read(r + "dst\\keep.txt"), "K");
    EXPECT_EQ(env.Read(r + "dst\\sub\\keep2.txt"), "K2");
    EXPECT_EQ(env.Read(r + "src\\a.txt"), "A");  // the source is untouched
}

TEST(FsCopy, MissingSourceCreatesOnlyTheTarget) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    pv::CopyDirectoryTree(fs, r + "nothing", r + "dst");
    EXPECT_TRUE(pv::DirectoryExists(fs, r + "dst"));
    std::vector<std::string> files, dirs;
    WalkOptions o;
    o.fileList = &files;
    o.directoryList = &dirs;
    pv::WalkDirectory(fs, r + "dst\\", true, "*.*", o);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(dirs.empty());

    // Only one level is created for the target.
    pv::CopyDirectoryTree(fs, r + "nothing", r + "a\\b\\c");
    EXPECT_FALSE(env.Exists(r + "a"));
}

TEST(FsCopy, TargetThatCannotBeCreatedCopiesNothing) {
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "src"));
    ASSERT_TRUE(env.MakeFile(r + "src\\f.txt", "F"));
    pv::CopyDirectoryTree(fs, r + "src", r + "no\\such\\target");
    EXPECT_FALSE(env.Exists(r + "no"));
}

TEST(FsCopy, FileCopyKeepsEveryByte) {
    SupportFsEnv env;
    const std::string r = env.Root();
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>(i * 7 % 256));
    ASSERT_TRUE(env.MakeFile(r + "bin.dat", binary));
    pv::CopyFileContents(env.Fs(), r + "bin.dat", r + "copy.dat");
    EXPECT_TRUE(env.Read(r + "copy.dat") == binary);
    ASSERT_TRUE(env.MakeFile(r + "empty.dat", ""));
    pv::CopyFileContents(env.Fs(), r + "empty.dat", r + "copy.dat");  // truncates
    EXPECT_EQ(env.Read(r + "copy.dat"), "");
}

TEST(FsCopy, FileCopyFailuresRaiseStreamErrors) {
    SupportFsEnv env;
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeFile(r + "f.txt", "F"));
    try {
        pv::CopyFileContents(env.Fs(), r + "missing.txt", r + "out.txt");
        ADD_FAILURE() << "no exception";
    } catch (const pv::EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + r + "missing.txt");
    }
    EXPECT_FALSE(env.Exists(r + "out.txt"));
    try {
        pv::CopyFileContents(env.Fs(), r + "f.txt", r + "no dir\\out.txt");
        ADD_FAILURE() << "no exception";
    } catch (const pv::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + r + "no dir\\out.txt");
    }
}

TEST(FsCopy, TreeCopyPropagatesAFailedFileAndKeepsEarlierCopies) {
    SupportFsEnv env;
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeDir(r + "src"));
    ASSERT_TRUE(env.MakeFile(r + "src\\a.txt", "A"));
    ASSERT_TRUE(env.MakeFile(r + "src\\b.txt", "B"));
    ASSERT_TRUE(env.MakeDir(r + "dst"));
    ASSERT_TRUE(env.MakeDir(r + "dst\\b.txt"));  // a directory where a file must go
    EXPECT_THROW(pv::CopyDirectoryTree(env.Fs(), r + "src", r + "dst"), pv::EFCreateError);
    EXPECT_EQ(env.Read(r + "dst\\a.txt"), "A");
}

// ---------------------------------------------------------------- recycle bin

TEST(FsRecycle, FilesAndDirectoriesLeaveTheirPlace) {
    std::string why;
    if (!SupportFsEnv::RecycleBinIsScratch(why)) {
        GTEST_SKIP() << why;
    }
    SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeFile(r + "gone.txt", "G"));
    ASSERT_TRUE(env.MakeDir(r + "gone dir"));
    ASSERT_TRUE(env.MakeFile(r + "gone dir\\inner.txt", "I"));
    ASSERT_TRUE(env.MakeFile(r + "stays.txt", "S"));
    EXPECT_TRUE(pv::DeleteToRecycleBin(fs, r + "gone.txt", true));
    EXPECT_TRUE(pv::DeleteToRecycleBin(fs, r + "gone dir", true));
    EXPECT_FALSE(env.Exists(r + "gone.txt"));
    EXPECT_FALSE(env.Exists(r + "gone dir"));
    EXPECT_EQ(env.Read(r + "stays.txt"), "S");
}
