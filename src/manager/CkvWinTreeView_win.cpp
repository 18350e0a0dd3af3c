#include "manager/CkvWinTreeView_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "support/Wide_win.h"
#include "support/Window_win.h"

namespace pv {

namespace {

constexpr UINT_PTR kSubclassId = 1;

class WinDroppedFiles : public IDroppedFiles {
public:
    explicit WinDroppedFiles(HDROP drop) : drop_(drop) {}
    unsigned Count() override { return DragQueryFileW(drop_, 0xFFFFFFFFu, nullptr, 0); }
    DropPoint Point() override {
        POINT pt = {0, 0};
        DragQueryPoint(drop_, &pt);
        return DropPoint{pt.x, pt.y};
    }
    std::string File(unsigned index) override {
        // As long as the name is: a fixed buffer would cut long paths and make
        // an item that points at the wrong file. Wide, since the block may
        // hold names the process code page cannot (before Windows 10 1903).
        const UINT length = DragQueryFileW(drop_, index, nullptr, 0);
        std::vector<wchar_t> buf(length + 1, L'\0');
        DragQueryFileW(drop_, index, buf.data(), length + 1);
        return Narrow(buf.data());
    }
    void Finish() override { DragFinish(drop_); }

private:
    HDROP drop_;
};

}  // namespace

TkvWinTreeView::~TkvWinTreeView() {
    if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
}

bool TkvWinTreeView::Create(HWND parent, int id, int x, int y, int width, int height, DWORD style) {
    hwnd_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width,
                            height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return false;
    SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    DragAcceptFiles(hwnd_, TRUE);
    return true;
}

void TkvWinTreeView::DropFiles(HDROP drop) {
    WinDroppedFiles files(drop);
    DispatchDroppedFiles(files, &OnDropFiles, this);
}

LRESULT CALLBACK TkvWinTreeView::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    if (msg == WM_DROPFILES) {
        auto* view = reinterpret_cast<TkvWinTreeView*>(self);
        Guard("TVItems", [&] { view->DropFiles(reinterpret_cast<HDROP>(wParam)); });
        return 0;
    }
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_KEYDOWN || msg == WM_CAPTURECHANGED) {
        auto* view = reinterpret_cast<TkvWinTreeView*>(self);
        bool handled = false;
        if (view->OnInput) Guard("TVItems", [&] { handled = view->OnInput(msg, wParam, lParam); });
        if (handled) return 0;
    }
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        reinterpret_cast<TkvWinTreeView*>(self)->hwnd_ = nullptr;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace pv
