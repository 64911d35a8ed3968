// The application hint component and its hint window.
//
// TAppHint is a non-visual component that gives every hint of the application
// its look: creating it makes THintEx the application's hint-window class, and
// THintEx draws each hint from the settings of the current TAppHint (the one
// created last and not yet destroyed) in one of four styles:
//   hsFukidashi   a speech balloon: a box with a tail rising to its top left;
//   hsRoundRect   a box with rounded corners;
//   hsLineString  the text alone, ringed by its shadow colour, floating over
//                 the screen with a thin leader line from the top-left corner
//                 down to the bottom of the text and along it;
//   hsOwnerDraw   drawn by the component's OnPaint.
// Once loaded from a stored layout it also takes over the application's
// show-hint event (raising every hint by 8 pixels) and hint-change event, and
// passes them on to its own OnShowHint and OnHint.
#pragma once

#include "Application.h"
#include "Color.h"
#include "Component.h"
#include "HintWindow.h"

#include <QRegion>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TBrush;
class TCanvas;
class TFont;
class TPen;

enum THintStyle : std::uint8_t { hsFukidashi, hsRoundRect, hsLineString, hsOwnerDraw };

using THintPaintEvent = std::function<void(const std::string& HintStr, TCanvas* Canvas, int Width, int Height)>;

class TAppHint : public TComponent {
public:
    // At run time the new component becomes the current one and installs
    // THintEx. While the owner is being designed a second one is refused
    // with a beep and an Exception.
    explicit TAppHint(TComponent* owner = nullptr);
    // Frees brush, font and pen; if this is the current component, there is
    // none afterwards, the framework's own hint window comes back and the
    // application's hint events no longer lead here.
    ~TAppHint() override;

    // The component hint windows consult (nullptr when there is none).
    static TAppHint* Current() { return FCurrent; }

    TColor BGColor() const { return FBGColor; }
    void SetBGColor(TColor value) { FBGColor = value; }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush& value);
    // The font is copied; any change of it re-installs, so the next hint uses it.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont& value);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen& value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value) { FShadowColor = value; }
    bool ShadowVisible() const { return FShadowVisible; }
    void SetShadowVisible(bool value) { FShadowVisible = value; }
    THintStyle HintStyle() const { return FHintStyle; }
    // A new style takes effect from the next hint shown.
    void SetHintStyle(THintStyle value);

    // The application's values, read and written directly (0 and ignored
    // while there is no application object).
    int HintPause() const;
    void SetHintPause(int ms);
    int HintHidePause() const;
    void SetHintHidePause(int ms);
    int HintShortPause() const;
    void SetHintShortPause(int ms);

    TNotifyEvent OnHint;
    THintPaintEvent OnPaint;
    TShowHintEvent OnShowHint;

protected:
    // Installs again and points the application's hint-change and show-hint
    // events at this component.
    void Loaded() override;

private:
    struct HintHook;
    struct ShowHintHook;

    // THintEx becomes the hint-window class; switching the hint display off
    // and on drops the window in use, so the next hint is made anew.
    void install();

    static inline TAppHint* FCurrent = nullptr;
    TColor FBGColor = clBlack;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    TColor FShadowColor = clBlue;
    bool FShadowVisible = true;
    THintStyle FHintStyle = hsFukidashi;
};

// The hint window of TAppHint. It never takes the focus, activation or the
// pointer (the pointer reaches whatever lies beneath). Its shape is a window
// mask set before it is shown: the balloon or the rounded box, and for
// hsLineString exactly the pixels the hint draws, so everything else shows
// the screen beneath.
class THintEx : public THintWindow {
public:
    // Takes the current component's font (used to measure the hint, too).
    explicit THintEx(TComponent* owner = nullptr);

    // Shapes the window by the current style, then shows it as the framework does.
    void ActivateHint(RECT rect, const std::string& hint) override;

    // The shape the window gave itself (none at first and in styles without one).
    const std::optional<QRegion>& Region() const { return FRegion; }

protected:
    QImage::Format SurfaceFormat() const override { return QImage::Format_ARGB32_Premultiplied; }
    // Nothing while there is no current component; in hsLineString the
    // surface is cleared to transparent (the mask shows the screen there);
    // otherwise the window's colour.
    void EraseBackground() override;
    void Paint() override;

private:
    // The pixels Paint draws for `hint` in a window of the given size,
    // rendered into the surface before the window is shown.
    QRegion paintedRegion(int width, int height, const std::string& hint);
    void setRegion(std::optional<QRegion> region);

    RECT FHintRect{0, 0, 0, 0};  // the last activation's, after the style's change
    std::optional<QRegion> FRegion;
    std::vector<POINT> FOutline;  // the balloon's outline (hsFukidashi)
};
