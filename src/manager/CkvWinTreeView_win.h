#pragma once
// TkvWinTreeView: the platform's tree view that also takes files dropped on it
// from the shell (DragAcceptFiles, WM_DROPFILES) and reports each through
// OnDropFiles.

#include <windows.h>

#include <functional>

#include "manager/CkvWinTreeView.h"

namespace pv {

class TkvWinTreeView {
public:
    TkvWinTreeView() = default;
    TkvWinTreeView(const TkvWinTreeView&) = delete;
    TkvWinTreeView& operator=(const TkvWinTreeView&) = delete;
    ~TkvWinTreeView();

    // A WC_TREEVIEW child of parent, registered for file drops.
    bool Create(HWND parent, int id, int x, int y, int width, int height, DWORD style);
    HWND Handle() const { return hwnd_; }

    TDockedEvent OnDropFiles;
    // Mouse and key messages of the control, before it acts on them; true when
    // the owner handled the message (the control then does not see it).
    std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam)> OnInput;

    // The WM_DROPFILES route, also for a drop handle made by hand.
    void DropFiles(HDROP drop);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    HWND hwnd_ = nullptr;
};

}  // namespace pv
