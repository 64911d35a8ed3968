// The transparent image controls under a real X server with real pointer
// input: the window region decides where the pointer lands, a click counts
// only when released over the shape, hot tracking, and dragging the parent.
#include "Bitmap.h"
#include "Clearctrl.h"
#include "Picture.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace {

class Inspected : public TClearButton {
public:
    using TClearButton::TClearButton;
    using TClearControl::HotImage;
    using TClearControl::ShowsPressed;
    using TClearControl::UpImage;
    // The pixel last shown at (x, y), as 0x00BBGGRR.
    TColor Shown(int x, int y) { return FromQColor(QColor(Surface().pixel(x, y))); }
};

class InspectedPanel : public TClearPanel {
public:
    using TClearPanel::TClearPanel;
    using TClearControl::ShowsPressed;
};

TColor imagePixel(const TBitmap* image, int x, int y)
{
    return PixelToColor(image->ScanLine(y) + 3 * x);
}

// A frameless window filled by a control that counts its clicks, holding one
// dispatch button as the main window sets it up.
class ClearButtonUnderX : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(realinput::available()) << "run under run-under-x.sh";
        window.setWindowFlag(Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 240, 160);
        backdrop.SetBounds(0, 0, 240, 160);
        backdrop.OnClick = [this](TObject*) { ++backdropClicks; };

        button.BeginUpdate();
        button.SetAutoSize(false);
        button.SetBounds(40, 40, 46, 50);
        button.Picture()->Bitmap()->LoadFromResourceName("DispatchButton");
        button.SetColor(clWhite);
        button.SetShadowColor(clSilver);
        button.SetCaption("1");
        TFont font;
        font.SetName("ＭＳ Ｐ明朝");
        font.SetHeight(-21);
        font.SetColor(clRed);
        font.SetStyle(FontStyles({fsBold, fsUnderline}));
        button.SetFont(font);
        button.EndUpdate();
        button.OnClick = [this](TObject*) { ++clicks; };
        button.OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ++mouseUps; };

        window.show();
        realinput::settle(400);
    }

    QPoint at(QWidget& widget, int x, int y) { return widget.mapToGlobal(QPoint(x, y)); }

    QWidget window;
    TCustomControl backdrop{nullptr, &window};
    Inspected button{nullptr, &backdrop};
    int clicks = 0, mouseUps = 0, backdropClicks = 0;
};

TEST_F(ClearButtonUnderX, AClickCountsOnlyWhenReleasedOverTheShape)
{
    ASSERT_EQ(button.TransparentColor(), clWhite);
    // face: a pixel of the picture's outline, which the hot image lightens but not to white
    const QPoint centre(23, 25), corner(1, 1), face(5, 24);
    ASSERT_TRUE(button.mask().contains(centre));
    ASSERT_FALSE(button.mask().contains(corner));

    // Over the shape the hot image shows.
    realinput::moveTo(at(button, centre.x(), centre.y()));
    EXPECT_EQ(button.Shown(face.x(), face.y()), imagePixel(button.HotImage(), face.x(), face.y()));
    EXPECT_NE(button.Shown(face.x(), face.y()), imagePixel(button.UpImage(), face.x(), face.y()));

    realinput::click(at(button, centre.x(), centre.y()));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);

    // A transparent pixel inside the rectangle: the click reaches what lies behind.
    realinput::click(at(button, corner.x(), corner.y()));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(backdropClicks, 1);

    // Pressed on the shape, released over a transparent pixel of the rectangle.
    realinput::moveTo(at(button, centre.x(), centre.y()));
    realinput::press(Qt::LeftButton);
    EXPECT_TRUE(button.ShowsPressed());
    realinput::moveTo(at(button, corner.x(), corner.y()));
    EXPECT_FALSE(button.ShowsPressed());
    realinput::release(Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);

    // Pressed, left and released outside.
    realinput::moveTo(at(button, centre.x(), centre.y()));
    realinput::press(Qt::LeftButton);
    realinput::moveTo(at(button, 120, 25));
    realinput::release(Qt::LeftButton);
    realinput::settle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);
    EXPECT_EQ(backdropClicks, 1);
    // Away from the shape the up image shows again.
    EXPECT_EQ(button.Shown(face.x(), face.y()), imagePixel(button.UpImage(), face.x(), face.y()));
}

TEST_F(ClearButtonUnderX, ThePanelNeverShowsPressedAndCanDragItsWindow)
{
    InspectedPanel panel(nullptr, &window);
    panel.SetBounds(150, 40, 60, 60);
    panel.Picture()->Bitmap()->LoadFromResourceName("DispatchButton");
    int panelClicks = 0;
    panel.OnClick = [&](TObject*) { ++panelClicks; };
    panel.show();
    realinput::settle();

    const QPoint face = at(panel, panel.Width() / 2, panel.Height() / 2);
    realinput::moveTo(face);
    realinput::press(Qt::LeftButton);
    EXPECT_FALSE(panel.ShowsPressed());
    realinput::release(Qt::LeftButton);
    EXPECT_EQ(panelClicks, 1);

    // Dragged by its face, it moves the window by the pointer's travel.
    panel.SetParentDrag(true);
    const QPoint before = window.pos();
    realinput::press(Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        realinput::moveTo(face + QPoint(10 * step, 8 * step));
    realinput::release(Qt::LeftButton);
    realinput::settle(300);
    EXPECT_EQ(window.pos(), before + QPoint(40, 32));
}

}  // namespace
