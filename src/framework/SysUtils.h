// Integer conversion and path-name helpers of the framework's system unit.
// Paths use "/" as the separator; all text is UTF-8.
#pragma once

#include "Exception.h"

#include <string>

// Integer text conversion. Accepted: leading blanks (space, tab), an optional
// "+" or "-", then decimal digits; or hexadecimal digits after "$", "x" or "X",
// or after "0x"/"0X" when at least one digit follows. Nothing may follow the
// digits. A decimal value must lie in the range of a 32-bit int; a hexadecimal
// one may use all 32 bits ("$FFFFFFFF" is -1), or with "-" go down to
// -0x80000000.
bool TryStrToInt(const std::string& s, int& value);
// Raises the conversion error ("'<s>' は整数ではありません", in English "'<s>' is not a
// valid integer value") when s does not convert.
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int def);
std::string IntToStr(int value);

// The extension of the name after the last "/": from its last "." on,
// the dot included; empty when the name has no dot.
std::string ExtractFileExt(const std::string& fileName);
// Everything up to and including the last "/"; empty when there is none.
std::string ExtractFilePath(const std::string& fileName);
// Everything after the last "/".
std::string ExtractFileName(const std::string& fileName);
// path with one "/" at its end (an empty path stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& path);
// path without its trailing "/" (the root "/" stays as it is).
std::string ExcludeTrailingPathDelimiter(const std::string& path);

// Locale-aware comparison without regard to letter case: negative, 0 or
// positive. AnsiSameText: whether two texts differ at most in letter case
// (Unicode case folding).
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);

// The system's text for an error code of GetLastError(), as a sentence (the
// code itself for one without a text).
std::string SysErrorMessage(unsigned long error);

// The error of a list index outside the list: "List index out of bounds (n)".
Exception ListIndexError(int index);

// The absolute form of a path: relative to the working folder, "." and ".."
// resolved by the text alone; empty for an empty or invalid path.
std::string ExpandFileName(const std::string& fileName);
