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

    // The window with its controls, the image lists with their fixed pictures,
    // the menu template and the basic tree.
    bool Create();

    FormItemsModel& Model() { return model_; }
    TkvWinTreeView TVItems;

    // miManageItemsClick: shows the manager (not modal).
    void miManageItemsClick();
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

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;

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
    std::unordered_map<int, HWND> controls_;
    std::unordered_map<const TreeNode*, HTREEITEM> items_;
    std::unordered_set<const TreeNode*> opened_;  // nodes whose children the view holds
    bool stale_ = true;       // the view does not show TVItems yet
    bool selecting_ = false;  // our own selection, not the user's
    bool pushing_ = false;    // our own text changes, not the user's
    bool clearing_ = false;
    int updates_ = 0;
    int timerInterval_ = 0;   // as set on the window, 0 for none
    std::string lastHint_;
    FormItemsControls shown_;  // what the controls show now
    bool shownValid_ = false;
};

}  // namespace pv
