#include "ExTechnicalLine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <climits>
#include <memory>
#include <vector>

// Coordinates are the control's, worked out by hand from the geometry: the
// drawing area is the control less P div 2 + 1 on every side (P the pen
// width). A two-pixel pen through p covers p and the pixels right and below.

namespace {

constexpr TColor kLine = 4210816, ink = clBlack, bg = clWhite;

struct Pixel {
    int x, y;
    TColor color;
};

// The settings the main window gives its arrows.
void mainWindowSettings(TExTechnicalLine& line)
{
    line.SetLineEnding(leClosedArrowRight);
    line.SetLineStart(leNothing);
    line.SetSignSize(24);
    line.LineSettings()->SetColor(kLine);
    line.LineSettings()->SetWidth(2);
    line.SetShadowVisible(true);
    line.SetShadowColor(clRed);
    line.SetShadowDepth(1);
    line.SetFillColor(clRed);
    line.Bevel()->SetMode(bmCustom);
}

// A line filled white: the main window's arrow, or a black one-pixel pen
// with red fill and no shadow.
std::unique_ptr<TExTechnicalLine> onWhite(int width, int height, bool mainWindow)
{
    auto line = std::make_unique<TExTechnicalLine>();
    line->SetBounds(0, 0, width, height);
    line->SetTransparent(false);
    line->SetColor(clWhite);
    line->LineSettings()->SetColor(ink);
    line->SetFillColor(clRed);
    if (mainWindow)
        mainWindowSettings(*line);
    return line;
}

// Each pixel has its colour. With slack (curves, whose pixels the rasteriser
// picks) a pixel within that distance has the colour, and for the background
// every pixel there has it.
void expectPixels(TExTechnicalLine& line, const std::vector<Pixel>& pixels, int slack = 0)
{
    const QImage image = line.grab().toImage();
    for (const Pixel& p : pixels) {
        int cells = 0, matches = 0;
        for (int y = p.y - slack; y <= p.y + slack; ++y)
            for (int x = p.x - slack; x <= p.x + slack; ++x)
                if (image.valid(x, y))
                    ++cells, matches += FromQColor(image.pixelColor(x, y)) == p.color;
        EXPECT_TRUE(p.color == bg ? matches == cells : matches > 0) << "at " << p.x << "," << p.y;
    }
}

}  // namespace

// The main window's arrows: closed arrow at the end, red fill and shadow.
TEST(TExTechnicalLine, MainWindowArrowsAtTheirWorkedCoordinates)
{
    const struct {
        int height;
        TExTechnicalLineTypes type;
        std::vector<Pixel> pixels;
    } cases[] = {
        // Segment (3,14)-(73,14) over its shadow (4,15)-(74,15); arrow
        // (74,3),(96,13),(74,24) over its shadow (75,4),(97,14),(75,25).
        {29, lsStraightLeftToRight,
         {{40, 13, bg}, {40, 14, kLine}, {40, 15, kLine}, {40, 16, clRed}, {40, 17, bg}, {74, 3, kLine},
          {74, 24, kLine}, {80, 13, clRed}, {75, 25, clRed}, {97, 14, clRed}, {76, 26, bg}}},
        // Arc box (2,14)-(144,618) from (73,14) to (2,315); arrow (74,3),(96,14),(74,25).
        {318, lsTopLeftCurve,
         {{70, 14, kLine}, {70, 16, clRed}, {3, 310, kLine}, {4, 310, clRed}, {1, 310, bg}, {74, 25, kLine},
          {80, 14, clRed}, {75, 26, clRed}}},
        // Arc box (-81,2)-(85,584) from (85,293) to (2,2); arrow (74,294),(96,305),(74,316).
        {320, lsTopRightCurve,
         {{84, 285, kLine}, {85, 285, clRed}, {86, 285, bg}, {74, 294, kLine}, {80, 305, clRed}, {75, 317, clRed}}},
    };
    for (const auto& c : cases) {
        auto line = onWhite(100, c.height, true);
        line->SetTechnicalLineType(c.type);
        SCOPED_TRACE(c.height);
        expectPixels(*line, c.pixels);
    }
}

// Each type without signs on 52 x 42: w = 50, h = 40, origin (1, 1). The
// quarter ellipses (semi-axes 50 and 40) are checked near both ends and the
// 45-degree point, and clear in the corner they bend to and the opposite one.
TEST(TExTechnicalLine, EachLineTypeRunsWhereItsNameSays)
{
    const struct {
        TExTechnicalLineTypes type;
        std::vector<Pixel> pixels;
    } cases[] = {
        {lsStraightLeftToRight, {{1, 21, ink}, {50, 21, ink}, {51, 21, bg}, {25, 20, bg}}},
        {lsStraightTopToBottom, {{26, 1, ink}, {26, 40, ink}, {26, 41, bg}, {25, 20, bg}}},
        {lsTopLeftToBottomRight, {{1, 1, ink}, {26, 21, ink}, {1, 40, bg}}},
        {lsBottomLeftToTopRight, {{1, 41, ink}, {26, 21, ink}, {1, 1, bg}}},
        {lsTopLeftEdge, {{1, 30, ink}, {30, 1, ink}, {30, 30, bg}}},
        {lsBottomLeftEdge, {{1, 10, ink}, {30, 41, ink}, {30, 10, bg}}},
        {lsTopRightEdge, {{30, 1, ink}, {51, 30, ink}, {10, 30, bg}}},
        {lsBottomRightEdge, {{51, 10, ink}, {30, 41, ink}, {10, 10, bg}}},
        {lsTopLeftCurve, {{48, 1, ink}, {1, 39, ink}, {16, 13, ink}, {3, 3, bg}, {48, 39, bg}}},
        {lsBottomLeftCurve, {{1, 3, ink}, {48, 40, ink}, {16, 29, ink}, {3, 39, bg}, {48, 3, bg}}},
        {lsTopRightCurve, {{3, 1, ink}, {50, 38, ink}, {36, 13, ink}, {48, 3, bg}, {3, 39, bg}}},
        {lsBottomRightCurve, {{3, 40, ink}, {50, 3, ink}, {36, 29, ink}, {48, 39, bg}, {3, 3, bg}}},
    };
    for (const auto& c : cases) {
        auto line = onWhite(52, 42, false);
        line->SetSignPlaces(spNoWhere);
        line->SetTechnicalLineType(c.type);
        SCOPED_TRACE(int(c.type));
        expectPixels(*line, c.pixels, c.type >= lsTopLeftCurve ? 1 : 0);
    }
}

// The end sign of a straight line, size 20, no shadow: box (31,11)-(51,31),
// centre (41,21), quarter 5.
TEST(TExTechnicalLine, SignShapes)
{
    const TColor fill = clRed;
    const struct {
        TExLineEndings sign;
        std::vector<Pixel> pixels;
    } cases[] = {
        {leOpenArrowRight, {{41, 16, ink}, {36, 21, bg}, {31, 21, bg}}},
        {leOpenArrowLeft, {{41, 26, ink}, {46, 21, bg}, {51, 21, bg}}},
        {leOpenArrowUp, {{36, 21, ink}, {41, 26, bg}, {41, 31, bg}}},
        {leOpenArrowDown, {{46, 21, ink}, {41, 16, bg}, {41, 11, bg}}},
        {leClosedArrowRight, {{31, 21, ink}, {36, 21, fill}, {45, 13, bg}}},
        {leClosedArrowLeft, {{51, 21, ink}, {46, 21, fill}, {35, 13, bg}}},
        {leClosedArrowUp, {{41, 31, ink}, {41, 26, fill}, {33, 13, bg}}},
        {leClosedArrowDown, {{41, 11, ink}, {41, 16, fill}, {33, 29, bg}}},
        {leDiamond, {{36, 16, ink}, {41, 21, fill}, {33, 13, bg}}},
        {leCircle, {{31, 21, ink}, {41, 21, fill}, {32, 12, bg}}},
        {leRectangle, {{31, 11, ink}, {50, 30, ink}, {32, 12, fill}, {51, 21, bg}}},
        {leRoundRect, {{31, 21, ink}, {41, 21, fill}, {31, 11, bg}}},
        {leComb, {{51, 21, ink}, {41, 21, fill}, {32, 12, bg}}},
        {leHalfCircleLeft, {{35, 21, fill}, {47, 21, bg}}},
        {leHalfCircleRight, {{47, 21, fill}, {35, 21, bg}}},
        {leHalfCircleUp, {{41, 27, fill}, {41, 15, bg}}},
        {leHalfCircleDown, {{41, 15, fill}, {41, 27, bg}}},
    };
    for (const auto& c : cases) {
        auto line = onWhite(52, 42, false);
        line->SetSignSize(20);
        line->SetLineEnding(c.sign);
        SCOPED_TRACE(int(c.sign));
        expectPixels(*line, c.pixels);
    }
}

// A rectangle sign, shadow depth 3 in blue. M = 23: the box spans x 28..51
// and y 10..32; the sign is (28,10)-(48,29), its shadow, drawn first,
// (31,13)-(51,32). The line is at y 20 (19 + the origin), its shadow at y 23
// from x 4. Without the shadow D is 0 and the box is 20 square at (31,11).
TEST(TExTechnicalLine, ShadowAndFill)
{
    const TColor shade = clBlue;
    const struct {
        bool shadow;
        TColor fill;
        std::vector<Pixel> pixels;
    } cases[] = {
        {true, clRed,
         {{28, 10, ink}, {47, 28, ink}, {40, 20, clRed}, {50, 20, shade}, {40, 31, shade}, {49, 30, shade},
          {10, 20, ink}, {10, 23, shade}, {3, 23, bg}, {4, 23, shade}}},
        {true, clNone, {{40, 20, bg}, {49, 30, bg}, {50, 20, shade}, {47, 28, ink}, {40, 32, bg}}},
        {false, clRed, {{31, 11, ink}, {50, 30, ink}, {40, 20, clRed}, {10, 21, ink}, {10, 24, bg}}},
    };
    for (const auto& c : cases) {
        auto line = onWhite(52, 42, false);
        line->SetSignSize(20);
        line->SetShadowDepth(3);
        line->SetShadowColor(shade);
        line->SetShadowVisible(c.shadow);
        line->SetFillColor(c.fill);
        line->SetLineEnding(leRectangle);
        SCOPED_TRACE(c.shadow);
        expectPixels(*line, c.pixels);
    }
}

// Arrowed turns arrow signs only when the type changes; a sign's setter
// repaints only while its sign is drawn.
TEST(TExTechnicalLine, ArrowedTurnsArrowsAndSignSettersRepaintOnlyForTheirPlace)
{
    struct Counting : TExTechnicalLine {
        int paints = 0;
        void Paint() override { ++paints, TExTechnicalLine::Paint(); }
    } line;
    EXPECT_EQ(line.LineEndingsign(), leClosedArrowRight);
    EXPECT_EQ(line.LineStartSign(), leNothing);
    line.SetLineStart(leClosedArrowUp);
    line.SetLineEnding(leOpenArrowRight);
    line.SetArrowed(true);
    EXPECT_EQ(line.LineStartSign(), leClosedArrowUp);
    const struct {
        TExTechnicalLineTypes type;
        TExLineEndings start, end;
    } turns[] = {{lsTopRightEdge, leClosedArrowLeft, leOpenArrowDown},
                 {lsBottomLeftCurve, leClosedArrowRight, leOpenArrowUp},
                 {lsStraightTopToBottom, leClosedArrowUp, leOpenArrowDown},
                 {lsBottomRightEdge, leClosedArrowUp, leOpenArrowLeft}};
    for (const auto& t : turns) {
        line.SetTechnicalLineType(t.type);
        EXPECT_EQ(line.LineStartSign(), t.start) << int(t.type);
        EXPECT_EQ(line.LineEndingsign(), t.end) << int(t.type);
    }
    line.SetLineEnding(leDiamond);
    line.SetTechnicalLineType(lsTopLeftEdge);
    EXPECT_EQ(line.LineEndingsign(), leDiamond);

    line.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&line));
    auto paintsAfter = [&](auto&& change) {
        QCoreApplication::processEvents();
        line.paints = 0;
        change();
        QCoreApplication::processEvents();
        return line.paints;
    };
    EXPECT_EQ(paintsAfter([&] { line.SetLineStart(leCircle); }), 0);
    EXPECT_EQ(paintsAfter([&] { line.SetLineEnding(leCircle); }), 1);
    EXPECT_EQ(paintsAfter([&] { line.SetSignPlaces(spStart); }), 1);
    EXPECT_EQ(paintsAfter([&] { line.SetLineEnding(leRectangle); }), 0);
    EXPECT_EQ(paintsAfter([&] { line.SetLineStart(leRectangle); }), 1);
    EXPECT_EQ(paintsAfter([&] { line.LineSettings()->SetWidth(3); }), 1);
}

// The main window's nine arrows on its work panel, saved for a person to look
// at; transparent, they show the panel around their strokes.
TEST(TExTechnicalLine, MainWindowArrowsRenderedForAPersonToLookAt)
{
    const struct {
        int top, height;
        TExTechnicalLineTypes type;
    } arrows[] = {
        {30, 318, lsTopLeftCurve},  {106, 240, lsTopLeftCurve},  {182, 164, lsTopLeftCurve},
        {256, 90, lsTopLeftCurve},  {332, 29, lsStraightLeftToRight}, {344, 94, lsTopRightCurve},
        {344, 168, lsTopRightCurve}, {344, 244, lsTopRightCurve}, {344, 320, lsTopRightCurve},
    };
    const QColor panelColour(255, 128, 128);
    QWidget panel;
    panel.resize(734, 700);
    panel.setAutoFillBackground(true);
    panel.setPalette(QPalette(panelColour));
    std::vector<std::unique_ptr<TExTechnicalLine>> lines;
    for (const auto& a : arrows) {
        lines.push_back(std::make_unique<TExTechnicalLine>(nullptr, &panel));
        TExTechnicalLine& line = *lines.back();
        mainWindowSettings(line);
        line.SetTechnicalLineType(a.type);
        line.SetBounds(330, a.top, 100, a.height);
    }
    const QImage image = panel.grab().toImage();
    // The straight arrow's segment (3,14)-(73,14) and its shadow.
    EXPECT_EQ(FromQColor(image.pixelColor(370, 346)), kLine);
    EXPECT_EQ(FromQColor(image.pixelColor(370, 348)), clRed);
    EXPECT_EQ(image.pixelColor(370, 349), panelColour);
    const QString path = QCoreApplication::applicationDirPath() + "/../renders/TExTechnicalLine-main-window-arrows.png";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_TRUE(image.save(path));
}

// Extreme sizes paint without overflowing: a pen wider than the control
// covers it, whatever the type and the places.
TEST(TExTechnicalLine, ExtremeSizesStillPaint)
{
    for (int type = lsStraightLeftToRight; type <= lsBottomRightCurve; ++type)
        for (int places = spEnd; places <= spNoWhere; ++places) {
            auto line = onWhite(52, 42, false);
            line->SetSignSize(INT_MAX);
            line->SetShadowVisible(true);
            line->SetShadowDepth(INT_MIN);
            line->LineSettings()->SetWidth(INT_MAX);
            line->SetLineStart(leHalfCircleUp);
            line->SetSignPlaces(TExSignPlaces(places));
            line->SetTechnicalLineType(TExTechnicalLineTypes(type));
            EXPECT_EQ(FromQColor(line->grab().toImage().pixelColor(26, 21)), ink) << type << " " << places;
        }
}
