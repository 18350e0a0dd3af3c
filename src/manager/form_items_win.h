#pragma once
// TFormItems: the manager window. The data it edits (the trees, the item table,
// the menus) lives in the application model; the image lists in the program's
// WinPictureLists.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "model/AppModel.h"
#include "model/Pictures_win.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormItems : public AppForm {
public:
    TFormItems(AppModel& model, WinPictureLists& pictures);
    ~TFormItems() override;

    // The window, the image lists with their fixed pictures, the menu template
    // and the basic tree.
    bool Create();

    // miManageItemsClick: shows the manager (not modal).
    void miManageItemsClick();

    // Whether the tree's selection-change handler is attached.
    void AttachTreeChange(bool attach) { treeChangeAttached_ = attach; }
    bool TreeChangeAttached() const { return treeChangeAttached_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    AppModel& m_;
    WinPictureLists& pictures_;
    bool treeChangeAttached_ = false;
};

}  // namespace pv
