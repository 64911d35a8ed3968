// Windows as the window system's functions see them: a window (HWND) is a
// widget, a dialog's controls are its child widgets known by their control id.
// The window text is the widget's window title.
#pragma once

#include "Gdi.h"
#include "WinTypes.h"

// Messages a dialog hook procedure receives.
inline constexpr UINT WM_INITDIALOG = 0x0110;  // lParam: the dialog's structure
inline constexpr UINT WM_COMMAND = 0x0111;     // low word of wParam: the control id
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr WORD LOWORD(WPARAM value)
{
    return WORD(value & 0xFFFF);
}

// The window text in UTF-8. SetWindowTextA takes null as the empty text.
BOOL SetWindowTextA(HWND window, const char* text);
// Copies at most maxCount − 1 bytes of the window text (never part of a
// character) and a terminating zero into buffer; returns the bytes copied,
// 0 for a null window or buffer or a maxCount below 1.
int GetWindowTextA(HWND window, char* buffer, int maxCount);

// GetAncestor: GA_PARENT the parent widget, GA_ROOT the top-level window.
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
HWND GetAncestor(HWND window, UINT flags);

// A dialog's controls by control id: SetDlgCtrlID gives a child its id;
// GetDlgItem finds the first descendant of dialog with that id (null if none).
void SetDlgCtrlID(HWND control, int id);
int GetDlgCtrlID(HWND control);
HWND GetDlgItem(HWND dialog, int id);

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
// Hides or shows the window; returns whether it was visible before.
BOOL ShowWindow(HWND window, int command);

// The cursor's display count: it starts at 0, ShowCursor(TRUE) adds one,
// ShowCursor(FALSE) takes one away; the cursor is hidden while the count is
// below 0. As on Windows each thread has a count of its own, and only the
// count of the application's thread (the one with the windows) shows. Hiding
// sets one blank override cursor of our own on the application, showing
// removes exactly that one, wherever it stands among override cursors set by
// others after it. Returns the new count.
int ShowCursor(BOOL show);

// A device context of the window for measuring: it draws nothing and has the
// window's font selected. Release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
