#include "ToolBar.h"

#include "Canvas.h"
#include "ImageList.h"
#include "PopupMenu.h"

#include <QEvent>

#include <algorithm>

// ---------------------------------------------------------------- TToolButton

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const
{
    return dynamic_cast<TToolBar*>(parentWidget());
}

void TToolButton::SetImageIndex(int value)
{
    SetAndInvalidate(FImageIndex, value);
}

void TToolButton::SetStyle(TToolButtonStyle value)
{
    if (!SetAndInvalidate(FStyle, value))
        return;
    if (TToolBar* bar = ToolBar())
        bar->arrangeButtons();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu)
{
    FDropdownMenu = menu;
    if (menu)
        menu->FreeNotification(this);
}

bool TToolButton::CheckMenuDropdown()
{
    if (!FDropdownMenu)
        return false;
    const QPoint at = mapToGlobal(QPoint(0, height()));
    FDropdownMenu->Popup(at.x(), at.y());
    return true;
}

void TToolButton::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == FDropdownMenu)
        FDropdownMenu = nullptr;
    TGraphicControl::Notification(component, operation);
}

bool TToolButton::event(QEvent* e)
{
    const bool result = TGraphicControl::event(e);
    if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) {
        if (TToolBar* bar = ToolBar())
            bar->arrangeButtons();
    }
    return result;
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    FDroppedDown = FStyle == tbsDropDown && x >= Width() - kDropDownArrowWidth;
    if (FDroppedDown) {
        CheckMenuDropdown();
        return;
    }
    if (FPress.press())
        Invalidate();
}

void TToolButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (FPress.move(rect().contains(x, y)))
        Invalidate();
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && FPress.release())
        Invalidate();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::Click()
{
    if (FDroppedDown) {
        FDroppedDown = false;
        return;
    }
    TGraphicControl::Click();
}

void TToolButton::CMMouseEnter()
{
    FMouseInside = true;
    Invalidate();
}

void TToolButton::CMMouseLeave()
{
    FMouseInside = false;
    Invalidate();
}

void TToolButton::Paint()
{
    TCanvas* canvas = Canvas();
    const TToolBar* bar = ToolBar();
    const RECT client = ClientRect();
    const bool dropDown = FStyle == tbsDropDown;
    const int mainWidth = dropDown ? std::max(0, client.right - kDropDownArrowWidth) : client.right;
    const bool sunken = FPress.showsPressed();
    const bool flat = bar && bar->Flat();
    if (!flat || sunken || (FMouseInside && Enabled())) {
        DrawButtonEdge(canvas, RECT{0, 0, mainWidth, client.bottom}, sunken);
        if (dropDown)
            DrawButtonEdge(canvas, RECT{mainWidth, 0, client.right, client.bottom}, false);
    }
    if (TImageList* images = bar ? bar->Images() : nullptr; images && FImageIndex >= 0) {
        const int shift = sunken ? 1 : 0;
        images->Draw(canvas, (mainWidth - images->Width()) / 2 + shift, (client.bottom - images->Height()) / 2 + shift,
                     FImageIndex, -1, !Enabled());
    }
    if (dropDown) {
        // A small arrow pointing down, centred in the arrow part.
        const int cx = mainWidth + kDropDownArrowWidth / 2;
        const int cy = client.bottom / 2;
        canvas->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
        canvas->Polygon({{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}});
    }
}

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 150, 29);
}

TToolBar::~TToolBar()
{
    // The buttons that are still placed go with the widget; none is arranged again.
    FButtons.clear();
    OnCustomDraw = nullptr;
}

void TToolBar::SetParent(QWidget* parent)
{
    TControl::SetParent(parent);
    if (parent)
        show();
}

void TToolBar::SetButtonWidth(int value)
{
    if (value <= 0 || value == FButtonWidth)
        return;
    FButtonWidth = value;
    arrangeButtons();
}

void TToolBar::SetButtonHeight(int value)
{
    if (value <= 0 || value == FButtonHeight)
        return;
    FButtonHeight = value;
    arrangeButtons();
}

void TToolBar::SetImages(TImageList* images)
{
    FImages = images;
    if (images)
        images->FreeNotification(this);
    for (TToolButton* button : FButtons)
        button->Invalidate();
}

void TToolBar::SetFlat(bool value)
{
    if (!SetAndInvalidate(FFlat, value))
        return;
    for (TToolButton* button : FButtons)
        button->Invalidate();
}

void TToolBar::SetEdgeBorders(TEdgeBorders value)
{
    FEdgeBorders = value;
    Invalidate();
}

TToolButton* TToolBar::Buttons(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return FButtons[static_cast<std::size_t>(index)];
}

int TToolBar::buttonWidth(const TToolButton* button) const
{
    return FButtonWidth + (button->Style() == tbsDropDown ? kDropDownArrowWidth : 0);
}

void TToolBar::arrangeButtons()
{
    int x = FEdgeBorders.Contains(ebLeft) ? 2 : 0;
    const int y = FEdgeBorders.Contains(ebTop) ? 2 : 0;
    for (TToolButton* button : FButtons) {
        if (button->isHidden())
            continue;
        button->SetBounds(x, y, buttonWidth(button), FButtonHeight);
        x += buttonWidth(button);
    }
}

void TToolBar::CMControlChange(QWidget* child, bool inserting)
{
    if (inserting) {
        if (auto* button = dynamic_cast<TToolButton*>(child);
            button && std::find(FButtons.begin(), FButtons.end(), button) == FButtons.end())
            FButtons.push_back(button);
    } else {
        // The child may be half destroyed: only its address is compared.
        FButtons.erase(std::remove_if(FButtons.begin(), FButtons.end(),
                                      [child](TToolButton* b) { return static_cast<QWidget*>(b) == child; }),
                       FButtons.end());
    }
    arrangeButtons();
}

void TToolBar::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == FImages)
        FImages = nullptr;
    TCustomControl::Notification(component, operation);
}

bool TToolBar::CustomDraw(const RECT& rect)
{
    bool defaultDraw = true;
    if (OnCustomDraw)
        OnCustomDraw(this, rect, defaultDraw);
    return defaultDraw;
}

void TToolBar::Paint()
{
    const RECT client = ClientRect();
    if (!CustomDraw(client))
        return;
    TCanvas* canvas = Canvas();
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    // Each edge: a dark line with a light one inside it.
    if (FEdgeBorders.Contains(ebTop)) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Polyline({{0, 0}, {client.right, 0}});
        canvas->Pen()->SetColor(clBtnHighlight);
        canvas->Polyline({{0, 1}, {client.right, 1}});
    }
    if (FEdgeBorders.Contains(ebBottom)) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Polyline({{0, client.bottom - 2}, {client.right, client.bottom - 2}});
        canvas->Pen()->SetColor(clBtnHighlight);
        canvas->Polyline({{0, client.bottom - 1}, {client.right, client.bottom - 1}});
    }
    if (FEdgeBorders.Contains(ebLeft)) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Polyline({{0, 0}, {0, client.bottom}});
        canvas->Pen()->SetColor(clBtnHighlight);
        canvas->Polyline({{1, 0}, {1, client.bottom}});
    }
    if (FEdgeBorders.Contains(ebRight)) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Polyline({{client.right - 2, 0}, {client.right - 2, client.bottom}});
        canvas->Pen()->SetColor(clBtnHighlight);
        canvas->Polyline({{client.right - 1, 0}, {client.right - 1, client.bottom}});
    }
}
