#pragma once
// TFormConfig: the preferences window. Created hidden at start-up; the settings
// live in its controls (FormConfigControls) between a read and a write.

#include <windows.h>

#include <string>
#include <vector>

#include "prefs/form_config.h"
#include "support/Window_win.h"

namespace pv {

class TFormConfig : public Window {
public:
    TFormConfig();
    ~TFormConfig() override;

    bool Create();

    FormConfigControls Controls;
    std::string TitleText;
    int Tag = 0;  // 1 while hidden by HideOpenWindows

    // Replaces the font name list by the fonts installed on the system.
    void FillFontNames();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// Face names of the installed fonts (EnumFontFamiliesEx, every character set),
// each once, vertical "@" faces left out, in enumeration order.
std::vector<std::string> InstalledFontNames();

}  // namespace pv
