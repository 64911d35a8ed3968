// The slide viewer's slide-in on a real X server, where the server copies
// each strip of the picture to the screen itself: mid-way the screen shows
// the strip the order gives, and at the end exactly the control's picture.
#include "Vxslide.h"

#include "RealInput.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <memory>
#include <string>
#include <vector>

namespace {

class ViewerUnderTest : public TVxSlide {
public:
    using TVxSlide::DisplayRect;
    using TVxSlide::GetClientRectWithEdge;
    using TVxSlide::Surface;
};

// What the screen shows of the control now.
QImage screenOf(QWidget& widget)
{
    return QApplication::primaryScreen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(TVxSlide, EachStripReachesTheScreenInOrderAndTheEndIsThePicture)
{
    ASSERT_TRUE(realinput::available());
    testfiles::TempFolder folder;
    ViewerUnderTest slide;
    slide.SetBounds(40, 40, 320, 240);
    slide.SetColor(0x00FFFF);  // yellow before the picture
    slide.SetFileExt("png");
    slide.SetFileReadWay(vxFolder);
    slide.SetScrollDir(vxLeftToRight);
    slide.SetFilePath(folder.path());
    slide.show();
    realinput::settle(500);
    slide.GetClientRectWithEdge(nullptr);
    const RECT area = slide.DisplayRect();
    const int width = area.right - area.left + 1;
    const int height = area.bottom - area.top + 1;
    // A picture of the display's size, so it is shown unscaled: every column
    // its own colour.
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, x / 256 * 60, 200));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder.file("p.png"))));

    struct Seen {
        int b;
        QImage screen;
    };
    std::vector<Seen> seen;
    slide.OnProgress = [&](TObject*, std::int16_t percent) {
        if (percent == 24 || percent == 74) {
            // The x of this progress report: the strip just shown is b wide.
            const int x = (percent + 1) * width / 100 + ((percent + 1) * width % 100 ? 1 : 0);
            seen.push_back({x + 1, screenOf(slide)});
        }
    };
    ASSERT_TRUE(slide.Open());
    ASSERT_TRUE(slide.Start());
    ASSERT_EQ(seen.size(), 2u);
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.b);
        const int a = width - s.b;  // the strip shows the picture's columns a .. width - 1
        for (int i : {0, s.b / 2, s.b - 1})
            EXPECT_EQ(s.screen.pixel(area.left + i, area.top + 5), picture.pixel(a + i, 5)) << "column " << i;
        EXPECT_EQ(s.screen.pixel(area.left + s.b + 3, area.top + 5), qRgb(255, 255, 0)) << "not reached yet";
    }
    realinput::settle(200);
    const QImage end = screenOf(slide);
    EXPECT_EQ(end.copy(area.left, area.top, width, height), picture) << "the picture, unscaled, in place";
    EXPECT_EQ(end.copy(area.left, area.top, width, height), slide.Surface().copy(area.left, area.top, width, height))
        << "the control's own copy agrees with the screen";
}
