// The drawing surface of controls and bitmaps: pen, brush and font over a device
// context on a QImage, with Windows' pixel conventions (no antialiasing; lines
// exclude their end point; figures and fills exclude right and bottom; Arc and Pie
// counter-clockwise; the pen's mode applies to lines, outlines and figure fills).
//
// Changes to Pen, Brush and Font apply to the next drawing call. Text is drawn in
// the font's colour; its background is filled with the brush colour while the
// brush is solid and left alone when it is not (SetTextBackground overrides that
// until the brush changes next).
#pragma once

#include "Color.h"
#include "GraphicsObjects.h"
#include "Gdi.h"
#include "UniqueDC.h"
#include "WinTypes.h"

#include <QImage>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TBitmap;

using TSize = SIZE;

class TCanvas {
public:
    TCanvas();
    explicit TCanvas(QImage* surface);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    // The image drawn on (not owned). Changing it ends any painting under way;
    // nullptr detaches the canvas (drawing then does nothing).
    void SetSurface(QImage* surface);
    QImage* Surface() const { return FSurface; }

    // The device context over the same surface, created on first use; it stays
    // the canvas's own. HandleAllocated tells whether it exists.
    HDC Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    TFont* Font() { return &FFont; }
    POINT PenPos() const { return FPenPos; }
    void SetPenPos(POINT value);

    // Raster operation of Draw (for bitmaps that are not transparent), StretchDraw
    // and CopyRect; SRCCOPY by default.
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD value) { FCopyMode = value; }

    // Raised after each drawing call.
    std::function<void()> OnChange;

    // Lines and figures.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    void RoundRect(int left, int top, int right, int bottom, int width, int height);
    void Polygon(const std::vector<POINT>& points);
    void Polyline(const std::vector<POINT>& points);
    void PolyBezier(const std::vector<POINT>& points);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // ALTERNATE (the default) or WINDING, for Polygon.
    void SetPolyFillMode(int mode);
    int PolyFillMode() const { return FPolyFillMode; }

    // Fills with the brush (no pen, no mix mode).
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);

    // Text. TextOut moves the pen position to the end of the text.
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to rect; with a solid brush the whole rect is filled first.
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    // Formatted text (DT_* flags of Gdi.h); returns the text's height. An "&" is
    // always drawn as it stands.
    int DrawText(const std::string& text, RECT& rect, UINT format);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Background of the text from now until the brush changes: the colour, and
    // whether it is filled at all.
    void SetTextBackground(TColor color, bool opaque);

    // Bitmaps. Draw leaves out the key colour's pixels of a Transparent bitmap
    // and blends a bitmap with an alpha channel; StretchDraw does the same,
    // scaled to rect by taking the nearest pixel.
    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const RECT& rect, const TBitmap& bitmap);
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);

    // Single pixels; reading outside the visible part gives clNone.
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Clipping to one rectangle; ClipRect is the visible part of the surface.
    RECT ClipRect();
    void SetClipRect(const RECT& rect);
    void ResetClipRect();

    // Exclusive use of the canvas across threads (drawing happens on the GUI thread).
    void Lock() { FLock.lock(); }
    bool TryLock() { return FLock.try_lock(); }
    void Unlock() { FLock.unlock(); }

private:
    void requirePen();
    void requireBrush();
    void requireFont();
    void changed();
    void drawBitmap(const RECT& rect, const TBitmap& bitmap);

    QImage* FSurface = nullptr;
    UniqueDC FHandle;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    POINT FPenPos;
    DWORD FCopyMode = SRCCOPY;
    int FPolyFillMode = ALTERNATE;
    bool FHasClip = false;
    RECT FClip;
    // The brush the text background was last derived from.
    TColor FBackgroundBrushColor = clNone;
    TBrushStyle FBackgroundBrushStyle = bsSolid;
    bool FBackgroundSet = false;
    std::recursive_mutex FLock;
};
