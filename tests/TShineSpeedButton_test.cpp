#include "Shinespdbtn.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Messages.h"
#include "SpeedButton.h"

#include <gtest/gtest.h>

#include <QCursor>

#include <algorithm>
#include <QTest>

#include <string>
#include <vector>

namespace {

constexpr TColor kP = RGB(0x40, 0x80, 0xC0);

// A 7 x 7 glyph on white (the key colour): kP at (3, 3) and (4, 3), red at (5, 5).
void makeTestGlyph(TBitmap& glyph)
{
    glyph.SetPixelFormat(pf24bit);
    glyph.SetSize(7, 7);
    glyph.Canvas()->SetPixel(3, 3, kP);
    glyph.Canvas()->SetPixel(4, 3, kP);
    glyph.Canvas()->SetPixel(5, 5, clRed);
}

TColor at(TShineSpeedButton& b, int x, int y)
{
    return FromQColor(b.grab().toImage().pixelColor(x, y));
}

// The window holding the buttons.
struct Window : QWidget {
    Window() { resize(300, 300); }
};

void click(TShineSpeedButton& b, QPoint releaseAt = QPoint(5, 5))
{
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, releaseAt);
}

}  // namespace

// The glyph (7 x 7) stands centred at (9, 9) in states 2 and 4; the face is
// silver. White is the key: its pixels show the face.
TEST(TShineSpeedButton, GlyphEffectsAndDisabledLooksAtTellingPixels)
{
    const TColor face = clSilver, yellow = clYellow;
    const struct {
        bool disabled;
        int look;  // TActiveImageType or TDisabledImageType
        int x, y;  // in the glyph
        TColor expected;
    } rows[] = {
        {false, aiNormal, 3, 3, kP},
        {false, aiXorLight, 3, 3, RGB(0xBF, 0x7F, 0xC0)},
        {false, aiHalfLight, 3, 3, RGB(159, 191, 96)},
        {false, aiQuaterLight, 3, 3, RGB(207, 223, 48)},
        {false, aiAddLight, 3, 3, RGB(255, 255, 192)},
        {false, aiAddLight, 5, 5, RGB(255, 255, 0)},
        {false, aiAddLight, 0, 0, face},
        {false, aiFrameLight, 2, 3, yellow},
        {false, aiFrameLight, 5, 4, yellow},
        {false, aiFrameLight, 1, 3, face},
        {false, aiFrameLight, 3, 3, kP},
        {false, aiFrameLight2, 1, 3, yellow},
        {false, aiFrameLight2, 0, 3, face},
        {false, aiMaskLight, 3, 3, kP},      // count 24
        {false, aiMaskLight, 4, 3, yellow},  // count 25
        {true, diGrayscale, 3, 3, RGB(128, 128, 128)},
        {true, diGrayscale, 5, 5, RGB(85, 85, 85)},
        {true, diAlphaHalfTrans, 3, 3, RGB(128, 160, 192)},
        {true, diAlphaQuaterTrans, 3, 3, RGB(160, 176, 192)},
        {true, diMaskTrans, 3, 3, kP},
        {true, diMaskTrans, 4, 3, face},
        // The edge mask is white at (2..4, 2..3) and (4..5, 4..5): the shadow
        // there, the highlight one pixel down-right where no shadow lies.
        {true, diDefault, 2, 2, clMaroon},
        {true, diDefault, 3, 3, clMaroon},
        {true, diDefault, 3, 4, clLime},
        {true, diDefault, 6, 6, clLime},
        {true, diDefault, 0, 0, face},
    };
    Window window;
    TBitmap glyph;
    makeTestGlyph(glyph);
    for (const auto& r : rows) {
        TShineSpeedButton b(nullptr, &window);
        b.Colors()->SetColor(face);
        b.SetDisabledShadow(clMaroon);
        b.SetDisabledHighlight(clLime);
        b.SetGlyph(&glyph);
        b.show();
        if (r.disabled) {
            b.SetDisabledImage(TDisabledImageType(r.look));
            b.SetEnabled(false);
        } else {
            b.SetActiveImage(TActiveImageType(r.look));
            b.Perform(CM_MOUSEENTER);
            ASSERT_EQ(b.State(), shActive);
        }
        EXPECT_EQ(at(b, 9 + r.x, 9 + r.y), r.expected) << (r.disabled ? "disabled " : "hot ") << r.look << " at "
                                                       << r.x << ", " << r.y;
        if (r.disabled) {
            EXPECT_EQ(b.State(), shDisabled);
        }
    }
}

// The dither's count moves on once more at each row's end when the glyph's
// height is even, whatever its width: 4 x 3 and 3 x 4 give stripes, 4 x 4 a
// checkerboard. The second row tells them apart.
TEST(TShineSpeedButton, TheDitherFollowsTheGlyphHeight)
{
    const struct {
        int w, h;
        bool disabled;
        TColor at01, at11;  // glyph pixels (0, 1) and (1, 1)
    } rows[] = {
        {4, 3, false, clNavy, clLime},
        {3, 4, false, clNavy, clLime},
        {4, 4, false, clLime, clNavy},
        {4, 3, true, clNavy, clSilver},
        {4, 4, true, clSilver, clNavy},
    };
    Window window;
    for (const auto& r : rows) {
        TBitmap glyph;
        glyph.SetSize(r.w, r.h);
        glyph.Canvas()->Brush()->SetColor(clNavy);
        glyph.Canvas()->FillRect(RECT{0, 0, r.w, r.h});
        glyph.Canvas()->SetPixel(0, r.h - 1, clWhite);  // the key
        TShineSpeedButton b(nullptr, &window);
        b.Colors()->SetColor(clSilver);
        b.SetActiveImage(aiMaskLight);
        b.SetShineColor(clLime);
        b.SetDisabledImage(diMaskTrans);
        b.SetGlyph(&glyph);
        b.show();
        if (r.disabled)
            b.SetEnabled(false);
        else
            b.Perform(CM_MOUSEENTER);
        const int left = (25 - r.w) / 2, top = (25 - r.h) / 2;
        EXPECT_EQ(at(b, left + 0, top + 1), r.at01) << r.w << " x " << r.h << (r.disabled ? " disabled" : " hot");
        EXPECT_EQ(at(b, left + 1, top + 1), r.at11) << r.w << " x " << r.h << (r.disabled ? " disabled" : " hot");
    }
}

// The outline effects may paint the glyph's bottom-left pixel; the key colour
// stays the one the glyph had, so the glow shows and the background does not.
TEST(TShineSpeedButton, TheKeyColourSurvivesAGlowOnTheBottomLeftPixel)
{
    Window window;
    TBitmap glyph;
    glyph.SetSize(5, 5);
    glyph.Canvas()->SetPixel(1, 4, clBlue);
    TShineSpeedButton b(nullptr, &window);
    b.Colors()->SetColor(clSilver);
    b.SetGlyph(&glyph);
    b.show();
    b.Perform(CM_MOUSEENTER);
    EXPECT_EQ(at(b, 10 + 0, 10 + 4), clYellow);
    EXPECT_EQ(at(b, 10 + 1, 10 + 4), clBlue);
    EXPECT_EQ(at(b, 10 + 4, 10 + 0), clSilver);
}

// Up colours: face silver, highlight white, shadow grey, dark shadow black.
// Pressed colours: face aqua, highlight yellow, shadow navy, dark shadow maroon.
// Lines exclude their end point, so some corners keep the face.
TEST(TShineSpeedButton, FrameStylesUpAndDown)
{
    const TColor up = clSilver, pressed = clAqua;
    const struct {
        TFrameType type;
        bool down;
        std::vector<std::pair<QPoint, TColor>> pixels;
    } rows[] = {
        {ftFlatFrame, false, {{{5, 0}, clWhite}, {{0, 5}, clWhite}, {{5, 24}, clGray}, {{24, 5}, clGray},
                              {{24, 24}, clGray}, {{0, 24}, up}, {{24, 0}, up}, {{1, 1}, up}}},
        {ftFlatFrame, true, {{{5, 0}, clNavy}, {{0, 5}, clNavy}, {{5, 24}, clYellow}, {{24, 5}, clYellow},
                             {{1, 1}, pressed}}},
        {ftNormalFrame, false, {{{5, 0}, clWhite}, {{0, 23}, clWhite}, {{5, 23}, clGray}, {{23, 5}, clGray},
                                {{5, 24}, clBlack}, {{24, 5}, clBlack}, {{0, 24}, up}, {{24, 0}, up}, {{1, 1}, up}}},
        {ftNormalFrame, true, {{{5, 1}, clNavy}, {{1, 5}, clNavy}, {{5, 0}, clMaroon}, {{0, 5}, clMaroon},
                               {{5, 24}, clYellow}, {{24, 5}, clYellow}, {{2, 2}, pressed}}},
        {ftEnclosedFrame, false, {{{0, 0}, clBlack}, {{24, 24}, clBlack}, {{5, 1}, clWhite}, {{1, 5}, clWhite},
                                  {{23, 23}, clGray}, {{5, 23}, clGray}, {{1, 23}, up}, {{2, 2}, up}}},
        {ftEnclosedFrame, true, {{{0, 0}, clBlack}, {{24, 24}, clBlack}, {{5, 1}, clNavy}, {{23, 23}, clYellow},
                                 {{2, 2}, pressed}}},
    };
    Window window;
    for (const auto& r : rows) {
        TShineSpeedButton b(nullptr, &window);
        b.Colors()->SetColor(up);
        b.Colors()->SetHighlight(clWhite);
        b.Colors()->SetShadow(clGray);
        b.Colors()->SetDarkShadow(clBlack);
        TShineBtnColors pressedColors(pressed);
        pressedColors.SetHighlight(clYellow);
        pressedColors.SetShadow(clNavy);
        pressedColors.SetDarkShadow(clMaroon);
        b.SetPressedColors(pressedColors);
        b.SetFrameType(r.type);
        b.SetGroupIndex(7);
        b.SetDown(r.down);
        b.show();
        ASSERT_EQ(b.State(), r.down ? shDown : shUp);
        for (const auto& [p, colour] : r.pixels)
            EXPECT_EQ(at(b, p.x(), p.y()), colour) << r.type << (r.down ? " down at " : " up at ") << p.x() << ", "
                                                    << p.y();
        // Each state's frame can be switched off.
        if (r.down)
            b.SetDownFrame(false);
        else
            b.SetUpFrame(false);
        EXPECT_EQ(at(b, 5, 24), r.down ? pressed : up) << r.type;
    }
}

TEST(TShineSpeedButton, TheGradientFaceRunsFromColorToGradColor)
{
    Window window;
    for (const bool vertical : {false, true}) {
        TShineSpeedButton b(nullptr, &window);
        b.SetBounds(0, 0, vertical ? 10 : 256, vertical ? 256 : 10);
        b.SetUpFrame(false);
        b.Colors()->SetColor(RGB(0, 100, 255));
        b.Colors()->SetGradColor(RGB(255, 0, 55));
        b.Colors()->SetGradVertical(vertical);
        b.Colors()->SetGradation(true);
        b.show();
        const auto along = [&](int i) { return vertical ? at(b, 5, i) : at(b, i, 5); };
        EXPECT_EQ(along(0), RGB(0, 100, 255));
        // Channel c + (g - c) * i / 255, truncated toward zero.
        EXPECT_EQ(along(128), RGB(128, 100 - 100 * 128 / 255, 255 - 200 * 128 / 255));
        EXPECT_EQ(along(255), RGB(255, 0, 55));
    }
}

TEST(TShineSpeedButton, ContentPlacementByLayoutAndMargin)
{
    Window window;
    // A 4 x 3 blue glyph (its bottom-left pixel white, the key): where its
    // top-left pixel lands.
    TBitmap glyph;
    glyph.SetSize(4, 3);
    glyph.Canvas()->Brush()->SetColor(clBlue);
    glyph.Canvas()->FillRect(RECT{0, 0, 4, 3});
    glyph.Canvas()->SetPixel(0, 2, clWhite);
    const struct {
        TButtonLayout layout;
        int margin;
        QPoint topLeft;
    } rows[] = {
        {blGlyphLeft, -1, {10, 11}}, {blGlyphBottom, -1, {10, 11}}, {blGlyphLeft, 2, {2, 11}},
        {blGlyphRight, 2, {19, 11}}, {blGlyphTop, 2, {10, 2}},      {blGlyphBottom, 2, {10, 20}},
    };
    for (const auto& r : rows) {
        TShineSpeedButton b(nullptr, &window);
        b.SetGlyph(&glyph);
        b.SetLayout(r.layout);
        b.SetMargin(r.margin);
        b.show();
        EXPECT_EQ(at(b, r.topLeft.x(), r.topLeft.y()), clBlue) << r.layout << " " << r.margin;
        EXPECT_NE(at(b, r.topLeft.x() - 1, r.topLeft.y()), clBlue) << r.layout << " " << r.margin;
        EXPECT_NE(at(b, r.topLeft.x(), r.topLeft.y() - 1), clBlue) << r.layout << " " << r.margin;
    }

    // Down, the content moves one pixel right and down.
    TShineSpeedButton down(nullptr, &window);
    down.SetGlyph(&glyph);
    down.SetGroupIndex(1);
    down.SetDown(true);
    down.show();
    EXPECT_EQ(at(down, 11, 12), clBlue);
    EXPECT_NE(at(down, 10, 12), clBlue);
    EXPECT_NE(at(down, 11, 11), clBlue);

    // Without a glyph, the top layout still keeps the spacing above the
    // caption: the caption stands 2 pixels lower than with the bottom layout.
    TShineSpeedButton top(nullptr, &window), bottom(nullptr, &window);
    for (TShineSpeedButton* b : {&top, &bottom}) {
        b->SetCaption("W");
        b->Font()->SetColor(clBlack);
        b->SetUpFrame(false);
        b->show();
    }
    top.SetLayout(blGlyphTop);
    bottom.SetLayout(blGlyphBottom);
    const QImage t = top.grab().toImage(), u = bottom.grab().toImage();
    EXPECT_NE(t, u);
    EXPECT_EQ(t.copy(0, 2, 25, 23), u.copy(0, 0, 25, 23));
}

TEST(TShineSpeedButton, CaptionCopiesInTheirColours)
{
    Window window;
    TShineSpeedButton b(nullptr, &window);
    b.SetBounds(0, 0, 60, 30);
    b.SetCaption("WWW");
    b.Colors()->SetColor(clSilver);
    b.Font()->SetColor(clBlack);
    b.SetUpFrame(false);
    b.show();
    const auto count = [&](TColor colour) {
        const QImage image = b.grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += FromQColor(image.pixelColor(x, y)) == colour;
        return n;
    };
    EXPECT_GT(count(clBlack), 5);
    EXPECT_EQ(count(clRed), 0);
    b.SetFontHighlight(clRed);
    EXPECT_GT(count(clRed), 0) << "the highlight copy alone";
    EXPECT_EQ(count(clLime), 0);
    b.SetFontShadow(clLime);
    EXPECT_GT(count(clLime), 0);
    // Hot, the caption takes ActiveFont's colour.
    b.ActiveFont()->SetColor(clBlue);
    b.Perform(CM_MOUSEENTER);
    EXPECT_EQ(count(clBlack), 0);
    EXPECT_GT(count(clBlue), 5);
    b.Perform(CM_MOUSELEAVE);
    b.SetEnabled(false);
    b.SetDisabledShadow(clMaroon);
    EXPECT_EQ(count(clBlack) + count(clRed) + count(clLime), 0);
    EXPECT_GT(count(clMaroon), 5);
}

TEST(TShineSpeedButton, AGroupHasOneButtonDownAlsoWithAPlainSpeedButton)
{
    Window window;
    QWidget other(&window);
    other.setGeometry(150, 0, 100, 100);
    TShineSpeedButton a(nullptr, &window), b(nullptr, &window), elsewhere(nullptr, &other);
    TSpeedButton plain(nullptr, &window);
    a.move(0, 0);
    b.move(30, 0);
    plain.move(60, 0);
    for (TShineSpeedButton* s : {&a, &b, &elsewhere})
        s->SetGroupIndex(1);
    plain.SetGroupIndex(1);
    elsewhere.SetDown(true);
    std::vector<std::string> events;
    a.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    a.OnClick = [&](TObject*) { events.push_back(a.Down() ? "click down" : "click up"); };
    b.OnClick = [&](TObject*) { events.push_back("b click"); };
    window.show();

    click(a);
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(events, (std::vector<std::string>{"up", "click down"})) << "the click follows the release";
    b.SetDown(true);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_EQ(b.State(), shDown);
    plain.SetDown(true);
    EXPECT_FALSE(b.Down()) << "a plain speed button of the group raises it";
    EXPECT_EQ(b.State(), shUp);
    click(a);
    EXPECT_TRUE(a.Down());
    EXPECT_FALSE(plain.Down()) << "and is raised by it";
    EXPECT_TRUE(elsewhere.Down()) << "another parent";

    // Without AllowAllUp the down button stays down.
    a.SetDown(false);
    click(a);
    EXPECT_TRUE(a.Down());
    // Released outside: no change, no click.
    events.clear();
    click(b, QPoint(100, 100));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(events, std::vector<std::string>{});

    // AllowAllUp is the group's.
    plain.SetAllowAllUp(true);
    EXPECT_TRUE(a.AllowAllUp() && b.AllowAllUp());
    EXPECT_FALSE(elsewhere.AllowAllUp());
    click(a);
    EXPECT_FALSE(a.Down());
    a.SetAllowAllUp(false);
    EXPECT_FALSE(plain.AllowAllUp() || b.AllowAllUp());

    TShineSpeedButton single(nullptr, &window);
    single.SetDown(true);
    click(single);
    EXPECT_FALSE(single.Down()) << "only a grouped button latches";
}

TEST(TShineSpeedButton, ClickDownHookDoubleClickAndAccelerator)
{
    Window window;
    TShineSpeedButton b(nullptr, &window);
    b.SetCaption("&Open");
    std::vector<std::string> events;
    b.OnClick = [&](TObject*) { events.push_back("click " + std::to_string(b.State())); };
    b.OnDblClick = [&](TObject*) { events.push_back("double"); };
    window.show();

    b.SetClickDownHook(true);
    b.Perform(CM_MOUSEENTER);
    click(b);
    EXPECT_EQ(events, std::vector<std::string>{"click 0"}) << "the pressed look while OnClick runs";
    EXPECT_NE(b.State(), shActiveDown);

    // A double click: press, release, the second press, release.
    const auto doubleClick = [&] {
        click(b);
        QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    };
    events.clear();
    doubleClick();
    EXPECT_EQ(std::count(events.begin(), events.end(), "double"), 0) << "up: no double click";
    b.SetGroupIndex(3);
    b.SetDown(true);
    events.clear();
    doubleClick();
    EXPECT_EQ(std::count(events.begin(), events.end(), "double"), 1) << "down (and kept down by its group)";

    // The accelerator clicks; with AccelCharDown it also toggles Down.
    b.SetClickDownHook(false);
    b.SetAllowAllUp(true);
    b.SetDown(false);
    events.clear();
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'x'), 0);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'o'), 1);
    EXPECT_FALSE(b.Down());
    b.SetAccelCharDown(true);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'O'), 1);
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(events.size(), 2u);
    b.SetEnabled(false);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'o'), 0);
    EXPECT_FALSE(b.Down()) << "disabling raises the button";
}

// The leave notice is lost (filtered away): the 200 ms poll finds the cursor
// outside and ends the hot state; with the cursor over the button it stays.
TEST(TShineSpeedButton, ThePollEndsTheHotStateWhenNoLeaveArrives)
{
    struct DropLeave : QObject {
        bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Leave; }
    } dropLeave;
    Window window;
    TShineSpeedButton b(nullptr, &window);
    b.move(50, 50);
    b.installEventFilter(&dropLeave);
    int leaves = 0;
    b.OnMouseLeave = [&](TObject*, TShiftState, int, int) { ++leaves; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QCursor::setPos(b.mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.State() == shActive; }, 2000));
    QTest::qWait(450);
    EXPECT_EQ(b.State(), shActive) << "the cursor is over the button";
    EXPECT_EQ(leaves, 0);

    QCursor::setPos(window.mapToGlobal(QPoint(250, 250)));
    EXPECT_EQ(b.State(), shActive) << "no leave arrived";
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.State() == shUp; }, 5000));
    EXPECT_EQ(leaves, 1);
}

// Sizes that leave no room: a button of no size, glyphs of one row or one
// column, and a glyph larger than the button, in every hot and disabled look
// and both ways of drawing.
TEST(TShineSpeedButton, OddSizesInEveryLook)
{
    struct Button : TShineSpeedButton {
        using TShineSpeedButton::TShineSpeedButton;
        using TShineSpeedButton::Paint;
    };
    Window window;
    const QSize glyphSizes[] = {{1, 1}, {1, 6}, {6, 1}, {40, 40}};
    for (const QSize size : glyphSizes) {
        TBitmap glyph;
        glyph.SetSize(size.width(), size.height());
        glyph.Canvas()->Brush()->SetColor(clNavy);
        glyph.Canvas()->FillRect(RECT{0, 0, size.width() - 1, size.height() - 1});
        for (const QSize bounds : {QSize(0, 0), QSize(25, 25)}) {
            for (const bool transparent : {false, true}) {
                // The hot looks, then the disabled ones.
                constexpr int kHotLooks = aiMaskLight + 1;
                for (int look = 0; look < kHotLooks + diMaskTrans + 1; ++look) {
                    Button b(nullptr, &window);
                    b.SetBounds(0, 0, bounds.width(), bounds.height());
                    b.SetCaption("&W");
                    b.SetGlyph(&glyph);
                    b.SetTransparent(transparent);
                    b.SetFrameType(ftEnclosedFrame);
                    b.Colors()->SetDarkShadow(clMaroon);
                    b.show();
                    if (look < kHotLooks) {
                        b.SetActiveImage(TActiveImageType(look));
                        b.Perform(CM_MOUSEENTER);
                    } else {
                        b.SetDisabledImage(TDisabledImageType(look - kHotLooks));
                        b.SetEnabled(false);
                    }
                    b.Paint();
                    if (bounds.isEmpty() || transparent || size.width() < 40)
                        continue;
                    EXPECT_EQ(at(b, 0, 0), clMaroon) << "the frame over the glyph";
                    // The glyph is centred: its pixel (19, 19) lies at (12, 12).
                    const TColor middle = at(b, 12, 12);
                    if (look == aiXorLight) {
                        EXPECT_EQ(middle, RGB(255, 255, 128)) << "navy xor yellow";
                    } else if (look == kHotLooks + diGrayscale) {
                        EXPECT_EQ(middle, RGB(42, 42, 42));
                    } else if (look == aiNormal || look == aiFrameLight) {
                        EXPECT_EQ(middle, clNavy);
                    }
                }
            }
        }
    }
}

// "&" marks the accelerator: the mark is not shown and the character is
// underlined; "&&" shows one "&".
TEST(TShineSpeedButton, TheAcceleratorMarkIsNotShown)
{
    Window window;
    const auto image = [&](const char* caption) {
        TShineSpeedButton b(nullptr, &window);
        b.SetBounds(0, 0, 40, 30);
        b.SetCaption(caption);
        b.Colors()->SetColor(clWhite);
        b.Font()->SetColor(clBlack);
        b.SetUpFrame(false);
        b.show();
        return b.grab().toImage();
    };
    const auto ink = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == Qt::black;
        return n;
    };
    EXPECT_EQ(image("&&"), image("&"));
    const QImage marked = image("&W"), plain = image("W");
    EXPECT_EQ(marked.copy(0, 0, 40, 15), plain.copy(0, 0, 40, 15)) << "the W where it stands without the mark";
    EXPECT_GT(ink(marked), ink(plain) + 3) << "and underlined";
}
