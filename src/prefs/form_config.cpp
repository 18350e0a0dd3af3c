#include "prefs/form_config.h"

#include <algorithm>
#include <cctype>

namespace pv {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string ComboBoxModel::Text() const {
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size())) return std::string();
    return Items[static_cast<size_t>(ItemIndex)];
}

void ComboBoxModel::SetItems(std::vector<std::string> items) {
    Items = std::move(items);
    if (Sorted) std::stable_sort(Items.begin(), Items.end(), LessNoCase);
    ItemIndex = -1;
}

int ComboBoxModel::IndexOf(const std::string& text) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i] == text) return static_cast<int>(i);
    return -1;
}

FormConfigControls::FormConfigControls() {
    CmBoxFontName.Sorted = true;
    CmBoxFontSize.SetItems({"6", "7", "8", "9", "10", "11", "12"});
}

void ApplyWindowsDrawSwitch(FormConfigControls& controls, bool on) {
    if (!on) controls.CBWinDefDrawAll.Checked = false;
    controls.CmBoxFontName.Enabled = !on;
    controls.CmBoxFontSize.Enabled = !on;
    controls.BtnDefault.Enabled = !on;
}

}  // namespace pv
