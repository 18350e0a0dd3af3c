#include "model/MenuModel.h"

#include <algorithm>

namespace pv {

int MenuEntry::IndexInParent() const {
    if (!parent_) return -1;
    const auto& sib = parent_->children_;
    for (size_t i = 0; i < sib.size(); ++i)
        if (sib[i].get() == this) return static_cast<int>(i);
    return -1;
}

MenuEntry* MenuEntry::Insert(int pos) {
    pos = std::clamp(pos, 0, Count());
    auto entry = std::make_unique<MenuEntry>();
    entry->parent_ = this;
    MenuEntry* raw = entry.get();
    children_.insert(children_.begin() + pos, std::move(entry));
    layoutKnown_ = false;
    return raw;
}

void MenuEntry::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    children_.erase(children_.begin() + i);
    layoutKnown_ = false;
}

void MenuEntry::ForgetLayout() {
    std::vector<const MenuEntry*> stack{this};
    while (!stack.empty()) {
        const MenuEntry* e = stack.back();
        stack.pop_back();
        e->layoutKnown_ = false;
        for (const auto& c : e->children_) stack.push_back(c.get());
    }
}

}  // namespace pv
