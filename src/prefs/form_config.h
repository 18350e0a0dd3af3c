#pragma once
// The preferences window's controls that hold settings, as plain data. The
// settings live in these controls between a read and a write (also while the
// window is hidden), so the settings code reads and writes them here; the Win32
// dialog mirrors them into its HWNDs (PushToControls after the settings code has
// changed them, PullFromControls before it reads them) and keeps no second copy.

#include <string>
#include <vector>

#include "support/UkvGraphics.h"

namespace pv {

struct CheckBoxModel {
    bool Checked = false;
    bool Enabled = true;
};

struct ButtonModel {
    bool Enabled = true;
};

struct EditModel {
    std::string Text;
};

// A drop-down list (CBS_DROPDOWNLIST): the text is the selected item's, or empty.
struct ComboBoxModel {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    bool Enabled = true;
    bool Sorted = false;

    std::string Text() const;
    // Replaces the items (sorted when Sorted is set, like CBS_SORT: case-insensitive);
    // the selection is cleared.
    void SetItems(std::vector<std::string> items);
    // First item equal to text, letter case counting; -1 when none.
    int IndexOf(const std::string& text) const;
};

struct RichEditModel {
    WindowFont Font{"MS Sans Serif", 8, false};
    std::string Text;
};

class FormConfigControls {
public:
    FormConfigControls();

    CheckBoxModel ChkBxSystray;     // start with Windows
    CheckBoxModel ChkBxTaskBar;     // TaskBar
    CheckBoxModel CBWinDefDrawAll;  // WindowsDraw
    ComboBoxModel CmBoxFontName;    // installed fonts, sorted; FontName
    ComboBoxModel CmBoxFontSize;    // "6" .. "12"; FontSize
    ButtonModel BtnDefault;
    EditModel edtDataPath;          // DataDir, read-only
    RichEditModel RichEditHelp;
};

// The font controls follow the Windows-draw box: on disables the two lists and
// Default; off clears the box and enables them.
void ApplyWindowsDrawSwitch(FormConfigControls& controls, bool on);

}  // namespace pv
