// Conversions between the program's narrow text (UTF-8) and wide text (UTF-16).
//
// CP_ACP is the narrow text of file names and paths: UTF-8 in practice, but a
// name may hold any bytes. Bytes that are no part of a valid UTF-8 sequence
// are carried in wide text as the lone surrogates U+DC80..U+DCFF (no valid
// UTF-8 text gives one), so that any name converts to wide text and back to
// the same bytes. CP_UTF8 is plain UTF-8: invalid bytes become U+FFFD.
#pragma once

#include "WinTypes.h"

#include <string>
#include <string_view>

inline constexpr UINT CP_ACP = 0;       // file names and paths: UTF-8, any byte kept
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
// The reverse: UTF-16 to UTF-8, with the same counting rules. With CP_ACP a
// carried byte (U+DC80..U+DCFF) becomes that byte again; any other lone
// surrogate becomes U+FFFD.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int count, char* text, int textCount);

// The CP_ACP conversions of whole strings: every byte string converts to wide
// text and back unchanged.
std::u16string WideFromNarrow(std::string_view text);
std::string NarrowFromWide(std::u16string_view wide);
// The longest beginning of text of at most limit bytes that does not end
// inside a UTF-8 character: a cut there backs up over continuation bytes.
std::string_view Utf8Prefix(std::string_view text, std::size_t limit);

// Whether a wide unit carries a byte that is no part of valid UTF-8 (and which one).
inline bool IsCarriedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }
inline char CarriedByte(char16_t unit) { return static_cast<char>(unit - 0xDC00); }
