#include "ButtonPress.h"

#include "Canvas.h"

void DrawButtonEdge(TCanvas* canvas, const RECT& r, bool sunken)
{
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(sunken ? clBtnShadow : clBtnHighlight);
    canvas->Polyline({{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 1, r.top}});
    canvas->Pen()->SetColor(sunken ? clBtnHighlight : clBtnShadow);
    canvas->Polyline({{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
}
