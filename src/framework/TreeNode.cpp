#include "TreeNode.h"

#include "CustomTreeView.h"

#include <QFont>

namespace {

int intRole(const QTreeWidgetItem& item, int role, int fallback)
{
    const QVariant value = item.data(0, role);
    return value.isValid() ? value.toInt() : fallback;
}

}  // namespace

TTreeNode::TTreeNode() : QTreeWidgetItem(QTreeWidgetItem::UserType)
{
    setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

std::string TTreeNode::Text() const
{
    return text(0).toStdString();
}

void TTreeNode::SetText(const std::string& value)
{
    setText(0, QString::fromStdString(value));
}

int TTreeNode::ImageIndex() const
{
    return intRole(*this, treenoderole::kImageIndex, -1);
}

void TTreeNode::SetImageIndex(int index)
{
    setData(0, treenoderole::kImageIndex, index);
}

int TTreeNode::SelectedIndex() const
{
    return intRole(*this, treenoderole::kSelectedIndex, -1);
}

void TTreeNode::SetSelectedIndex(int index)
{
    setData(0, treenoderole::kSelectedIndex, index);
}

int TTreeNode::OverlayIndex() const
{
    return intRole(*this, treenoderole::kOverlayIndex, -1);
}

void TTreeNode::SetOverlayIndex(int index)
{
    setData(0, treenoderole::kOverlayIndex, index);
}

bool TTreeNode::Cut() const
{
    return intRole(*this, treenoderole::kCut, 0) != 0;
}

void TTreeNode::SetCut(bool value)
{
    setData(0, treenoderole::kCut, value ? 1 : 0);
}

bool TTreeNode::Bold() const
{
    return font(0).bold();
}

void TTreeNode::SetBold(bool value)
{
    if (Bold() == value)
        return;
    QFont bold = font(0);
    bold.setBold(value);
    setFont(0, bold);
}

TTreeNode* TTreeNode::Parent() const
{
    return static_cast<TTreeNode*>(parent());
}

QTreeWidgetItem* TTreeNode::container() const
{
    if (QTreeWidgetItem* up = parent())
        return up;
    QTreeWidget* tree = treeWidget();
    return tree ? tree->invisibleRootItem() : nullptr;
}

TTreeNode* TTreeNode::childAt(QTreeWidgetItem* container, int index)
{
    if (!container || index < 0 || index >= container->childCount())
        return nullptr;
    auto* node = static_cast<TTreeNode*>(container->child(index));
    node->FIndex = index;
    return node;
}

int TTreeNode::Index() const
{
    QTreeWidgetItem* up = container();
    if (!up)
        return -1;
    if (FIndex < 0 || FIndex >= up->childCount() || up->child(FIndex) != this)
        FIndex = up->indexOfChild(const_cast<TTreeNode*>(this));
    return FIndex;
}

TTreeNode* TTreeNode::getFirstChild() const
{
    return childAt(const_cast<TTreeNode*>(this), 0);
}

TTreeNode* TTreeNode::getNextSibling() const
{
    QTreeWidgetItem* up = container();
    const int index = up ? Index() : -1;
    return index >= 0 ? childAt(up, index + 1) : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (TTreeNode* first = getFirstChild())
        return first;
    for (const TTreeNode* node = this; node; node = node->Parent()) {
        if (TTreeNode* sibling = node->getNextSibling())
            return sibling;
    }
    return nullptr;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (QTreeWidgetItem* up = parent(); up; up = up->parent())
        ++level;
    return level;
}

TTreeNode* TTreeNode::Item(int index) const
{
    return childAt(const_cast<TTreeNode*>(this), index);
}

void TTreeNode::Expand(bool recurse)
{
    setExpanded(true);
    if (recurse)
        for (int i = 0; i < childCount(); ++i)
            static_cast<TTreeNode*>(child(i))->Expand(true);
}

void TTreeNode::Collapse(bool recurse)
{
    setExpanded(false);
    if (recurse)
        for (int i = 0; i < childCount(); ++i)
            static_cast<TTreeNode*>(child(i))->Collapse(true);
}

TCustomTreeView* TTreeNode::TreeView() const
{
    return dynamic_cast<TCustomTreeView*>(treeWidget());
}

bool TTreeNode::operator<(const QTreeWidgetItem& other) const
{
    TCustomTreeView* tree = TreeView();
    if (!tree)
        return QTreeWidgetItem::operator<(other);
    return tree->CompareNodes(const_cast<TTreeNode*>(this),
                              static_cast<TTreeNode*>(const_cast<QTreeWidgetItem*>(&other))) < 0;
}
