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

TTreeNode* TTreeNode::getFirstChild() const
{
    return childCount() > 0 ? static_cast<TTreeNode*>(child(0)) : nullptr;
}

TTreeNode* TTreeNode::getNextSibling() const
{
    if (QTreeWidgetItem* up = parent()) {
        const int index = up->indexOfChild(const_cast<TTreeNode*>(this));
        return index + 1 < up->childCount() ? static_cast<TTreeNode*>(up->child(index + 1)) : nullptr;
    }
    if (QTreeWidget* tree = treeWidget()) {
        const int index = tree->indexOfTopLevelItem(const_cast<TTreeNode*>(this));
        return index + 1 < tree->topLevelItemCount() ? static_cast<TTreeNode*>(tree->topLevelItem(index + 1))
                                                      : nullptr;
    }
    return nullptr;
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
    return index >= 0 && index < childCount() ? static_cast<TTreeNode*>(child(index)) : nullptr;
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
