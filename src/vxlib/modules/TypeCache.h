// Answers of VXFileType per file version, so that collecting a folder again
// does not reopen files that did not change. A file's answer is its page
// count (0: not readable), valid while its stamp (device, inode, size,
// modification and status change times in nanoseconds) stays the same.
#pragma once

#include "ImageFile.h"

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace vxmodule {

class TypeCache {
public:
    // Holds at most this many files; when it is full the file asked about
    // least recently makes room, so a folder being worked through keeps its
    // answers however many other files were asked about.
    static constexpr std::size_t kCapacity = 20000;

    std::optional<int> find(const std::string& path, const FileStamp& stamp);
    void store(const std::string& path, const FileStamp& stamp, int pages);
    std::size_t size() const;

private:
    struct Entry {
        FileStamp stamp;
        int pages = 0;
        std::list<std::string>::iterator recent;
    };
    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
    std::list<std::string> m_recent;  // most recently asked first
};

}  // namespace vxmodule
