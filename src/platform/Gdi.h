// Device contexts over QImage.
//
// A device context (HDC) draws on a QImage with the Windows drawing conventions the
// program's geometry relies on: no antialiasing; a line excludes its end point;
// rectangles, ellipses and fills exclude their right and bottom edges; Arc and Pie
// run counter-clockwise (as seen on screen) between the rays through two points;
// the mix mode (ROP2) applies to pen and brush; styled one-pixel pens; text drawn
// top-left aligned with an opaque or transparent background. Shapes are rasterised
// here, pixel by pixel, on any QImage format (indexed images get the nearest colour
// of their table); Qt only renders glyphs and wide pen outlines into masks.
//
// Colours are COLORREF values, 0x00BBGGRR. The DIB structures are in Dib.h.
//
// Sources: Gdi.cpp (contexts, drawing state, clipping), GdiPixels.cpp (fills and
// pixels), GdiRasterizer.cpp (lines, figures, polygons), GdiText.cpp (text),
// GdiBlockTransfer.cpp (block transfers, StretchDIBits); what they share is in
// the internal GdiInternal.h.
#pragma once

#include "Dib.h"
#include "WinTypes.h"

#include <QFont>
#include <QImage>
#include <cstdint>

struct DeviceContext;
using HDC = DeviceContext*;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ---------------------------------------------------------------------------
// Constants

// Mix modes (SetROP2).
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

// Raster operations of the block transfers (any ternary operation is carried out;
// these are the named ones). P is the brush colour, S the source, D the destination.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Polygon fill modes.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// Stretch modes: HALFTONE scales smoothly, the others take the nearest pixel.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// Pen styles. Dashes and dots apply to one-pixel pens; wider pens draw solid.
inline constexpr UINT PS_SOLID = 0;
inline constexpr UINT PS_DASH = 1;        // 18 on, 6 off
inline constexpr UINT PS_DOT = 2;         // 3 on, 3 off
inline constexpr UINT PS_DASHDOT = 3;     // 9 on, 6 off, 3 on, 6 off
inline constexpr UINT PS_DASHDOTDOT = 4;  // 9 on, 3 off, 3 on, 3 off, 3 on, 3 off
inline constexpr UINT PS_NULL = 5;
inline constexpr UINT PS_INSIDEFRAME = 6;

// Brush styles and hatches.
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;
inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;  // "\"
inline constexpr int HS_BDIAGONAL = 3;  // "/"
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth{1, 0};  // x is the width; 0 or 1 is a one-pixel pen
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0xFFFFFF;
    std::uintptr_t lbHatch = 0;  // HS_* for BS_HATCHED
};

// DrawText formats. An "&" is always drawn as it stands (no prefix processing).
inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;      // with DT_SINGLELINE
inline constexpr UINT DT_BOTTOM = 0x8;       // with DT_SINGLELINE
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;  // line breaks are drawn as blanks
inline constexpr UINT DT_EXPANDTABS = 0x40;  // tab stops every 8 average characters (else a tab is a blank)
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;

// ExtTextOut options.
inline constexpr UINT ETO_OPAQUE = 0x2;
inline constexpr UINT ETO_CLIPPED = 0x4;

// GetDeviceCaps indexes and values.
inline constexpr int TECHNOLOGY = 2;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// GetClipBox results.
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;

// ---------------------------------------------------------------------------
// Device contexts

// A device context drawing on surface (not owned; may be null: then nothing is
// drawn). Delete it with DeleteDC.
HDC CreateImageDC(QImage* surface);
// A memory device context with a surface of its own, width x height, in the
// format of reference's surface (32-bit RGB without one), all black.
HDC CreateMemoryDC(HDC reference, int width, int height);
BOOL DeleteDC(HDC dc);

// Points the context at another surface (not owned; may be null); state is kept.
void SetDCSurface(HDC dc, QImage* surface);

int GetDeviceCaps(HDC dc, int index);

// Saves the whole drawing state; returns its level (1, 2, ...) or 0.
int SaveDC(HDC dc);
// Restores level saved (a negative value counts back from the latest).
BOOL RestoreDC(HDC dc, int saved);

// Drawing state. Each setter returns the previous value.
LOGPEN SetDCPen(HDC dc, const LOGPEN& pen);
LOGPEN GetDCPen(HDC dc);
LOGBRUSH SetDCBrush(HDC dc, const LOGBRUSH& brush);
QFont SetDCFont(HDC dc, const QFont& font);  // a point size is taken at 96 pixels per inch
int SetROP2(HDC dc, int mode);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetPolyFillMode(HDC dc, int mode);
int SetStretchBltMode(HDC dc, int mode);

// Clipping to one rectangle (right and bottom exclusive); nullptr removes it.
int SelectClipRect(HDC dc, const RECT* rect);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// The visible part of the surface: NULLREGION, SIMPLEREGION or RGN_ERROR.
int GetClipBox(HDC dc, RECT* rect);
// The clip rectangle set on the context: 1 with rect filled, 0 when none is
// set, -1 for a null context or rect.
int GetClipRect(HDC dc, RECT* rect);

// Lines with the pen; the end point is not drawn. MoveToEx restarts the dash pattern.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);      // last point not drawn
BOOL PolyBezier(HDC dc, const POINT* points, DWORD count);  // 1 + 3n points
// Calls proc for every point of the line from (x1, y1) to (x2, y2), end excluded.
using LINEDDAPROC = void (*)(int x, int y, LPARAM data);
BOOL LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, LPARAM data);

// Closed figures: outlined with the pen, filled with the brush, both through the
// mix mode. The bounding box excludes right and bottom; with a null pen the
// filled area ends one pixel earlier on the right and at the bottom.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Polygon(HDC dc, const POINT* points, int count);
// Part of the ellipse in the box, counter-clockwise on screen from the ray through
// (xStart, yStart) to the ray through (xEnd, yEnd); equal rays give the whole ellipse.
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
// The same sector, with both radii, filled.
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

// Fills and frames with a brush, without the mix mode.
int FillRect(HDC dc, const RECT* rect, const LOGBRUSH& brush);
int FrameRect(HDC dc, const RECT* rect, const LOGBRUSH& brush);  // one pixel wide

// Single pixels, clipped. GetPixel gives CLR_INVALID outside the visible part;
// SetPixel gives the colour set, or CLR_INVALID.
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);

// Text: UTF-8, length in bytes (negative: up to the terminating zero). (x, y) is
// the top-left corner of the text's cell. In OPAQUE mode the cell is first filled
// with the background colour. The mix mode does not apply to text.
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
// ETO_OPAQUE fills rect with the background colour; ETO_CLIPPED clips to rect.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int length);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);
// The character set of the context's font. Fonts carry none of their own here:
// it is the system's, SHIFTJIS_CHARSET under a Japanese system locale, else
// ANSI_CHARSET.
int GetTextCharset(HDC dc);
// Formatted text in rect; returns the text's height (with DT_VCENTER or DT_BOTTOM:
// from rect's top to the bottom of the text), 0 on failure. DT_CALCRECT sets rect's
// right and bottom to the text's extent and draws nothing.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);

// Block transfers. Sizes must be positive (mirroring by negative sizes is not
// supported: such calls fail). Scaling takes the nearest pixel unless the
// destination's stretch mode is HALFTONE. Source and destination may overlap.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);

// Draws an image's part (xSrc, ySrc, wSrc, hSrc) into (x, y, width, height): the
// common path of the transfers above. With key set, source pixels of that
// colour are skipped; with blendAlpha, a source with an alpha channel is blended.
struct ImageDrawOptions {
    DWORD rop = SRCCOPY;
    bool useKey = false;
    COLORREF key = 0;
    bool blendAlpha = false;
};
BOOL DrawImageRect(HDC dst, int x, int y, int width, int height, const QImage& source, int xSrc, int ySrc,
                   int wSrc, int hSrc, const ImageDrawOptions& options);

// Draws a DIB's source rectangle (DIB coordinates: for a bottom-up DIB ySrc counts
// rows from the bottom) into the destination rectangle. Returns the number of
// source scan lines drawn, 0 on failure (null context, bits or header, an
// unsupported or oversized header, DIB_PAL_COLORS, non-positive sizes).
int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
