#include "prefs/form_about_win.h"

namespace pv {

TFormAbout::TFormAbout() { SetName("FormAbout"); }

TFormAbout::~TFormAbout() { Destroy(); }

bool TFormAbout::Create() {
    return Window::Create("TFormAbout", "", WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, CW_USEDEFAULT, CW_USEDEFAULT,
                          360, 260);
}

LRESULT TFormAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AppForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
