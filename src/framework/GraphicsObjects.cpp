#include "GraphicsObjects.h"

#include "FontSubstitution.h"

#include <cstdlib>

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

namespace {

// Stores value in field and reports the change when it differs.
template <typename T>
void Update(T& field, const T& value, const std::function<void()>& changed)
{
    if (field == value)
        return;
    field = value;
    changed();
}

}  // namespace

// ---- TPen

void TPen::SetColor(TColor value) { Update(FColor, value, [this] { Changed(); }); }
void TPen::SetWidth(int value) { Update(FWidth, value < 0 ? 0 : value, [this] { Changed(); }); }
void TPen::SetStyle(TPenStyle value) { Update(FStyle, value, [this] { Changed(); }); }
void TPen::SetMode(TPenMode value) { Update(FMode, value, [this] { Changed(); }); }

void TPen::Assign(const TPen& source)
{
    if (&source == this)
        return;
    FColor = source.FColor;
    FWidth = source.FWidth;
    FStyle = source.FStyle;
    FMode = source.FMode;
    Changed();
}

// ---- TBrush

void TBrush::SetColor(TColor value) { Update(FColor, value, [this] { Changed(); }); }
void TBrush::SetStyle(TBrushStyle value) { Update(FStyle, value, [this] { Changed(); }); }

void TBrush::Assign(const TBrush& source)
{
    if (&source == this)
        return;
    FColor = source.FColor;
    FStyle = source.FStyle;
    Changed();
}

// ---- TFont

void TFont::SetName(const std::string& value) { Update(FName, value, [this] { Changed(); }); }
void TFont::SetHeight(int value) { Update(FHeight, value, [this] { Changed(); }); }
void TFont::SetStyle(TFontStyles value) { Update(FStyle, value, [this] { Changed(); }); }
void TFont::SetColor(TColor value) { Update(FColor, value, [this] { Changed(); }); }
void TFont::SetCharset(std::uint8_t value) { Update(FCharset, value, [this] { Changed(); }); }

int TFont::Size() const
{
    // Rounded as Windows' MulDiv rounds: half away from zero.
    const int pixels = std::abs(FHeight == 0 ? 11 : FHeight);
    return (pixels * 72 + 48) / 96;
}

void TFont::SetSize(int points)
{
    const int magnitude = (std::abs(points) * 96 + 36) / 72;
    SetHeight(points < 0 ? magnitude : -magnitude);
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    FName = source.FName;
    FHeight = source.FHeight;
    FStyle = source.FStyle;
    FColor = source.FColor;
    FCharset = source.FCharset;
    Changed();
}

QFont TFont::ToQFont() const
{
    EnsureFontSubstitutions();
    QFont font(QString::fromStdString(FName));
    font.setPixelSize(FHeight == 0 ? 11 : std::abs(FHeight));
    font.setBold(HasFontStyle(FStyle, fsBold));
    font.setItalic(HasFontStyle(FStyle, fsItalic));
    font.setUnderline(HasFontStyle(FStyle, fsUnderline));
    font.setStrikeOut(HasFontStyle(FStyle, fsStrikeOut));
    return font;
}
