// pivora-store: prints the tray menu, the manager tree and the pictures that
// Pivora would build from a data directory, and the index lines it would skip.
// It only reads: the store is left exactly as it is.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "store/StoreReport.h"

#ifdef _WIN32
#include "support/Platform_win.h"
#include "support/Wide_win.h"
#else
#include "support/FileSystem_posix.h"
#endif

namespace {

void Usage(FILE* to) {
    std::fputs(
        "usage: pivora-store [--draw-menu-bar] [--root DIR] DATADIR\n"
        "\n"
        "Prints what Pivora builds from the item store DATADIR\\shortcuts: the tray\n"
        "menu and the manager tree (one entry a line, indented by level, with its\n"
        "tag, picture index and item number), the pictures, and the index lines that\n"
        "are skipped and why. Nothing on disk is changed. Output is UTF-8; index\n"
        "files that are not UTF-8 are read in the legacy ANSI code page (Windows-1252\n"
        "natively).\n"
        "\n"
        "  DATADIR           the data directory as a Windows path, e.g. C:\\Data\\\n"
        "  --root DIR        read drive paths below DIR: C:\\x is DIR\\C\\x (DIR/C/x)\n"
        "  --draw-menu-bar   folders get the hidden side-bar entry (DrawMenuBar=1)\n"
        "\n"
        "Exit status: 0 all lines read, 1 lines skipped or index files unreadable,\n"
        "2 usage error or no such data directory.\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    bool drawMenuBar = false;
    std::string root;
    std::string dataDir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--draw-menu-bar") {
            drawMenuBar = true;
        } else if (a == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
            Usage(stderr);
            return 2;
        } else if (dataDir.empty()) {
            dataDir = a;
        } else {
            Usage(stderr);
            return 2;
        }
    }
    if (dataDir.empty()) {
        Usage(stderr);
        return 2;
    }

#ifdef _WIN32
    // UTF-8 out, whatever the process's code page: a console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    const pv::WinLegacyCodePage legacy(pv::SystemLegacyCodePageNumber());
    const pv::TextFileCodec textFiles(&legacy);
    pv::WinFileSystem disk;
    std::unique_ptr<pv::IFileSystem> rooted;
    if (!root.empty()) rooted = std::make_unique<pv::RootedFileSystem>(disk, root);
    pv::IFileSystem& fs = rooted ? *rooted : static_cast<pv::IFileSystem&>(disk);
#else
    pv::PosixFileSystem fs(root.empty() ? std::string("/") : root);
    const pv::TextFileCodec textFiles(&pv::CodePage1252());
#endif

    const uint32_t a = fs.Attributes(dataDir);
    if (a == pv::kInvalidAttributes || (a & pv::kAttrDirectory) == 0) {
        std::fprintf(stderr, "pivora-store: no data directory %s\n", dataDir.c_str());
        return 2;
    }
    const pv::StoreReportResult r = pv::DescribeItemStore(fs, dataDir, drawMenuBar, textFiles);
    std::fwrite(r.text.data(), 1, r.text.size(), stdout);
    return (r.skippedLines > 0 || r.unreadableFiles > 0) ? 1 : 0;
}
