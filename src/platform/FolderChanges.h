// Which entries of one folder changed, as the kernel reports them (inotify),
// so that a reader keeping a folder's listing can redo only those names.
//
// The report is complete only while nothing can have been missed: the watch
// was set, the kernel's queue did not overflow, the folder was not moved,
// removed or replaced (the path still reaches the watched folder), and it
// lies on a local file system, where every change passes through this
// machine's kernel. Otherwise the reader must read the whole folder again.
// A name may be reported that did not change in the end (created and removed
// again, say): the reader examines each reported name afresh.
#pragma once

#include "FileDescriptor.h"

#include <cstdint>
#include <string>
#include <vector>

class TFolderChanges {
public:
    TFolderChanges() = default;
    TFolderChanges(const TFolderChanges&) = delete;
    TFolderChanges& operator=(const TFolderChanges&) = delete;

    // Starts watching folder afresh: changes made before this call are not
    // reported. A folder that cannot be watched gives incomplete reports.
    void Watch(const std::string& folder);
    // Ends the watch; reports are incomplete until the next Watch.
    void Stop();

    struct Report {
        bool Complete = false;
        std::vector<std::string> Names;  // each changed name once, in the order first reported
    };
    // What changed since Watch or the previous Take.
    Report Take();

private:
    void drain(Report* report);

    UniqueFd m_fd;  // the inotify instance
    int m_watch = -1;
    std::string m_folder;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    bool m_broken = true;
};
