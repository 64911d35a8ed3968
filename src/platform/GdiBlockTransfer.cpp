// Block transfers: images drawn into a rectangle of the context, scaled, keyed,
// blended or combined through a ternary raster operation; pattern-only operations.
#include "Gdi.h"

#include "GdiInternal.h"

#include <cstdint>
#include <vector>

using namespace pictal_platform_internal;

namespace {

// Source column or row for destination step i of n over a source span of m
// starting at origin: the pixel under the step's centre.
std::int64_t sourceIndex(std::int64_t origin, std::int64_t i, std::int64_t n, std::int64_t m)
{
    return origin + ((2 * i + 1) * m) / (2 * n);
}

bool drawImage(DeviceContext& dc, const QRect& dst, const QImage& image, QRect src, const ImageDrawOptions& options)
{
    if (dst.isEmpty() || src.isEmpty() || image.isNull())
        return false;
    if (!hasSurface(&dc))
        return true;
    const QRect area = dst & visibleRect(dc);
    const QRect usable = src & image.rect();
    if (area.isEmpty() || usable.isEmpty())
        return true;
    const unsigned code = ropCode(options.rop);
    const bool blend = options.blendAlpha && image.hasAlphaChannel() && options.rop == SRCCOPY;
    // The source as 32-bit pixels; origin is where the working image starts in the
    // given one. A source that shares the surface's pixels is copied first.
    QImage pixels;
    QPoint origin(0, 0);
    const bool sameMemory = dc.surface && image.constBits() == dc.surface->constBits();
    // Smooth scaling builds the whole scaled picture first, so destinations beyond
    // 64 million pixels take the nearest pixel instead.
    const bool smooth = dc.state.stretchMode == HALFTONE && dst.size() != src.size() &&
                        std::int64_t{dst.width()} * dst.height() <= (std::int64_t{1} << 26);
    if (smooth) {
        pixels = image.copy(src).convertToFormat(QImage::Format_ARGB32).scaled(
            dst.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        src = QRect(QPoint(0, 0), dst.size());
    } else if (!sameMemory &&
               (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)) {
        pixels = image;
    } else {
        pixels = image.copy(usable).convertToFormat(QImage::Format_ARGB32);
        origin = usable.topLeft();
    }
    if (pixels.isNull())
        return false;
    const QRect inPixels(origin, pixels.size());
    std::vector<int> columns(static_cast<std::size_t>(area.width()));
    for (int x = area.left(); x <= area.right(); ++x) {
        const std::int64_t sx = sourceIndex(src.left(), x - dst.left(), dst.width(), src.width());
        columns[static_cast<std::size_t>(x - area.left())] =
            sx >= inPixels.left() && sx <= inPixels.right() ? static_cast<int>(sx - origin.x()) : -1;
    }
    const QRgb pattern = toRgb(dc.state.brush.lbColor);
    const QRgb key = toRgb(options.key);
    const bool needsDestination = code != ropCode(SRCCOPY) && ropUsesDestination(code);
    Surface surface = openSurface(dc);
    // A plain copy into 32-bit pixels (the slide-in's hundreds of strips):
    // whole rows, each pixel made opaque as put() makes it.
    const bool plainCopy = code == ropCode(SRCCOPY) && !options.useKey && !blend && surface.wordPixels();
    // Unstretched, the source columns of the area are one run.
    std::size_t runBegin = 0;
    std::size_t runEnd = columns.size();
    const bool oneRun = plainCopy && dst.width() == src.width();
    if (oneRun) {
        while (runBegin < runEnd && columns[runBegin] < 0)
            ++runBegin;
        while (runEnd > runBegin && columns[runEnd - 1] < 0)
            --runEnd;
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::int64_t sy = sourceIndex(src.top(), y - dst.top(), dst.height(), src.height());
        if (sy < inPixels.top() || sy > inPixels.bottom())
            continue;
        if (plainCopy) {
            const QRgb* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(sy - origin.y())));
            QRgb* to = surface.wordRow(y) + area.left();
            if (oneRun) {
                if (runBegin < runEnd) {
                    const QRgb* run = from + columns[runBegin];
                    QRgb* out = to + runBegin;
                    for (std::size_t i = 0; i < runEnd - runBegin; ++i)
                        out[i] = 0xFF000000u | run[i];
                }
                continue;
            }
            const int* column = columns.data();
            for (std::size_t i = 0; i < columns.size(); ++i)
                if (column[i] >= 0)
                    to[i] = 0xFF000000u | from[column[i]];
            continue;
        }
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(sy - origin.y())));
        for (int x = area.left(); x <= area.right(); ++x) {
            const int sx = columns[static_cast<std::size_t>(x - area.left())];
            if (sx < 0)
                continue;
            const QRgb s = row[sx];
            if (options.useKey && (s & 0xFFFFFFu) == (key & 0xFFFFFFu))
                continue;
            QRgb out = code == ropCode(SRCCOPY) ? s : mix3(code, pattern, s, needsDestination ? surface.get(x, y) : 0);
            if (blend) {
                const int a = qAlpha(s);
                if (a == 0)
                    continue;
                if (a < 255) {
                    const QRgb d = surface.get(x, y);
                    const auto channel = [a](int sc, int dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
                    out = qRgb(channel(qRed(s), qRed(d)), channel(qGreen(s), qGreen(d)), channel(qBlue(s), qBlue(d)));
                }
            }
            surface.put(x, y, out);
        }
    }
    return true;
}

// The pattern-only operation of the given code over rect, with the context's brush.
void patternBlt(DeviceContext& dc, const QRect& rect, unsigned code)
{
    const QRect area = rect & visibleRect(dc);
    if (area.isEmpty())
        return;
    Surface surface = openSurface(dc);
    const LOGBRUSH& brush = dc.state.brush;
    const QRgb color = toRgb(brush.lbColor);
    const QRgb background = toRgb(dc.state.bkColor);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb p = color;
            if (brush.lbStyle == BS_HATCHED && !hatchSet(brush.lbHatch, x, y))
                p = background;
            surface.put(x, y, mix3(code, p, 0, surface.get(x, y)));
        }
    }
}

// The pattern-only operation rop over a rectangle that may be given with
// negative sizes.
BOOL patBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    if (!dc || ropUsesSource(ropCode(rop)))
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    patternBlt(*dc, rectFromEdges(x, y, std::int64_t{x} + width, std::int64_t{y} + height), ropCode(rop));
    return TRUE;
}

}  // namespace

BOOL DrawImageRect(HDC dst, int x, int y, int width, int height, const QImage& source, int xSrc, int ySrc,
                   int wSrc, int hSrc, const ImageDrawOptions& options)
{
    if (!dst || width <= 0 || height <= 0 || wSrc <= 0 || hSrc <= 0)
        return FALSE;
    const QRect to = rectFromEdges(x, y, std::int64_t{x} + width, std::int64_t{y} + height);
    const QRect from = rectFromEdges(xSrc, ySrc, std::int64_t{xSrc} + wSrc, std::int64_t{ySrc} + hSrc);
    if (to.isEmpty() || from.isEmpty())
        return FALSE;
    return drawImage(*dst, to, source, from, options) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop)
{
    if (!dst)
        return FALSE;
    if (!ropUsesSource(ropCode(rop)))
        return patBlt(dst, x, y, width, height, rop);
    if (!hasSurface(src))
        return FALSE;
    ImageDrawOptions options;
    options.rop = rop;
    return DrawImageRect(dst, x, y, width, height, *src->surface, xSrc, ySrc, wSrc, hSrc, options);
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
    return StretchBlt(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    if (!dc || !bits || !info || usage != DIB_RGB_COLORS)
        return 0;
    if (wDst <= 0 || hDst <= 0 || wSrc <= 0 || hSrc <= 0)
        return 0;
    const QImage image = DibToImage(info, bits);
    if (image.isNull())
        return 0;
    // DIB coordinates of a bottom-up DIB count rows from the bottom.
    const std::int64_t top = info->bmiHeader.biHeight > 0
                                 ? std::int64_t{image.height()} - ySrc - hSrc
                                 : std::int64_t{ySrc};
    const QRect from = rectFromEdges(xSrc, top, std::int64_t{xSrc} + wSrc, top + hSrc);
    const QRect used = from & image.rect();
    if (used.isEmpty())
        return 0;
    const QRect to = rectFromEdges(xDst, yDst, std::int64_t{xDst} + wDst, std::int64_t{yDst} + hDst);
    if (to.isEmpty())
        return 0;
    ImageDrawOptions options;
    options.rop = rop;
    if (!ropUsesSource(ropCode(rop))) {
        patBlt(dc, xDst, yDst, wDst, hDst, rop);
        return used.height();
    }
    if (!drawImage(*dc, to, image, from, options))
        return 0;
    return used.height();
}
