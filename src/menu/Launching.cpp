#include "menu/Launching.h"

namespace pv {

std::string ShellOpenDirectory(const std::string& file) {
    const size_t last = file.find_last_of("\\:");
    if (last == std::string::npos) return std::string();
    size_t end = last + 1;  // characters kept
    // Drop the backslash itself unless it follows another delimiter (the drive's
    // colon, or a second backslash) or starts the text.
    if (last > 0 && file[last] == '\\' && file[last - 1] != ':' && file[last - 1] != '\\') end = last;
    return file.substr(0, end);
}

bool ShellOpen(IShell& shell, const std::string& file, const std::string& params, const std::string& dir) {
    const std::string workDir = dir.empty() ? ShellOpenDirectory(file) : dir;
    return shell.Execute("open", file, params, workDir, kShowDefault) > 32;
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
