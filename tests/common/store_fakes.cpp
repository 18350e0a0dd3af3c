#include "common/store_fakes.h"

#include "menu/SystemMenu.h"
#include "store/StoreDump.h"
#include "support/UkvSysIO.h"

namespace pvtest {

StoreWorld::StoreWorld()
    : fs(scratch.Fs()), ctx(fs, lists, tvItems, tvUndo, pmItems, table, pictures) {
    scratch.MakeDirs("Data");
    data_ = scratch.Root() + "Data\\";
    ctx.dataDir = data_;
    ctx.askBackupQuestion = [this] {
        ++backupQuestions;
        return backupAnswer;
    };
    ctx.writeErrorLog = [this](const std::string& s) { logged.push_back(s); };
    ctx.tellUser = [this](const std::string& s) { told.push_back(s); };
    ctx.now = [] { return pv::LocalTime{2026, 1, 1, 12, 0, 0}; };
    pv::BuildMenuTemplate(pmBasic);
    pv::BuildBasicTree(tvBasic);
}

void StoreWorld::Index(const std::string& relDir, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    scratch.WriteFile("Data\\" + relDir + (relDir.empty() ? "" : "\\") + "shortcuts.txt", text);
}

void StoreWorld::File(const std::string& rel, const std::string& contents) {
    scratch.WriteFile("Data\\" + rel, contents);
}

void StoreWorld::Dir(const std::string& rel) { scratch.MakeDirs("Data\\" + rel); }
bool StoreWorld::IsDir(const std::string& rel) { return scratch.IsDir("Data\\" + rel); }
bool StoreWorld::IsFile(const std::string& rel) { return scratch.IsFile("Data\\" + rel); }

pv::LoadReport StoreWorld::Start(bool drawMenuBar) {
    ctx.drawMenuBar = drawMenuBar;
    pv::CopySystemMenu(pictures, tvBasic, tvItems, pmBasic, pmItems);
    pv::CheckItemStore(ctx);
    return pv::LoadItemStore(ctx);
}

std::string StoreWorld::UserMenu() const {
    // Everything above the three system entries.
    std::string all = pv::DumpMenu(pmItems.root);
    std::string sys = pv::DumpMenu(pmBasic.root);
    // the template's dump lines carry no component names, so the tail matches exactly
    if (all.size() >= sys.size() && all.compare(all.size() - sys.size(), sys.size(), sys) == 0)
        return all.substr(0, all.size() - sys.size());
    return "SYSTEM ENTRIES CHANGED\n" + all;
}

std::string StoreWorld::UserTree() const {
    std::string all = pv::DumpTree(tvItems);
    std::string sys = pv::DumpTree(tvBasic);
    if (all.size() >= sys.size() && all.compare(all.size() - sys.size(), sys.size(), sys) == 0)
        return all.substr(0, all.size() - sys.size());
    return "PROGRAM NODES CHANGED\n" + all;
}

}  // namespace pvtest
