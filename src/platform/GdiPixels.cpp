// Fills, frames and single pixels. The raster operations and the pixel access
// they use, shared by every drawing unit, are in GdiInternal.h.
#include "Gdi.h"

#include "GdiInternal.h"

#include <algorithm>

using namespace pictal_platform_internal;

int FillRect(HDC dc, const RECT* rect, const LOGBRUSH& brush)
{
    if (!dc || !rect)
        return FALSE;
    if (!hasSurface(dc) || brush.lbStyle == BS_NULL)
        return TRUE;
    const QRect area = rectFromRECT(*rect) & visibleRect(*dc);
    if (area.isEmpty())
        return TRUE;
    Surface surface = openSurface(*dc);
    const QRgb color = toRgb(brush.lbColor);
    const QImage::Format format = dc->surface->format();
    if (brush.lbStyle == BS_SOLID && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                                      format == QImage::Format_ARGB32_Premultiplied)) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(dc->surface->scanLine(y));
            std::fill(row + area.left(), row + area.right() + 1, color);
        }
        return TRUE;
    }
    const QRgb background = toRgb(dc->state.bkColor);
    const bool opaque = dc->state.bkMode == OPAQUE;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (brush.lbStyle != BS_HATCHED || hatchSet(brush.lbHatch, x, y))
                surface.put(x, y, color);
            else if (opaque)
                surface.put(x, y, background);
        }
    }
    return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, const LOGBRUSH& brush)
{
    if (!dc || !rect)
        return FALSE;
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return TRUE;
    const RECT edges[4] = {{rect->left, rect->top, rect->right, rect->top + 1},
                           {rect->left, rect->bottom - 1, rect->right, rect->bottom},
                           {rect->left, rect->top, rect->left + 1, rect->bottom},
                           {rect->right - 1, rect->top, rect->right, rect->bottom}};
    for (const RECT& edge : edges)
        FillRect(dc, &edge, brush);
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    if (!dc || !visibleRect(*dc).contains(x, y))
        return CLR_INVALID;
    return toColorRef(openSurface(*dc).get(x, y));
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    if (!dc || !visibleRect(*dc).contains(x, y))
        return CLR_INVALID;
    Surface surface = openSurface(*dc);
    surface.put(x, y, toRgb(color));
    return toColorRef(surface.get(x, y));
}
