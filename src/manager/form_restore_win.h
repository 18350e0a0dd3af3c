#pragma once
// The Restore list: a modal dialog over the manager with one row per backup
// (newest first, the newest chosen), OK and Cancel. What the rows say and what
// the choice does are FormItemsModel's (BitBtnRestoreClick).

#include <windows.h>

#include <string>
#include <vector>

namespace pv {

// The title of the dialog (the end-to-end tests find it by this).
inline constexpr const char* kRestoreDialogTitle = "Restore";

// The row the user chose, or -1 for Cancel, Esc or the close box.
int ShowRestoreDialog(HWND owner, const std::vector<std::string>& rows);

}  // namespace pv
