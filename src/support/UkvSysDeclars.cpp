#include "support/UkvSysDeclars.h"

namespace pv {

void TkvDynStringArray::BuildIndex() const {
    first_.clear();
    first_.reserve(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) first_.emplace(items_[i], static_cast<int>(i));
    indexed_ = true;
}

void TkvDynStringArray::Set(int i, const std::string& text) {
    if (i < 0 || i >= Length()) return;
    std::string& slot = items_[static_cast<size_t>(i)];
    if (slot == text) return;
    if (!indexed_) {
        slot = text;
        return;
    }
    auto old = first_.find(slot);
    if (old != first_.end() && old->second == i) {
        // The replaced text may still occur later on; its first position moves there.
        first_.erase(old);
        for (int j = i + 1; j < Length(); ++j)
            if (items_[static_cast<size_t>(j)] == slot) {
                first_.emplace(slot, j);
                break;
            }
    }
    slot = text;
    auto cur = first_.find(text);
    if (cur == first_.end() || cur->second > i) first_[text] = i;
}

}  // namespace pv
