#include "manager/form_items.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <unordered_set>

#include "menu/Launching.h"
#include "store/Backups.h"
#include "store/StoreFormat.h"
#include "store/StoreLoader.h"
#include "support/UkvSysExceptions.h"
#include "support/UkvSysIO.h"
#include "support/UkvSysStr.h"

namespace pv {

const char* const kMsgFolderNeedsName = "The folder has to have a name";
const char* const kMsgFolderBadChars = "The folder name can not contain: \"\\ / : * ? \" < > |\"";
const char* const kMsgFolderReserved =
    "The folder name can not be a device name (e.g. CON, NUL, COM1) or end with a dot or a space";
const char* const kMsgFolderDuplicate = "The folder name may not be duplicated on the same level in the TreeView";
const char* const kMsgFolderIntoOwn = "The folder may not be dropped on a subitem of its own";
const char* const kMsgReady = "Ready";
const char* const kMsgSaveOk = "Save succesful!";
const char* const kMsgSaveFailed = "Save unsuccesful! ";
const char* const kMsgDropOnProgram = "You can not drop items on following type: \"Program item\"";
const char* const kMsgSaveQuestion = "Do you want to save the changes to the items before closing?";

std::string FolderKeepsName(const std::string& refusal, const std::string& name) {
    return refusal + " - the folder keeps its name \"" + name + "\"";
}
const char* const kMsgFolderControlChars = "The folder name can not contain control characters (e.g. Tab)";
const char* const kMsgFolderTooLong = "The folder name can not be longer than 255 characters";
const char* const kMsgFolderIndexName = "The folder name can not be \"shortcuts.txt\" (the item list's own file)";
const char* const kMsgArgumentsLostBar = "The item list can not hold \"|\", the arguments are now: ";
const char* const kMsgBackupUnresolved =
    "item_bak\\ holds the items of an interrupted save, so saving now could lose them: restart Pivora and answer its "
    "question (Yes brings them back, No keeps them among the backups)";
const char* const kMsgNoBackups = "There is no backup yet: every save keeps the items it replaces";

namespace {

constexpr int kMessageTime = 4750;
constexpr int kHintTime = 100;
const char* const kChimes = "media\\chimes.wav";
const char* const kNotAvailable = "N/A";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string LowerAscii(std::string s) { return AsciiLower(s); }

std::string ExtensionOf(const std::string& text) {
    // A bare extension (".bat" or "bat") or a path whose file name has one.
    const std::string pathOrExtension = BarePath(text);
    const std::string ext = PathExtension(pathOrExtension);
    if (!ext.empty()) return LowerAscii(ext);
    if (!pathOrExtension.empty() && pathOrExtension.find_first_of("\\:/") == std::string::npos)
        return "." + LowerAscii(pathOrExtension);
    return std::string();
}

const std::string& PathOfNode(const TreeNode* node, const ItemTable& table, const std::string& fallback,
                              std::string& holder) {
    if (node && node->data >= 0) {
        holder = table.PathOf(node->data);
        return holder;
    }
    return fallback;
}

// A save that failed inside a level, once its log line is written: the outer
// levels pass it on without writing it again.
class LevelWriteFailure : public std::runtime_error {
public:
    explicit LevelWriteFailure(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace

// ---------------------------------------------------------------- node kinds

bool IsTopNode(const TreeNode* node) { return node && node->imageIndex == kPictureTopNode; }

bool IsProgramNode(const TreeNode* node) {
    // Program nodes never carry an item number. Without that test a program
    // link that has no picture (image -1, like every node's state index) would
    // count as one, could not be edited, and the saver, which stops at the
    // first program node of a level, would drop it with every entry after it.
    return node && !IsTopNode(node) && node->imageIndex == node->stateIndex && node->data < 0;
}

bool IsFolderNode(const TreeNode* node) {
    return node && !IsTopNode(node) && !IsProgramNode(node) &&
           (node->imageIndex == kPictureFolder || node->imageIndex == kPictureOpenFolder);
}

bool IsSeparatorNode(const TreeNode* node) {
    return node && !IsTopNode(node) && !IsProgramNode(node) &&
           (node->imageIndex == kPicturePlainSeparator || node->imageIndex == kPictureCaptionedSeparator);
}

bool IsPlainSeparatorNode(const TreeNode* node) {
    return IsSeparatorNode(node) && node->imageIndex == kPicturePlainSeparator;
}

bool HasItemNumber(const TreeNode* node) {
    return node && !IsTopNode(node) && !IsProgramNode(node) && !IsFolderNode(node) && !IsSeparatorNode(node) &&
           node->data >= 0;
}

bool IsMovableNode(const TreeNode* node) { return node && !IsTopNode(node) && !IsProgramNode(node); }

bool IsExecutableExtension(const std::string& pathOrExtension) {
    const std::string e = ExtensionOf(pathOrExtension);
    return e == ".exe" || e == ".com";
}

bool IsRunableExtension(const std::string& pathOrExtension) {
    const std::string e = ExtensionOf(pathOrExtension);
    return e == ".bat" || e == ".cmd" || e == ".wsf" || e == ".wsh";
}

bool IsExecutableItem(const TreeNode* node, const ItemTable& table, const std::string& text) {
    std::string holder;
    return IsExecutableExtension(PathOfNode(node, table, text, holder));
}

bool IsRunableItem(const TreeNode* node, const ItemTable& table, const std::string& text) {
    std::string holder;
    return IsRunableExtension(PathOfNode(node, table, text, holder));
}

std::string ItemTypeLabel(const TreeNode* node, const ItemTable& table) {
    if (IsTopNode(node)) return "Item Type: Utility item";
    if (IsProgramNode(node)) return "Item Type: Program item";
    if (IsFolderNode(node)) return "Item Type: Virtual item";
    if (IsSeparatorNode(node)) return "Item Type: Separator item";
    if (!HasItemNumber(node)) return std::string();
    if (IsExecutableItem(node, table)) return "Item Type: Executable item";
    if (IsRunableItem(node, table)) return "Item Type: Runable item";
    if (ExtensionOf(table.PathOf(node->data)) == ".lnk") return "Item Type: Shortcut item";
    return "Item Type: Viewable item";
}

bool IsAllDashes(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '-'; });
}

std::string SeparatorCaption(const std::string& text) {
    if (text.size() <= 4) return std::string();
    return text.substr(2, text.size() - 4);
}

bool IsValidFolderName(const std::string& text) { return text.find_first_of("\\/:*?\"<>") == std::string::npos; }

bool IsReservedFolderName(const std::string& text) {
    if (text.empty()) return false;
    if (text.back() == '.' || text.back() == ' ') return true;
    // The device name counts with any extension ("nul.txt") and trailing blanks.
    std::string stem = LowerAscii(text.substr(0, text.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* d : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (stem == d) return true;
    if (stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '1' &&
        stem[3] <= '9')
        return true;
    return false;
}

std::string CleanItemText(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != '^' && c != '|' && c != '\r' && c != '\n') s += c;
    return s;
}

std::string TrimBlanks(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlankOrControl(text[b])) ++b;
    while (e > b && IsBlankOrControl(text[e - 1])) --e;
    return text.substr(b, e - b);
}

bool HasDuplicateAtLevel(const TreeNode* node, const std::string& text, DuplicateMode mode) {
    if (!node || !node->Parent()) return false;
    // NTFS takes "Äpfel" and "äpfel" for one name, as it does "A" and "a".
    const std::string wanted = FoldNameCase(TrimBlanks(text));
    auto same = [&](const TreeNode* n) { return FoldNameCase(TrimBlanks(n->text)) == wanted; };
    const TreeNode* parent = node->Parent();
    const int at = TreeModel::IndexOf(node);
    for (int i = mode == DuplicateMode::Inclusive ? at : at - 1; i >= 0; --i)
        if (same(parent->Child(i))) return true;
    for (int i = at + 1; i < parent->Count(); ++i) {
        const TreeNode* n = parent->Child(i);
        if (IsProgramNode(n)) break;
        if (same(n)) return true;
    }
    return false;
}

bool IsPrematureRefusal(const std::string& refusal) { return refusal == kMsgFolderReserved; }

bool IsInSubtree(const TreeNode* node, const TreeNode* folder) {
    for (const TreeNode* n = node; n; n = n->Parent())
        if (n == folder) return true;
    return false;
}

// ---------------------------------------------------------------- folder names

namespace {

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// The icon bitmap a saved executable item may get at its level: its base name,
// a number or none, ".bmp" (compared as NTFS compares names).
bool IsIconNameOf(const std::string& foldedName, const std::string& targetPath) {
    const std::string base = FoldNameCase(RemoveExtension(FileNamePart(targetPath)));
    const std::string ext = FoldNameCase(".bmp");
    if (foldedName.size() < base.size() + ext.size()) return false;
    if (foldedName.compare(0, base.size(), base) != 0) return false;
    if (foldedName.compare(foldedName.size() - ext.size(), ext.size(), ext) != 0) return false;
    const std::string number = foldedName.substr(base.size(), foldedName.size() - base.size() - ext.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The longest path below a folder that its own folders add ("\Deep\Deeper").
size_t DeepestFolderSuffix(const TreeNode* folder) {
    size_t deepest = 0;
    if (!folder) return 0;
    for (int i = 0; i < folder->Count(); ++i) {
        const TreeNode* c = folder->Child(i);
        if (!IsFolderNode(c)) continue;
        deepest = std::max(deepest, 1 + NameLengthUtf16(c->text) + DeepestFolderSuffix(c));
    }
    return deepest;
}

}  // namespace

std::string FolderNameTextRefusal(const std::string& name) {
    if (name.empty() || static_cast<unsigned char>(name[0]) < 0x21) return kMsgFolderNeedsName;
    if (!IsValidFolderName(name)) return kMsgFolderBadChars;
    if (HasControlCharacter(name)) return kMsgFolderControlChars;
    if (IsReservedFolderName(name)) return kMsgFolderReserved;
    if (NameLengthUtf16(name) > 255) return kMsgFolderTooLong;
    return std::string();
}

std::string FolderPlaceRefusal(const std::string& name, const TreeNode* node, DuplicateMode mode,
                               const std::string& storeDir, const ItemTable& table, const TreeNode* contents) {
    if (!node || !node->Parent()) return std::string();
    const TreeNode* parent = node->Parent();
    // The level's own files: its index file, and the icon of each executable.
    const std::string folded = FoldNameCase(name);
    if (folded == FoldNameCase("shortcuts.txt")) return kMsgFolderIndexName;
    for (int i = 0; i < parent->Count(); ++i) {
        const TreeNode* n = parent->Child(i);
        if (mode == DuplicateMode::Exclusive && n == node) continue;
        if (IsProgramNode(n)) break;
        if (HasItemNumber(n) && IsExecutableItem(n, table) && IsIconNameOf(folded, table.PathOf(n->data)))
            return "The folder name can not be \"" + name + "\" (the icon file of \"" + n->text + "\")";
    }
    // Its directory, with the folders inside it, each with room for its index file.
    size_t length = NameLengthUtf16(storeDir);
    for (const TreeNode* a = parent; a && a->Parent(); a = a->Parent()) length += 1 + NameLengthUtf16(a->text);
    length += 1 + NameLengthUtf16(name) + DeepestFolderSuffix(contents);
    if (length > kMaxFolderPath)
        return "The folder's path would be too long: " + std::to_string(length) + " characters (at most " +
               std::to_string(kMaxFolderPath) + ")";
    if (HasDuplicateAtLevel(node, name, mode)) return kMsgFolderDuplicate;
    return std::string();
}

std::string FolderNameRefusal(const std::string& name, const TreeNode* node, DuplicateMode mode,
                              const std::string& storeDir, const ItemTable& table, const TreeNode* contents) {
    std::string why = FolderNameTextRefusal(name);
    if (why.empty()) why = FolderPlaceRefusal(name, node, mode, storeDir, table, contents);
    return why;
}

std::string LongHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string HintOf(ItemsControl c) {
    const char* text = "";
    switch (c) {
        case ItemsControl::PanelHeadProp:
            text = "\"Properties\" is the place where you can view and modify the details of each item";
            break;
        case ItemsControl::ImageDesProp:
            text = "\"Properties\" is the place where you can view the details of each item";
            break;
        case ItemsControl::LblFType: text = "The type of the item (some are handled by program)"; break;
        case ItemsControl::ImgFType:
        case ItemsControl::EditSName: text = "This is the showed \"item text\""; break;
        case ItemsControl::RichEditFName: text = "The file-name (e.g. pivora.exe) which the item points at"; break;
        case ItemsControl::RichEditFPath: text = "The file-path (e.g. c:\\kelvory\\) which the item points at"; break;
        case ItemsControl::EditSParams:
        case ItemsControl::RichEditFParams: text = "The parameters to use for executing this (exe) file"; break;
        case ItemsControl::PanelHeadAdmin:
        case ItemsControl::ImageDesAdmin: text = "\"Administer\" is the place where you add, delete etc. items"; break;
        case ItemsControl::BitBtnFind: text = "Find a file of any type and prepare it to be attached"; break;
        case ItemsControl::BitBtnAttach: text = "Attach either a file or separator (depends on selection)"; break;
        case ItemsControl::BitBtnCopy: text = "Copy an item (in most cases to paste it into another place)"; break;
        case ItemsControl::BitBtnCut: text = "Cut an item (in most cases to paste it into another place)"; break;
        case ItemsControl::BitBtnDelete: text = "Delete an item"; break;
        case ItemsControl::BitBtnPaste: text = "Paste an item which you have just cutted or copyed before"; break;
        case ItemsControl::BitBtnUndo: text = "Undo all changes (since last save)"; break;
        case ItemsControl::BitBtnSave:
            text = "Save changes take effect after closing the form - only new changes can be undone";
            break;
        case ItemsControl::MemoAddName: text = "This will be the showed \"item text\" for whatever item type"; break;
        case ItemsControl::RBFile: text = "Choosing this will enable the \"add..\" which is used with files"; break;
        case ItemsControl::RBFileDirectory:
            text = "Choosing this will enable the \"add..\" which is used with directories";
            break;
        case ItemsControl::RBSeparator: text = "Choosing this makes it possible to add separators"; break;
        case ItemsControl::RBFolder: text = "Choosing this makes it possible to add sub-treeview-folders"; break;
        case ItemsControl::BitBtnSweep: text = "Sweep for invalid items (e.g. non-existing files)"; break;
        case ItemsControl::BitBtnClose: text = "Exit (changes made since last save won't be applyed)"; break;
        case ItemsControl::BitBtnHelp: text = "Get help"; break;
        case ItemsControl::BitBtnLaunch:
            text = "Launch the given shortcut (the same as launching them from the popumenu)";
            break;
        case ItemsControl::BitBtnRestore:
            text = "Bring back the items as an earlier save left them (undo and save as any change)";
            break;
        case ItemsControl::None: return std::string();
    }
    return std::string("|") + text;
}

std::vector<std::string> StatusLineTexts() {
    std::vector<std::string> texts = {kMsgFolderNeedsName, kMsgFolderBadChars, kMsgFolderReserved,
                                      kMsgFolderDuplicate, kMsgFolderIntoOwn,   kMsgReady,
                                      kMsgSaveOk,          kMsgSaveFailed,      kMsgDropOnProgram};
    for (int c = static_cast<int>(ItemsControl::None); c <= static_cast<int>(ItemsControl::BitBtnLaunch); ++c) {
        const std::string hint = LongHint(HintOf(static_cast<ItemsControl>(c)));
        if (!hint.empty()) texts.push_back(hint);
    }
    return texts;
}

std::vector<std::string> ItemTypeLabels() {
    return {"Item Type: Utility item",    "Item Type: Program item",  "Item Type: Virtual item",
            "Item Type: Separator item",  "Item Type: Executable item", "Item Type: Runable item",
            "Item Type: Shortcut item",   "Item Type: Viewable item"};
}

std::vector<std::string> ItemTextLabels() {
    return {"Item Text", "Item (directory) Text", "Item (Folder) Text", "Item (Separator) Text"};
}

FormItemsControls::FormItemsControls() = default;

// ---------------------------------------------------------------- FormItemsModel

FormItemsModel::FormItemsModel(AppModel& model, IFileSystem& fs, IItemsHost& host)
    : m_(model), fs_(fs), host_(host) {}

void FormItemsModel::MakeUndoCopy() {
    m_.TVUndo.CopyFrom(m_.TVItems);
    m_.TVUndo.tag = m_.TVItems.tag;
    SnapshotParams();
    undoOwed_ = false;
}

void FormItemsModel::SnapshotParams() { undoParams_ = m_.Items.paramValues.Items(); }

void FormItemsModel::TreeReloaded(bool undoCopyMade) {
    undoOwed_ = !undoCopyMade;
    if (!undoOwed_) SnapshotParams();
    if (undoOwed_ && shown_) MakeUndoCopy();
    renameNode_ = nullptr;
    pendingRefusal_.clear();
    pressing_ = false;
    selected_ = nullptr;
    clipboard_ = nullptr;
    dragSource_ = expandCandidate_ = nullptr;
    rootTopNode_ = m_.TVItems.First();
    if (view_) view_->TreeReset();
}

void FormItemsModel::Select(TreeNode* node) {
    selected_ = node;
    Notify(&IItemsTreeView::NodeSelected, node);
    if (changeAttached_ && node) TVItemsChange(node);
}

bool FormItemsModel::SelectItem(int itemNumber) {
    if (itemNumber < 0) return false;
    for (TreeNode* node : m_.TVItems.AllNodes()) {
        if (node->data != itemNumber) continue;
        Select(node);
        return true;
    }
    return false;
}

void FormItemsModel::TreeSelectionChanged(TreeNode* node) {
    selected_ = node;
    if (changeAttached_ && node) TVItemsChange(node);
}

void FormItemsModel::TVItemsChange(TreeNode* node) {
    if (renameNode_ && renameNode_ != node) {
        // The field leaves the folder it renamed: what it held is taken or given back first.
        TreeNode* now = selected_;
        selected_ = renameNode_;
        FinishRename();
        selected_ = now;
        renameNode_ = nullptr;
    }
    RefreshProperties(node);
    UpdateButtons();
}

void FormItemsModel::TVItemsExpanded(TreeNode* node) {
    if (!node) return;
    node->selectedIndex = kPictureOpenFolder;
    Notify(&IItemsTreeView::NodeChanged, node);
}

void FormItemsModel::TVItemsCollapsed(TreeNode* node) {
    if (!node) return;
    node->selectedIndex = kPictureFolder;
    Notify(&IItemsTreeView::NodeChanged, node);
}

// ---------------------------------------------------------------- properties

void FormItemsModel::RefreshProperties(TreeNode* node) {
    if (!node) return;
    FormItemsControls& c = Controls;
    const ItemTable& table = m_.Items;
    c.LblFType = ItemTypeLabel(node, table);
    std::string name = node->text;
    bool nameEnabled = true;
    bool paramsEnabled = false;
    std::string params = kNotAvailable;
    std::string fileName = "File Name: N/A";
    std::string filePath = "File Path: N/A";
    if (IsTopNode(node)) {
        nameEnabled = false;
        name = "Top";
    } else if (IsProgramNode(node)) {
        nameEnabled = false;
        if (node->text == kPlainSeparatorText)
            name.clear();
        else if (node->text == "--Sysmenu--")
            name = "Sysmenu";
    } else if (IsSeparatorNode(node)) {
        name = IsPlainSeparatorNode(node) ? std::string() : SeparatorCaption(node->text);
    } else if (HasItemNumber(node)) {
        const std::string path = table.PathOf(node->data);
        fileName = "File Name: " + FileNamePart(path);
        filePath = "File Path: " + DirectoryPrefix(path);
        const bool hasPair = table.HasParams(node->data);
        if (IsExecutableItem(node, table)) {
            paramsEnabled = true;
            params = table.FindItemParams(node->data);
        } else if (IsRunableItem(node, table) || hasPair) {
            // A link stored as a program keeps its parameters whatever its path.
            paramsEnabled = hasPair;
            params = table.FindItemParams(node->data);
        }
    }
    c.RichEditFName = fileName;
    c.RichEditFPath = filePath;
    // Showing a node is no edit: the fields take its texts without the change
    // rules, which would write what they show ("Sysmenu", "Top", "N/A") back.
    c.EditSParams.Enabled = paramsEnabled;
    c.EditSParams.Text = params;
    c.EditSName.Enabled = nameEnabled;
    c.EditSName.Text = name;
    c.ImgFType = node->imageIndex;
    c.ImgFTypeMenuColour = false;
}

void FormItemsModel::SetEditSNameText(const std::string& text) {
    if (Controls.EditSName.Text == text) return;
    Controls.EditSName.Text = text;
    if (!inNameChange_) EditSNameChange();
}

void FormItemsModel::SetEditSParamsText(const std::string& text) {
    if (Controls.EditSParams.Text == text) return;
    Controls.EditSParams.Text = text;
    if (!inParamsChange_) EditSParamsChange();
}

void FormItemsModel::FolderRefusal(const std::string& message) {
    ShowStatusText(message);
    MessageTime();
}

void FormItemsModel::EditSNameChange() {
    TreeNode* node = selected_;
    std::string text = CleanItemText(Controls.EditSName.Text);
    std::string nodeText = text;
    std::string fieldText = text;
    if (IsFolderNode(node)) {
        if (node != renameNode_) {
            renameNode_ = node;
            renameFrom_ = node->text;
        }
        // The folder follows the field while the field holds a name it may
        // take, and keeps its own name otherwise: the tree never shows a
        // prefix of a refused name ("doc" of "docs", "NU" of "NUL").
        const std::string refusal =
            text == renameFrom_ ? std::string() : FolderNameRefusal(node, text, DuplicateMode::Exclusive);
        if (!refusal.empty()) {
            if (node->text != renameFrom_) {
                node->text = renameFrom_;
                Notify(&IItemsTreeView::NodeChanged, node);
            }
            if (IsPrematureRefusal(refusal)) {
                ClearRefusal();  // checked when the name is taken
            } else {
                pendingRefusal_ = refusal;
                ShowStatusText(refusal);
                MessageTime();
            }
            return;
        }
        ClearRefusal();
    } else if (IsSeparatorNode(node)) {
        // The node shows the caption framed by dashes; the field, like the
        // properties panel, the caption alone, which can hold no dash.
        if (IsAllDashes(text)) {
            node->imageIndex = node->selectedIndex = kPicturePlainSeparator;
            nodeText = kPlainSeparatorText;
            fieldText.clear();
        } else {
            fieldText.erase(std::remove(fieldText.begin(), fieldText.end(), '-'), fieldText.end());
            node->imageIndex = node->selectedIndex = kPictureCaptionedSeparator;
            nodeText = CaptionedSeparatorText(fieldText);
        }
        Controls.ImgFType = node->imageIndex;
        Controls.ImgFTypeMenuColour = true;
    }
    inNameChange_ = true;
    SetEditSNameText(fieldText);
    inNameChange_ = false;
    if (node && node->text != nodeText) {
        node->text = nodeText;
        Notify(&IItemsTreeView::NodeChanged, node);
    } else if (node && IsSeparatorNode(node)) {
        Notify(&IItemsTreeView::NodeChanged, node);  // the picture may have changed
    }
}

void FormItemsModel::ClearRefusal() {
    if (pendingRefusal_.empty()) return;
    if (Controls.StatusBarHelp == pendingRefusal_) {
        ShowStatusText(kMsgReady);
        Controls.TimerStatusText.Interval = kHintTime;
    }
    pendingRefusal_.clear();
}

bool FormItemsModel::FinishRename() {
    TreeNode* node = renameNode_;
    if (!node || !IsFolderNode(node)) return true;
    const std::string text = CleanItemText(Controls.EditSName.Text);
    const bool fieldShowsIt = node == selected_;
    if (!fieldShowsIt || text == node->text) {
        renameFrom_ = node->text;
        pendingRefusal_.clear();
        return true;
    }
    const std::string refusal = FolderNameRefusal(node, text, DuplicateMode::Exclusive);
    if (refusal.empty()) {
        node->text = renameFrom_ = text;
        Notify(&IItemsTreeView::NodeChanged, node);
        pendingRefusal_.clear();
        return true;
    }
    // The field holds a name the folder may not take: it shows the folder's own again.
    pendingRefusal_.clear();
    inNameChange_ = true;
    SetEditSNameText(node->text);
    inNameChange_ = false;
    renameFrom_ = node->text;
    host_.PlaySoundFile(kChord);
    setBack_ = FolderKeepsName(refusal, node->text);
    FolderRefusal(setBack_);
    return false;
}

void FormItemsModel::EditSNameExit() { FinishRename(); }

void FormItemsModel::SetMemoAddNameText(const std::string& text) {
    Controls.MemoAddName = text;
    // A refused folder's name, once typed right, clears the refusal.
    if (attachRefused_ && Controls.RBFolder &&
        FolderNameRefusal(selected_, TrimBlanks(CleanItemText(text)), DuplicateMode::Inclusive).empty()) {
        attachRefused_ = false;
        ShowStatusText(kMsgReady);
        Controls.TimerStatusText.Interval = kHintTime;
    }
}

void FormItemsModel::EditSParamsChange() {
    const std::string text = CleanItemText(Controls.EditSParams.Text);
    if (selected_) m_.Items.SetItemParams(selected_->data, text);
    inParamsChange_ = true;
    SetEditSParamsText(text);
    inParamsChange_ = false;
}

bool FormItemsModel::CanPlaceNode(TreeNode* moved, TreeNode* target) {
    if (!IsFolderNode(moved)) return true;
    if (target == moved || (target && target->Parent() == moved->Parent())) return true;
    if (HasDuplicateAtLevel(target, moved->text, DuplicateMode::Inclusive)) {
        FolderRefusal(kMsgFolderDuplicate);
        return false;
    }
    if (IsInSubtree(target, moved)) {
        FolderRefusal(kMsgFolderIntoOwn);
        return false;
    }
    // At its new level, with everything inside it, the folder must still save.
    const std::string why = FolderPlaceRefusal(moved->text, target, DuplicateMode::Inclusive,
                                               m_.DataDir + "shortcuts", m_.Items, moved);
    if (!why.empty()) {
        FolderRefusal(why);
        return false;
    }
    return true;
}

std::string FormItemsModel::FolderNameRefusal(const TreeNode* node, const std::string& name, DuplicateMode mode) const {
    // A renamed folder takes its entries along; a new one has none yet.
    const TreeNode* contents = mode == DuplicateMode::Exclusive ? node : nullptr;
    return pv::FolderNameRefusal(name, node, mode, m_.DataDir + "shortcuts", m_.Items, contents);
}

void FormItemsModel::UpdateButtons() {
    FormItemsControls& c = Controls;
    TreeNode* s = selected_;
    c.BitBtnCut.Enabled = IsMovableNode(s);
    c.BitBtnCopy.Enabled = s && !IsFolderNode(s) && c.BitBtnCut.Enabled;
    c.BitBtnPaste.Enabled = clipboard_ && s && !IsProgramNode(s) && CanPlaceNode(clipboard_, s);
    c.BitBtnDelete.Enabled = IsMovableNode(s);
    if (c.BitBtnAttach.Tag == 1) c.BitBtnAttach.Enabled = s && !IsProgramNode(s);
    c.BitBtnLaunch.Enabled = s && s->data >= 0;
}

ItemsControl FormItemsModel::MnemonicTarget(char key, ItemsControl focused) const {
    const FormItemsControls& c = Controls;
    // The buttons in the window's order, which is also the order of Tab.
    const std::pair<ItemsControl, const ItemsButton*> buttons[] = {
        {ItemsControl::BitBtnFind, &c.BitBtnFind},     {ItemsControl::BitBtnAttach, &c.BitBtnAttach},
        {ItemsControl::BitBtnSweep, &c.BitBtnSweep},   {ItemsControl::BitBtnUndo, &c.BitBtnUndo},
        {ItemsControl::BitBtnCut, &c.BitBtnCut},       {ItemsControl::BitBtnCopy, &c.BitBtnCopy},
        {ItemsControl::BitBtnPaste, &c.BitBtnPaste},   {ItemsControl::BitBtnDelete, &c.BitBtnDelete},
        {ItemsControl::BitBtnSave, &c.BitBtnSave},     {ItemsControl::BitBtnClose, &c.BitBtnClose},
        {ItemsControl::BitBtnLaunch, &c.BitBtnLaunch}, {ItemsControl::BitBtnHelp, &c.BitBtnHelp},
    };
    const auto lower = [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); };
    const auto marks = [&](const std::string& caption) {
        const size_t amp = caption.find('&');
        return amp != std::string::npos && amp + 1 < caption.size() && lower(caption[amp + 1]) == lower(key);
    };
    std::vector<size_t> marked;
    for (size_t i = 0; i < sizeof buttons / sizeof buttons[0]; ++i)
        if (marks(buttons[i].second->Caption)) marked.push_back(i);
    if (marked.size() < 2) return ItemsControl::None;
    size_t from = 0;  // the first place after the focused control
    for (size_t i = 0; i < sizeof buttons / sizeof buttons[0]; ++i)
        if (buttons[i].first == focused) from = i + 1;
    for (size_t round = 0; round < 2; ++round)
        for (size_t i : marked)
            if ((round == 1 || i >= from) && buttons[i].second->Enabled) return buttons[i].first;
    return ItemsControl::None;
}

// ---------------------------------------------------------------- status line

void FormItemsModel::ShowStatusText(const std::string& text) { Controls.StatusBarHelp = text; }

void FormItemsModel::MessageTime() {
    Controls.TimerStatusText.Interval = kMessageTime;
    ++Controls.TimerStatusText.Starts;
}

void FormItemsModel::TimerStatusText() {
    ItemsTimer& t = Controls.TimerStatusText;
    if (!pendingRefusal_.empty()) {
        ShowStatusText(pendingRefusal_);  // as long as the field holds the refused name
    } else if (t.Interval == kMessageTime) {
        t.Interval = kHintTime;
        attachRefused_ = false;
        ShowStatusText(kMsgReady);
    } else if (Controls.StatusBarHelp.empty()) {
        ShowStatusText(kMsgReady);
    }
}

void FormItemsModel::ApplicationHint(const std::string& hint) {
    if (!pendingRefusal_.empty()) return;
    ShowStatusText(LongHint(hint));
    Controls.TimerStatusText.Interval = kHintTime;
    Controls.TimerStatusText.Enabled = true;
}

// ---------------------------------------------------------------- saving

void FormItemsModel::WriteLevel(const TreeNode* first, const std::string& dir) {
    const std::string indexFile = dir + "\\shortcuts.txt";
    std::string index;
    try {
        const TreeNode* next = TreeModel::NextSibling(first);
        if (next && !IsProgramNode(next)) WriteNodes(next, dir, index);
    } catch (const LevelWriteFailure&) {
        throw;  // written to the log where it happened
    } catch (const std::exception& e) {
        try {
            host_.WriteErrorLog("Unable to save \"" + indexFile + "\", probably because of a call to \"GetNextSibling\"");
        } catch (...) {
            // Without a log the user still learns of it in the status line.
        }
        throw LevelWriteFailure(e.what());
    }
    if (!fs_.WriteAll(indexFile, m_.TextFiles.Encode(index))) throw EInOutError("Cannot write to file " + indexFile, 0);
}

void FormItemsModel::WriteNodes(const TreeNode* node, const std::string& dir, std::string& index) {
    // An icon bitmap never takes the name of one of the level's folders, whose
    // directory would then fail to be made, however the two are ordered.
    std::unordered_set<std::string> folders;
    for (const TreeNode* n = node; n && !IsProgramNode(n); n = TreeModel::NextSibling(n))
        if (IsFolderNode(n)) folders.insert(FoldNameCase(n->text));
    const auto taken = [&](const std::string& name) {
        return folders.count(FoldNameCase(name)) != 0 || PathExists(fs_, dir + "\\" + name);
    };
    for (const TreeNode* n = node; n && !IsProgramNode(n); n = TreeModel::NextSibling(n)) {
        StoreRecord r;
        if (IsFolderNode(n)) {
            r.kind = RecordKind::Folder;
            r.name = n->text;
            index += FormatRecord(r);
            const std::string sub = dir + "\\" + n->text;
            if (!fs_.MakeDir(sub)) throw EInOutError("Cannot create directory " + sub, 0);
            if (n->Count() > 1) WriteLevel(n->FirstChild(), sub);
        } else if (IsPlainSeparatorNode(n)) {
            r.kind = RecordKind::PlainSeparator;
            index += FormatRecord(r);
        } else if (IsSeparatorNode(n)) {
            r.kind = RecordKind::CaptionedSeparator;
            r.name = SeparatorCaption(n->text);
            index += FormatRecord(r);
        } else if (HasItemNumber(n)) {
            const std::string path = m_.Items.PathOf(n->data);
            const bool runable = IsRunableItem(n, m_.Items);
            // An item with parameters stays a program link whatever its path
            // looks like (quoted, padded or of another type by hand), so that
            // its parameters are never lost.
            const bool program = runable || IsExecutableItem(n, m_.Items) || m_.Items.HasParams(n->data);
            if (!program) {
                index += FormatRecord(MakeLinkRecord(path, std::string(), std::string(), n->text));
                continue;
            }
            r.kind = RecordKind::ProgramLink;
            r.path = path;
            r.params = m_.Items.FindItemParams(n->data);
            r.name = n->text;
            if (runable) {
                r.icon = ExtensionOf(path).substr(1);
            } else {
                r.icon = IconBitmapName(path, taken);
                const std::string file = dir + "\\" + r.icon;
                const std::string bmp = m_.Pictures ? m_.Pictures->MenuPictureBmp(n->imageIndex) : std::string();
                if (!fs_.WriteAll(file, bmp)) throw EInOutError("Cannot create file " + file, 0);
            }
            index += FormatRecord(r);
        }
        // A top node writes nothing.
    }
}

void FormItemsModel::PutBackPreviousStore(std::string& reason) {
    const std::string d = m_.DataDir;
    DeleteDirectoryTree(fs_, d + "shortcuts");
    if (!DirectoryExists(fs_, d + "item_bak")) return;
    if (DirectoryExists(fs_, d + "shortcuts") || !fs_.Rename(d + "item_bak", d + "shortcuts"))
        reason += " (the items saved before wait in " + d + "item_bak\\ and come back at the next start)";
}

bool FormItemsModel::SaveStore(std::string& reason) {
    const std::string d = m_.DataDir;
    const std::string store = d + "shortcuts";
    const std::string backup = d + "item_bak";
    const std::string old = d + "item_del";
    if (!m_.Items.unreadableIndexFiles.empty()) {
        // The store holds items the tree never got: writing it anew would destroy them.
        reason = "\"" + m_.Items.unreadableIndexFiles.front() +
                 "\" could not be read, so saving would lose its items; close the program that holds it and "
                 "restart Pivora";
        return false;
    }
    auto shortDir = [&] {
        const std::string s = fs_.ShortPath(d);
        return AddTrailingBackslash(s.empty() ? d : s);
    };
    if (PathExists(fs_, backup)) {
        // Never deleted here: an item_bak this save did not make is what an
        // interrupted save left, and may be the only whole copy of the store.
        if (m_.Items.backupUnresolved)
            reason = shortDir() + kMsgBackupUnresolved;
        else
            reason = shortDir() + "item_bak\\ already exists(!), please restart Pivora";
        return false;
    }
    // What a save of an earlier version could not clear away: never a backup.
    if (PathExists(fs_, old)) DeleteDirectoryTree(fs_, old);
    const bool hadStore = PathExists(fs_, store);
    if (hadStore && !fs_.Rename(store, backup)) {
        if (PathExists(fs_, backup))
            reason = shortDir() + "item_bak\\ already exists(!), please restart Pivora";
        else
            reason = "Possibly \"locked\" files (e.g. a file opened by another program)";
        return false;
    }
    const LocalTime now = host_.Now();
    try {
        if (!fs_.MakeDir(store)) throw EInOutError("Cannot create directory " + store, 0);
        WriteLevel(rootTopNode_, store);
        // The new store stands. The old one joins the backups whole, by one
        // rename; until then it is item_bak, which the next start-up offers back.
        if (hadStore && MoveIntoBackups(fs_, d, backup, now, false).empty())
            throw EInOutError("Cannot move " + backup + " into " + d + kBackupsDirName, 0);
    } catch (const std::exception& e) {
        reason = e.what();
        PutBackPreviousStore(reason);
        return false;
    }
    if (hadStore) PruneBackups(fs_, d, now);
    return true;
}

void FormItemsModel::BitBtnSaveClick() {
    FinishRename();
    // A name taken back just before (the field lost the focus to this button)
    // is still said after the save's own message.
    const bool settingBackShown = !setBack_.empty() && Controls.StatusBarHelp == setBack_;
    std::string reason;
    if (!SaveStore(reason)) {
        host_.PlaySoundFile(kChord);
        ShowStatusText(kMsgSaveFailed + reason);
        MessageTime();
        return;
    }
    host_.PlaySoundFile(kChimes);
    ShowStatusText(settingBackShown ? std::string(kMsgSaveOk) + " " + setBack_ : std::string(kMsgSaveOk));
    MessageTime();
    saved_ = true;
    MakeUndoCopy();
}

// ---------------------------------------------------------------- undo, sweep

void FormItemsModel::RestoreFromUndo() {
    if (undoOwed_) MakeUndoCopy();
    const bool attached = changeAttached_;
    changeAttached_ = false;
    if (view_) view_->BeginUpdate();
    m_.TVItems.CopyFrom(m_.TVUndo);
    // Parameters typed since then go too: the tray menu starts items with these.
    TkvDynStringArray& values = m_.Items.paramValues;
    for (int i = 0; i < values.Length() && i < static_cast<int>(undoParams_.size()); ++i)
        if (values[i] != undoParams_[static_cast<size_t>(i)]) values.Set(i, undoParams_[static_cast<size_t>(i)]);
    // The old nodes are gone, and everything that pointed at them with them.
    renameNode_ = nullptr;
    pendingRefusal_.clear();
    selected_ = nullptr;
    clipboard_ = nullptr;
    dragSource_ = expandCandidate_ = nullptr;
    if (view_) view_->TreeReset();
    if (view_) view_->EndUpdate();
    changeAttached_ = attached;
    rootTopNode_ = m_.TVItems.First();
    Select(rootTopNode_);
    m_.TVItems.tag = m_.TVUndo.tag;
    if (m_.Pictures) m_.Pictures->DeleteAbove(m_.PictureMarks.IconBase() + m_.TVItems.tag);
}

void FormItemsModel::ResetSelection() {
    if (clipboard_ && clipboard_->cut) {
        clipboard_->cut = false;
        Notify(&IItemsTreeView::NodeChanged, clipboard_);
    }
    clipboard_ = nullptr;
    rootTopNode_ = m_.TVItems.First();
    Select(rootTopNode_);
    UpdateButtons();
}

FormItemsModel::SweepResult FormItemsModel::SweepTree(TreeNode* rootTop) {
    const bool attached = changeAttached_;
    changeAttached_ = false;
    if (view_) view_->BeginUpdate();
    // Each level from its last node back to the first, every folder's level
    // below it as well; an explicit list keeps deep stores off the call stack.
    struct Level {
        TreeNode* parent;
        int first;  // the first child swept
    };
    SweepResult result;
    std::vector<Level> levels;
    if (rootTop && rootTop->Parent()) levels.push_back({rootTop->Parent(), TreeModel::IndexOf(rootTop) + 1});
    while (!levels.empty()) {
        const Level level = levels.back();
        levels.pop_back();
        for (int i = level.parent->Count() - 1; i >= level.first; --i) {
            TreeNode* n = level.parent->Child(i);
            if (n->imageIndex == kPictureFolder || n->imageIndex == kPictureOpenFolder) {
                levels.push_back({n, 0});
                continue;
            }
            if (!HasItemNumber(n)) continue;
            const TargetState state = SweepCheck(m_.Items.PathOf(n->data));
            if (state == TargetState::Unchecked) ++result.unchecked;
            if (state != TargetState::Missing) continue;
            RemoveNode(n);
            ++result.removed;
        }
    }
    if (view_) view_->EndUpdate();
    changeAttached_ = attached;
    return result;
}

namespace {

// "%NAME%" replaced by the variable's value, as the shell does before it
// starts a path; false when a variable is not set (the path cannot be known).
bool ExpandVariables(const std::string& path, IItemsHost& host, std::string& out) {
    out.clear();
    size_t i = 0;
    while (i < path.size()) {
        const size_t open = path.find('%', i);
        const size_t close = open == std::string::npos ? open : path.find('%', open + 1);
        if (close == std::string::npos) {
            out += path.substr(i);  // a lone "%" is part of the name
            break;
        }
        out += path.substr(i, open - i);
        std::string value;
        if (close == open + 1 || !host.EnvironmentVariable(path.substr(open + 1, close - open - 1), value))
            return false;
        out += value;
        i = close + 1;
    }
    return true;
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// The root a full path lies on: "C:\" or "\\server\share\"; "" for a path
// the shell completes by itself (a bare name, "\x", "C:x").
std::string PathRoot(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && IsSlash(path[2]))
        return path.substr(0, 2) + "\\";
    if (path.size() > 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        const size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos || server == 2) return std::string();
        const size_t share = path.find_first_of("\\/", server + 1);
        if (share == server + 1) return std::string();
        return (share == std::string::npos ? path : path.substr(0, share)) + "\\";
    }
    return std::string();
}

constexpr size_t kMaxPath = 260;  // MAX_PATH: what the file functions can be asked about

}  // namespace

FormItemsModel::TargetState FormItemsModel::SweepCheck(const std::string& stored) {
    if (stored.empty()) return TargetState::Missing;
    std::string path;
    if (!ExpandVariables(BarePath(stored), host_, path)) return TargetState::Unchecked;
    if (HasUrlScheme(path) || NameLengthUtf16(path) >= kMaxPath) return TargetState::Unchecked;
    // A drive or share that is not there (a stick, a network) is no proof.
    const std::string root = PathRoot(path);
    if (root.empty() || !DirectoryExists(fs_, root)) return TargetState::Unchecked;
    const bool dirPath = IsSlash(path.back());
    const bool exists = dirPath ? DirectoryExists(fs_, path) : PathExists(fs_, path);
    return exists ? TargetState::Present : TargetState::Missing;
}

void FormItemsModel::BitBtnUndoClick() {
    RestoreFromUndo();
    ResetSelection();
}

void FormItemsModel::BitBtnSweepClick() {
    const SweepResult r = SweepTree(rootTopNode_);
    ResetSelection();
    std::string text = "Sweep removed ";
    text += r.removed == 0 ? std::string("no items")
                           : std::to_string(r.removed) + (r.removed == 1 ? " item" : " items");
    if (r.unchecked > 0)
        text += "; " + std::to_string(r.unchecked) + " it cannot check " + (r.unchecked == 1 ? "was" : "were") +
                " kept";
    ShowStatusText(text);
    MessageTime();
}

void FormItemsModel::BitBtnLaunchClick() {
    if (!selected_ || selected_->data < 0) return;
    const int n = selected_->data;
    ShellOpen(host_.Shell(), m_.Items.PathOf(n), m_.Items.FindItemParams(n), std::string());
}

void FormItemsModel::BitBtnHelpClick() { host_.OpenTarget(m_.ProgramDir + "help.html"); }

// ---------------------------------------------------------------- keyboard

namespace {

struct KeyBinding {
    ItemsKeyPlace place;  // Window: wherever the focus is in the manager
    int key;
    unsigned modifiers;
    ItemsButton FormItemsControls::*button;  // pressed as a click: only while enabled; null for none
    void (FormItemsModel::*handler)();
};

}  // namespace

bool FormItemsModel::KeyDown(ItemsKeyPlace place, int key, unsigned modifiers) {
    using M = FormItemsModel;
    using C = FormItemsControls;
    // What users of Windows tree editors expect; the buttons keep their Alt mnemonics.
    static const KeyBinding kBindings[] = {
        {ItemsKeyPlace::Tree, kKeyDelete, kKeyModNone, &C::BitBtnDelete, &M::BitBtnDeleteClick},
        {ItemsKeyPlace::Tree, kKeyF2, kKeyModNone, nullptr, &M::EditNameKey},
        {ItemsKeyPlace::Tree, 'X', kKeyModCtrl, &C::BitBtnCut, &M::BitBtnCutClick},
        {ItemsKeyPlace::Tree, 'C', kKeyModCtrl, &C::BitBtnCopy, &M::BitBtnCopyClick},
        {ItemsKeyPlace::Tree, 'V', kKeyModCtrl, &C::BitBtnPaste, &M::BitBtnPasteClick},
        {ItemsKeyPlace::Tree, 'Z', kKeyModCtrl, &C::BitBtnUndo, &M::BitBtnUndoClick},
        {ItemsKeyPlace::Window, 'S', kKeyModCtrl, &C::BitBtnSave, &M::BitBtnSaveClick},
        {ItemsKeyPlace::NameField, kKeyReturn, kKeyModNone, nullptr, &M::BackToTreeKey},
    };
    if (key == kKeyEscape && modifiers == kKeyModNone && pressing_) {
        // Esc during a press or drag gives the drag up, and nothing else.
        if (view_) view_->CancelDrag();
        TVItemsMouseUp(true);
        return true;
    }
    for (const KeyBinding& b : kBindings) {
        if (b.key != key || b.modifiers != modifiers) continue;
        if (b.place != ItemsKeyPlace::Window && b.place != place) continue;
        if (!b.button || (Controls.*(b.button)).Enabled) (this->*(b.handler))();
        return true;
    }
    return false;
}

void FormItemsModel::EditNameKey() {
    if (view_ && Controls.EditSName.Enabled) view_->FocusNameField();
}

void FormItemsModel::BackToTreeKey() {
    if (view_) view_->FocusTree();
}

// ---------------------------------------------------------------- showing and closing

bool FormItemsModel::FormCloseQuery() {
    if (asking_) return false;
    FinishRename();
    if (!HasUnsavedEdits()) return true;
    asking_ = true;
    int answer = kMrCancel;
    try {
        answer = host_.MessageUI().Dialog(m_.ProductTitle, kMsgSaveQuestion, DialogType::Confirmation,
                                          kBtnYes | kBtnNo | kBtnCancel, 0);
    } catch (...) {
        asking_ = false;
        throw;
    }
    asking_ = false;
    if (answer == kMrNo) return true;
    if (answer != kMrYes) return false;
    BitBtnSaveClick();
    // A failed save keeps the window and the edits; the status line says why.
    return !HasUnsavedEdits();
}

namespace {

// The nodes of a level that a save writes: after its top node, up to the
// first program node.
std::vector<const TreeNode*> WrittenNodes(const TreeNode& parent) {
    std::vector<const TreeNode*> out;
    for (int i = 0; i < parent.Count(); ++i) {
        const TreeNode* n = parent.Child(i);
        if (IsProgramNode(n)) break;
        if (!IsTopNode(n)) out.push_back(n);
    }
    return out;
}

}  // namespace

bool FormItemsModel::HasUnsavedEdits() const {
    if (undoOwed_) return false;  // the undo copy is still to be made: nothing was edited
    const ItemTable& table = m_.Items;
    auto savedParams = [&](int number) {
        const int at = table.paramNumbers.IndexOf(std::to_string(number));
        return at >= 0 && at < static_cast<int>(undoParams_.size()) ? undoParams_[static_cast<size_t>(at)]
                                                                     : std::string();
    };
    std::vector<std::pair<const TreeNode*, const TreeNode*>> levels{{&m_.TVItems.Root(), &m_.TVUndo.Root()}};
    while (!levels.empty()) {
        const auto level = levels.back();
        levels.pop_back();
        const std::vector<const TreeNode*> now = WrittenNodes(*level.first);
        const std::vector<const TreeNode*> then = WrittenNodes(*level.second);
        if (now.size() != then.size()) return true;
        for (size_t i = 0; i < now.size(); ++i) {
            const TreeNode* a = now[i];
            const TreeNode* b = then[i];
            if (a->text != b->text || IsFolderNode(a) != IsFolderNode(b) || IsSeparatorNode(a) != IsSeparatorNode(b) ||
                HasItemNumber(a) != HasItemNumber(b))
                return true;
            if (IsFolderNode(a)) {
                levels.push_back({a, b});
            } else if (HasItemNumber(a)) {
                if (a->imageIndex != b->imageIndex || table.PathOf(a->data) != table.PathOf(b->data) ||
                    table.FindItemParams(a->data) != savedParams(b->data))
                    return true;
            }
        }
    }
    return false;
}

void FormItemsModel::FormShow() {
    shown_ = true;
    if (undoOwed_) MakeUndoCopy();
    Select(m_.TVItems.First());
}

void FormItemsModel::FormClose() {
    shown_ = false;
    if (saved_) {
        saved_ = false;
        RestoreFromUndo();
        if (view_) view_->HideWindow();
        changeAttached_ = false;
        host_.RebuildItemMenus();
        changeAttached_ = true;
    } else {
        RestoreFromUndo();
    }
    ResetSelection();
}

// ---------------------------------------------------------------- tree edits

void FormItemsModel::RemoveNode(TreeNode* node) {
    if (!node || !node->Parent()) return;
    if (view_) view_->NodeDeleting(node);
    for (TreeNode** p : {&selected_, &clipboard_, &dragSource_, &expandCandidate_, &rootTopNode_, &renameNode_})
        if (*p && IsInSubtree(*p, node)) *p = nullptr;
    TreeModel::Delete(node);
}

void FormItemsModel::MoveAfter(TreeNode* node, TreeNode* target) {
    if (!node || !target || node == target || IsInSubtree(target, node)) return;
    if (view_) view_->NodeDeleting(node);
    TreeNode* from = node->Parent();
    std::unique_ptr<TreeNode> taken = from->TakeChild(TreeModel::IndexOf(node));
    TreeNode* to = target->Parent();
    TreeNode* moved = to->AdoptChild(TreeModel::IndexOf(target) + 1, std::move(taken));
    Notify(&IItemsTreeView::NodeInserted, moved);
}

TreeNode* FormItemsModel::InsertAfterSelection(const std::string& text) {
    if (!selected_ || !selected_->Parent()) return nullptr;
    TreeNode* parent = selected_->Parent();
    TreeNode* node = parent->InsertChild(TreeModel::IndexOf(selected_) + 1);
    node->text = text;
    Notify(&IItemsTreeView::NodeInserted, node);
    return node;
}

// ---------------------------------------------------------------- adding

bool& FormItemsModel::ModeChecked(AddMode mode) {
    switch (mode) {
        case AddMode::File: return Controls.RBFile;
        case AddMode::Directory: return Controls.RBFileDirectory;
        case AddMode::Separator: return Controls.RBSeparator;
        case AddMode::Folder: break;
    }
    return Controls.RBFolder;
}

void FormItemsModel::LeaveMode() {
    FormItemsControls& c = Controls;
    const std::string& text = c.MemoAddName;
    if (c.RBFile) fileText_ = chosenFile_.empty() ? std::string() : text;
    if (c.RBFileDirectory) dirText_ = chosenDir_.empty() ? std::string() : text;
    if (c.RBSeparator) sepText_ = text;
    if (c.RBFolder) folderText_ = text;
    c.RBFile = c.RBFileDirectory = c.RBSeparator = c.RBFolder = false;
}

void FormItemsModel::EnableAttachUnlessProgram() {
    // Setting the flag never disables the button.
    if (selected_ && !IsProgramNode(selected_)) Controls.BitBtnAttach.Enabled = true;
}

namespace {
std::string ExtensionLabel(const std::string& path) {
    const std::string ext = AsciiLower(PathExtension(path));
    return "Item (" + (ext.empty() ? ext : ext.substr(1)) + ") Text";
}
}  // namespace

void FormItemsModel::RBFolderEnter(AddMode mode) {
    FormItemsControls& c = Controls;
    if (ModeChecked(mode)) return;
    switch (mode) {
        case AddMode::File:
        case AddMode::Directory: {
            const bool file = mode == AddMode::File;
            LeaveMode();
            c.BitBtnFind.Enabled = true;
            const std::string& chosen = file ? chosenFile_ : chosenDir_;
            if (!chosen.empty()) {
                c.LabelItemText = file ? ExtensionLabel(chosen) : "Item (directory) Text";
                c.BitBtnAttach.Tag = 1;
                EnableAttachUnlessProgram();
                c.MemoAddName = file ? fileText_ : dirText_;
            } else {
                c.BitBtnAttach.Enabled = false;
                c.BitBtnAttach.Tag = 0;
                c.LabelItemText = "Item Text";
                c.MemoAddName.clear();
            }
            break;
        }
        case AddMode::Separator:
        case AddMode::Folder: {
            const bool folder = mode == AddMode::Folder;
            c.BitBtnFind.Enabled = false;
            c.BitBtnAttach.Tag = 1;
            EnableAttachUnlessProgram();
            c.LabelItemText = folder ? "Item (Folder) Text" : "Item (Separator) Text";
            LeaveMode();
            c.MemoAddName = folder ? folderText_ : sepText_;
            break;
        }
    }
    ModeChecked(mode) = true;
}

void FormItemsModel::BitBtnFindClick() {
    FormItemsControls& c = Controls;
    if (c.RBFile) {
        try {
            std::string file;
            if (host_.OpenDialogAdd(file)) {
                c.BitBtnAttach.Tag = 1;
                chosenFile_ = file;
                c.MemoAddName = RemoveExtension(FileNamePart(file));
                c.LabelItemText = ExtensionLabel(file);
                UpdateButtons();
            }
        } catch (...) {
            // A dialog that failed changes nothing.
        }
    } else {
        std::string dir;
        if (host_.BrowseForFolder(m_.ProductTitle, dir)) {
            c.BitBtnAttach.Tag = 1;
            chosenDir_ = dir;
            const std::string last = FileNamePart(WithoutTrailingBackslash(dir));
            c.MemoAddName = last.empty() ? dir : RemoveExtension(last);
            c.LabelItemText = "Item (directory) Text";
            UpdateButtons();
        }
    }
    if (!m_.settings.WindowsDraw && view_) view_->RepaintCaption();
}

void FormItemsModel::BitBtnAttachClick() {
    FormItemsControls& c = Controls;
    if (!selected_ || IsProgramNode(selected_)) return;
    std::string text = CleanItemText(c.MemoAddName);
    c.MemoAddName = text;
    TreeNode* node = nullptr;
    ItemTable& table = m_.Items;
    if (c.RBSeparator) {
        sepText_.clear();
        // A caption holds no dash (the name field's rule; selecting the new
        // node no longer runs that rule over it).
        const bool plain = IsAllDashes(text);
        std::string caption = text;
        caption.erase(std::remove(caption.begin(), caption.end(), '-'), caption.end());
        node = InsertAfterSelection(plain ? std::string(kPlainSeparatorText) : CaptionedSeparatorText(caption));
        if (!node) return;
        node->data = -1;
        node->imageIndex = node->selectedIndex = plain ? kPicturePlainSeparator : kPictureCaptionedSeparator;
    } else if (c.RBFolder) {
        text = TrimBlanks(text);
        const std::string refusal = FolderNameRefusal(selected_, text, DuplicateMode::Inclusive);
        if (!refusal.empty()) {
            host_.PlaySoundFile(kChord);
            FolderRefusal(refusal);
            attachRefused_ = true;
            return;
        }
        node = InsertAfterSelection(text);
        if (!node) return;
        node->data = -1;
        node->imageIndex = node->selectedIndex = kPictureFolder;
        TreeNode* top = node->AppendChild();
        top->imageIndex = top->selectedIndex = kPictureTopNode;
        folderText_.clear();
        Notify(&IItemsTreeView::NodeChanged, node);  // it has a child now
    } else if (c.RBFileDirectory) {
        if (chosenDir_.empty()) return;
        node = InsertAfterSelection(text);
        if (!node) return;
        node->data = table.AddOtherLink(chosenDir_);
        node->imageIndex = node->selectedIndex = kPictureDirectory;
        c.BitBtnAttach.Tag = 0;
        c.BitBtnAttach.Enabled = false;
        chosenDir_.clear();
        dirText_.clear();
    } else {
        if (chosenFile_.empty()) return;
        if (m_.Pictures) m_.Pictures->AddShellIcon(chosenFile_, -1, false);
        node = InsertAfterSelection(text);
        if (!node) return;
        const bool program = IsExecutableExtension(chosenFile_) || IsRunableExtension(chosenFile_);
        node->data = program ? table.AddProgramLink(chosenFile_, std::string()) : table.AddOtherLink(chosenFile_);
        ++m_.TVItems.tag;
        node->imageIndex = node->selectedIndex = m_.PictureMarks.IconBase() + m_.TVItems.tag;
        c.BitBtnAttach.Tag = 0;
        c.BitBtnAttach.Enabled = false;
        chosenFile_.clear();
        fileText_.clear();
    }
    Notify(&IItemsTreeView::NodeChanged, node);
    Select(node);
    c.LabelItemText = "Item Text";
    c.MemoAddName.clear();
}

// ---------------------------------------------------------------- clipboard

void FormItemsModel::BitBtnCopyClick() {
    if (!selected_) return;
    if (clipboard_ && clipboard_->cut) {
        clipboard_->cut = false;
        Notify(&IItemsTreeView::NodeChanged, clipboard_);
    }
    clipboard_ = selected_;
    UpdateButtons();
}

void FormItemsModel::BitBtnCutClick() {
    if (!selected_) return;
    if (clipboard_ && clipboard_->cut) {
        clipboard_->cut = false;
        Notify(&IItemsTreeView::NodeChanged, clipboard_);
    }
    selected_->cut = true;
    clipboard_ = selected_;
    Notify(&IItemsTreeView::NodeChanged, clipboard_);
    UpdateButtons();
}

void FormItemsModel::BitBtnPasteClick() {
    if (!selected_ || !clipboard_) return;
    if (clipboard_->cut) {
        TreeNode* node = clipboard_;
        node->cut = false;
        clipboard_ = nullptr;
        MoveAfter(node, selected_);
        Select(node);
    } else {
        TreeNode* node = InsertAfterSelection(clipboard_->text);
        if (!node) return;
        node->imageIndex = clipboard_->imageIndex;
        node->selectedIndex = clipboard_->selectedIndex;
        node->data = clipboard_->data;
        if (HasItemNumber(clipboard_)) {
            // A copy is an item of its own: a number of its own, with the path
            // and parameters as they stand, so that editing one leaves the other.
            node->data = m_.Items.CopyItem(clipboard_->data);
            // And the picture an item owns (a saved icon or one added here) is
            // copied too; pictures of a type stay shared like every document's.
            const PictureBookkeeping& bk = m_.PictureMarks;
            const int picture = clipboard_->imageIndex;
            const bool own = picture > bk.break4 && picture != bk.break5;
            if (own && m_.Pictures && m_.Pictures->AppendCopy(picture)) {
                ++m_.TVItems.tag;
                node->imageIndex = node->selectedIndex = bk.IconBase() + m_.TVItems.tag;
            }
        }
        Notify(&IItemsTreeView::NodeChanged, node);
        Select(node);
    }
    UpdateButtons();
}

void FormItemsModel::BitBtnDeleteClick() {
    if (!selected_ || !IsMovableNode(selected_)) return;
    if (clipboard_ && IsInSubtree(clipboard_, selected_)) clipboard_ = nullptr;
    RemoveNode(selected_);
    UpdateButtons();
}

// ---------------------------------------------------------------- drag and drop

void FormItemsModel::TVItemsMouseDown(bool left, int x, int y) {
    if (!left) return;
    dragSource_ = view_ ? view_->NodeAt(x, y) : nullptr;
    pressing_ = dragSource_ && IsMovableNode(dragSource_);
    if (pressing_) {
        Controls.TimerDrag.Enabled = true;
        ++Controls.TimerDrag.Starts;
    }
}

void FormItemsModel::TimerDragTimer() {
    Controls.TimerDrag.Enabled = false;
    if (dragSource_ && view_) view_->BeginDrag(dragSource_);
}

void FormItemsModel::TVItemsMouseUp(bool left) {
    if (!left) return;
    pressing_ = false;
    repaints_ = 0;
    Controls.TimerDrag.Enabled = false;
    Controls.TimerExpand.Enabled = false;
}

bool FormItemsModel::TVItemsDragOver(int x, int y, bool accept) {
    TreeNode* node = view_ ? view_->NodeAt(x, y) : nullptr;
    if (node) accept = !IsProgramNode(node) && CanPlaceNode(dragSource_, node);
    if (node != expandCandidate_) Controls.TimerExpand.Enabled = false;
    if (node && IsFolderNode(node) && accept) {
        if (!Controls.TimerExpand.Enabled) {
            Controls.TimerExpand.Enabled = true;
            ++Controls.TimerExpand.Starts;
            expandCandidate_ = node;
        } else if (repaints_ <= 9) {
            // The tree control leaves traces of the drag image around an
            // opening folder; a few repaints wipe them.
            ++repaints_;
            Notify(&IItemsTreeView::NodeChanged, expandCandidate_->FirstChild());
            if (TreeNode* next = TreeModel::NextSibling(expandCandidate_)) Notify(&IItemsTreeView::NodeChanged, next);
        }
    }
    return accept;
}

void FormItemsModel::TimerExpandTimer() {
    if (expandCandidate_ && view_ && !view_->IsExpanded(expandCandidate_)) {
        Select(expandCandidate_);
        view_->Expand(expandCandidate_);
    }
    Controls.TimerExpand.Enabled = false;
}

void FormItemsModel::TVItemsDragDrop(int x, int y) {
    TreeNode* node = view_ ? view_->NodeAt(x, y) : nullptr;
    if (!node || !dragSource_) return;
    TreeNode* moved = dragSource_;
    MoveAfter(moved, node);
    Select(moved);
}

void FormItemsModel::TVItemsDropFiles(const std::string& fullPath, int x, int y) {
    TreeNode* node = view_ ? view_->NodeAt(x, y) : nullptr;
    if (!node || IsProgramNode(node)) {
        host_.PlaySoundFile(kChord);
        ShowStatusText(kMsgDropOnProgram);
        MessageTime();
        return;
    }
    std::string params;
    std::string path = fullPath;
    std::string extension = AsciiLower(PathExtension(path));
    bool lostBar = false;
    if (extension == ".lnk") {
        std::string args, target;
        if (host_.ResolveShellLink(fullPath, args, target)) {
            // The item list cannot hold "|" nor a line break: the arguments are
            // stored without them from the start, so that what the field shows
            // now is what a save keeps.
            lostBar = args.find('|') != std::string::npos;
            args.erase(std::remove_if(args.begin(), args.end(),
                                      [](char c) { return c == '|' || c == '\r' || c == '\n'; }),
                       args.end());
            params = args;
            path = fs_.LongPath(target);
            extension = PathExtension(path);
        } else {
            params.clear();
            path.clear();
            extension.clear();
        }
    }
    ItemTable& table = m_.Items;
    const bool program = IsExecutableExtension(extension) || IsRunableExtension(extension);
    const int number = program ? table.AddProgramLink(path, params) : table.AddOtherLink(path);
    int image;
    if (extension.empty() && DirectoryExists(fs_, path)) {
        image = kPictureDirectory;
    } else {
        if (m_.Pictures) m_.Pictures->AddShellIcon(path, -1, false);
        ++m_.TVItems.tag;
        image = m_.PictureMarks.IconBase() + m_.TVItems.tag;
    }
    TreeNode* created = node->Parent()->InsertChild(TreeModel::IndexOf(node) + 1);
    created->text = RemoveExtension(FileNamePart(path));
    created->imageIndex = created->selectedIndex = image;
    created->data = number;
    Notify(&IItemsTreeView::NodeInserted, created);
    Select(created);
    if (lostBar) {
        ShowStatusText(kMsgArgumentsLostBar + params);
        MessageTime();
    }
}

}  // namespace pv
