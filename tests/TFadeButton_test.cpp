#include "FadeButton.h"

#include "GraphicsObjects.h"
#include "Timer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

namespace {

// The main window's values: (255, 0, 128) fading to white, border silver to
// white, caption white turning yellow, snapping back on leaving.
void mainWindowValues(TFadeButton& b)
{
    b.SetBounds(0, 0, 17, 18);
    b.SetColor(8388863);
    b.SetDestColor(clWhite);
    b.SetCaptionOverColor(clYellow);
    b.SetFadeOnLeave(false);
    b.Font()->SetHeight(12);
    b.SetCaption("?");
}

TTimer* fadeTimer(TFadeButton& b)
{
    for (TComponent* c : b.Components())
        if (auto* timer = dynamic_cast<TTimer*>(c))
            return timer;
    return nullptr;
}

void ticks(TFadeButton& b, int n)
{
    for (int i = 0; i < n; ++i)
        fadeTimer(b)->OnTimer(fadeTimer(b));
}

void move(TFadeButton& b)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&b, &e);
}

void leave(TFadeButton& b)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &e);
}

}  // namespace

TEST(TFadeButton, MainWindowValuesFadeInStepByStepAndSnapBackOnLeaving)
{
    TFadeButton b;
    mainWindowValues(b);
    move(b);
    EXPECT_EQ(b.Font()->Color(), clYellow);
    // Green climbs 2 a tick from 0, blue from 128 to 255, the border from 192.
    const struct {
        int after;
        TColor fill, border;
        bool running;
    } rows[] = {
        {1, RGB(255, 2, 130), RGB(194, 194, 194), true}, {31, RGB(255, 62, 190), RGB(254, 254, 254), true},
        {32, RGB(255, 64, 192), clWhite, true},          {64, RGB(255, 128, 255), clWhite, true},
        {127, RGB(255, 254, 255), clWhite, true},        {128, clWhite, clWhite, false},
    };
    int done = 0;
    for (const auto& r : rows) {
        ticks(b, r.after - done);
        done = r.after;
        EXPECT_EQ(b.CurrentColor(), r.fill) << r.after;
        EXPECT_EQ(b.CurrentBorderColor(), r.border) << r.after;
        EXPECT_EQ(fadeTimer(b)->Enabled(), r.running) << r.after;
    }
    int leaves = 0;
    b.onMouseLeave = [&](TObject* sender) { leaves += sender == &b; };
    leave(b);
    EXPECT_EQ(b.CurrentColor(), 8388863);
    EXPECT_EQ(b.CurrentBorderColor(), clSilver);
    EXPECT_EQ(b.Font()->Color(), clWhite);
    EXPECT_EQ(leaves, 1);
}

// Channels are held between the two colours' channels, but the walk ends on
// packed values (blue highest): a hover channel below the resting one can put
// the fill below Color at once.
TEST(TFadeButton, TheFadeStopsOnThePackedComparison)
{
    const struct {
        TColor color, dest;
        int step, ticksToStop;
        TColor fill;
    } cases[] = {
        {RGB(0, 0, 200), RGB(255, 255, 100), 2, 1, RGB(2, 2, 100)},
        {RGB(200, 0, 0), RGB(100, 255, 255), 2, 128, RGB(100, 255, 255)},
        {8388863, clWhite, 0, 1, 8388863},
        {clOlive, clOlive, 2, 1, clOlive},
    };
    for (const auto& c : cases) {
        TFadeButton b;
        b.SetColor(c.color);
        b.SetDestColor(c.dest);
        b.SetStep(c.step);
        move(b);
        int n = 0;
        for (; fadeTimer(b)->Enabled() && n < 1000; ++n)
            ticks(b, 1);
        EXPECT_EQ(n, c.ticksToStop) << c.color;
        EXPECT_EQ(b.CurrentColor(), c.fill) << c.color;
    }
}

TEST(TFadeButton, AMoveDuringTheFadeBackDoesNotReverseIt)
{
    TFadeButton b;
    mainWindowValues(b);
    b.SetFadeOnLeave(true);
    move(b);
    ticks(b, 128);
    leave(b);
    EXPECT_EQ(b.Font()->Color(), clWhite);
    ticks(b, 10);
    move(b);
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), RGB(255, 233, 233));
    ticks(b, 117);
    EXPECT_EQ(b.CurrentColor(), 8388863);
    EXPECT_FALSE(fadeTimer(b)->Enabled());
    move(b);
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), RGB(255, 2, 130));

    // With the over colour already in the font nothing is saved: leaving
    // restores black. FadeOnOver off jumps to the hover colours.
    TFadeButton c;
    c.Font()->SetColor(clLime);
    c.SetFadeOnOver(false);
    move(c);
    EXPECT_FALSE(fadeTimer(c)->Enabled());
    EXPECT_EQ(c.CurrentColor(), clLime);
    leave(c);
    EXPECT_EQ(c.Font()->Color(), clBlack);
}

// On the screen: the border in the current border colour, the fill inside,
// the caption in the font's colour; without a border the fill reaches every
// edge. The real timer runs the fade to its end.
TEST(TFadeButton, PaintsBorderFillAndCaptionAndTheTimerFades)
{
    QWidget parent;
    TFadeButton b(nullptr, &parent);
    mainWindowValues(b);
    parent.show();
    auto at = [&](int x, int y) { return FromQColor(b.grab().toImage().pixelColor(x, y)); };
    EXPECT_EQ(at(0, 0), clSilver);
    EXPECT_EQ(at(16, 17), clSilver);
    EXPECT_EQ(at(1, 1), 8388863);
    const QImage image = b.grab().toImage();
    int caption = 0;
    for (int y = 1; y < 17; ++y)
        for (int x = 1; x < 16; ++x)
            caption += FromQColor(image.pixelColor(x, y)) == clWhite;
    EXPECT_GT(caption, 2);
    b.SetShowBorder(false);
    EXPECT_EQ(at(16, 17), 8388863);
    move(b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fadeTimer(b)->Enabled(); }, 10000));
    EXPECT_EQ(at(0, 0), clWhite);
}
