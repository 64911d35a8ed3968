// The application hint component and its hint window on the offscreen
// platform: the raise and the style taken at the next hint, the floating
// text's geometry and pixels, and an owner-drawn hint without a handler.
#include "Newhint.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Control.h"
#include "GraphicsObjects.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>

#include <set>
#include <utility>

namespace {

const std::string kText = " ファイル振り分け１";

RECT textBox(const TFont& font)
{
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Canvas()->Font()->Assign(font);
    RECT r{0, 0, 1000, 0};
    bitmap.Canvas()->DrawText(kText, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    return r;
}

// The hint shown as the application shows it, at (100, 100).
void activate(THintEx& window)
{
    RECT r = window.CalcHintRect(1000, kText);
    window.ActivateHint(RECT{100, 100, 100 + r.right, 100 + r.bottom}, kText);
}

std::set<std::pair<int, int>> pixelsOf(const QImage& image, QRgb colour, QPoint shift = {})
{
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found.insert({x + shift.x(), y + shift.y()});
    return found;
}

}  // namespace

TEST(TAppHint, RaisesLoadedHintsBy8AndTakesANewStyleAtTheNextHint)
{
    TApplication app;
    TComponent form;
    form.BeginLoading();
    auto* hint = new TAppHint(&form);
    hint->SetHintPause(10);
    EXPECT_EQ(app.HintPause(), 10);
    QWidget window;
    window.resize(200, 100);
    TGraphicControl first(nullptr, &window), second(nullptr, &window);
    for (TGraphicControl* c : {&first, &second}) {
        c->SetBounds(c == &first ? 10 : 100, 10, 50, 30);
        c->SetHint(kText);
        c->SetShowHint(true);
    }
    window.show();
    const auto hintOver = [&](TGraphicControl& control) {
        QTest::mouseMove(&control, QPoint(5, 5));
        QTest::qWait(100);
        return dynamic_cast<THintEx*>(app.HintWindow());
    };

    ASSERT_NE(hintOver(first), nullptr);
    const int ordinaryTop = app.HintWindow()->y();
    form.EndLoading();
    ASSERT_NE(hintOver(second), nullptr);
    EXPECT_EQ(app.HintWindow()->y(), ordinaryTop - 8);

    hint->SetHintStyle(hsLineString);
    EXPECT_EQ(app.HintWindow(), nullptr) << "the hint shown goes with the old style";
    THintEx* next = hintOver(first);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->width(), textBox(*hint->Font()).right + 27);
}

// The main window's look, with a red pen: the letters start at (19, 11), ringed
// in the shadow colour only while the shadow is on, and the window's shape
// holds the strokes and the leader line, not the space between them.
TEST(THintEx, LineStringFloatsTheTextWithItsRingAndLeaderLine)
{
    TApplication app;
    TAppHint hint;
    hint.SetHintStyle(hsLineString);
    hint.Font()->SetName("HGS行書体");
    hint.Font()->SetHeight(27);
    hint.Font()->SetStyle(FontStyles({fsBold}));
    hint.Font()->SetColor(clWhite);
    hint.SetShadowColor(clBlack);
    hint.Pen()->SetColor(clRed);
    EXPECT_EQ(QFontInfo(hint.Font()->ToQFont()).family(), QStringLiteral("AoyagiKouzanFontT"));

    const RECT box = textBox(*hint.Font());
    TBitmap reference;
    reference.SetSize(box.right, box.bottom);
    reference.Canvas()->Brush()->SetColor(clBlack);
    reference.Canvas()->FillRect(box);
    reference.Canvas()->Brush()->SetStyle(bsClear);
    reference.Canvas()->Font()->Assign(*hint.Font());
    RECT r = box;
    reference.Canvas()->DrawText(kText, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    const auto letters = pixelsOf(reference.Image(), qRgb(255, 255, 255), QPoint(19, 11));
    ASSERT_FALSE(letters.empty());

    for (const bool shadow : {true, false}) {
        SCOPED_TRACE(shadow);
        hint.SetShadowVisible(shadow);
        THintEx window;
        activate(window);
        const int w = box.right + 27, h = box.bottom + 14;
        EXPECT_EQ(window.width(), w);
        EXPECT_EQ(window.height(), h + 4);
        const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(pixelsOf(shown, qRgb(255, 255, 255)), letters);
        EXPECT_EQ(pixelsOf(shown, qRgb(0, 0, 0)).empty(), !shadow);
        EXPECT_EQ(shown.pixel(w / 2, h - 2), qRgb(255, 0, 0));

        const QRegion shape = window.Region().value_or(QRegion());
        EXPECT_TRUE(QRect(1, 1, w - 2, h - 2).contains(shape.boundingRect()));
        const auto [x, y] = *letters.begin();
        EXPECT_TRUE(shape.contains(QPoint(1, 1)) && shape.contains(QPoint(w / 2, h - 2)) && shape.contains(QPoint(x, y)));
        EXPECT_FALSE(shape.contains(QPoint(w / 2, 4)));
    }
}

TEST(THintEx, OwnerDrawWithoutOnPaintShowsOnlyTheErasedWindow)
{
    TApplication app;
    TAppHint hint;
    hint.SetHintStyle(hsOwnerDraw);
    THintEx window;
    activate(window);
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(pixelsOf(shown, QColor(ToQColor(window.Color())).rgb()).size(), size_t(shown.width() * shown.height()));
}
