// The user's trash, laid out as the desktop's file managers lay it out, and
// transfers that put the file they replace into it rather than destroy it.
//
// A file on the file system of the home trash ($XDG_DATA_HOME/Trash,
// XDG_DATA_HOME defaulting to ~/.local/share) goes there. A file on another
// file system goes to $topdir/.Trash/$uid when $topdir/.Trash is a folder with
// the sticky bit that is no symbolic link, else to $topdir/.Trash-$uid, where
// $topdir is that file system's mount point; folders missing on the way are
// made (mode 0700). A file is never copied into a trash on another file
// system: when its own file system offers none, it is not trashed.
//
// Each trashed file has "files/<name>" and "info/<name>.trashinfo" in its
// trash, with Path= (its absolute path, percent-encoded byte for byte) and
// DeletionDate= (local time). The name is made unique by claiming the
// .trashinfo file with O_EXCL before the file moves, and the file moves only
// onto a free name, so two programs trashing at once never meet.
//
// Paths are byte strings and pass byte for byte: names that are no UTF-8 are
// trashed and restored as they are. A failing function returns FALSE and sets
// GetLastError() (LastError.h), and changes nothing.
#pragma once

#include "FileOps.h"
#include "WinTypes.h"

#include <optional>
#include <string>

// A file in the trash, as MoveToTrash left it.
struct TrashedFile {
    std::string OriginalPath;  // where it was, absolute
    std::string TrashPath;     // <trash>/files/<name>
    std::string InfoPath;      // <trash>/info/<name>.trashinfo
    FileIdentity Identity;     // the file as it went in
};

// The trash folder (holding files/ and info/) for an entry on the file system
// of path, made where missing; empty (last error set) when that file system
// offers none.
std::string TrashFolderFor(const std::string& path);

// Moves the file or symbolic link at path (never a folder) into its trash.
BOOL MoveToTrash(const std::string& path, TrashedFile& trashed);

// Puts a trashed file back at its original path and removes its .trashinfo.
// Fails when the file in the trash is gone or is no longer the file that went
// in (ERROR_FILE_NOT_FOUND), or when the original name is taken now
// (ERROR_ALREADY_EXISTS).
BOOL RestoreFromTrash(const TrashedFile& trashed);

// A transfer onto a name that may be taken: what it did with the file there.
struct TrashReplacement {
    // The file that was at the target and is in the trash now.
    std::optional<TrashedFile> Replaced;
    // There was a file at the target and the trash refused it; the transfer
    // was not tried.
    bool TrashRefused = false;
};

// Moves from to to (across file systems too), or copies it when copy is set,
// in one step with the replacement of a file already at to: that file goes to
// the trash first. If it cannot, nothing is transferred (TrashRefused). If the
// transfer fails after it went, it comes back at to; in the rare case that it
// cannot, Replaced still names it in the trash. A folder at to, a missing
// source or a target that is the source itself fail before anything moves.
BOOL TransferReplacingIntoTrash(const std::string& from, const std::string& to, bool copy, TrashReplacement& result);
