#include "model/Pictures.h"

#include <algorithm>

namespace pv {

namespace {
const char* const kFixedLabels[kFixedPictureCount] = {
    "fixed 0 folder",  "fixed 1 open folder", "fixed 2 program",     "fixed 3 separator",
    "fixed 4 caption", "fixed 5 top",         "fixed 6 directory",   "fixed 7 marker 1",
    "fixed 8 help",    "fixed 9 manage",      "fixed 10 preferences", "fixed 11 marker 2",
    "break 3",         "break 4",             "break 5",
};
}  // namespace

PictureRecorder::PictureRecorder() {
    for (const char* label : kFixedLabels) {
        menu_.emplace_back(label);
        tree_.emplace_back(label);
    }
}

int PictureRecorder::Count() const { return static_cast<int>(tree_.size()); }

void PictureRecorder::Put(std::vector<std::string>& list, int position, const std::string& label) {
    if (position < 0 || position >= static_cast<int>(list.size()))
        list.push_back(label);
    else
        list.insert(list.begin() + position, label);
}

bool PictureRecorder::AddShellIcon(const std::string& path, int position, bool menuOnly) {
    ++shellQueries_;
    const bool found = hasIcon_ ? hasIcon_(path) : true;
    const std::string label = found ? "shell " + path : "blank " + path;
    Put(menu_, position, label);
    if (!menuOnly) Put(tree_, position, label);
    return found;
}

void PictureRecorder::AddTypeIcon(const std::string& file, int position) { AddShellIcon(file, position, false); }

bool PictureRecorder::InsertIconFile(const std::string& file, int position) {
    Put(menu_, position, "file " + file);
    return true;
}

void PictureRecorder::CopyMenuPictureToTree(int position) {
    // Appending takes the menu picture that sits where the tree picture will go.
    const int at = position < 0 ? static_cast<int>(tree_.size()) : position;
    const int n = static_cast<int>(menu_.size());
    const std::string label = at < n ? menu_[static_cast<size_t>(at)] : "blank";
    Put(tree_, position, label);
}

void PictureRecorder::DeleteAbove(int last) {
    const size_t keep = static_cast<size_t>(std::max(last + 1, 0));
    if (menu_.size() > keep) menu_.resize(keep);
    if (tree_.size() > keep) tree_.resize(keep);
}

bool PictureRecorder::AppendCopy(int index) {
    if (index < 0 || index >= static_cast<int>(menu_.size()) || index >= static_cast<int>(tree_.size())) return false;
    menu_.push_back(menu_[static_cast<size_t>(index)]);
    tree_.push_back(tree_[static_cast<size_t>(index)]);
    return true;
}

std::string PictureRecorder::MenuPictureBmp(int index) {
    if (index < 0 || index >= static_cast<int>(menu_.size())) return "BMP blank";
    return "BMP " + menu_[static_cast<size_t>(index)];
}

void PictureRecorder::AppendBreakPictures() {
    for (int i = 12; i < kFixedPictureCount; ++i) {
        menu_.emplace_back(kFixedLabels[i]);
        tree_.emplace_back(kFixedLabels[i]);
    }
}

}  // namespace pv
