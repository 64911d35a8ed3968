#include "SpeedButton.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

TEST(TSpeedButton, AGroupOnOneParentHasOneButtonDownSharesAllowAllUpAndClicksTakeNoFocus)
{
    QWidget window;
    window.resize(200, 100);
    QLineEdit edit(&window);
    QWidget panelA(&window), panelB(&window);
    panelA.move(0, 30);
    panelB.move(100, 30);
    TSpeedButton a1(nullptr, &panelA), a2(nullptr, &panelA), otherGroup(nullptr, &panelA), otherParent(nullptr, &panelB);
    a1.SetGroupIndex(1);
    a2.SetGroupIndex(1);
    otherParent.SetGroupIndex(1);
    otherGroup.SetGroupIndex(2);
    otherParent.SetDown(true);
    otherGroup.SetDown(true);
    std::vector<std::string> clicks;
    for (TSpeedButton* b : {&a1, &a2})
        b->OnClick = [&, b](TObject*) { clicks.push_back(std::string(b == &a1 ? "a1 " : "a2 ") + (b->Down() ? "down" : "up")); };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit.setFocus();
    auto click = [](TSpeedButton& b, QPoint releaseAt = QPoint(5, 5)) {
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, releaseAt);
    };

    click(a1);
    click(a2);
    EXPECT_FALSE(a1.Down());
    EXPECT_TRUE(a2.Down());
    EXPECT_TRUE(otherParent.Down() && otherGroup.Down()) << "another parent, another group";
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
    EXPECT_EQ(QApplication::focusWidget(), &edit) << "clicks leave the focus where it was";

    TSpeedButton plain(nullptr, &panelA);
    plain.SetDown(true);
    EXPECT_FALSE(plain.Down()) << "only a grouped button latches";
}
