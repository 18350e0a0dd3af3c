// The checked-in stores under tests/golden/ read into exactly the expected
// descriptions: the same code path as the pivora-store tool, in-process.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "store/StoreReport.h"

#ifdef _WIN32
#include "support/Platform_win.h"
#else
#include "support/FileSystem_posix.h"
#endif

namespace pv {
namespace {

std::string GoldenDir() {
    std::string here = __FILE__;  // .../tests/unit/store/Golden_test.cpp
    for (int i = 0; i < 3; ++i) here = here.substr(0, here.find_last_of("/\\"));
    return here + "/golden/";
}

std::string Slurp(const std::string& hostPath) {
#ifdef _WIN32
    // Wine shows the host's files as drive Z:.
    std::string p = hostPath;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    std::ifstream in(p, std::ios::binary);
#else
    std::ifstream in(hostPath, std::ios::binary);
#endif
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32
std::string HostToWindows(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
#endif

TEST(GoldenStores, DescriptionsMatchTheExpectedFiles) {
    for (const char* name : {"basic", "menubar_backup", "empty"}) {
        SCOPED_TRACE(name);
        const std::string dir = GoldenDir() + name + "/";
        std::string args = Slurp(dir + "args.txt");
        ASSERT_FALSE(args.empty()) << dir;
        bool menuBar = false;
        std::string dataDir;
        std::istringstream words(args);
        for (std::string w; words >> w;) {
            if (w == "--draw-menu-bar")
                menuBar = true;
            else
                dataDir = w;
        }
#ifdef _WIN32
        WinFileSystem disk;
        RootedFileSystem fs(disk, HostToWindows(dir + "root"));
#else
        PosixFileSystem fs(dir + "root");
#endif
        const StoreReportResult r = DescribeItemStore(fs, dataDir, menuBar);
        EXPECT_EQ(r.text, Slurp(dir + "expected.txt"));
        const std::string exitText = Slurp(dir + "exit.txt");
        const int wantExit = exitText.empty() ? 0 : std::stoi(exitText);
        EXPECT_EQ((r.skippedLines > 0 || r.unreadableFiles > 0) ? 1 : 0, wantExit);
    }
}

TEST(GoldenStores, LookingAtAStoreChangesNothing) {
    const std::string dir = GoldenDir() + "menubar_backup/root";
#ifdef _WIN32
    WinFileSystem disk;
    RootedFileSystem fs(disk, HostToWindows(dir));
#else
    PosixFileSystem fs(dir);
#endif
    DescribeItemStore(fs, "C:\\Data\\", false);
    // the backup is still there, no temporary file was left or made
    EXPECT_NE(fs.Attributes("C:\\Data\\item_bak"), kInvalidAttributes);
    EXPECT_EQ(fs.Attributes("C:\\Data\\TempFile.txt"), kInvalidAttributes);
    EXPECT_EQ(fs.Attributes("C:\\Data\\TempFile.exe"), kInvalidAttributes);
}

TEST(GoldenStores, RootedPathsMapBelowTheRoot) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"C:\\Data\\x", "R\\C\\Data\\x"}, {"C:\\", "R\\C\\"}, {"D:x", "R\\D\\x"}, {"\\\\srv\\x", "\\\\srv\\x"},
        {"rel", "rel"},
    };
    for (const auto& c : cases) {
        class Null : public IFileSystem {
            uint32_t Attributes(const std::string&) override { return kInvalidAttributes; }
            bool List(const std::string&, std::vector<DirEntry>&) override { return false; }
            bool MakeDir(const std::string&) override { return false; }
            bool RemoveDir(const std::string&) override { return false; }
            bool RemoveFile(const std::string&) override { return false; }
            bool Rename(const std::string&, const std::string&) override { return false; }
            bool ReadAll(const std::string&, std::string&) override { return false; }
            bool WriteAll(const std::string&, const std::string&) override { return false; }
            bool Append(const std::string&, const std::string&) override { return false; }
            std::string ShortPath(const std::string&) override { return ""; }
            std::string LongPath(const std::string& p) override { return p; }
            bool Recycle(const std::string&) override { return false; }
            std::string TempDir() override { return ""; }
        } null;
        RootedFileSystem fs(null, "R");
        EXPECT_EQ(fs.Map(c.in), c.out) << c.in;
    }
}

}  // namespace
}  // namespace pv
