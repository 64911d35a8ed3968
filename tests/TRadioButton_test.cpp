#include "RadioButton.h"

#include <gtest/gtest.h>

#include <QTest>

TEST(TRadioButton, ButtonsOfOneParentAreAGroupThatMayHaveNoneCheckedAndSeeKeysFirst)
{
    QWidget window;
    window.resize(200, 100);
    QWidget panelA(&window), panelB(&window);
    panelB.move(100, 0);
    TRadioButton a1(nullptr, &panelA), a2(nullptr, &panelA), b1(nullptr, &panelB);
    a2.move(0, 30);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    a1.SetChecked(true);
    b1.SetChecked(true);
    a2.SetChecked(true);
    EXPECT_FALSE(a1.Checked());
    EXPECT_TRUE(b1.Checked()) << "another parent, another group";
    a2.SetChecked(false);
    EXPECT_FALSE(a1.Checked() || a2.Checked()) << "unchecking leaves the group with none checked";

    // Space: OnKeyDown first, then the button chooses itself, unless the key was used up.
    int spaces = 0;
    a1.OnKeyDown = [&](TObject*, WORD_KEY& key, TShiftState) {
        spaces += key == VK_SPACE && !a1.Checked();
        if (spaces == 1)
            key = 0;
    };
    a1.setFocus();
    QTest::keyClick(&a1, Qt::Key_Space);
    EXPECT_FALSE(a1.Checked());
    QTest::keyClick(&a1, Qt::Key_Space);
    EXPECT_EQ(spaces, 2);
    EXPECT_TRUE(a1.Checked());
    EXPECT_FALSE(a2.Checked()) << "the group is still one after an uncheck";
    EXPECT_TRUE(b1.Checked());
}
