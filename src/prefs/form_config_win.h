#pragma once
// TFormConfig: the preferences window. Created hidden at start-up; the settings
// live in its controls (FormConfigControls) between a read and a write.

#include <windows.h>

#include <string>
#include <vector>

#include "model/AppModel.h"
#include "prefs/form_config.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormConfig : public AppForm {
public:
    explicit TFormConfig(AppModel& model);
    ~TFormConfig() override;

    bool Create();

    FormConfigControls Controls;

    // Replaces the font name list by the fonts installed on the system.
    void FillFontNames();
    // Mirrors Controls into the dialog's controls.
    void PushToControls();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// Face names of the installed fonts (EnumFontFamiliesEx, every character set),
// each once, vertical "@" faces left out, in enumeration order.
std::vector<std::string> InstalledFontNames();

}  // namespace pv
