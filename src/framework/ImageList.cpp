#include "ImageList.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "SafeCall.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner)
{
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 0, 4);
}

TImageList::~TImageList()
{
    ImageList_Destroy(FHandle);
}

void TImageList::SetWidth(int value)
{
    changeSize(value, FHeight);
}

void TImageList::SetHeight(int value)
{
    changeSize(FWidth, value);
}

void TImageList::changeSize(int width, int height)
{
    if (width <= 0 || height <= 0 || (width == FWidth && height == FHeight))
        return;
    FWidth = width;
    FHeight = height;
    ImageList_SetIconSize(FHandle, width, height);
    changed();
}

void TImageList::SetBkColor(TColor value)
{
    FBkColor = value;
    ImageList_SetBkColor(FHandle, value == clNone ? CLR_NONE : static_cast<COLORREF>(ColorToRGB(value)));
    changed();
}

int TImageList::Count() const
{
    return ImageList_GetImageCount(FHandle);
}

int TImageList::AddIcon(HICON icon)
{
    const int index = ImageList_AddIcon(FHandle, icon);
    if (index >= 0)
        changed();
    return index;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor)
{
    const int index = ImageList_AddMasked(FHandle, image.Image(), static_cast<COLORREF>(ColorToRGB(maskColor)));
    if (index >= 0)
        changed();
    return index;
}

void TImageList::Delete(int index)
{
    if (ImageList_Remove(FHandle, index))
        changed();
}

void TImageList::Clear()
{
    Delete(-1);
}

bool TImageList::Overlay(int imageIndex, TOverlay overlay)
{
    if (overlay < 0 || overlay > 3)
        return false;
    if (!ImageList_SetOverlayImage(FHandle, imageIndex, overlay + 1))
        return false;
    changed();
    return true;
}

UINT TImageList::drawFlags(TOverlay overlay, bool dimmed) const
{
    UINT flags = ILD_NORMAL;
    if (overlay >= 0 && overlay <= 3)
        flags |= INDEXTOOVERLAYMASK(static_cast<UINT>(overlay + 1));
    if (dimmed)
        flags |= ILD_BLEND50;
    return flags;
}

QPixmap TImageList::GetPixmap(int index, TOverlay overlay, bool dimmed) const
{
    HICON icon = ImageList_GetIcon(FHandle, index, drawFlags(overlay, dimmed));
    const QPixmap pixmap = IconPixmap(icon);
    DestroyIcon(icon);
    return pixmap;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, TOverlay overlay, bool dimmed) const
{
    if (!canvas)
        return;
    ImageList_Draw(FHandle, index, canvas->Handle(), x, y, drawFlags(overlay, dimmed));
}

void TImageList::changed()
{
    if (OnChange)
        SafeCall([&] { OnChange(this); });
}
