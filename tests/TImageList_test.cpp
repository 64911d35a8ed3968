// The framework's image list and the platform image list under it: images
// kept at the list's size, masked bitmaps, removal with overlays following
// their images, drawing with background, overlay and dimming.
#include "Bitmap.h"
#include "Canvas.h"
#include "CommonControls.h"
#include "ImageList.h"
#include "SystemImageList.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// A new icon: one colour over the whole square, or only over its left half.
HICON solidIcon(QColor color, int size = 16, bool leftHalf = false)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(0, 0, leftHalf ? size / 2 : size, size, color);
    painter.end();
    return CreateIconFromPixmap(pixmap);
}

// Adds an icon of the colour and frees it; the new index.
int addSolid(TImageList& list, QColor color, bool leftHalf = false)
{
    HICON icon = solidIcon(color, 32, leftHalf);
    const int index = list.AddIcon(icon);
    DestroyIcon(icon);
    return index;
}

QRgb pixelOf(const QPixmap& pixmap, int x, int y)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

}  // namespace

TEST(TImageList, IconsAreCopiedAtTheListSize)
{
    TImageList list;
    list.SetWidth(24);
    list.SetHeight(24);
    EXPECT_EQ(addSolid(list, Qt::red), 0);
    EXPECT_EQ(addSolid(list, Qt::blue), 1);
    EXPECT_EQ(list.Count(), 2);
    const QPixmap image = list.GetPixmap(1);
    ASSERT_EQ(image.size(), QSize(24, 24));
    EXPECT_EQ(pixelOf(image, 23, 23), qRgb(0, 0, 255));
    // A null icon and a bad index give nothing.
    EXPECT_EQ(list.AddIcon(nullptr), -1);
    EXPECT_TRUE(list.GetPixmap(2).isNull());
    EXPECT_TRUE(list.GetPixmap(-1).isNull());
    // A new size empties the list.
    list.SetWidth(16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Width(), 16);
}

TEST(TImageList, MaskedBitmapIsCutIntoImagesWithTheMaskTransparent)
{
    TImageList list;  // 16 x 16
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(40, 16);  // two whole images; the last 8 columns are not one
    strip.Image().fill(QColor(255, 0, 255));
    QPainter painter(&strip.Image());
    painter.fillRect(2, 2, 4, 4, QColor(0, 128, 0));
    painter.fillRect(16 + 10, 10, 3, 3, QColor(0, 0, 200));
    painter.end();

    EXPECT_EQ(list.AddMasked(strip, 0xFF00FF), 0);
    ASSERT_EQ(list.Count(), 2);
    const QPixmap first = list.GetPixmap(0);
    EXPECT_EQ(qAlpha(pixelOf(first, 0, 0)), 0);  // magenta is gone
    EXPECT_EQ(pixelOf(first, 3, 3), qRgb(0, 128, 0));
    const QPixmap second = list.GetPixmap(1);
    EXPECT_EQ(pixelOf(second, 11, 11), qRgb(0, 0, 200));
    EXPECT_EQ(qAlpha(pixelOf(second, 2, 2)), 0);

    TBitmap narrow;
    narrow.SetSize(8, 16);
    EXPECT_EQ(list.AddMasked(narrow, 0xFF00FF), -1);
    EXPECT_EQ(list.Count(), 2);
}

TEST(TImageList, RemovalMovesLaterImagesAndOverlaysFollow)
{
    TImageList list;
    addSolid(list, Qt::red);
    addSolid(list, Qt::green);
    addSolid(list, Qt::blue, true);  // overlay image: left half blue
    addSolid(list, Qt::yellow);
    ASSERT_TRUE(list.Overlay(2, 0));
    EXPECT_FALSE(list.Overlay(9, 1));   // no such image
    EXPECT_FALSE(list.Overlay(0, 4));   // no such overlay

    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Delete(0);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(pixelOf(list.GetPixmap(0), 15, 15), qRgb(0, 255, 0));
    // The overlay moved down with its image: yellow with the left half blue.
    const QPixmap marked = list.GetPixmap(2, 0);
    EXPECT_EQ(pixelOf(marked, 0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(pixelOf(marked, 15, 0), qRgb(255, 255, 0));

    // Removing the overlay's own image clears the overlay.
    list.Delete(1);
    const QPixmap plain = list.GetPixmap(1, 0);
    EXPECT_EQ(pixelOf(plain, 0, 0), qRgb(255, 255, 0));

    // Bad indexes change nothing.
    list.Delete(5);
    list.Delete(-2);
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TImageList, DrawsOverTheBackgroundColourAndDimsOnRequest)
{
    TImageList list;
    addSolid(list, Qt::red, true);  // left half red, right half transparent
    list.SetBkColor(0x00FF00);      // TColor: blue 0x00, green 0xFF, red 0x00

    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(20, 20);
    target.Image().fill(Qt::white);
    list.Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.Image().pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(target.Image().pixel(16, 3), qRgb(0, 255, 0));  // background colour behind the icon
    EXPECT_EQ(target.Image().pixel(1, 1), qRgb(255, 255, 255));  // outside the cell

    // Dimmed: the icon's coverage is halved, so white shows through.
    const QPixmap dimmed = list.GetPixmap(0, -1, true);
    const QRgb pixel = pixelOf(dimmed, 0, 0);
    EXPECT_GT(qAlpha(pixel), 100);
    EXPECT_LT(qAlpha(pixel), 160);
}

TEST(TImageList, PlatformHandlesAreCheckedAndSystemListsStayUnchanged)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 0, 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR32, 0, 1), nullptr);
    EXPECT_EQ(ImageList_SetBkColor(list, 0x123456), CLR_NONE);
    EXPECT_EQ(ImageList_GetBkColor(list), 0x123456u);
    HICON icon = solidIcon(Qt::red);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), -1);  // nothing to replace yet
    EXPECT_EQ(ImageList_AddIcon(list, icon), 0);
    DestroyIcon(icon);
    EXPECT_TRUE(ImageList_Destroy(list));
    // The handle is gone: every call refuses it.
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    int cx = 0, cy = 0;
    EXPECT_FALSE(ImageList_GetIconSize(list, &cx, &cy));

    SHFILEINFOA info;
    auto* system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(system, nullptr);
    const int count = ImageList_GetImageCount(system);
    HICON another = solidIcon(Qt::blue);
    EXPECT_EQ(ImageList_AddIcon(system, another), -1);
    DestroyIcon(another);
    EXPECT_FALSE(ImageList_Remove(system, 0));
    EXPECT_FALSE(ImageList_Destroy(system));
    EXPECT_EQ(ImageList_GetImageCount(system), count);
}
