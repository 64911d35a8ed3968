// Image lists and icons, as the common controls keep them.
//
// An image list holds images of one size (cx by cy pixels) by index, with an
// alpha channel, a background colour and up to fifteen overlays: an overlay
// is one of the list's own images, drawn over another image when the draw
// flags name its number. Removing an image moves the later images down by
// one, and the overlays follow their images (an overlay whose image was
// removed is cleared).
//
// The system image lists (SHGetFileInfoA) are image lists too; they draw the
// icon theme and refuse to be changed or destroyed.
#pragma once

#include "Gdi.h"
#include "WinTypes.h"

#include <QPixmap>

// An icon image owned by its receiver and freed with DestroyIcon.
struct IconData {
    QPixmap pixmap;
};
using HICON = IconData*;

// A new icon holding a copy of pixmap; null for a null pixmap.
HICON CreateIconFromPixmap(const QPixmap& pixmap);
// Frees an icon; FALSE for null.
BOOL DestroyIcon(HICON icon);
// The icon's image (a null pixmap for a null icon).
QPixmap IconPixmap(HICON icon);

struct ImageListData;
using HIMAGELIST = ImageListData*;

inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

// ImageList_Create flags; every list here keeps 32-bit images with alpha.
inline constexpr UINT ILC_MASK = 0x0001;
inline constexpr UINT ILC_COLOR32 = 0x0020;

// Draw flags: the overlay number goes in bits 8 to 11.
inline constexpr UINT ILD_NORMAL = 0x0000;       // the background colour fills the cell first
inline constexpr UINT ILD_TRANSPARENT = 0x0001;  // no background
inline constexpr UINT ILD_BLEND25 = 0x0002;
inline constexpr UINT ILD_BLEND50 = 0x0004;      // half transparent: the dimmed look of cut items
inline constexpr UINT ILD_OVERLAYMASK = 0x0F00;
inline constexpr UINT INDEXTOOVERLAYMASK(UINT overlay) { return overlay << 8; }

// A new empty list of cx by cy images; null for a size that is not positive.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
// Frees a list made by ImageList_Create; FALSE for other handles.
BOOL ImageList_Destroy(HIMAGELIST list);

// The image size; FALSE for an unknown list or null outputs.
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Changes the image size and removes every image; FALSE for a system list.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
// Number of images (0 for an unknown list).
int ImageList_GetImageCount(HIMAGELIST list);

// Adds a copy of the icon, scaled to the list's size: the new index, or -1.
// With index >= 0 the image at index is replaced instead.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// Adds a bitmap as images, cut into pieces of the list's width from the left
// (a bitmap narrower than one image gives none); pixels of the colour mask
// become transparent. The index of the first new image, or -1.
int ImageList_AddMasked(HIMAGELIST list, const QImage& bitmap, COLORREF mask);
// Removes image index (-1: every image). Later images move down by one.
BOOL ImageList_Remove(HIMAGELIST list, int index);

// Sets the background colour (CLR_NONE for none) and returns the previous one.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

// Makes image the list's overlay number overlay (1 to 15).
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);

// A new icon of image index with the overlay and blend that flags name (the
// background colour is not drawn); null for a bad index.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
// Draws image index at (x, y) on dc as flags say.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT flags);

// What the system image lists implement: their images come from elsewhere.
struct ImageListData {
    ImageListData(int width, int height);
    virtual ~ImageListData();
    ImageListData(const ImageListData&) = delete;
    ImageListData& operator=(const ImageListData&) = delete;

    virtual int count() const = 0;
    // Image index at the list's size; a null pixmap when there is none.
    virtual QPixmap image(int index) const = 0;
    // Lists that may be changed and destroyed by their users.
    virtual bool own() const { return false; }

    int cx;
    int cy;
    COLORREF background = CLR_NONE;
    int overlays[16];  // overlay number -> image index, -1 = none; entry 0 unused
};
