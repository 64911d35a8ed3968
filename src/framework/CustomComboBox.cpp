#include "CustomComboBox.h"

#include "SafeCall.h"
#include "SysUtils.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

// Where an entry keeps its text (the bytes as given) and its data pointer.
constexpr int kTextRole = Qt::UserRole;
constexpr int kDataRole = Qt::UserRole + 1;

// An owner-draw entry is this much lower than the control.
constexpr int kEditFrameHeight = 6;

}  // namespace

// The entries of an owner-draw list: the style's item height, and each one
// drawn through the combo box's DrawItem.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(TCustomComboBox& box) : QStyledItemDelegate(&box), m_box(box) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!m_box.ownerDraw())
            return QStyledItemDelegate::sizeHint(option, index);
        return QSize(option.rect.width(), m_box.ItemHeight());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!m_box.ownerDraw()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected)
            state.Include(odSelected);
        if (option.state & QStyle::State_HasFocus)
            state.Include(odFocused);
        if (!(option.state & QStyle::State_Enabled))
            state.Include(odDisabled);
        painter->drawImage(option.rect.topLeft(), m_box.drawEntry(index.row(), option.rect.size(), state));
    }

private:
    TCustomComboBox& m_box;
};

// Watches the dropped-down list for its hiding.
class ListWatch : public QObject {
public:
    explicit ListWatch(TCustomComboBox& box) : QObject(&box), m_box(box) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            m_box.closedUp();
        return QObject::eventFilter(watched, event);
    }

private:
    TCustomComboBox& m_box;
};

template <typename F>
void TCustomComboBox::changeEntries(int selectedAfter, F&& change)
{
    // Qt selects the first entry added to an empty list and a neighbour of a
    // deleted selected entry, and shows that entry's text in the edit part.
    QLineEdit* edit = lineEdit();
    const QString text = edit ? edit->text() : QString();
    const int cursor = edit ? edit->cursorPosition() : 0;
    change();
    if (currentIndex() != selectedAfter)
        setCurrentIndex(selectedAfter);
    if (edit && edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(cursor);
    }
}

int TComboBoxItems::Count() const
{
    return FBox.count();
}

void TComboBoxItems::checkIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw ListIndexError(index);
}

int TComboBoxItems::AddObject(const std::string& text, void* data)
{
    InsertObject(Count(), text, data);
    return Count() - 1;
}

void TComboBoxItems::InsertObject(int index, const std::string& text, void* data)
{
    checkIndex(index, Count() + 1);
    const int selected = FBox.currentIndex();
    FBox.changeEntries(selected < 0 ? -1 : selected + (index <= selected ? 1 : 0), [&] {
        FBox.insertItem(index, QString::fromUtf8(text.data(), qsizetype(text.size())));
        FBox.setItemData(index, QByteArray::fromStdString(text), kTextRole);
        FBox.setItemData(index, QVariant::fromValue(reinterpret_cast<quintptr>(data)), kDataRole);
    });
}

void TComboBoxItems::Delete(int index)
{
    checkIndex(index, Count());
    const int selected = FBox.currentIndex();
    FBox.changeEntries(selected == index ? -1 : selected - (index < selected ? 1 : 0),
                       [&] { FBox.removeItem(index); });
}

void TComboBoxItems::Clear()
{
    FBox.changeEntries(-1, [&] { FBox.clear(); });
}

std::string TComboBoxItems::Strings(int index) const
{
    checkIndex(index, Count());
    return FBox.itemData(index, kTextRole).toByteArray().toStdString();
}

void* TComboBoxItems::Objects(int index) const
{
    checkIndex(index, Count());
    return reinterpret_cast<void*>(FBox.itemData(index, kDataRole).value<quintptr>());
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWidgetControl<QComboBox>(owner), FItems(*this)
{
    setItemDelegate(new OwnerDrawDelegate(*this));
    setMaxVisibleItems(8);
    setFont(FFont.ToQFont());
    setInsertPolicy(QComboBox::NoInsert);
    // A pick made by the user, never a selection from code.
    connect(this, &QComboBox::activated, this, [this](int) { SafeCall([this] { Change(); }); });
    SetStyle(csDropDown);
}

TCustomComboBox::~TCustomComboBox()
{
    disconnect(this, nullptr, this, nullptr);
    if (lineEdit())
        disconnect(lineEdit(), nullptr, this, nullptr);
    // The handlers belong to objects that may be gone already.
    OnChange = nullptr;
    OnDropDown = nullptr;
    OnCloseUp = nullptr;
    OnDrawItem = nullptr;
}

void TCustomComboBox::SetParent(QWidget* parent)
{
    setParent(parent);
    if (parent)
        show();
}

void TCustomComboBox::SetStyle(TComboBoxStyle value)
{
    FStyle = value;
    const bool editable = value == csDropDown || value == csSimple;
    if (editable != isEditable()) {
        setEditable(editable);
        if (editable)
            attachEdit();
    }
    applyHeight();
    update();
}

void TCustomComboBox::attachEdit()
{
    QLineEdit* edit = lineEdit();
    // Qt would complete the text while it is typed, and select a matching
    // entry (rewriting the text in that entry's letter case) when editing ends.
    edit->setCompleter(nullptr);
    disconnect(edit, &QLineEdit::editingFinished, this, nullptr);
    connect(edit, &QLineEdit::textEdited, this, [this](const QString&) { SafeCall([this] { Change(); }); });
}

void TCustomComboBox::SetItemIndex(int index)
{
    if (index < -1 || index >= count())
        throw ListIndexError(index);
    setCurrentIndex(index);
    update();
}

std::string TCustomComboBox::Text() const
{
    const int selected = currentIndex();
    if (!isEditable())
        return selected < 0 ? std::string() : FItems.Strings(selected);
    const QString text = lineEdit()->text();
    if (selected >= 0 && itemText(selected) == text)
        return FItems.Strings(selected);
    if (QString::fromUtf8(FSetText.data(), qsizetype(FSetText.size())) == text)
        return FSetText;
    return text.toUtf8().toStdString();
}

void TCustomComboBox::SetText(const std::string& value)
{
    if (isEditable()) {
        FSetText = value;
        lineEdit()->setText(QString::fromUtf8(value.data(), qsizetype(value.size())));
        return;
    }
    int found = -1;
    for (int i = 0; i < count() && found < 0; ++i) {
        if (FItems.Strings(i) == value)
            found = i;
    }
    for (int i = 0; i < count() && found < 0; ++i) {
        if (AnsiSameText(FItems.Strings(i), value))
            found = i;
    }
    setCurrentIndex(found);
    update();
}

void TCustomComboBox::SetItemHeight(int value)
{
    if (value <= 0)
        return;
    FItemHeight = value;
    applyHeight();
}

void TCustomComboBox::applyHeight()
{
    if (ownerDraw()) {
        setFixedHeight(FItemHeight + kEditFrameHeight);
    } else {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    updateGeometry();
}

void TCustomComboBox::SetDroppedDown(bool value)
{
    if (value)
        showPopup();
    else
        hidePopup();
}

void TCustomComboBox::SetFont(const TFont& font)
{
    FFont.Assign(font);
    setFont(FFont.ToQFont());
    update();
}

void TCustomComboBox::SetColor(TColor value)
{
    FColor = value;
    update();
}

QSize TCustomComboBox::sizeHint() const
{
    QSize size = QComboBox::sizeHint();
    if (ownerDraw())
        size.setHeight(FItemHeight + kEditFrameHeight);
    return size;
}

QSize TCustomComboBox::minimumSizeHint() const
{
    QSize size = QComboBox::minimumSizeHint();
    if (ownerDraw())
        size.setHeight(FItemHeight + kEditFrameHeight);
    return size;
}

void TCustomComboBox::showPopup()
{
    if (FDroppedDown)
        return;
    SafeCall([this] { DropDown(); });
    QComboBox::showPopup();
    // Qt shows no list without entries: it closes up at once.
    QWidget* list = view()->window();
    FDroppedDown = list != this && list->isVisible();
    if (!FDroppedDown) {
        SafeCall([this] { CloseUp(); });
        return;
    }
    // Qt also closes the list without hidePopup (when the window loses the
    // activation, say): its hiding is what closes up.
    if (!FListWatch) {
        FListWatch = new ListWatch(*this);
        list->installEventFilter(FListWatch);
    }
}

void TCustomComboBox::hidePopup()
{
    QComboBox::hidePopup();
    closedUp();
}

void TCustomComboBox::closedUp()
{
    if (!FDroppedDown)
        return;
    FDroppedDown = false;
    update();
    SafeCall([this] { CloseUp(); });
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas.FillRect(rect);
    FCanvas.TextOut(rect.left + 2, rect.top, FItems.Strings(index));
}

QImage TCustomComboBox::drawEntry(int index, QSize size, TOwnerDrawState state)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    FCanvas.SetSurface(&picture);
    FCanvas.Font()->Assign(FFont);
    FCanvas.Brush()->SetColor(FColor);
    FCanvas.Brush()->SetStyle(bsSolid);
    if (state.Contains(odSelected)) {
        FCanvas.Brush()->SetColor(clHighlight);
        FCanvas.Font()->SetColor(clHighlightText);
    }
    const RECT rect{0, 0, size.width(), size.height()};
    if (index < 0 || index >= count())
        FCanvas.FillRect(rect);
    else
        SafeCall([&] { DrawItem(index, rect, state); });
    FCanvas.SetSurface(nullptr);
    return picture;
}

void TCustomComboBox::paintEvent(QPaintEvent* event)
{
    if (!ownerDraw()) {
        QComboBox::paintEvent(event);
        return;
    }
    // The frame and the button as the style draws them, with the edit part
    // drawn as an entry.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (field.isEmpty())
        return;
    TOwnerDrawState state{odComboBoxEdit};
    if (hasFocus() && !FDroppedDown) {
        state.Include(odSelected);
        state.Include(odFocused);
    }
    if (!isEnabled())
        state.Include(odDisabled);
    painter.drawImage(field.topLeft(), drawEntry(currentIndex(), field.size(), state));
}
