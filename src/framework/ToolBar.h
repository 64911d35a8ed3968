// The tool bar and its buttons.
//
// TToolBar lines up the visible TToolButtons placed on it from the left, in
// the order they were placed, each ButtonWidth wide (a drop-down button
// kDropDownArrowWidth more for its arrow) and ButtonHeight high; a button
// shown or hidden moves the others. The buttons draw their image from the
// bar's Images. Painting raises OnCustomDraw first; a handler that clears
// DefaultDraw keeps the bar from drawing its edges.
//
// TToolButton: a click on the button raises its OnClick. A drop-down button
// (tbsDropDown) has an arrow at its right: a press there pops the button's
// DropdownMenu up below the button and makes no click. A flat bar's buttons
// show an edge only while the mouse is over them; a pressed button is sunken.
#pragma once

#include "ButtonPress.h"
#include "Control.h"
#include "Set.h"

#include <cstdint>
#include <functional>
#include <vector>

class TImageList;
class TPopupMenu;
class TToolBar;

enum TToolButtonStyle : std::uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TEdgeBorder : std::uint8_t { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;

// The width of a drop-down button's arrow part.
inline constexpr int kDropDownArrowWidth = 14;

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* owner = nullptr);

    // An index into the bar's Images; -1 = none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle value);
    // The menu a drop-down button's arrow pops up; not owned.
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* menu);
    // The bar the button is placed on, or null.
    TToolBar* ToolBar() const;
    // Pops the drop-down menu up below the button; false without one.
    bool CheckMenuDropdown();

protected:
    bool UsesLeftPress() const override { return true; }
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool event(QEvent* event) override;

private:
    int FImageIndex = -1;
    TToolButtonStyle FStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    TButtonPress FPress;
    bool FMouseInside = false;
    bool FDroppedDown = false;  // the press went to the arrow: no click
};

using TTBCustomDrawEvent = std::function<void(TToolBar* Sender, const RECT& ARect, bool& DefaultDraw)>;

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* owner = nullptr);
    ~TToolBar() override;

    // Places the bar on a parent widget (null: takes it off).
    virtual void SetParent(QWidget* parent);

    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int value);
    // The buttons' images; not owned.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    // The sides that draw an edge (ebTop unless set).
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders value);
    // Kept as set: the bar offers no customizing dialog.
    bool Customizable() const { return FCustomizable; }
    void SetCustomizable(bool value) { FCustomizable = value; }
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus); }

    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    // The button at index in the bar's order, or null.
    TToolButton* Buttons(int index) const;

    TTBCustomDrawEvent OnCustomDraw;

protected:
    void Paint() override;
    // Before the bar is drawn: raises OnCustomDraw; false suppresses the
    // default drawing.
    virtual bool CustomDraw(const RECT& rect);
    void CMControlChange(QWidget* child, bool inserting) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TToolButton;
    void arrangeButtons();
    int buttonWidth(const TToolButton* button) const;

    std::vector<TToolButton*> FButtons;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    TImageList* FImages = nullptr;
    bool FFlat = false;
    TEdgeBorders FEdgeBorders{ebTop};
    bool FCustomizable = false;
};
