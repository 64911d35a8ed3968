#include "PopupMenu.h"

#include "SafeCall.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <array>

namespace {

// The Qt menu of a TPopupMenu.
class MenuWidget : public QMenu {
public:
    explicit MenuWidget(TPopupMenu* owner) : FOwner(owner) {}
    TPopupMenu* Owner() const { return FOwner; }

private:
    TPopupMenu* FOwner;
};

// Qt's key for a virtual-key code, found through the framework's own
// translation (VirtualKeyFromQt): named keys, letters and digits first, then
// the other characters, then the keypad. 0 when Qt has none.
int qtKeyOf(WORD_KEY code)
{
    static const std::array<int, 256> keys = [] {
        std::array<int, 256> table{};
        auto take = [&table](int qtKey, bool keypad) {
            const WORD_KEY vk = VirtualKeyFromQt(qtKey, keypad);
            if (vk != 0 && vk < table.size() && table[vk] == 0)
                table[vk] = keypad ? (qtKey | Qt::KeypadModifier) : qtKey;
        };
        for (int k = Qt::Key_Escape; k <= Qt::Key_Escape + 0xFF; ++k)
            take(k, false);
        for (int k : {Qt::Key_0, Qt::Key_A})
            for (int i = 0; i < (k == Qt::Key_0 ? 10 : 26); ++i)
                take(k + i, false);
        for (bool keypad : {false, true})
            for (int k = Qt::Key_Space; k <= Qt::Key_AsciiTilde; ++k)
                take(k, keypad);
        return table;
    }();
    return code < keys.size() ? keys[code] : 0;
}

// How the menu shows a shortcut ("Ctrl+R"); empty for none.
QString shortCutText(TShortCut shortCut)
{
    int key = qtKeyOf(shortCut & 0xFF);
    if (key == 0)
        return {};
    if (shortCut & scShift)
        key |= Qt::SHIFT;
    if (shortCut & scCtrl)
        key |= Qt::CTRL;
    if (shortCut & scAlt)
        key |= Qt::ALT;
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

TMenuItem* itemWithShortCut(const TPopupMenu& menu, TShortCut shortCut)
{
    if (shortCut == scNone)
        return nullptr;
    const auto& items = menu.Items();
    auto it = std::find_if(items.begin(), items.end(), [shortCut](TMenuItem* i) { return i->ShortCut() == shortCut; });
    return it == items.end() ? nullptr : *it;
}

// Sits on a control with a popup menu: pops the menu up on a context-menu
// request and chooses the item of a shortcut key pressed in the control.
class PopupHook : public QObject {
public:
    explicit PopupHook(QWidget* control) : QObject(control)
    {
        control->installEventFilter(this);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
            area->viewport()->installEventFilter(this);  // a right click arrives there
    }
    TPopupMenu* Menu() const { return FMenu ? FMenu->Owner() : nullptr; }
    void SetMenu(MenuWidget* menu) { FMenu = menu; }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        TPopupMenu* menu = Menu();
        if (!menu)
            return false;
        switch (e->type()) {
        case QEvent::ContextMenu: {
            const QPoint at = static_cast<QContextMenuEvent*>(e)->globalPos();
            SafeCall([&] { menu->Popup(at.x(), at.y()); });
            return true;
        }
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(e);
            const TShortCut shortCut = ShortCut(VirtualKeyFromEvent(*key), ShiftStateFromEvent(*key));
            if (!itemWithShortCut(*menu, shortCut))
                return false;
            // Accepting the override keeps the key from the window's own
            // shortcuts; the key press then chooses the item.
            e->accept();
            if (e->type() == QEvent::KeyPress)
                menu->IsShortCut(shortCut);
            return true;
        }
        default:
            return false;
        }
    }

private:
    QPointer<MenuWidget> FMenu;
};

PopupHook* hookOf(const QWidget* control)
{
    for (QObject* child : control->children())
        if (auto* hook = dynamic_cast<PopupHook*>(child))
            return hook;
    return nullptr;
}

}  // namespace

TShortCut ShortCut(WORD_KEY key, TShiftState shift)
{
    TShortCut value = key & 0xFF;
    if (shift.Contains(ssShift))
        value |= scShift;
    if (shift.Contains(ssCtrl))
        value |= scCtrl;
    if (shift.Contains(ssAlt))
        value |= scAlt;
    return value;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FAction(std::make_unique<QAction>())
{
    QObject::connect(FAction.get(), &QAction::triggered, [this] {
        showState();  // Qt toggled a checked action; the check is the item's own
        SafeCall([this] { Click(); });
    });
}

TMenuItem::~TMenuItem()
{
    if (FMenu)
        FMenu->Remove(this);
}

void TMenuItem::SetCaption(const std::string& caption)
{
    FCaption = caption;
    changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    FShortCut = shortCut;
    changed();
}

void TMenuItem::SetChecked(bool value)
{
    FChecked = value;
    changed();
}

void TMenuItem::SetRadioItem(bool value)
{
    FRadioItem = value;
    changed();
}

void TMenuItem::SetGroupIndex(std::uint8_t value)
{
    FGroupIndex = value;
    changed();
}

void TMenuItem::changed()
{
    if (FMenu)
        FMenu->turnSiblingsOff(this);
    showState();
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::showState()
{
    QString text = QString::fromStdString(FCaption);
    if (const QString keys = shortCutText(FShortCut); !keys.isEmpty())
        text += '\t' + keys;
    FAction->setText(text);
    FAction->setActionGroup(FMenu && FRadioItem ? FMenu->radioGroup(FGroupIndex) : nullptr);
    FAction->setCheckable(FChecked);
    FAction->setChecked(FChecked);
}

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FMenu(std::make_unique<MenuWidget>(this))
{
}

TPopupMenu::~TPopupMenu()
{
    for (TMenuItem* item : FItems) {
        item->FMenu = nullptr;
        item->FAction->setActionGroup(nullptr);
    }
}

void TPopupMenu::Add(TMenuItem* item)
{
    if (!item || item->FMenu == this)
        return;
    if (item->FMenu)
        item->FMenu->Remove(item);
    FItems.push_back(item);
    item->FMenu = this;
    FMenu->addAction(item->FAction.get());
    item->changed();
}

void TPopupMenu::Remove(TMenuItem* item)
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FMenu = nullptr;
    FMenu->removeAction(item->FAction.get());
    item->FAction->setActionGroup(nullptr);
}

void TPopupMenu::Popup(int x, int y)
{
    DoPopup(this);
    FMenu->popup(QPoint(x, y));
}

void TPopupMenu::DoPopup(TObject* sender)
{
    if (OnPopup)
        OnPopup(sender);
}

bool TPopupMenu::IsShortCut(TShortCut shortCut)
{
    TMenuItem* item = itemWithShortCut(*this, shortCut);
    if (item)
        SafeCall([item] { item->Click(); });
    return item != nullptr;
}

// A checked radio item unchecks the other radio items of its group.
void TPopupMenu::turnSiblingsOff(const TMenuItem* item)
{
    if (!item->FChecked || !item->FRadioItem)
        return;
    for (TMenuItem* other : FItems) {
        if (other != item && other->FRadioItem && other->FGroupIndex == item->FGroupIndex && other->FChecked) {
            other->FChecked = false;
            other->showState();
        }
    }
}

QActionGroup* TPopupMenu::radioGroup(std::uint8_t groupIndex)
{
    std::unique_ptr<QActionGroup>& group = FRadioGroups[groupIndex];
    if (!group) {
        group = std::make_unique<QActionGroup>(nullptr);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);  // for the bullet; the items keep the checks
    }
    return group.get();
}

// ---------------------------------------------------------------- attaching

void SetPopupMenu(QWidget* control, TPopupMenu* menu)
{
    PopupHook* hook = hookOf(control);
    if (!hook && !menu)
        return;
    if (!hook)
        hook = new PopupHook(control);
    hook->SetMenu(menu ? static_cast<MenuWidget*>(menu->FMenu.get()) : nullptr);
}

TPopupMenu* PopupMenuOf(const QWidget* control)
{
    const PopupHook* hook = hookOf(control);
    return hook ? hook->Menu() : nullptr;
}
