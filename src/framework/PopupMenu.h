// Popup menus: TPopupMenu, a non-visual component holding TMenuItems, shown
// at a screen point, and attached to controls.
//
// An item's Caption marks its accelerator character with "&" ("&&" stands for
// "&"). Its ShortCut is the stored shortcut value: a virtual-key code with
// scShift, scCtrl and scAlt added (Ctrl+R is 16466); the menu shows it beside
// the caption. Choosing an item raises its OnClick (inside SafeCall) and
// leaves its check alone: only Checked changes it. Checking a RadioItem
// unchecks the other radio items of its menu with the same GroupIndex; radio
// items show a bullet, other items a check mark, while checked.
//
// Attached to a control (SetPopupMenu), the menu pops up at the pointer on a
// right click (or the menu key) in the control, and while the control has the
// keyboard focus a key that makes an item's ShortCut chooses that item; such a
// key is used up before the control sees it.
#pragma once

#include "Component.h"
#include "Keys.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;
class TPopupMenu;

using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// The stored value of a key with modifiers (Shift, Ctrl and Alt of shift).
TShortCut ShortCut(WORD_KEY key, TShiftState shift);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value);
    std::uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(std::uint8_t value);
    // A number for the program's own use.
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    // The menu the item is in, or nullptr.
    TPopupMenu* Menu() const { return FMenu; }

    // Raises OnClick.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    friend class TPopupMenu;
    // After any change: a checked radio item unchecks its group, and the
    // menu shows the item as it now is.
    void changed();
    void showState();

    std::string FCaption;
    TShortCut FShortCut = scNone;
    bool FChecked = false;
    bool FRadioItem = false;
    std::uint8_t FGroupIndex = 0;
    int FTag = 0;
    TPopupMenu* FMenu = nullptr;
    std::unique_ptr<QAction> FAction;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner = nullptr);
    ~TPopupMenu() override;

    // The items in menu order. Add appends an item (taking it out of any
    // other menu); the menu does not own its items, an item's owner does.
    const std::vector<TMenuItem*>& Items() const { return FItems; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    // Raises OnPopup, then shows the menu with its top-left corner at the
    // screen point (x, y) and returns; a chosen item raises its OnClick later,
    // from the event loop.
    void Popup(int x, int y);

    // Chooses the item whose ShortCut is `shortCut` (its OnClick, inside
    // SafeCall); false when no item has it.
    bool IsShortCut(TShortCut shortCut);

    TNotifyEvent OnPopup;

protected:
    // Raises OnPopup.
    virtual void DoPopup(TObject* sender);

private:
    friend class TMenuItem;
    friend void SetPopupMenu(QWidget* control, TPopupMenu* menu);

    void turnSiblingsOff(const TMenuItem* item);
    QActionGroup* radioGroup(std::uint8_t groupIndex);

    std::vector<TMenuItem*> FItems;
    std::unique_ptr<QMenu> FMenu;
    std::map<std::uint8_t, std::unique_ptr<QActionGroup>> FRadioGroups;
};

// Attaches `menu` to `control` (nullptr detaches the control's menu).
void SetPopupMenu(QWidget* control, TPopupMenu* menu);
// The menu attached to `control`, or nullptr.
TPopupMenu* PopupMenuOf(const QWidget* control);
