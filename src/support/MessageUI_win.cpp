#include <windows.h>

#include "support/Platform_win.h"
#include "support/Wide_win.h"

namespace pv {

namespace {

UINT IconFor(DialogType type) {
    switch (type) {
        case DialogType::Warning: return MB_ICONWARNING;
        case DialogType::Error: return MB_ICONERROR;
        case DialogType::Information: return MB_ICONINFORMATION;
        case DialogType::Confirmation: return MB_ICONQUESTION;
        case DialogType::Custom: break;
    }
    return 0;
}

// MessageBox has fixed button sets; the nearest one holding every button asked for.
UINT ButtonsFor(unsigned buttons) {
    const bool yes = buttons & kBtnYes, no = buttons & kBtnNo, cancel = buttons & kBtnCancel;
    if (yes || no) return cancel ? MB_YESNOCANCEL : MB_YESNO;
    if (cancel) return MB_OKCANCEL;
    return MB_OK;
}

}  // namespace

void WinMessageUI::PlainBox(const std::string& caption, const std::string& text) {
    MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

int WinMessageUI::Dialog(const std::string& caption, const std::string& text, DialogType type, unsigned buttons,
                         int /*helpContext*/) {
    int result = MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), IconFor(type) | ButtonsFor(buttons));
    return result == 0 ? kMrCancel : result;
}

}  // namespace pv
