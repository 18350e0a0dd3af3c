#pragma once
// The manager's item tree (TVItems, and the hidden TVUndo and TVBasic) as plain
// data. The loader builds it; the manager window mirrors it into a tree view.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pv {

class TreeNode {
public:
    std::string text;
    int imageIndex = -1;
    int selectedIndex = -1;
    int stateIndex = -1;
    int32_t data = -1;  // item number, or -1 for a node without an item
    bool cut = false;

    TreeNode() = default;
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    TreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TreeNode* Child(int i) const { return children_[static_cast<size_t>(i)].get(); }
    TreeNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }

    // Creates a child at `pos` (clamped to 0..Count()) and returns it.
    TreeNode* InsertChild(int pos);
    TreeNode* AppendChild() { return InsertChild(Count()); }
    void DeleteChild(int i);
    void ClearChildren() { children_.clear(); }
    // Room for n more children without growing again (a loader that knows how
    // many lines a level has).
    void ReserveChildren(size_t n) { children_.reserve(children_.size() + n); }
    // Moves child i out of this node (for moving subtrees between places).
    std::unique_ptr<TreeNode> TakeChild(int i);
    TreeNode* AdoptChild(int pos, std::unique_ptr<TreeNode> node);

    // Copies this node's fields and its whole subtree onto `target`'s new children.
    void CopyFieldsTo(TreeNode& target) const;

private:
    friend class TreeModel;
    TreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children_;
};

// A tree with several top-level nodes: the hidden root's children are the
// first level. `tag` is the tree's integer tag (the added-icon count).
class TreeModel {
public:
    int tag = 0;

    TreeNode& Root() { return root_; }
    const TreeNode& Root() const { return root_; }
    int TopCount() const { return root_.Count(); }
    TreeNode* Top(int i) const { return root_.Child(i); }
    TreeNode* First() const { return root_.FirstChild(); }

    // Position of a node among its siblings (linear in their number), -1 if none.
    static int IndexOf(const TreeNode* node);
    static TreeNode* NextSibling(const TreeNode* node);
    static TreeNode* PrevSibling(const TreeNode* node);
    // Inserts a new node as the sibling just before `before` (at the top level when
    // `before` is a top-level node).
    static TreeNode* InsertBefore(TreeNode* before);
    // Deletes the node with its subtree.
    static void Delete(TreeNode* node);

    void Clear() { root_.ClearChildren(); }
    // Replaces this tree's nodes by a deep copy of `other`'s (the tag is not copied).
    void CopyFrom(const TreeModel& other);
    // Every node, depth first, each before its children.
    std::vector<TreeNode*> AllNodes() const;

private:
    TreeNode root_;
};

}  // namespace pv
