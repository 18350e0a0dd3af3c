#pragma once
// Shared declarations of the support library.

#include <string>
#include <unordered_map>
#include <vector>

namespace pv {

// A growable array of strings indexed from 0. It keeps the position of the first
// occurrence of every text, so that IndexOfString answers in constant time with
// the same result as a scan from index 0 would give: the item table is looked up
// once per item while loading, launching and saving.
class TkvDynStringArray {
public:
    int Length() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    const std::vector<std::string>& Items() const { return items_; }

    void Append(std::string text) {
        if (indexed_) first_.emplace(text, Length());  // keeps an existing (earlier) position
        items_.push_back(std::move(text));
    }
    // Replaces entry i, keeping the first-occurrence index exact.
    void Set(int i, const std::string& text);
    // Index of the first entry equal to text (exact, byte for byte), or -1.
    // Constant time; the index is built by the first lookup, so that a list
    // nobody searches (the paths of a load) costs no hashing.
    int IndexOf(const std::string& text) const {
        if (!indexed_) BuildIndex();
        auto it = first_.find(text);
        return it == first_.end() ? -1 : it->second;
    }
    void Reserve(size_t n) { items_.reserve(n); }
    void Clear() {
        items_.clear();
        first_.clear();
        indexed_ = false;
    }

private:
    void BuildIndex() const;

    std::vector<std::string> items_;
    mutable std::unordered_map<std::string, int> first_;
    mutable bool indexed_ = false;
};

}  // namespace pv
