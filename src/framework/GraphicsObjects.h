// The drawing tools of a canvas: pen, brush and font. Each one reports a change of
// any of its values through OnChange (setters only when the value really changed,
// Assign always once).
#pragma once

#include "Color.h"
#include "WinTypes.h"  // the character sets

#include <QFont>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

class TGraphicsObject {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    virtual ~TGraphicsObject() = default;

    std::function<void(TGraphicsObject*)> OnChange;

protected:
    void Changed();
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Width 0 or 1 is a one-pixel line; wider pens draw with round ends.
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);

    void Assign(const TPen& source);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle : std::uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);

    void Assign(const TBrush& source);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = std::uint8_t;  // bit (1 << style) for each style in the set

inline constexpr TFontStyles FontStyleBit(TFontStyle style) { return static_cast<TFontStyles>(1u << style); }
inline constexpr TFontStyles FontStyles(std::initializer_list<TFontStyle> styles)
{
    TFontStyles set = 0;
    for (TFontStyle style : styles)
        set |= FontStyleBit(style);
    return set;
}
inline constexpr bool HasFontStyle(TFontStyles set, TFontStyle style) { return (set & FontStyleBit(style)) != 0; }

class TFont : public TGraphicsObject {
public:
    // The family as the program names it; Windows families are substituted by
    // installed ones when the font is used (see FontSubstitution.h).
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    // Pixel height of the characters. The sign is ignored (a Windows-style
    // negative height gives the same size); 0 means the default of 11 pixels.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    // Size in points at 96 pixels per inch: Height = -Size * 96 / 72.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    std::uint8_t Charset() const { return FCharset; }
    void SetCharset(std::uint8_t value);

    void Assign(const TFont& source);

    // The Qt font: family, pixel size and styles.
    QFont ToQFont() const;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = 11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    std::uint8_t FCharset = DEFAULT_CHARSET;
};
