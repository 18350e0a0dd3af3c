// Load time of the item store against its size: stores of 1,000, 10,000 and
// 100,000 entries (folders five deep, 50 document extensions, no program
// icons) are generated in a scratch directory and loaded as start-up loads
// them. Prints the time per entry and the ratio 100k/10k; loading is linear
// when that ratio stays near 10 (the limit checked here is 12).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "menu/SystemMenu.h"
#include "store/StoreLoader.h"
#include "support/FileSystem_posix.h"

namespace {

constexpr int kEntriesPerChain = 100;  // 5 nested folders holding 19 links each
constexpr int kDepth = 5;
constexpr int kExtensions = 50;

// Writes a store of `chains` * 100 entries below <host>/C/Data/shortcuts.
void Generate(pv::IFileSystem& fs, const std::string& data, int chains) {
    fs.MakeDir(data + "shortcuts");
    std::string root;
    int link = 0;
    for (int c = 0; c < chains; ++c) {
        const std::string name = "Folder" + std::to_string(c);
        root += "^Folder|" + name + "\r\n";
        std::string level = data + "shortcuts\\" + name;
        for (int d = 0; d < kDepth; ++d) {
            fs.MakeDir(level);
            std::string index;
            for (int i = 0; i < kEntriesPerChain / kDepth - 1; ++i, ++link) {
                char ext[8];
                std::snprintf(ext, sizeof ext, "e%02d", link % kExtensions);
                index += "^UnkLnk|C:\\Docs\\doc" + std::to_string(link) + "." + ext + "|" + ext + "|Document " +
                         std::to_string(link) + "\r\n";
            }
            if (d + 1 < kDepth) index += "^Folder|Sub\r\n";
            fs.WriteAll(level + "\\shortcuts.txt", index);
            level += "\\Sub";
        }
    }
    fs.WriteAll(data + "shortcuts\\shortcuts.txt", root);
}

double LoadSeconds(pv::IFileSystem& fs, const std::string& data, int& entries) {
    pv::PictureRecorder lists;
    pv::TreeModel tvItems, tvUndo, tvBasic;
    pv::PopupMenu pmItems, pmBasic;
    pv::ItemTable table;
    pv::PictureBookkeeping pictures;
    pv::BuildMenuTemplate(pmBasic);
    pv::BuildBasicTree(tvBasic);
    pv::StoreContext ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures);
    ctx.dataDir = data;
    const auto t0 = std::chrono::steady_clock::now();
    pv::CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    pv::CheckItemStore(ctx);
    pv::LoadReport r = pv::LoadItemStore(ctx);
    const auto t1 = std::chrono::steady_clock::now();
    entries = r.entries;
    return std::chrono::duration<double>(t1 - t0).count();
}

}  // namespace

int main() {
    char pattern[] = "/tmp/pvbenchXXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return 2;
    const std::string host = made;
    std::filesystem::create_directories(host + "/C");

    struct Size {
        int entries;
        int repeats;
        double perEntryNs = 0;
        double seconds = 0;
    };
    std::vector<Size> sizes = {{1000, 30}, {10000, 10}, {100000, 5}};
    int status = 0;
    for (Size& s : sizes) {
        pv::PosixFileSystem fs(host);
        const std::string data = "C:\\Data" + std::to_string(s.entries) + "\\";
        fs.MakeDir(data.substr(0, data.size() - 1));
        Generate(fs, data, s.entries / kEntriesPerChain);
        double best = 1e30;
        int loaded = 0;
        for (int i = 0; i < s.repeats; ++i) best = std::min(best, LoadSeconds(fs, data, loaded));
        if (loaded != s.entries) {
            std::fprintf(stderr, "loaded %d entries of %d\n", loaded, s.entries);
            status = 2;
        }
        s.seconds = best;
        s.perEntryNs = best * 1e9 / s.entries;
        std::printf("%7d entries: %9.3f ms, %8.1f ns per entry (best of %d)\n", s.entries, best * 1e3,
                    s.perEntryNs, s.repeats);
    }
    const double ratio = sizes[2].seconds / sizes[1].seconds;
    std::printf("ratio 100k/10k: %.2f (linear: 10, limit 12)\n", ratio);
    std::filesystem::remove_all(host);
    if (ratio > 12.0) status = 1;
    return status;
}
