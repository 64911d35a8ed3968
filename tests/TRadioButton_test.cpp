#include "RadioButton.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

TEST(TRadioButton, ButtonsOfOneParentAreAGroupThatMayHaveNoneChecked)
{
    QWidget window;
    window.resize(200, 100);
    QWidget panelA(&window), panelB(&window);
    panelA.setGeometry(0, 0, 100, 100);
    panelB.setGeometry(100, 0, 100, 100);
    TRadioButton a1(nullptr, &panelA), a2(nullptr, &panelA), b1(nullptr, &panelB);
    a1.setGeometry(0, 0, 100, 20);
    a2.setGeometry(0, 30, 100, 20);
    window.show();

    a1.SetChecked(true);
    b1.SetChecked(true);
    a2.SetChecked(true);
    EXPECT_FALSE(a1.Checked());
    EXPECT_TRUE(a2.Checked());
    EXPECT_TRUE(b1.Checked()) << "another parent, another group";

    a2.SetChecked(false);
    EXPECT_FALSE(a1.Checked());
    EXPECT_FALSE(a2.Checked()) << "unchecking leaves the group with none checked";

    QTest::mouseClick(&a1, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseClick(&a2, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_FALSE(a1.Checked()) << "the group is still one after an uncheck";
    EXPECT_TRUE(a2.Checked());
}

TEST(TRadioButton, OnKeyDownSeesAKeyFirstAndSpaceThenChoosesTheButton)
{
    QWidget window;
    window.resize(100, 60);
    TRadioButton first(nullptr, &window), second(nullptr, &window);
    first.setGeometry(0, 0, 100, 20);
    second.setGeometry(0, 30, 100, 20);
    std::vector<WORD_KEY> seen;
    bool swallow = false;
    for (TRadioButton* b : {&first, &second}) {
        b->OnKeyDown = [&](TObject*, WORD_KEY& key, TShiftState) {
            seen.push_back(key);
            EXPECT_FALSE(first.Checked() || second.Checked()) << "the handler runs before the button acts";
            if (swallow)
                key = 0;
        };
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    second.setFocus();
    swallow = true;
    QTest::keyClick(&second, Qt::Key_Space);
    EXPECT_FALSE(second.Checked()) << "a key set to 0 is used up";

    first.setFocus();
    swallow = false;
    QTest::keyClick(&first, Qt::Key_Space);
    EXPECT_TRUE(first.Checked());
    EXPECT_EQ(seen, (std::vector<WORD_KEY>{VK_SPACE, VK_SPACE}));
}
