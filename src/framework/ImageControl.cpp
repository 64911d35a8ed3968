#include "ImageControl.h"

#include "Bitmap.h"
#include "Canvas.h"

TImage::TImage(TComponent* owner, QWidget* parent) : TGraphicControl(owner, parent)
{
    SetBounds(0, 0, 105, 105);
    FPicture.OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

void TImage::Paint()
{
    if (const TBitmap* graphic = FPicture.Graphic())
        Canvas()->Draw(0, 0, *graphic);
}
