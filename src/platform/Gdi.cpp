#include "Gdi.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <utility>

namespace {

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

}  // namespace

struct DeviceContext {
    QImage* surface = nullptr;
    std::unique_ptr<QImage> ownSurface;  // memory contexts only
    DeviceState state;
    std::vector<DeviceState> saved;
};

namespace {

// Coordinates are kept inside this range so that no sum or product overflows.
constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 28;

// ---------------------------------------------------------------------------
// Colours: pixels are handled as QRgb (0xAARRGGBB); COLORREF is 0x00BBGGRR.

QRgb toRgb(COLORREF c)
{
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

COLORREF toColorRef(QRgb c)
{
    return static_cast<COLORREF>(qRed(c)) | (static_cast<COLORREF>(qGreen(c)) << 8) |
           (static_cast<COLORREF>(qBlue(c)) << 16);
}

// A binary mix mode is a truth table over (pen, destination): bit (2·P + D) of
// mode − 1 gives the result bit.
QRgb mix2(int mode, QRgb pen, QRgb dst)
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

bool mix2NeedsDestination(int mode)
{
    return mode != R2_COPYPEN && mode != R2_NOTCOPYPEN && mode != R2_BLACK && mode != R2_WHITE;
}

// A ternary raster operation is a truth table over (pattern, source,
// destination): bit (4·P + 2·S + D) of its code byte gives the result bit.
QRgb mix3(unsigned code, QRgb p, QRgb s, QRgb d)
{
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

unsigned ropCode(DWORD rop) { return (rop >> 16) & 0xFF; }
bool ropUsesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool ropUsesDestination(unsigned code) { return ((code >> 1) & 0x55) != (code & 0x55); }

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

bool hasSurface(const DeviceContext* dc)
{
    return dc && dc->surface && !dc->surface->isNull();
}

// The part of the surface that drawing may change.
QRect visibleRect(const DeviceContext& dc)
{
    if (!hasSurface(&dc))
        return {};
    const QRect all = dc.surface->rect();
    return dc.state.hasClip ? (all & dc.state.clip) : all;
}

// Pixel access to the context's surface, which must exist. Our own drawing
// writes the surface's memory directly.
Surface openSurface(DeviceContext& dc) { return Surface(*dc.surface); }

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

QRect rectFromEdges(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
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

QRect rectFromRECT(const RECT& r) { return rectFromEdges(r.left, r.top, r.right, r.bottom); }

// ---------------------------------------------------------------------------
// Coverage: which pixels a figure sets, and with what.

enum Cell : std::uint8_t { kNone = 0, kFill = 1, kPen = 2, kGap = 3 };

class Coverage {
public:
    explicit Coverage(const QRect& box) : m_box(box)
    {
        if (!box.isEmpty())
            m_cells.assign(static_cast<std::size_t>(box.width()) * static_cast<std::size_t>(box.height()), kNone);
    }
    const QRect& box() const { return m_box; }
    bool empty() const { return m_cells.empty(); }
    void set(std::int64_t x, std::int64_t y, Cell value)
    {
        if (x < m_box.left() || x > m_box.right() || y < m_box.top() || y > m_box.bottom())
            return;
        m_cells[index(static_cast<int>(x), static_cast<int>(y))] = value;
    }
    Cell at(int x, int y) const { return static_cast<Cell>(m_cells[index(x, y)]); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y - m_box.top()) * static_cast<std::size_t>(m_box.width()) +
               static_cast<std::size_t>(x - m_box.left());
    }
    QRect m_box;
    std::vector<std::uint8_t> m_cells;
};

bool hatchSet(std::uintptr_t hatch, int x, int y)
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

// Paints the covered pixels: pen cells with the pen, dash gaps with the background
// colour in OPAQUE mode, fill cells with the brush; all through the mix mode.
void paintCoverage(DeviceContext& dc, const Coverage& coverage)
{
    const QRect area = visibleRect(dc) & coverage.box();
    if (area.isEmpty() || coverage.empty() || dc.state.rop2 == R2_NOP)
        return;
    Surface surface = openSurface(dc);
    const DeviceState& s = dc.state;
    const QRgb pen = toRgb(s.pen.lopnColor);
    const QRgb background = toRgb(s.bkColor);
    const QRgb brush = toRgb(s.brush.lbColor);
    const bool opaque = s.bkMode == OPAQUE;
    const bool hatched = s.brush.lbStyle == BS_HATCHED;
    const bool needsDestination = mix2NeedsDestination(s.rop2);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb color = 0;
            switch (coverage.at(x, y)) {
            case kNone: continue;
            case kPen: color = pen; break;
            case kGap:
                if (!opaque)
                    continue;
                color = background;
                break;
            case kFill:
                if (!hatched || hatchSet(s.brush.lbHatch, x, y))
                    color = brush;
                else if (opaque)
                    color = background;
                else
                    continue;
                break;
            }
            surface.put(x, y, mix2(s.rop2, color, needsDestination ? surface.get(x, y) : 0));
        }
    }
}

// ---------------------------------------------------------------------------
// Pens

bool isNullPen(const LOGPEN& pen) { return pen.lopnStyle == PS_NULL; }
bool isWidePen(const LOGPEN& pen) { return pen.lopnWidth.x > 1; }
bool isNullBrush(const LOGBRUSH& brush) { return brush.lbStyle == BS_NULL; }

// Whether step n of a one-pixel pen's pattern is drawn (true) or a gap.
bool dashOn(UINT style, std::int64_t n)
{
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dashDot[] = {9, 6, 3, 6};
    static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
    const int* runs = nullptr;
    int count = 0;
    switch (style) {
    case PS_DASH: runs = dash; count = 2; break;
    case PS_DOT: runs = dot; count = 2; break;
    case PS_DASHDOT: runs = dashDot; count = 4; break;
    case PS_DASHDOTDOT: runs = dashDotDot; count = 6; break;
    default: return true;
    }
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += runs[i];
    int position = static_cast<int>(((n % total) + total) % total);
    for (int i = 0; i < count; ++i) {
        if (position < runs[i])
            return i % 2 == 0;
        position -= runs[i];
    }
    return true;
}

Cell penCell(const LOGPEN& pen, std::int64_t step)
{
    return dashOn(pen.lopnStyle, step) ? kPen : kGap;
}

// Visits the pixels of the line from (x1, y1) to (x2, y2), Bresenham's way; the end
// point only when includeEnd. Returns the number of pixels of the whole line, so
// that a dash pattern can go on after it. Very long lines are first cut to limit.
template <typename Plot>
std::int64_t walkLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, bool includeEnd,
                      const QRect& limit, Plot&& plot)
{
    const std::int64_t steps = std::max(std::llabs(x2 - x1), std::llabs(y2 - y1));
    std::int64_t skipped = 0;
    if (steps > 4 * std::int64_t{limit.width() + limit.height()} + 64 && !limit.isEmpty()) {
        // Cut to the limit box (grown a little) by the parametric method; the pixels
        // inside stay those of the whole line up to rounding.
        const double bx0 = limit.left() - 2.0, bx1 = limit.right() + 2.0;
        const double by0 = limit.top() - 2.0, by1 = limit.bottom() + 2.0;
        double t0 = 0, t1 = 1;
        const double dx = static_cast<double>(x2 - x1), dy = static_cast<double>(y2 - y1);
        const auto clip = [&](double p, double q) {
            if (p == 0)
                return q >= 0;
            const double r = q / p;
            if (p < 0) {
                if (r > t1)
                    return false;
                t0 = std::max(t0, r);
            } else {
                if (r < t0)
                    return false;
                t1 = std::min(t1, r);
            }
            return true;
        };
        if (!clip(-dx, static_cast<double>(x1) - bx0) || !clip(dx, bx1 - static_cast<double>(x1)) ||
            !clip(-dy, static_cast<double>(y1) - by0) || !clip(dy, by1 - static_cast<double>(y1)))
            return steps;
        const std::int64_t nx1 = x1 + std::llround(t0 * dx), ny1 = y1 + std::llround(t0 * dy);
        const std::int64_t nx2 = x1 + std::llround(t1 * dx), ny2 = y1 + std::llround(t1 * dy);
        skipped = std::llround(t0 * static_cast<double>(steps));
        includeEnd = includeEnd || t1 < 1;
        x1 = nx1;
        y1 = ny1;
        x2 = nx2;
        y2 = ny2;
    }
    const std::int64_t dx = std::llabs(x2 - x1), dy = -std::llabs(y2 - y1);
    const std::int64_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    std::int64_t err = dx + dy;
    std::int64_t x = x1, y = y1, n = skipped;
    for (;;) {
        if (x == x2 && y == y2) {
            if (includeEnd)
                plot(x, y, n);
            break;
        }
        plot(x, y, n++);
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return steps;
}

// Fills the path (winding rule) into the coverage, pixel centres inside the path.
void fillPath(Coverage& coverage, const QPainterPath& path, Cell value)
{
    const QRect area = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & coverage.box();
    if (area.isEmpty())
        return;
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-area.left(), -area.top());
        painter.fillPath(path, Qt::white);
    }
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            if (qAlpha(row[x]) >= 128)
                coverage.set(area.left() + x, area.top() + y, value);
    }
}

// The outline a wide pen draws along path (pixel-centre coordinates).
void strokePath(Coverage& coverage, const LOGPEN& pen, QPainterPath path)
{
    QPainterPathStroker stroker;
    stroker.setWidth(pen.lopnWidth.x);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    fillPath(coverage, outline, kPen);
}

QPointF pixelCentre(const POINT& p) { return QPointF(p.x + 0.5, p.y + 0.5); }

// The coverage box for a figure within bounds (grown by a wide pen's reach).
Coverage coverageFor(const DeviceContext& dc, QRect bounds)
{
    if (bounds.isEmpty())
        return Coverage(QRect());
    const int reach = isWidePen(dc.state.pen) ? dc.state.pen.lopnWidth.x / 2 + 2 : 1;
    return Coverage(bounds.adjusted(-reach, -reach, reach, reach) & visibleRect(dc));
}

QRect boundsOf(const POINT* points, int count)
{
    std::int64_t l = points[0].x, t = points[0].y, r = l, b = t;
    for (int i = 1; i < count; ++i) {
        l = std::min<std::int64_t>(l, points[i].x);
        r = std::max<std::int64_t>(r, points[i].x);
        t = std::min<std::int64_t>(t, points[i].y);
        b = std::max<std::int64_t>(b, points[i].y);
    }
    return rectFromEdges(l, t, r + 1, b + 1);
}

// One-pixel or wide lines through the points (closed: back to the first one). The
// dash pattern starts at dashStart and goes on along the lines; returns where it ends.
std::int64_t drawLines(DeviceContext& dc, Coverage& coverage, const POINT* points, int count, bool closed,
                       std::int64_t dashStart)
{
    const LOGPEN& pen = dc.state.pen;
    if (isNullPen(pen) || count < 2)
        return dashStart;
    if (isWidePen(pen)) {
        QPainterPath path(pixelCentre(points[0]));
        for (int i = 1; i < count; ++i)
            path.lineTo(pixelCentre(points[i]));
        if (closed)
            path.closeSubpath();
        strokePath(coverage, pen, path);
        return dashStart;
    }
    std::int64_t step = dashStart;
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[(i + 1) % count];
        const std::int64_t base = step;
        step += walkLine(a.x, a.y, b.x, b.y, false, coverage.box(),
                         [&](std::int64_t x, std::int64_t y, std::int64_t n) { coverage.set(x, y, penCell(pen, base + n)); });
    }
    return step;
}

// ---------------------------------------------------------------------------
// Figures given by a bounding box: rectangle, ellipse, rounded rectangle, arcs.

// Normalised box; with a null pen the right and bottom edges move in by one.
QRect figureBox(const DeviceContext& dc, int left, int top, int right, int bottom)
{
    std::int64_t l = std::min(left, right), r = std::max(left, right);
    std::int64_t t = std::min(top, bottom), b = std::max(top, bottom);
    if (isNullPen(dc.state.pen)) {
        --r;
        --b;
    }
    return rectFromEdges(l, t, r, b);
}

struct EllipseShape {
    double cx, cy, a, b;  // centre and radii in continuous coordinates

    explicit EllipseShape(const QRect& box)
        : cx(box.left() + box.width() / 2.0), cy(box.top() + box.height() / 2.0), a(box.width() / 2.0),
          b(box.height() / 2.0)
    {
    }
    bool inside(std::int64_t x, std::int64_t y) const
    {
        const double dx = (static_cast<double>(x) + 0.5 - cx) / a;
        const double dy = (static_cast<double>(y) + 0.5 - cy) / b;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    }
};

struct RoundRectShape {
    QRect box;
    double rx, ry;
    RoundRectShape(const QRect& r, int width, int height)
        : box(r), rx(std::clamp(width, 0, r.width()) / 2.0), ry(std::clamp(height, 0, r.height()) / 2.0)
    {
    }
    bool inside(std::int64_t x, std::int64_t y) const
    {
        if (x < box.left() || x > box.right() || y < box.top() || y > box.bottom())
            return false;
        if (rx <= 0 || ry <= 0)
            return true;
        const double px = static_cast<double>(x) + 0.5, py = static_cast<double>(y) + 0.5;
        const double left = box.left() + rx, right = box.left() + box.width() - rx;
        const double top = box.top() + ry, bottom = box.top() + box.height() - ry;
        const double ex = px < left ? px - left : (px > right ? px - right : 0.0);
        const double ey = py < top ? py - top : (py > bottom ? py - bottom : 0.0);
        if (ex == 0.0 || ey == 0.0)
            return true;
        return (ex / rx) * (ex / rx) + (ey / ry) * (ey / ry) <= 1.0 + 1e-9;
    }
};

struct BoxShape {
    QRect box;
    bool inside(std::int64_t x, std::int64_t y) const
    {
        return x >= box.left() && x <= box.right() && y >= box.top() && y <= box.bottom();
    }
};

template <typename Shape>
bool onBoundary(const Shape& shape, std::int64_t x, std::int64_t y)
{
    return shape.inside(x, y) && (!shape.inside(x - 1, y) || !shape.inside(x + 1, y) ||
                                  !shape.inside(x, y - 1) || !shape.inside(x, y + 1));
}

// Visits the figure's pixels inside the coverage box, telling which lie on its
// outline (a pixel of the figure next to one outside it).
template <typename Shape, typename Visit>
void forEachPixel(const Shape& shape, const QRect& bounds, const Coverage& coverage, Visit&& visit)
{
    const QRect area = bounds & coverage.box();
    if (area.isEmpty())
        return;
    // inside() for the area grown by one pixel, computed once.
    const int w = area.width() + 2, h = area.height() + 2;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            in[static_cast<std::size_t>(j) * w + i] = shape.inside(area.left() - 1 + i, area.top() - 1 + j);
    const auto at = [&](int i, int j) { return in[static_cast<std::size_t>(j) * w + i] != 0; };
    for (int j = 1; j < h - 1; ++j) {
        for (int i = 1; i < w - 1; ++i) {
            if (!at(i, j))
                continue;
            const bool edge = !at(i - 1, j) || !at(i + 1, j) || !at(i, j - 1) || !at(i, j + 1);
            visit(area.left() - 1 + i, area.top() - 1 + j, edge);
        }
    }
}

double normalAngle(double angle)
{
    constexpr double full = 2 * std::numbers::pi;
    angle = std::fmod(angle, full);
    return angle < 0 ? angle + full : angle;
}

// Angle of a direction on screen, counter-clockwise from the positive x axis.
double screenAngle(double dx, double dy) { return normalAngle(std::atan2(-dy, dx)); }

struct Sweep {
    double start = 0;
    double length = 2 * std::numbers::pi;  // counter-clockwise
    bool contains(double angle) const { return normalAngle(angle - start) <= length + 1e-9; }
    double along(double angle) const { return normalAngle(angle - start); }
};

Sweep sweepBetween(const EllipseShape& e, int xStart, int yStart, int xEnd, int yEnd)
{
    Sweep sweep;
    sweep.start = screenAngle(xStart - e.cx, yStart - e.cy);
    const double end = screenAngle(xEnd - e.cx, yEnd - e.cy);
    const double length = normalAngle(end - sweep.start);
    sweep.length = length < 1e-12 ? 2 * std::numbers::pi : length;
    return sweep;
}

// Where the ray at the given angle leaves the ellipse, in continuous coordinates.
QPointF ellipsePoint(const EllipseShape& e, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double t = 1.0 / std::sqrt((c / e.a) * (c / e.a) + (s / e.b) * (s / e.b));
    return QPointF(e.cx + t * c, e.cy - t * s);
}

// The outline pixel nearest to where the ray at the given angle leaves the ellipse,
// among those inside the sweep when there are any.
QPoint ellipseEndPixel(const EllipseShape& e, double angle, const Sweep& sweep)
{
    const QPointF p = ellipsePoint(e, angle);
    const auto px = static_cast<std::int64_t>(std::floor(p.x())), py = static_cast<std::int64_t>(std::floor(p.y()));
    QPoint best(static_cast<int>(px), static_cast<int>(py));
    double bestDistance = std::numeric_limits<double>::max();
    for (std::int64_t y = py - 2; y <= py + 2; ++y) {
        for (std::int64_t x = px - 2; x <= px + 2; ++x) {
            if (!onBoundary(e, x, y))
                continue;
            const double dx = static_cast<double>(x) + 0.5 - p.x(), dy = static_cast<double>(y) + 0.5 - p.y();
            const bool inSweep = sweep.contains(screenAngle(static_cast<double>(x) + 0.5 - e.cx, static_cast<double>(y) + 0.5 - e.cy));
            const double distance = dx * dx + dy * dy + (inSweep ? 0.0 : 1000.0);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = QPoint(static_cast<int>(x), static_cast<int>(y));
            }
        }
    }
    return best;
}

// Perimeter of the ellipse (Ramanujan), for the dash pattern along curves.
double perimeter(double a, double b)
{
    const double h = ((a - b) * (a - b)) / ((a + b) * (a + b));
    return std::numbers::pi * (a + b) * (1 + 3 * h / (10 + std::sqrt(4 - 3 * h)));
}

// The figure's pixels: fill cells for the brush (unless it is null), pen cells for
// a one-pixel pen's outline; a dash pattern runs along the curve from the sweep's start.
template <typename Shape>
void coverFigure(DeviceContext& dc, Coverage& coverage, const Shape& shape, const QRect& bounds,
                 const EllipseShape& around, const Sweep* sweep, bool fill, bool outline)
{
    const LOGPEN& pen = dc.state.pen;
    const double length = perimeter(around.a, around.b);
    forEachPixel(shape, bounds, coverage, [&](int x, int y, bool edge) {
        const double angle = screenAngle(x + 0.5 - around.cx, y + 0.5 - around.cy);
        if (sweep && !sweep->contains(angle))
            return;
        if (edge && outline) {
            const double along = sweep ? sweep->along(angle) : angle;
            const auto step = static_cast<std::int64_t>(along / (2 * std::numbers::pi) * length);
            coverage.set(x, y, penCell(pen, step));
        } else if (fill) {
            coverage.set(x, y, kFill);
        }
    });
}

QRectF penPathBox(const DeviceContext& dc, const QRect& box)
{
    const LOGPEN& pen = dc.state.pen;
    // The path runs through the centres of the outer pixels, or, for an inside-frame
    // pen, half a pen width inside the box.
    const double inset = pen.lopnStyle == PS_INSIDEFRAME ? pen.lopnWidth.x / 2.0 : 0.5;
    return QRectF(box.left() + inset, box.top() + inset, std::max(0.0, box.width() - 2 * inset),
                  std::max(0.0, box.height() - 2 * inset));
}

// Qt's ellipse angle (degrees) of the point where the ray at the screen angle leaves.
double parametricDegrees(const EllipseShape& e, double angle)
{
    const QPointF p = ellipsePoint(e, angle);
    return std::atan2(-(p.y() - e.cy) / e.b, (p.x() - e.cx) / e.a) * 180.0 / std::numbers::pi;
}

enum class ArcKind { Arc, Pie };

BOOL drawArc(HDC dc, ArcKind kind, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
             int yEnd)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const DeviceState& s = dc->state;
    const QRect box = figureBox(*dc, left, top, right, bottom);
    if (box.isEmpty())
        return TRUE;
    const EllipseShape ellipse(box);
    const Sweep sweep = sweepBetween(ellipse, xStart, yStart, xEnd, yEnd);
    Coverage coverage = coverageFor(*dc, box);
    if (coverage.empty())
        return TRUE;
    const bool fill = kind == ArcKind::Pie && !isNullBrush(s.brush);
    const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
    coverFigure(*dc, coverage, ellipse, box, ellipse, &sweep, fill, thin);
    const QPoint first = ellipseEndPixel(ellipse, sweep.start, sweep);
    const QPoint last = ellipseEndPixel(ellipse, sweep.start + sweep.length, sweep);
    const QPoint centre(static_cast<int>(std::floor(ellipse.cx - 0.5)), static_cast<int>(std::floor(ellipse.cy - 0.5)));
    if (thin && kind == ArcKind::Pie) {
        for (const QPoint& end : {first, last})
            walkLine(centre.x(), centre.y(), end.x(), end.y(), true, coverage.box(),
                     [&](std::int64_t x, std::int64_t y, std::int64_t) { coverage.set(x, y, kPen); });
    }
    if (isWidePen(s.pen) && !isNullPen(s.pen)) {
        const QRectF pathBox = penPathBox(*dc, box);
        const double startDegrees = parametricDegrees(ellipse, sweep.start);
        double sweepDegrees = parametricDegrees(ellipse, sweep.start + sweep.length) - startDegrees;
        while (sweepDegrees <= 0)
            sweepDegrees += 360;
        if (sweep.length >= 2 * std::numbers::pi - 1e-9)
            sweepDegrees = 360;
        QPainterPath path;
        if (kind == ArcKind::Pie) {
            path.moveTo(pathBox.center());
            path.arcTo(pathBox, startDegrees, sweepDegrees);
            path.closeSubpath();
        } else {
            path.arcMoveTo(pathBox, startDegrees);
            path.arcTo(pathBox, startDegrees, sweepDegrees);
        }
        strokePath(coverage, s.pen, path);
    }
    paintCoverage(*dc, coverage);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Polygons

// Rows of the polygon's interior, sampled at pixel centres with the top-left rule
// (left and top edges inside, right and bottom edges outside).
void fillPolygon(Coverage& coverage, const POINT* points, int count, bool winding)
{
    const QRect& box = coverage.box();
    struct Crossing {
        std::int64_t x;  // first pixel at or right of the crossing
        int direction;
    };
    std::vector<Crossing> crossings;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if (a.y == b.y)
                continue;
            const bool down = a.y < b.y;
            const POINT& top = down ? a : b;
            const POINT& bottom = down ? b : a;
            if (y < top.y || y >= bottom.y)
                continue;
            // x = top.x + (y − top.y)·(bottom.x − top.x) / (bottom.y − top.y), rounded up.
            const std::int64_t num = (std::int64_t{y} - top.y) * (std::int64_t{bottom.x} - top.x);
            const std::int64_t den = std::int64_t{bottom.y} - top.y;
            const std::int64_t q = num / den, r = num % den;
            const std::int64_t ceil = q + (r > 0 ? 1 : 0);
            crossings.push_back({top.x + ceil, down ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int wind = 0;
        for (std::size_t i = 0; i < crossings.size(); ++i) {
            wind += crossings[i].direction;
            const bool inside = winding ? wind != 0 : (i % 2 == 0);
            if (!inside || i + 1 >= crossings.size())
                continue;
            const std::int64_t from = std::max<std::int64_t>(crossings[i].x, box.left());
            const std::int64_t to = std::min<std::int64_t>(crossings[i + 1].x, std::int64_t{box.right()} + 1);
            for (std::int64_t x = from; x < to; ++x)
                coverage.set(x, y, kFill);
        }
    }
}

// ---------------------------------------------------------------------------
// Text

QFont renderFont(const QFont& font)
{
    QFont f = font;
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
    return f;
}

QString textFrom(const char* text, int length)
{
    if (!text)
        return {};
    return length < 0 ? QString::fromUtf8(text) : QString::fromUtf8(text, length);
}

struct TextMetrics {
    QFontMetrics fm;
    int tabWidth;
    explicit TextMetrics(const QFont& font)
        : fm(renderFont(font)), tabWidth(std::max(1, 8 * fm.averageCharWidth()))
    {
    }
    // Width of a line; tabs (when expanded) move to the next stop.
    int width(const QString& line, bool expandTabs) const
    {
        if (!expandTabs || !line.contains(QLatin1Char('\t')))
            return fm.horizontalAdvance(line);
        int x = 0;
        const QStringList parts = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            x += fm.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                x = (x / tabWidth + 1) * tabWidth;
        }
        return x;
    }
};

void fillColor(DeviceContext& dc, Surface& surface, const QRect& rect, QRgb color)
{
    const QRect area = rect & visibleRect(dc);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            surface.put(x, y, color);
}

// Draws one run of text (no tabs) with its cell's top-left at (x, top), in the text
// colour, inside clip.
void drawGlyphs(DeviceContext& dc, Surface& surface, const QString& text, int x, int top, const QRect& clip)
{
    if (text.isEmpty() || std::abs(x) > kCoordinateLimit || std::abs(top) > kCoordinateLimit)
        return;
    const QFont font = renderFont(dc.state.font);
    const QFontMetrics fm(font);
    const int height = fm.height();
    const int reach = height + 2;  // room for glyphs reaching out of their cell (italics)
    const QRect area =
        QRect(x - reach, top - reach, fm.horizontalAdvance(text) + 2 * reach, height + 2 * reach) & clip & visibleRect(dc);
    if (area.isEmpty())
        return;
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.translate(-area.left(), -area.top());
        painter.drawText(QPointF(x, top + fm.ascent()), text);
    }
    const QRgb color = toRgb(dc.state.textColor);
    for (int j = 0; j < mask.height(); ++j) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(j));
        for (int i = 0; i < mask.width(); ++i)
            if (qAlpha(row[i]) >= 128)
                surface.put(area.left() + i, area.top() + j, color);
    }
}

// Draws a line of text; with expandTabs its tabs move to the next tab stop.
void drawTextLine(DeviceContext& dc, Surface& surface, const TextMetrics& metrics, const QString& line, int x,
                  int top, bool expandTabs, const QRect& clip)
{
    if (!expandTabs || !line.contains(QLatin1Char('\t'))) {
        drawGlyphs(dc, surface, line, x, top, clip);
        return;
    }
    int offset = 0;
    const QStringList parts = line.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        drawGlyphs(dc, surface, parts[i], x + offset, top, clip);
        offset += metrics.fm.horizontalAdvance(parts[i]);
        if (i + 1 < parts.size())
            offset = (offset / metrics.tabWidth + 1) * metrics.tabWidth;
    }
}

QString trimTrailingBlanks(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == QLatin1Char(' ') || s[n - 1] == QChar(0x3000)))
        --n;
    s.truncate(n);
    return s;
}

// Breaks a paragraph into lines no wider than maxWidth where the Unicode line
// breaking rules allow (after blanks, between CJK characters); a part that cannot
// be broken stays whole and overhangs.
QStringList wrapParagraph(const TextMetrics& metrics, const QString& paragraph, int maxWidth, bool expandTabs)
{
    QStringList lines;
    if (paragraph.isEmpty()) {
        lines << QString();
        return lines;
    }
    std::vector<qsizetype> breaks;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, paragraph);
    for (qsizetype pos = finder.toNextBoundary(); pos != -1; pos = finder.toNextBoundary())
        if (pos > 0)
            breaks.push_back(pos);
    if (breaks.empty() || breaks.back() != paragraph.size())
        breaks.push_back(paragraph.size());
    qsizetype start = 0;
    std::size_t next = 0;
    while (start < paragraph.size()) {
        while (next < breaks.size() && breaks[next] <= start)
            ++next;
        qsizetype end = breaks[next];
        for (std::size_t k = next; k < breaks.size(); ++k) {
            const QString candidate = trimTrailingBlanks(paragraph.mid(start, breaks[k] - start));
            if (metrics.width(candidate, expandTabs) > maxWidth)
                break;
            end = breaks[k];
        }
        lines << trimTrailingBlanks(paragraph.mid(start, end - start));
        start = end;
    }
    return lines;
}

QStringList layoutLines(const TextMetrics& metrics, QString text, UINT format, int wrapWidth)
{
    const bool expandTabs = format & DT_EXPANDTABS;
    if (!expandTabs)
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (format & DT_SINGLELINE) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return {text};
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    if (!(format & DT_WORDBREAK))
        return paragraphs;
    QStringList lines;
    for (const QString& paragraph : paragraphs)
        lines << wrapParagraph(metrics, paragraph, wrapWidth, expandTabs);
    return lines;
}

// ---------------------------------------------------------------------------
// Images

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
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::int64_t sy = sourceIndex(src.top(), y - dst.top(), dst.height(), src.height());
        if (sy < inPixels.top() || sy > inPixels.bottom())
            continue;
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

// Pattern-only operations (PatBlt and friends) over rect.
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

// ---------------------------------------------------------------------------
// DIB layout

struct DibLayout {
    int width = 0;
    int height = 0;  // rows, positive
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;
    std::size_t imageBytes = 0;
    int tableEntries = 0;
};

constexpr std::uint64_t kMaxDibBytes = 0x7FFFFFFF;

bool dibLayout(const BITMAPINFOHEADER& h, DibLayout& out)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 4096)
        return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min())
        return false;
    if (h.biPlanes != 1 || h.biCompression != BI_RGB)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    std::uint64_t entries = h.biClrUsed;
    if (h.biBitCount <= 8) {
        const std::uint64_t most = std::uint64_t{1} << h.biBitCount;
        if (entries == 0)
            entries = most;
        if (entries > most)
            return false;
    } else if (entries > 256) {
        return false;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(h.biWidth);
    const std::uint64_t rows = static_cast<std::uint64_t>(h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight);
    const std::uint64_t stride = (width * h.biBitCount + 31) / 32 * 4;
    if (stride > kMaxDibBytes || rows > kMaxDibBytes || stride * rows > kMaxDibBytes)
        return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(rows);
    out.bottomUp = h.biHeight > 0;
    out.bitCount = h.biBitCount;
    out.stride = static_cast<std::size_t>(stride);
    out.imageBytes = static_cast<std::size_t>(stride * rows);
    out.tableEntries = static_cast<int>(entries);
    return true;
}

}  // namespace

// ===========================================================================
// DIBs

std::size_t DibColorTableSize(const BITMAPINFOHEADER& header)
{
    DibLayout layout;
    return dibLayout(header, layout) ? static_cast<std::size_t>(layout.tableEntries) * sizeof(RGBQUAD) : 0;
}

bool DibIsValid(const BITMAPINFO* info, std::size_t totalBytes)
{
    if (!info || totalBytes < sizeof(BITMAPINFOHEADER))
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    DibLayout layout;
    if (h.biSize > totalBytes || !dibLayout(h, layout))
        return false;
    if (h.biSizeImage != 0 && h.biSizeImage < layout.imageBytes)
        return false;
    const std::uint64_t needed = std::uint64_t{h.biSize} + std::uint64_t(layout.tableEntries) * sizeof(RGBQUAD) +
                                 layout.imageBytes;
    return needed <= totalBytes;
}

QImage DibToImage(const BITMAPINFO* info, const void* bits)
{
    if (!info || !bits)
        return {};
    const BITMAPINFOHEADER& h = info->bmiHeader;
    DibLayout layout;
    if (!dibLayout(h, layout))
        return {};
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const unsigned char*>(info) + h.biSize);
    const auto* data = static_cast<const unsigned char*>(bits);
    const auto sourceRow = [&](int y) {
        const int stored = layout.bottomUp ? layout.height - 1 - y : y;
        return data + static_cast<std::size_t>(stored) * layout.stride;
    };
    QImage image;
    if (layout.bitCount <= 8) {
        image = QImage(layout.width, layout.height, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        QList<QRgb> colors(1 << layout.bitCount, qRgb(0, 0, 0));
        for (int i = 0; i < layout.tableEntries; ++i)
            colors[i] = qRgb(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
        image.setColorTable(colors);
        const int bitCount = layout.bitCount;
        const int perByte = 8 / bitCount;
        const int mask = (1 << bitCount) - 1;
        for (int y = 0; y < layout.height; ++y) {
            const unsigned char* in = sourceRow(y);
            uchar* out = image.scanLine(y);
            for (int x = 0; x < layout.width; ++x) {
                const int shift = 8 - bitCount * (x % perByte + 1);
                out[x] = static_cast<uchar>((in[x / perByte] >> shift) & mask);
            }
        }
    } else if (layout.bitCount == 24) {
        image = QImage(layout.width, layout.height, QImage::Format_BGR888);
        if (image.isNull())
            return {};
        for (int y = 0; y < layout.height; ++y)
            std::memcpy(image.scanLine(y), sourceRow(y), static_cast<std::size_t>(layout.width) * 3);
    } else {
        image = QImage(layout.width, layout.height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        for (int y = 0; y < layout.height; ++y) {
            const unsigned char* in = sourceRow(y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < layout.width; ++x) {
                if (layout.bitCount == 32) {
                    out[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
                } else {  // 16 bits: x-5-5-5
                    const int v = in[2 * x] | (in[2 * x + 1] << 8);
                    const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    out[x] = qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
                }
            }
        }
    }
    return image;
}

// ===========================================================================
// Device contexts

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

// ---------------------------------------------------------------------------
// Lines

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->state.position;
    dc->state.position = POINT{x, y};
    dc->state.dashPosition = 0;
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    if (!dc)
        return FALSE;
    const POINT points[2] = {dc->state.position, POINT{x, y}};
    dc->state.position = points[1];
    if (!hasSurface(dc))
        return TRUE;
    Coverage coverage = coverageFor(*dc, boundsOf(points, 2));
    if (coverage.empty()) {
        // Nothing visible; the dash pattern still moves on.
        dc->state.dashPosition += std::max(std::llabs(std::int64_t{x} - points[0].x), std::llabs(std::int64_t{y} - points[0].y));
        return TRUE;
    }
    dc->state.dashPosition = drawLines(*dc, coverage, points, 2, false, dc->state.dashPosition);
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    if (!dc || !points || count < 2)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    Coverage coverage = coverageFor(*dc, boundsOf(points, count));
    if (coverage.empty())
        return TRUE;
    drawLines(*dc, coverage, points, count, false, 0);
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL PolyBezier(HDC dc, const POINT* points, DWORD count)
{
    if (!dc || !points || count < 4 || (count - 1) % 3 != 0 || count > 0x10000)
        return FALSE;
    std::vector<POINT> line{points[0]};
    // At most about a million points for the whole curve.
    const int most = std::max(1, static_cast<int>((1 << 20) / ((count - 1) / 3)));
    for (DWORD i = 0; i + 3 < count; i += 3) {
        const QPointF p0(points[i].x, points[i].y), p1(points[i + 1].x, points[i + 1].y);
        const QPointF p2(points[i + 2].x, points[i + 2].y), p3(points[i + 3].x, points[i + 3].y);
        const double reach = QLineF(p0, p1).length() + QLineF(p1, p2).length() + QLineF(p2, p3).length();
        const int steps = std::clamp(static_cast<int>(std::min(reach / 2, 4096.0)), 1, std::min(4096, most));
        for (int k = 1; k <= steps; ++k) {
            const double t = static_cast<double>(k) / steps, u = 1 - t;
            const QPointF p = u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
            const POINT q{static_cast<LONG>(std::lround(p.x())), static_cast<LONG>(std::lround(p.y()))};
            if (q.x != line.back().x || q.y != line.back().y)
                line.push_back(q);
        }
    }
    if (line.size() < 2)
        return TRUE;
    return Polyline(dc, line.data(), static_cast<int>(line.size()));
}

BOOL LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    walkLine(x1, y1, x2, y2, false, QRect(), [&](std::int64_t x, std::int64_t y, std::int64_t) {
        proc(static_cast<int>(x), static_cast<int>(y), data);
    });
    return TRUE;
}

// ---------------------------------------------------------------------------
// Closed figures

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const DeviceState& s = dc->state;
    const QRect box = figureBox(*dc, left, top, right, bottom);
    if (box.isEmpty())
        return TRUE;
    Coverage coverage = coverageFor(*dc, box);
    if (coverage.empty())
        return TRUE;
    const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
    const bool dashed = thin && s.pen.lopnStyle != PS_SOLID && s.pen.lopnStyle != PS_INSIDEFRAME;
    const BoxShape shape{box};
    const EllipseShape around(box);
    if (!isNullBrush(s.brush) || (thin && !dashed))
        coverFigure(*dc, coverage, shape, box, around, nullptr, !isNullBrush(s.brush), thin && !dashed);
    if (dashed) {
        const POINT corners[4] = {{box.left(), box.top()}, {box.right(), box.top()},
                                  {box.right(), box.bottom()}, {box.left(), box.bottom()}};
        drawLines(*dc, coverage, corners, 4, true, 0);
    } else if (isWidePen(s.pen) && !isNullPen(s.pen)) {
        QPainterPath path;
        path.addRect(penPathBox(*dc, box));
        strokePath(coverage, s.pen, path);
    }
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const DeviceState& s = dc->state;
    const QRect box = figureBox(*dc, left, top, right, bottom);
    if (box.isEmpty())
        return TRUE;
    Coverage coverage = coverageFor(*dc, box);
    if (coverage.empty())
        return TRUE;
    const EllipseShape ellipse(box);
    const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
    coverFigure(*dc, coverage, ellipse, box, ellipse, nullptr, !isNullBrush(s.brush), thin);
    if (isWidePen(s.pen) && !isNullPen(s.pen)) {
        QPainterPath path;
        path.addEllipse(penPathBox(*dc, box));
        strokePath(coverage, s.pen, path);
    }
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const DeviceState& s = dc->state;
    const QRect box = figureBox(*dc, left, top, right, bottom);
    if (box.isEmpty())
        return TRUE;
    Coverage coverage = coverageFor(*dc, box);
    if (coverage.empty())
        return TRUE;
    const auto corner = [](int v) { return static_cast<int>(std::min<std::int64_t>(std::llabs(v), kCoordinateLimit)); };
    const RoundRectShape shape(box, corner(width), corner(height));
    const EllipseShape around(box);
    const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
    coverFigure(*dc, coverage, shape, box, around, nullptr, !isNullBrush(s.brush), thin);
    if (isWidePen(s.pen) && !isNullPen(s.pen)) {
        QPainterPath path;
        path.addRoundedRect(penPathBox(*dc, box), shape.rx, shape.ry);
        strokePath(coverage, s.pen, path);
    }
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
    if (!dc || !points || count < 2)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const DeviceState& s = dc->state;
    Coverage coverage = coverageFor(*dc, boundsOf(points, count));
    if (coverage.empty())
        return TRUE;
    if (!isNullBrush(s.brush))
        fillPolygon(coverage, points, count, s.polyFillMode == WINDING);
    drawLines(*dc, coverage, points, count, true, 0);
    paintCoverage(*dc, coverage);
    return TRUE;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    return drawArc(dc, ArcKind::Arc, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    return drawArc(dc, ArcKind::Pie, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

// ---------------------------------------------------------------------------
// Fills, pixels

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

// ---------------------------------------------------------------------------
// Text

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int length)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const QString line = textFrom(text, length);
    const TextMetrics metrics(dc->state.font);
    QRect clip = visibleRect(*dc);
    const QRect given = rect ? rectFromRECT(*rect) : QRect();
    if (rect && (options & ETO_CLIPPED))
        clip &= given;
    Surface surface = openSurface(*dc);
    const QRgb background = toRgb(dc->state.bkColor);
    if (rect && (options & ETO_OPAQUE))
        fillColor(*dc, surface, given, background);
    if (dc->state.bkMode == OPAQUE && std::abs(x) <= kCoordinateLimit && std::abs(y) <= kCoordinateLimit)
        fillColor(*dc, surface, QRect(x, y, metrics.fm.horizontalAdvance(line), metrics.fm.height()) & clip, background);
    drawGlyphs(*dc, surface, line, x, y, clip);
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length)
{
    return ExtTextOutA(dc, x, y, 0, nullptr, text, length);
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size)
{
    if (!dc || !size)
        return FALSE;
    const TextMetrics metrics(dc->state.font);
    size->cx = metrics.fm.horizontalAdvance(textFrom(text, length));
    size->cy = metrics.fm.height();
    return TRUE;
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format)
{
    if (!dc || !rect)
        return 0;
    const TextMetrics metrics(dc->state.font);
    const bool expandTabs = format & DT_EXPANDTABS;
    const int lineHeight = metrics.fm.height();
    const std::int64_t rectWidth = std::int64_t{rect->right} - rect->left;
    const QStringList lines = layoutLines(metrics, textFrom(text, length), format,
                                          static_cast<int>(std::clamp<std::int64_t>(rectWidth, 0, kCoordinateLimit)));
    std::vector<int> widths;
    int widest = 0;
    for (const QString& line : lines) {
        widths.push_back(metrics.width(line, expandTabs));
        widest = std::max(widest, widths.back());
    }
    const int height = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{lineHeight} * lines.size(), std::numeric_limits<int>::max()));
    if (format & DT_CALCRECT) {
        rect->right = static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rect->left} + widest, INT32_MIN, INT32_MAX));
        rect->bottom = static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rect->top} + height, INT32_MIN, INT32_MAX));
        return height;
    }
    std::int64_t top = rect->top;
    if (format & DT_SINGLELINE) {
        const std::int64_t room = std::int64_t{rect->bottom} - rect->top;
        if (format & DT_VCENTER)
            top = rect->top + (room - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = std::int64_t{rect->bottom} - lineHeight;
    }
    if (hasSurface(dc)) {
        QRect clip = visibleRect(*dc);
        if (!(format & DT_NOCLIP))
            clip &= rectFromRECT(*rect);
        Surface surface = openSurface(*dc);
        const QRgb background = toRgb(dc->state.bkColor);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int w = widths[static_cast<std::size_t>(i)];
            std::int64_t x = rect->left;
            if (format & DT_CENTER)
                x = rect->left + (rectWidth - w) / 2;
            else if (format & DT_RIGHT)
                x = std::int64_t{rect->right} - w;
            const std::int64_t y = top + i * lineHeight;
            if (std::llabs(x) > kCoordinateLimit || std::llabs(y) > kCoordinateLimit)
                continue;
            if (dc->state.bkMode == OPAQUE)
                fillColor(*dc, surface, QRect(static_cast<int>(x), static_cast<int>(y), w, lineHeight) & clip, background);
            drawTextLine(*dc, surface, metrics, lines[i], static_cast<int>(x), static_cast<int>(y), expandTabs, clip);
        }
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return static_cast<int>(top - rect->top + lineHeight);
    return height;
}

// ---------------------------------------------------------------------------
// Block transfers

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
