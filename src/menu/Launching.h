#pragma once
// Starting items through the shell's "open" operation: the link entries of the
// tray menu, and single documents or web addresses with a failure message.

#include <functional>
#include <string>

#include "model/MenuModel.h"
#include "model/ItemTable.h"
#include "support/Platform.h"

namespace pv {

// The working directory a start gets when none is given: the text before the
// last backslash or colon of file, keeping the backslash that follows a drive's
// colon and keeping a colon that is the last delimiter
// (C:\Tools\x.exe -> C:\Tools, C:\x.exe -> C:\, C:\Data\ -> C:\Data, C:x -> C:).
std::string ShellOpenDirectory(const std::string& file);

// ShellExecute "open" with no owner window and SW_SHOWDEFAULT; an empty dir means
// the directory part of file. True when the shell reports success (> 32).
bool ShellOpen(IShell& shell, const std::string& file, const std::string& params, const std::string& dir);
// The same with another verb ("runas").
bool ShellRun(IShell& shell, const std::string& verb, const std::string& file, const std::string& params,
              const std::string& dir);

// The text OpenTarget shows when the shell fails: "\"" + target + "\" not found."
std::string TargetNotFoundText(const std::string& target);

// ShellExecute "open" with no parameters, no directory and SW_SHOWNORMAL; on
// failure shows TargetNotFoundText through showPlain (ShowAppMessage index 0,
// mode 0). Returns whether the shell succeeded.
bool OpenTarget(IShell& shell, const std::string& target,
                const std::function<void(const std::string&)>& showPlain);

// The click handler of every link entry: the entry's tag is its item number; the
// path comes from the path table, the parameters from FindItemParams. A failed
// start shows nothing of the program's own.
void NorItemsRTClickItem(IShell& shell, const ItemTable& table, const MenuEntry& entry);

}  // namespace pv
