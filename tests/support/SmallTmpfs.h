// A small tmpfs of the test's own, for a second file system; unmounted on
// leaving. Mounting needs root: without it, mounted stays false and the test
// skips.
#pragma once

#include "TestFiles.h"

#include <sys/mount.h>
#include <unistd.h>

namespace testfiles {

struct SmallTmpfs {
    TempFolder mountPoint;
    bool mounted = false;
    SmallTmpfs()
    {
        mounted = ::geteuid() == 0 && ::mount("pictal-test", mountPoint.path().c_str(), "tmpfs", 0, "size=4m") == 0;
    }
    ~SmallTmpfs()
    {
        if (mounted)
            ::umount2(mountPoint.path().c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
};

}  // namespace testfiles
