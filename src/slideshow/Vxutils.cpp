#include "Vxutils.h"

#include "Paths.h"

#include "FindFile.h"
#include "SlideCollection.h"
#include "SystemUi.h"
#include "UniqueDC.h"
#include "UserWindows.h"
#include "Vxdllprocs.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

TVxSort g_Sort = vxSortNone;
TVxSortOrder g_SortOrder = vxSortOrderInc;
char g_FileExtArray[kVxExtSlots * kVxExtSlotSize] = {};
bool g_ShowCursorDispFlag = true;

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Scratch = std::unique_ptr<unsigned char, FreeDeleter>;

struct SortRun {
    unsigned char* base;
    std::size_t size;
    int (*compare)(const void*, const void*);
    unsigned char* pivot;
    unsigned char* swap;

    unsigned char* at(int i) const { return base + std::size_t(i) * size; }

    // Sorts records left..right. After a partition the two parts [left, j] and
    // [i, right] are disjoint and each is sorted on its own, so the order in
    // which they are done does not change the result: the smaller part is
    // sorted by recursion and the larger one by going round again, which keeps
    // the stack shallow whatever the names.
    void sort(int left, int right)
    {
        while (left < right) {
            std::memcpy(pivot, at((left + right) / 2), size);
            int i = left;
            int j = right;
            do {
                while (compare(at(i), pivot) < 0)
                    ++i;
                while (compare(pivot, at(j)) < 0)
                    --j;
                if (i <= j) {
                    if (i != j) {
                        std::memcpy(swap, at(i), size);
                        std::memcpy(at(i), at(j), size);
                        std::memcpy(at(j), swap, size);
                    }
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - left < right - i) {
                if (left < j)
                    sort(left, j);
                left = i;
            } else {
                if (i < right)
                    sort(i, right);
                right = j;
            }
        }
    }
};

bool isPlainFile(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) == 0;
}


}  // namespace

void QSort(void* base, int count, int size, int (*compare)(const void*, const void*))
{
    if (!base || count < 2 || size < 1 || !compare)
        return;
    // Both scratch records are released on every way out.
    Scratch pivot(static_cast<unsigned char*>(std::malloc(std::size_t(size))));
    Scratch swap(static_cast<unsigned char*>(std::malloc(std::size_t(size))));
    if (!pivot || !swap)
        return;
    SortRun run{static_cast<unsigned char*>(base), std::size_t(size), compare, pivot.get(), swap.get()};
    run.sort(0, count - 1);
}

int GetDirFileCount(const std::string& folder, const std::string& pattern)
{
    if (!Vxdllprocs::VXFileType)
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    long long pages = 0;
    do {
        // Only regular files: opening a FIFO would wait for a writer forever.
        if (!isPlainFile(data.dwFileAttributes))
            continue;
        alignas(8) unsigned char record[kVxFileRecordSize] = {};
        if (!Vxdllprocs::VXFileType(JoinPath(folder, data.cFileName).c_str(), 0, record))
            continue;
        std::int16_t count = 0;
        std::memcpy(&count, record + kVxFileRecordPageCount, sizeof count);
        if (count > 0)
            pages += count;
    } while (pages < INT_MAX && FindNextFileA(search, &data));
    FindClose(search);
    return pages < INT_MAX ? int(pages) : INT_MAX;
}

void DrawDisplayEdge(HDC dc, const RECT& rect, bool lowered)
{
    if (!dc)
        return;
    constexpr COLORREF kDark = 0x7F7F7F;
    constexpr COLORREF kLight = 0xDFDFDF;
    constexpr COLORREF kWhite = 0xFFFFFF;
    constexpr COLORREF kBlack = 0x000000;
    auto pen = [](COLORREF colour) {
        LOGPEN p;
        p.lopnStyle = PS_SOLID;
        p.lopnWidth = POINT{1, 0};
        p.lopnColor = colour;
        return p;
    };
    const LOGPEN previous = GetDCPen(dc);
    // Each polyline starts at the bottom-left corner; a line includes its
    // start and leaves out its end point.
    auto frame = [&](int left, int top, int right, int bottom, COLORREF topLeft, COLORREF bottomRight) {
        SetDCPen(dc, pen(topLeft));
        MoveToEx(dc, left, bottom, nullptr);
        LineTo(dc, left, top);
        LineTo(dc, right, top);
        SetDCPen(dc, pen(bottomRight));
        LineTo(dc, right, bottom);
        LineTo(dc, left, bottom);
    };
    frame(rect.left, rect.top, rect.right, rect.bottom, lowered ? kDark : kWhite, lowered ? kWhite : kDark);
    frame(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1, lowered ? kBlack : kLight,
          lowered ? kLight : kBlack);
    SetDCPen(dc, previous);
}

// ---------------------------------------------------------------------------
// Coordinates and numbers

namespace {

// A whole number held within the range of int.
int clampToInt(double value)
{
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

// origin + Trunc(offset); a NaN offset gives the origin.
int offsetFrom(int origin, double offset)
{
    if (std::isnan(offset))
        return origin;
    return clampToInt(double(origin) + std::trunc(offset));
}

}  // namespace

int ConvToImgX(int value, int screenOrigin, int imageOrigin, double scale)
{
    return offsetFrom(imageOrigin, (double(value) - double(screenOrigin)) / scale);
}

int ConvToImgY(int value, int screenOrigin, int imageOrigin, double scale)
{
    return offsetFrom(imageOrigin, (double(value) - double(screenOrigin)) / scale);
}

int ConvToScrnX(int value, int imageOrigin, int screenOrigin, double scale)
{
    return offsetFrom(screenOrigin, (double(value) - double(imageOrigin)) * scale);
}

int ConvToScrnY(int value, int imageOrigin, int screenOrigin, double scale)
{
    return offsetFrom(screenOrigin, (double(value) - double(imageOrigin)) * scale);
}

int ALIGNLONG(int bits)
{
    if (bits < 0)
        return 0;
    return int((std::int64_t{bits} + 31) / 32 * 4);
}

std::int64_t Roundoff(long double x)
{
    if (std::isnan(x))
        return 0;
    const long double rounded = std::trunc(x >= 0 ? x + 0.5L : x - 0.5L);
    constexpr long double kMax = 9223372036854775807.0L;
    if (rounded >= kMax)
        return INT64_MAX;
    if (rounded <= -kMax - 1)
        return INT64_MIN;
    return std::int64_t(rounded);
}

// ---------------------------------------------------------------------------
// Rubber-band shapes

namespace {

// An image point on the screen.
POINT toScreen(const POINT& p, const RECT& imageRect, double scaleX, double scaleY, const RECT& screenRect)
{
    const double x = std::trunc((double(p.x) - imageRect.left) * scaleX + 0.5);
    const double y = std::trunc((double(p.y) - imageRect.top) * scaleY + 0.5);
    return POINT{offsetFrom(screenRect.left, x), offsetFrom(screenRect.top, y)};
}

// The drawing state of a rubber-band shape for the scope's life: a solid
// black one-pixel pen, no brush, the clip narrowed to the screen rectangle,
// the mix mode R2_NOTXORPEN. The context's own are put back at the end.
class NotXorDrawing {
public:
    NotXorDrawing(HDC dc, const RECT& screenRect) : m_dc(dc)
    {
        m_pen = SetDCPen(dc, LOGPEN{PS_SOLID, POINT{1, 0}, 0x000000});
        m_brush = SetDCBrush(dc, LOGBRUSH{BS_NULL, 0, 0});
        m_hadClip = GetClipRect(dc, &m_clip) == 1;
        IntersectClipRect(dc, screenRect.left, screenRect.top, screenRect.right, screenRect.bottom);
        m_rop = SetROP2(dc, R2_NOTXORPEN);
    }
    ~NotXorDrawing()
    {
        SetROP2(m_dc, m_rop);
        SelectClipRect(m_dc, m_hadClip ? &m_clip : nullptr);
        SetDCBrush(m_dc, m_brush);
        SetDCPen(m_dc, m_pen);
    }
    NotXorDrawing(const NotXorDrawing&) = delete;
    NotXorDrawing& operator=(const NotXorDrawing&) = delete;

private:
    HDC m_dc;
    LOGPEN m_pen;
    LOGBRUSH m_brush;
    bool m_hadClip = false;
    RECT m_clip;
    int m_rop = R2_COPYPEN;
};

// A shape of two points: draw(a, b) gets them in screen coordinates.
template <typename Draw>
void drawTwoPointShape(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX,
                       double scaleY, const RECT& screenRect, bool inScreen, Draw&& draw)
{
    if (!dc)
        return;
    if ((x1 < 1 && y1 < 1 && x2 < 1 && y2 < 1) || (x1 == x2 && y1 == y2))
        return;
    POINT a{x1, y1};
    POINT b{x2, y2};
    if (!inScreen) {
        a = toScreen(a, imageRect, scaleX, scaleY, screenRect);
        b = toScreen(b, imageRect, scaleX, scaleY, screenRect);
    }
    const NotXorDrawing drawing(dc, screenRect);
    draw(a, b);
}

}  // namespace

void _LineNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX, double scaleY,
                 const RECT& screenRect, bool inScreen)
{
    drawTwoPointShape(dc, x1, y1, x2, y2, imageRect, scaleX, scaleY, screenRect, inScreen,
                      [dc](const POINT& a, const POINT& b) {
                          MoveToEx(dc, a.x, a.y, nullptr);
                          LineTo(dc, b.x, b.y);
                      });
}

void _RectangleNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX,
                      double scaleY, const RECT& screenRect, bool inScreen)
{
    drawTwoPointShape(dc, x1, y1, x2, y2, imageRect, scaleX, scaleY, screenRect, inScreen,
                      [dc](const POINT& a, const POINT& b) { Rectangle(dc, a.x, a.y, b.x, b.y); });
}

void _EllipseNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX, double scaleY,
                    const RECT& screenRect, bool inScreen)
{
    drawTwoPointShape(dc, x1, y1, x2, y2, imageRect, scaleX, scaleY, screenRect, inScreen,
                      [dc](const POINT& a, const POINT& b) { Ellipse(dc, a.x, a.y, b.x, b.y); });
}

void _RoundRectNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX,
                      double scaleY, const RECT& screenRect, bool inScreen)
{
    drawTwoPointShape(dc, x1, y1, x2, y2, imageRect, scaleX, scaleY, screenRect, inScreen,
                      [dc](const POINT& a, const POINT& b) {
                          const int width = std::max(int((std::int64_t{b.x} - a.x) / 5), 1);
                          const int height = std::max(int((std::int64_t{b.y} - a.y) / 5), 1);
                          RoundRect(dc, a.x, a.y, b.x, b.y, width, height);
                      });
}

void _PolygonNOTXOR(HDC dc, const POINT* points, int count, const RECT& imageRect, double scaleX, double scaleY,
                    const RECT& screenRect, bool inScreen)
{
    if (!dc || !points || count < 1)
        return;
    std::vector<POINT> shown(points, points + count);
    if (!inScreen)
        for (POINT& p : shown)
            p = toScreen(p, imageRect, scaleX, scaleY, screenRect);
    const NotXorDrawing drawing(dc, screenRect);
    Polygon(dc, shown.data(), count);
}

void _BezierNOTXOR(HDC dc, const POINT points[4], const RECT& imageRect, double scaleX, double scaleY,
                   const RECT& screenRect)
{
    if (!dc || !points)
        return;
    POINT shown[4];
    for (int i = 0; i < 4; ++i)
        shown[i] = toScreen(points[i], imageRect, scaleX, scaleY, screenRect);
    const NotXorDrawing drawing(dc, screenRect);
    PolyBezier(dc, shown, 4);
}

// ---------------------------------------------------------------------------
// Marching dashes

namespace {

COLORREF g_blinkColourA = 0;
COLORREF g_blinkColourB = 0;
int g_blinkPhase = 0;  // counts down; its low three bits give the colour
int g_blinkStart = 0;  // the phase of the next restart

}  // namespace

void _BlinkLine(HDC dc, int x1, int y1, int x2, int y2, bool restart, COLORREF colourA, COLORREF colourB)
{
    g_blinkColourA = colourA;
    g_blinkColourB = colourB;
    if (restart) {
        g_blinkPhase = g_blinkStart;
        g_blinkStart = (g_blinkStart + 1) & 7;
    }
    LineDDA(x1, y1, x2, y2, LineDDACallBack, reinterpret_cast<LPARAM>(dc));
}

void LineDDACallBack(int x, int y, LPARAM data)
{
    g_blinkPhase &= 7;
    // Drawn through the image library, which may not be loaded. A point at the
    // far end of the coordinate range lies on no surface, and its one-pixel
    // line would end beyond the range.
    if (Vxdllprocs::_Line && x < INT_MAX && y < INT_MAX)
        Vxdllprocs::_Line(reinterpret_cast<HDC>(data), x, y, x + 1, y + 1, 1,
                          g_blinkPhase > 3 ? g_blinkColourA : g_blinkColourB);
    --g_blinkPhase;
}

void _BlinkBox(HDC dc, int left, int top, int right, int bottom, COLORREF colourA, COLORREF colourB)
{
    _BlinkLine(dc, left, top, right, top, true, colourA, colourB);
    _BlinkLine(dc, right, top, right, bottom, false, colourA, colourB);
    _BlinkLine(dc, right, bottom, left, bottom, false, colourA, colourB);
    _BlinkLine(dc, left, bottom, left, top, false, colourA, colourB);
}

// ---------------------------------------------------------------------------
// Colour and font dialogs

namespace {

bool g_colourOkPressed = false;  // the colour dialog's OK button was pressed

}  // namespace

UINT_PTR ChooseColorHookProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        g_colourOkPressed = true;
    return 0;
}

bool ChooseNewColor(HWND owner, COLORREF& colour)
{
    COLORREF custom[16];
    std::fill(std::begin(custom), std::end(custom), COLORREF{0xFFFFFF});
    CHOOSECOLORA choose;
    choose.hwndOwner = owner;
    choose.rgbResult = colour;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_ENABLEHOOK;
    choose.lpfnHook = ChooseColorHookProc;
    g_colourOkPressed = false;
    if (!ChooseColorA(&choose) || !g_colourOkPressed)
        return false;
    colour = choose.rgbResult;
    return true;
}

UINT_PTR ChooseFontHookProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ShowWindow(GetDlgItem(dialog, stc4), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, cmb4), SW_HIDE);
    }
    return 0;
}

bool ChooseNewFont(HWND owner, LOGFONTA& logFont)
{
    HDC windowDc = GetDC(owner);
    const UniqueDC memoryDc(CreateMemoryDC(windowDc, 1, 1));
    ReleaseDC(owner, windowDc);
    constexpr DWORD kFlags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    static_assert(kFlags == 0x159);
    CHOOSEFONTA choose;
    choose.hwndOwner = owner;
    choose.hDC = memoryDc.get();
    choose.lpLogFont = &logFont;
    choose.Flags = kFlags;
    choose.rgbColors = 0x000000;
    choose.lpfnHook = ChooseFontHookProc;
    choose.nFontType = SCREEN_FONTTYPE;
    const bool japanese = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE;
    choose.lpTemplateName = MAKEINTRESOURCEA(japanese ? kFontDialogTemplateJapanese : kFontDialogTemplateOther);
    return ChooseFontA(&choose) != FALSE;
}

void InitFontParam(HWND window, LOGFONTA& logFont, const std::string& faceName, int height, bool bold,
                   bool italic, bool underline, bool strikeOut)
{
    logFont = LOGFONTA{};
    SetLogFontFaceName(logFont, faceName);
    HDC windowDc = GetDC(window);
    logFont.lfCharSet = BYTE(GetTextCharset(windowDc));
    ReleaseDC(window, windowDc);
    logFont.lfHeight = height;
    if (bold)
        logFont.lfWeight = FW_BOLD;
    logFont.lfItalic = italic ? 1 : 0;
    logFont.lfUnderline = underline ? 1 : 0;
    logFont.lfStrikeOut = strikeOut ? 1 : 0;
}

bool SetFontParam(HWND window, LOGFONTA& logFont, std::string& faceName, int& height, bool& bold, bool& italic,
                  bool& underline, bool& strikeOut)
{
    InitFontParam(window, logFont, faceName, height, bold, italic, underline, strikeOut);
    if (!ChooseNewFont(window, logFont))
        return false;
    faceName.assign(logFont.lfFaceName, strnlen(logFont.lfFaceName, LF_FACESIZE));
    height = logFont.lfHeight;
    bold = logFont.lfWeight == FW_BOLD;
    italic = logFont.lfItalic != 0;
    underline = logFont.lfUnderline != 0;
    strikeOut = logFont.lfStrikeOut != 0;
    return true;
}

// ---------------------------------------------------------------------------
// Window helpers

void SetWindowText_Vx6Page(HWND window, const std::string& text, int page)
{
    if (page <= 0) {
        SetWindowTextA(window, text.c_str());
        return;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", page);
    SetWindowTextA(window, (text + digits).c_str());
}

int GetWindowText_Vx6Page(HWND window, const std::string& text)
{
    char shown[32] = {};
    const int length = GetWindowTextA(window, shown, int(sizeof shown));
    if (std::string_view(shown, std::size_t(length)).find("VxLib7") == std::string_view::npos ||
        std::size_t(length) == text.size())
        return 0;
    if (!Vxdllprocs::StrRightCopy)
        return 0;
    char digits[32] = {};
    Vxdllprocs::StrRightCopy(digits, int(sizeof digits), shown, 5);
    SetWindowTextA(window, text.c_str());
    int page = 0;
    const char* end = digits + strnlen(digits, sizeof digits);
    const auto [stop, error] = std::from_chars(digits, end, page);
    return error == std::errc() && stop == end ? page : 0;
}

HWND GetParentWindowHandleFromHWnd(HWND window)
{
    return GetAncestor(window, GA_ROOT);
}

void ShowMouseCursor(bool show)
{
    if (show == g_ShowCursorDispFlag)
        return;
    g_ShowCursorDispFlag = show;
    ShowCursor(show ? TRUE : FALSE);
}
