#include "prefs/form_about_win.h"

namespace pv {

TFormAbout::TFormAbout(AppModel& model) : AppForm(model.settings.FontName) { SetName("FormAbout"); }

TFormAbout::~TFormAbout() { Destroy(); }

bool TFormAbout::Create() {
    return CreateDialogFrame("TFormAbout", 331, 172);
}

LRESULT TFormAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AppForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
