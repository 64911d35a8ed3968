#include "Color.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

namespace {

TColor paletteColor(QPalette::ColorGroup group, QPalette::ColorRole role)
{
    return FromQColor(QGuiApplication::palette().color(group, role));
}

// Sets the application palette for one test and puts the old one back after it.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : m_saved(QGuiApplication::palette())
    {
        QGuiApplication::setPalette(palette);
    }
    ~PaletteScope() { QGuiApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

}  // namespace

TEST(Color, SystemColoursComeFromTheApplicationPalette)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(40, 50, 60));
    palette.setColor(QPalette::Active, QPalette::Light, QColor(70, 80, 90));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(7, 8, 9));
    const PaletteScope scope(palette);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clBtnFace), paletteColor(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(40, 50, 60));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGB(70, 80, 90));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clGrayText), RGB(4, 5, 6));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(7, 8, 9));
    EXPECT_EQ(ColorToRGB(clHighlight), paletteColor(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ColorToRGB(clBtnText), paletteColor(QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(ColorToRGB(clWindowFrame), paletteColor(QPalette::Active, QPalette::Shadow));
    EXPECT_EQ(ToQColor(clBtnFace), QColor(10, 20, 30));
}

TEST(Color, ExplicitColoursStayAndTheSystemFlagIsStripped)
{
    for (TColor c : {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver, clRed, clLime,
                     clYellow, clBlue, clFuchsia, clAqua, clWhite, TColor{0x123456}})
        EXPECT_EQ(ColorToRGB(c), c);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(clInfoBk), 0x80000018u);
    for (int index = 0; index <= 30; ++index) {
        const TColor rgb = ColorToRGB(SystemColor(index));
        EXPECT_GE(rgb, 0) << index;
        EXPECT_LE(rgb, 0xFFFFFF) << index;
    }
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);  // no such system colour
    EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clDefault), 0);
}

TEST(Color, ChannelsAndQtColours)
{
    // 0x00BBGGRR: red in the low byte.
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(RGB(256 + 1, -1, 0), 0x00FF01);
    EXPECT_EQ(GetRValue(0x563412), 0x12);
    EXPECT_EQ(GetGValue(0x563412), 0x34);
    EXPECT_EQ(GetBValue(0x563412), 0x56);
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(clOlive), QColor(128, 128, 0));
    EXPECT_EQ(FromQColor(QColor(255, 128, 0, 10)), 0x0080FF);
    EXPECT_EQ(FromQColor(ToQColor(0x0A0B0C)), 0x0A0B0C);
}
