#pragma once
// TFormItems: the manager window. What it does is FormItemsModel's
// (manager/form_items.h); the window creates the controls, keeps the tree view
// in step with TVItems one node at a time, mirrors the controls' model into the
// controls after every event, and forwards the user's events.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "manager/CkvWinTreeView_win.h"
#include "manager/form_items.h"
#include "model/AppModel.h"
#include "model/Pictures_win.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormItems : public AppForm, private IItemsTreeView {
public:
    TFormItems(AppModel& model, WinPictureLists& pictures, IFileSystem& fs, IItemsHost& host);
    ~TFormItems() override;

    // The image lists with their fixed pictures, the menu template and the
    // basic tree; the window with its controls is made when first shown.
    bool Create();

    FormItemsModel& Model() { return model_; }
    TkvWinTreeView TVItems;

    // miManageItemsClick: shows the manager (not modal).
    void miManageItemsClick();
    // Shows the manager with the link of an item number selected (the first
    // node when the working tree has none).
    void ShowItem(int itemNumber);
    // Told how long showing the manager took, tree filled (milliseconds).
    std::function<void(const char* what, double ms)> OnTiming;
    // The working tree is about to be emptied (a rebuild): the tree view lets go
    // of its nodes first, so that nothing is drawn from freed nodes meanwhile.
    void ReleaseTree();

    // Mirrors the controls' model into the controls.
    void PushControls();
    HWND Control(ItemsControl c) const;
    HWND StatusBar() const { return status_; }
    // The tree-view item of a node, when the view holds one.
    HTREEITEM ItemOf(const TreeNode* node) const;
    // A mnemonic that two buttons share moves the focus between them.
    bool DialogKey(const MSG& msg) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;
    bool MakeWindow() override;
    void FontChanged() override;

private:
    // IItemsTreeView
    void TreeReset() override;
    void NodeInserted(TreeNode* node) override;
    void NodeDeleting(TreeNode* node) override;
    void NodeChanged(TreeNode* node) override;
    void NodeSelected(TreeNode* node) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    void HideWindow() override;
    TreeNode* NodeAt(int x, int y) override;
    bool IsExpanded(TreeNode* node) override;
    void Expand(TreeNode* node) override;
    void BeginDrag(TreeNode* source) override;
    void RepaintCaption() override;
    void FocusNameField() override;
    void FocusTree() override;
    void CancelDrag() override;
    // A key down of the manager's own keys (KeyDown's table).
    bool OwnKey(const MSG& msg);

    // The drag inside the tree: pressed, armed by the drag timer, then shown
    // with the tree's own drag image once the pointer has moved 8 pixels.
    bool TreeInput(UINT msg, WPARAM wParam, LPARAM lParam);
    void StartDragImage(POINT pt);
    void EndDrag(bool drop, POINT pt);
    void DragMoved(POINT pt);
    // Brings the model's selection in line with the tree control's.
    void SyncSelection();
    void Timers();

    void CreateControls();
    void OnCommand(int id, int code, HWND control);
    LRESULT OnNotify(NMHDR* hdr);
    void OnSetCursor(HWND under);
    void DrawTypePicture(const DRAWITEMSTRUCT& dis);
    void DrawPanelHead(const DRAWITEMSTRUCT& dis);
    void Close();

    // The tree view holds items only for nodes whose parent it has opened
    // (the root always): a large store fills in a moment.
    void FillTree();
    void RealiseChildren(TreeNode* parent);
    HTREEITEM InsertItem(TreeNode* node, HTREEITEM parent, HTREEITEM after);
    void ShowNode(TreeNode* node);
    void SetEditText(HWND edit, const std::string& text);

    AppModel& m_;
    WinPictureLists& pictures_;
    FormItemsModel model_;
    HWND status_ = nullptr;
    HWND pathTip_ = nullptr;          // the whole file path, on hover
    std::string pathTipText_;
    HIMAGELIST treeImages_ = nullptr;  // the tree's pictures at the window's DPI
    int widened_ = 0;  // pixels the status line's longest message added to the width
    std::unordered_map<int, HWND> controls_;
    std::unordered_map<const TreeNode*, HTREEITEM> items_;
    std::unordered_set<const TreeNode*> opened_;  // nodes whose children the view holds
    bool stale_ = true;       // the view does not show TVItems yet
    bool selecting_ = false;  // our own selection, not the user's
    bool pushing_ = false;    // our own text changes, not the user's
    bool clearing_ = false;
    int updates_ = 0;
    int timerInterval_ = 0;   // as set on the window, 0 for none
    bool dragTimerOn_ = false;
    bool expandTimerOn_ = false;
    unsigned dragStarts_ = 0, expandStarts_ = 0, statusStarts_ = 0;
    bool pressed_ = false;     // left button down on an item, captured
    bool armed_ = false;       // the drag timer has fired
    bool dragging_ = false;    // the drag image shows
    bool accept_ = false;      // the last answer of TVItemsDragOver
    POINT armPoint_ = {0, 0};
    HIMAGELIST dragImage_ = nullptr;
    HTREEITEM dropTarget_ = nullptr;
    std::string lastHint_;
    FormItemsControls shown_;  // what the controls show now
    bool shownValid_ = false;
};

}  // namespace pv
