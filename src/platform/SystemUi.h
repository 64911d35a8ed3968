// Small user-interface services of the window system: the beep and the caret
// blink time (one setting for the whole program).
#pragma once

#include "WinTypes.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT INFINITE_BLINK = 0xFFFFFFFF;  // the caret does not blink

BOOL MessageBeep(UINT type);
// Milliseconds the caret stays on (and off); INFINITE_BLINK when it does not blink.
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);
