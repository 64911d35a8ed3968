#include "Label.h"

#include "Canvas.h"
#include "Gdi.h"

TLabel::TLabel(TComponent* owner, QWidget* parent) : TGraphicControl(owner, parent)
{
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment value) { SetAndInvalidate(FAlignment, value); }
void TLabel::SetLayout(TTextLayout value) { SetAndInvalidate(FLayout, value); }
void TLabel::SetWordWrap(bool value) { SetAndInvalidate(FWordWrap, value); }
void TLabel::SetTransparent(bool value) { SetAndInvalidate(FTransparent, value); }

void TLabel::Paint()
{
    TCanvas* canvas = Canvas();
    RECT rect = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(rect);
    }
    if (Caption().empty())
        return;
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsClear);
    UINT format = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
    if (FAlignment == taRightJustify)
        format |= DT_RIGHT;
    else if (FAlignment == taCenter)
        format |= DT_CENTER;
    if (FLayout != tlTop) {
        RECT extent = rect;
        canvas->DrawText(Caption(), extent, format | DT_CALCRECT);
        const int spare = rect.bottom - (extent.bottom - extent.top);
        rect.top += FLayout == tlCenter ? spare / 2 : spare;
    }
    canvas->DrawText(Caption(), rect, format);
}
