// The floating hint under a real X server: inside its rectangle the screen
// shows the hint's strokes and, between them, the window beneath; the pointer
// on a stroke is still over the control beneath.
#include "Newhint.h"

#include "Control.h"
#include "GraphicsObjects.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

TEST(THintExUnderX, BetweenTheStrokesTheWindowBeneathShows)
{
    ASSERT_TRUE(realinput::available()) << "run under run-under-x.sh";
    TApplication app;
    TComponent form;
    form.BeginLoading();
    auto* hint = new TAppHint(&form);
    hint->SetHintStyle(hsLineString);
    hint->Font()->SetHeight(27);
    hint->Font()->SetColor(clWhite);
    hint->SetHintPause(50);
    form.EndLoading();

    QWidget beneath;
    beneath.setGeometry(100, 100, 700, 300);
    beneath.setAutoFillBackground(true);
    beneath.setPalette(QPalette(QColor(0, 160, 0)));
    TGraphicControl control(nullptr, &beneath);
    control.SetBounds(20, 20, 400, 200);
    control.SetHint(" ファイル振り分け１");
    control.SetShowHint(true);
    beneath.show();
    realinput::settle(300);
    realinput::moveTo(control.mapToGlobal(QPoint(30, 20)));
    realinput::settle(500);

    THintWindow* window = nullptr;
    realinput::waitUntil([&] {
        window = app.HintWindow();
        return window && window->isVisible();
    });
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(window->isActiveWindow());
    const QRect at = window->geometry();
    const int lineY = at.height() - 4 - 2;
    // What the server shows once the hint is mapped and drawn.
    QImage screen;
    realinput::waitUntil([&] {
        screen = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), at.width(), at.height()).toImage();
        return screen.pixel(at.width() / 2, lineY) == qRgb(0, 0, 0);
    });
    EXPECT_EQ(screen.pixel(at.width() / 2, 4), qRgb(0, 160, 0)) << "above the text: the window beneath";
    EXPECT_EQ(screen.pixel(at.width() / 2, lineY), qRgb(0, 0, 0)) << "the leader line";

    // The pointer on a stroke is still over the control: the hint stays.
    realinput::moveTo(at.topLeft() + QPoint(at.width() / 2, lineY));
    realinput::settle(200);
    EXPECT_TRUE(window->isVisible());
}
