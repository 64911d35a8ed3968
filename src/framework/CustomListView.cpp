#include "CustomListView.h"

#include "ImageList.h"
#include "PopupMenu.h"
#include "SafeCall.h"
#include "SysUtils.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QListView>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>

// The items as a table for Qt's views: one row per item, the caption in
// column 0 and the sub-item texts after it.
class TCustomListView::Model final : public QAbstractTableModel {
public:
    explicit Model(TCustomListView& view) : FView(view) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : FView.FItems.Count();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(1, FView.FColumns.Count());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const TListItem* item = FView.FItems.Item(index.row());
        if (!item)
            return {};
        if (role == Qt::DisplayRole) {
            if (index.column() == 0)
                return QString::fromStdString(item->Caption());
            const std::size_t sub = static_cast<std::size_t>(index.column() - 1);
            return sub < item->SubItems().size() ? QString::fromStdString(item->SubItems()[sub]) : QString();
        }
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(alignment(index.column()) | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal)
            return {};
        const TListColumn* column = FView.FColumns.Items(section);
        if (!column)
            return {};
        if (role == Qt::DisplayRole)
            return QString::fromStdString(column->Caption());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(alignment(section) | Qt::AlignVCenter);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    Qt::Alignment alignment(int column) const
    {
        const TListColumn* c = FView.FColumns.Items(column);
        switch (c ? c->Alignment() : taLeftJustify) {
        case taRightJustify: return Qt::AlignRight;
        case taCenter: return Qt::AlignHCenter;
        default: return Qt::AlignLeft;
        }
    }

    // The protected notices, for the view's own changes.
    void beginInsert(int row) { beginInsertRows(QModelIndex(), row, row); }
    void endInsert() { endInsertRows(); }
    void beginRemove(int row) { beginRemoveRows(QModelIndex(), row, row); }
    void endRemove() { endRemoveRows(); }
    void beginReset()
    {
        FResetting = true;
        beginResetModel();
    }
    void endReset()
    {
        endResetModel();
        FResetting = false;
    }
    void cellsChanged(int row, int first, int last)
    {
        last = std::min(last, columnCount() - 1);
        if (!FResetting && first <= last)
            emit dataChanged(index(row, first), index(row, last));
    }
    void headersChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }
    // Items moved to new rows (oldRows[i] is the old row of the item now at row i).
    void reordered(const std::vector<int>& oldRows)
    {
        std::vector<int> newRow(oldRows.size());
        for (std::size_t i = 0; i < oldRows.size(); ++i)
            newRow[static_cast<std::size_t>(oldRows[i])] = static_cast<int>(i);
        QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& old : from)
            to.append(index(newRow[static_cast<std::size_t>(old.row())], old.column()));
        changePersistentIndexList(from, to);
    }
    void beginLayout() { emit layoutAboutToBeChanged(); }
    void endLayout() { emit layoutChanged(); }

private:
    TCustomListView& FView;
    bool FResetting = false;
};

// Input handled between construction and destruction reports its change of
// the focused and selected items once, at the end; so do the calls that
// change them.
class ListViewInput {
public:
    explicit ListViewInput(TCustomListView& view) : m_view(view) { m_view.beginInput(); }
    ~ListViewInput() { m_view.endInput(); }
    ListViewInput(const ListViewInput&) = delete;
    ListViewInput& operator=(const ListViewInput&) = delete;

private:
    TCustomListView& m_view;
};

// One of the view's two Qt views: it hands its input to the list view.
template <class View>
class ListViewPane final : public View {
public:
    explicit ListViewPane(TCustomListView* list) : View(list), m_list(list)
    {
        this->setEditTriggers(QAbstractItemView::NoEditTriggers);
        this->setSelectionBehavior(QAbstractItemView::SelectRows);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        {
            ListViewInput input(*m_list);
            View::mousePressEvent(event);
        }
        m_list->paneMouse(this, event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        {
            ListViewInput input(*m_list);
            View::mouseMoveEvent(event);
        }
        m_list->paneMouse(this, event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        {
            ListViewInput input(*m_list);
            View::mouseReleaseEvent(event);
        }
        m_list->paneMouse(this, event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        {
            ListViewInput input(*m_list);
            View::mouseDoubleClickEvent(event);
        }
        m_list->paneMouse(this, event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_list->paneKeyDown(event)) {
            event->accept();
            return;
        }
        ListViewInput input(*m_list);
        View::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        m_list->paneKeyUp(event);
        View::keyReleaseEvent(event);
    }

private:
    TCustomListView* m_list;
};

namespace {

// Draws each item's image from the view's image list of its style, with its
// overlay, dimmed when the item is cut. Without RowSelect the details view
// highlights only the caption of a selected item.
class ItemImageDelegate final : public QStyledItemDelegate {
public:
    explicit ItemImageDelegate(TCustomListView* view) : QStyledItemDelegate(view), m_view(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() > 0) {
            if (!m_view->RowSelect())
                option->state &= ~QStyle::State_Selected;
            return;
        }
        TImageList* images = this->images();
        const TListItem* item = m_view->Items().Item(index.row());
        if (!images || !item)
            return;
        const QPixmap pixmap = images->GetPixmap(item->ImageIndex(), item->OverlayIndex(), item->Cut());
        option->decorationSize = QSize(images->Width(), images->Height());
        option->features |= QStyleOptionViewItem::HasDecoration;
        // An empty icon keeps the caption where the image would be.
        option->icon = pixmap.isNull() ? QIcon() : QIcon(pixmap);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (TImageList* images = this->images(); images && index.column() == 0)
            size.setHeight(std::max(size.height(), images->Height() + 2));
        return size;
    }

private:
    TImageList* images() const
    {
        return m_view->ViewStyle() == vsIcon ? m_view->LargeImages() : m_view->SmallImages();
    }

    TCustomListView* m_view;
};

}  // namespace

// ---------------------------------------------------------------- TListItem

void TListItem::SetCaption(const std::string& caption)
{
    FCaption = caption;
    changed(0, 0);
}

void TListItem::SetSubItems(std::vector<std::string> texts)
{
    FSubItems = std::move(texts);
    changed(1, static_cast<int>(FSubItems.size()) + 1);
}

void TListItem::SetImageIndex(int index)
{
    if (index == FImageIndex)
        return;
    FImageIndex = index;
    changed(0, 0);
}

void TListItem::SetOverlayIndex(int index)
{
    if (index == FOverlayIndex)
        return;
    FOverlayIndex = index;
    changed(0, 0);
}

void TListItem::SetCut(bool value)
{
    if (value == FCut)
        return;
    FCut = value;
    changed(0, 0);
}

void TListItem::changed(int firstColumn, int lastColumn)
{
    if (FIndex >= 0)
        FView->itemChanged(this, firstColumn, lastColumn);
}

bool TListItem::Selected() const
{
    return FView->selection()->isSelected(FView->FModel->index(FIndex, 0));
}

void TListItem::SetSelected(bool value)
{
    if (value == Selected())
        return;
    ListViewInput input(*FView);
    // Without MultiSelect one item at most is selected: the others give way.
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Deselect;
    if (value)
        flags = FView->MultiSelect() ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect;
    FView->selection()->select(FView->FModel->index(FIndex, 0), flags | QItemSelectionModel::Rows);
}

bool TListItem::Focused() const
{
    return FView->selection()->currentIndex().row() == FIndex;
}

void TListItem::SetFocused(bool value)
{
    if (value)
        FView->SetItemFocused(this);
    else if (Focused())
        FView->SetItemFocused(nullptr);
}

RECT TListItem::DisplayRect() const
{
    QAbstractItemView* pane = FView->activePane();
    const QRect rect = pane->visualRect(FView->FModel->index(FIndex, 0));
    if (!rect.isValid() || !pane->isVisible())
        return RECT{};
    const QPoint topLeft = FView->toClient(pane, rect.topLeft());
    return RECT{topLeft.x(), topLeft.y(), topLeft.x() + rect.width(), topLeft.y() + rect.height()};
}

// ---------------------------------------------------------------- TListItems

TListItems::~TListItems() = default;

TListItem* TListItems::Add()
{
    auto item = std::unique_ptr<TListItem>(new TListItem(&FView));
    TListItem* added = item.get();
    const int row = Count();
    FView.FModel->beginInsert(row);
    added->FIndex = row;
    FItems.push_back(std::move(item));
    FView.FModel->endInsert();
    return added;
}

TListItem* TListItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[static_cast<std::size_t>(index)].get();
}

void TListItems::Delete(int index)
{
    if (Item(index))
        FView.deleteItem(index);
}

void TListItems::Clear()
{
    FView.deleteAll();
}

void TListItems::BeginUpdate()
{
    if (FUpdating++ == 0)
        FView.setUpdatesEnabled(false);
}

void TListItems::EndUpdate()
{
    if (FUpdating > 0 && --FUpdating == 0)
        FView.setUpdatesEnabled(true);
}

// ---------------------------------------------------------------- columns

void TListColumn::SetCaption(const std::string& caption)
{
    FCaption = caption;
    changed();
}

void TListColumn::SetWidth(int width)
{
    FWidth = std::max(0, width);
    changed();
}

void TListColumn::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    changed();
}

void TListColumn::SetAutoSize(bool value)
{
    FAutoSize = value;
    changed();
}

void TListColumn::changed()
{
    FView.applyColumns();
}

TListColumns::~TListColumns() = default;

TListColumn* TListColumns::Add()
{
    FColumns.push_back(std::unique_ptr<TListColumn>(new TListColumn(FView, Count())));
    FView.columnsChanged();
    return FColumns.back().get();
}

TListColumn* TListColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return FColumns[static_cast<std::size_t>(index)].get();
}

void TListColumns::Clear()
{
    FColumns.clear();
    FView.columnsChanged();
}

// ---------------------------------------------------------------- TCustomListView

TCustomListView::TCustomListView(TComponent* owner)
    : TWidgetControl<QWidget>(owner), FItems(*this), FColumns(*this), FModel(std::make_unique<Model>(*this))
{
    auto* icons = new ListViewPane<QListView>(this);
    auto* report = new ListViewPane<QTreeView>(this);
    FIconPane = icons;
    FReportPane = report;
    report->setRootIsDecorated(false);
    report->setItemsExpandable(false);
    report->setUniformRowHeights(true);
    report->header()->setStretchLastSection(false);
    report->header()->setSectionsMovable(false);
    for (QAbstractItemView* pane : {FIconPane, FReportPane}) {
        pane->setModel(FModel.get());
        pane->setItemDelegate(new ItemImageDelegate(this));
    }
    // One selection for both: switching the style keeps the focus and the selection.
    FReportPane->setSelectionModel(FIconPane->selectionModel());
    connect(selection(), &QItemSelectionModel::selectionChanged, this, [this] { selectionSignalled(); });
    connect(selection(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && current.column() != 0) {
            // The details view moves the focus between cells; an item has it whole.
            ++FQuiet;
            selection()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
            --FQuiet;
        }
        selectionSignalled();
    });

    auto* layout = new QStackedLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FIconPane);
    layout->addWidget(FReportPane);
    applySelectionMode();
    applyViewStyle();
}

TCustomListView::~TCustomListView()
{
    FDestroying = true;
    ++FQuiet;
    disconnect(selection(), nullptr, this, nullptr);
    // The handlers belong to objects that may be gone already.
    OnChange = nullptr;
    OnDeletion = nullptr;
    OnCompare = nullptr;
    FItems.Clear();
    SetPopupMenu(nullptr);
    // The views go before the items' model.
    delete FIconPane;
    delete FReportPane;
    FIconPane = nullptr;
    FReportPane = nullptr;
}

void TCustomListView::SetParent(QWidget* parent)
{
    setParent(parent);
    if (parent)
        show();
}

QAbstractItemView* TCustomListView::activePane() const
{
    return FViewStyle == vsReport ? FReportPane : FIconPane;
}

QItemSelectionModel* TCustomListView::selection() const
{
    return FIconPane->selectionModel();
}

void TCustomListView::SetViewStyle(TViewStyle value)
{
    if (value == FViewStyle || value > vsReport)
        return;
    const bool hadFocus = activePane()->hasFocus();
    FViewStyle = value;
    applyViewStyle();
    if (hadFocus)
        activePane()->setFocus();
}

void TCustomListView::applyViewStyle()
{
    auto* icons = static_cast<QListView*>(FIconPane);
    if (FViewStyle == vsIcon) {
        icons->setViewMode(QListView::IconMode);
        icons->setMovement(QListView::Static);
        icons->setWordWrap(true);
    } else {
        icons->setViewMode(QListView::ListMode);
        icons->setWordWrap(false);
        icons->setFlow(FViewStyle == vsList ? QListView::TopToBottom : QListView::LeftToRight);
        icons->setWrapping(true);
    }
    icons->setResizeMode(QListView::Adjust);
    applyImageSize();
    auto* layout = static_cast<QStackedLayout*>(this->layout());
    layout->setCurrentWidget(activePane());
    setFocusProxy(activePane());
}

void TCustomListView::applyImageSize()
{
    auto* icons = static_cast<QListView*>(FIconPane);
    TImageList* images = FViewStyle == vsIcon ? FLargeImages : FSmallImages;
    const QSize size = images ? QSize(images->Width(), images->Height()) : QSize(16, 16);
    icons->setIconSize(size);
    if (FViewStyle == vsIcon) {
        // Room for the caption in two lines below the image.
        const int line = icons->fontMetrics().height();
        icons->setGridSize(QSize(std::max(76, size.width() + 28), size.height() + 2 * line + 10));
    } else {
        icons->setGridSize(QSize());
    }
    FReportPane->setIconSize(FSmallImages ? QSize(FSmallImages->Width(), FSmallImages->Height()) : QSize(16, 16));
    FIconPane->viewport()->update();
    FReportPane->viewport()->update();
}

void TCustomListView::SetLargeImages(TImageList* images)
{
    if (FLargeImages && FLargeImages != FSmallImages)
        FLargeImages->RemoveFreeNotification(this);
    FLargeImages = images;
    if (images)
        images->FreeNotification(this);
    applyImageSize();
}

void TCustomListView::SetSmallImages(TImageList* images)
{
    if (FSmallImages && FSmallImages != FLargeImages)
        FSmallImages->RemoveFreeNotification(this);
    FSmallImages = images;
    if (images)
        images->FreeNotification(this);
    applyImageSize();
}

void TCustomListView::SetShowColumnHeaders(bool value)
{
    FShowColumnHeaders = value;
    static_cast<QTreeView*>(FReportPane)->header()->setVisible(value);
}

void TCustomListView::SetHideSelection(bool value)
{
    FHideSelection = value;
    for (QAbstractItemView* pane : {FIconPane, FReportPane}) {
        QPalette palette = pane->palette();
        if (value) {
            palette = pane->style()->standardPalette();
        } else {
            for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
                palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
        }
        pane->setPalette(palette);
    }
}

void TCustomListView::SetMultiSelect(bool value)
{
    if (value == FMultiSelect)
        return;
    FMultiSelect = value;
    applySelectionMode();
    if (!value && SelCount() > 1) {
        TListItem* keep = ItemFocused() && ItemFocused()->Selected() ? ItemFocused() : Selected();
        ListViewInput input(*this);
        selection()->select(FModel->index(keep->Index(), 0),
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void TCustomListView::applySelectionMode()
{
    const auto mode = FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    FIconPane->setSelectionMode(mode);
    FReportPane->setSelectionMode(mode);
}

void TCustomListView::SetRowSelect(bool value)
{
    FRowSelect = value;
    static_cast<QTreeView*>(FReportPane)->setAllColumnsShowFocus(value);
    FReportPane->viewport()->update();
}

void TCustomListView::SetPopupMenu(TPopupMenu* menu)
{
    // The menu may be linked to this view in another way too: the old one
    // keeps its notice, which finds nothing to clear once it is replaced.
    FPopupMenu = menu;
    if (menu)
        menu->FreeNotification(this);
    // A right click and the menu's keys arrive at the views.
    ::SetPopupMenu(FIconPane, menu);
    ::SetPopupMenu(FReportPane, menu);
}

TListItem* TCustomListView::Selected() const
{
    return GetNextItem(nullptr, {isSelected});
}

void TCustomListView::SetSelected(TListItem* item)
{
    if (item && item->ListView() != this)
        return;
    ListViewInput input(*this);
    if (!item) {
        selection()->clearSelection();
        return;
    }
    const QModelIndex index = FModel->index(item->Index(), 0);
    selection()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    activePane()->scrollTo(index);
}

TListItem* TCustomListView::ItemFocused() const
{
    const QModelIndex current = selection()->currentIndex();
    return current.isValid() ? FItems.Item(current.row()) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item)
{
    if (item && item->ListView() != this)
        return;
    ListViewInput input(*this);
    if (item)
        selection()->setCurrentIndex(FModel->index(item->Index(), 0), QItemSelectionModel::NoUpdate);
    else
        selection()->clearCurrentIndex();
}

int TCustomListView::SelCount() const
{
    int count = 0;
    for (const QItemSelectionRange& range : selection()->selection())
        if (range.left() == 0)
            count += range.height();
    return count;
}

TListItem* TCustomListView::GetNextItem(TListItem* start, TItemState states) const
{
    if (start && start->ListView() != this)
        return nullptr;
    for (int i = start ? start->Index() + 1 : 0; i < FItems.Count(); ++i) {
        TListItem* item = FItems.Item(i);
        if ((states.Contains(isSelected) && !item->Selected()) || (states.Contains(isFocused) && !item->Focused()) ||
            (states.Contains(isCut) && !item->Cut()))
            continue;
        return item;
    }
    return nullptr;
}

void TCustomListView::ClearSelection()
{
    ListViewInput input(*this);
    selection()->clearSelection();
}

TListItem* TCustomListView::GetItemAt(int x, int y) const
{
    QAbstractItemView* pane = activePane();
    const QModelIndex index = pane->indexAt(pane->viewport()->mapFrom(this, QPoint(x, y)));
    return index.isValid() ? FItems.Item(index.row()) : nullptr;
}

void TCustomListView::AlphaSort()
{
    if (FItems.Count() < 2)
        return;
    ++FQuiet;  // the focus and the selection move with their items
    FModel->beginLayout();
    std::stable_sort(FItems.FItems.begin(), FItems.FItems.end(),
                     [this](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
                         return CompareItems(a.get(), b.get()) < 0;
                     });
    std::vector<int> oldRows;
    oldRows.reserve(FItems.FItems.size());
    for (const auto& item : FItems.FItems)
        oldRows.push_back(item->FIndex);
    renumber(0);
    FModel->reordered(oldRows);
    FModel->endLayout();
    --FQuiet;
}

void TCustomListView::Clear()
{
    FItems.Clear();
}

int TCustomListView::CompareItems(TListItem* item1, TListItem* item2)
{
    if ((FSortType == stData || FSortType == stBoth) && OnCompare) {
        int result = 0;
        SafeCall([&] { OnCompare(this, item1, item2, 0, result); });
        return result;
    }
    return AnsiCompareText(item1->Caption(), item2->Caption());
}

void TCustomListView::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove) {
        if (component == FLargeImages)
            FLargeImages = nullptr;
        if (component == FSmallImages)
            FSmallImages = nullptr;
        if (component == FPopupMenu)
            FPopupMenu = nullptr;  // its Qt menu went with it
        if (!FDestroying && (!FLargeImages || !FSmallImages))
            applyImageSize();
    }
    TComponent::Notification(component, operation);
}

void TCustomListView::Change(TListItem* item, TItemChange change)
{
    if (OnChange)
        OnChange(this, item, change);
}

void TCustomListView::Delete(TListItem* item)
{
    if (OnDeletion)
        OnDeletion(this, item);
}

void TCustomListView::itemChanged(TListItem* item, int firstColumn, int lastColumn)
{
    FModel->cellsChanged(item->Index(), firstColumn, lastColumn);
}

void TCustomListView::renumber(int from)
{
    for (std::size_t i = static_cast<std::size_t>(from); i < FItems.FItems.size(); ++i)
        FItems.FItems[i]->FIndex = static_cast<int>(i);
}

void TCustomListView::deleteItem(int index)
{
    TListItem* item = FItems.Item(index);
    SafeCall([&] { Delete(item); });
    ++FQuiet;
    FModel->beginRemove(index);
    FItems.FItems.erase(FItems.FItems.begin() + index);
    renumber(index);
    FModel->endRemove();
    --FQuiet;
}

void TCustomListView::deleteAll()
{
    if (FItems.FItems.empty())
        return;
    ++FQuiet;
    FModel->beginReset();
    // The last first: each deletion sees the items before it as they were.
    while (!FItems.FItems.empty()) {
        TListItem* item = FItems.FItems.back().get();
        SafeCall([&] { Delete(item); });
        FItems.FItems.pop_back();
    }
    FModel->endReset();
    --FQuiet;
}

void TCustomListView::columnsChanged()
{
    ++FQuiet;
    FModel->beginReset();
    FModel->endReset();
    --FQuiet;
    applyColumns();
}

void TCustomListView::applyColumns()
{
    FModel->headersChanged();
    QHeaderView* header = static_cast<QTreeView*>(FReportPane)->header();
    for (int i = 0; i < FColumns.Count(); ++i) {
        const TListColumn* column = FColumns.Items(i);
        header->setSectionResizeMode(i, column->AutoSize() ? QHeaderView::Stretch : QHeaderView::Interactive);
        if (!column->AutoSize())
            header->resizeSection(i, column->Width());
    }
}

void TCustomListView::selectionSignalled()
{
    if (FQuiet > 0)
        return;
    if (FInputDepth > 0) {
        FChangePending = true;
        return;
    }
    report();
}

void TCustomListView::beginInput()
{
    ++FInputDepth;
}

void TCustomListView::endInput()
{
    if (--FInputDepth > 0 || !FChangePending)
        return;
    FChangePending = false;
    report();
}

void TCustomListView::report()
{
    SafeCall([this] { Change(ItemFocused(), ctState); });
}

QPoint TCustomListView::toClient(const QAbstractItemView* pane, QPoint viewportPoint) const
{
    return pane->viewport()->mapTo(this, viewportPoint);
}

void TCustomListView::paneMouse(QAbstractItemView* pane, QMouseEvent* event)
{
    const QPointF at = toClient(pane, event->position().toPoint());
    const QMouseEvent mapped(event->type(), at, event->scenePosition(), event->globalPosition(), event->button(),
                             event->buttons(), event->modifiers(), event->pointingDevice());
    switch (event->type()) {
    case QEvent::MouseButtonPress: RaiseMouseDown(mapped); break;
    case QEvent::MouseButtonDblClick: RaiseDblClick(mapped); break;
    case QEvent::MouseMove: RaiseMouseMove(mapped); break;
    case QEvent::MouseButtonRelease: RaiseMouseUp(mapped, rect().contains(at.toPoint())); break;
    default: break;
    }
}
