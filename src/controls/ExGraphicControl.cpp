#include "ExGraphicControl.h"

#include "Canvas.h"

RECT TExBevel::InnerRect(const RECT& rect) const
{
    const int e = Extent();
    return RECT{rect.left + e, rect.top + e, rect.right - e, rect.bottom - e};
}

TExGraphicControl::TExGraphicControl(TComponent* owner, QWidget* parent) : TGraphicControl(owner, parent)
{
    SetColor(clWindow);
    SetParentColor(true);
}

void TExGraphicControl::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Invalidate();
}

RECT TExGraphicControl::PaintBackground()
{
    const RECT client = ClientRect();
    if (!FTransparent) {
        TCanvas* canvas = Canvas();
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    return FBevel.InnerRect(client);
}
