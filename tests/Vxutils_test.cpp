// The drawing utilities of the image unit: coordinates and numbers,
// rubber-band shapes, marching dashes, the dialogs and the window helpers.
#include "CommonDialogs.h"
#include "UniqueDC.h"
#include "UserWindows.h"
#include "Vxinit.h"
#include "Vxutils.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QFontDialog>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// A picture of many colours, so that any pixel a shape leaves changed shows.
QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * y * 13 + 7) & 0xFF));
    return image;
}

QImage white(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int changedPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

const RECT kImageRect{10, 20, 110, 120};
const RECT kScreenRect{4, 6, 76, 56};

// A shape drawn in image coordinates, at scale 0.7 × 0.5 unless told.
using Shape = std::function<void(HDC)>;
struct NamedShape {
    const char* name;
    Shape draw;
};

std::vector<NamedShape> everyShape(double sx = 0.7, double sy = 0.5)
{
    static const POINT polygon[] = {{12, 22}, {100, 40}, {60, 110}, {20, 90}, {105, 25}};
    static const POINT bezier[] = {{15, 100}, {30, 5}, {90, 150}, {108, 30}};
    return {
        {"line", [=](HDC dc) { _LineNOTXOR(dc, 12, 25, 104, 98, kImageRect, sx, sy, kScreenRect, false); }},
        {"rectangle", [=](HDC dc) { _RectangleNOTXOR(dc, 14, 24, 96, 110, kImageRect, sx, sy, kScreenRect, false); }},
        {"ellipse", [=](HDC dc) { _EllipseNOTXOR(dc, 5, 15, 120, 130, kImageRect, sx, sy, kScreenRect, false); }},
        {"round rect", [=](HDC dc) { _RoundRectNOTXOR(dc, 20, 30, 100, 115, kImageRect, sx, sy, kScreenRect, false); }},
        {"polygon", [=](HDC dc) { _PolygonNOTXOR(dc, polygon, 5, kImageRect, sx, sy, kScreenRect, false); }},
        {"bezier", [=](HDC dc) { _BezierNOTXOR(dc, bezier, kImageRect, sx, sy, kScreenRect); }},
        {"screen rectangle", [=](HDC dc) { _RectangleNOTXOR(dc, 10, 12, 90, 70, kImageRect, sx, sy, kScreenRect, true); }},
    };
}

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Runs body once the modal dialog that run() opens is showing.
template <typename Dialog>
void whileShowing(const std::function<void(Dialog&)>& body)
{
    QTimer::singleShot(0, [body] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        body(*dialog);
    });
}

// The image library, loaded for one test.
struct LoadedLibrary {
    LoadedLibrary() { loaded = InitializeVX(kVxUserFirst); }
    ~LoadedLibrary()
    {
        if (loaded)
            TerminateVX(kVxUserFirst);
    }
    bool loaded = false;
};

}  // namespace

// ---- Coordinates and numbers

TEST(Vxutils, CoordinatesConvertWithTruncationTowardZero)
{
    struct Case {
        int value, from, to;
        double scale;
        int image, screen;
    } cases[] = {
        // ConvToImg: to + Trunc((value − from) / scale); ConvToScrn: to + Trunc((value − from) × scale)
        {17, 10, 2, 1.5, 6, 12},    // 7 / 1.5 = 4.67; 7 × 1.5 = 10.5
        {5, 10, 0, 2.0, -2, -10},   // −2.5 cuts to −2; −10 exactly
        {0, 3, 0, 1.5, -2, -4},     // −2; −4.5 cuts to −4
        {100, 0, -50, 0.3, 283, -20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConvToImgX(c.value, c.from, c.to, c.scale), c.image) << c.value;
        EXPECT_EQ(ConvToImgY(c.value, c.from, c.to, c.scale), c.image) << c.value;
        EXPECT_EQ(ConvToScrnX(c.value, c.from, c.to, c.scale), c.screen) << c.value;
        EXPECT_EQ(ConvToScrnY(c.value, c.from, c.to, c.scale), c.screen) << c.value;
    }
    // A scale of 0 gives the end of the range, not undefined behaviour.
    EXPECT_EQ(ConvToImgX(5, 0, 1, 0.0), INT_MAX);
    EXPECT_EQ(ConvToImgX(0, 0, 7, 0.0), 7);  // 0 / 0
}

TEST(Vxutils, RoundoffRoundsHalvesAwayFromZero)
{
    struct Case {
        long double x;
        std::int64_t rounded;
    } cases[] = {
        {0.0L, 0}, {0.5L, 1}, {-0.5L, -1}, {1.49L, 1}, {-1.49L, -1}, {1.5L, 2}, {-1.5L, -2}, {2.5L, 3},
        {-2.5L, -3}, {0.49999999999999994L, 0},  // with double sums this would round to 1
        {1e30L, INT64_MAX}, {-1e30L, INT64_MIN}, {NAN, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Roundoff(c.x), c.rounded) << double(c.x);
}

TEST(Vxutils, AlignLongPadsScanLinesToFourBytes)
{
    const int cases[][2] = {{0, 0},       {1, 4},       {8, 4},       {24, 4},  {32, 4},
                            {33, 8},      {72, 12},     {15360, 1920}, {-1, 0}, {INT_MAX, 268435456}};
    for (const auto& c : cases)
        EXPECT_EQ(ALIGNLONG(c[0]), c[1]) << c[0];
}

// ---- Rubber-band shapes

TEST(Vxutils, EveryRubberBandShapeDrawnTwiceRestoresEveryPixel)
{
    for (const NamedShape& shape : everyShape()) {
        SCOPED_TRACE(shape.name);
        const QImage before = noise(80, 60);
        QImage image = before;
        UniqueDC dc(CreateImageDC(&image));
        // The context's own state, which the shapes must give back.
        const RECT ownClip{2, 3, 70, 50};
        SelectClipRect(dc.get(), &ownClip);
        SetROP2(dc.get(), R2_MERGEPEN);
        SetDCPen(dc.get(), LOGPEN{PS_DASH, POINT{1, 0}, 0x123456});
        SetDCBrush(dc.get(), LOGBRUSH{BS_SOLID, 0x654321, 0});

        shape.draw(dc.get());
        const QImage once = image;
        EXPECT_GT(changedPixels(before, once), 20);
        // Nothing outside the screen rectangle and the context's clip.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (x < 4 || y < 6 || x >= 70 || y >= 50) {
                    ASSERT_EQ(once.pixel(x, y), before.pixel(x, y)) << x << "," << y;
                }

        shape.draw(dc.get());
        EXPECT_EQ(changedPixels(before, image), 0);

        RECT clip;
        EXPECT_EQ(GetClipRect(dc.get(), &clip), 1);
        EXPECT_TRUE(sameRect(clip, ownClip));
        EXPECT_EQ(SetROP2(dc.get(), R2_COPYPEN), R2_MERGEPEN);
        const LOGPEN pen = GetDCPen(dc.get());
        EXPECT_EQ(pen.lopnStyle, PS_DASH);
        EXPECT_EQ(pen.lopnColor, 0x123456u);
        EXPECT_EQ(SetDCBrush(dc.get(), LOGBRUSH{}).lbColor, 0x654321u);
    }
    // Without a clip of its own the context has none afterwards.
    QImage image = noise(80, 60);
    UniqueDC dc(CreateImageDC(&image));
    everyShape().front().draw(dc.get());
    RECT clip;
    EXPECT_EQ(GetClipRect(dc.get(), &clip), 0);

    // Scales of nothing, of far beyond the range and of no number still draw
    // shapes that the second drawing takes off.
    for (const double scale : {0.0, 1e12, -1e300, double(NAN)})
        for (const NamedShape& shape : everyShape(scale, scale)) {
            SCOPED_TRACE(shape.name);
            const QImage before = noise(80, 60);
            QImage picture = before;
            UniqueDC pictureDc(CreateImageDC(&picture));
            shape.draw(pictureDc.get());
            shape.draw(pictureDc.get());
            EXPECT_EQ(changedPixels(before, picture), 0) << scale;
        }
}

TEST(Vxutils, TwoPointShapesSkipPointsAllBelowOneAndEqualPoints)
{
    using TwoPoint = void (*)(HDC, int, int, int, int, const RECT&, double, double, const RECT&, bool);
    const TwoPoint shapes[] = {_LineNOTXOR, _RectangleNOTXOR, _EllipseNOTXOR, _RoundRectNOTXOR};
    struct Case {
        int x1, y1, x2, y2;
        bool drawn;
    } cases[] = {
        // Image point (x, y) is at (x + 20, y + 20) on the screen, so every one
        // of these shapes would show.
        {0, 0, -10, -10, false}, {-15, -5, 0, -12, false}, {5, 5, 5, 5, false},   {-3, 4, -3, 4, false},
        {0, 0, 12, -10, true},   {-10, -10, 0, 3, true},   {-12, 6, -2, 15, true},
    };
    const RECT imageRect{-20, -20, 40, 30};
    const RECT screenRect{0, 0, 60, 50};
    for (const TwoPoint shape : shapes)
        for (const Case& c : cases) {
            const QImage before = white(60, 50);
            QImage image = before;
            UniqueDC dc(CreateImageDC(&image));
            shape(dc.get(), c.x1, c.y1, c.x2, c.y2, imageRect, 1.0, 1.0, screenRect, false);
            EXPECT_EQ(changedPixels(before, image) > 0, c.drawn) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
        }
}

TEST(Vxutils, ShapePointsBecomeScreenPointsRounded)
{
    // x: Trunc((12 − 10) × 2.5 + 0.5) + 3 = 8 and Trunc((15 − 10) × 2.5 + 0.5) + 3 = 16;
    // y: Trunc((21 − 20) × 2.5 + 0.5) + 4 = 7.
    const RECT imageRect{10, 20, 40, 40};
    const RECT screenRect{3, 4, 40, 30};
    const QImage before = white(40, 30);
    QImage image = before;
    UniqueDC dc(CreateImageDC(&image));
    _LineNOTXOR(dc.get(), 12, 21, 15, 21, imageRect, 2.5, 2.5, screenRect, false);
    EXPECT_EQ(changedPixels(before, image), 8);
    EXPECT_EQ(image.pixel(8, 7), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(15, 7), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(7, 7), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(16, 7), qRgb(255, 255, 255));

    // Polygon points are converted in a copy.
    const POINT points[] = {{12, 21}, {15, 21}, {15, 24}};
    _PolygonNOTXOR(dc.get(), points, 3, imageRect, 2.5, 2.5, screenRect, false);
    EXPECT_EQ(points[0].x, 12);
    EXPECT_EQ(points[2].y, 24);

    // Left of the image the sum is cut toward zero, not down: image x 8 at
    // scale 0.3 is Trunc(−0.6 + 0.5) + 3 = 3, on the screen rectangle's edge;
    // y runs from Trunc(3.5) + 4 = 7 to Trunc(12.5) + 4 = 16, end left out.
    QImage edge = white(40, 30);
    UniqueDC edgeDc(CreateImageDC(&edge));
    _LineNOTXOR(edgeDc.get(), 8, 30, 8, 60, imageRect, 0.3, 0.3, screenRect, false);
    EXPECT_EQ(changedPixels(white(40, 30), edge), 9);
    EXPECT_EQ(edge.pixel(3, 7), qRgb(0, 0, 0));
    EXPECT_EQ(edge.pixel(3, 15), qRgb(0, 0, 0));
}

// ---- Marching dashes

TEST(Vxutils, BlinkBoxMovesItsDashesOnByOnePointPerCall)
{
    constexpr COLORREF kA = 0x0000FF;  // red
    constexpr COLORREF kB = 0xFF0000;  // blue
    QImage image = white(30, 20);
    UniqueDC dc(CreateImageDC(&image));

    // While the image library is not loaded nothing is drawn, and nothing fails.
    ASSERT_EQ(VXUserCount(), 0);
    _BlinkBox(dc.get(), 2, 2, 25, 15, kA, kB);
    EXPECT_EQ(changedPixels(white(30, 20), image), 0);

    LoadedLibrary library;
    ASSERT_TRUE(library.loaded);
    const auto topEdge = [&] {
        std::vector<QRgb> row;
        for (int x = 2; x < 25; ++x)
            row.push_back(image.pixel(x, 2));
        return row;
    };
    _BlinkBox(dc.get(), 2, 2, 25, 15, kA, kB);
    const std::vector<QRgb> first = topEdge();
    // Every point of the outline, corners included, is red or blue, in runs of four.
    EXPECT_EQ(changedPixels(white(30, 20), image), 2 * (23 + 13));
    int run = 1;
    for (std::size_t i = 1; i < first.size(); ++i) {
        ASSERT_TRUE(first[i] == qRgb(255, 0, 0) || first[i] == qRgb(0, 0, 255));
        if (first[i] == first[i - 1]) {
            ++run;
            EXPECT_LE(run, 4);
        } else {
            if (i > std::size_t(run)) {  // a whole run (the first may be cut by the phase)
                EXPECT_EQ(run, 4) << i;
            }
            run = 1;
        }
    }
    for (int call = 0; call < 9; ++call) {
        const std::vector<QRgb> before = topEdge();
        _BlinkBox(dc.get(), 2, 2, 25, 15, kA, kB);
        const std::vector<QRgb> after = topEdge();
        for (std::size_t i = 1; i < after.size(); ++i)
            ASSERT_EQ(after[i], before[i - 1]) << "call " << call << " point " << i;
    }

    // Lines at the far end of the coordinate range, or without a context,
    // draw nothing and do not fail.
    const QImage drawn = image;
    _BlinkLine(dc.get(), INT_MAX, INT_MAX, INT_MAX - 3, INT_MAX - 5, true, kA, kB);
    _BlinkLine(dc.get(), INT_MAX, 3, INT_MAX - 2, 3, false, kA, kB);
    _BlinkLine(nullptr, 2, 2, 9, 2, true, kA, kB);
    EXPECT_EQ(changedPixels(drawn, image), 0);
}

// ---- Dialogs

TEST(Vxutils, LogFontComesBackUnchangedFromTheFontDialogsConversion)
{
    QWidget window;
    struct Case {
        const char* face;
        int height;
        bool bold, italic, underline, strikeOut;
    } cases[] = {
        {"DejaVu Sans", -16, true, true, false, true},
        {"ＭＳ Ｐゴシック", -13, false, false, true, false},
        {"IPAPMincho", 24, true, false, false, false},  // a positive (cell) height keeps its sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        LOGFONTA logFont;
        std::memset(static_cast<void*>(&logFont), 0x5A, sizeof logFont);  // every byte is set anew
        InitFontParam(&window, logFont, c.face, c.height, c.bold, c.italic, c.underline, c.strikeOut);
        EXPECT_STREQ(logFont.lfFaceName, c.face);
        EXPECT_EQ(logFont.lfHeight, c.height);
        EXPECT_EQ(logFont.lfWeight, c.bold ? 700 : 0);
        EXPECT_EQ(logFont.lfItalic, c.italic ? 1 : 0);
        EXPECT_EQ(logFont.lfUnderline, c.underline ? 1 : 0);
        EXPECT_EQ(logFont.lfStrikeOut, c.strikeOut ? 1 : 0);
        EXPECT_EQ(logFont.lfWidth, 0);
        EXPECT_EQ(logFont.lfCharSet, GetTextCharset(UniqueDC(GetDC(&window)).get()));

        const QFont font = LogFontToQFont(logFont);
        EXPECT_EQ(font.family(), QString::fromUtf8(c.face));
        EXPECT_DOUBLE_EQ(font.pointSizeF(), std::abs(c.height) * 72.0 / 96.0);
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_EQ(font.italic(), c.italic);

        LOGFONTA back = logFont;
        QFontToLogFont(font, back);
        if (!c.bold) {
            EXPECT_EQ(back.lfWeight, 400);  // "don't care" comes back as normal
        }
        back.lfWeight = logFont.lfWeight;
        EXPECT_EQ(std::memcmp(&back, &logFont, sizeof logFont), 0);
    }
    // A face name longer than the field is cut before a whole character.
    LOGFONTA logFont;
    InitFontParam(&window, logFont, "ゴシックゴシックゴシックゴシック", -12, false, false, false, false);
    EXPECT_STREQ(logFont.lfFaceName, "ゴシックゴシックゴシ");  // 30 of 31 bytes
}

TEST(Vxutils, SetFontParamTakesTheChosenFontWithTheColourPartHidden)
{
    QWidget window;
    bool colourHidden = false;
    whileShowing<QFontDialog>([&](QFontDialog& dialog) {
        colourHidden = GetDlgItem(&dialog, 1091) && GetDlgItem(&dialog, 1091)->isHidden() &&
                       GetDlgItem(&dialog, 1139) && GetDlgItem(&dialog, 1139)->isHidden();
        QFont font = dialog.currentFont();
        font.setUnderline(true);
        font.setPointSize(15);
        dialog.setCurrentFont(font);
        dialog.accept();
    });
    LOGFONTA logFont;
    std::string face = "DejaVu Sans";
    int height = -16;
    bool bold = true, italic = false, underline = false, strikeOut = true;
    ASSERT_TRUE(SetFontParam(&window, logFont, face, height, bold, italic, underline, strikeOut));
    EXPECT_TRUE(colourHidden);
    EXPECT_EQ(face, "DejaVu Sans");
    EXPECT_EQ(height, -20);  // 15 points
    EXPECT_TRUE(bold);
    EXPECT_FALSE(italic);
    EXPECT_TRUE(underline);
    EXPECT_TRUE(strikeOut);

    // A plain font comes back plain, whatever its family calls its regular style.
    whileShowing<QFontDialog>([](QFontDialog& dialog) { dialog.accept(); });
    bold = false;
    strikeOut = false;
    underline = false;
    ASSERT_TRUE(SetFontParam(&window, logFont, face, height, bold, italic, underline, strikeOut));
    EXPECT_EQ(face, "DejaVu Sans");
    EXPECT_EQ(height, -20);
    EXPECT_FALSE(bold);
    EXPECT_FALSE(italic);
    EXPECT_FALSE(underline);
    EXPECT_FALSE(strikeOut);

    // A slanted font comes back slanted, in a family whose slanted styles are
    // oblique rather than italic.
    for (const bool boldToo : {false, true}) {
        whileShowing<QFontDialog>([](QFontDialog& dialog) { dialog.accept(); });
        bold = boldToo;
        italic = true;
        ASSERT_TRUE(SetFontParam(&window, logFont, face, height, bold, italic, underline, strikeOut));
        EXPECT_EQ(bold, boldToo);
        EXPECT_TRUE(italic);
    }

    // Cancelled: nothing is written back.
    whileShowing<QFontDialog>([](QFontDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(SetFontParam(&window, logFont, face, height, bold, italic, underline, strikeOut));
    EXPECT_EQ(height, -20);
}

TEST(Vxutils, ChooseNewColorGivesTheColourOnlyWhenOkWasPressed)
{
    QWidget owner;
    COLORREF colour = 0x00FF00;
    QColor preselected;
    std::vector<QColor> customs;
    QColorDialog::setCustomColor(3, Qt::darkCyan);  // the application's own
    whileShowing<QColorDialog>([&](QColorDialog& dialog) {
        preselected = dialog.currentColor();
        for (int i = 0; i < 16; ++i)
            customs.push_back(QColorDialog::customColor(i));
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
        dialog.accept();
    });
    ASSERT_TRUE(ChooseNewColor(&owner, colour));
    EXPECT_EQ(preselected, QColor(0, 255, 0));
    EXPECT_EQ(colour, 0x563412u);
    // The sixteen custom colours were white, in place of the application's.
    EXPECT_EQ(customs, std::vector<QColor>(16, QColor(Qt::white)));
    EXPECT_EQ(QColorDialog::customColor(3), QColor(Qt::darkCyan));

    whileShowing<QColorDialog>([](QColorDialog& dialog) {
        dialog.setCurrentColor(Qt::red);
        dialog.reject();
    });
    EXPECT_FALSE(ChooseNewColor(&owner, colour));
    EXPECT_EQ(colour, 0x563412u);
}

// ---- Window helpers

TEST(Vxutils, PageSuffixIsWrittenAndTakenBackFromTheWindowText)
{
    QWidget window;
    SetWindowText_Vx6Page(&window, "VxLib7 View", 12);
    EXPECT_EQ(window.windowTitle(), "VxLib7 View00012");
    SetWindowText_Vx6Page(&window, "VxLib7 View", 0);
    EXPECT_EQ(window.windowTitle(), "VxLib7 View");

    // Without the image library the page cannot be read.
    window.setWindowTitle("VxLib7 View00012");
    EXPECT_EQ(GetWindowText_Vx6Page(&window, "VxLib7 View"), 0);
    EXPECT_EQ(window.windowTitle(), "VxLib7 View00012");

    LoadedLibrary library;
    ASSERT_TRUE(library.loaded);
    struct Case {
        const char* shown;
        const char* text;
        int page;
        const char* after;
    } cases[] = {
        {"VxLib7 View00012", "VxLib7 View", 12, "VxLib7 View"},
        {"VxLib7 View99999", "VxLib7 View", 99999, "VxLib7 View"},
        {"Picture00012", "Picture", 0, "Picture00012"},        // no "VxLib7"
        {"VxLib7 View", "VxLib7 View", 0, "VxLib7 View"},      // no suffix
        {"VxLib7 Viewab3de", "VxLib7 View", 0, "VxLib7 View"}, // not a number
        // Only 31 bytes are read: the suffix of a longer text is not seen whole.
        {"VxLib7 A long window text here00007", "VxLib7 A long window text here", 0,
         "VxLib7 A long window text here"},
    };
    for (const Case& c : cases) {
        window.setWindowTitle(c.shown);
        EXPECT_EQ(GetWindowText_Vx6Page(&window, c.text), c.page) << c.shown;
        EXPECT_EQ(window.windowTitle(), c.after) << c.shown;
    }
}

TEST(Vxutils, CursorIsHiddenAndShownOnceWithoutTouchingOtherCursors)
{
    ASSERT_TRUE(g_ShowCursorDispFlag);
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ShowMouseCursor(false);
    ShowMouseCursor(false);  // once only
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    // Another sets a cursor of its own after ours; showing ours keeps it.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ShowMouseCursor(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ShowCursor(TRUE), 1);  // the display count is back at 0
    EXPECT_EQ(ShowCursor(FALSE), 0);

    // Loading the image library shows a cursor that was hidden.
    ShowMouseCursor(false);
    {
        LoadedLibrary library;
        EXPECT_TRUE(g_ShowCursorDispFlag);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    // The parent window helper gives the top-level window.
    QWidget top;
    QWidget middle(&top);
    QWidget child(&middle);
    EXPECT_EQ(GetParentWindowHandleFromHWnd(&child), &top);
    EXPECT_EQ(GetParentWindowHandleFromHWnd(&top), &top);
    EXPECT_EQ(GetParentWindowHandleFromHWnd(nullptr), nullptr);
}

TEST(Vxutils, DialogsAndCursorOfAnotherThreadLeaveTheApplicationAlone)
{
    // Widgets live on the application's thread only: elsewhere the dialogs
    // fail at once, without showing.
    bool colourChosen = true, fontChosen = true;
    int count = 0;
    std::thread other([&] {
        COLORREF colour = 0x123456;
        colourChosen = ChooseNewColor(nullptr, colour);
        LOGFONTA logFont;
        std::string face = "DejaVu Sans";
        int height = -12;
        bool bold = false, italic = false, underline = false, strikeOut = false;
        fontChosen = SetFontParam(nullptr, logFont, face, height, bold, italic, underline, strikeOut);
        // That thread's own display count: the application's cursor stays.
        count = ShowCursor(FALSE);
    });
    other.join();
    EXPECT_FALSE(colourChosen);
    EXPECT_FALSE(fontChosen);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ShowCursor(FALSE), -1);  // this thread's count is its own
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
