// Small user-interface services of the window system: the beep, the caret
// blink time (one setting for the whole program) and the system's language.
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

// Language identifiers: the primary language in the low ten bits, the
// sublanguage above them.
inline constexpr WORD LANG_NEUTRAL = 0x00;
inline constexpr WORD LANG_ENGLISH = 0x09;
inline constexpr WORD LANG_JAPANESE = 0x11;
inline constexpr WORD SUBLANG_DEFAULT = 0x01;
inline constexpr LANGID MAKELANGID(WORD primary, WORD sub)
{
    return LANGID((sub << 10) | primary);
}
inline constexpr WORD PRIMARYLANGID(LANGID id)
{
    return WORD(id & 0x3FF);
}
// The language of the system locale: Japanese and English are told apart,
// any other language is LANG_NEUTRAL.
LANGID GetSystemDefaultLangID();
