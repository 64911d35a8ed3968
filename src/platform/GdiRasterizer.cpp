// The rasteriser: lines, figures given by a bounding box, arcs and polygons, set
// pixel by pixel into a coverage and painted through the mix mode.
#include "Gdi.h"

#include "GdiInternal.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

using namespace pictal_platform_internal;

namespace {

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
    forEachRenderedPixel(
        area, [&](QPainter& painter) { painter.fillPath(path, Qt::white); },
        [&](int x, int y) { coverage.set(x, y, value); });
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

// Draws a figure given by its bounding box: cover(box, coverage) sets its pixels,
// which are then painted. Nothing is drawn without a surface, for an empty box
// or outside the visible part.
template <typename Cover>
BOOL drawBoxFigure(HDC dc, int left, int top, int right, int bottom, Cover&& cover)
{
    if (!dc)
        return FALSE;
    if (!hasSurface(dc))
        return TRUE;
    const QRect box = figureBox(*dc, left, top, right, bottom);
    if (box.isEmpty())
        return TRUE;
    Coverage coverage = coverageFor(*dc, box);
    if (coverage.empty())
        return TRUE;
    cover(box, coverage);
    paintCoverage(*dc, coverage);
    return TRUE;
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

// The arc or pie's pixels in the box.
void coverArc(DeviceContext& dc, Coverage& coverage, const QRect& box, ArcKind kind, int xStart, int yStart,
              int xEnd, int yEnd)
{
    const DeviceState& s = dc.state;
    const EllipseShape ellipse(box);
    const Sweep sweep = sweepBetween(ellipse, xStart, yStart, xEnd, yEnd);
    const bool fill = kind == ArcKind::Pie && !isNullBrush(s.brush);
    const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
    coverFigure(dc, coverage, ellipse, box, ellipse, &sweep, fill, thin);
    const QPoint first = ellipseEndPixel(ellipse, sweep.start, sweep);
    const QPoint last = ellipseEndPixel(ellipse, sweep.start + sweep.length, sweep);
    const QPoint centre(static_cast<int>(std::floor(ellipse.cx - 0.5)), static_cast<int>(std::floor(ellipse.cy - 0.5)));
    if (thin && kind == ArcKind::Pie) {
        for (const QPoint& end : {first, last})
            walkLine(centre.x(), centre.y(), end.x(), end.y(), true, coverage.box(),
                     [&](std::int64_t x, std::int64_t y, std::int64_t) { coverage.set(x, y, kPen); });
    }
    if (isWidePen(s.pen) && !isNullPen(s.pen)) {
        const QRectF pathBox = penPathBox(dc, box);
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

}  // namespace

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
    return drawBoxFigure(dc, left, top, right, bottom, [&](const QRect& box, Coverage& coverage) {
        const DeviceState& s = dc->state;
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
    });
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    return drawBoxFigure(dc, left, top, right, bottom, [&](const QRect& box, Coverage& coverage) {
        const DeviceState& s = dc->state;
        const EllipseShape ellipse(box);
        const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
        coverFigure(*dc, coverage, ellipse, box, ellipse, nullptr, !isNullBrush(s.brush), thin);
        if (isWidePen(s.pen) && !isNullPen(s.pen)) {
            QPainterPath path;
            path.addEllipse(penPathBox(*dc, box));
            strokePath(coverage, s.pen, path);
        }
    });
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height)
{
    return drawBoxFigure(dc, left, top, right, bottom, [&](const QRect& box, Coverage& coverage) {
        const DeviceState& s = dc->state;
        const auto corner = [](int v) {
            return static_cast<int>(std::min<std::int64_t>(std::llabs(v), kCoordinateLimit));
        };
        const RoundRectShape shape(box, corner(width), corner(height));
        const EllipseShape around(box);
        const bool thin = !isNullPen(s.pen) && !isWidePen(s.pen);
        coverFigure(*dc, coverage, shape, box, around, nullptr, !isNullBrush(s.brush), thin);
        if (isWidePen(s.pen) && !isNullPen(s.pen)) {
            QPainterPath path;
            path.addRoundedRect(penPathBox(*dc, box), shape.rx, shape.ry);
            strokePath(coverage, s.pen, path);
        }
    });
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
    return drawBoxFigure(dc, left, top, right, bottom, [&](const QRect& box, Coverage& coverage) {
        coverArc(*dc, coverage, box, ArcKind::Arc, xStart, yStart, xEnd, yEnd);
    });
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    return drawBoxFigure(dc, left, top, right, bottom, [&](const QRect& box, Coverage& coverage) {
        coverArc(*dc, coverage, box, ArcKind::Pie, xStart, yStart, xEnd, yEnd);
    });
}
