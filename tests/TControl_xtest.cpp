// The control base under a real X server, with real pointer input: a click is
// a press and a release over the control, whatever path the events take.
#include "Control.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <QWidget>

TEST(TControlUnderX, AClickNeedsPressAndReleaseOverTheControl)
{
    ASSERT_TRUE(realinput::available()) << "run under run-under-x.sh";
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    TCustomControl control(nullptr, &window);
    control.setGeometry(50, 50, 100, 80);
    window.show();
    realinput::settle(300);

    int clicks = 0;
    control.OnClick = [&](TObject*) { ++clicks; };
    const QPoint inside = control.mapToGlobal(QPoint(50, 40));
    realinput::click(inside);
    EXPECT_EQ(clicks, 1);

    // Pressed over it, released beside it: no click.
    realinput::moveTo(inside);
    realinput::press(Qt::LeftButton);
    realinput::moveTo(control.mapToGlobal(QPoint(200, 40)));
    realinput::release(Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}
