#include "menu/Launching.h"

#include "support/UkvSysIO.h"

namespace pv {

std::string ShellOpenDirectory(const std::string& file) { return ExtractFileDir(file); }

bool ShellOpen(IShell& shell, const std::string& file, const std::string& params, const std::string& dir) {
    return ShellRun(shell, "open", file, params, dir);
}

bool ShellRun(IShell& shell, const std::string& verb, const std::string& file, const std::string& params,
              const std::string& dir) {
    const std::string workDir = dir.empty() ? ShellOpenDirectory(file) : dir;
    return shell.Execute(verb, file, params, workDir, kShowDefault) > 32;
}

std::string TargetNotFoundText(const std::string& target) { return "\"" + target + "\" not found."; }

bool OpenTarget(IShell& shell, const std::string& target,
                const std::function<void(const std::string&)>& showPlain) {
    if (shell.Execute("open", target, std::string(), std::string(), kShowNormal) > 32) return true;
    if (showPlain) showPlain(TargetNotFoundText(target));
    return false;
}

void NorItemsRTClickItem(IShell& shell, const ItemTable& table, const MenuEntry& entry) {
    const int n = entry.tag;
    // Only link entries carry this handler, so the tag is an item number; a tag
    // outside the table would be a broken menu, and nothing is started for it.
    if (n < 0 || n >= table.paths.Length()) return;
    ShellOpen(shell, table.paths[n], table.FindItemParams(n), std::string());
}

}  // namespace pv
