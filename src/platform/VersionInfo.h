// Version records of modules with the Win32 names, read from the file without
// loading it.
//
// A module carries one PICTAL_VERSION_RECORD in an ELF section named
// PICTAL_VERSION_SECTION. GetFileVersionInfoSizeA/GetFileVersionInfoA copy it
// into a version block of the caller's; VerQueryValueA answers these queries
// on that block (backslashes separate the parts; doubled ones count as one,
// names ignore letter case):
//   "\"                                 VS_FIXEDFILEINFO
//   "\VarFileInfo\Translation"          one DWORD: language (low word), code page (high word)
//   "\StringFileInfo\llllcccc\FileVersion"     the file version text
//   "\StringFileInfo\llllcccc\ProductVersion"  the product version text
// where llllcccc is the translation's language and code page in hexadecimal.
// A missing, truncated, non-ELF or otherwise malformed file has no record.
#pragma once

#include "WinTypes.h"

#include <string>

inline constexpr char PICTAL_VERSION_SECTION[] = ".pictal_version";
inline constexpr DWORD PICTAL_VERSION_MAGIC = 0x52565850;  // "PXVR" in file byte order
inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr WORD PICTAL_VERSION_LANGUAGE = 0x0409;  // English (United States)
inline constexpr WORD PICTAL_VERSION_CODEPAGE = 0xFDE9;  // UTF-8 (65001)
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

// The record as it is stored in a module's section (little-endian, packed by
// its natural alignment; the texts are NUL-terminated within their arrays).
struct PICTAL_VERSION_RECORD {
    DWORD dwMagic;             // PICTAL_VERSION_MAGIC
    DWORD dwRecordSize;        // sizeof(PICTAL_VERSION_RECORD)
    DWORD dwFileVersionMS;     // major << 16 | minor
    DWORD dwFileVersionLS;     // patch << 16 | tweak
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    WORD wLanguage;
    WORD wCodePage;
    char szFileVersion[32];
    char szProductVersion[32];
};

struct VS_FIXEDFILEINFO {
    DWORD dwSignature = 0;  // VS_FFI_SIGNATURE
    DWORD dwStrucVersion = 0;
    DWORD dwFileVersionMS = 0;
    DWORD dwFileVersionLS = 0;
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
    DWORD dwFileFlagsMask = 0;
    DWORD dwFileFlags = 0;
    DWORD dwFileOS = 0;
    DWORD dwFileType = 0;
    DWORD dwFileSubtype = 0;
    DWORD dwFileDateMS = 0;
    DWORD dwFileDateLS = 0;
};

// The size of the version block of `file`; 0 when it has no version record
// (ERROR_RESOURCE_TYPE_NOT_FOUND, or the error of opening the file). *handle,
// when given, is set to 0.
DWORD GetFileVersionInfoSizeA(const std::string& file, DWORD* handle);
// Fills data (size bytes, at least GetFileVersionInfoSizeA's answer) with the
// version block of `file`. handle is ignored.
BOOL GetFileVersionInfoA(const std::string& file, DWORD handle, DWORD size, void* data);
// Finds the value named by subBlock in a version block: *buffer points into
// the block, *length is its size in bytes (texts: characters including the
// terminating NUL). FALSE, with *buffer nullptr and *length 0, when absent.
BOOL VerQueryValueA(const void* block, const std::string& subBlock, void** buffer, UINT* length);
