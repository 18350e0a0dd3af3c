// The store check and the loader over a data directory C:\Data\ laid out by a
// tree script (index files, folder directories, a leftover item_bak, unreadable
// index files, directory links). After the load, tree, menu, item table and
// pictures must agree with each other; a second load after the rebuild's reset
// must give the same state; the menu must draw; pivora-store must describe it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/store_fakes.h"
#include "fuzz_support.h"
#include "menu/MenuDraw.h"
#include "menu/SystemMenu.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"
#include "store/StoreReport.h"
#include "support/FileSystem_posix.h"

namespace {

using pvfuzz::Fail;

const char* const kData = "C:\\Data\\";

struct World {
    explicit World(pv::IFileSystem& fs) : ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures) {
        pv::BuildMenuTemplate(pmBasic);
        pv::BuildBasicTree(tvBasic);
        ctx.dataDir = kData;
        // Index files that are no UTF-8 read as 1252, as on a Western machine.
        ctx.textFiles = pv::TextFileCodec(&pv::CodePage1252());
    }
    pv::PictureRecorder lists;
    pv::TreeModel tvItems, tvUndo, tvBasic;
    pv::PopupMenu pmItems, pmBasic;
    pv::ItemTable table;
    pv::PictureBookkeeping pictures;
    pv::StoreContext ctx;
};

class Measure : public pv::IMenuTextMeasure {
public:
    pv::TextExtent Extent(const pv::FontSpec&, const std::string& text) override {
        return {static_cast<int>(text.size() % 4096) * 7, 13};
    }
    int PixelsPerInch() override { return 96; }
};

struct Counts {
    std::vector<int> treeItems, menuItems;  // how often each item number occurs
};

bool IsHiddenPlaceholder(const pv::MenuEntry& e) {
    return e.tag == pv::kTagSideBar || e.tag == pv::kTagHiddenPlaceholder;
}

// Menu entries (placeholders left out) and tree nodes (the top node left out)
// of one level side by side: the same entries in the same order.
void SameLevel(const World& w, const pv::MenuEntry& menu, int menuEnd, const pv::TreeNode& node, int nodeBegin,
               int nodeEnd, Counts& counts, int depth) {
    std::vector<const pv::MenuEntry*> entries;
    for (int i = 0; i < menuEnd; ++i)
        if (!IsHiddenPlaceholder(*menu.Child(i))) entries.push_back(menu.Child(i));
    if (static_cast<int>(entries.size()) != nodeEnd - nodeBegin)
        Fail("menu and tree hold as many entries", menu.caption + "\n" + pv::DumpMenu(w.pmItems.root) +
                                                       pv::DumpTree(w.tvItems));
    const int items = w.table.paths.Length();
    for (size_t k = 0; k < entries.size(); ++k) {
        const pv::MenuEntry& e = *entries[k];
        const pv::TreeNode& n = *node.Child(nodeBegin + static_cast<int>(k));
        if (n.imageIndex != n.selectedIndex || n.stateIndex != -1) Fail("a node's pictures", n.text);
        const bool separator = e.tag == pv::kTagPlainSeparator || e.tag == pv::kTagCaptionedSeparator;
        if (!separator && e.imageIndex != n.imageIndex) Fail("entry and node show one picture", e.caption);
        if (n.imageIndex < -1 || n.imageIndex >= w.lists.Count()) Fail("picture index within the lists", n.text);
        if (e.onClick == pv::ClickHandler::NorItemsRTClickItem) {  // a link
            if (e.tag != n.data || e.caption != n.text) Fail("a link's entry and node agree", e.caption);
            if (e.tag < 0 || e.tag >= items) Fail("item number indexes the path table", e.caption);
            ++counts.menuItems[static_cast<size_t>(e.tag)];
            ++counts.treeItems[static_cast<size_t>(n.data)];
        } else if (e.tag == pv::kTagPlainSeparator) {
            if (n.text != pv::kPlainSeparatorText || n.imageIndex != pv::kPicturePlainSeparator || n.data != -1)
                Fail("plain separator node", n.text);
        } else if (e.tag == pv::kTagCaptionedSeparator) {
            if (n.text != pv::CaptionedSeparatorText(e.caption) || n.data != -1) Fail("captioned separator node", n.text);
        } else {  // a folder: its tag counts its sub-entries
            if (n.text != e.caption || n.imageIndex != pv::kPictureFolder || n.data != -1 || n.Count() < 1 ||
                e.tag != e.Count())
                Fail("folder entry and node agree", e.caption);
            const pv::TreeNode& top = *n.Child(0);
            if (!top.text.empty() || top.imageIndex != pv::kPictureTopNode || top.data != -1)
                Fail("a folder's first node is its top node", e.caption);
            if (depth > 200) Fail("nesting is bounded by the store", e.caption);
            SameLevel(w, e, e.Count(), n, 1, n.Count(), counts, depth + 1);
        }
    }
}

void CheckConsistent(const World& w, const pv::LoadReport& report) {
    if (!w.lists.InStep()) Fail("both picture lists in step", "");
    const pv::PictureBookkeeping& bk = w.pictures;
    const std::vector<std::string>& pics = w.lists.Menu();
    if (bk.break4 != bk.break3 + 1 || bk.break5 != bk.break4 + 1 + bk.itemIconCount ||
        w.lists.Count() != bk.break5 + 1)
        Fail("picture bookkeeping", std::to_string(bk.break3) + " " + std::to_string(bk.break5));
    if (pics[static_cast<size_t>(bk.break3)] != "break 3" || pics[static_cast<size_t>(bk.break4)] != "break 4" ||
        pics[static_cast<size_t>(bk.break5)] != "break 5")
        Fail("break pictures where the bookkeeping says", "");
    if (w.table.extensions.Length() != bk.break3 - 12) Fail("one picture per extension", "");

    const int items = w.table.paths.Length();
    if (w.table.nextItemNumber != items) Fail("next item number follows the path table", "");
    if (w.table.paramNumbers.Length() != w.table.paramValues.Length()) Fail("parameter table columns", "");
    for (int i = 0; i < w.table.paramNumbers.Length(); ++i) {
        const std::string& t = w.table.paramNumbers[i];
        if (t.empty() || t.size() > 10 || t.find_first_not_of("0123456789") != std::string::npos ||
            std::stol(t) >= items || w.table.FindItemParams(static_cast<int>(std::stol(t))) != w.table.paramValues[i])
            Fail("parameter pair of a link", t);
    }

    // The system part stays where it is: three entries at the end of the menu,
    // the program nodes at the end of the tree, the root's top node first.
    const pv::MenuEntry& root = w.pmItems.root;
    const int userEntries = root.Count() - w.pmBasic.root.Count();
    const int userNodes = w.tvItems.TopCount() - w.tvBasic.TopCount() - 1;
    if (userEntries < 0 || userNodes < 0 || root.tag != userEntries) Fail("root insertion position", "");
    const pv::TreeNode* top = w.tvItems.First();
    if (!top || !top->text.empty() || top->imageIndex != pv::kPictureTopNode) Fail("root top node", "");
    for (int i = 0; i < w.pmBasic.root.Count(); ++i)
        if (root.Child(userEntries + i)->caption != w.pmBasic.root.Child(i)->caption) Fail("system entries", "");
    for (int i = 0; i < w.tvBasic.TopCount(); ++i)
        if (w.tvItems.Top(1 + userNodes + i)->text != w.tvBasic.Top(i)->text) Fail("program nodes", "");

    Counts counts;
    counts.treeItems.assign(static_cast<size_t>(items), 0);
    counts.menuItems.assign(static_cast<size_t>(items), 0);
    SameLevel(w, root, userEntries, w.tvItems.Root(), 1, 1 + userNodes, counts, 0);
    for (int i = 0; i < items; ++i)
        if (counts.treeItems[static_cast<size_t>(i)] != 1 || counts.menuItems[static_cast<size_t>(i)] != 1)
            Fail("every item number is one link", std::to_string(i));
    if (pv::DumpTree(w.tvUndo) != pv::DumpTree(w.tvItems)) Fail("the undo copy is the tree", "");
    for (const pv::SkippedLine& s : report.skipped)
        if (s.reason == pv::SkipReason::None) Fail("a skipped line has a reason", s.text);
}

std::string State(const World& w) {
    std::string s = pv::DumpMenu(w.pmItems.root) + pv::DumpTree(w.tvItems);
    for (const std::string& p : w.lists.Menu()) s += p + "\n";
    for (const std::string& p : w.lists.Tree()) s += p + "\n";
    for (int i = 0; i < w.table.paths.Length(); ++i) s += w.table.paths[i] + "\n";
    for (int i = 0; i < w.table.paramValues.Length(); ++i) s += w.table.paramValues[i] + "\n";
    return s;
}

void DrawAll(const pv::MenuEntry& entry, Measure& measure, const pv::MenuDrawSettings& settings) {
    const pv::DrawRect rect{0, 0, 200, 19};
    if (entry.onMeasure == pv::MeasureHandler::NorItemsRTMeasureItem)
        pv::NorItemsRTMeasureItem(entry, settings, measure);
    if (entry.onDraw == pv::DrawHandler::NorItemsRTDrawItem) pv::NorItemsRTDrawItem(entry, rect, true, settings, measure);
    if (entry.onDraw == pv::DrawHandler::SpeItemsRTDrawItem) pv::SpeItemsRTDrawItem(entry, rect, settings, measure);
    for (int i = 0; i < entry.Count(); ++i) DrawAll(*entry.Child(i), measure, settings);
}

pvfuzz::Scratch& TheScratch() {
    static pvfuzz::Scratch scratch;
    return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pvfuzz::TreeScript script;
    if (!pvfuzz::ParseTreeScript(data, size, script)) return -1;  // not a data directory: not kept
    pvfuzz::Scratch& scratch = TheScratch();
    scratch.Reset();
    if (!scratch.Build(script)) return -1;

    pv::PosixFileSystem disk(scratch.Host());
    pvtest::UnreadableFs fs(disk);
    for (const std::string& rel : script.unreadable) fs.unreadable.insert(pvfuzz::DrivePath(rel));
    int answer = pv::kMrCancel;
    if (script.answer == "yes") answer = pv::kMrYes;
    if (script.answer == "no") answer = pv::kMrNo;

    World w(fs);
    w.ctx.drawMenuBar = script.menuBar;
    w.ctx.askBackupQuestion = [answer] { return answer; };
    pv::CopySystemMenu(w.pictures, w.tvBasic, w.tvItems, w.pmBasic, w.pmItems);
    pv::CheckItemStore(w.ctx);
    const pv::LoadReport first = pv::LoadItemStore(w.ctx);
    CheckConsistent(w, first);
    const std::string state = State(w);

    // What RebuildItemMenus does before it loads again.
    w.table.Clear();
    w.tvItems.tag = w.tvUndo.tag = 0;
    w.pictures.itemIconCount = 0;
    w.tvItems.Clear();
    w.tvUndo.Clear();
    w.pmItems.root.Clear();
    w.pmItems.root.tag = 0;
    w.lists.DeleteAbove(pv::kLastFixedPicture);
    w.lists.AppendBreakPictures();
    pv::CopySystemMenu(w.pictures, w.tvBasic, w.tvItems, w.pmBasic, w.pmItems);
    pv::CheckItemStore(w.ctx);
    const pv::LoadReport second = pv::LoadItemStore(w.ctx);
    CheckConsistent(w, second);
    if (State(w) != state) Fail("a second load gives the same state", state + "\n----\n" + State(w));
    if (first.skipped.size() != second.skipped.size()) Fail("a second load skips the same lines", "");

    pv::AssignMenuDrawHandlers(w.pmItems.root, false);
    Measure measure;
    pv::MenuDrawSettings settings;
    settings.windowsDraw = false;
    DrawAll(w.pmItems.root, measure, settings);

    // Looking at the store with the companion tool reads it and changes nothing.
    const pv::StoreReportResult report = pv::DescribeItemStore(fs, kData, script.menuBar, w.ctx.textFiles);
    if (report.text.empty()) Fail("pivora-store describes the store", "");
    return 0;
}
