// Device contexts: creation, surfaces, the drawing state and its saving, clipping.
#include "Gdi.h"

#include "GdiInternal.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

using namespace pictal_platform_internal;

namespace {

// Whether the image's format is one that Qt can paint on; a memory context
// takes over the reference's format only then.
bool paintable(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8: return false;
    default: return !image.isNull();
    }
}

}  // namespace

HDC CreateImageDC(QImage* surface)
{
    auto* dc = new DeviceContext;
    dc->surface = surface;
    dc->state.font.setPixelSize(11);
    return dc;
}

HDC CreateMemoryDC(HDC reference, int width, int height)
{
    if (width < 0 || height < 0)
        return nullptr;
    QImage::Format format = QImage::Format_RGB32;
    if (hasSurface(reference) && paintable(*reference->surface))
        format = reference->surface->format();
    auto image = std::make_unique<QImage>(width, height, format);
    if (width > 0 && height > 0) {
        if (image->isNull())
            return nullptr;
        image->fill(Qt::black);
    }
    HDC dc = CreateImageDC(image.get());
    dc->ownSurface = std::move(image);
    return dc;
}

BOOL DeleteDC(HDC dc)
{
    if (!dc)
        return FALSE;
    delete dc;
    return TRUE;
}

void SetDCSurface(HDC dc, QImage* surface)
{
    if (dc)
        dc->surface = surface;
}

int GetDeviceCaps(HDC dc, int index)
{
    const bool ok = hasSurface(dc);
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return ok ? dc->surface->width() : 0;
    case VERTRES: return ok ? dc->surface->height() : 0;
    case BITSPIXEL: return ok ? dc->surface->depth() : 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
    }
}

int SaveDC(HDC dc)
{
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC dc, int saved)
{
    if (!dc || dc->saved.empty())
        return FALSE;
    const int count = static_cast<int>(dc->saved.size());
    const int level = saved < 0 ? count + 1 + saved : saved;
    if (level < 1 || level > count)
        return FALSE;
    dc->state = dc->saved[static_cast<std::size_t>(level - 1)];
    dc->saved.resize(static_cast<std::size_t>(level - 1));
    return TRUE;
}

namespace {

template <typename T>
T replaceState(HDC dc, T DeviceState::*field, T value, T fallback)
{
    if (!dc)
        return fallback;
    T old = dc->state.*field;
    dc->state.*field = value;
    return old;
}

}  // namespace

LOGPEN SetDCPen(HDC dc, const LOGPEN& pen) { return replaceState(dc, &DeviceState::pen, pen, LOGPEN{}); }
LOGPEN GetDCPen(HDC dc) { return dc ? dc->state.pen : LOGPEN{}; }
LOGBRUSH SetDCBrush(HDC dc, const LOGBRUSH& brush) { return replaceState(dc, &DeviceState::brush, brush, LOGBRUSH{}); }

QFont SetDCFont(HDC dc, const QFont& font)
{
    if (!dc)
        return {};
    QFont f = font;
    if (f.pixelSize() <= 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pointSizeF() * 96.0 / 72.0))));
    return std::exchange(dc->state.font, f);
}

int SetROP2(HDC dc, int mode)
{
    if (!dc || mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(dc->state.rop2, mode);
}

int SetBkMode(HDC dc, int mode)
{
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(dc->state.bkMode, mode);
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    return dc ? std::exchange(dc->state.bkColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF SetTextColor(HDC dc, COLORREF color)
{
    return dc ? std::exchange(dc->state.textColor, color & 0xFFFFFF) : CLR_INVALID;
}

int SetPolyFillMode(HDC dc, int mode)
{
    if (!dc || (mode != ALTERNATE && mode != WINDING))
        return 0;
    return std::exchange(dc->state.polyFillMode, mode);
}

int SetStretchBltMode(HDC dc, int mode)
{
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(dc->state.stretchMode, mode);
}

int SelectClipRect(HDC dc, const RECT* rect)
{
    if (!dc)
        return RGN_ERROR;
    dc->state.hasClip = rect != nullptr;
    dc->state.clip = rect ? rectFromRECT(*rect) : QRect();
    RECT box;
    return GetClipBox(dc, &box);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return RGN_ERROR;
    const QRect r = rectFromEdges(left, top, right, bottom);
    if (dc->state.hasClip)
        dc->state.clip &= r;
    else
        dc->state.clip = hasSurface(dc) ? (dc->surface->rect() & r) : r;
    dc->state.hasClip = true;
    RECT box;
    return GetClipBox(dc, &box);
}

int GetClipRect(HDC dc, RECT* rect)
{
    if (!dc || !rect)
        return -1;
    if (!dc->state.hasClip) {
        *rect = RECT{};
        return 0;
    }
    const QRect& c = dc->state.clip;
    *rect = c.isEmpty() ? RECT{} : RECT{c.left(), c.top(), c.right() + 1, c.bottom() + 1};
    return 1;
}

int GetClipBox(HDC dc, RECT* rect)
{
    if (!dc || !rect)
        return RGN_ERROR;
    const QRect visible = visibleRect(*dc);
    if (visible.isEmpty()) {
        *rect = RECT{};
        return NULLREGION;
    }
    *rect = RECT{visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1};
    return SIMPLEREGION;
}
