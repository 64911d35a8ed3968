#include "CustomTreeView.h"

#include "ImageList.h"
#include "SafeCall.h"
#include "SysUtils.h"

#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

TTreeNode* nodeOf(QTreeWidgetItem* item)
{
    return static_cast<TTreeNode*>(item);
}

// Draws each node's image from the tree's image list: the selected image
// while the node is selected, with its overlay, dimmed when the node is cut.
class NodeImageDelegate final : public QStyledItemDelegate {
public:
    explicit NodeImageDelegate(TCustomTreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        TImageList* images = m_tree->Images();
        if (!images)
            return;
        const bool selected = option->state & QStyle::State_Selected;
        const int image = index.data(selected ? treenoderole::kSelectedIndex : treenoderole::kImageIndex).toInt();
        const QVariant overlay = index.data(treenoderole::kOverlayIndex);
        const bool cut = index.data(treenoderole::kCut).toInt() != 0;
        const QPixmap pixmap =
            images->GetPixmap(image, overlay.isValid() ? overlay.toInt() : -1, cut);
        option->decorationSize = QSize(images->Width(), images->Height());
        option->features |= QStyleOptionViewItem::HasDecoration;
        // An empty icon keeps the caption where the image would be.
        option->icon = pixmap.isNull() ? QIcon() : QIcon(pixmap);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (TImageList* images = m_tree->Images())
            size.setHeight(std::max(size.height(), images->Height() + 2));
        return size;
    }

private:
    TCustomTreeView* m_tree;
};

}  // namespace

// Qt input handled between beginInput and endInput reports its selection
// change once, at the end.
class InputBatch {
public:
    explicit InputBatch(TCustomTreeView& tree) : m_tree(tree) { m_tree.beginInput(); }
    ~InputBatch() { m_tree.endInput(); }

private:
    TCustomTreeView& m_tree;
};

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data)
{
    auto* node = new TTreeNode;
    node->SetText(text);
    node->SetData(data);
    QTreeWidgetItem* container = parent ? parent : FTree.invisibleRootItem();
    node->FIndex = container->childCount();
    container->addChild(node);
    return node;
}

TTreeNode* TTreeNodes::GetFirstNode() const
{
    return TTreeNode::childAt(FTree.invisibleRootItem(), 0);
}

int TTreeNodes::Count() const
{
    int count = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
        ++count;
    return count;
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (node && node->treeWidget() == &FTree)
        FTree.deleteNode(node);
}

void TTreeNodes::Clear()
{
    while (TTreeNode* node = GetFirstNode())
        FTree.deleteNode(node);
}

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWidgetControl<QTreeWidget>(owner), FItems(*this)
{
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new NodeImageDelegate(this));
    applySelectionMode();
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { currentChanged(nodeOf(current)); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                selectionChanged(selected, deselected);
            });
}

TCustomTreeView::~TCustomTreeView()
{
    FDestroying = true;
    ++FQuiet;
    disconnect(this, nullptr, this, nullptr);
    disconnect(selectionModel(), nullptr, this, nullptr);
    // The handlers belong to objects that may be gone already.
    OnDeletion = nullptr;
    OnChanging = nullptr;
    OnChange = nullptr;
    OnCompare = nullptr;
    FItems.Clear();
}

void TCustomTreeView::SetParent(QWidget* parent)
{
    setParent(parent);
    if (parent)
        show();
}

TTreeNode* TCustomTreeView::Selections(int index) const
{
    if (index < 0 || index >= SelectionCount())
        return nullptr;
    return FSelections[static_cast<std::size_t>(index)];
}

void TCustomTreeView::SetSelected(TTreeNode* node)
{
    if (node && node->treeWidget() != this)
        return;
    if (node) {
        setCurrentItem(node);  // selects node alone
        if (!node->isSelected())
            node->setSelected(true);
        return;
    }
    const bool hadCurrent = currentItem() != nullptr;
    clearSelection();
    setCurrentItem(nullptr);
    if (!hadCurrent && FSelected)  // Qt had no current item to move away from
        applyChange(nullptr);
}

void TCustomTreeView::Deselect(TTreeNode* node)
{
    if (!node || node->treeWidget() != this)
        return;
    ++FQuiet;
    node->setSelected(false);
    --FQuiet;
    FSelections.erase(std::remove(FSelections.begin(), FSelections.end(), node), FSelections.end());
}

void TCustomTreeView::SetMultiSelect(bool value)
{
    if (value == FMultiSelect)
        return;
    FMultiSelect = value;
    applySelectionMode();
    if (!value) {
        // Only the selected node stays selected.
        ++FQuiet;
        for (TTreeNode* node : std::vector<TTreeNode*>(FSelections))
            if (node != FSelected)
                node->setSelected(false);
        --FQuiet;
    }
}

void TCustomTreeView::SetMultiSelectStyle(TMultiSelectStyle value)
{
    FMultiSelectStyle = value;
    applySelectionMode();
}

void TCustomTreeView::applySelectionMode()
{
    if (!FMultiSelect)
        setSelectionMode(QAbstractItemView::SingleSelection);
    else if (FMultiSelectStyle.Contains(msShiftSelect))
        setSelectionMode(QAbstractItemView::ExtendedSelection);
    else
        setSelectionMode(QAbstractItemView::MultiSelection);
}

void TCustomTreeView::SetHideSelection(bool value)
{
    FHideSelection = value;
}

void TCustomTreeView::SetReadOnly(bool value)
{
    FReadOnly = value;
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TCustomTreeView::SetImages(TImageList* images)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = images;
    if (FImages) {
        FImages->FreeNotification(this);
        setIconSize(QSize(FImages->Width(), FImages->Height()));
    }
    viewport()->update();
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == FImages) {
        FImages = nullptr;
        if (!FDestroying)
            viewport()->update();
    }
    TComponent::Notification(component, operation);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const
{
    return nodeOf(itemAt(x, y));
}

void TCustomTreeView::AlphaSort(bool recurse)
{
    SortChildren(nullptr, recurse);
}

void TCustomTreeView::SortChildren(TTreeNode* node, bool recurse)
{
    if (node && node->treeWidget() != this)
        return;
    ++FQuiet;  // Qt keeps the current item through a sort; nothing is reported
    QTreeWidgetItem* container = node ? node : invisibleRootItem();
    container->sortChildren(0, Qt::AscendingOrder);
    // Every child learns its new position (childAt).
    for (int i = 0; i < container->childCount(); ++i) {
        TTreeNode* child = TTreeNode::childAt(container, i);
        if (recurse)
            SortChildren(child, true);
    }
    --FQuiet;
}

int TCustomTreeView::CompareNodes(TTreeNode* node1, TTreeNode* node2)
{
    if ((FSortType == stData || FSortType == stBoth) && OnCompare) {
        int result = 0;
        SafeCall([&] { OnCompare(this, node1, node2, 0, result); });
        return result;
    }
    return AnsiCompareText(node1->Text(), node2->Text());
}

void TCustomTreeView::deleteNode(TTreeNode* node)
{
    // The last child first: the others keep their positions.
    while (node->childCount() > 0)
        deleteNode(TTreeNode::childAt(node, node->childCount() - 1));
    SafeCall([&] { Delete(node); });
    FSelections.erase(std::remove(FSelections.begin(), FSelections.end(), node), FSelections.end());
    const bool wasSelected = node == FSelected;
    if (wasSelected)
        FSelected = nullptr;
    ++FQuiet;
    // Taken out of the tree while it is still whole: Qt's notices of the
    // removal may look at it.
    if (QTreeWidgetItem* container = node->container())
        container->takeChild(node->Index());
    delete node;
    if (wasSelected)
        setCurrentItem(nullptr);
    --FQuiet;
}

void TCustomTreeView::currentChanged(TTreeNode* current)
{
    if (FQuiet > 0 || current == FSelected)
        return;
    if (FInputDepth > 0) {
        FChangePending = true;
        return;
    }
    applyChange(current);
}

void TCustomTreeView::applyChange(TTreeNode* node)
{
    bool allow = true;
    SafeCall([&] { allow = CanChange(node); });
    if (!allow) {
        setCurrentQuietly(FSelected);
        return;
    }
    FSelected = node;
    SafeCall([&] { Change(node); });
}

bool TCustomTreeView::CanChange(TTreeNode* node)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* node)
{
    if (OnChange)
        OnChange(this, node);
}

void TCustomTreeView::Delete(TTreeNode* node)
{
    if (OnDeletion)
        OnDeletion(this, node);
}

void TCustomTreeView::setCurrentQuietly(TTreeNode* node)
{
    ++FQuiet;
    setCurrentItem(node);
    --FQuiet;
}

void TCustomTreeView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    for (const QModelIndex& index : deselected.indexes()) {
        TTreeNode* node = nodeOf(itemFromIndex(index));
        FSelections.erase(std::remove(FSelections.begin(), FSelections.end(), node), FSelections.end());
    }
    for (const QModelIndex& index : selected.indexes()) {
        TTreeNode* node = nodeOf(itemFromIndex(index));
        if (node && std::find(FSelections.begin(), FSelections.end(), node) == FSelections.end())
            FSelections.push_back(node);
    }
}

void TCustomTreeView::beginInput()
{
    ++FInputDepth;
}

void TCustomTreeView::endInput()
{
    if (--FInputDepth > 0 || !FChangePending)
        return;
    FChangePending = false;
    TTreeNode* current = nodeOf(currentItem());
    if (current != FSelected)
        applyChange(current);
}

void TCustomTreeView::mousePressEvent(QMouseEvent* event)
{
    InputBatch batch(*this);
    if (event->button() == Qt::RightButton && !FRightClickSelect) {
        // Without right-click select a right press leaves the selection alone.
        event->accept();
    } else {
        QTreeWidget::mousePressEvent(event);
    }
    RaiseMouseDown(*event);
}

void TCustomTreeView::mouseMoveEvent(QMouseEvent* event)
{
    {
        InputBatch batch(*this);
        QTreeWidget::mouseMoveEvent(event);
    }
    RaiseMouseMove(*event);
}

void TCustomTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    {
        InputBatch batch(*this);
        QTreeWidget::mouseReleaseEvent(event);
    }
    RaiseMouseUp(*event, viewport()->rect().contains(event->position().toPoint()));
}

void TCustomTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    {
        InputBatch batch(*this);
        QTreeWidget::mouseDoubleClickEvent(event);
    }
    RaiseDblClick(*event);
}

void TCustomTreeView::keyPressEvent(QKeyEvent* event)
{
    if (KeyTaken(event))
        return;
    InputBatch batch(*this);
    QTreeWidget::keyPressEvent(event);
}
