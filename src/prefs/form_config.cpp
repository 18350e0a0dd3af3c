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

struct HelpEntry {
    ConfigControl control;
    const char* text;
};

// The context help, one entry per control that has a text of its own.
const HelpEntry kHelpTexts[] = {
    {ConfigControl::ChkBxSystray,
     "If checked program will register itself to windows startup registry. This means the program in the "
     "future always will place itself in the systray when the computer starts ready to be used. \r\n\r\n"
     "You can at any time uncheck this setting and the program will un-register itself again."},
    {ConfigControl::ChkBxTaskBar,
     "If checked the program will be shown in the taskbar when - and only when - a window of the program is "
     "visible. If unchecked the program will never be shown in the taskbar even if a window of the program is "
     "visible."},
    {ConfigControl::edtDataPath,
     "This shows where data (setup and shortcuts) is stored. One can under installation choose where data is "
     "placed. \r\n\r\nEither all data gets stored in the same directory as the program, or else data for each "
     "user account has its own directory (availability of this option depends on the operating system). "
     "\r\n\r\nThis setting is stored in file \"glc.ini\" at key \"DataAccess\" with valid values being "
     "\"user\" and \"all\"."},
    {ConfigControl::CBWinDefDrawAll,
     "If checked all fonts in program will be drawn by Windows meaning it'll choose the fonts you typical see "
     "in Windows.\r\n\r\nThat is of course the most compatible setting and is bound to work. However if you "
     "wish to customize the font size and type, you need to have this box unchecked."},
    {ConfigControl::CmBoxFontName,
     "If you have chosen not to let Windows default draw controls, you can in this combobox choose what font "
     "should be used."},
    {ConfigControl::CmBoxFontSize,
     "If you have chosen not to let Windows default draw controls, you can in this combobox choose what size "
     "font should be used."},
    {ConfigControl::BtnDefault,
     "If you have chosen not to let Windows default draw controls, you can use this button to retrieve program "
     "suggested font settings."},
    {ConfigControl::BtnCancel, "Cancel and exit (without saving changes to settings)."},
    {ConfigControl::BtnApply, "Apply changes to settings (doesn't exit)."},
    {ConfigControl::BtnOK, "Save changes to settings and exit."},
    {ConfigControl::HotKeyOpenPivora,
     "The keys that open the menu from anywhere. Click here and press the combination you want (it needs Ctrl or "
     "Alt); Apply puts it in force. \r\n\r\nA combination that another program already holds is refused. The "
     "Default button on the page \"Visuals\" sets Ctrl+L again."},
};

constexpr int kShortCutShift = 0x2000;
constexpr int kShortCutCtrl = 0x4000;
constexpr int kShortCutAlt = 0x8000;
constexpr int kDefaultShortCut = kShortCutCtrl | 'L';
constexpr unsigned kFieldShift = 0x01, kFieldControl = 0x02, kFieldAlt = 0x04;

}  // namespace

std::string ContextHelpText(ConfigControl control) {
    for (const HelpEntry& e : kHelpTexts)
        if (e.control == control) return e.text;
    return kNoHelpText;
}

bool ExplainsOnEnter(ConfigControl control) {
    return control != ConfigControl::None && control != ConfigControl::RichEditHelp;
}

bool ExplainsOnExit(ConfigControl control) {
    return control != ConfigControl::None && control != ConfigControl::PCSettings;
}

int HotKeyFieldToShortCut(unsigned fieldValue) {
    const unsigned key = fieldValue & 0xFF;
    if (key == 0) return 0;
    const unsigned mods = (fieldValue >> 8) & 0xFF;
    int s = static_cast<int>(key);
    if (mods & kFieldShift) s |= kShortCutShift;
    if (mods & kFieldControl) s |= kShortCutCtrl;
    if (mods & kFieldAlt) s |= kShortCutAlt;
    return s;
}

unsigned ShortCutToHotKeyField(int shortCut) {
    const unsigned key = static_cast<unsigned>(shortCut) & 0xFF;
    if (key == 0) return 0;
    unsigned mods = 0;
    if (shortCut & kShortCutShift) mods |= kFieldShift;
    if (shortCut & kShortCutCtrl) mods |= kFieldControl;
    if (shortCut & kShortCutAlt) mods |= kFieldAlt;
    return key | (mods << 8);
}

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

void ShowStoredSettings(FormConfigControls& controls, const SettingsValues& settings, const std::string& dataDir) {
    controls.CmBoxFontSize.ItemIndex = controls.CmBoxFontSize.IndexOf(std::to_string(settings.FontSize));
    controls.CmBoxFontName.ItemIndex = controls.CmBoxFontName.IndexOf(settings.FontName);
    controls.ChkBxTaskBar.Checked = settings.TaskBar;
    controls.edtDataPath.Text = dataDir;
    controls.CBWinDefDrawAll.Checked = settings.WindowsDraw;
    ApplyWindowsDrawSwitch(controls, settings.WindowsDraw);
}

// ---------------------------------------------------------------- ConfigDialog

ConfigDialog::ConfigDialog(FormConfigControls& controls, const AppModel& model, IConfigDialogHost& host)
    : c_(controls), m_(model), host_(host) {}

ConfigControl ConfigDialog::FirstControlOf(ConfigPage page) {
    return page == ConfigPage::Visuals ? ConfigControl::CBWinDefDrawAll : ConfigControl::ChkBxSystray;
}

void ConfigDialog::FormCreate() { c_.ActivePage = ConfigPage::Control; }

void ConfigDialog::FormShow() { FocusControl(FirstControlOf(c_.ActivePage)); }

void ConfigDialog::PCSettingsChange(ConfigPage page) {
    c_.ActivePage = page;
    FocusControl(FirstControlOf(page));
}

void ConfigDialog::PCSettingsResize(int visualsTop, int visualsHeight) {
    c_.PanelHeading.Top = visualsTop - 4;
    c_.PanelHelp.Top = c_.PanelHeading.Top + c_.PanelHeading.Height;
    c_.PanelHelp.Height = visualsHeight - c_.PanelHeading.Height + 6;
}

void ConfigDialog::OnEnterExplain(ConfigControl sender) { c_.RichEditHelp.Text = ContextHelpText(sender); }

void ConfigDialog::FocusControl(ConfigControl control) {
    if (control == c_.Focused) return;
    const ConfigControl left = c_.Focused;
    c_.Focused = control;
    if (ExplainsOnExit(left)) OnEnterExplain(left);
    if (ExplainsOnEnter(control)) OnEnterExplain(control);
}

void ConfigDialog::CBWinDefDrawAllClick() { ApplyWindowsDrawSwitch(c_, c_.CBWinDefDrawAll.Checked); }

void ConfigDialog::CBWinDefDrawAllKeyPress(char key) {
    // The box has not toggled yet; the click that follows applies the new state.
    if (key == ' ') ApplyWindowsDrawSwitch(c_, c_.CBWinDefDrawAll.Checked);
}

void ConfigDialog::BtnDefaultClick() {
    const WindowFont menuFont = host_.SystemMenuFont();
    ComboBoxModel& names = c_.CmBoxFontName;
    int verdana = 0;
    int chosen = -1;
    for (size_t i = 0; i < names.Items.size(); ++i) {
        if (names.Items[i] == "Verdana") verdana = static_cast<int>(i);
        if (names.Items[i] == menuFont.name) {
            chosen = static_cast<int>(i);
            break;
        }
    }
    if (chosen < 0) chosen = verdana;
    // An empty list has no first entry to fall back on.
    names.ItemIndex = names.Items.empty() ? -1 : chosen;

    const char* size = menuFont.size >= 9 ? "9" : menuFont.size == 8 ? "8" : "7";
    c_.CmBoxFontSize.ItemIndex = c_.CmBoxFontSize.IndexOf(size);
    c_.HotKeyOpenPivora.ShortCut = kDefaultShortCut;
}

void ConfigDialog::SaveAndApply() {
    host_.HideOpenWindows();
    host_.SaveSettings();
    host_.LoadSettings();
    host_.ApplyVisualSettings();
    host_.RefreshKitSubmenu();
    host_.AssignMenuDrawHandlers();
}

bool ConfigDialog::TakeHotKey() {
    const int wanted = c_.HotKeyOpenPivora.ShortCut;
    if (wanted == host_.HotKeyInForce()) return true;
    const char* refusal = nullptr;
    if ((wanted & 0xFF) == 0 || !(wanted & (kShortCutCtrl | kShortCutAlt)))
        refusal = kMsgHotKeyNeedsCtrlOrAlt;
    else if (!host_.ChangeHotKey(wanted))
        refusal = kMsgHotKeyHeld;
    if (!refusal) return true;
    c_.RichEditHelp.Text = refusal;
    return false;
}

void ConfigDialog::BtnApplyClick() {
    if (!TakeHotKey()) return;
    SaveAndApply();
    host_.ShowHiddenWindows();
}

void ConfigDialog::BtnOKClick() {
    if (!TakeHotKey()) return;  // the dialog stays open with the reason
    SaveAndApply();
    // Closed and unmarked before the others come back, so that it stays closed.
    host_.CloseDialog();
    host_.ClearDialogMark();
    host_.ShowHiddenWindows();
}

void ConfigDialog::BtnCancelClick() {
    host_.LoadSettings();
    // Every control back to what is stored, so that unsaved choices neither
    // show at the next opening nor reach the file with a later save.
    ShowStoredSettings(c_, m_.settings, m_.DataDir);
    host_.CloseDialog();
}

void ConfigDialog::BtnHelpClick() { host_.OpenTarget(m_.ProgramDir + "help.html"); }

}  // namespace pv
