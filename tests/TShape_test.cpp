#include "Shape.h"

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <vector>

namespace {

std::string at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).name().toStdString();
}

}  // namespace

// What the shape's row 20 looks like across its left and right edges, on a
// grey parent: the outline lies inside the bounds, Pen.Width pixels wide.
TEST(TShape, OutlineInsideTheBoundsAsWideAsThePenAndTheBrushInside)
{
    const QColor grey(128, 128, 128), black(0, 0, 0), red(255, 0, 0);
    struct Case {
        int penWidth;
        TBrushStyle brush;
        std::vector<QColor> left;   // x = 9..13
        std::vector<QColor> right;  // x = 26..30
    };
    const Case cases[] = {
        {1, bsSolid, {grey, black, red, red, red}, {red, red, red, black, grey}},
        {2, bsSolid, {grey, black, black, red, red}, {red, red, black, black, grey}},
        {2, bsClear, {grey, black, black, grey, grey}, {grey, grey, black, black, grey}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.penWidth);
        QWidget parent;
        parent.resize(40, 60);
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(grey));
        TShape shape(nullptr, &parent);
        shape.SetBounds(10, 10, 20, 40);
        shape.Pen()->SetWidth(c.penWidth);
        shape.Brush()->SetColor(clRed);
        shape.Brush()->SetStyle(c.brush);
        const QImage image = parent.grab().toImage();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(at(image, 9 + i, 20), c.left[i].name().toStdString()) << "x " << 9 + i;
            EXPECT_EQ(at(image, 26 + i, 20), c.right[i].name().toStdString()) << "x " << 26 + i;
        }
        EXPECT_EQ(at(image, 20, 10 + c.penWidth - 1), "#000000") << "top edge";
        EXPECT_EQ(at(image, 20, 49 - c.penWidth + 1), "#000000") << "bottom edge";
        EXPECT_EQ(at(image, 20, 50), "#808080");
    }
}
