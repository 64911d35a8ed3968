// Device contexts' internals shared by the sources of the GDI layer: the context
// and its drawing state, colours and raster operations, pixel access on any image
// format, and the rectangle rules. Internal: not part of the platform's interface,
// and included by none of its public headers.
//
// What runs once per pixel is defined here, inline, so that every unit's loops
// keep it inlined.
#pragma once

#include "Gdi.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace pictal_platform_internal {

struct DeviceState {
    LOGPEN pen;
    LOGBRUSH brush;
    QFont font;
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0x000000;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    POINT position;
    std::int64_t dashPosition = 0;  // where the dash pattern stands along connected lines
    bool hasClip = false;
    QRect clip;
};

}  // namespace pictal_platform_internal

struct DeviceContext {
    QImage* surface = nullptr;
    std::unique_ptr<QImage> ownSurface;  // memory contexts only
    pictal_platform_internal::DeviceState state;
    std::vector<pictal_platform_internal::DeviceState> saved;
};

namespace pictal_platform_internal {

// Coordinates are kept inside this range so that no sum or product overflows.
inline constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 28;

// ---------------------------------------------------------------------------
// Colours: pixels are handled as QRgb (0xAARRGGBB); COLORREF is 0x00BBGGRR.

inline QRgb toRgb(COLORREF c)
{
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

inline COLORREF toColorRef(QRgb c)
{
    return static_cast<COLORREF>(qRed(c)) | (static_cast<COLORREF>(qGreen(c)) << 8) |
           (static_cast<COLORREF>(qBlue(c)) << 16);
}

// A binary mix mode is a truth table over (pen, destination): bit (2·P + D) of
// mode − 1 gives the result bit.
inline QRgb mix2(int mode, QRgb pen, QRgb dst)
{
    const unsigned table = static_cast<unsigned>(mode - 1) & 0xF;
    std::uint32_t r = 0;
    if (table & 1)
        r |= ~pen & ~dst;
    if (table & 2)
        r |= ~pen & dst;
    if (table & 4)
        r |= pen & ~dst;
    if (table & 8)
        r |= pen & dst;
    return 0xFF000000u | (r & 0xFFFFFFu);
}

inline bool mix2NeedsDestination(int mode)
{
    return mode != R2_COPYPEN && mode != R2_NOTCOPYPEN && mode != R2_BLACK && mode != R2_WHITE;
}

// A ternary raster operation is a truth table over (pattern, source,
// destination): bit (4·P + 2·S + D) of its code byte gives the result bit.
inline QRgb mix3(unsigned code, QRgb p, QRgb s, QRgb d)
{
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

inline unsigned ropCode(DWORD rop) { return (rop >> 16) & 0xFF; }
inline bool ropUsesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
inline bool ropUsesDestination(unsigned code) { return ((code >> 1) & 0x55) != (code & 0x55); }

// ---------------------------------------------------------------------------
// Pixel access on any image format.

class Surface {
public:
    explicit Surface(QImage& image) : m_image(image)
    {
        switch (image.format()) {
        case QImage::Format_BGR888: m_kind = Kind::Bgr; break;
        case QImage::Format_RGB888: m_kind = Kind::Rgb; break;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32: m_kind = Kind::Xrgb; break;
        case QImage::Format_ARGB32_Premultiplied: m_kind = Kind::Premultiplied; break;
        case QImage::Format_Indexed8: m_kind = Kind::Indexed; break;
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB: m_kind = Kind::Mono; break;
        default: m_kind = Kind::Generic; break;
        }
        m_table = image.colorTable();
        m_bits = image.bits();  // detaches once, before any pixel is written
        m_stride = image.bytesPerLine();
    }

    // Whether every pixel is one opaque 32-bit word (what put writes), so a
    // plain copy may write whole rows.
    bool wordPixels() const { return m_kind == Kind::Xrgb || m_kind == Kind::Premultiplied; }
    QRgb* wordRow(int y) { return reinterpret_cast<QRgb*>(m_bits + static_cast<std::ptrdiff_t>(y) * m_stride); }

    QRgb get(int x, int y) const
    {
        const uchar* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
        switch (m_kind) {
        case Kind::Bgr: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        case Kind::Rgb: return qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        case Kind::Xrgb: return 0xFF000000u | reinterpret_cast<const QRgb*>(row)[x];
        case Kind::Premultiplied: return 0xFF000000u | qUnpremultiply(reinterpret_cast<const QRgb*>(row)[x]);
        case Kind::Indexed: return tableColor(row[x]);
        case Kind::Mono: return tableColor(m_image.pixelIndex(x, y));
        case Kind::Generic: break;
        }
        return 0xFF000000u | m_image.pixel(x, y);
    }

    void put(int x, int y, QRgb c)
    {
        uchar* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
        switch (m_kind) {
        case Kind::Bgr:
            row[3 * x] = static_cast<uchar>(qBlue(c));
            row[3 * x + 1] = static_cast<uchar>(qGreen(c));
            row[3 * x + 2] = static_cast<uchar>(qRed(c));
            return;
        case Kind::Rgb:
            row[3 * x] = static_cast<uchar>(qRed(c));
            row[3 * x + 1] = static_cast<uchar>(qGreen(c));
            row[3 * x + 2] = static_cast<uchar>(qBlue(c));
            return;
        case Kind::Xrgb:
        case Kind::Premultiplied: reinterpret_cast<QRgb*>(row)[x] = 0xFF000000u | c; return;
        case Kind::Indexed: row[x] = static_cast<uchar>(nearestIndex(c)); return;
        case Kind::Mono: m_image.setPixel(x, y, static_cast<uint>(nearestIndex(c))); return;
        case Kind::Generic: break;
        }
        m_image.setPixel(x, y, 0xFF000000u | c);
    }

private:
    enum class Kind { Bgr, Rgb, Xrgb, Premultiplied, Indexed, Mono, Generic };

    QRgb tableColor(int index) const
    {
        return index >= 0 && index < m_table.size() ? (0xFF000000u | m_table[index]) : 0xFF000000u;
    }

    int nearestIndex(QRgb c)
    {
        c |= 0xFF000000u;
        if (m_lastIndex >= 0 && c == m_lastColor)
            return m_lastIndex;
        int best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (int i = 0; i < m_table.size(); ++i) {
            const QRgb t = m_table[i];
            const int dr = qRed(t) - qRed(c), dg = qGreen(t) - qGreen(c), db = qBlue(t) - qBlue(c);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        m_lastColor = c;
        m_lastIndex = best;
        return best;
    }

    QImage& m_image;
    Kind m_kind = Kind::Generic;
    QList<QRgb> m_table;
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    QRgb m_lastColor = 0;
    int m_lastIndex = -1;
};

inline bool hasSurface(const DeviceContext* dc)
{
    return dc && dc->surface && !dc->surface->isNull();
}

// The part of the surface that drawing may change.
inline QRect visibleRect(const DeviceContext& dc)
{
    if (!hasSurface(&dc))
        return {};
    const QRect all = dc.surface->rect();
    return dc.state.hasClip ? (all & dc.state.clip) : all;
}

// Pixel access to the context's surface, which must exist. Our own drawing
// writes the surface's memory directly.
inline Surface openSurface(DeviceContext& dc) { return Surface(*dc.surface); }

// The rectangle with these edges, right and bottom exclusive, its coordinates
// kept inside the limit; empty when it has no area.
inline QRect rectFromEdges(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    const auto clampCoordinate = [](std::int64_t v) {
        return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
    };
    const int l = clampCoordinate(left), t = clampCoordinate(top);
    const int r = clampCoordinate(right), b = clampCoordinate(bottom);
    if (r <= l || b <= t)
        return {};
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

inline QRect rectFromRECT(const RECT& r) { return rectFromEdges(r.left, r.top, r.right, r.bottom); }

// Whether a hatched brush sets the pixel (else its background shows).
inline bool hatchSet(std::uintptr_t hatch, int x, int y)
{
    const bool horizontal = (y & 7) == 0;
    const bool vertical = (x & 7) == 0;
    const bool forward = ((x - y) & 7) == 0;
    const bool backward = ((x + y) & 7) == 0;
    switch (hatch) {
    case HS_HORIZONTAL: return horizontal;
    case HS_VERTICAL: return vertical;
    case HS_FDIAGONAL: return forward;
    case HS_BDIAGONAL: return backward;
    case HS_CROSS: return horizontal || vertical;
    case HS_DIAGCROSS: return forward || backward;
    default: return true;
    }
}

// Renders with Qt into a mask over area, without antialiasing (render gets a
// painter in the surface's coordinates), then calls visit(x, y) for every pixel
// of area that the rendering covered at least half.
template <typename Render, typename Visit>
void forEachRenderedPixel(const QRect& area, Render&& render, Visit&& visit)
{
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-area.left(), -area.top());
        render(painter);
    }
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            if (qAlpha(row[x]) >= 128)
                visit(area.left() + x, area.top() + y);
    }
}

}  // namespace pictal_platform_internal
