// Helpers shared by the platform's own sources. Internal: not part of the
// platform's interface, and included by none of its public headers.
#pragma once

#include <string>

namespace pictal_platform_internal {

// The text of the symbolic link at path, of any length; false (with errno
// set) when path is no symbolic link or cannot be read.
bool readLink(const std::string& path, std::string& text);

// For tests only: when set, the file operations behave as on a file system
// without hard links (vfat, exFAT) and never make one. Off by default.
extern bool forceNoHardLinks;
// For tests only: when set, temporary files are always created under a name,
// as on a file system without unnamed files (vfat, exFAT, NFS, most FUSE
// mounts). Off by default.
extern bool forceNamedTempFiles;

}  // namespace pictal_platform_internal
