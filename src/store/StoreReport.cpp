#include "store/StoreReport.h"

#include "menu/SystemMenu.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"

namespace pv {

std::string RootedFileSystem::Map(const std::string& path) const {
    if (path.size() >= 2 && path[1] == ':') {
        std::string rest = path.substr(2);
        if (!rest.empty() && rest[0] != '\\') rest.insert(0, "\\");
        return root_ + "\\" + path.substr(0, 1) + rest;
    }
    return path;
}

StoreReportResult DescribeItemStore(IFileSystem& disk, const std::string& dataDirIn, bool drawMenuBar,
                                    const TextFileCodec& textFiles) {
    std::string dataDir = dataDirIn;
    if (!dataDir.empty() && dataDir.back() != '\\') dataDir += '\\';
    ReadOnlyFileSystem fs(disk);
    PictureRecorder lists;
    TreeModel tvItems, tvUndo, tvBasic;
    PopupMenu pmItems, pmBasic;
    pmItems.name = "PMItems";
    ItemTable table;
    PictureBookkeeping pictures;
    BuildMenuTemplate(pmBasic);
    BuildBasicTree(tvBasic);

    StoreContext ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures);
    StoreCache cache;  // as the program keeps it from the scan to the load
    ctx.cache = &cache;
    ctx.readers = 2;  // as the program reads the index files
    ctx.dataDir = dataDir;
    ctx.drawMenuBar = drawMenuBar;
    ctx.textFiles = textFiles;
    StoreReportResult result;
    ctx.askBackupQuestion = [&result] {
        result.backupPresent = true;
        return static_cast<int>(kMrCancel);
    };

    CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    CheckItemStore(ctx);
    LoadReport load = LoadItemStore(ctx);

    std::string& out = result.text;
    out += "# data directory " + dataDir + "\n";
    if (result.backupPresent)
        out += "# " + dataDir + "item_bak exists: Pivora asks whether to restore it; shown as after Cancel\n";
    out += "# menu PMItems\n" + DumpMenu(pmItems.root);
    out += "# tree TVItems\n" + DumpTree(tvItems);
    out += "# pictures from 12 (icon base " + std::to_string(pictures.IconBase()) + ", " +
           std::to_string(pictures.itemIconCount) + " item icons)\n";
    for (int i = 12; i < static_cast<int>(lists.Menu().size()); ++i)
        out += std::to_string(i) + " " + lists.Menu()[static_cast<size_t>(i)] + "\n";
    out += "# skipped\n" + DumpSkipped(load.skipped);
    result.unreadableFiles = static_cast<int>(load.unreadableIndexFiles.size());
    result.skippedLines = static_cast<int>(load.skipped.size()) - result.unreadableFiles;
    return result;
}

}  // namespace pv
