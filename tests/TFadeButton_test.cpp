#include "FadeButton.h"

#include "GraphicsObjects.h"
#include "Timer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

namespace {

// The main window's buttons: (255, 0, 128) fading to white, border silver to
// white, caption white turning yellow, snapping back on leaving.
void mainWindowValues(TFadeButton& b)
{
    b.SetBounds(0, 0, 17, 18);
    b.SetColor(8388863);
    b.SetDestColor(clWhite);
    b.SetBorderColor(clSilver);
    b.SetBorderDestColor(clWhite);
    b.SetCaptionOverColor(clYellow);
    b.SetFadeOnLeave(false);
    b.Font()->SetName("Tahoma");
    b.Font()->SetHeight(12);
    b.Font()->SetColor(clWhite);
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
    TTimer* timer = fadeTimer(b);
    for (int i = 0; i < n; ++i)
        timer->OnTimer(timer);
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
    ASSERT_NE(fadeTimer(b), nullptr);
    EXPECT_EQ(fadeTimer(b)->Interval(), 10);
    move(b);
    EXPECT_EQ(b.Font()->Color(), clYellow);
    EXPECT_TRUE(fadeTimer(b)->Enabled());
    // Green climbs 2 a tick from 0, blue from 128 to 255, the border from 192.
    struct Row {
        int after;
        TColor fill, border;
        bool running;
    };
    const Row rows[] = {
        {1, RGB(255, 2, 130), RGB(194, 194, 194), true},   {31, RGB(255, 62, 190), RGB(254, 254, 254), true},
        {32, RGB(255, 64, 192), clWhite, true},            {64, RGB(255, 128, 255), clWhite, true},
        {127, RGB(255, 254, 255), clWhite, true},          {128, clWhite, clWhite, false},
    };
    int done = 0;
    for (const Row& r : rows) {
        ticks(b, r.after - done);
        done = r.after;
        EXPECT_EQ(b.CurrentColor(), r.fill) << "tick " << r.after;
        EXPECT_EQ(b.CurrentBorderColor(), r.border) << "tick " << r.after;
        EXPECT_EQ(fadeTimer(b)->Enabled(), r.running) << "tick " << r.after;
    }
    // Fully faded in, a move runs one tick that changes nothing and stops.
    move(b);
    EXPECT_TRUE(fadeTimer(b)->Enabled());
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), clWhite);
    EXPECT_FALSE(fadeTimer(b)->Enabled());

    int leaves = 0;
    b.onMouseLeave = [&](TObject* sender) { leaves += sender == &b; };
    move(b);
    ticks(b, 5);
    leave(b);
    EXPECT_FALSE(fadeTimer(b)->Enabled());
    EXPECT_EQ(b.CurrentColor(), 8388863);
    EXPECT_EQ(b.CurrentBorderColor(), clSilver);
    EXPECT_EQ(b.Font()->Color(), clWhite);
    EXPECT_EQ(leaves, 1);
}

// The fill's channels are each held between the two colours' channels, but
// the walk ends by comparing packed values (blue highest): where a hover
// channel lies below the resting one, the packed value can fall below Color
// at once.
TEST(TFadeButton, TheFadeStopsOnThePackedComparison)
{
    struct Case {
        TColor color, dest;
        int step;
        int ticksToStop;
        TColor fill;
    };
    const Case cases[] = {
        {RGB(0, 0, 200), RGB(255, 255, 100), 2, 1, RGB(2, 2, 100)},  // below Color as packed values
        {RGB(200, 0, 0), RGB(100, 255, 255), 2, 128, RGB(100, 255, 255)},  // red pinned at 100
        {8388863, clWhite, 0, 1, 8388863},                            // Step 0 changes nothing
        {clOlive, clOlive, 2, 1, clOlive},                            // DestColor equal to Color
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticksToStop);
        TFadeButton b;
        b.SetColor(c.color);
        b.SetDestColor(c.dest);
        b.SetStep(c.step);
        move(b);
        int n = 0;
        while (fadeTimer(b)->Enabled() && n < 1000) {
            ticks(b, 1);
            ++n;
        }
        EXPECT_EQ(n, c.ticksToStop);
        EXPECT_EQ(b.CurrentColor(), c.fill);
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
    EXPECT_EQ(b.CurrentColor(), RGB(255, 235, 235));
    move(b);
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), RGB(255, 233, 233));
    ticks(b, 116);
    EXPECT_TRUE(fadeTimer(b)->Enabled());
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), 8388863);
    EXPECT_FALSE(fadeTimer(b)->Enabled());
    move(b);  // the next move fades in again
    ticks(b, 1);
    EXPECT_EQ(b.CurrentColor(), RGB(255, 2, 130));
}

TEST(TFadeButton, CaptionColourSavedOnlyWhenSwitchedAndFadeOnOverOffJumps)
{
    TFadeButton b;
    b.Font()->SetColor(clLime);  // already the over colour: nothing is saved
    b.SetFadeOnOver(false);
    b.SetFadeOnLeave(false);
    move(b);
    EXPECT_FALSE(fadeTimer(b)->Enabled());
    EXPECT_EQ(b.CurrentColor(), clLime);
    EXPECT_EQ(b.CurrentBorderColor(), clWhite);
    leave(b);
    EXPECT_EQ(b.Font()->Color(), clBlack);
    EXPECT_EQ(b.CurrentColor(), clGreen);
}

// What is on the screen: the border in the current border colour, the fill
// inside, the caption centred; without a border the fill reaches every edge.
TEST(TFadeButton, PaintsBorderFillAndCaptionAndTheRealTimerFades)
{
    QWidget parent;
    parent.resize(40, 40);
    TFadeButton b(nullptr, &parent);
    mainWindowValues(b);
    b.SetCaption("");
    parent.show();
    auto at = [&](int x, int y) { return FromQColor(b.grab().toImage().pixelColor(x, y)); };
    EXPECT_EQ(at(0, 0), clSilver);
    EXPECT_EQ(at(16, 17), clSilver);
    EXPECT_EQ(at(1, 1), 8388863);
    b.SetCaption("?");
    int ink = 0;
    const QImage image = b.grab().toImage();
    for (int y = 1; y < 17; ++y)
        for (int x = 1; x < 16; ++x)
            ink += FromQColor(image.pixelColor(x, y)) == clWhite;
    EXPECT_GT(ink, 2) << "the caption is drawn in the font's colour";
    b.SetShowBorder(false);
    EXPECT_EQ(at(0, 0), 8388863);
    EXPECT_EQ(at(16, 17), 8388863);

    move(b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fadeTimer(b)->Enabled(); }, 10000));
    EXPECT_EQ(at(1, 1), clWhite);
}
