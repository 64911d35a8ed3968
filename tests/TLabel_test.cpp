#include "Label.h"

#include "GraphicsObjects.h"

#include <gtest/gtest.h>

#include <QTest>

// The text's ink on a white parent: its box must sit at the side the
// alignment and layout name, in as many bands of rows as lines are expected.
TEST(TLabel, AlignmentWordWrapAndLayoutPlaceTheTextInsideFixedBounds)
{
    struct Case {
        TAlignment alignment;
        TTextLayout layout;
        bool wordWrap;
        int lines;
        char horizontal, vertical;  // 'L'eft / 'R'ight / 'C'entre, 'T'op / 'C'entre / 'B'ottom
    } const cases[] = {
        {taLeftJustify, tlTop, false, 1, 'L', 'T'},
        {taRightJustify, tlCenter, true, 3, 'R', 'C'},  // one word a line
        {taCenter, tlBottom, true, 3, 'C', 'B'},
    };
    const QRect bounds(10, 10, 40, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(int(&c - cases));
        QWidget parent;
        parent.resize(60, 120);
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(Qt::white));
        TLabel label(nullptr, &parent);
        label.SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
        label.SetTransparent(true);
        label.Font()->SetName("DejaVu Sans");
        label.Font()->SetHeight(12);
        label.Font()->SetColor(clBlack);
        label.SetCaption("WW WW WW");
        label.SetAlignment(c.alignment);
        label.SetLayout(c.layout);
        label.SetWordWrap(c.wordWrap);

        const QImage image = parent.grab().toImage();
        QRect ink;
        int lines = 0;
        bool previousInked = false;
        for (int y = 0; y < image.height(); ++y) {
            bool inked = false;
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != QColor(Qt::white)) {
                    inked = true;
                    ink |= QRect(x, y, 1, 1);
                }
            lines += inked && !previousInked;
            previousInked = inked;
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_TRUE(bounds.contains(ink)) << "the label keeps its bounds";
        const int left = ink.left() - bounds.left(), right = bounds.right() - ink.right();
        const int top = ink.top() - bounds.top(), bottom = bounds.bottom() - ink.bottom();
        EXPECT_LE(c.horizontal == 'L' ? left : c.horizontal == 'R' ? right : std::abs(left - right), 2);
        // The glyphs' own top and bottom bearings are a few pixels each.
        EXPECT_LE(c.vertical == 'T' ? top : c.vertical == 'B' ? bottom : std::abs(top - bottom), 5);
        if (c.vertical == 'C') {
            EXPECT_GT(top, 20);
        }
    }
}
