// File operations with the Win32 names and results the program relies on,
// over POSIX. Paths are byte strings with "/" separators, passed to the system
// as they are, up to PATH_MAX (4096) bytes with the terminating NUL; a longer
// path fails with ERROR_FILENAME_EXCED_RANGE. A failing function returns FALSE
// and sets GetLastError() (LastError.h).
//
// No operation ever loses a file: a copy is written to a temporary file next
// to its target, made durable, published at its name and the folder synced;
// a move across file systems removes its source only after that, and only
// while the source is still the file it copied; a folder is never replaced,
// and a file is never moved or copied onto itself. The temporary file has no
// name until it is published where the file system allows (O_TMPFILE), so a
// killed process leaves nothing behind; elsewhere a killed process may leave
// ".<name>.pictal-XXXXXX" files, and ".<name>.pictal-XXXXXX.old" for a file a
// move was replacing, which RecoverInterruptedTransfers clears up.
#pragma once

#include "WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

// True for an existing entry that is not a folder; a symbolic link counts as
// what it points to, so a dangling link is no file.
BOOL FileExists(const std::string& path);
// True for an existing folder, also reached through a symbolic link.
BOOL DirectoryExists(const std::string& path);
// True when both paths reach the same file (device and inode).
BOOL IsSameFile(const std::string& a, const std::string& b);

// What tells a file from another and from a later version of itself: its
// device and inode, its size and its modification time.
struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedSeconds = 0;
    std::int64_t ModifiedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
    // The same file, whatever happened to its contents since.
    bool SameFile(const FileIdentity& other) const { return Device == other.Device && Inode == other.Inode; }
};
// The identity of the entry at path itself (a symbolic link is not followed).
BOOL GetFileIdentity(const std::string& path, FileIdentity& identity);

// One version of a file's contents: the identity of the file a path reaches
// (links followed) and its status change time, which every write moves on,
// also when the modification time is put back afterwards.
struct FileVersion {
    FileIdentity Identity;
    std::int64_t ChangedSeconds = 0;
    std::int64_t ChangedNanoseconds = 0;
    bool operator==(const FileVersion&) const = default;
};
BOOL GetFileVersion(const std::string& path, FileVersion& version);

// Makes a folder's entries durable, so that a renamed or linked file keeps its
// name after a crash. A folder that cannot be opened for reading cannot be
// synced by anyone and is passed over (true); a failing sync gives false.
BOOL SyncFolder(const std::string& folder);

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
// source is gone. A source that another program changes or replaces while it
// is copied stays where it is, and the move fails (ERROR_SHARING_VIOLATION).
// Extended attributes go along as far as the target's file system allows.
// A failure leaves both files as they were.
BOOL MoveFileExA(const std::string& from, const std::string& to, DWORD flags);

// Copies a file. An existing target is replaced only by a complete copy, or
// makes the copy fail (ERROR_FILE_EXISTS) when failIfExists is set. Keeps
// the modification time, permission bits and, as far as the target's file
// system allows, extended attributes. A copy whose folder could not be synced
// is in place but reported as failed, since it may not survive a crash.
BOOL CopyFileA(const std::string& from, const std::string& to, BOOL failIfExists);

// Gives the file at path the contents data, whole or not at all: data goes to
// a temporary file beside the file (beside the file a symbolic link at path
// leads to), made durable, given the old file's permission bits (a new file
// gets those the umask leaves) and renamed over it; then the folder is synced.
// On failure path is as it was and no temporary file is left; noTemporaryFile
// (when given) tells whether no temporary file could be made in the folder.
// A path that names a folder or another kind of entry fails
// (ERROR_ACCESS_DENIED).
BOOL ReplaceFileContents(const std::string& path, std::string_view data, bool* noTemporaryFile = nullptr);

// Clears up what killed transfers left in a folder: a temporary copy that no
// living transfer holds is removed (its source was never removed), and a file
// a move was replacing comes back at its name when that name is free (it is
// removed when it is a second link of the file at its name). Anything else is
// left alone.
void RecoverInterruptedTransfers(const std::string& folder);
