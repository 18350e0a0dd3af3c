#include "model/TreeModel.h"

#include <algorithm>

namespace pv {

TreeNode* TreeNode::InsertChild(int pos) {
    return AdoptChild(pos, std::make_unique<TreeNode>());
}

TreeNode* TreeNode::AdoptChild(int pos, std::unique_ptr<TreeNode> node) {
    pos = std::clamp(pos, 0, Count());
    node->parent_ = this;
    TreeNode* raw = node.get();
    children_.insert(children_.begin() + pos, std::move(node));
    return raw;
}

void TreeNode::DeleteChild(int i) {
    if (i < 0 || i >= Count()) return;
    children_.erase(children_.begin() + i);
}

std::unique_ptr<TreeNode> TreeNode::TakeChild(int i) {
    if (i < 0 || i >= Count()) return nullptr;
    std::unique_ptr<TreeNode> node = std::move(children_[static_cast<size_t>(i)]);
    children_.erase(children_.begin() + i);
    node->parent_ = nullptr;
    return node;
}

void TreeNode::CopyFieldsTo(TreeNode& target) const {
    target.text = text;
    target.imageIndex = imageIndex;
    target.selectedIndex = selectedIndex;
    target.stateIndex = stateIndex;
    target.data = data;  // the cut mark is the clipboard's, not part of a copy
    for (const auto& child : children_) child->CopyFieldsTo(*target.AppendChild());
}

int TreeModel::IndexOf(const TreeNode* node) {
    if (!node || !node->parent_) return -1;
    const auto& sib = node->parent_->children_;
    for (size_t i = 0; i < sib.size(); ++i)
        if (sib[i].get() == node) return static_cast<int>(i);
    return -1;
}

TreeNode* TreeModel::NextSibling(const TreeNode* node) {
    int i = IndexOf(node);
    if (i < 0 || i + 1 >= node->parent_->Count()) return nullptr;
    return node->parent_->Child(i + 1);
}

TreeNode* TreeModel::PrevSibling(const TreeNode* node) {
    int i = IndexOf(node);
    if (i <= 0) return nullptr;
    return node->parent_->Child(i - 1);
}

TreeNode* TreeModel::InsertBefore(TreeNode* before) {
    int i = IndexOf(before);
    if (i < 0) return nullptr;
    return before->parent_->InsertChild(i);
}

void TreeModel::Delete(TreeNode* node) {
    int i = IndexOf(node);
    if (i >= 0) node->parent_->DeleteChild(i);
}

void TreeModel::CopyFrom(const TreeModel& other) {
    root_.ClearChildren();
    for (const auto& top : other.root_.children_) top->CopyFieldsTo(*root_.AppendChild());
}

std::vector<TreeNode*> TreeModel::AllNodes() const {
    std::vector<TreeNode*> out;
    std::vector<const TreeNode*> stack;
    for (int i = root_.Count() - 1; i >= 0; --i) stack.push_back(root_.Child(i));
    while (!stack.empty()) {
        const TreeNode* n = stack.back();
        stack.pop_back();
        out.push_back(const_cast<TreeNode*>(n));
        for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Child(i));
    }
    return out;
}

}  // namespace pv
