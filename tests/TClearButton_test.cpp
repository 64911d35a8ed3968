// The transparent image controls on the offscreen platform: the composed state
// images at telling pixels, their regions, sizes, the transparent colour's
// rules, the caption's place and the window region with children and form.
#include "Bitmap.h"
#include "Canvas.h"
#include "Clearctrl.h"
#include "Exception.h"
#include "ImageControl.h"
#include "Picture.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr TColor kFace = RGB(40, 80, 160);
constexpr TColor kRim = RGB(150, 150, 150);
constexpr TColor kShadow = RGB(90, 90, 90);
constexpr TColor kLight = RGB(230, 230, 230);

class Inspected : public TClearButton {
public:
    using TClearButton::TClearButton;
    using TClearControl::DisabledImage;
    using TClearControl::DownImage;
    using TClearControl::DownRgn;
    using TClearControl::HotImage;
    using TClearControl::UpImage;
    using TClearControl::UpRgn;
};

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool same(const QRegion& a, const QRegion& b)
{
    return (a ^ b).isEmpty();
}

TColor pixelAt(const TBitmap* image, int x, int y)
{
    return PixelToColor(image->ScanLine(y) + 3 * x);
}

// The pixels of the image that are not key, one by one.
QRegion opaquePixels(const TBitmap* image, TColor key)
{
    QRegion region;
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x)
            if (pixelAt(image, x, y) != key)
                region += QRect(x, y, 1, 1);
    return region;
}

// A size x size picture: a square in colour, inset by inset, on the background.
std::unique_ptr<TPicture> squarePicture(int size, int inset, TColor background, TColor colour = kFace)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(size, size);
    bitmap.Canvas()->Brush()->SetColor(background);
    bitmap.Canvas()->FillRect(RECT{0, 0, size, size});
    bitmap.Canvas()->Brush()->SetColor(colour);
    bitmap.Canvas()->FillRect(RECT{inset, inset, size - inset, size - inset});
    auto picture = std::make_unique<TPicture>();
    picture->SetBitmap(&bitmap);
    return picture;
}

// The face: an 8 x 8 square in kFace on a 12 x 12 background.
std::unique_ptr<TPicture> facePicture(TColor background)
{
    return squarePicture(12, 2, background);
}

class ClearControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.setGeometry(0, 0, 200, 200);
        host.show();
    }

    // A 20 x 20 button with the face picture on fuchsia and explicit colours.
    std::unique_ptr<Inspected> button(TTransBtnStyle style, TBorderStyle border, bool frame = true)
    {
        auto b = std::make_unique<Inspected>(nullptr, &host);
        b->BeginUpdate();
        b->SetAutoSize(false);
        b->SetBounds(10, 10, 20, 20);
        b->SetPicture(*facePicture(clFuchsia));
        b->SetStyle(style);
        b->SetBorderStyle(border);
        b->SetColor(kRim);
        b->SetShadowColor(kShadow);
        b->SetLightColor(kLight);
        if (!frame)
            b->SetOptions(b->Options() - TTransImgOptions{sioBorderAndShadow});
        b->EndUpdate();
        b->show();
        return b;
    }

    QWidget host;
};

enum State { up, down, hot, disabled };

struct PixelCase {
    TTransBtnStyle style;
    TBorderStyle border;
    State state;
    int x, y;
    TColor expected;
};

TEST_F(ClearControlTest, StateImagesShowEdgeShadowRimAndFaceWhereTheTablesPutThem)
{
    const TColor darkShadow = DarkenColor(kShadow, 64), darkRim = DarkenColor(kRim, 32);
    const PixelCase cases[] = {
        // push button, single border: light edge top-left, shadow bottom-right, rim, face
        {sbsPushBtn, bsSingle, up, 4, 4, kLight}, {sbsPushBtn, bsSingle, up, 16, 10, kShadow},
        {sbsPushBtn, bsSingle, up, 10, 15, kShadow}, {sbsPushBtn, bsSingle, up, 5, 10, kRim},
        {sbsPushBtn, bsSingle, up, 14, 14, kRim}, {sbsPushBtn, bsSingle, up, 10, 10, kFace},
        {sbsPushBtn, bsSingle, up, 17, 17, clFuchsia},
        // pressed: darker shadow above and left, darker rim, face one pixel right and down
        {sbsPushBtn, bsSingle, down, 5, 5, darkShadow}, {sbsPushBtn, bsSingle, down, 6, 10, darkRim},
        {sbsPushBtn, bsSingle, down, 16, 10, darkRim}, {sbsPushBtn, bsSingle, down, 14, 14, kFace},
        {sbsPushBtn, bsSingle, down, 4, 4, clFuchsia},
        // hot: lightened rim, shadow and face; disabled: greys held between 128 and 192
        {sbsPushBtn, bsSingle, hot, 4, 4, kLight}, {sbsPushBtn, bsSingle, hot, 5, 10, LightenColor(kRim, 64)},
        {sbsPushBtn, bsSingle, hot, 16, 10, LightenColor(kShadow, 32)},
        {sbsPushBtn, bsSingle, hot, 10, 10, LightenColor(kFace, 128)},
        {sbsPushBtn, bsSingle, disabled, 10, 10, 0x808080}, {sbsPushBtn, bsSingle, disabled, 4, 4, 0xC0C0C0},
        {sbsPushBtn, bsSingle, disabled, 5, 10, kRim},
        // no border: one-pixel edge and shadow, no rim; pressed with the plain shadow
        {sbsPushBtn, bsNone, up, 14, 10, kLight}, {sbsPushBtn, bsNone, up, 15, 10, kShadow},
        {sbsPushBtn, bsNone, up, 4, 4, clFuchsia}, {sbsPushBtn, bsNone, down, 6, 10, kShadow},
        {sbsPushBtn, bsNone, down, 14, 14, kFace}, {sbsPushBtn, bsNone, down, 5, 5, clFuchsia},
        // floating: a dropped shadow, no light edge; pressed keeps the plain rim
        {sbsFloatBtn, bsSingle, up, 17, 10, kShadow}, {sbsFloatBtn, bsSingle, up, 4, 4, clFuchsia},
        {sbsFloatBtn, bsSingle, down, 6, 10, kRim}, {sbsFloatBtn, bsSingle, down, 5, 5, clFuchsia},
        // image: the rim only, never shifted
        {sbsImage, bsSingle, up, 5, 10, kRim}, {sbsImage, bsSingle, up, 16, 10, clFuchsia},
        {sbsImage, bsSingle, down, 13, 13, kFace},
    };
    for (const PixelCase& c : cases) {
        auto b = button(c.style, c.border);
        const TBitmap* image[] = {b->UpImage(), b->DownImage(), b->HotImage(), b->DisabledImage()};
        ASSERT_NE(image[c.state], nullptr);
        EXPECT_EQ(pixelAt(image[c.state], c.x, c.y), c.expected)
            << "style " << int(c.style) << " border " << int(c.border) << " state " << int(c.state) << " at "
            << c.x << "," << c.y;
    }
}

TEST_F(ClearControlTest, RegionsAreTheOpaquePixelsOfTheirImages)
{
    for (TTransBtnStyle style : {sbsPushBtn, sbsFloatBtn, sbsImage})
        for (TBorderStyle border : {bsNone, bsSingle}) {
            auto b = button(style, border);
            EXPECT_TRUE(same(b->UpRgn(), opaquePixels(b->UpImage(), clFuchsia))) << int(style) << int(border);
            EXPECT_TRUE(same(b->DownRgn(), opaquePixels(b->DownImage(), clFuchsia)));
            settle();
            EXPECT_TRUE(same(b->mask(), b->UpRgn()));
        }

    // Without the frame the picture sits at (BS, BS) and the pressed image is not
    // rebuilt: it is still the one of the button's first, framed 24 x 16 size.
    auto plain = button(sbsPushBtn, bsSingle, false);
    EXPECT_EQ(pixelAt(plain->UpImage(), 7, 7), kFace);
    EXPECT_EQ(pixelAt(plain->UpImage(), 6, 6), clFuchsia);
    EXPECT_EQ(pixelAt(plain->HotImage(), 14, 14), LightenColor(kFace, 128));
    EXPECT_EQ(plain->DownImage()->Width(), 24);
    EXPECT_TRUE(same(plain->UpRgn(), QRegion(7, 7, 8, 8)));
}

TEST_F(ClearControlTest, SizesFollowTheAutomaticSizeAndTheLimits)
{
    Inspected empty(nullptr, &host);
    EXPECT_EQ(empty.size(), QSize(24, 16));  // 16 x 8 caption box, border 1
    empty.SetAutoSize(false);
    empty.SetBounds(0, 0, 321, 500);
    EXPECT_EQ(empty.size(), QSize(320, 320));
    TClearPanel panel(nullptr, &host);
    panel.SetAutoSize(false);
    panel.SetBounds(0, 0, 321, 500);
    EXPECT_EQ(panel.size(), QSize(321, 500));

    // A panel (no border) is as large as its children reach.
    TClearPanel holder(nullptr, &host);
    holder.AutoSizeArrange();
    EXPECT_EQ(holder.size(), QSize(20, 12));
    TImage child(nullptr, &holder);
    child.SetBounds(30, 40, 10, 10);
    holder.SetCaption("x");
    EXPECT_EQ(holder.size(), QSize(40, 50));

    struct Failing : TClearButton {
        using TClearButton::TClearButton;
        void DoAutoSizeArrange(int, int) override { throw Exception("no room"); }
    } failing(nullptr, &host);
    try {
        failing.SetCaption("wide caption");
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "no room at AutoSizeArrange");
    }
    EXPECT_EQ(failing.size(), QSize(24, 16));
}

TEST_F(ClearControlTest, TheTransparentColourFollowsThePictureUntilSetAfterIt)
{
    auto b = button(sbsPushBtn, bsSingle);
    b->SetTransparentColor(clRed);
    b->Picture()->Clear();
    EXPECT_EQ(b->TransparentColor(), clFuchsia);

    // A bitmap file: its bottom-left pixel (green) becomes the key, overriding red.
    testfiles::TempFolder folder;
    facePicture(clGreen)->SaveToFile(folder.file("face.bmp"));
    b->SetTransparentColor(clRed);
    b->Picture()->LoadFromFile(folder.file("face.bmp"));
    EXPECT_EQ(b->TransparentColor(), clGreen);
    EXPECT_EQ(b->Picture()->Bitmap()->PixelFormat(), pf24bit);
    EXPECT_TRUE(b->Picture()->Bitmap()->Transparent());
    EXPECT_EQ(b->UpRgn().boundingRect(), QRect(4, 4, 13, 12));

    // A key set afterwards wins and is given to the bitmap: now the green shows.
    b->SetTransparentColor(clBlue);
    EXPECT_EQ(b->Picture()->Bitmap()->TransparentColor(), clBlue);
    EXPECT_EQ(pixelAt(b->UpImage(), 10, 10), kFace);
    EXPECT_EQ(pixelAt(b->UpImage(), 4, 4), clGreen);

    // A system colour never matches a pixel: the whole rectangle is opaque.
    b->Picture()->Clear();
    b->SetTransparentColor(clBtnFace);
    EXPECT_TRUE(same(b->UpRgn(), QRegion(0, 0, 20, 20)));
}

TEST_F(ClearControlTest, WhiteOnWhiteGetsAnOffWhiteEdgeAndNoPressedRectangle)
{
    // The main window's buttons: white key, white face colour, white light colour.
    auto b = button(sbsPushBtn, bsSingle);
    b->SetPicture(*facePicture(clWhite));
    b->SetColor(clWhite);
    b->SetLightColor(clWhite);
    ASSERT_EQ(b->TransparentColor(), clWhite);
    EXPECT_EQ(pixelAt(b->UpImage(), 4, 4), 0xF7F7F7);
    // The rim in the key colour stays see-through when darkened for the pressed image.
    EXPECT_FALSE(b->DownRgn().contains(QPoint(0, 0)) || b->DownRgn().contains(QPoint(19, 19)));
    EXPECT_EQ(pixelAt(b->DownImage(), 14, 14), kFace);
}

TEST_F(ClearControlTest, TheCaptionIsCentredOnTheControlAndHasNoBlendedPixels)
{
    // Leftmost and topmost pixel of the font colour.
    const auto glyphCorner = [](const TBitmap* image) {
        QPoint corner(image->Width(), image->Height());
        for (int y = 0; y < image->Height(); ++y)
            for (int x = 0; x < image->Width(); ++x)
                if (pixelAt(image, x, y) == clRed)
                    corner = QPoint(std::min(corner.x(), x), std::min(corner.y(), y));
        return corner;
    };
    TFont font;
    font.SetColor(clRed);
    auto make = [&](bool frame, int at) {
        auto b = std::make_unique<Inspected>(nullptr, &host);
        b->BeginUpdate();
        b->SetAutoSize(false);
        b->SetBounds(0, 0, 61, 41);
        b->SetFont(font);
        b->SetCaption("H");
        b->SetCaptionLeft(at);
        b->SetCaptionTop(at);
        if (!frame)
            b->SetOptions(b->Options() - TTransImgOptions{sioBorderAndShadow});
        b->EndUpdate();
        return b;
    };
    // Placed at (0, 0) without the frame, the caption's box starts at (BS, BS).
    const QPoint inBox = glyphCorner(make(false, 0)->UpImage()) - QPoint(1, 1);
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(font);
    RECT box{0, 0, 1000, 1000};
    measure.Canvas()->DrawText("H", box, DT_CALCRECT | DT_NOPREFIX);

    const QPoint expected((61 - (box.right + 1)) / 2 + inBox.x(), (41 - (box.bottom + 1)) / 2 + inBox.y());
    EXPECT_EQ(glyphCorner(make(true, -1)->UpImage()), expected);
    const auto plain = make(false, -1);
    EXPECT_EQ(glyphCorner(plain->UpImage()), expected - QPoint(1, 1));

    // Two colours only: glyph or key.
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 61; ++x)
            ASSERT_TRUE(pixelAt(plain->UpImage(), x, y) == clRed || pixelAt(plain->UpImage(), x, y) == clFuchsia);
}

TEST_F(ClearControlTest, QueuedRegionRequestsMergeIntoOneRegionChange)
{
    auto b = button(sbsPushBtn, bsSingle);
    settle();
    const QRegion sentinel(0, 0, 1, 1);
    b->setMask(sentinel);
    QRegion between;
    b->UpdateRgn();
    QMetaObject::invokeMethod(b.get(), [&] { between = b->mask(); }, Qt::QueuedConnection);
    b->UpdateRgn();
    settle();
    EXPECT_EQ(between, sentinel);  // the first request left the work to the second
    EXPECT_TRUE(same(b->mask(), b->UpRgn()));
}

TEST_F(ClearControlTest, ThePanelTakesItsChildrenAndCanShapeItsForm)
{
    TClearPanel panel(nullptr, &host);
    panel.SetAutoSize(false);
    panel.SetBounds(30, 40, 60, 50);
    panel.show();
    settle();
    // Nothing opaque: the region is a single pixel far outside.
    EXPECT_EQ(panel.mask(), QRegion(-3000, -3000, 1, 1));

    TCustomControl windowed(nullptr, &panel);
    windowed.SetBounds(5, 5, 10, 10);
    windowed.show();
    TImage graphic(nullptr, &panel);
    graphic.SetBounds(30, 20, 6, 6);
    graphic.SetPicture(*squarePicture(4, 1, clWhite, clBlue));
    graphic.Picture()->Bitmap()->SetTransparent(true);
    graphic.show();
    settle();
    EXPECT_TRUE(same(panel.mask(), QRegion(5, 5, 10, 10) + QRegion(30, 20, 6, 6)));

    panel.SetChildGraphicsTrans(true);
    settle();
    EXPECT_TRUE(same(panel.mask(), QRegion(5, 5, 10, 10) + QRegion(31, 21, 2, 2)));

    // The form takes the panel's shape at the panel's place, and loses it again.
    panel.SetFormTrans(true);
    settle();
    EXPECT_TRUE(same(host.mask(), panel.mask().translated(30, 40)));
    panel.SetFormTrans(false);
    EXPECT_TRUE(host.mask().isEmpty());

    // A removed child leaves the shape.
    graphic.setParent(nullptr);
    settle();
    EXPECT_TRUE(same(panel.mask(), QRegion(5, 5, 10, 10)));
}

}  // namespace
