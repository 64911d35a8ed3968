#include "Bitmap.h"
#include "Canvas.h"
#include "Exception.h"
#include "Picture.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TColor at(const TBitmap& bitmap, int x, int y) { return FromQColor(QColor(bitmap.Image().pixel(x, y))); }

// A 3 x 2 bitmap: red, green, blue over black, white, olive.
void paintSample(TBitmap& bitmap)
{
    bitmap.SetSize(3, 2);
    TCanvas* canvas = bitmap.Canvas();
    canvas->SetPixel(0, 0, clRed);
    canvas->SetPixel(1, 0, clLime);
    canvas->SetPixel(2, 0, clBlue);
    canvas->SetPixel(0, 1, clBlack);
    canvas->SetPixel(1, 1, clWhite);
    canvas->SetPixel(2, 1, clOlive);
}

}  // namespace

TEST(TBitmap, TwentyFourBitScanLinesAreBlueGreenRed)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    paintSample(bitmap);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_BGR888);
    const unsigned char* row = bitmap.ScanLine(0);
    EXPECT_EQ(row[0], 0);  // red: blue, green, red
    EXPECT_EQ(row[1], 0);
    EXPECT_EQ(row[2], 255);
    EXPECT_EQ(row[6], 255);  // blue
    EXPECT_EQ(row[8], 0);
    // Writing a scan line changes the pixels the canvas sees.
    unsigned char* bottom = bitmap.ScanLine(1);
    bottom[0] = 0x30;
    bottom[1] = 0x20;
    bottom[2] = 0x10;
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 1), RGB(0x10, 0x20, 0x30));
    EXPECT_THROW(bitmap.ScanLine(2), Exception);
    EXPECT_THROW(bitmap.ScanLine(-1), Exception);
}

TEST(TBitmap, PixelFormatsConvertThePixels)
{
    TBitmap bitmap;
    paintSample(bitmap);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    bitmap.SetPixelFormat(pf32bit);
    const unsigned char* row = bitmap.ScanLine(0);
    EXPECT_EQ(row[0], 0);  // red: blue, green, red, unused
    EXPECT_EQ(row[2], 255);
    bitmap.SetPixelFormat(pf8bit);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(at(bitmap, 2, 1), clOlive);  // one of the table's colours stays exact
    bitmap.SetPixelFormat(pf4bit);
    EXPECT_EQ(bitmap.Image().colorCount(), 16);
    EXPECT_EQ(at(bitmap, 0, 0), clRed);
    bitmap.SetPixelFormat(pf1bit);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_Mono);
    EXPECT_EQ(at(bitmap, 1, 1), clWhite);
    EXPECT_EQ(at(bitmap, 0, 1), clBlack);
    // Drawing on a one-bit bitmap picks black or white.
    bitmap.Canvas()->SetPixel(1, 1, RGB(20, 20, 20));
    EXPECT_EQ(at(bitmap, 1, 1), clBlack);
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(at(bitmap, 0, 1), clBlack);
}

TEST(TBitmap, ResizingKeepsPixelsAndFillsWithWhite)
{
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&changes](TGraphicsObject*) { ++changes; };
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_FALSE(bitmap.HandleAllocated());
    paintSample(bitmap);
    EXPECT_GT(changes, 0);
    bitmap.SetSize(5, 4);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(at(bitmap, 0, 0), clRed);
    EXPECT_EQ(at(bitmap, 2, 1), clOlive);
    EXPECT_EQ(at(bitmap, 4, 0), clWhite);
    EXPECT_EQ(at(bitmap, 0, 3), clWhite);
    bitmap.SetWidth(1);
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(at(bitmap, 0, 0), clRed);
    bitmap.SetHeight(-5);
    EXPECT_TRUE(bitmap.Empty());
    // A one-bit bitmap grows with white too.
    TBitmap mono;
    mono.SetPixelFormat(pf1bit);
    mono.SetSize(3, 1);
    mono.Canvas()->SetPixel(2, 0, clBlack);
    mono.SetSize(12, 2);
    EXPECT_EQ(at(mono, 2, 0), clBlack);
    EXPECT_EQ(at(mono, 3, 0), clWhite);
    EXPECT_EQ(at(mono, 11, 1), clWhite);
}

TEST(TBitmap, TransparentColourModes)
{
    TBitmap bitmap;
    EXPECT_EQ(bitmap.TransparentColor(), clNone);  // empty: no pixel to take
    paintSample(bitmap);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clBlack);  // bottom-left
    bitmap.Canvas()->SetPixel(0, 1, clTeal);
    EXPECT_EQ(bitmap.TransparentColor(), clTeal);
    bitmap.SetTransparentColor(clWhite);
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    EXPECT_EQ(bitmap.TransparentColor(), clWhite);
    bitmap.SetTransparentColor(clDefault);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clTeal);
    bitmap.SetTransparentMode(tmFixed);  // keeps the colour found so far
    bitmap.Canvas()->SetPixel(0, 1, clRed);
    EXPECT_EQ(bitmap.TransparentColor(), clTeal);
}

TEST(TBitmap, AssignCopiesAndStaysIndependent)
{
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    paintSample(source);
    source.SetTransparent(true);
    source.SetTransparentColor(clBlue);
    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&changes](TGraphicsObject*) { ++changes; };
    copy.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.PixelFormat(), pf24bit);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clBlue);
    copy.Canvas()->SetPixel(0, 0, clYellow);
    copy.ScanLine(1)[0] = 0x55;
    EXPECT_EQ(at(copy, 0, 0), clYellow);
    EXPECT_EQ(at(source, 0, 0), clRed);
    EXPECT_EQ(source.ScanLine(1)[0], 0);
}

TEST(TBitmap, FilesRoundTripAndFailuresLeaveTheBitmap)
{
    testfiles::TempFolder folder;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    paintSample(bitmap);
    const std::string path = folder.file("sample.png");  // written as BMP whatever the name
    bitmap.SaveToFile(path);
    EXPECT_EQ(testfiles::readFile(path).substr(0, 2), "BM");

    TBitmap loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.Width(), 3);
    EXPECT_EQ(loaded.Height(), 2);
    EXPECT_EQ(loaded.PixelFormat(), pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(at(loaded, x, y), at(bitmap, x, y));

    // An 8-bit BMP keeps its depth and its colours.
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SaveToFile(folder.file("eight.bmp"));
    TBitmap eight;
    eight.LoadFromFile(folder.file("eight.bmp"));
    EXPECT_EQ(eight.PixelFormat(), pf8bit);
    EXPECT_EQ(at(eight, 0, 0), clRed);

    // A PNG with an alpha channel is a 32-bit bitmap.
    QImage alpha(2, 2, QImage::Format_ARGB32);
    alpha.fill(QColor(0, 0, 255, 128));
    ASSERT_TRUE(alpha.save(QString::fromStdString(folder.file("alpha.png"))));
    TBitmap withAlpha;
    withAlpha.LoadFromFile(folder.file("alpha.png"));
    EXPECT_EQ(withAlpha.PixelFormat(), pf32bit);
    EXPECT_TRUE(withAlpha.Image().hasAlphaChannel());

    testfiles::writeFile(folder.file("broken.bmp"), "BM this is no picture");
    EXPECT_THROW(loaded.LoadFromFile(folder.file("broken.bmp")), Exception);
    EXPECT_THROW(loaded.LoadFromFile(folder.file("missing.bmp")), Exception);
    EXPECT_EQ(loaded.Width(), 3);
    EXPECT_EQ(at(loaded, 0, 0), clRed);

    // Failing writes report it and leave an existing file alone.
    EXPECT_THROW(bitmap.SaveToFile(folder.file("no/such/folder/x.bmp")), Exception);
    EXPECT_THROW(TBitmap().SaveToFile(path), Exception);
    EXPECT_EQ(testfiles::readFile(path).substr(0, 2), "BM");
    EXPECT_THROW(loaded.LoadFromResourceName("NoSuchBitmap"), Exception);
}

TEST(TPicture, HoldsOneBitmap)
{
    testfiles::TempFolder folder;
    TBitmap sample;
    paintSample(sample);
    sample.SaveToFile(folder.file("p.bmp"));

    TPicture picture;
    int changes = 0;
    picture.OnChange = [&changes](TGraphicsObject*) { ++changes; };
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    TBitmap* bitmap = picture.Bitmap();  // created on demand, still empty
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Graphic(), bitmap);
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(changes, 0);
    bitmap->SetSize(4, 5);  // the bitmap's changes are the picture's
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.Height(), 5);

    picture.LoadFromFile(folder.file("p.bmp"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_THROW(picture.LoadFromFile(folder.file("none.bmp")), Exception);
    EXPECT_EQ(picture.Width(), 3);

    TPicture copy;
    int copyChanges = 0;
    copy.OnChange = [&copyChanges](TGraphicsObject*) { ++copyChanges; };
    copy.Assign(picture);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_NE(copy.Graphic(), picture.Graphic());
    copy.Bitmap()->Canvas()->SetPixel(0, 0, clBlue);
    EXPECT_EQ(at(*picture.Bitmap(), 0, 0), clRed);

    copy.Clear();
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Graphic(), nullptr);
    copy.SetBitmap(&sample);
    EXPECT_EQ(copy.Width(), 3);
    copy.SetBitmap(nullptr);
    EXPECT_TRUE(copy.Empty());
}
