#include "SpeedButton.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

void click(TSpeedButton& b, QPoint releaseAt = QPoint(5, 5))
{
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, releaseAt);
}

}  // namespace

TEST(TSpeedButton, AGroupOnOneParentHasOneButtonDownAndSharesAllowAllUp)
{
    QWidget window;
    window.resize(200, 100);
    QWidget panelA(&window), panelB(&window);
    panelB.move(100, 0);
    TSpeedButton a1(nullptr, &panelA), a2(nullptr, &panelA), otherGroup(nullptr, &panelA), otherParent(nullptr, &panelB);
    for (TSpeedButton* b : {&a1, &a2})
        b->SetGroupIndex(1);
    otherParent.SetGroupIndex(1);
    otherGroup.SetGroupIndex(2);
    otherParent.SetDown(true);
    otherGroup.SetDown(true);
    std::vector<std::string> clicks;
    for (TSpeedButton* b : {&a1, &a2})
        b->OnClick = [&, b](TObject*) { clicks.push_back(std::string(b == &a1 ? "a1 " : "a2 ") + (b->Down() ? "down" : "up")); };
    window.show();

    click(a1);
    click(a2);
    EXPECT_FALSE(a1.Down());
    EXPECT_TRUE(a2.Down());
    EXPECT_TRUE(otherParent.Down()) << "another parent";
    EXPECT_TRUE(otherGroup.Down()) << "another group";

    click(a2);
    a2.SetDown(false);
    EXPECT_TRUE(a2.Down()) << "without AllowAllUp the group keeps a button down";
    click(a1, QPoint(50, 50));
    EXPECT_FALSE(a1.Down()) << "released outside: no click";

    a1.SetAllowAllUp(true);
    EXPECT_TRUE(a2.AllowAllUp()) << "the group shares AllowAllUp";
    EXPECT_FALSE(otherParent.AllowAllUp());
    click(a2);
    EXPECT_FALSE(a1.Down() || a2.Down());
    EXPECT_EQ(clicks, (std::vector<std::string>{"a1 down", "a2 down", "a2 down", "a2 up"}));

    TSpeedButton plain(nullptr, &panelA);
    plain.SetDown(true);
    EXPECT_FALSE(plain.Down()) << "only a grouped button latches";
}

TEST(TSpeedButton, ClickingLeavesTheFocusWhereItWasAndAFlatButtonShowsAnEdgeOnlyWhilePressed)
{
    QWidget window;
    window.resize(100, 60);
    window.setAutoFillBackground(true);
    window.setPalette(QPalette(QColor(255, 128, 128)));
    QLineEdit edit(&window);
    edit.setGeometry(0, 0, 50, 20);
    TSpeedButton button(nullptr, &window);
    button.SetBounds(50, 10, 46, 50);
    button.SetFlat(true);
    int clicks = 0;
    button.OnClick = [&](TObject*) { ++clicks; };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit.setFocus();

    EXPECT_EQ(window.grab().toImage().pixelColor(50, 10), QColor(255, 128, 128)) << "flat: no edge at rest";
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(window.grab().toImage().pixelColor(50, 10), ToQColor(clBtnShadow)) << "pressed: sunken edge";
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(QApplication::focusWidget(), &edit);
}
