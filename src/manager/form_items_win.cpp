#include "manager/form_items_win.h"

#include "menu/SystemMenu.h"

namespace pv {

// ---------------------------------------------------------------- TFormItems

TFormItems::TFormItems(AppModel& model, WinPictureLists& pictures)
    : AppForm(model.settings.FontName), m_(model), pictures_(pictures) {
    SetName("FormItems");
}

TFormItems::~TFormItems() { Destroy(); }

bool TFormItems::Create() {
    if (!CreateDialogFrame("TFormItems", 521, 534)) return false;
    pictures_.Create();
    m_.Pictures = &pictures_;
    BuildMenuTemplate(m_.PMBasic);
    BuildBasicTree(m_.TVBasic);
    return true;
}

void TFormItems::miManageItemsClick() { Present(); }

LRESULT TFormItems::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AppForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
