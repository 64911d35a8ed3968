#include "Label.h"

#include "GraphicsObjects.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

// Where the text's ink lies on a white parent, and how many bands of rows
// (lines) it makes.
struct Ink {
    QRect box;
    int lines = 0;
};

Ink inkOf(const QImage& image, const QRect& area)
{
    Ink ink;
    bool previousRowInked = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool inked = false;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                inked = true;
                ink.box |= QRect(x, y, 1, 1);
            }
        }
        if (inked && !previousRowInked)
            ++ink.lines;
        previousRowInked = inked;
    }
    return ink;
}

}  // namespace

TEST(TLabel, AlignmentWordWrapAndLayoutPlaceTheTextInsideFixedBounds)
{
    struct Case {
        const char* name;
        TAlignment alignment;
        TTextLayout layout;
        bool wordWrap;
        int lines;
        char horizontal;  // 'L'eft, 'R'ight, 'C'entre
        char vertical;    // 'T'op, 'C'entre, 'B'ottom
    };
    const Case cases[] = {
        {"plain", taLeftJustify, tlTop, false, 1, 'L', 'T'},
        {"one word a line, right, centred", taRightJustify, tlCenter, true, 3, 'R', 'C'},
        {"wrapped, centred, at the bottom", taCenter, tlBottom, true, 3, 'C', 'B'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget parent;
        parent.resize(60, 120);
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(Qt::white));
        TLabel label(nullptr, &parent);
        label.SetBounds(10, 10, 40, 100);
        label.SetTransparent(true);
        label.Font()->SetName("DejaVu Sans");
        label.Font()->SetHeight(12);
        label.Font()->SetColor(clBlack);
        label.SetCaption("WW WW WW");
        label.SetAlignment(c.alignment);
        label.SetLayout(c.layout);
        label.SetWordWrap(c.wordWrap);
        const QRect bounds(10, 10, 40, 100);
        const Ink ink = inkOf(parent.grab().toImage(), bounds.adjusted(-5, -5, 5, 5));
        EXPECT_EQ(ink.lines, c.lines);
        ASSERT_FALSE(ink.box.isEmpty());
        EXPECT_TRUE(bounds.contains(ink.box)) << "the label keeps its bounds";

        const int leftGap = ink.box.left() - bounds.left(), rightGap = bounds.right() - ink.box.right();
        const int topGap = ink.box.top() - bounds.top(), bottomGap = bounds.bottom() - ink.box.bottom();
        switch (c.horizontal) {
        case 'L': EXPECT_LE(leftGap, 2); break;
        case 'R': EXPECT_LE(rightGap, 2); break;
        default: EXPECT_LE(std::abs(leftGap - rightGap), 2);
        }
        // The glyphs' own top and bottom bearings are a few pixels each.
        switch (c.vertical) {
        case 'T': EXPECT_LE(topGap, 5); break;
        case 'B': EXPECT_LE(bottomGap, 5); break;
        default: EXPECT_LE(std::abs(topGap - bottomGap), 5); EXPECT_GT(topGap, 20);
        }
    }
}

TEST(TLabel, AnOpaqueLabelFillsItsBoundsWithItsColour)
{
    QWidget parent;
    parent.resize(30, 30);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    TLabel label(nullptr, &parent);
    label.SetBounds(5, 5, 20, 20);
    label.SetColor(clRed);
    QImage image = parent.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(24, 24), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::white));

    label.SetTransparent(true);
    image = parent.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
}
