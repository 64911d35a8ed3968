// The calling thread's last error, as the Win32-style functions report it:
// a failing function sets it, a succeeding one leaves it as it was.
#pragma once

#include "WinTypes.h"

#include <string>

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;

DWORD GetLastError();
void SetLastError(DWORD error);

// How a failing Win32-style function ends: sets the last error, returns FALSE.
BOOL FailWith(DWORD error);
// The same with the error for errno value err about path (ErrorFromErrno).
BOOL FailWithErrno(int err, const std::string& path);

// The error code for an errno value.
DWORD ErrorFromErrno(int err);
// The same, telling a missing entry (ERROR_FILE_NOT_FOUND) from a missing
// folder on the way to it (ERROR_PATH_NOT_FOUND) for an ENOENT on path.
DWORD ErrorFromErrno(int err, const std::string& path);
