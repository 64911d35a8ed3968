// The framework's tree view: walking siblings, node positions and deletion
// stay right whatever moved the nodes before (adding, sorting, Qt's own
// moves, deleting).
#include "CustomTreeView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The captions met by a sibling walk from first; each node's Index() must be
// its place in the walk.
std::vector<std::string> walk(TTreeNode* first)
{
    std::vector<std::string> captions;
    for (TTreeNode* node = first; node; node = node->getNextSibling()) {
        EXPECT_EQ(node->Index(), static_cast<int>(captions.size())) << node->Text();
        captions.push_back(node->Text());
    }
    return captions;
}

std::vector<std::string> captions(std::initializer_list<int> numbers)
{
    std::vector<std::string> result;
    for (int n : numbers)
        result.push_back("c" + std::to_string(n));
    return result;
}

TEST(TCustomTreeView, SiblingWalkIndexAndDeletionFollowEveryMove)
{
    TCustomTreeView tree;
    std::vector<std::string> deleted;
    tree.OnDeletion = [&](TObject*, TTreeNode* node) { deleted.push_back(node->Text()); };
    TTreeNode* a = tree.Items().AddChildObject(nullptr, "a", nullptr);
    std::vector<TTreeNode*> c;
    for (std::intptr_t i = 0; i < 10; ++i)
        c.push_back(tree.Items().AddChildObject(a, "c" + std::to_string(i), reinterpret_cast<void*>(i)));
    tree.Items().AddChildObject(c[3], "g0", nullptr);
    tree.Items().AddChildObject(c[3], "g1", nullptr);
    tree.Items().AddChildObject(nullptr, "b", nullptr);
    EXPECT_EQ(walk(tree.Items().GetFirstNode()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(walk(a->getFirstChild()), captions({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(tree.Items().Count(), 14);

    // Sorted by data, highest first.
    tree.SetSortType(stData);
    tree.OnCompare = [](TObject*, TTreeNode* n1, TTreeNode* n2, int, int& compare) {
        compare = static_cast<int>(reinterpret_cast<std::intptr_t>(n2->Data()) -
                                   reinterpret_cast<std::intptr_t>(n1->Data()));
    };
    tree.SortChildren(a, false);
    EXPECT_EQ(c[7]->Index(), 2);
    EXPECT_EQ(c[7]->getNextSibling(), c[6]);
    EXPECT_EQ(walk(a->getFirstChild()), captions({9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));

    // Moved by Qt's own calls, behind the framework.
    a->insertChild(0, a->takeChild(5));
    EXPECT_EQ(c[9]->Index(), 1);
    EXPECT_EQ(c[9]->getNextSibling(), c[8]);
    EXPECT_EQ(c[3]->getNextSibling(), c[2]);
    EXPECT_EQ(walk(a->getFirstChild()), captions({4, 9, 8, 7, 6, 5, 3, 2, 1, 0}));

    // Deleting a node deletes its children first, the last one first; the
    // later siblings move up.
    tree.Items().Delete(c[3]);
    EXPECT_EQ(deleted, (std::vector<std::string>{"g1", "g0", "c3"}));
    EXPECT_EQ(c[2]->Index(), 6);
    EXPECT_EQ(c[5]->getNextSibling(), c[2]);
    EXPECT_EQ(walk(a->getFirstChild()), captions({4, 9, 8, 7, 6, 5, 2, 1, 0}));
    EXPECT_EQ(c[0]->getNextSibling(), nullptr);

    deleted.clear();
    tree.Items().Clear();
    EXPECT_EQ(deleted, (std::vector<std::string>{"c0", "c1", "c2", "c5", "c6", "c7", "c8", "c9", "c4", "a", "b"}));
    EXPECT_EQ(tree.Items().Count(), 0);
    EXPECT_EQ(tree.Items().GetFirstNode(), nullptr);

    TTreeNode loose;
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.getNextSibling(), nullptr);
}

}  // namespace
