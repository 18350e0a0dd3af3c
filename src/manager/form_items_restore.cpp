// The manager's "Restore...": a backup's store read into the working tree as
// one edit among others, which Undo takes back and only Save puts on disk.

#include <vector>

#include "manager/form_items.h"
#include "store/Backups.h"
#include "store/StoreFormat.h"
#include "store/StoreLoader.h"
#include "support/UkvSysIO.h"

namespace pv {

namespace {


bool ReadIndex(IFileSystem& fs, const std::string& level, std::vector<std::string>& lines) {
    std::string text;
    if (!fs.ReadAll(level + kIndexName, text)) return false;
    lines = SplitIndexLines(text);
    return true;
}

}  // namespace

void FormItemsModel::BitBtnRestoreClick() {
    const std::vector<BackupInfo> backups = ListBackups(fs_, m_.DataDir);
    if (backups.empty()) {
        host_.PlaySoundFile(kChord);
        ShowStatusText(kMsgNoBackups);
        MessageTime();
        return;
    }
    std::vector<std::string> labels;
    labels.reserve(backups.size());
    for (const BackupInfo& b : backups) labels.push_back(BackupLabel(b));
    const int chosen = host_.ChooseBackup(labels);
    if (chosen < 0 || chosen >= static_cast<int>(backups.size())) return;
    RestoreBackup(backups[static_cast<size_t>(chosen)].dir, labels[static_cast<size_t>(chosen)]);
}

bool FormItemsModel::RestoreBackup(const std::string& backupDir, const std::string& label) {
    const std::string rootLevel = AddTrailingBackslash(backupDir);
    std::vector<std::string> rootLines;
    if (!rootTopNode_ || !ReadIndex(fs_, rootLevel, rootLines)) {
        host_.PlaySoundFile(kChord);
        ShowStatusText("Restore unsuccesful! \"" + rootLevel + kIndexName + "\" could not be read");
        MessageTime();
        return false;
    }
    if (undoOwed_) MakeUndoCopy();  // Undo must find the tree as it was before
    const bool attached = changeAttached_;
    changeAttached_ = false;
    if (view_) view_->BeginUpdate();

    // The working store's entries go: everything of the root level between its
    // top node and the program nodes.
    TreeNode& root = m_.TVItems.Root();
    const int first = TreeModel::IndexOf(rootTopNode_) + 1;
    while (first < root.Count() && !IsProgramNode(root.Child(first))) TreeModel::Delete(root.Child(first));
    selected_ = nullptr;
    clipboard_ = nullptr;
    dragSource_ = expandCandidate_ = nullptr;

    ItemTable& table = m_.Items;
    // Item icons are appended after the icon base, as the manager's other
    // additions are, so that Undo cuts them back.
    auto appendItemIcon = [&](const std::string& iconFile, const std::string& target) {
        if (!m_.Pictures) return -1;
        if (FileExists(fs_, target)) {
            m_.Pictures->AddShellIcon(target, -1, false);
        } else {
            m_.Pictures->InsertIconFile(iconFile, -1);
            m_.Pictures->CopyMenuPictureToTree(-1);
        }
        ++m_.TVItems.tag;
        return m_.PictureMarks.IconBase() + m_.TVItems.tag;
    };
    struct Level {
        TreeNode* parent;
        int insertAt;  // the next node's position in parent
        std::string dir;
        std::vector<std::string> lines;
        size_t next = 0;
    };
    std::vector<Level> levels;
    levels.push_back({&root, first, rootLevel, std::move(rootLines)});
    StoreRecord rec;
    while (!levels.empty()) {
        Level& l = levels.back();
        if (l.next >= l.lines.size()) {
            levels.pop_back();
            continue;
        }
        if (!ParseRecord(l.lines[l.next++], rec)) continue;
        const std::string levelDir = l.dir;
        if (rec.kind == RecordKind::Folder &&
            (!IsFollowableFolderName(rec.name) || !DirectoryExists(fs_, levelDir + rec.name)))
            continue;  // as the load drops it
        TreeNode* n = l.parent->InsertChild(l.insertAt++);
        n->data = -1;
        int picture = -1;
        switch (rec.kind) {
            case RecordKind::Folder: {
                n->text = rec.name;
                picture = kPictureFolder;
                TreeNode* top = n->AppendChild();
                top->imageIndex = top->selectedIndex = kPictureTopNode;
                const std::string sub = levelDir + rec.name + "\\";
                std::vector<std::string> lines;
                if (levels.size() < 1000 && ReadIndex(fs_, sub, lines)) levels.push_back({n, 1, sub, std::move(lines)});
                break;
            }
            case RecordKind::PlainSeparator:
                n->text = kPlainSeparatorText;
                picture = kPicturePlainSeparator;
                break;
            case RecordKind::CaptionedSeparator:
                n->text = CaptionedSeparatorText(rec.name);
                picture = kPictureCaptionedSeparator;
                break;
            case RecordKind::ProgramLink: {
                n->text = rec.name;
                n->data = table.AddProgramLink(rec.path, rec.params);
                const int p = table.extensions.IndexOf(rec.icon);
                if (p > 0)
                    picture = 12 + p;  // a script type: its extension's shared picture
                else if (FileExists(fs_, levelDir + rec.icon) || FileExists(fs_, rec.path))
                    picture = appendItemIcon(levelDir + rec.icon, rec.path);
                break;
            }
            case RecordKind::OtherLink: {
                n->text = rec.name;
                n->data = table.AddOtherLink(rec.path);
                const int p = table.extensions.IndexOf(rec.extension);
                if (rec.extension.empty() && DirectoryExists(fs_, rec.path)) {
                    picture = kPictureDirectory;
                } else if (p >= 0) {
                    picture = 12 + p;
                } else if (m_.Pictures) {
                    // A type the loaded store did not have: its icon joins the added ones.
                    m_.Pictures->AddTypeIcon("TempFile." + rec.extension, -1);
                    ++m_.TVItems.tag;
                    picture = m_.PictureMarks.IconBase() + m_.TVItems.tag;
                }
                break;
            }
        }
        n->imageIndex = n->selectedIndex = picture;
    }

    if (view_) view_->TreeReset();
    if (view_) view_->EndUpdate();
    changeAttached_ = attached;
    Select(rootTopNode_);
    UpdateButtons();
    ShowStatusText("Restored the items of " + label + ": Save keeps them, Undo takes them back");
    MessageTime();
    return true;
}

}  // namespace pv
