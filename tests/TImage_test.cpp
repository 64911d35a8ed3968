#include "ImageControl.h"

#include "Bitmap.h"
#include "Canvas.h"

#include <gtest/gtest.h>

#include <QTest>

#include <string>

namespace {

std::string at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).name().toStdString();
}

struct CountingImage : TImage {
    using TImage::TImage;
    int paints = 0;
    void Paint() override
    {
        ++paints;
        TImage::Paint();
    }
};

}  // namespace

TEST(TImage, ShowsItsPictureUnscaledAtTheTopLeftAndFollowsItsChanges)
{
    QWidget parent;
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    CountingImage image(nullptr, &parent);
    image.SetBounds(10, 10, 20, 20);
    TBitmap red;
    red.SetSize(4, 6);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(RECT{0, 0, 4, 6});
    image.Picture()->SetBitmap(&red);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    QImage shot = parent.grab().toImage();
    EXPECT_EQ(at(shot, 10, 10), "#ff0000");
    EXPECT_EQ(at(shot, 13, 15), "#ff0000");
    EXPECT_EQ(at(shot, 14, 15), "#ffffff") << "not stretched to the control";
    EXPECT_EQ(at(shot, 13, 16), "#ffffff");

    QCoreApplication::processEvents();
    const int paints = image.paints;
    image.Picture()->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
    image.Picture()->Bitmap()->Canvas()->FillRect(RECT{0, 0, 1, 1});
    EXPECT_TRUE(QTest::qWaitFor([&] { return image.paints > paints; }, 5000)) << "a change asks for a repaint";
    shot = parent.grab().toImage();
    EXPECT_EQ(at(shot, 10, 10), "#0000ff");
}
