#include "Timer.h"

#include "Exception.h"

#include <gtest/gtest.h>

#include <QTest>

TEST(TTimer, TicksGoOnAfterAFailingHandlerAndStopWhenSwitchedOffOrGivenNoInterval)
{
    TTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    timer.SetInterval(5);
    int ticks = 0;
    TObject* sender = nullptr;
    timer.OnTimer = [&](TObject* s) {
        sender = s;
        if (++ticks == 1)
            throw Exception("first tick fails");
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000)) << "the exception was caught, the timer went on";
    EXPECT_EQ(sender, &timer);

    // Stopped by Enabled and by an interval of 0; each way back starts it again.
    for (auto [stop, restart] : {std::pair<void (*)(TTimer&), void (*)(TTimer&)>{
                                     [](TTimer& t) { t.SetEnabled(false); }, [](TTimer& t) { t.SetEnabled(true); }},
                                 {[](TTimer& t) { t.SetInterval(-3); }, [](TTimer& t) { t.SetInterval(5); }}}) {
        stop(timer);
        QCoreApplication::processEvents();
        const int stoppedAt = ticks;
        QTest::qWait(50);
        EXPECT_EQ(ticks, stoppedAt);
        restart(timer);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > stoppedAt; }, 5000));
    }
    EXPECT_EQ(timer.Interval(), 5);
}
