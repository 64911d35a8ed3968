#include "SystemUi.h"

#include <gtest/gtest.h>

#include <QApplication>

TEST(SystemUi, CaretBlinkTimeIsHalfOfQtsFlashCycle)
{
    const int saved = QApplication::cursorFlashTime();
    ASSERT_NE(SetCaretBlinkTime(200), 0);
    EXPECT_EQ(QApplication::cursorFlashTime(), 400);
    EXPECT_EQ(GetCaretBlinkTime(), 200u);

    ASSERT_NE(SetCaretBlinkTime(INFINITE_BLINK), 0);
    EXPECT_EQ(QApplication::cursorFlashTime(), 0);
    EXPECT_EQ(GetCaretBlinkTime(), INFINITE_BLINK);

    EXPECT_EQ(SetCaretBlinkTime(0), 0) << "a zero blink time is refused";
    QApplication::setCursorFlashTime(saved);
}
