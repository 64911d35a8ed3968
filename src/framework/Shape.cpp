#include "Shape.h"

#include "Canvas.h"

TShape::TShape(TComponent* owner, QWidget* parent) : TGraphicControl(owner, parent)
{
    SetBounds(0, 0, 65, 65);
    FPen.OnChange = [this](TGraphicsObject*) { Invalidate(); };
    FBrush.OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

void TShape::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Pen()->Assign(FPen);
    // A solid pen is kept inside the bounds, as wide as it is on every side.
    if (FPen.Style() == psSolid)
        canvas->Pen()->SetStyle(psInsideFrame);
    canvas->Brush()->Assign(FBrush);
    canvas->Rectangle(0, 0, Width(), Height());
}
