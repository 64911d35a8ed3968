#include "Canvas.h"

#include "Bitmap.h"

#include <algorithm>
#include <iterator>

namespace {

COLORREF toColorRef(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

int mixMode(TPenMode mode)
{
    static const int modes[] = {
        R2_BLACK,       // pmBlack
        R2_WHITE,       // pmWhite
        R2_NOP,         // pmNop
        R2_NOT,         // pmNot
        R2_COPYPEN,     // pmCopy
        R2_NOTCOPYPEN,  // pmNotCopy
        R2_MERGEPENNOT, // pmMergePenNot
        R2_MASKPENNOT,  // pmMaskPenNot
        R2_MERGENOTPEN, // pmMergeNotPen
        R2_MASKNOTPEN,  // pmMaskNotPen
        R2_MERGEPEN,    // pmMerge
        R2_NOTMERGEPEN, // pmNotMerge
        R2_MASKPEN,     // pmMask
        R2_NOTMASKPEN,  // pmNotMask
        R2_XORPEN,      // pmXor
        R2_NOTXORPEN,   // pmNotXor
    };
    return mode < std::size(modes) ? modes[mode] : R2_COPYPEN;
}

UINT penStyle(TPenStyle style)
{
    switch (style) {
    case psSolid: return PS_SOLID;
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    case psClear: return PS_NULL;
    case psInsideFrame: return PS_INSIDEFRAME;
    }
    return PS_SOLID;
}

LOGBRUSH logBrush(const TBrush& brush)
{
    LOGBRUSH b;
    b.lbColor = toColorRef(brush.Color());
    switch (brush.Style()) {
    case bsSolid: b.lbStyle = BS_SOLID; break;
    case bsClear: b.lbStyle = BS_NULL; break;
    default:
        b.lbStyle = BS_HATCHED;
        b.lbHatch = static_cast<std::uintptr_t>(brush.Style() - bsHorizontal);
        break;
    }
    return b;
}

}  // namespace

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QImage* surface) : FSurface(surface) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetSurface(QImage* surface)
{
    FSurface = surface;
    FHasClip = false;
    if (FHandle) {
        SetDCSurface(FHandle.get(), surface);
        SelectClipRect(FHandle.get(), nullptr);
    }
}

HDC TCanvas::Handle()
{
    if (!FHandle) {
        FHandle.reset(CreateImageDC(FSurface));
        ::MoveToEx(FHandle.get(), FPenPos.x, FPenPos.y, nullptr);
        ::SetPolyFillMode(FHandle.get(), FPolyFillMode);
        if (FHasClip)
            SelectClipRect(FHandle.get(), &FClip);
    }
    return FHandle.get();
}

void TCanvas::changed()
{
    if (OnChange)
        OnChange();
}

void TCanvas::requirePen()
{
    LOGPEN pen;
    pen.lopnStyle = penStyle(FPen.Style());
    pen.lopnWidth.x = FPen.Width();
    pen.lopnColor = toColorRef(FPen.Color());
    SetDCPen(Handle(), pen);
    ::SetROP2(Handle(), mixMode(FPen.Mode()));
}

void TCanvas::requireBrush()
{
    SetDCBrush(Handle(), logBrush(FBrush));
    if (FBackgroundSet && FBackgroundBrushColor == FBrush.Color() && FBackgroundBrushStyle == FBrush.Style())
        return;
    // A solid brush gives text and dash gaps an opaque background of its colour;
    // any other brush leaves the background alone.
    const COLORREF color = toColorRef(FBrush.Color());
    if (FBrush.Style() == bsSolid) {
        ::SetBkColor(Handle(), color);
        ::SetBkMode(Handle(), OPAQUE);
    } else {
        ::SetBkColor(Handle(), ~color & 0xFFFFFF);
        ::SetBkMode(Handle(), TRANSPARENT);
    }
    FBackgroundBrushColor = FBrush.Color();
    FBackgroundBrushStyle = FBrush.Style();
    FBackgroundSet = true;
}

void TCanvas::requireFont()
{
    SetDCFont(Handle(), FFont.ToQFont());
    ::SetTextColor(Handle(), toColorRef(FFont.Color()));
}

void TCanvas::SetTextBackground(TColor color, bool opaque)
{
    requireBrush();
    ::SetBkColor(Handle(), toColorRef(color));
    ::SetBkMode(Handle(), opaque ? OPAQUE : TRANSPARENT);
}

void TCanvas::SetPenPos(POINT value) { MoveTo(value.x, value.y); }

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = POINT{x, y};
    MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    requirePen();
    requireBrush();
    ::LineTo(Handle(), x, y);
    FPenPos = POINT{x, y};
    changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    requirePen();
    requireBrush();
    ::Rectangle(Handle(), left, top, right, bottom);
    changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    requirePen();
    requireBrush();
    ::Ellipse(Handle(), left, top, right, bottom);
    changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int width, int height)
{
    requirePen();
    requireBrush();
    ::RoundRect(Handle(), left, top, right, bottom, width, height);
    changed();
}

void TCanvas::Polygon(const std::vector<POINT>& points)
{
    if (points.size() < 2 || points.size() > 0x7FFFFFFF)
        return;
    requirePen();
    requireBrush();
    ::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
    changed();
}

void TCanvas::Polyline(const std::vector<POINT>& points)
{
    if (points.size() < 2 || points.size() > 0x7FFFFFFF)
        return;
    requirePen();
    requireBrush();
    ::Polyline(Handle(), points.data(), static_cast<int>(points.size()));
    changed();
}

void TCanvas::PolyBezier(const std::vector<POINT>& points)
{
    requirePen();
    requireBrush();
    ::PolyBezier(Handle(), points.data(), static_cast<DWORD>(std::min<std::size_t>(points.size(), 0xFFFFFFFF)));
    changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    requirePen();
    requireBrush();
    ::Arc(Handle(), x1, y1, x2, y2, x3, y3, x4, y4);
    changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    requirePen();
    requireBrush();
    ::Pie(Handle(), x1, y1, x2, y2, x3, y3, x4, y4);
    changed();
}

void TCanvas::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return;
    FPolyFillMode = mode;
    if (FHandle)
        ::SetPolyFillMode(FHandle.get(), mode);
}

void TCanvas::FillRect(const RECT& rect)
{
    requireBrush();
    ::FillRect(Handle(), &rect, logBrush(FBrush));
    changed();
}

void TCanvas::FrameRect(const RECT& rect)
{
    requireBrush();
    ::FrameRect(Handle(), &rect, logBrush(FBrush));
    changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    requireBrush();
    requireFont();
    ::TextOutA(Handle(), x, y, text.data(), static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF)));
    MoveTo(x + TextWidth(text), y);
    changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text)
{
    requireBrush();
    requireFont();
    const UINT options = ETO_CLIPPED | (FBrush.Style() != bsClear ? ETO_OPAQUE : 0);
    ::ExtTextOutA(Handle(), x, y, options, &rect, text.data(),
                  static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF)));
    changed();
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format)
{
    requireBrush();
    requireFont();
    const int height =
        ::DrawTextA(Handle(), text.data(), static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF)), &rect, format);
    if (!(format & DT_CALCRECT))
        changed();
    return height;
}

TSize TCanvas::TextExtent(const std::string& text)
{
    requireFont();
    TSize size;
    GetTextExtentPoint32A(Handle(), text.data(), static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF)),
                          &size);
    return size;
}

void TCanvas::drawBitmap(const RECT& rect, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    requireBrush();  // the pattern of raster operations that use one
    ImageDrawOptions options;
    options.rop = FCopyMode;
    options.blendAlpha = true;
    if (bitmap.Transparent()) {
        options.rop = SRCCOPY;
        options.useKey = true;
        options.key = toColorRef(bitmap.TransparentColor());
    }
    DrawImageRect(Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, bitmap.Image(), 0,
                  0, bitmap.Width(), bitmap.Height(), options);
    changed();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    drawBitmap(RECT{x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const RECT& rect, const TBitmap& bitmap) { drawBitmap(rect, bitmap); }

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect)
{
    if (!source.Surface())
        return;
    requireBrush();
    StretchBlt(Handle(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Handle(),
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, FCopyMode);
    changed();
}

TColor TCanvas::Pixel(int x, int y)
{
    const COLORREF color = ::GetPixel(Handle(), x, y);
    return color == CLR_INVALID ? clNone : static_cast<TColor>(color);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    ::SetPixel(Handle(), x, y, toColorRef(color));
    changed();
}

RECT TCanvas::ClipRect()
{
    RECT rect;
    GetClipBox(Handle(), &rect);
    return rect;
}

void TCanvas::SetClipRect(const RECT& rect)
{
    FHasClip = true;
    FClip = rect;
    SelectClipRect(Handle(), &rect);
}

void TCanvas::ResetClipRect()
{
    FHasClip = false;
    SelectClipRect(Handle(), nullptr);
}
