#include "SpeedButton.h"

#include "Canvas.h"
#include "Gdi.h"
#include "Messages.h"

TSpeedButton::TSpeedButton(TComponent* owner, QWidget* parent) : TGraphicControl(owner, parent)
{
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool value)
{
    SetAndInvalidate(FFlat, value);
}

void TSpeedButton::SetGroupIndex(int value)
{
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    if (value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = value;
    Invalidate();
    if (value)
        UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value)
{
    if (value == FAllowAllUp)
        return;
    FAllowAllUp = value;
    UpdateExclusive();
}

void NotifyButtonGroup(QWidget* parent, int groupIndex, const TButtonGroupNotice& notice)
{
    if (groupIndex == 0 || !parent)
        return;
    const QObjectList children = parent->children();  // a handler may add or remove controls
    for (QObject* child : children)
        if (auto* control = dynamic_cast<TControl*>(child))
            control->Perform(CM_BUTTONPRESSED, groupIndex, reinterpret_cast<std::intptr_t>(&notice));
}

void TSpeedButton::UpdateExclusive()
{
    NotifyButtonGroup(Parent(), FGroupIndex, TButtonGroupNotice{this, FDown, FAllowAllUp});
}

std::intptr_t TSpeedButton::WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (message == CM_BUTTONPRESSED) {
        if (lParam)
            buttonPressed(int(wParam), *reinterpret_cast<const TButtonGroupNotice*>(lParam));
        return 0;
    }
    return TGraphicControl::WndProc(message, wParam, lParam);
}

void TSpeedButton::buttonPressed(int groupIndex, const TButtonGroupNotice& notice)
{
    if (groupIndex != FGroupIndex || !notice.Sender || notice.Sender == this)
        return;
    if (notice.Down && FDown) {
        FDown = false;
        Invalidate();
    }
    FAllowAllUp = notice.AllowAllUp;
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    if (FPress.press())
        Invalidate();
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (FPress.move(rect().contains(x, y)))
        Invalidate();
}

// The base raises Click (a release over the button) before MouseUp: the
// latch moves first, so OnClick sees the new Down.
void TSpeedButton::Click()
{
    if (FGroupIndex != 0)
        SetDown(!FDown);
    TGraphicControl::Click();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && FPress.release())
        Invalidate();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::CMMouseEnter()
{
    FMouseInside = true;
    if (FFlat && Enabled())
        Invalidate();
}

void TSpeedButton::CMMouseLeave()
{
    FMouseInside = false;
    if (FFlat && Enabled())
        Invalidate();
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = Canvas();
    const RECT client = ClientRect();
    if (!FFlat) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    const bool down = sunken();
    if (!FFlat || down || (FMouseInside && Enabled()))
        DrawButtonEdge(canvas, client, down);
    if (Caption().empty())
        return;
    RECT text = client;
    if (down)
        text = RECT{1, 1, client.right + 1, client.bottom + 1};
    canvas->Font()->Assign(*Font());
    if (!Enabled())
        canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
