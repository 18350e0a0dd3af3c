#pragma once
// The manager window's behaviour without a window: the kind rules of the
// working tree's nodes, the properties panel, the name and parameters fields,
// the command buttons' rules, the status line, saving, undo, sweep, showing and
// closing. Everything acts on the application model's trees and item table and
// on a plain model of the window's controls (FormItemsControls); the Win32
// window mirrors those into its controls and forwards its events here.

#include <cstdint>
#include <string>
#include <vector>

#include "model/AppModel.h"
#include "support/Platform.h"

namespace pv {

// The sound of a refused edit or a failed save, relative to the Windows folder.
inline constexpr const char* kChord = "media\\chord.wav";

// ---------------------------------------------------------------- node kinds

bool IsTopNode(const TreeNode* node);
bool IsProgramNode(const TreeNode* node);
bool IsFolderNode(const TreeNode* node);
bool IsSeparatorNode(const TreeNode* node);
bool IsPlainSeparatorNode(const TreeNode* node);
bool HasItemNumber(const TreeNode* node);
// Neither a top node nor a program node: cut, delete and drag may start from it.
bool IsMovableNode(const TreeNode* node);

// ".exe", ".com" (executable) and ".bat", ".cmd", ".wsf", ".wsh" (runable), in
// any letter case, on a path or a bare extension; an empty text is neither.
bool IsExecutableExtension(const std::string& pathOrExtension);
bool IsRunableExtension(const std::string& pathOrExtension);
// The same on a node with an item number (its path from the table), else on text.
bool IsExecutableItem(const TreeNode* node, const ItemTable& table, const std::string& text = std::string());
bool IsRunableItem(const TreeNode* node, const ItemTable& table, const std::string& text = std::string());

// The label LblFType shows for a node ("Item Type: Virtual item", ...).
std::string ItemTypeLabel(const TreeNode* node, const ItemTable& table);

bool IsAllDashes(const std::string& text);
// The text without its first two and its last two characters.
std::string SeparatorCaption(const std::string& text);
// None of \ / : * ? " < > occurs in the text.
bool IsValidFolderName(const std::string& text);
// A name Windows refuses or changes as a directory name: a device name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9, LPT1-LPT9, with or without an
// extension, any letter case), or a name ending in a dot or a space.
bool IsReservedFolderName(const std::string& text);
// Text typed for an item loses every "^" and "|" (the record delimiters) and
// every line break (a record is one line).
std::string CleanItemText(const std::string& text);
// Leading and trailing blanks and control characters removed.
std::string TrimBlanks(const std::string& text);

enum class DuplicateMode { Inclusive, Exclusive };
// A refusal that more typing may still mend ("Game " on the way to "Game T",
// "NUL" to "NULL"): not shown while the name is typed, only when it is taken.
bool IsPrematureRefusal(const std::string& refusal);
// Whether text matches (trimmed, in any letter case, also beyond ASCII) a node
// of node's level: backwards from the node (inclusive) or its previous sibling
// (exclusive), then forwards up to the first program node.
bool HasDuplicateAtLevel(const TreeNode* node, const std::string& text, DuplicateMode mode);
// The node is the folder or lies anywhere below it.
bool IsInSubtree(const TreeNode* node, const TreeNode* folder);

// ---------------------------------------------------------------- folder names
//
// A folder's name is also the name of its directory in the store, so it must be
// one that Windows takes and that the store's own files leave free. Each check
// returns the status text that says why a name is refused, "" when it is not.

// The name alone: not empty and not starting with a blank, none of
// \ / : * ? " < > and no control character, no device name, no trailing dot
// or space, at most 255 characters (as Windows counts them).
std::string FolderNameTextRefusal(const std::string& name);
// The name at a place: node is the folder renamed (exclusive mode) or the node
// a new or moved folder lands after (inclusive mode), as for
// HasDuplicateAtLevel. Refused: the level's own files (its index file, the
// icon bitmaps its executable items get), a directory path below storeDir
// ("...\shortcuts", no trailing backslash) too long for the folder's own index
// file, counted down to the deepest folder inside `contents` (the folder whose
// entries come along, or null), and a duplicate at the level.
std::string FolderPlaceRefusal(const std::string& name, const TreeNode* node, DuplicateMode mode,
                               const std::string& storeDir, const ItemTable& table, const TreeNode* contents);
// Both, the name's own checks first.
std::string FolderNameRefusal(const std::string& name, const TreeNode* node, DuplicateMode mode,
                              const std::string& storeDir, const ItemTable& table, const TreeNode* contents);
// The longest directory path a folder may have (its index file must fit in 259).
constexpr size_t kMaxFolderPath = 259 - 14;

// ---------------------------------------------------------------- messages

extern const char* const kMsgFolderNeedsName;      // "The folder has to have a name"
extern const char* const kMsgFolderBadChars;       // "The folder name can not contain: ..."
extern const char* const kMsgFolderReserved;       // device names, trailing dot or space
extern const char* const kMsgFolderControlChars;   // Tab and the other control characters
extern const char* const kMsgFolderTooLong;        // a component of more than 255 characters
extern const char* const kMsgFolderIndexName;      // "shortcuts.txt"
extern const char* const kMsgFolderDuplicate;      // "The folder name may not be duplicated ..."
extern const char* const kMsgFolderIntoOwn;        // "The folder may not be dropped on a subitem of its own"
extern const char* const kMsgReady;                // "Ready"
extern const char* const kMsgSaveOk;               // "Save succesful!"
extern const char* const kMsgSaveFailed;           // "Save unsuccesful! "
extern const char* const kMsgDropOnProgram;        // "You can not drop items on following type: ..."
extern const char* const kMsgSaveQuestion;         // asked when the manager closes with unsaved edits
// What the status line says when a refused name is taken back.
std::string FolderKeepsName(const std::string& refusal, const std::string& name);
extern const char* const kMsgArgumentsLostBar;     // a dropped shortcut's arguments without their "|"
extern const char* const kMsgBackupUnresolved;     // after the data directory: item_bak left unanswered
extern const char* const kMsgNoBackups;            // Restore... without a backup to restore

// The long part of a control's hint (the text after "|"), "" for none.
std::string LongHint(const std::string& hint);

// ---------------------------------------------------------------- controls

struct ItemsEdit {
    std::string Text;
    bool Enabled = true;
};

struct ItemsButton {
    std::string Caption;
    bool Enabled = true;
    int Tag = 0;
};

struct ItemsTimer {
    int Interval = 100;
    bool Enabled = false;
    unsigned Starts = 0;  // counts each switching on: a new start restarts the interval
};

// What the window shows, control by control. The window reads nothing back
// but what the user changed.
struct FormItemsControls {
    FormItemsControls();

    // properties panel
    int ImgFType = -1;                 // picture from ILAllPublicPM, -1 none
    bool ImgFTypeMenuColour = false;   // background: menu colour (else button face)
    ItemsEdit EditSName;
    std::string LblFType;
    std::string RichEditFPath;
    std::string RichEditFName;
    ItemsEdit EditSParams;

    // adding
    bool RBFile = true;
    bool RBFileDirectory = false;
    bool RBSeparator = false;
    bool RBFolder = false;
    std::string LabelItemText = "Item Text:";
    std::string MemoAddName;
    ItemsButton BitBtnFind{"Find..", true, 0};
    ItemsButton BitBtnAttach{"Attach", false, 0};  // Tag: the attach-ready flag

    // commands
    ItemsButton BitBtnSweep{"&Sweep", true, 0};
    ItemsButton BitBtnUndo{"&Undo", true, 0};
    ItemsButton BitBtnCut{"&Cut", false, 0};
    ItemsButton BitBtnCopy{"C&opy", false, 0};
    ItemsButton BitBtnPaste{"&Paste", false, 0};
    ItemsButton BitBtnDelete{"&Delete", false, 0};
    ItemsButton BitBtnSave{"S&ave", true, 0};
    ItemsButton BitBtnClose{"C&lose", true, 0};
    ItemsButton BitBtnLaunch{"&Launch", false, 0};
    ItemsButton BitBtnHelp{"&Help", true, 0};
    ItemsButton BitBtnRestore{"&Restore...", true, 0};

    std::string StatusBarHelp = "Ready";
    ItemsTimer TimerStatusText{100, true};
    ItemsTimer TimerDrag{150, false};
    ItemsTimer TimerExpand{400, false};
};

// The four kinds of entry the adding controls make.
enum class AddMode { File, Directory, Separator, Folder };

// Where a key went: the tree, the name field, or any control of the window.
enum class ItemsKeyPlace { Tree, NameField, Window };
// Key codes, the values of Win32's virtual keys; letters are their capitals.
enum ItemsKeyCode : int { kKeyReturn = 0x0D, kKeyEscape = 0x1B, kKeyDelete = 0x2E, kKeyF2 = 0x71 };
enum ItemsKeyModifier : unsigned { kKeyModNone = 0, kKeyModCtrl = 1u << 0, kKeyModShift = 1u << 1, kKeyModAlt = 1u << 2 };

// Controls whose hints feed the status line.
enum class ItemsControl {
    None,
    PanelHeadProp, ImageDesProp, LblFType, ImgFType, EditSName, RichEditFName, RichEditFPath,
    EditSParams, RichEditFParams, PanelHeadAdmin, ImageDesAdmin, BitBtnFind, BitBtnAttach, BitBtnCopy,
    BitBtnCut, BitBtnDelete, BitBtnPaste, BitBtnUndo, BitBtnSave, MemoAddName, RBFile, RBFileDirectory,
    RBSeparator, RBFolder, BitBtnSweep, BitBtnClose, BitBtnHelp, BitBtnLaunch, BitBtnRestore,
};
// The hint as stored: "|" + its text, or "" for a control without one.
std::string HintOf(ItemsControl control);

// The texts a control of the window can show, for a layout that makes room for
// the longest: every fixed text of the status line (hints and messages), every
// item type label, and the item-text label's fixed forms.
std::vector<std::string> StatusLineTexts();
std::vector<std::string> ItemTypeLabels();
std::vector<std::string> ItemTextLabels();

// ---------------------------------------------------------------- what the window and the program provide

// The tree view, kept in step with TVItems one change at a time.
class IItemsTreeView {
public:
    virtual ~IItemsTreeView() = default;
    virtual void TreeReset() = 0;                       // TVItems was replaced as a whole
    virtual void NodeInserted(TreeNode* node) = 0;      // with its subtree, at its place
    virtual void NodeDeleting(TreeNode* node) = 0;      // with its subtree, before it goes
    virtual void NodeChanged(TreeNode* node) = 0;       // text, pictures or cut mark
    virtual void NodeSelected(TreeNode* node) = 0;      // select it (and show it)
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void HideWindow() = 0;
    // The node under a point of the tree's client area, or null (hit test).
    virtual TreeNode* NodeAt(int x, int y) = 0;
    virtual bool IsExpanded(TreeNode* node) = 0;
    virtual void Expand(TreeNode* node) = 0;  // one level
    // Starts the tree's drag once the pointer has moved 8 pixels.
    virtual void BeginDrag(TreeNode* source) = 0;
    // The title painted again (when the program paints titles).
    virtual void RepaintCaption() = 0;
    // The keyboard focus to the name field with its whole text selected, or back to the tree.
    virtual void FocusNameField() = 0;
    virtual void FocusTree() = 0;
    // The press or drag in the tree given up: capture and drag image released, nothing moved.
    virtual void CancelDrag() = 0;
};

// The rest of the program, as the manager reaches it.
class IItemsHost {
public:
    virtual ~IItemsHost() = default;
    // One of the system's sounds, by its name below the Windows directory.
    virtual void PlaySoundFile(const std::string& name) = 0;
    // A line in the error log (the user is shown the log's path); may throw.
    virtual void WriteErrorLog(const std::string& text) = 0;
    // The tray menu, tree, item table and pictures loaded again from the store.
    virtual void RebuildItemMenus() = 0;
    // A document or web address opened, with the program's message on failure.
    virtual void OpenTarget(const std::string& target) = 0;
    virtual IShell& Shell() = 0;
    // OpenDialogAdd: true and the chosen file when the user confirmed.
    virtual bool OpenDialogAdd(std::string& file) = 0;
    // BrowseForFolder with a title and no starting directory.
    virtual bool BrowseForFolder(const std::string& title, std::string& directory) = 0;
    // A shortcut's arguments and target; false when it cannot be resolved.
    virtual bool ResolveShellLink(const std::string& link, std::string& arguments, std::string& target) = 0;
    // Questions to the user, owned by the manager's window.
    virtual IMessageUI& MessageUI() = 0;
    // An environment variable's value; false when it is not set.
    virtual bool EnvironmentVariable(const std::string& name, std::string& value) = 0;
    // The local time, which names the backup a save keeps.
    virtual LocalTime Now() = 0;
    // The Restore list: the index of the backup the user chose, -1 for none.
    virtual int ChooseBackup(const std::vector<std::string>& labels) = 0;
};

// ---------------------------------------------------------------- the window's behaviour

class FormItemsModel {
public:
    FormItemsModel(AppModel& model, IFileSystem& fs, IItemsHost& host);

    FormItemsControls Controls;
    void SetView(IItemsTreeView* view) { view_ = view; }

    // ---- state
    TreeNode* Selected() const { return selected_; }
    TreeNode* RootTopNode() const { return rootTopNode_; }
    TreeNode* ClipboardNode() const { return clipboard_; }
    bool SavedFlag() const { return saved_; }
    bool TreeChangeAttached() const { return changeAttached_; }
    void AttachTreeChange(bool attach) { changeAttached_ = attach; }

    // ---- tree events
    // The working tree was loaded anew (start-up, rebuild): the view refills.
    // undoCopyMade false: the load left TVUndo to the manager, which copies
    // the tree when it is first shown (or at once, when it is showing): a
    // manager never opened costs no second tree.
    void TreeReloaded(bool undoCopyMade = true);
    // Selects a node as the tree control does: the change handler runs when attached.
    void Select(TreeNode* node);
    // The node of a link's item number selected, as a click in the tree would
    // (a link's context menu in the tray menu asks for it); false, the
    // selection as it was, when the working tree holds no such link.
    bool SelectItem(int itemNumber);
    // The user selected node in the tree control.
    void TreeSelectionChanged(TreeNode* node);
    void TVItemsChange(TreeNode* node);
    void TVItemsExpanded(TreeNode* node);
    void TVItemsCollapsed(TreeNode* node);

    // ---- properties panel
    void RefreshProperties(TreeNode* node);
    // The user changed a field (or a handler set it): the change rules run when
    // the text differs.
    void SetEditSNameText(const std::string& text);
    void SetEditSParamsText(const std::string& text);
    void EditSNameChange();
    void EditSParamsChange();
    // The name field lost the keyboard focus: a refused folder name is taken
    // back (the field shows the folder's name again) and the status line says so.
    void EditSNameExit();
    void UpdateButtons();

    // ---- status line
    void ShowStatusText(const std::string& text);
    void MessageTime();  // the status line keeps a message for 4750 ms
    void TimerStatusText();
    // The application's hint changed while the window is active.
    void ApplicationHint(const std::string& hint);

    // Placement of a moved node after target (may show a refusal).
    bool CanPlaceNode(TreeNode* moved, TreeNode* target);
    // Why name cannot be given to a folder: the folder node itself when it is
    // renamed (exclusive mode), or the node a new folder goes after (inclusive
    // mode). "" when the name is fine. Shows nothing.
    std::string FolderNameRefusal(const TreeNode* node, const std::string& name, DuplicateMode mode) const;

    // Alt+key, or the key alone on a button: when more than one button's
    // caption marks key with "&", the enabled one after `focused` in the
    // window's order (round to the first) gets the focus and none is pressed,
    // as dialogs do with a mnemonic used twice. None when key marks one button
    // or none: the dialog manager presses that one as usual.
    ItemsControl MnemonicTarget(char key, ItemsControl focused) const;

    // ---- commands
    void BitBtnSaveClick();
    void BitBtnUndoClick();
    void BitBtnSweepClick();
    void RestoreFromUndo();
    void ResetSelection();
    // Entries removed, and entries left because their target cannot be checked
    // here (relative names, unset variables, web addresses, absent drives, long paths).
    struct SweepResult {
        int removed = 0;
        int unchecked = 0;
    };
    SweepResult SweepTree(TreeNode* rootTopNode);
    void BitBtnLaunchClick();
    void BitBtnHelpClick();
    // Lists the backups of D + "backups" for the user; the chosen one replaces
    // the working tree's entries (RestoreBackup).
    void BitBtnRestoreClick();
    // The store in backupDir read into the working tree in place of its
    // entries, as one edit: Undo takes it back, only Save writes it. label
    // names it in the status line. False (nothing changed) when its root index
    // file cannot be read.
    bool RestoreBackup(const std::string& backupDir, const std::string& label);

    // ---- adding
    void RBFolderEnter(AddMode mode);
    void BitBtnFindClick();
    void BitBtnAttachClick();
    // A node with text directly after the selected node, at its level.
    TreeNode* InsertAfterSelection(const std::string& text);
    void SetMemoAddNameText(const std::string& text);
    const std::string& ChosenFile() const { return chosenFile_; }
    const std::string& ChosenDirectory() const { return chosenDir_; }

    // ---- clipboard
    void BitBtnCutClick();
    void BitBtnCopyClick();
    void BitBtnPasteClick();
    void BitBtnDeleteClick();

    // ---- drag and drop (left button only; client coordinates)
    void TVItemsMouseDown(bool left, int x, int y);
    void TVItemsMouseUp(bool left);
    void TimerDragTimer();
    // Returns whether the node under (x, y) accepts the dragged one; accept is
    // the platform's answer over empty space.
    bool TVItemsDragOver(int x, int y, bool accept);
    void TimerExpandTimer();
    void TVItemsDragDrop(int x, int y);
    void TVItemsDropFiles(const std::string& fullPath, int x, int y);
    TreeNode* DragSource() const { return dragSource_; }
    TreeNode* ExpandCandidate() const { return expandCandidate_; }
    int RepaintCounter() const { return repaints_; }

    // ---- keyboard: a key pressed at a place, with its modifiers; true when
    // it was taken (nothing else may act on it then).
    bool KeyDown(ItemsKeyPlace place, int key, unsigned modifiers);

    // ---- window
    void FormShow();
    // Whether the window may close: with unsaved edits the user is asked
    // whether to save them (Yes saves, No drops them, Cancel keeps it open).
    bool FormCloseQuery();
    void FormClose();
    // What Save would write differs from what the last load or save wrote.
    bool HasUnsavedEdits() const;

    // ---- saving, in parts
    // Writes the level that starts at `first` (a top node) into dir (no
    // trailing backslash): its index file, and through WriteNodes its folders
    // and icon bitmaps. Throws on any failure.
    void WriteLevel(const TreeNode* first, const std::string& dir);
    void WriteNodes(const TreeNode* node, const std::string& dir, std::string& index);

private:
    void Notify(void (IItemsTreeView::*f)(TreeNode*), TreeNode* n) {
        if (view_) (view_->*f)(n);
    }
    void FolderRefusal(const std::string& message);
    // Ends the rename of the folder the name field holds: a name that may not
    // be taken goes back to the folder's own; false when it had to.
    bool FinishRename();
    void EditNameKey();
    void BackToTreeKey();
    void ClearRefusal();
    void SnapshotParams();
    // What Sweep knows of an item's target: there, plainly missing, or not to
    // be checked from here (the item stays).
    enum class TargetState { Present, Missing, Unchecked };
    TargetState SweepCheck(const std::string& path);
    // Moves node with its subtree to directly after target, at target's level.
    void MoveAfter(TreeNode* node, TreeNode* target);
    // Removes node with its subtree; nothing keeps pointing at it.
    void RemoveNode(TreeNode* node);
    void LeaveMode();
    bool& ModeChecked(AddMode mode);
    void EnableAttachUnlessProgram();
    // Save: true when written and committed; false with the reason otherwise.
    bool SaveStore(std::string& reason);
    void PutBackPreviousStore(std::string& reason);

    AppModel& m_;
    IFileSystem& fs_;
    IItemsHost& host_;
    IItemsTreeView* view_ = nullptr;

    TreeNode* selected_ = nullptr;
    TreeNode* rootTopNode_ = nullptr;
    TreeNode* clipboard_ = nullptr;
    bool saved_ = false;
    bool shown_ = false;
    bool undoOwed_ = false;  // TVUndo is still to be copied from TVItems
    void MakeUndoCopy();
    bool changeAttached_ = false;
    bool inNameChange_ = false;
    bool inParamsChange_ = false;
    // The folder the name field renames, and its name before the rename.
    TreeNode* renameNode_ = nullptr;
    std::string renameFrom_;
    std::string pendingRefusal_;  // kept in the status line while the field holds it
    std::string setBack_;         // the last "keeps its name" message
    bool attachRefused_ = false;  // the status line shows an attach's folder refusal
    bool pressing_ = false;       // a left press in the tree that may become a drag
    bool asking_ = false;         // the save question is open
    // The parameter table as the undo copy knows it (by pair index).
    std::vector<std::string> undoParams_;

    // adding
    std::string chosenFile_, chosenDir_;
    std::string fileText_, dirText_, sepText_, folderText_;  // remembered per mode
    // drag and drop
    TreeNode* dragSource_ = nullptr;
    TreeNode* expandCandidate_ = nullptr;
    int repaints_ = 0;
};

}  // namespace pv
