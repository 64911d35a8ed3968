// The connector line: a non-windowed control that draws one line across its
// rectangle (straight, diagonal, right-angled or a quarter ellipse), with a
// sign (arrow head or another mark) at its start, its end or both, an optional
// drop shadow and optionally filled closed signs.
//
// The drawing is recomputed from the properties and the size on every paint:
// the rectangle inside the bevel, shrunk by LineSettings.Width div 2 + 1 on
// every side, holds the line; signs sit in SignSize + D square boxes (D the
// shadow depth while the shadow is visible, else 0) at the line's ends; each
// part is drawn first as its shadow, moved D pixels right and down, in
// ShadowColor, then in LineSettings. Nothing is validated: odd sizes give the
// coordinates the geometry gives, clipped to the control.
#pragma once

#include "ExGraphicControl.h"
#include "GraphicsObjects.h"

#include <cstdint>

enum TExTechnicalLineTypes : std::uint8_t {
    lsStraightLeftToRight, lsStraightTopToBottom, lsTopLeftToBottomRight, lsBottomLeftToTopRight,
    lsTopLeftEdge, lsBottomLeftEdge, lsTopRightEdge, lsBottomRightEdge,
    lsTopLeftCurve, lsBottomLeftCurve, lsTopRightCurve, lsBottomRightCurve
};

enum TExLineEndings : std::uint8_t {
    leNothing, leOpenArrowUp, leOpenArrowDown, leOpenArrowRight, leOpenArrowLeft,
    leClosedArrowUp, leClosedArrowDown, leClosedArrowLeft, leClosedArrowRight,
    leDiamond, leCircle, leRectangle, leRoundRect, leParallelogramm, leComb,
    leHalfCircleLeft, leHalfCircleRight, leHalfCircleUp, leHalfCircleDown
};

enum TExSignPlaces : std::uint8_t { spEnd, spStart, spBoth, spNoWhere };

class TExTechnicalLine : public TExGraphicControl {
public:
    // 130 x 45; a straight line left to right with a closed arrow at its end,
    // no start sign, SignSize 40, ShadowDepth 6 (shadow hidden), ShadowColor
    // clBtnShadow, no fill. A stored layout states both signs: these are the
    // values of a line built in code.
    explicit TExTechnicalLine(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TExTechnicalLine() override;

    // Each setter stores the value and repaints when it changed, except where
    // said otherwise.
    TExTechnicalLineTypes LineType() const { return FLineType; }
    // With Arrowed on, arrow signs are first turned to point along the new
    // type's line (open arrows stay open, closed ones closed).
    void SetTechnicalLineType(TExTechnicalLineTypes value);
    TExLineEndings LineEndingsign() const { return FLineEndingsign; }
    // Repaints only while the end sign is drawn (spEnd, spBoth).
    void SetLineEnding(TExLineEndings value);
    TExLineEndings LineStartSign() const { return FLineStartSign; }
    // Repaints only while the start sign is drawn (spStart, spBoth).
    void SetLineStart(TExLineEndings value);
    // Pen of the line and the signs; any change to it repaints.
    TPen* LineSettings() { return &FLineSettings; }
    void SetLineSettings(const TPen& pen) { FLineSettings.Assign(pen); }
    // Whether a new LineType re-orients the arrow signs; switching it on
    // changes no sign.
    bool Arrowed() const { return FArrowed; }
    void SetArrowed(bool value) { FArrowed = value; }
    int ShadowDepth() const { return FShadowDepth; }
    void SetShadowDepth(int value);
    int SignSize() const { return FSignSize; }
    void SetSignSize(int value);
    TExSignPlaces SignPlaces() const { return FSignPlaces; }
    void SetSignPlaces(TExSignPlaces value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    // clNone: closed signs are outlined only.
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor value);
    bool ShadowVisible() const { return FShadowVisible; }
    void SetShadowVisible(bool value);

protected:
    void Paint() override;

private:
    template <typename T>
    void change(T& field, T value);
    // Stores a sign; repaints while it is drawn (at place or at both ends).
    void changeSign(TExLineEndings& field, TExLineEndings value, TExSignPlaces place);

    TExTechnicalLineTypes FLineType = lsStraightLeftToRight;
    TExLineEndings FLineEndingsign = leClosedArrowRight;
    TExLineEndings FLineStartSign = leNothing;
    TPen FLineSettings;
    bool FArrowed = false;
    int FShadowDepth = 6;
    int FSignSize = 40;
    TExSignPlaces FSignPlaces = spEnd;
    TColor FShadowColor = clBtnShadow;
    TColor FFillColor = clNone;
    bool FShadowVisible = false;
};
