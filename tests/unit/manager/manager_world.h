#pragma once
// The manager's behaviour over a scratch data directory: the application model
// loaded from a store as start-up loads it, FormItemsModel with a recording
// host and tree view, and a file system that can fail at its k-th change.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/settings_fakes.h"
#include "common/store_fakes.h"
#include "app/InitFinit.h"
#include "manager/form_items.h"
#include "menu/SystemMenu.h"
#include "model/AppModel.h"
#include "store/StoreDump.h"
#include "store/StoreLoader.h"

namespace pvtest {

// Counts every call that changes the disk; the k-th one (from 1) fails, as a
// full disk or a locked file would make it, when failAt is set.
class FailingFs : public pv::IFileSystem {
public:
    explicit FailingFs(pv::IFileSystem& inner) : in_(inner) {}
    int changes = 0;
    int failAt = 0;  // 0: nothing fails
    std::set<std::string> locked;  // files another program holds open

    uint32_t Attributes(const std::string& p) override { return in_.Attributes(p); }
    bool List(const std::string& p, std::vector<pv::DirEntry>& o) override { return in_.List(p, o); }
    bool MakeDir(const std::string& p) override { return Change() && in_.MakeDir(p); }
    bool RemoveDir(const std::string& p) override { return Change() && in_.RemoveDir(p); }
    bool RemoveFile(const std::string& p) override { return Change() && !locked.count(p) && in_.RemoveFile(p); }
    bool Rename(const std::string& a, const std::string& b) override { return Change() && in_.Rename(a, b); }
    bool ReadAll(const std::string& p, std::string& c) override { return in_.ReadAll(p, c); }
    bool WriteAll(const std::string& p, const std::string& c) override { return Change() && in_.WriteAll(p, c); }
    bool Append(const std::string& p, const std::string& c) override { return Change() && in_.Append(p, c); }
    std::string ShortPath(const std::string& p) override { return "SHORT~1\\" + p.substr(p.size() > 3 ? 3 : 0); }
    std::string LongPath(const std::string& p) override { return in_.LongPath(p); }
    bool Recycle(const std::string& p) override { return Change() && in_.Recycle(p); }
    std::string TempDir() override { return in_.TempDir(); }

private:
    bool Change() { return ++changes != failAt; }
    pv::IFileSystem& in_;
};

class RecordingHost : public pv::IItemsHost {
public:
    std::vector<std::string> sounds, logged, opened;
    int rebuilds = 0;
    bool logFails = false;
    std::function<void()> onRebuild;
    RecordingShell shell;

    void PlaySoundFile(const std::string& name) override { sounds.push_back(name); }
    void WriteErrorLog(const std::string& text) override {
        logged.push_back(text);
        if (logFails) throw std::runtime_error("log not writable");
    }
    void RebuildItemMenus() override {
        ++rebuilds;
        if (onRebuild) onRebuild();
    }
    void OpenTarget(const std::string& target) override { opened.push_back(target); }
    pv::IShell& Shell() override { return shell; }

    // The dialogs answer with these; empty means cancelled.
    std::string dialogFile, browsedDir;
    std::vector<std::string> browseTitles;
    bool OpenDialogAdd(std::string& file) override {
        if (dialogFile.empty()) return false;
        file = dialogFile;
        return true;
    }
    bool BrowseForFolder(const std::string& title, std::string& dir) override {
        browseTitles.push_back(title);
        if (browsedDir.empty()) return false;
        dir = browsedDir;
        return true;
    }
    // Shortcuts: link path -> (arguments, target); missing ones cannot be resolved.
    std::map<std::string, std::pair<std::string, std::string>> links;
    bool ResolveShellLink(const std::string& link, std::string& args, std::string& target) override {
        auto it = links.find(link);
        if (it == links.end()) return false;
        args = it->second.first;
        target = it->second.second;
        return true;
    }
    // The environment the program runs in.
    std::map<std::string, std::string> env;
    bool EnvironmentVariable(const std::string& name, std::string& value) override {
        auto it = env.find(name);
        if (it == env.end()) return false;
        value = it->second;
        return true;
    }
};

class RecordingView : public pv::IItemsTreeView {
public:
    std::vector<std::string> calls;
    void TreeReset() override { calls.push_back("reset"); }
    void NodeInserted(pv::TreeNode* n) override { calls.push_back("insert " + n->text); }
    void NodeDeleting(pv::TreeNode* n) override { calls.push_back("delete " + n->text); }
    void NodeChanged(pv::TreeNode* n) override { calls.push_back("change " + n->text); }
    void NodeSelected(pv::TreeNode* n) override { calls.push_back("select " + (n ? n->text : std::string("-"))); }
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void HideWindow() override { calls.push_back("hide"); }

    // The hit test: which node each point is over.
    std::map<std::pair<int, int>, pv::TreeNode*> at;
    std::set<pv::TreeNode*> expanded;
    pv::TreeNode* NodeAt(int x, int y) override {
        auto it = at.find({x, y});
        return it == at.end() ? nullptr : it->second;
    }
    bool IsExpanded(pv::TreeNode* n) override { return expanded.count(n) != 0; }
    void Expand(pv::TreeNode* n) override {
        expanded.insert(n);
        calls.push_back("expand " + n->text);
    }
    void BeginDrag(pv::TreeNode* n) override { calls.push_back("drag " + n->text); }
    void RepaintCaption() override { calls.push_back("caption"); }
};

class ManagerWorld {
public:
    explicit ManagerWorld(Backing backing = Backing::Disk) : scratch(backing), fs(scratch.Fs()), form(model, fs, host) {
        model.DataDir = scratch.Root() + "Data\\";
        model.ProgramDir = scratch.Root() + "Program\\";
        model.Pictures = &lists;
        scratch.MakeDirs("Data\\shortcuts");
        pv::BuildMenuTemplate(model.PMBasic);
        pv::BuildBasicTree(model.TVBasic);
        form.SetView(&view);
        host.onRebuild = [this] { Load(); };
    }

    // shortcuts\<relDir>\shortcuts.txt from lines joined with CR LF.
    void Index(const std::string& relDir, const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        scratch.WriteFile("Data\\shortcuts\\" + (relDir.empty() ? "" : relDir + "\\") + "shortcuts.txt", text);
    }

    // The load of start-up (and of a rebuild), then the change handler attached.
    void Load() {
        pv::ClearItemTable(model);
        pv::ClearTreesAndMenu(model);
        pv::DeleteAddedPictures(model);
        pv::AppendBreakPictures(model);
        pv::CopySystemMenu(model.PictureMarks, model.TVBasic, model.TVItems, model.PMBasic, model.PMItems);
        pv::StoreContext c(scratch.Fs(), lists, model.TVItems, model.TVUndo, model.PMItems, model.Items,
                           model.PictureMarks);
        c.dataDir = model.DataDir;
        c.askBackupQuestion = [this] { return backupAnswer; };
        pv::StoreCache cache;
        c.cache = &cache;
        c.copyUndo = false;  // as the program loads: the manager makes the undo copy
        pv::CheckItemStore(c);
        pv::LoadItemStore(c);
        form.TreeReloaded(false);
        form.AttachTreeChange(true);
    }

    // The manager opened, as Manage Items... opens it.
    void Open() { form.FormShow(); }

    // Every file below D + "shortcuts" (or another directory): relative path -> bytes.
    std::map<std::string, std::string> Files(const std::string& rel = "shortcuts") {
        std::map<std::string, std::string> out;
        std::vector<std::string> dirs{model.DataDir + rel + "\\"};
        while (!dirs.empty()) {
            const std::string d = dirs.back();
            dirs.pop_back();
            std::vector<pv::DirEntry> entries;
            scratch.Fs().List(d + "*.*", entries);
            for (const pv::DirEntry& e : entries) {
                if (e.name == "." || e.name == "..") continue;
                const std::string full = d + e.name;
                const std::string key = full.substr(model.DataDir.size() + rel.size() + 1);
                if (e.attributes & pv::kAttrDirectory) {
                    out[key + "\\"] = "";
                    dirs.push_back(full + "\\");
                } else {
                    scratch.Fs().ReadAll(full, out[key]);
                }
            }
        }
        return out;
    }

    // The node at a path of texts from the tree's top ("Tools/Calc").
    pv::TreeNode* Node(const std::string& path) {
        pv::TreeNode* parent = &model.TVItems.Root();
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find('/', start);
            const std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            pv::TreeNode* found = nullptr;
            for (int i = 0; i < parent->Count() && !found; ++i)
                if (parent->Child(i)->text == part) found = parent->Child(i);
            if (!found || slash == std::string::npos) return found;
            parent = found;
            start = slash + 1;
        }
    }

    std::string Tree() { return pv::DumpTree(model.TVItems); }

    ScratchDir scratch;
    FailingFs fs;
    pv::AppModel model;
    pv::PictureRecorder lists;
    RecordingHost host;
    RecordingView view;
    pv::FormItemsModel form;
    int backupAnswer = pv::kMrCancel;
};

}  // namespace pvtest
