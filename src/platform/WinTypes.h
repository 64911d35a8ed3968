// Basic Win32-style types and constants used by the platform layer's functions.
// Only what the program's callers use is defined here; strings are UTF-8 and
// paths have no fixed length.
#pragma once

#include <cstdint>
#include <string>

using BOOL = int;          // non-zero for success / true
#ifndef TRUE  // macros, as on Windows, so that GLib's guarded ones agree with them
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using HRESULT = std::int32_t;

// Each kind of handle points to an incomplete type of its own, so that one
// kind never converts to another (a module handle is no memory block).
struct HANDLE__;
struct HMODULE__;
struct HGLOBAL__;
using HANDLE = HANDLE__*;    // a directory search from FindFirstFileA
using HMODULE = HMODULE__*;  // a module handle from LoadLibraryA (nullptr = the program)
using HINSTANCE = HMODULE;
using HGLOBAL = HGLOBAL__*;  // a movable memory block from GlobalAlloc
using FARPROC = void*;     // an exported entry point, cast by the caller

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// 100-nanosecond intervals since 1601-01-01 UTC, split in two 32-bit halves.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

// Right and bottom are exclusive.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

// File attribute bits reported by the directory search.
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;   // the owner cannot write
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;     // name starts with "."
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;     // neither a regular file nor a folder
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;    // regular files
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;  // a symbolic link (described by its target)
inline constexpr DWORD FILE_ATTRIBUTE_OFFLINE = 0x1000;  // never set

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    std::string cFileName;  // the entry's name, without its folder
};

// ---- Drawing (device contexts, Gdi.h) ----
using COLORREF = DWORD;        // 0x00BBGGRR
using LPARAM = std::intptr_t;

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};
// Character sets of fonts: stored and reported only (text is UTF-8 throughout).
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;
// ---- end of drawing ----

// ---- Windows and messages (UserWindows.h, CommonDialogs.h) ----
class QWidget;
using HWND = QWidget*;  // a window is a widget; a child control is a child widget
using WPARAM = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using LANGID = WORD;
// ---- end of windows ----
