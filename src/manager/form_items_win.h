#pragma once
// TFormItems: the manager window. Besides the manager it owns the tray menu
// PMItems, the template PMBasic, the trees TVItems, TVUndo and TVBasic, and the
// two image lists whose indexes mean the same picture.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "menu/MenuModel.h"
#include "store/TreeModel.h"
#include "support/Window_win.h"

namespace pv {

class TFormItems : public Window {
public:
    TFormItems();
    ~TFormItems() override;

    bool Create();

    PopupMenu PMItems;
    PopupMenu PMBasic;
    TreeModel TVItems;
    TreeModel TVUndo;
    TreeModel TVBasic;
    HIMAGELIST ILAllPublicPM = nullptr;  // 16x16, menus
    HIMAGELIST ILAllPublicTV = nullptr;  // 16x18, trees
    int ILAllPublicPMTag = 0;            // item-icon count of the picture bookkeeping

    // The title, kept apart from the caption (which may be painted instead).
    std::string TitleText;

    // Click handlers of the system entries.
    void miManageItemsClick();
    void SetupClick();
    void miHelpFileClick();
    void miVisitWebsiteClick();
    void miAboutClick();
    void miCloseAppClick();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateImageLists();
};

// Loads the fixed pictures first..first+count-1 (bitmap resources) into list.
void AddResourcePictures(HIMAGELIST list, int firstId, int count);

}  // namespace pv
