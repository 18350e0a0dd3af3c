#pragma once
// TFormConfig: the preferences window, made when first shown; the settings
// live in its controls (FormConfigControls) between a read and a write.
//
// The window creates the real controls (a tab control with the pages "Control"
// and "Visuals", group boxes, check boxes, the two drop-down lists, the
// read-only data path, the help panel, the four buttons), mirrors Controls into
// them and forwards their events to Handlers. Its keyboard input goes through
// IsDialogMessage (the program's message loop), so Tab, Esc and Enter work as
// in a dialog.

#include <windows.h>

#include <string>
#include <vector>

#include "model/AppModel.h"
#include "prefs/form_config.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormConfig : public AppForm {
public:
    TFormConfig(AppModel& model, IConfigDialogHost& host);
    ~TFormConfig() override;

    // The window waits for its first showing (MakeWindow); nothing to do at
    // start-up.
    bool Create() { return true; }

    FormConfigControls Controls;
    ConfigDialog Handlers;

    // Replaces the font name list by the fonts installed on the system.
    void FillFontNames();
    // Mirrors Controls into the dialog's controls.
    void PushToControls();

    // The window of a control (null for None).
    HWND ControlHandle(ConfigControl control) const;

protected:
    void FormShow() override;
    bool MakeWindow() override;
    void FontChanged() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The hot key field's combination into the controls' model.
    void ReadHotKeyField();
    struct Child {
        HWND hwnd;
        int page;  // -1: on no page; else the ConfigPage it belongs to
        ControlRect rect;  // on a page: from the page's top-left; else in the client area
        ConfigControl control;
    };

    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);

    HWND MakeChild(int id, const char* cls, const char* text, DWORD style, DWORD exStyle, int page,
                   ControlRect rect, ConfigControl control);
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    // Places the page controls on the tab control's display area and lays the
    // help panels out along it.
    void Layout();
    void ControlFocused(HWND hwnd);
    void OnCommand(int id, int code, HWND from);
    void DrawPanel(const DRAWITEMSTRUCT& di);
    // Runs a handler with what it changed mirrored afterwards; what it throws
    // goes to the application's handler with the control as sender.
    template <class Body>
    void Run(const char* sender, Body&& body);

    std::vector<Child> children_;
    std::vector<std::string> shownFontNames_;
    std::vector<std::string> shownFontSizes_;
    WindowFont shownHelpFont_;
    HFONT helpFont_ = nullptr;
    bool mirroring_ = false;
    bool childMissing_ = false;
};

// Face names of the installed fonts (EnumFontFamiliesEx, every character set),
// each once, vertical "@" faces left out, in enumeration order.
std::vector<std::string> InstalledFontNames();

}  // namespace pv
