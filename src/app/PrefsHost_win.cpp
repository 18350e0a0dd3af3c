// PivoraProgram as the preferences dialog's and the about box's way to the rest
// of the program (IConfigDialogHost, IAboutBoxHost; declared in InitFinit_win.h).

#include "app/InitFinit_win.h"

namespace pv {

void PivoraProgram::HideOpenWindows() {
    WinAppWindows windows(*this);
    settings_->HideOpenWindows(windows);
}

void PivoraProgram::RefreshKitSubmenu() { pv::RefreshKitSubmenu(Model.PMBasic, Model.PMItems); }

void PivoraProgram::ShowHiddenWindows() {
    WinAppWindows windows(*this);
    settings_->ShowHiddenWindows(windows);
}

void PivoraProgram::CloseDialog() { ShowWindow(FormConfig.Handle(), SW_HIDE); }

void PivoraProgram::ClearDialogMark() { settings_->WindowMark(AppWindow::FormConfig) = 0; }

void PivoraProgram::OpenTarget(const std::string& target) { OpenTargetWithMessage(target); }

WindowFont PivoraProgram::SystemMenuFont() { return WinAppWindows(*this).SystemMenuFont(); }

MemoryStatus PivoraProgram::QueryMemoryStatus() { return pv::QueryMemoryStatus(); }

std::string PivoraProgram::ThousandSeparator() { return SystemThousandSeparator(); }

}  // namespace pv
