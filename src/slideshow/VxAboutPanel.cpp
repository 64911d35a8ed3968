#include "VxAboutPanel.h"

#include "Canvas.h"
#include "Gdi.h"
#include "GraphicsObjects.h"

TVxAboutPanel::TVxAboutPanel(TComponent* owner, QWidget* parent) : TCustomControl(owner, parent)
{
    SetColor(clBtnFace);
}

void TVxAboutPanel::Paint()
{
    TCanvas* canvas = Canvas();
    const int right = Width() - 1;
    const int bottom = Height() - 1;
    // Top and left edges, from the bottom-left corner up and across; the
    // top-right corner belongs to the highlight.
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetMode(pmCopy);
    canvas->Polyline({{0, bottom}, {0, 0}, {right, 0}});
    // Right and bottom edges, down and back across the whole bottom row.
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->Polyline({{right, 0}, {right, bottom}, {-1, bottom}});

    if (Caption().empty())
        return;
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsClear);
    RECT inside{1, 1, right, bottom};
    canvas->DrawText(Caption(), inside, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
