// Text: drawing a line of text, measuring it, and laying out formatted text
// (line breaks, word wrapping, tab stops, alignment) in a rectangle.
#include "Gdi.h"

#include "GdiInternal.h"
#include "Translation.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

using namespace pictal_platform_internal;

namespace {

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
    const QRgb color = toRgb(dc.state.textColor);
    forEachRenderedPixel(
        area,
        [&](QPainter& painter) {
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QPointF(x, top + fm.ascent()), text);
        },
        [&](int px, int py) { surface.put(px, py, color); });
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

}  // namespace

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

int GetTextCharset(HDC dc)
{
    if (!dc)
        return DEFAULT_CHARSET;
    return SystemIsJapanese() ? SHIFTJIS_CHARSET : ANSI_CHARSET;
}
