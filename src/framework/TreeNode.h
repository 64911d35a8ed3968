// One node of a tree view: a caption, the image shown normally and the one
// shown while the node is selected, an overlay, the cut (dimmed) and bold
// states, and a data pointer that the tree's owner manages.
#pragma once

#include <QTreeWidgetItem>

#include <string>

class TCustomTreeView;

class TTreeNode : public QTreeWidgetItem {
public:
    TTreeNode();

    std::string Text() const;
    void SetText(const std::string& text);

    // Indexes into the tree's image list; -1 = none.
    int ImageIndex() const;
    void SetImageIndex(int index);
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // The image list's overlay number drawn over the image; -1 = none.
    int OverlayIndex() const;
    void SetOverlayIndex(int index);
    // Cut: the image drawn dimmed.
    bool Cut() const;
    void SetCut(bool value);
    bool Bold() const;
    void SetBold(bool value);

    void* Data() const { return FData; }
    void SetData(void* data) { FData = data; }

    TTreeNode* Parent() const;
    TTreeNode* getFirstChild() const;
    TTreeNode* getNextSibling() const;
    // The node's position among its siblings (top nodes among the top
    // nodes); -1 for a node without parent or tree. Constant time while it is
    // where it was last seen (see FIndex).
    int Index() const;
    // The next node in tree order (children before following siblings); null after the last.
    TTreeNode* GetNext() const;
    // Top nodes are at level 0.
    int Level() const;
    int Count() const { return childCount(); }
    TTreeNode* Item(int index) const;
    // Whether the node has child nodes (and so an expand button).
    bool HasChildren() const { return childCount() > 0; }
    bool Expanded() const { return isExpanded(); }
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // Whether the node is in the tree's selection.
    bool Selected() const { return isSelected(); }
    TCustomTreeView* TreeView() const;

    // Sorting asks the tree's comparison.
    bool operator<(const QTreeWidgetItem& other) const override;

private:
    friend class TCustomTreeView;
    friend class TTreeNodes;

    // The item that holds the node among its siblings: the parent node, or
    // the tree's invisible root for a top node; null outside a tree.
    QTreeWidgetItem* container() const;
    // The child at index of container, which then remembers its position.
    static TTreeNode* childAt(QTreeWidgetItem* container, int index);

    void* FData = nullptr;
    // Where the node was last seen among its siblings. Only a hint: Qt may
    // move nodes (sorting, insertion, removal), so it is checked before use
    // and looked up again (linear) when stale. Adding, sorting and walking
    // the siblings keep it current, so a walk or a deletion costs constant
    // time per node.
    mutable int FIndex = -1;
};

// The item data roles that carry a node's images to the tree's painting.
namespace treenoderole {
inline constexpr int kImageIndex = Qt::UserRole + 1;
inline constexpr int kSelectedIndex = Qt::UserRole + 2;
inline constexpr int kOverlayIndex = Qt::UserRole + 3;
inline constexpr int kCut = Qt::UserRole + 4;
}  // namespace treenoderole
