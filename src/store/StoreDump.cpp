#include "store/StoreDump.h"

#include <utility>

namespace pv {

const char* ClickHandlerName(ClickHandler handler) {
    switch (handler) {
    case ClickHandler::None: return "";
    case ClickHandler::NorItemsRTClickItem: return "NorItemsRTClickItem";
    case ClickHandler::miHelpFileClick: return "miHelpFileClick";
    case ClickHandler::miManageItemsClick: return "miManageItemsClick";
    case ClickHandler::miFindItemClick: return "miFindItemClick";
    case ClickHandler::SetupClick: return "SetupClick";
    case ClickHandler::miVisitWebsiteClick: return "miVisitWebsiteClick";
    case ClickHandler::miAboutClick: return "miAboutClick";
    case ClickHandler::miCloseAppClick: return "miCloseAppClick";
    }
    return "";
}

std::string DumpMenu(const MenuEntry& root) {
    std::string out;
    std::vector<std::pair<const MenuEntry*, int>> stack;
    for (int i = root.Count() - 1; i >= 0; --i) stack.emplace_back(root.Child(i), 0);
    while (!stack.empty()) {
        auto [e, depth] = stack.back();
        stack.pop_back();
        out.append(static_cast<size_t>(depth) * 2, ' ');
        out += "\"" + e->caption + "\" tag=" + std::to_string(e->tag) + " image=" + std::to_string(e->imageIndex);
        if (e->onClick == ClickHandler::NorItemsRTClickItem) out += " item=" + std::to_string(e->tag);
        if (!e->visible) out += " hidden";
        if (e->onClick != ClickHandler::None) out += std::string(" click=") + ClickHandlerName(e->onClick);
        out += "\n";
        for (int i = e->Count() - 1; i >= 0; --i) stack.emplace_back(e->Child(i), depth + 1);
    }
    return out;
}

std::string DumpTree(const TreeModel& tree) {
    std::string out;
    std::vector<std::pair<const TreeNode*, int>> stack;
    const TreeNode& root = tree.Root();
    for (int i = root.Count() - 1; i >= 0; --i) stack.emplace_back(root.Child(i), 0);
    while (!stack.empty()) {
        auto [n, depth] = stack.back();
        stack.pop_back();
        out.append(static_cast<size_t>(depth) * 2, ' ');
        out += "\"" + n->text + "\" image=" + std::to_string(n->imageIndex) +
               " selected=" + std::to_string(n->selectedIndex) + " state=" + std::to_string(n->stateIndex) +
               " data=" + std::to_string(n->data);
        if (n->cut) out += " cut";
        out += "\n";
        for (int i = n->Count() - 1; i >= 0; --i) stack.emplace_back(n->Child(i), depth + 1);
    }
    return out;
}

std::string DumpSkipped(const std::vector<SkippedLine>& skipped) {
    std::string out;
    for (const auto& s : skipped)
        out += s.indexFile + ":" + std::to_string(s.lineNumber) + ": " + SkipReasonText(s.reason) + ": " + s.text +
               "\n";
    return out;
}

}  // namespace pv
