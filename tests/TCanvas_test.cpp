#include "Bitmap.h"
#include "Canvas.h"
#include "FontSubstitution.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QRandomGenerator>

namespace {

QImage whiteSurface(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TColor at(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }

int count(const QImage& image, TColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == color;
    return n;
}

// The box around the pixels of a colour: left, top, right, bottom (exclusive).
RECT extent(const QImage& image, TColor color)
{
    RECT r{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == color) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

QImage noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFF));
    return image;
}

void useTestFont(TCanvas& canvas)
{
    canvas.Font()->SetName("DejaVu Sans");
    canvas.Font()->SetHeight(13);
    canvas.Font()->SetColor(clBlack);
}

}  // namespace

// ---- Lines

TEST(TCanvas, LinesLeaveOutTheirEndPoint)
{
    QImage image = whiteSurface(20, 20);
    TCanvas canvas(&image);
    canvas.MoveTo(2, 3);
    canvas.LineTo(12, 3);  // horizontal
    EXPECT_EQ(count(image, clBlack), 10);
    EXPECT_EQ(at(image, 11, 3), clBlack);
    EXPECT_EQ(at(image, 12, 3), clWhite);
    EXPECT_EQ(canvas.PenPos().x, 12);

    image.fill(Qt::white);
    canvas.MoveTo(5, 15);
    canvas.LineTo(5, 5);  // vertical, upwards
    EXPECT_EQ(count(image, clBlack), 10);
    EXPECT_EQ(at(image, 5, 5), clWhite);
    EXPECT_EQ(at(image, 5, 15), clBlack);

    image.fill(Qt::white);
    canvas.MoveTo(0, 0);
    canvas.LineTo(7, 7);  // diagonal
    EXPECT_EQ(count(image, clBlack), 7);
    EXPECT_EQ(at(image, 6, 6), clBlack);
    EXPECT_EQ(at(image, 7, 7), clWhite);
}

TEST(TCanvas, NotXorLineChainTouchesEveryPixelOnce)
{
    // A closed chain of LineTo calls: no gaps and no corner drawn twice, so every
    // pixel of the path is inverted exactly once.
    QImage image = whiteSurface(20, 20);
    TCanvas canvas(&image);
    canvas.Pen()->SetMode(pmNotXor);  // a black pen inverts
    canvas.MoveTo(2, 2);
    canvas.LineTo(15, 2);
    canvas.LineTo(15, 12);
    canvas.LineTo(9, 17);
    canvas.LineTo(2, 12);
    canvas.LineTo(2, 2);
    const int expected = 13 + 10 + 6 + 7 + 10;  // the steps of each segment
    EXPECT_EQ(count(image, clBlack), expected);  // a pixel inverted twice would be white again
    for (POINT corner : {POINT{2, 2}, POINT{15, 2}, POINT{15, 12}, POINT{9, 17}, POINT{2, 12}})
        EXPECT_EQ(at(image, corner.x, corner.y), clBlack);
}

TEST(TCanvas, PenModesAndStyles)
{
    QImage image = whiteSurface(30, 4);
    TCanvas canvas(&image);
    canvas.Pen()->SetMode(pmBlack);
    canvas.Pen()->SetColor(clRed);
    canvas.MoveTo(0, 0);
    canvas.LineTo(3, 0);
    EXPECT_EQ(count(image, clBlack), 3);
    canvas.Pen()->SetMode(pmNot);
    canvas.MoveTo(0, 0);
    canvas.LineTo(6, 0);
    EXPECT_EQ(count(image, clWhite), 30 * 4 - 3);  // the black ones turned white, the white ones black
    EXPECT_EQ(at(image, 4, 0), clBlack);
    canvas.Pen()->SetMode(pmCopy);
    canvas.Pen()->SetStyle(psClear);
    canvas.MoveTo(0, 2);
    canvas.LineTo(20, 2);
    EXPECT_EQ(at(image, 5, 2), clWhite);
    // A dashed pen over a clear brush: dashes of 18 and gaps of 6 that keep the background.
    canvas.Pen()->SetStyle(psDash);
    canvas.Brush()->SetStyle(bsClear);
    canvas.MoveTo(0, 3);
    canvas.LineTo(30, 3);
    EXPECT_EQ(at(image, 17, 3), clRed);
    EXPECT_EQ(at(image, 18, 3), clWhite);
    EXPECT_EQ(at(image, 24, 3), clRed);
}

// ---- Figures

TEST(TCanvas, RectangleAndFillsExcludeRightAndBottom)
{
    QImage image = whiteSurface(20, 20);
    TCanvas canvas(&image);
    canvas.Pen()->SetColor(clRed);
    canvas.Brush()->SetColor(clBlue);
    canvas.Rectangle(2, 3, 12, 8);
    EXPECT_EQ(count(image, clRed), 2 * (10 + 5) - 4);
    EXPECT_EQ(count(image, clBlue), 8 * 3);
    const RECT box = extent(image, clRed);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 12);
    EXPECT_EQ(box.bottom, 8);

    // Reversed corners are put in order.
    image.fill(Qt::white);
    canvas.Rectangle(12, 8, 2, 3);
    EXPECT_EQ(count(image, clRed), 26);

    // Without a pen the filled area ends one pixel earlier, as Windows draws it.
    image.fill(Qt::white);
    canvas.Pen()->SetStyle(psClear);
    canvas.Rectangle(2, 3, 12, 8);
    EXPECT_EQ(count(image, clBlue), 9 * 4);

    image.fill(Qt::white);
    canvas.FillRect(RECT{1, 1, 6, 4});
    EXPECT_EQ(count(image, clBlue), 15);
    EXPECT_EQ(at(image, 6, 1), clWhite);
    canvas.Brush()->SetColor(clGreen);
    canvas.FrameRect(RECT{10, 10, 15, 14});
    EXPECT_EQ(count(image, clGreen), 2 * 5 + 2 * 2);
    EXPECT_EQ(at(image, 12, 12), clWhite);
}

TEST(TCanvas, EllipseStaysInsideItsBox)
{
    QImage image = whiteSurface(40, 30);
    TCanvas canvas(&image);
    canvas.Pen()->SetColor(clRed);
    canvas.Brush()->SetColor(clBlue);
    canvas.Ellipse(3, 4, 31, 21);
    RECT box = extent(image, clRed);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 4);
    EXPECT_EQ(box.right, 31);
    EXPECT_EQ(box.bottom, 21);
    // Symmetric about both axes, filled inside, corners of the box left alone.
    for (int y = 4; y < 21; ++y)
        for (int x = 3; x < 31; ++x) {
            ASSERT_EQ(at(image, x, y), at(image, 3 + 30 - x, y)) << x << "," << y;
            ASSERT_EQ(at(image, x, y), at(image, x, 4 + 20 - y)) << x << "," << y;
        }
    EXPECT_EQ(at(image, 17, 12), clBlue);
    EXPECT_EQ(at(image, 3, 4), clWhite);
    EXPECT_EQ(at(image, 30, 20), clWhite);

    image.fill(Qt::white);
    canvas.RoundRect(3, 4, 31, 21, 10, 8);
    box = extent(image, clRed);
    EXPECT_EQ(box.right, 31);
    EXPECT_EQ(box.bottom, 21);
    EXPECT_EQ(at(image, 3, 4), clWhite);     // rounded corner
    EXPECT_EQ(at(image, 17, 4), clRed);      // straight edge
}

TEST(TCanvas, ArcRunsCounterClockwiseBetweenTheRays)
{
    QImage image = whiteSurface(30, 30);
    TCanvas canvas(&image);
    // From the ray to the right to the ray to the left: the upper half.
    canvas.Arc(2, 2, 28, 28, 28, 15, 2, 15);
    RECT box = extent(image, clBlack);
    EXPECT_GT(count(image, clBlack), 20);
    EXPECT_EQ(box.top, 2);
    EXPECT_LE(box.bottom, 15);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 28);
    // The other way round: the lower half.
    image.fill(Qt::white);
    canvas.Arc(2, 2, 28, 28, 2, 15, 28, 15);
    box = extent(image, clBlack);
    EXPECT_GE(box.top, 15);
    EXPECT_EQ(box.bottom, 28);
    // Equal rays: the whole ellipse.
    image.fill(Qt::white);
    canvas.Arc(2, 2, 28, 28, 28, 15, 28, 15);
    box = extent(image, clBlack);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.bottom, 28);
}

TEST(TCanvas, PieFillsItsSectorOnly)
{
    QImage image = whiteSurface(30, 30);
    TCanvas canvas(&image);
    canvas.Pen()->SetColor(clRed);
    canvas.Brush()->SetColor(clBlue);
    // From the top ray to the left ray: the upper-left quarter.
    canvas.Pie(0, 0, 30, 30, 15, 0, 0, 15);
    EXPECT_GT(count(image, clBlue), 100);
    const RECT blue = extent(image, clBlue);
    const RECT red = extent(image, clRed);
    EXPECT_LE(blue.right, 15);
    EXPECT_LE(blue.bottom, 15);
    EXPECT_LE(red.right, 16);
    EXPECT_LE(red.bottom, 16);
    EXPECT_EQ(red.left, 0);
    EXPECT_EQ(red.top, 0);
    // Both radii are drawn: along the row and the column through the centre.
    EXPECT_EQ(at(image, 14, 5), clRed);
    EXPECT_EQ(at(image, 5, 14), clRed);
}

TEST(TCanvas, NotXorFiguresDrawnTwiceRestoreThePicture)
{
    const QImage before = noise(50, 40);
    QImage image = before;
    TCanvas canvas(&image);
    canvas.Pen()->SetMode(pmNotXor);
    canvas.Brush()->SetStyle(bsClear);
    const auto draw = [&canvas] {
        canvas.MoveTo(1, 38);
        canvas.LineTo(48, 1);
        canvas.Rectangle(5, 5, 45, 35);
        canvas.Ellipse(10, 3, 40, 37);
        canvas.RoundRect(2, 2, 48, 38, 9, 7);
        canvas.Polygon({{3, 3}, {46, 10}, {12, 36}, {30, 1}});
        canvas.Polyline({{0, 20}, {25, 0}, {49, 20}});
        canvas.PolyBezier({{0, 39}, {10, 0}, {40, 0}, {49, 39}});
        canvas.Arc(0, 0, 50, 40, 50, 20, 25, 0);
    };
    draw();
    EXPECT_NE(image, before);
    draw();
    EXPECT_EQ(image, before);
}

TEST(TCanvas, PolygonFillModes)
{
    // A five-pointed star: its centre is outside under the alternate rule and
    // inside under the winding rule.
    const std::vector<POINT> star = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    QImage image = whiteSurface(41, 40);
    TCanvas canvas(&image);
    canvas.Brush()->SetColor(clBlue);
    canvas.Polygon(star);
    EXPECT_EQ(at(image, 20, 20), clWhite);
    EXPECT_EQ(at(image, 20, 8), clBlue);
    canvas.SetPolyFillMode(WINDING);
    canvas.Polygon(star);
    EXPECT_EQ(at(image, 20, 20), clBlue);
}

TEST(TCanvas, WidePenOutlines)
{
    QImage image = whiteSurface(40, 40);
    TCanvas canvas(&image);
    canvas.Pen()->SetWidth(5);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Rectangle(10, 10, 30, 30);
    EXPECT_EQ(at(image, 8, 20), clBlack);   // the pen reaches 2 pixels outside
    EXPECT_EQ(at(image, 12, 20), clBlack);  // and 2 inside
    EXPECT_EQ(at(image, 20, 20), clWhite);
    image.fill(Qt::white);
    canvas.Pen()->SetStyle(psInsideFrame);
    canvas.Rectangle(10, 10, 30, 30);
    EXPECT_EQ(extent(image, clBlack).left, 10);
    EXPECT_EQ(extent(image, clBlack).right, 30);
}

// ---- Text

TEST(TCanvas, TextBackgroundFollowsTheBrush)
{
    QImage image = whiteSurface(120, 30);
    TCanvas canvas(&image);
    useTestFont(canvas);
    const TSize size = canvas.TextExtent("Hello");
    EXPECT_GT(size.cx, 10);
    EXPECT_GE(size.cy, 13);
    canvas.Brush()->SetColor(clYellow);
    canvas.TextOut(2, 3, "Hello");
    const RECT box = extent(image, clYellow);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 3);
    EXPECT_GT(count(image, clBlack), 10);
    EXPECT_EQ(count(image, clYellow) + count(image, clBlack), size.cx * size.cy);
    EXPECT_EQ(canvas.PenPos().x, 2 + size.cx);

    image.fill(Qt::white);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(2, 3, "Hello");
    EXPECT_EQ(count(image, clYellow), 0);
    EXPECT_GT(count(image, clBlack), 10);

    // An explicit background lasts until the brush changes.
    image.fill(Qt::white);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.SetTextBackground(clRed, true);
    canvas.TextOut(2, 3, "Hi");
    EXPECT_GT(count(image, clRed), 0);
    EXPECT_EQ(count(image, clYellow), 0);
    canvas.SetTextBackground(clRed, false);
    image.fill(Qt::white);
    canvas.TextOut(2, 3, "Hi");
    EXPECT_EQ(count(image, clRed), 0);
    canvas.Brush()->SetColor(clLime);
    canvas.TextOut(2, 3, "Hi");
    EXPECT_GT(count(image, clLime), 0);
}

TEST(TCanvas, DrawTextWrapsMeasuresAndKeepsAmpersands)
{
    QImage image = whiteSurface(200, 120);
    TCanvas canvas(&image);
    useTestFont(canvas);
    canvas.Brush()->SetStyle(bsClear);
    const int lineHeight = canvas.TextHeight("X");

    // "&" is an ordinary character: it is measured and drawn.
    EXPECT_GT(canvas.TextWidth("a&b"), canvas.TextWidth("ab"));
    RECT r{0, 0, 200, 0};
    EXPECT_EQ(canvas.DrawText("a&b", r, DT_CALCRECT | DT_SINGLELINE), lineHeight);
    EXPECT_EQ(r.right, canvas.TextWidth("a&b"));
    EXPECT_EQ(r.bottom, lineHeight);
    EXPECT_EQ(count(image, clWhite), 200 * 120);  // measuring draws nothing

    // Word wrapping in a narrow rectangle grows the height by whole lines.
    const std::string text = "one two three four five six seven";
    RECT wide{0, 0, 1000, 0};
    EXPECT_EQ(canvas.DrawText(text, wide, DT_CALCRECT | DT_WORDBREAK), lineHeight);
    RECT narrow{0, 0, canvas.TextWidth("three four"), 0};
    const int height = canvas.DrawText(text, narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(height, 3 * lineHeight);
    EXPECT_EQ(height % lineHeight, 0);
    EXPECT_EQ(narrow.bottom, height);
    EXPECT_LE(narrow.right, canvas.TextWidth("three four"));
    EXPECT_EQ(count(image, clWhite), 200 * 120);

    // Drawing fills the same lines, clipped to the rectangle.
    RECT box{10, 10, 10 + canvas.TextWidth("three four"), 10 + height};
    EXPECT_EQ(canvas.DrawText(text, box, DT_WORDBREAK), height);
    const RECT ink = extent(image, clBlack);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, box.right);
    EXPECT_GT(ink.bottom, 10 + 2 * lineHeight);
    EXPECT_LE(ink.bottom, 10 + height);

    // Line breaks start new lines unless the text is a single line.
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(canvas.DrawText("a\nb\r\nc", lines, DT_CALCRECT), 3 * lineHeight);
    RECT single{0, 0, 200, 0};
    EXPECT_EQ(canvas.DrawText("a\nb", single, DT_CALCRECT | DT_SINGLELINE), lineHeight);
}

TEST(TCanvas, DrawTextAlignsInItsRectangle)
{
    QImage image = whiteSurface(100, 40);
    TCanvas canvas(&image);
    useTestFont(canvas);
    canvas.Brush()->SetColor(clYellow);
    const int w = canvas.TextWidth("II");
    const int h = canvas.TextHeight("II");
    RECT r{0, 0, 100, 40};
    canvas.DrawText("II", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const RECT back = extent(image, clYellow);
    EXPECT_EQ(back.left, (100 - w) / 2);
    EXPECT_EQ(back.top, (40 - h) / 2);
    image.fill(Qt::white);
    canvas.DrawText("II", r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(extent(image, clYellow).right, 100);
    EXPECT_EQ(extent(image, clYellow).bottom, 40);
}

// ---- Bitmaps and pixels

TEST(TCanvas, DrawLeavesOutTheTransparentColour)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(4, 4);
    bitmap.Canvas()->Brush()->SetColor(clFuchsia);
    bitmap.Canvas()->FillRect(RECT{0, 0, 4, 4});
    bitmap.Canvas()->SetPixel(1, 1, clRed);
    bitmap.Canvas()->SetPixel(2, 2, clBlue);
    QImage image = whiteSurface(10, 10);
    TCanvas canvas(&image);
    canvas.Draw(3, 3, bitmap);
    EXPECT_EQ(count(image, clFuchsia), 14);

    image.fill(Qt::white);
    bitmap.SetTransparent(true);  // automatic: the bottom-left pixel, fuchsia
    canvas.Draw(3, 3, bitmap);
    EXPECT_EQ(count(image, clFuchsia), 0);
    EXPECT_EQ(at(image, 4, 4), clRed);
    EXPECT_EQ(at(image, 5, 5), clBlue);
    EXPECT_EQ(count(image, clWhite), 98);

    image.fill(Qt::white);
    bitmap.SetTransparentColor(clRed);
    canvas.Draw(3, 3, bitmap);
    EXPECT_EQ(at(image, 4, 4), clWhite);
    EXPECT_EQ(count(image, clFuchsia), 14);
}

TEST(TCanvas, StretchDrawTakesTheNearestPixel)
{
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    bitmap.Canvas()->SetPixel(0, 0, clRed);
    bitmap.Canvas()->SetPixel(1, 0, clLime);
    bitmap.Canvas()->SetPixel(0, 1, clBlue);
    bitmap.Canvas()->SetPixel(1, 1, clBlack);
    QImage image = whiteSurface(8, 8);
    TCanvas canvas(&image);
    canvas.StretchDraw(RECT{1, 1, 7, 7}, bitmap);
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 7; ++x) {
            const TColor want = y < 4 ? (x < 4 ? clRed : clLime) : (x < 4 ? clBlue : clBlack);
            ASSERT_EQ(at(image, x, y), want) << x << "," << y;
        }
    EXPECT_EQ(count(image, clWhite), 64 - 36);
    // Shrinking picks source pixels, never a mixture.
    image.fill(Qt::white);
    canvas.StretchDraw(RECT{0, 0, 1, 1}, bitmap);
    const TColor one = at(image, 0, 0);
    EXPECT_TRUE(one == clRed || one == clLime || one == clBlue || one == clBlack);
}

TEST(TCanvas, CopyRectPixelsAndClipping)
{
    QImage source = whiteSurface(10, 10);
    TCanvas from(&source);
    from.Brush()->SetColor(clRed);
    from.FillRect(RECT{0, 0, 5, 5});
    QImage image = whiteSurface(10, 10);
    TCanvas canvas(&image);
    canvas.CopyRect(RECT{5, 5, 10, 10}, from, RECT{0, 0, 5, 5});
    EXPECT_EQ(count(image, clRed), 25);
    EXPECT_EQ(extent(image, clRed).left, 5);

    EXPECT_EQ(canvas.Pixel(5, 5), clRed);
    EXPECT_EQ(canvas.Pixel(-1, 0), clNone);
    EXPECT_EQ(canvas.Pixel(10, 0), clNone);
    canvas.SetPixel(0, 0, clBtnFace);
    EXPECT_EQ(canvas.Pixel(0, 0), ColorToRGB(clBtnFace));

    canvas.SetClipRect(RECT{0, 0, 3, 3});
    EXPECT_EQ(canvas.ClipRect().right, 3);
    canvas.Brush()->SetColor(clBlue);
    canvas.FillRect(RECT{0, 0, 10, 10});
    EXPECT_EQ(count(image, clBlue), 9);
    canvas.ResetClipRect();
    EXPECT_EQ(canvas.ClipRect().right, 10);
}

TEST(TCanvas, SurfaceChangesAndEvents)
{
    TCanvas canvas;
    canvas.Rectangle(0, 0, 5, 5);  // nothing to draw on: nothing happens
    EXPECT_EQ(canvas.Pixel(0, 0), clNone);
    QImage image = whiteSurface(6, 6);
    int changes = 0;
    canvas.OnChange = [&changes] { ++changes; };
    canvas.SetSurface(&image);
    EXPECT_EQ(canvas.Surface(), &image);
    canvas.Rectangle(0, 0, 5, 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(at(image, 0, 0), clBlack);
    // The surface may be replaced while the canvas keeps it; the next call draws on the new pixels.
    image = whiteSurface(8, 8);
    canvas.SetPixel(7, 7, clRed);
    EXPECT_EQ(at(image, 7, 7), clRed);
    EXPECT_TRUE(canvas.HandleAllocated());
    EXPECT_TRUE(canvas.TryLock());
    canvas.Unlock();
    canvas.SetSurface(nullptr);
    canvas.SetPixel(0, 0, clRed);
    EXPECT_EQ(at(image, 0, 0), clWhite);
}

// ---- Fonts

TEST(TFont, PropertiesAndQtFont)
{
    TFont font;
    EXPECT_EQ(font.Name(), "MS Sans Serif");
    EXPECT_EQ(font.Height(), 11);
    EXPECT_EQ(font.Color(), clWindowText);
    int changes = 0;
    font.OnChange = [&changes](TGraphicsObject*) { ++changes; };
    font.SetHeight(-21);  // a Windows character height
    font.SetHeight(-21);
    font.SetStyle(FontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(changes, 2);
    const QFont q = font.ToQFont();
    EXPECT_EQ(q.pixelSize(), 21);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(HasFontStyle(font.Style(), fsBold));
    EXPECT_FALSE(HasFontStyle(font.Style(), fsItalic));
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);

    TFont copy;
    int copyChanges = 0;
    copy.OnChange = [&copyChanges](TGraphicsObject*) { ++copyChanges; };
    copy.Assign(font);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.Style(), font.Style());
    EXPECT_EQ(copy.Height(), font.Height());

    TPen pen;
    int penChanges = 0;
    pen.OnChange = [&penChanges](TGraphicsObject*) { ++penChanges; };
    TPen other;
    other.SetWidth(3);
    other.SetMode(pmNotXor);
    pen.Assign(other);
    EXPECT_EQ(penChanges, 1);
    EXPECT_EQ(pen.Width(), 3);
    EXPECT_EQ(pen.Mode(), pmNotXor);
}

TEST(FontSubstitution, WindowsFamiliesResolveToInstalledOnes)
{
    InstallFontSubstitutions();
    // Qt keeps substitutes in lower case.
    const auto substitute = [](const char* family) { return QFont::substitute(QString::fromUtf8(family)).toLower(); };
    EXPECT_EQ(substitute("ＭＳ Ｐゴシック"), QStringLiteral("ipapgothic"));
    EXPECT_EQ(substitute("ＭＳ Ｐ明朝"), QStringLiteral("ipapmincho"));
    EXPECT_EQ(substitute("Tahoma"), QStringLiteral("dejavu sans"));
    EXPECT_EQ(substitute("MS Sans Serif"), QStringLiteral("dejavu sans"));
    EXPECT_EQ(substitute("HGS行書体"), QString::fromStdString(BrushScriptFamily()).toLower());

    TFont font;
    font.SetName("ＭＳ Ｐゴシック");
    font.SetHeight(21);
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("IPAPGothic"));
    font.SetName("Tahoma");
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("DejaVu Sans"));
    // Without a brush-script family installed the mincho face stands in.
    const QString brush = QString::fromStdString(BrushScriptFamily());
    EXPECT_FALSE(brush.isEmpty());
    font.SetName("HGS行書体");
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), brush);
}
