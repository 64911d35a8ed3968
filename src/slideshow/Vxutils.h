// Helpers of the slide show: the in-place record sort, the counting pass of
// a directory search, and the state the slide comparator reads; and general
// helpers for image display and editing: coordinates between image and
// screen, rubber-band shapes that a second drawing erases, dashed lines whose
// dashes march, the colour and font dialogs, and a few window helpers.
#pragma once

#include "CommonDialogs.h"
#include "VxApi.h"

#include <cstdint>
#include <string>

// Defined with their values in SlideCollection.h.
enum TVxSort : std::uint8_t;
enum TVxSortOrder : std::uint8_t;

// What the slide comparator (TVxSlideCollection::SortProc) orders by. The
// collection copies its settings and extension table here right before it
// sorts; nothing else writes them.
extern TVxSort g_Sort;
extern TVxSortOrder g_SortOrder;
extern char g_FileExtArray[kVxExtSlots * kVxExtSlotSize];

// Sorts count records of size bytes in place with a middle-element pivot
// (Hoare partitioning, left part first). The order of records that compare
// equal is whatever the partitioning leaves: the sort is not stable, and that
// order is part of its behaviour. compare must be deterministic and give 0
// for a record and its copy. Does nothing for fewer than two records or when
// its two scratch records cannot be allocated.
void QSort(void* base, int count, int size, int (*compare)(const void*, const void*));

// The counting pass over one search pattern (folder + "/*." + extension):
// the sum of the page counts of the regular files it finds that the image
// library reads (VXFileType, page 0). Hidden files are counted; folders and
// special entries (FIFOs, sockets, devices, dangling links) are not, and are
// never opened. 0 without the library.
int GetDirFileCount(const std::string& folder, const std::string& pattern);

// The three-dimensional edge of a box, two pixels wide, on the outermost
// pixels of rect (all four coordinates inclusive). Lowered: dark grey
// (0x7F7F7F) left and top outside, black inside, white and light grey
// (0xDFDFDF) right and bottom. Raised swaps the colours of the two sides
// (white and light grey left and top, dark grey and black right and bottom).
// The context's pen is restored afterwards.
void DrawDisplayEdge(HDC dc, const RECT& rect, bool lowered);

// ---- Coordinates and numbers (Trunc cuts toward zero; results beyond the
// range of int are held at its ends, a NaN gives the origin)

// imageOrigin + Trunc((value − screenOrigin) / scale)
int ConvToImgX(int value, int screenOrigin, int imageOrigin, double scale);
int ConvToImgY(int value, int screenOrigin, int imageOrigin, double scale);
// screenOrigin + Trunc((value − imageOrigin) × scale)
int ConvToScrnX(int value, int imageOrigin, int screenOrigin, double scale);
int ConvToScrnY(int value, int imageOrigin, int screenOrigin, double scale);
// Bytes of a scan line of bits bits padded to 32 bits: 4 × ⌈bits / 32⌉; 0 for
// a negative count.
int ALIGNLONG(int bits);
// Rounds halves away from zero: Trunc(x + 0.5) for x ≥ 0, else Trunc(x − 0.5).
std::int64_t Roundoff(long double x);

// ---- Rubber-band shapes
//
// Each is drawn with a solid black one-pixel pen and no brush in the mix mode
// R2_NOTXORPEN, clipped to screenRect (within any clip the context has), so
// that drawing it a second time restores every pixel. Unless inScreen, the
// points are image coordinates and become
//   screen x = Trunc((x − imageRect.left) × scaleX + 0.5) + screenRect.left
//   screen y = Trunc((y − imageRect.top) × scaleY + 0.5) + screenRect.top.
// Afterwards the context's mix mode, clip, pen and brush are those it had.
// The two-point shapes draw nothing when x1, y1, x2 and y2 are all below 1,
// or when (x1, y1) equals (x2, y2).

void _LineNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX, double scaleY,
                 const RECT& screenRect, bool inScreen);
void _RectangleNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX,
                      double scaleY, const RECT& screenRect, bool inScreen);
void _EllipseNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX, double scaleY,
                    const RECT& screenRect, bool inScreen);
// Corners of max((x2 − x1) / 5, 1) by max((y2 − y1) / 5, 1) in screen pixels.
void _RoundRectNOTXOR(HDC dc, int x1, int y1, int x2, int y2, const RECT& imageRect, double scaleX,
                      double scaleY, const RECT& screenRect, bool inScreen);
// The closed outline through count points (converted in a copy).
void _PolygonNOTXOR(HDC dc, const POINT* points, int count, const RECT& imageRect, double scaleX, double scaleY,
                    const RECT& screenRect, bool inScreen);
// The cubic Bézier curve of four points, always in image coordinates.
void _BezierNOTXOR(HDC dc, const POINT points[4], const RECT& imageRect, double scaleX, double scaleY,
                   const RECT& screenRect);

// ---- Marching dashes
//
// A dashed line is drawn point by point in dashes of four points, colour A
// and colour B in turn; the phase counter goes on from one line to the next.
// Points are drawn with the image library's _Line: nothing is drawn while
// the library is not loaded.

// Walks the line from (x1, y1) to (x2, y2), its end point left out (LineDDA),
// drawing each point with LineDDACallBack in colourA and colourB. With
// restart, the phase starts from the start value, which then goes up by one.
void _BlinkLine(HDC dc, int x1, int y1, int x2, int y2, bool restart, COLORREF colourA, COLORREF colourB);
// One point of a dashed line; data is the device context. The point is drawn
// in colour A when the phase (kept to its low three bits) is above 3, else in
// colour B, and the phase counts down.
void LineDDACallBack(int x, int y, LPARAM data);
// The four edges of the box clockwise from the top-left corner (top, right,
// bottom, left; left and top to right and bottom inclusive), restarting on
// the top one, so that each call moves the dashes on by one point.
void _BlinkBox(HDC dc, int left, int top, int right, int bottom, COLORREF colourA, COLORREF colourB);

// ---- Colour and font dialogs

// Runs the colour dialog with colour preselected and sixteen white custom
// colours; true, with colour set to the choice, only when the dialog
// succeeded and its OK button was pressed.
bool ChooseNewColor(HWND owner, COLORREF& colour);
// Notes the OK button (WM_COMMAND with IDOK) for ChooseNewColor.
UINT_PTR ChooseColorHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the font dialog on logFont (screen fonts, with effects, colour black)
// in the layout of the system's language: template 200 under a Japanese
// system locale, else 1200. True, with logFont set to the choice, when a font
// was chosen.
bool ChooseNewFont(HWND owner, LOGFONTA& logFont);
// Hides the font dialog's colour label and colour list when it opens.
UINT_PTR ChooseFontHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr int kFontDialogTemplateJapanese = 200;
inline constexpr int kFontDialogTemplateOther = 1200;

// Clears logFont and sets the face name, the character set of the window's
// device context, the height, weight 700 when bold, and the three styles.
void InitFontParam(HWND window, LOGFONTA& logFont, const std::string& faceName, int height, bool bold,
                   bool italic, bool underline, bool strikeOut);
// Fills logFont as InitFontParam does and runs ChooseNewFont; when a font was
// chosen, writes back its face name, height, bold (exactly when its weight is
// 700) and styles, and returns true.
bool SetFontParam(HWND window, LOGFONTA& logFont, std::string& faceName, int& height, bool& bold, bool& italic,
                  bool& underline, bool& strikeOut);

// ---- Window helpers

// The window text becomes text followed by page in five digits ("%s%05d")
// when page > 0, else text alone.
void SetWindowText_Vx6Page(HWND window, const std::string& text, int page);
// Reads up to 31 bytes of the window text. When it holds "VxLib7" and its
// length is not text's, its last five characters are the page: the window text
// goes back to text alone and the page is returned (0 when those characters
// are not a number). Otherwise, and while the image library is not loaded,
// returns 0 and leaves the window alone.
int GetWindowText_Vx6Page(HWND window, const std::string& text);
// The window's top-level window.
HWND GetParentWindowHandleFromHWnd(HWND window);

// Whether ShowMouseCursor last showed the cursor. It starts as shown, as the
// cursor does, and the image library's first user sets it to shown.
extern bool g_ShowCursorDispFlag;
// Shows or hides the mouse cursor once (ShowCursor) when show differs from
// g_ShowCursorDispFlag, and stores it.
void ShowMouseCursor(bool show);
