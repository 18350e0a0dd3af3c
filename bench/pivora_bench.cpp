// Load time of the item store against its size: stores of 1,000, 10,000 and
// 100,000 entries (folders five deep, 50 document extensions, no program
// icons) are generated in a scratch directory and loaded as start-up loads
// them. Prints the time per entry and the ratio 100k/10k; loading is linear
// when that ratio stays near 10 (the limit checked here is 11).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/InitFinit.h"
#include "manager/form_items.h"
#include "menu/form_find.h"
#include "menu/SystemMenu.h"
#include "store/StoreLoader.h"
#include "support/FileSystem_posix.h"
#include "support/UkvSysIO.h"

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

// The phases of one load as the loader times them, in milliseconds.
using Phases = std::vector<std::pair<std::string, double>>;

double LoadSeconds(pv::IFileSystem& fs, const std::string& data, int& entries, Phases& phases, int readers) {
    pv::PictureRecorder lists;
    pv::TreeModel tvItems, tvUndo, tvBasic;
    pv::PopupMenu pmItems, pmBasic;
    pv::ItemTable table;
    pv::PictureBookkeeping pictures;
    pv::BuildMenuTemplate(pmBasic);
    pv::BuildBasicTree(tvBasic);
    pv::StoreContext ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures);
    pv::StoreCache cache;  // as the program keeps it from the scan to the load
    ctx.cache = &cache;
    ctx.readers = readers;
    ctx.copyUndo = false;  // as the program loads: the manager copies the tree when it opens
    ctx.dataDir = data;
    phases.clear();
    ctx.timing = [&phases](const char* phase, double ms) { phases.emplace_back(phase, ms); };
    const auto t0 = std::chrono::steady_clock::now();
    pv::CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    pv::CheckItemStore(ctx);
    pv::LoadReport r = pv::LoadItemStore(ctx);
    const auto t1 = std::chrono::steady_clock::now();
    entries = r.entries;
    return std::chrono::duration<double>(t1 - t0).count();
}

// What the manager asks of the program, doing nothing: only the save is timed.
class QuietHost : public pv::IItemsHost {
public:
    void PlaySoundFile(const std::string&) override {}
    void WriteErrorLog(const std::string&) override {}
    void RebuildItemMenus() override {}
    void OpenTarget(const std::string&) override {}
    pv::IShell& Shell() override { return shell_; }
    pv::IMessageUI& MessageUI() override { return ui_; }
    bool OpenDialogAdd(std::string&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    bool ResolveShellLink(const std::string&, std::string&, std::string&) override { return false; }
    pv::LocalTime Now() override { return {2026, 1, 1, 12, 0, 0}; }
    int ChooseBackup(const std::vector<std::string>&) override { return -1; }
    bool EnvironmentVariable(const std::string&, std::string&) override { return false; }

private:
    class NoShell : public pv::IShell {
        intptr_t Execute(const std::string&, const std::string&, const std::string&, const std::string&,
                         int) override {
            return 0;
        }
    } shell_;
    // The benchmark never closes the manager with edits, so nothing is asked.
    class NoQuestions : public pv::IMessageUI {
        void PlainBox(const std::string&, const std::string&) override {}
        int Dialog(const std::string&, const std::string&, pv::DialogType, unsigned, int) override {
            return pv::kMrCancel;
        }
    } ui_;
};

// The manager's Save of a loaded store: load once, then save (best of repeats).
double SaveSeconds(pv::IFileSystem& fs, const std::string& data, int repeats, bool& ok) {
    pv::AppModel model;
    pv::PictureRecorder lists;
    model.DataDir = data;
    model.Pictures = &lists;
    pv::BuildMenuTemplate(model.PMBasic);
    pv::BuildBasicTree(model.TVBasic);
    pv::CopySystemMenu(model.PictureMarks, model.TVBasic, model.TVItems, model.PMBasic, model.PMItems);
    pv::StoreContext ctx(fs, lists, model.TVItems, model.TVUndo, model.PMItems, model.Items, model.PictureMarks);
    ctx.dataDir = data;
    pv::CheckItemStore(ctx);
    pv::LoadItemStore(ctx);
    QuietHost host;
    pv::FormItemsModel form(model, fs, host);
    form.TreeReloaded();
    double best = 1e30;
    ok = true;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        form.BitBtnSaveClick();
        const auto t1 = std::chrono::steady_clock::now();
        ok = ok && form.Controls.StatusBarHelp == pv::kMsgSaveOk;
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

// The floor of a save: the same directories and files made and the old ones
// removed through the same file system calls, with nothing else around them.
double FloorSeconds(pv::IFileSystem& fs, const std::string& data, int repeats) {
    struct Entry {
        std::string rel;
        bool dir;
        std::string bytes;
    };
    std::vector<Entry> entries;
    std::vector<std::string> dirs{""};
    while (!dirs.empty()) {
        const std::string rel = dirs.back();
        dirs.pop_back();
        std::vector<pv::DirEntry> list;
        fs.List(data + "shortcuts\\" + rel + "*.*", list);
        for (const pv::DirEntry& e : list) {
            if (e.name == "." || e.name == "..") continue;
            Entry x{rel + e.name, (e.attributes & pv::kAttrDirectory) != 0, std::string()};
            if (x.dir)
                dirs.push_back(x.rel + "\\");
            else
                fs.ReadAll(data + "shortcuts\\" + x.rel, x.bytes);
            entries.push_back(x);
        }
    }
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        fs.Rename(data + "shortcuts", data + "floor_old");
        fs.MakeDir(data + "shortcuts");
        for (const Entry& e : entries) {
            const std::string path = data + "shortcuts\\" + e.rel;
            if (e.dir)
                fs.MakeDir(path);
            else
                fs.WriteAll(path, e.bytes);
        }
        pv::DeleteDirectoryTree(fs, data + "floor_old");
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

// Find over a loaded store: the time of each keystroke's filtering (the text
// so far matched against every entry, the rows made), typing a few texts.
void FindKeystrokes(pv::IFileSystem& fs, const std::string& data) {
    pv::PictureRecorder lists;
    pv::TreeModel tvItems, tvUndo, tvBasic;
    pv::PopupMenu pmItems, pmBasic;
    pv::ItemTable table;
    pv::PictureBookkeeping pictures;
    pv::BuildMenuTemplate(pmBasic);
    pv::BuildBasicTree(tvBasic);
    pv::StoreContext ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures);
    ctx.copyUndo = false;
    ctx.dataDir = data;
    pv::CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    pv::CheckItemStore(ctx);
    pv::LoadItemStore(ctx);
    pv::FindModel find;
    const auto b0 = std::chrono::steady_clock::now();
    find.Open(pmItems, table, "");
    const auto b1 = std::chrono::steady_clock::now();
    // Word starts, the start of every name, file names, nothing at all.
    const char* texts[] = {"document 4711", "doc", "e07", "sub", "zzzz"};
    double worst = 0, total = 0;
    int keys = 0;
    std::vector<double> all;
    for (int round = 0; round < 20; ++round) {
        for (const char* t : texts) {
            const std::string text = t;
            for (size_t n = 1; n <= text.size(); ++n) {
                const auto t0 = std::chrono::steady_clock::now();
                find.EditChange(text.substr(0, n));
                const auto t1 = std::chrono::steady_clock::now();
                const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
                worst = std::max(worst, ms);
                all.push_back(ms);
                total += ms;
                ++keys;
            }
            find.EditChange("");
        }
    }
    // A loaded machine stretches single keystrokes: the median says what typing costs.
    std::sort(all.begin(), all.end());
    std::printf("find over %zu entries: %.3f ms per keystroke (median), %.3f ms on average, %.3f ms at the 95th "
                "percentile, %.3f ms at most (%d keystrokes; goal 2 ms); index built in %.3f ms at the first opening\n",
                find.Index.Entries().size(), all[all.size() / 2], total / keys, all[all.size() * 95 / 100], worst, keys,
                std::chrono::duration<double, std::milli>(b1 - b0).count());
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
    // As many tries at 10,000 as at 100,000: a best of fewer tries is higher
    // and would bend the ratio.
    std::vector<Size> sizes = {{1000, 30}, {10000, 20}, {100000, 20}};
    int status = 0;
    for (Size& s : sizes) {
        pv::PosixFileSystem fs(host);
        const std::string data = "C:\\Data" + std::to_string(s.entries) + "\\";
        fs.MakeDir(data.substr(0, data.size() - 1));
        Generate(fs, data, s.entries / kEntriesPerChain);
        double best = 1e30;
        int loaded = 0;
        Phases phases, bestPhases;
        for (int i = 0; i < s.repeats; ++i) {
            const double t = LoadSeconds(fs, data, loaded, phases, 0);
            if (t < best) {
                best = t;
                bestPhases = phases;
            }
        }
        if (loaded != s.entries) {
            std::fprintf(stderr, "loaded %d entries of %d\n", loaded, s.entries);
            status = 2;
        }
        s.seconds = best;
        s.perEntryNs = best * 1e9 / s.entries;
        std::printf("%7d entries: %9.3f ms, %8.1f ns per entry (best of %d)\n", s.entries, best * 1e3,
                    s.perEntryNs, s.repeats);
        std::printf("               ");
        for (const auto& p : bestPhases) std::printf(" %s %.2f ms;", p.first.c_str(), p.second);
        std::printf("\n");
        // The program reads ahead on two threads, for the slow file calls of
        // Windows and Wine; here, where a call takes microseconds, the handing
        // over costs more than it saves.
        double ahead = 1e30;
        for (int i = 0; i < s.repeats; ++i) ahead = std::min(ahead, LoadSeconds(fs, data, loaded, phases, 2));
        std::printf("                reading ahead on 2 threads: %.3f ms\n", ahead * 1e3);
    }
    const double ratio = sizes[2].seconds / sizes[1].seconds;
    std::printf("ratio 100k/10k: %.2f (linear: 10, limit 11)\n", ratio);
    {
        // The manager's Save of the 10,000-entry store, beside its load.
        pv::PosixFileSystem fs(host);
        bool ok = false;
        const double save = SaveSeconds(fs, "C:\\Data10000\\", 5, ok);
        const double floor = FloorSeconds(fs, "C:\\Data10000\\", 5);
        std::printf("save of 10000 entries: %9.3f ms (best of 5), %.2f x its load%s\n", save * 1e3,
                    save / sizes[1].seconds, ok ? "" : " (a save failed)");
        std::printf("  floor: the same directories and files made, the old ones removed: %.3f ms; save %.2f x floor\n",
                    floor * 1e3, save / floor);
        if (!ok) status = 2;
    }
    {
        pv::PosixFileSystem fs(host);
        FindKeystrokes(fs, "C:\\Data10000\\");
    }
    std::filesystem::remove_all(host);
    if (ratio > 11.0) status = 1;
    return status;
}
