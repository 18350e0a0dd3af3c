#pragma once
// The preferences window's controls as plain data, and what its handlers do.
//
// The settings live in these controls between a read and a write (also while
// the window is hidden), so the settings code reads and writes them here; the
// Win32 dialog mirrors them into its HWNDs (PushToControls after a handler or
// the settings code has changed them) and writes the user's changes back as
// they happen, so it keeps no second copy.
//
// ConfigDialog holds the handlers. It reaches the rest of the program only
// through IConfigDialogHost, which the program implements.

#include <string>
#include <vector>

#include "model/AppModel.h"
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

// A hot key field (HOTKEY_CLASS): the combination as a menu-shortcut value
// (the key's virtual-key code, plus 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt), 0 for none.
struct HotKeyModel {
    int ShortCut = 0x404C;  // Ctrl+L
};

// The hot key field's own value (key in the low byte, HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 in the high byte) and the menu-shortcut
// value, both ways; the extended-key flag does not count.
int HotKeyFieldToShortCut(unsigned fieldValue);
unsigned ShortCutToHotKeyField(int shortCut);

inline constexpr const char* kMsgHotKeyNeedsCtrlOrAlt =
    "The hot key needs Ctrl or Alt: without them it would take a key away from whatever you type. The hot key in "
    "force stays.";
inline constexpr const char* kMsgHotKeyHeld =
    "This combination is already held by another program, so it could not open the menu. The hot key in force "
    "stays; choose another one.";

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

// A control's place in the dialog's client area, in pixels.
struct ControlRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const ControlRect& o) const {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
};

// The controls that can hold the focus, each of which raises the context help.
enum class ConfigControl {
    None,
    PCSettings,
    ChkBxSystray,
    ChkBxTaskBar,
    edtDataPath,
    CBWinDefDrawAll,
    CmBoxFontName,
    CmBoxFontSize,
    BtnDefault,
    RichEditHelp,
    BtnCancel,
    BtnApply,
    BtnOK,
    BtnHelp,
    HotKeyOpenPivora,
};

enum class ConfigPage { Control = 0, Visuals = 1 };

inline constexpr const char* kNoHelpText = "No help available for this topic";

// The context help of a control: its own text, or kNoHelpText.
std::string ContextHelpText(ConfigControl control);
// Which of a control's events show its help: the enter event of every control
// but the help text itself, the exit event of every control but the page control.
bool ExplainsOnEnter(ConfigControl control);
bool ExplainsOnExit(ConfigControl control);

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
    HotKeyModel HotKeyOpenPivora;   // the hot key that opens the menu
    RichEditModel RichEditHelp;

    // PCSettings: the page shown.
    ConfigPage ActivePage = ConfigPage::Control;
    // The control that has the focus within the dialog (kept while the dialog
    // is inactive or hidden, like a dialog's remembered focus).
    ConfigControl Focused = ConfigControl::None;
    // The help panels, laid out by PCSettingsResize.
    ControlRect PanelHeading{322, 0, 145, 27};
    ControlRect PanelHelp{322, 27, 145, 0};
};

// The font controls follow the Windows-draw box: on disables the two lists and
// Default; off clears the box and enables them.
void ApplyWindowsDrawSwitch(FormConfigControls& controls, bool on);

// The controls as the settings in force give them, start-with-Windows box aside
// (ReadAutostart sets it): font lists selected by exact text, or without a
// selection when the list lacks the value; task-bar and Windows-draw boxes, the
// font controls' switch, the data path.
void ShowStoredSettings(FormConfigControls& controls, const SettingsValues& settings, const std::string& dataDir);

// What the dialog's handlers call outside the dialog, in the order the
// handlers call them.
class IConfigDialogHost {
public:
    virtual ~IConfigDialogHost() = default;
    // Hides whichever of the preferences dialog, the manager and the about box
    // is visible, marking each for re-showing.
    virtual void HideOpenWindows() = 0;
    virtual void SaveSettings() = 0;
    virtual void LoadSettings() = 0;
    // Applies the settings to the program, and to these controls.
    virtual void ApplyVisualSettings() = 0;
    virtual void RefreshKitSubmenu() = 0;
    virtual void AssignMenuDrawHandlers() = 0;
    // Shows every marked window again and clears its mark.
    virtual void ShowHiddenWindows() = 0;
    // Closes (hides) the dialog.
    virtual void CloseDialog() = 0;
    // Clears the dialog's own re-show mark.
    virtual void ClearDialogMark() = 0;
    // Opens a document through the shell; tells the user when that fails.
    virtual void OpenTarget(const std::string& target) = 0;
    // Name and size of the system's menu font.
    virtual WindowFont SystemMenuFont() = 0;
    // The hot key in force (a menu-shortcut value).
    virtual int HotKeyInForce() = 0;
    // Registers shortCut in place of the hot key in force; false, with the old
    // one kept, when another program holds it.
    virtual bool ChangeHotKey(int shortCut) = 0;
};

// The preferences dialog's handlers over its controls.
class ConfigDialog {
public:
    ConfigDialog(FormConfigControls& controls, const AppModel& model, IConfigDialogHost& host);

    // Creation: page "Control".
    void FormCreate();
    // Shown: the page's first control takes the focus.
    void FormShow();
    // The user chose a page: its first control takes the focus.
    void PCSettingsChange(ConfigPage page);
    // Lays the help panels out along the "Visuals" page (its top and height in
    // the dialog's client area).
    void PCSettingsResize(int visualsTop, int visualsHeight);
    // Entering or leaving a control: the help panel shows its text.
    void OnEnterExplain(ConfigControl sender);
    // The focus moves to control: the exit event of the control that had it,
    // then the enter event of control. Nothing when it has the focus already.
    void FocusControl(ConfigControl control);
    // The Windows-draw box was clicked; Checked is its state after the click.
    void CBWinDefDrawAllClick();
    // A key pressed on the Windows-draw box, before the box toggles.
    void CBWinDefDrawAllKeyPress(char key);
    void BtnDefaultClick();
    void BtnApplyClick();
    void BtnOKClick();
    void BtnCancelClick();
    void BtnHelpClick();

    static ConfigControl FirstControlOf(ConfigPage page);

private:
    // Apply and OK up to showing the windows again: hide the open windows,
    // save, read back, apply, refresh the Kit submenu and the draw handlers.
    void SaveAndApply();
    // The hot key field's combination put in force when it changed; false,
    // with the reason in the help panel, when it is refused.
    bool TakeHotKey();

    FormConfigControls& c_;
    const AppModel& m_;
    IConfigDialogHost& host_;
};

}  // namespace pv
