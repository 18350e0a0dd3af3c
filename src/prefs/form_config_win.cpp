#include "prefs/form_config_win.h"

#include <commctrl.h>

#include <set>

#include "support/Platform_win.h"
#include "support/UkvGraphics_win.h"
#include "support/Window_win.h"

namespace pv {

namespace {

int CALLBACK CollectFontName(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM param) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(param);
    // Vertical faces ("@Name") are not offered: they lay text on its side.
    if (lf->lfFaceName[0] != '@') names->emplace_back(lf->lfFaceName);
    return 1;
}

// Control ids; BtnCancel is IDCANCEL, so that Esc (IsDialogMessage) and a click
// on it arrive as one command.
enum : int {
    kIdTabs = 1000,
    kIdSystray,
    kIdTaskBar,
    kIdGrpMixed,
    kIdLblDataPath,
    kIdDataPath,
    kIdWinDraw,
    kIdLblFontName,
    kIdFontName,
    kIdLblFontSize,
    kIdFontSize,
    kIdDefault,
    kIdGrpFonts,
    kIdHelpText,
    kIdPanelHelp,
    kIdPanelHeading,
    kIdApply,
    kIdOK,
    kIdHelp,
    kIdLblHotKey,
    kIdHotKey,
    kIdCancel = IDCANCEL,
};

constexpr int kClientWidth = 468;
constexpr int kClientHeight = 297;
constexpr int kPageControlHeight = 263;
constexpr int kOnNoPage = -1;
constexpr int kPageControl = static_cast<int>(ConfigPage::Control);
constexpr int kPageVisuals = static_cast<int>(ConfigPage::Visuals);
// The help text sits inside its panel's bevel.
constexpr int kPanelInset = 2;

// The four buttons, 60 x 25, from the bottom right corner: Cancel, Apply, OK, Help.
ControlRect ButtonRect(int fromRight) {
    const int x = kClientWidth - 6 - 60 - fromRight * 64;
    return ControlRect{x, kClientHeight - 4 - 25, 60, 25};
}

bool IsChecked(HWND h) { return SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }


void PushCheckBox(HWND h, const CheckBoxModel& m) {
    if (IsChecked(h) != m.Checked) SendMessageA(h, BM_SETCHECK, m.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(h, m.Enabled ? TRUE : FALSE);
}

void PushComboBox(HWND h, const ComboBoxModel& m, std::vector<std::string>& shown) {
    if (shown != m.Items) {
        // The model keeps the list sorted, so the control takes its order as
        // it is and the two are mirrored by index.
        SendMessageA(h, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : m.Items) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        shown = m.Items;
    }
    if (SendMessageA(h, CB_GETCURSEL, 0, 0) != m.ItemIndex) SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(m.ItemIndex), 0);
    EnableWindow(h, m.Enabled ? TRUE : FALSE);
}

// SetWindowTheme(" ", " "): the control drawn without visual styles. Looked up
// at run time, so that a system without uxtheme.dll still runs the program.
void SetClassicLook(HWND hwnd) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");
    if (!uxtheme) uxtheme = LoadSystemLibrary("uxtheme.dll");
    if (!uxtheme) return;
    auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme) setTheme(hwnd, L" ", L" ");
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

TFormConfig::TFormConfig(AppModel& model, IConfigDialogHost& host)
    : AppForm(model.settings.FontName), Handlers(Controls, model, host) {
    SetName("FormConfig");
}

TFormConfig::~TFormConfig() {
    Destroy();
    if (helpFont_) DeleteObject(helpFont_);
}

template <class Body>
void TFormConfig::Run(const char* sender, Body&& body) {
    if (Guard(sender, body)) Guard(sender, [this] { PushToControls(); });
    mirroring_ = false;
}

HWND TFormConfig::MakeChild(int id, const char* cls, const char* text, DWORD style, DWORD exStyle, int page,
                            ControlRect rect, ConfigControl control) {
    // Created in tab order. A new child goes to the bottom of its siblings, so
    // the tab control, made last, lies under the controls on its pages.
    HWND h = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, Handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!h) {
        childMissing_ = true;
        return nullptr;
    }
    children_.push_back(Child{h, page, rect, control});
    if (control != ConfigControl::None) SetWindowSubclass(h, ControlProc, 1, reinterpret_cast<DWORD_PTR>(this));
    return h;
}

bool TFormConfig::MakeWindow() {
    if (!CreateDialogFrame("TFormConfig", kClientWidth, kClientHeight)) return false;

    const DWORD tab = WS_TABSTOP | WS_GROUP;
    const DWORD check = BS_AUTOCHECKBOX | tab;
    const DWORD list = CBS_DROPDOWNLIST | WS_VSCROLL | tab;
    const ConfigControl none = ConfigControl::None;

    // Page "Control".
    MakeChild(kIdSystray, "BUTTON", "Always show Kelvory Pivora in Systray", check, 0, kPageControl,
              {18, 30, 288, 20}, ConfigControl::ChkBxSystray);
    MakeChild(kIdTaskBar, "BUTTON", "Always* show Kelvory Pivora in TaskBar", check, 0, kPageControl,
              {18, 54, 288, 20}, ConfigControl::ChkBxTaskBar);
    MakeChild(kIdGrpMixed, "BUTTON", "General Settings", BS_GROUPBOX, 0, kPageControl, {8, 8, 306, 76}, none);
    MakeChild(kIdLblDataPath, "STATIC", "Data Path :", 0, 0, kPageControl, {8, 96, 200, 18}, none);
    MakeChild(kIdDataPath, "EDIT", "", ES_READONLY | ES_AUTOHSCROLL | tab, WS_EX_CLIENTEDGE, kPageControl,
              {8, 114, 306, 22}, ConfigControl::edtDataPath);
    MakeChild(kIdLblHotKey, "STATIC", "Hot key that opens the menu :", 0, 0, kPageControl, {8, 148, 306, 18}, none);
    MakeChild(kIdHotKey, HOTKEY_CLASSA, "", tab, 0, kPageControl, {8, 166, 180, 22},
              ConfigControl::HotKeyOpenPivora);

    // Page "Visuals".
    MakeChild(kIdWinDraw, "BUTTON", "Let Windows default draw all controls.", check, 0, kPageVisuals,
              {8, 10, 306, 20}, ConfigControl::CBWinDefDrawAll);
    MakeChild(kIdLblFontName, "STATIC", "Font Name", 0, 0, kPageVisuals, {18, 58, 180, 18}, none);
    MakeChild(kIdFontName, "COMBOBOX", "", list, 0, kPageVisuals, {18, 76, 180, 240}, ConfigControl::CmBoxFontName);
    MakeChild(kIdLblFontSize, "STATIC", "Font Size", 0, 0, kPageVisuals, {210, 58, 90, 18}, none);
    MakeChild(kIdFontSize, "COMBOBOX", "", list, 0, kPageVisuals, {210, 76, 90, 200}, ConfigControl::CmBoxFontSize);
    MakeChild(kIdDefault, "BUTTON", "Default", BS_PUSHBUTTON | tab, 0, kPageVisuals, {18, 112, 75, 25},
              ConfigControl::BtnDefault);
    MakeChild(kIdGrpFonts, "BUTTON", "Program Font Settings", BS_GROUPBOX, 0, kPageVisuals, {8, 38, 306, 112},
              none);

    // The help panels; PCSettingsResize places them.
    MakeChild(kIdHelpText, "EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_VISIBLE, 0,
              kOnNoPage, {}, ConfigControl::RichEditHelp);
    MakeChild(kIdPanelHelp, "STATIC", "", SS_OWNERDRAW | WS_VISIBLE, 0, kOnNoPage, {}, none);
    MakeChild(kIdPanelHeading, "STATIC", "Conext Sensitive Help", SS_OWNERDRAW | WS_VISIBLE, 0, kOnNoPage, {},
              none);

    MakeChild(kIdCancel, "BUTTON", "Cancel", BS_PUSHBUTTON | tab | WS_VISIBLE, 0, kOnNoPage, ButtonRect(3),
              ConfigControl::BtnCancel);
    MakeChild(kIdApply, "BUTTON", "Apply", BS_PUSHBUTTON | tab | WS_VISIBLE, 0, kOnNoPage, ButtonRect(2),
              ConfigControl::BtnApply);
    MakeChild(kIdOK, "BUTTON", "OK", BS_PUSHBUTTON | tab | WS_VISIBLE, 0, kOnNoPage, ButtonRect(1),
              ConfigControl::BtnOK);
    MakeChild(kIdHelp, "BUTTON", "Help", BS_PUSHBUTTON | tab | WS_VISIBLE, 0, kOnNoPage, ButtonRect(0),
              ConfigControl::BtnHelp);

    HWND tabs = MakeChild(kIdTabs, WC_TABCONTROLA, "", tab | WS_VISIBLE, 0, kOnNoPage,
                          {0, 0, kClientWidth, kPageControlHeight}, ConfigControl::PCSettings);
    // The classic page body, in the button-face colour the controls on the pages
    // paint their backgrounds in (a themed body would show them as grey patches).
    SetClassicLook(tabs);
    for (const char* caption : {"Control", "Visuals"}) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(caption);
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(TabCtrl_GetItemCount(tabs)),
                     reinterpret_cast<LPARAM>(&item));
    }
    if (childMissing_) return false;

    Handlers.FormCreate();
    SetFont(Font());  // every control in the dialog's font; lays the pages out
    return true;
}

HWND TFormConfig::ControlHandle(ConfigControl control) const {
    if (control == ConfigControl::None) return nullptr;
    for (const Child& c : children_)
        if (c.control == control) return c.hwnd;
    return nullptr;
}

void TFormConfig::Layout() {
    HWND tabs = Item(kIdTabs);
    if (!tabs) return;
    // The dialog grows with its DPI, and further where a label or box would
    // cut its text in the dialog's font.
    std::vector<LayoutNeed> needs;
    auto textOf = [](HWND h) {
        char text[256] = "";
        GetWindowTextA(h, text, sizeof text);
        return std::string(text);
    };
    for (const Child& c : children_) {
        if (c.rect.Width <= 0) continue;
        char cls[32] = "";
        GetClassNameA(c.hwnd, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") != 0 && lstrcmpiA(cls, "Static") != 0) continue;
        needs.push_back(NeedOf(c.hwnd, LayoutRect{c.rect.Left, c.rect.Top, c.rect.Width, c.rect.Height}, textOf(c.hwnd)));
    }
    const ControlRect& heading = Controls.PanelHeading;
    needs.push_back(NeedOf(Item(kIdPanelHeading), LayoutRect{heading.Left, 0, heading.Width, 27},
                           textOf(Item(kIdPanelHeading))));
    Fit(needs);

    MoveWindow(tabs, 0, 0, Scaled(kClientWidth), Scaled(kPageControlHeight), TRUE);
    RECT page = {0, 0, Scaled(kClientWidth), Scaled(kPageControlHeight)};
    TabCtrl_AdjustRect(tabs, FALSE, &page);
    for (const Child& c : children_) {
        const LayoutRect r = Scaled(LayoutRect{c.rect.Left, c.rect.Top, c.rect.Width, c.rect.Height});
        if (c.page == kOnNoPage) {
            if (c.rect.Width > 0) MoveWindow(c.hwnd, r.left, r.top, r.width, r.height, TRUE);
        } else {
            MoveWindow(c.hwnd, page.left + r.left, page.top + r.top, r.width, r.height, TRUE);
        }
    }
    // Both pages share the display area; the help panels are placed at 96 dpi
    // and scaled where they are shown.
    const int top = MulDiv(page.top, 1000, LayoutFactor());
    const int bottom = MulDiv(page.bottom, 1000, LayoutFactor());
    Handlers.PCSettingsResize(top, bottom - top);
}

void TFormConfig::FillFontNames() {
    Controls.CmBoxFontName.SetItems(InstalledFontNames());
    PushToControls();
}

void TFormConfig::PushToControls() {
    if (!Handle() || children_.empty()) return;
    mirroring_ = true;
    PushCheckBox(Item(kIdSystray), Controls.ChkBxSystray);
    PushCheckBox(Item(kIdTaskBar), Controls.ChkBxTaskBar);
    PushCheckBox(Item(kIdWinDraw), Controls.CBWinDefDrawAll);
    PushComboBox(Item(kIdFontName), Controls.CmBoxFontName, shownFontNames_);
    PushComboBox(Item(kIdFontSize), Controls.CmBoxFontSize, shownFontSizes_);
    EnableWindow(Item(kIdDefault), Controls.BtnDefault.Enabled ? TRUE : FALSE);
    SetTextIfChanged(Item(kIdDataPath), Controls.edtDataPath.Text);
    const WPARAM hotKey = ShortCutToHotKeyField(Controls.HotKeyOpenPivora.ShortCut);
    if (static_cast<WPARAM>(SendMessageA(Item(kIdHotKey), HKM_GETHOTKEY, 0, 0) & 0xFFFF) != hotKey)
        SendMessageA(Item(kIdHotKey), HKM_SETHOTKEY, hotKey, 0);

    HWND help = Item(kIdHelpText);
    if (!helpFont_ || !(shownHelpFont_ == Controls.RichEditHelp.Font)) {
        if (HFONT made = CreateWindowFont(Controls.RichEditHelp.Font)) {
            SendMessageA(help, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
            if (helpFont_) DeleteObject(helpFont_);
            helpFont_ = made;
            shownHelpFont_ = Controls.RichEditHelp.Font;
        }
    }
    SetTextIfChanged(help, Controls.RichEditHelp.Text);

    const ControlRect& h = Controls.PanelHeading;
    const ControlRect& p = Controls.PanelHelp;
    const LayoutRect heading = Scaled(LayoutRect{h.Left, h.Top, h.Width, h.Height});
    const LayoutRect panel = Scaled(LayoutRect{p.Left, p.Top, p.Width, p.Height});
    const int inset = Scaled(kPanelInset);
    MoveWindow(Item(kIdPanelHeading), heading.left, heading.top, heading.width, heading.height, TRUE);
    MoveWindow(Item(kIdPanelHelp), panel.left, panel.top, panel.width, panel.height, TRUE);
    MoveWindow(help, panel.left + inset, panel.top + inset, panel.width - 2 * inset, panel.height - 2 * inset, TRUE);

    const int page = static_cast<int>(Controls.ActivePage);
    HWND tabs = Item(kIdTabs);
    if (TabCtrl_GetCurSel(tabs) != page) TabCtrl_SetCurSel(tabs, page);
    for (const Child& c : children_) {
        if (c.page == kOnNoPage) continue;
        const bool show = c.page == page;
        if ((IsWindowVisible(c.hwnd) != FALSE) != show) ShowWindow(c.hwnd, show ? SW_SHOWNA : SW_HIDE);
    }

    // The focus follows the model only while the dialog is the active window:
    // setting it otherwise would activate the dialog.
    HWND focus = ControlHandle(Controls.Focused);
    if (focus && GetActiveWindow() == Handle() && GetFocus() != focus && IsWindowVisible(focus) &&
        IsWindowEnabled(focus))
        SetFocus(focus);
    mirroring_ = false;
}

void TFormConfig::FormShow() {
    Run("FormConfig", [this] { Handlers.FormShow(); });
}

void TFormConfig::FontChanged() {
    // SetFont gave the help text the dialog's font; it has one of its own.
    shownHelpFont_ = WindowFont{};
    Layout();
    PushToControls();
}

void TFormConfig::ControlFocused(HWND hwnd) {
    if (mirroring_) return;
    for (const Child& c : children_) {
        if (c.hwnd != hwnd) continue;
        const ConfigControl control = c.control;
        Run("FormConfig", [this, control] { Handlers.FocusControl(control); });
        return;
    }
}

LRESULT CALLBACK TFormConfig::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR ref) {
    auto* self = reinterpret_cast<TFormConfig*>(ref);
    if (msg == WM_CHAR && GetDlgCtrlID(hwnd) == kIdWinDraw) {
        const char key = static_cast<char>(wParam);
        self->Run("CBWinDefDrawAll", [self, key] { self->Handlers.CBWinDefDrawAllKeyPress(key); });
    }
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_SETFOCUS:
            self->ControlFocused(hwnd);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ControlProc, id);
            break;
        default:
            break;
    }
    return result;
}

void TFormConfig::ReadHotKeyField() {
    const LRESULT value = SendMessageA(Item(kIdHotKey), HKM_GETHOTKEY, 0, 0);
    Controls.HotKeyOpenPivora.ShortCut = HotKeyFieldToShortCut(static_cast<unsigned>(value & 0xFFFF));
}

void TFormConfig::OnCommand(int id, int code, HWND from) {
    switch (id) {
        case kIdSystray:
            if (code == BN_CLICKED) Controls.ChkBxSystray.Checked = IsChecked(from);
            break;
        case kIdTaskBar:
            if (code == BN_CLICKED) Controls.ChkBxTaskBar.Checked = IsChecked(from);
            break;
        case kIdWinDraw:
            if (code == BN_CLICKED) {
                Controls.CBWinDefDrawAll.Checked = IsChecked(from);
                Run("CBWinDefDrawAll", [this] { Handlers.CBWinDefDrawAllClick(); });
            }
            break;
        case kIdHotKey:
            if (code == EN_CHANGE && !mirroring_) ReadHotKeyField();
            break;
        case kIdFontName:
            if (code == CBN_SELCHANGE) Controls.CmBoxFontName.ItemIndex = static_cast<int>(SendMessageA(from, CB_GETCURSEL, 0, 0));
            break;
        case kIdFontSize:
            if (code == CBN_SELCHANGE) Controls.CmBoxFontSize.ItemIndex = static_cast<int>(SendMessageA(from, CB_GETCURSEL, 0, 0));
            break;
        case kIdDefault:
            if (code == BN_CLICKED) Run("BtnDefault", [this] { Handlers.BtnDefaultClick(); });
            break;
        case kIdApply:
            if (code == BN_CLICKED) ReadHotKeyField();  // whether or not the field told of each key
            if (code == BN_CLICKED) Run("BtnApply", [this] { Handlers.BtnApplyClick(); });
            break;
        case kIdOK:
            if (code == BN_CLICKED) ReadHotKeyField();
            if (code == BN_CLICKED) Run("BtnOK", [this] { Handlers.BtnOKClick(); });
            break;
        case kIdCancel:
            if (code == BN_CLICKED) Run("BtnCancel", [this] { Handlers.BtnCancelClick(); });
            break;
        case kIdHelp:
            if (code == BN_CLICKED) Run("BtnHelp", [this] { Handlers.BtnHelpClick(); });
            break;
        default:
            break;  // IDOK, from Enter on a control that is no button: nothing
    }
}

void TFormConfig::DrawPanel(const DRAWITEMSTRUCT& di) {
    RECT r = di.rcItem;
    FillRect(di.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(di.hDC, &r, BDR_RAISEDINNER, BF_RECT);
    if (di.CtlID != kIdPanelHeading) return;
    HGDIOBJ old = SelectObject(di.hDC, FontHandle() ? static_cast<HGDIOBJ>(FontHandle()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, GetSysColor(COLOR_BTNTEXT));
    wchar_t text[128] = L"";
    GetWindowTextW(di.hwndItem, text, sizeof text / sizeof text[0]);
    DrawTextW(di.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(di.hDC, old);
}

LRESULT TFormConfig::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
            if (nm->idFrom == kIdTabs && nm->code == TCN_SELCHANGE) {
                const ConfigPage page =
                    TabCtrl_GetCurSel(nm->hwndFrom) == kPageVisuals ? ConfigPage::Visuals : ConfigPage::Control;
                Run("PCSettings", [this, page] { Handlers.PCSettingsChange(page); });
            }
            return 0;
        }
        case WM_CLOSE:
            // The close box leaves the dialog as Cancel does.
            Run("BtnCancel", [this] { Handlers.BtnCancelClick(); });
            return 0;
        case WM_SETFOCUS: {
            // Activation focuses the dialog itself; hand it on to its control.
            HWND focus = ControlHandle(Controls.Focused);
            if (focus && IsWindowVisible(focus) && IsWindowEnabled(focus)) SetFocus(focus);
            return 0;
        }
        case WM_NEXTDLGCTL: {
            // Tab in the multi-line help text asks the "dialog" for the next control.
            HWND next = lParam ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0 ? TRUE : FALSE);
            if (next) SetFocus(next);
            return 0;
        }
        case DM_GETDEFID: {
            // Enter presses the focused button; on any other control it does nothing.
            HWND focus = GetFocus();
            const int id = focus ? GetDlgCtrlID(focus) : 0;
            if (id == kIdCancel || id == kIdApply || id == kIdOK || id == kIdHelp || id == kIdDefault)
                return MAKELRESULT(id, DC_HASDEFID);
            return 0;
        }
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (di->CtlType == ODT_STATIC) DrawPanel(*di);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            // The read-only help text reads like a document, on the window colour.
            if (reinterpret_cast<HWND>(lParam) == Item(kIdHelpText)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            return AppForm::HandleMessage(msg, wParam, lParam);
        default:
            return AppForm::HandleMessage(msg, wParam, lParam);
    }
}

}  // namespace pv
