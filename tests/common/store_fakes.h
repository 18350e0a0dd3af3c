#pragma once
// Test doubles for the store and menu code: a file system that refuses to read
// chosen files, a recording shell, and a set of the manager form's models wired
// to a scratch directory.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/MenuModel.h"
#include "settings_fakes.h"
#include "model/ItemTable.h"
#include "model/Pictures.h"
#include "store/StoreLoader.h"
#include "model/TreeModel.h"
#include "support/Platform.h"

namespace pvtest {

// Forwards to another file system; ReadAll fails for the listed paths.
class UnreadableFs : public pv::IFileSystem {
public:
    explicit UnreadableFs(pv::IFileSystem& inner) : in_(inner) {}
    std::set<std::string> unreadable;
    std::vector<std::string> writes;   // paths given to WriteAll
    std::vector<std::string> removes;  // paths given to RemoveFile
    bool failRename = false;
    // Calls that touch the disk, for checks that work stays per entry.
    long attributeCalls = 0, listCalls = 0, readCalls = 0;

    uint32_t Attributes(const std::string& p) override {
        ++attributeCalls;
        return in_.Attributes(p);
    }
    bool List(const std::string& p, std::vector<pv::DirEntry>& o) override {
        ++listCalls;
        return in_.List(p, o);
    }
    bool MakeDir(const std::string& p) override { return in_.MakeDir(p); }
    bool RemoveDir(const std::string& p) override { return in_.RemoveDir(p); }
    bool RemoveFile(const std::string& p) override {
        removes.push_back(p);
        return in_.RemoveFile(p);
    }
    bool Rename(const std::string& a, const std::string& b) override { return !failRename && in_.Rename(a, b); }
    bool ReadAll(const std::string& p, std::string& c) override {
        ++readCalls;
        if (unreadable.count(p)) return false;
        return in_.ReadAll(p, c);
    }
    bool WriteAll(const std::string& p, const std::string& c) override {
        writes.push_back(p);
        return in_.WriteAll(p, c);
    }
    bool Append(const std::string& p, const std::string& c) override { return in_.Append(p, c); }
    std::string ShortPath(const std::string& p) override { return in_.ShortPath(p); }
    std::string LongPath(const std::string& p) override { return in_.LongPath(p); }
    bool Recycle(const std::string& p) override { return in_.Recycle(p); }
    std::string TempDir() override { return in_.TempDir(); }
    std::string DirectoryIdentity(const std::string& p) override { return in_.DirectoryIdentity(p); }
    std::string FileStamp(const std::string& p) override { return in_.FileStamp(p); }

private:
    pv::IFileSystem& in_;
};

// Records every ShellExecute and answers with a fixed result.
class RecordingShell : public pv::IShell {
public:
    struct Call {
        std::string verb, file, params, dir;
        int show;
    };
    intptr_t result = 42;
    std::vector<Call> calls;
    intptr_t Execute(const std::string& verb, const std::string& file, const std::string& params,
                     const std::string& dir, int showCmd) override {
        calls.push_back({verb, file, params, dir, showCmd});
        return result;
    }
};

// The manager form's models over a scratch data directory D = Root() + "Data\".
class StoreWorld {
public:
    StoreWorld();

    ScratchDir scratch;
    UnreadableFs fs;
    pv::PictureRecorder lists;
    pv::TreeModel tvItems, tvUndo, tvBasic;
    pv::PopupMenu pmItems, pmBasic;
    pv::ItemTable table;
    pv::PictureBookkeeping pictures;
    pv::StoreContext ctx;
    int backupAnswer = pv::kMrCancel;
    int backupQuestions = 0;
    std::vector<std::string> logged, told;

    const std::string& D() const { return data_; }
    // Writes D + rel, creating directories; lines are joined with CR LF.
    void Index(const std::string& relDir, const std::vector<std::string>& lines);
    void File(const std::string& relToData, const std::string& contents = std::string());
    void Dir(const std::string& relToData);
    bool IsDir(const std::string& relToData);
    bool IsFile(const std::string& relToData);

    // CopySystemMenu, CheckItemStore, LoadItemStore as start-up runs them.
    pv::LoadReport Start(bool drawMenuBar = false);
    // The user's part of the menu and tree (above the system entries and program nodes).
    std::string UserMenu() const;
    std::string UserTree() const;

private:
    std::string data_;
};

}  // namespace pvtest
