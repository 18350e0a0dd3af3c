#include "prefs/form_config_win.h"

#include <set>

namespace pv {

namespace {
int CALLBACK CollectFontName(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM param) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(param);
    // Vertical faces ("@Name") are not offered: they lay text on its side.
    if (lf->lfFaceName[0] != '@') names->emplace_back(lf->lfFaceName);
    return 1;
}
}  // namespace

std::vector<std::string> InstalledFontNames() {
    std::vector<std::string> all;
    HDC dc = GetDC(nullptr);
    if (dc) {
        LOGFONTA lf = {};
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(dc, &lf, CollectFontName, reinterpret_cast<LPARAM>(&all), 0);
        ReleaseDC(nullptr, dc);
    }
    // One face is reported once per character set.
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (std::string& n : all)
        if (seen.insert(n).second) names.push_back(std::move(n));
    return names;
}

TFormConfig::TFormConfig(AppModel& model) : AppForm(model.settings.FontName) { SetName("FormConfig"); }

TFormConfig::~TFormConfig() { Destroy(); }

bool TFormConfig::Create() {
    return CreateDialogFrame("TFormConfig", 468, 297);
}

void TFormConfig::FillFontNames() { Controls.CmBoxFontName.SetItems(InstalledFontNames()); }

void TFormConfig::PushToControls() {
    // The dialog's own controls come with the preferences dialog; until then
    // Controls is all there is.
}

LRESULT TFormConfig::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AppForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
