#include "ExTechnicalLine.h"

#include "Canvas.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One way of drawing the line: a path of one or two segments, or an elliptic
// arc (its box, and the points whose rays from the centre fix where it starts
// and ends, counter-clockwise); the sign boxes; and the order of the parts:
// 'L' the line, 'S' the start sign, 'E' the end sign.
struct Line {
    std::vector<POINT> path;
    RECT arcBox{};
    POINT arcFrom{}, arcTo{};
    const char* order = "";
    RECT startBox{}, endBox{};
};

Line segments(std::vector<POINT> path, const char* order)
{
    return Line{.path = std::move(path), .order = order};
}

Line arc(RECT box, POINT from, POINT to, const char* order)
{
    return Line{.path = {}, .arcBox = box, .arcFrom = from, .arcTo = to, .order = order};
}

Line pick(TExSignPlaces places, Line noWhere, Line end, Line start, Line both)
{
    switch (places) {
    case spEnd: return end;
    case spStart: return start;
    case spBoth: return both;
    default: return noWhere;
    }
}

// The line of a type for the places of its signs, in the coordinates of the
// shrunk rectangle (w x h): S the sign size, D the shadow depth in force, hp
// half the pen width.
Line lineOf(TExTechnicalLineTypes type, TExSignPlaces places, int w, int h, int S, int D, int hp)
{
    const int M = S + D;
    const int s2 = S / 2;
    Line line;
    // Corner boxes, M x M, given by their top-left corners.
    auto corners = [&](POINT start, POINT end) {
        line.startBox = RECT{start.x, start.y, start.x + M, start.y + M};
        line.endBox = RECT{end.x, end.y, end.x + M, end.y + M};
    };
    switch (type) {
    case lsStraightLeftToRight: {
        const int y = h / 2 - D / 2;
        line = pick(places, segments({{hp, h / 2}, {w - D - hp, h / 2}}, "L"),
                    segments({{hp, y}, {w - D - S, y}}, "LE"),
                    segments({{S, y}, {w - D - hp, y}}, "SL"),
                    segments({{S, y}, {w - D - S, y}}, "SLE"));
        line.startBox = RECT{0, h / 2 - M / 2, M, h / 2 + M / 2};
        line.endBox = RECT{w - M, h / 2 - M / 2, w, h / 2 + M / 2};
        break;
    }
    case lsStraightTopToBottom: {
        const int x = w / 2 - D / 2;
        line = pick(places, segments({{w / 2, hp}, {w / 2, h - D - hp}}, "L"),
                    segments({{x, hp}, {x, h - D - S}}, "LE"),
                    segments({{x, S}, {x, h - D - hp}}, "SL"),
                    segments({{x, S}, {x, h - D - S}}, "SLE"));
        line.startBox = RECT{w / 2 - M / 2, 0, w / 2 + M / 2, M};
        line.endBox = RECT{w / 2 - M / 2, h - M, w / 2 + M / 2, h};
        break;
    }
    case lsTopLeftToBottomRight:
        line = pick(places, segments({{0, 0}, {w - D, h - D}}, "L"),
                    segments({{0, 0}, {w - D - S, h - D - s2}}, "LE"),
                    segments({{S, s2}, {w - D, h - D}}, "SL"),
                    segments({{S, s2}, {w - D - S, h - D - s2}}, "SLE"));
        corners({0, 0}, {w - M, h - M});
        break;
    case lsBottomLeftToTopRight:
        line = pick(places, segments({{0, h - D}, {w - D, 0}}, "L"),
                    segments({{0, h}, {w - D - S, s2}}, "LE"),
                    segments({{S, h - D - s2}, {w - D, 0}}, "SL"),
                    segments({{S, h - D - s2}, {w - D - S, s2}}, "SLE"));
        corners({0, h - M}, {w - M, 0});
        break;
    case lsTopLeftEdge:
        line = pick(places, segments({{0, h - D}, {0, 0}, {w - D, 0}}, "L"),
                    segments({{0, h - D}, {0, s2}, {w - D - S, s2}}, "LE"),
                    segments({{s2, h - D - S}, {s2, 0}, {w - D, 0}}, "LS"),
                    segments({{s2, h - D - S}, {s2, s2}, {w - D - S, s2}}, "LSE"));
        corners({0, h - M}, {w - M, 0});
        break;
    case lsBottomLeftEdge:
        line = pick(places, segments({{0, 0}, {0, h - D}, {w - D, h - D}}, "L"),
                    segments({{s2, S}, {s2, h - D}, {w - D, h - D}}, "EL"),
                    segments({{0, 0}, {0, h - D - s2}, {w - D - S, h - D - s2}}, "LS"),
                    segments({{s2, S}, {s2, h - D - s2}, {w - D - S, h - D - s2}}, "ELS"));
        corners({w - M, h - M}, {0, 0});
        break;
    case lsTopRightEdge:
        line = pick(places, segments({{0, 0}, {w - D, 0}, {w - D, h - D}}, "L"),
                    segments({{0, 0}, {w - D - s2, 0}, {w - D - s2, h - D - S}}, "LE"),
                    segments({{S, s2}, {w - D, s2}, {w - D, h - D}}, "SL"),
                    segments({{S, s2}, {w - D - s2, s2}, {w - D - s2, h - D - S}}, "SLE"));
        corners({0, 0}, {w - M, h - M});
        break;
    case lsBottomRightEdge:
        line = pick(places, segments({{w - D, 0}, {w - D, h - D}, {0, h - D}}, "L"),
                    segments({{w - D, 0}, {w - D, h - D - s2}, {S, h - D - s2}}, "EL"),
                    segments({{w - D - s2, S}, {w - D - s2, h - D}, {0, h - D}}, "SL"),
                    segments({{w - D - s2, S}, {w - D - s2, h - D - s2}, {S, h - D - s2}}, "ESL"));
        corners({w - M, 0}, {0, h - M});
        break;
    case lsTopLeftCurve:
        line = pick(places, arc({0, 0, 2 * w, 2 * h}, {w - D, 0}, {0, h - D}, "L"),
                    arc({0, s2, 2 * w - 2 * D - 2 * S, 2 * h - s2}, {w - D - S, s2}, {0, h - D}, "LE"),
                    arc({s2, 0, 2 * w - s2, 2 * h - 2 * D - 2 * S}, {w - D, 0}, {s2, h - D - S}, "LS"),
                    arc({s2, s2, 2 * w - 2 * S - s2, 2 * h - 2 * S - s2}, {w - D - S, s2}, {s2, h - D - S}, "LSE"));
        corners({0, h - M}, {w - M, 0});
        break;
    case lsBottomLeftCurve:
        line = pick(places, arc({D, h - D, 2 * w - D, D - h}, {0, 0}, {w - D, h - D}, "L"),
                    arc({s2, D + 2 * S - h, 2 * w - S + s2, h - D}, {s2, S}, {w - D, h}, "EL"),
                    arc({0, D + s2 - h, 2 * w - 2 * D - 2 * S, h - D - s2}, {0, 0}, {w - D - S, h - D - s2}, "LS"),
                    arc({s2, D + 2 * S + s2 - h, 2 * w - 2 * D - 2 * S - s2, h - D - s2}, {s2, S},
                        {w - D - S, h - D - s2}, "ELS"));
        corners({w - M, h - M}, {0, 0});
        break;
    case lsTopRightCurve:
        line = pick(places, arc({D - w, 0, w - D, 2 * h}, {w - D, h - D}, {0, 0}, "L"),
                    arc({D + s2 - w, 0, w - D - s2, 2 * h - 2 * D - 2 * S}, {w - D - s2, h - D - S}, {0, 0}, "LE"),
                    arc({D + 2 * S - w, s2, w - D, 2 * h - D - S + s2}, {w, h - D}, {S, s2}, "SL"),
                    arc({3 * D + 2 * S + s2 - w, s2, w - D - s2, 2 * h - 2 * D - 2 * S - s2}, {w - D - s2, h - D - S},
                        {S, s2}, "SLE"));
        corners({0, 0}, {w - M, h - M});
        break;
    case lsBottomRightCurve:
        line = pick(places, arc({D - w, D - h, w - D, h - D}, {0, h - D}, {w, 0}, "L"),
                    arc({D + 2 * S - w, s2 - h, w - D, h - D - s2}, {S, h - s2}, {w, 0}, "EL"),
                    arc({D + s2 - w, D + 2 * S - h, w - D - s2, h - D}, {0, h - D}, {w - D - s2, S}, "SL"),
                    arc({D + 2 * S + s2 - w, D + 2 * S + s2 - h, w - D - s2, h - D - s2}, {S, h - D - s2},
                        {w - D - s2, S}, "ESL"));
        corners({w - M, 0}, {0, h - M});
        break;
    }
    return line;
}

// A sign drawn into rect with the canvas's pen and brush, hp inside it.
void drawSign(TCanvas& canvas, TExLineEndings sign, const RECT& rect, int hp)
{
    const int x1 = rect.left + hp, y1 = rect.top + hp, x2 = rect.right - hp, y2 = rect.bottom - hp;
    const int mx = x1 + (x2 - x1) / 2, my = y1 + (y2 - y1) / 2;
    const int qx = (x2 - x1) / 4, qy = (y2 - y1) / 4;
    auto open = [&](POINT a, POINT b, POINT c) {
        canvas.MoveTo(a.x, a.y);
        canvas.LineTo(b.x, b.y);
        canvas.LineTo(c.x, c.y);
    };
    switch (sign) {
    case leNothing: break;
    case leOpenArrowUp: open({x1, y2}, {mx, y1}, {x2, y2}); break;
    case leOpenArrowDown: open({x1, y1}, {mx, y2}, {x2, y1}); break;
    case leOpenArrowRight: open({x1, y1}, {x2, my}, {x1, y2}); break;
    case leOpenArrowLeft: open({x2, y1}, {x1, my}, {x2, y2}); break;
    case leClosedArrowUp: canvas.Polygon({{x1, y2}, {mx, y1}, {x2, y2}}); break;
    case leClosedArrowDown: canvas.Polygon({{x1, y1}, {mx, y2}, {x2, y1}}); break;
    case leClosedArrowLeft: canvas.Polygon({{x2, y1}, {x1, my}, {x2, y2}}); break;
    case leClosedArrowRight: canvas.Polygon({{x1, y1}, {x2, my}, {x1, y2}}); break;
    case leDiamond: canvas.Polygon({{mx, y1}, {x2, my}, {mx, y2}, {x1, my}}); break;
    case leCircle: canvas.Ellipse(x1, y1, x2, y2); break;
    case leRectangle: canvas.Rectangle(x1, y1, x2, y2); break;
    case leRoundRect: canvas.RoundRect(x1, y1, x2, y2, qx, qy); break;
    case leParallelogramm: canvas.Polygon({{x1 + qx, y1}, {x2, y1}, {x2 - qx, y2}, {x1, y2}}); break;
    case leComb: canvas.Polygon({{mx, y1}, {x2, y1 + qy}, {x2, y2 - qy}, {mx, y2}, {x1, y2 - qy}, {x1, y1 + qy}}); break;
    case leHalfCircleLeft: canvas.Pie(x1, y1, x2, y2, mx, y1, mx, y2); break;
    case leHalfCircleRight: canvas.Pie(x1, y1, x2, y2, mx, y2, mx, y1); break;
    case leHalfCircleUp: canvas.Pie(x1, y1, x2, y2, x1, my, x2, my); break;
    case leHalfCircleDown: canvas.Pie(x1, y1, x2, y2, x2, my, x1, my); break;
    }
}

enum Direction : std::uint8_t { dUp, dDown, dLeft, dRight };

// Which way the start and the end sign of each line type point.
struct SignDirections {
    Direction start, end;
};
constexpr SignDirections kSignDirections[] = {
    {dLeft, dRight},  // lsStraightLeftToRight
    {dUp, dDown},     // lsStraightTopToBottom
    {dLeft, dRight},  // lsTopLeftToBottomRight
    {dLeft, dRight},  // lsBottomLeftToTopRight
    {dDown, dRight},  // lsTopLeftEdge
    {dRight, dUp},    // lsBottomLeftEdge
    {dLeft, dDown},   // lsTopRightEdge
    {dUp, dLeft},     // lsBottomRightEdge
    {dDown, dRight},  // lsTopLeftCurve
    {dRight, dUp},    // lsBottomLeftCurve
    {dLeft, dDown},   // lsTopRightCurve
    {dUp, dLeft},     // lsBottomRightCurve
};

// An arrow sign turned to the direction; other signs as they are.
TExLineEndings turned(TExLineEndings sign, Direction direction)
{
    constexpr TExLineEndings open[] = {leOpenArrowUp, leOpenArrowDown, leOpenArrowLeft, leOpenArrowRight};
    constexpr TExLineEndings closed[] = {leClosedArrowUp, leClosedArrowDown, leClosedArrowLeft, leClosedArrowRight};
    if (sign >= leOpenArrowUp && sign <= leOpenArrowLeft)
        return open[direction];
    if (sign >= leClosedArrowUp && sign <= leClosedArrowRight)
        return closed[direction];
    return sign;
}

}  // namespace

TExTechnicalLine::TExTechnicalLine(TComponent* owner, QWidget* parent) : TExGraphicControl(owner, parent)
{
    SetBounds(0, 0, 130, 45);
    FLineSettings.OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

TExTechnicalLine::~TExTechnicalLine()
{
    FLineSettings.OnChange = nullptr;
}

template <typename T>
void TExTechnicalLine::change(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void TExTechnicalLine::SetTechnicalLineType(TExTechnicalLineTypes value)
{
    if (value == FLineType || value > lsBottomRightCurve)
        return;
    FLineType = value;
    if (FArrowed) {
        FLineStartSign = turned(FLineStartSign, kSignDirections[value].start);
        FLineEndingsign = turned(FLineEndingsign, kSignDirections[value].end);
    }
    Invalidate();
}

void TExTechnicalLine::SetLineEnding(TExLineEndings value) { changeSign(FLineEndingsign, value, spEnd); }
void TExTechnicalLine::SetLineStart(TExLineEndings value) { changeSign(FLineStartSign, value, spStart); }

void TExTechnicalLine::changeSign(TExLineEndings& field, TExLineEndings value, TExSignPlaces place)
{
    if (value == field)
        return;
    field = value;
    if (FSignPlaces == place || FSignPlaces == spBoth)
        Invalidate();
}

void TExTechnicalLine::SetShadowDepth(int value) { change(FShadowDepth, value); }
void TExTechnicalLine::SetSignSize(int value) { change(FSignSize, value); }
void TExTechnicalLine::SetSignPlaces(TExSignPlaces value) { change(FSignPlaces, value); }
void TExTechnicalLine::SetShadowColor(TColor value) { change(FShadowColor, value); }
void TExTechnicalLine::SetFillColor(TColor value) { change(FFillColor, value); }
void TExTechnicalLine::SetShadowVisible(bool value) { change(FShadowVisible, value); }

void TExTechnicalLine::Paint()
{
    // Sizes far beyond any control are held where the arithmetic below
    // cannot overflow; they draw nothing visible either way.
    constexpr int kFar = 1 << 24;
    RECT r = PaintBackground();
    const int P = std::min(FLineSettings.Width(), kFar);
    const int inset = P / 2 + 1;
    const int left = r.left + inset, top = r.top + inset;
    const int w = r.right - inset - left, h = r.bottom - inset - top;
    const int S = std::clamp(FSignSize, -kFar, kFar);
    const int D = FShadowVisible ? std::clamp(FShadowDepth, -kFar, kFar) : 0;
    const int hp = P / 2;

    TCanvas& canvas = *Canvas();
    TPen shadowPen;
    shadowPen.Assign(FLineSettings);
    shadowPen.SetColor(FShadowColor);
    canvas.Brush()->SetStyle(bsClear);

    // Each part: its shadow moved (D, D), then the part itself; draw gets the
    // offset of the copy from the origin.
    auto shadowed = [&](auto&& draw) {
        if (FShadowVisible) {
            canvas.Pen()->Assign(shadowPen);
            draw(left + D, top + D, true);
        }
        canvas.Pen()->Assign(FLineSettings);
        draw(left, top, false);
    };
    auto brush = [&](TColor color) {
        canvas.Brush()->SetStyle(FFillColor == clNone ? bsClear : bsSolid);
        canvas.Brush()->SetColor(color);
    };

    const Line line = lineOf(FLineType, FSignPlaces, w, h, S, D, hp);
    for (char part : std::string_view(line.order)) {
        if (part == 'L') {
            canvas.Brush()->SetStyle(bsClear);
            for (std::size_t i = 1; i < line.path.size(); ++i) {
                shadowed([&](int x, int y, bool) {
                    canvas.MoveTo(x + line.path[i - 1].x, y + line.path[i - 1].y);
                    canvas.LineTo(x + line.path[i].x, y + line.path[i].y);
                });
            }
            if (line.path.empty()) {
                const RECT& b = line.arcBox;
                shadowed([&](int x, int y, bool) {
                    canvas.Arc(x + b.left, y + b.top, x + b.right, y + b.bottom, x + line.arcFrom.x, y + line.arcFrom.y,
                               x + line.arcTo.x, y + line.arcTo.y);
                });
            }
            continue;
        }
        const RECT& b = part == 'S' ? line.startBox : line.endBox;
        const TExLineEndings sign = part == 'S' ? FLineStartSign : FLineEndingsign;
        // The sign fills the box less D on its right and bottom, so that its
        // shadow, moved (D, D), ends at the box's edges.
        shadowed([&](int x, int y, bool shadow) {
            brush(shadow ? FShadowColor : FFillColor);
            drawSign(canvas, sign, RECT{x + b.left, y + b.top, x + b.right - D, y + b.bottom - D}, hp);
        });
    }
}
