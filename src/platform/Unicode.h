// Conversions between the program's narrow text (UTF-8) and wide text (UTF-16).
#pragma once

#include "WinTypes.h"

inline constexpr UINT CP_ACP = 0;       // the narrow code page: UTF-8 here
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_PRECOMPOSED = 0x01;  // accepted: the text is converted as it stands
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;

// Converts `count` bytes of `text` (count -1: up to and including its NUL) to
// UTF-16. With wide == nullptr or wideCount == 0, returns the number of units
// needed; otherwise writes them and returns the number written. Returns 0 when
// the buffer is too small, the code page is unknown, or (with
// MB_ERR_INVALID_CHARS) the text is not valid UTF-8; without that flag invalid
// bytes become U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, char16_t* wide, int wideCount);
// The reverse: UTF-16 to UTF-8, with the same counting rules.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int count, char* text, int textCount);
