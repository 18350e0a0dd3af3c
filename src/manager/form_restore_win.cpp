#include "manager/form_restore_win.h"

#include <cstring>

namespace pv {

namespace {

constexpr WORD kIdList = 100;
constexpr WORD kIdText = 101;

struct DialogData {
    const std::vector<std::string>* rows;
};

// A dialog template in memory: DLGTEMPLATE, then each DLGITEMTEMPLATE on a
// DWORD boundary, strings as UTF-16 (all texts here are ASCII).
class TemplateWriter {
public:
    void Word(WORD w) { buf_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char* s) {
        for (; *s; ++s) Word(static_cast<WORD>(static_cast<unsigned char>(*s)));
        Word(0);
    }
    void AlignDword() {
        if (buf_.size() % 2) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls, const char* text) {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);  // extended style
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);  // a predefined class by its atom
        Word(cls);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }

private:
    std::vector<WORD> buf_;
};

INT_PTR CALLBACK RestoreDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        switch (msg) {
            case WM_INITDIALOG: {
                const auto* data = reinterpret_cast<const DialogData*>(lParam);
                HWND list = GetDlgItem(dlg, kIdList);
                for (const std::string& row : *data->rows)
                    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
                SendMessageA(list, LB_SETCURSEL, 0, 0);
                SetFocus(list);
                return FALSE;  // the focus is set
            }
            case WM_COMMAND: {
                const WORD id = LOWORD(wParam);
                if (id == IDOK || (id == kIdList && HIWORD(wParam) == LBN_DBLCLK)) {
                    const LRESULT sel = SendDlgItemMessageA(dlg, kIdList, LB_GETCURSEL, 0, 0);
                    EndDialog(dlg, sel == LB_ERR ? -1 : sel);
                    return TRUE;
                }
                if (id == IDCANCEL) {
                    EndDialog(dlg, -1);
                    return TRUE;
                }
                return FALSE;
            }
            default:
                return FALSE;
        }
    } catch (...) {
        EndDialog(dlg, -1);  // nothing is restored rather than anything half
        return TRUE;
    }
}

}  // namespace

int ShowRestoreDialog(HWND owner, const std::vector<std::string>& rows) {
    TemplateWriter t;
    t.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    t.Dword(0);
    t.Word(4);  // controls
    t.Word(0);
    t.Word(0);
    t.Word(250);
    t.Word(150);
    t.Word(0);  // no menu
    t.Word(0);  // the dialog class
    t.Text(kRestoreDialogTitle);
    t.Word(8);
    t.Text("MS Shell Dlg");
    t.Item(SS_LEFT, 7, 7, 236, 18, kIdText, 0x0082,
           "Choose the save to bring back. It replaces the items in the manager as an edit: Undo takes it back, "
           "Save keeps it.");
    t.Item(WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 28, 236, 94, kIdList, 0x0083,
           "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 139, 129, 50, 14, IDOK, 0x0080, "OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 193, 129, 50, 14, IDCANCEL, 0x0080, "Cancel");
    DialogData data{&rows};
    const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, RestoreDialogProc,
                                              reinterpret_cast<LPARAM>(&data));
    return r < 0 ? -1 : static_cast<int>(r);
}

}  // namespace pv
