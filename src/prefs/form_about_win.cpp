#include "prefs/form_about_win.h"

namespace pv {

TFormAbout::TFormAbout() { SetName("FormAbout"); }

TFormAbout::~TFormAbout() { Destroy(); }

bool TFormAbout::Create() {
    return Window::Create("TFormAbout", "", WS_CAPTION | WS_SYSMENU, 0, CW_USEDEFAULT, CW_USEDEFAULT, 360, 260);
}

LRESULT TFormAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        // Created once, afterwards only shown and hidden.
        ShowWindow(Handle(), SW_HIDE);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
