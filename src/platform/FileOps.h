// File operations with the Win32 names and results the program relies on,
// over POSIX. Paths are UTF-8 with "/" separators and of any length; a failing
// function returns FALSE and sets GetLastError() (LastError.h).
//
// No operation ever loses a file: a copy is written to a temporary file next
// to its target, made durable and only then renamed into place; a move
// across file systems removes its source only after the copy is in place;
// a folder is never replaced, and a file is never moved or copied onto itself.
#pragma once

#include "WinTypes.h"

#include <string>

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

// True for an existing entry that is not a folder; a symbolic link counts as
// what it points to, so a dangling link is no file.
BOOL FileExists(const std::string& path);
// True for an existing folder, also reached through a symbolic link.
BOOL DirectoryExists(const std::string& path);
// True when both paths reach the same file (device and inode).
BOOL IsSameFile(const std::string& a, const std::string& b);

// Deletes a file or a symbolic link, never a folder.
BOOL DeleteFileA(const std::string& path);

// Moves a file or folder; fails when `to` exists. Files (not folders) also
// move across file systems. Keeps modification time and permission bits.
BOOL MoveFileA(const std::string& from, const std::string& to);

// MoveFileA with options. Without MOVEFILE_COPY_ALLOWED a move across file
// systems fails (ERROR_NOT_SAME_DEVICE), as on Windows; that includes
// MOVEFILE_REPLACE_EXISTING on its own, which replaces only within one file
// system. With MOVEFILE_REPLACE_EXISTING an existing target file (never a
// folder) is replaced: in one rename on one file system; across file systems
// the old target is kept under a temporary name in its folder until the
// source is gone. A failure leaves both files as they were.
BOOL MoveFileExA(const std::string& from, const std::string& to, DWORD flags);

// Copies a file. An existing target is replaced only by a complete copy, or
// makes the copy fail (ERROR_FILE_EXISTS) when failIfExists is set. Keeps
// the modification time and permission bits.
BOOL CopyFileA(const std::string& from, const std::string& to, BOOL failIfExists);
