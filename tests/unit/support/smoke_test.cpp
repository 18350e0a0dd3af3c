#include <gtest/gtest.h>

#include "model/MenuModel.h"
#include "model/TreeModel.h"

TEST(Models, InsertKeepsOrderAndParent) {
    pv::MenuEntry root;
    root.Append()->caption = "b";
    root.Insert(0)->caption = "a";
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Child(0)->caption, "a");
    EXPECT_EQ(root.Child(1)->IndexInParent(), 1);

    pv::TreeModel tree, copy;
    pv::TreeNode* top = tree.Root().AppendChild();
    top->text = "top";
    top->AppendChild()->text = "child";
    pv::TreeModel::InsertBefore(top)->text = "first";
    copy.CopyFrom(tree);
    ASSERT_EQ(copy.TopCount(), 2);
    EXPECT_EQ(copy.Top(0)->text, "first");
    EXPECT_EQ(copy.Top(1)->FirstChild()->text, "child");
    EXPECT_EQ(copy.AllNodes().size(), 3u);
}
