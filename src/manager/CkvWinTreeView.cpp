#include "manager/CkvWinTreeView.h"

namespace pv {

void DispatchDroppedFiles(IDroppedFiles& drop, const TDockedEvent* handler, void* sender) {
    // The handle is released however the handler ends; otherwise the shell's
    // memory for the drop leaks.
    struct Release {
        IDroppedFiles& d;
        ~Release() { d.Finish(); }
    } release{drop};
    if (!handler || !*handler) return;
    const unsigned n = drop.Count();
    DropPoint point = drop.Point();
    for (unsigned i = 0; i < n && *handler; ++i) {
        DropPoint p = point;  // every file of one drop gets the same point
        (*handler)(sender, drop.File(i), p);
    }
}

}  // namespace pv
