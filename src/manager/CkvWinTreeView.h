#pragma once
// What the manager's tree view does with files dropped on it from the shell,
// without the window: one call of OnDropFiles per file, all with the drop
// point, for as long as a handler is assigned, and the drop released in every
// case. The Win32 control (CkvWinTreeView_win) supplies the drop handle.

#include <functional>
#include <string>

namespace pv {

struct DropPoint {
    int x = 0;
    int y = 0;
};

// OnDropFiles: the sender, the dropped file's full path, the drop point in the
// tree view's client coordinates.
using TDockedEvent = std::function<void(void* sender, const std::string& FullPath, DropPoint& MouseXY)>;

// DragQueryFile, DragQueryPoint and DragFinish on one drop handle.
class IDroppedFiles {
public:
    virtual ~IDroppedFiles() = default;
    virtual unsigned Count() = 0;
    virtual DropPoint Point() = 0;
    virtual std::string File(unsigned index) = 0;
    virtual void Finish() = 0;
};

// The WM_DROPFILES handling. *handler is looked at before every file, so a
// handler that unassigns itself ends the loop.
void DispatchDroppedFiles(IDroppedFiles& drop, const TDockedEvent* handler, void* sender);

}  // namespace pv
