// The colour and font dialogs, modal, built on Qt's own (never the desktop's
// native ones), with the Windows structures, flags and hook procedures.
//
// A hook procedure receives WM_INITDIALOG (lParam: the structure) before the
// dialog shows, and WM_COMMAND with IDOK or IDCANCEL when the dialog is
// accepted or cancelled; a hook that returns non-zero for that WM_COMMAND keeps
// the dialog open. The dialogs need the application object of Qt Widgets and
// run on its thread only: without it, or on another thread, they fail
// (CDERR_INITIALIZATION).
#pragma once

#include "Gdi.h"
#include "WinTypes.h"

#include <QFont>

#include <string_view>

using LPCCHOOKPROC = UINT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
using LPCFHOOKPROC = LPCCHOOKPROC;

// A resource named by number.
inline const char* MAKEINTRESOURCEA(int id)
{
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

// Why the last dialog call failed; 0 when the person cancelled.
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
DWORD CommDlgExtendedError();

// ---- Colour dialog

inline constexpr DWORD CC_RGBINIT = 0x01;      // preselect rgbResult
inline constexpr DWORD CC_FULLOPEN = 0x02;
inline constexpr DWORD CC_ENABLEHOOK = 0x10;   // call lpfnHook

struct CHOOSECOLORA {
    DWORD lStructSize = sizeof(CHOOSECOLORA);
    HWND hwndOwner = nullptr;
    HWND hInstance = nullptr;
    COLORREF rgbResult = 0;
    COLORREF* lpCustColors = nullptr;  // sixteen colours, shown and given back
    DWORD Flags = 0;
    LPARAM lCustData = 0;
    LPCCHOOKPROC lpfnHook = nullptr;
    const char* lpTemplateName = nullptr;
};

// TRUE when the person chose a colour (rgbResult and the custom colours are
// then written back); FALSE when cancelled or on failure. The application's
// own custom colours (Qt's, kept in the user's settings) are as before.
BOOL ChooseColorA(CHOOSECOLORA* choose);

// ---- Font dialog

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight = 0;  // < 0: character height in pixels; > 0: cell height, taken as the same here
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};  // UTF-8, zero-terminated
};

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_ENABLEHOOK = 0x00000008;
inline constexpr DWORD CF_ENABLETEMPLATE = 0x00000010;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;  // underline, strike-out and the colour
inline constexpr WORD SCREEN_FONTTYPE = 0x2000;

// Control ids of the colour part of the font dialog.
inline constexpr int stc4 = 1091;  // the colour label
inline constexpr int cmb4 = 1139;  // the colour list

struct CHOOSEFONTA {
    DWORD lStructSize = sizeof(CHOOSEFONTA);
    HWND hwndOwner = nullptr;
    HDC hDC = nullptr;
    LOGFONTA* lpLogFont = nullptr;
    int iPointSize = 0;  // out: tenths of a point
    DWORD Flags = 0;
    COLORREF rgbColors = 0;  // in and out with CF_EFFECTS
    LPARAM lCustData = 0;
    LPCFHOOKPROC lpfnHook = nullptr;
    // With CF_ENABLETEMPLATE: the program's layout of the dialog. Qt's font
    // dialog has one layout, which every template names here.
    const char* lpTemplateName = nullptr;
    HINSTANCE hInstance = nullptr;
    char* lpszStyle = nullptr;
    WORD nFontType = 0;  // out
    int nSizeMin = 0;
    int nSizeMax = 0;
};

// TRUE when the person chose a font: *lpLogFont (see QFontToLogFont),
// iPointSize, nFontType and, with CF_EFFECTS, rgbColors are written back.
// FALSE when cancelled or on failure (no LOGFONT, wrong structure size).
BOOL ChooseFontA(CHOOSEFONTA* choose);

// Sets the face name: at most LF_FACESIZE − 1 bytes of name, never ending
// inside a character, the rest of the field zero.
void SetLogFontFaceName(LOGFONTA& logFont, std::string_view name);

// The conversions between LOGFONT and Qt fonts, at 96 pixels per inch: the
// face name is the family; a height of h pixels (either sign) is a size of
// |h| × 72 / 96 points, 0 the default size; weight 0 is normal, any other the
// weight itself (1 to 1000, as Qt counts); italic, underline and strike-out
// are on when non-zero.
QFont LogFontToQFont(const LOGFONTA& logFont);
// Writes font into logFont, keeping the fields a Qt font has no notion of
// (width, escapement, orientation, character set, precisions, quality, pitch)
// and the sign of a non-zero height; the face name is cut to 31 bytes, never
// inside a character; style bytes become 1 or 0.
void QFontToLogFont(const QFont& font, LOGFONTA& logFont);
