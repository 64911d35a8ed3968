// Opening a picture file for reading: regular files only, and never in a way
// that could block (a FIFO or device named like a picture is refused before
// anything is read from it).
#pragma once

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace vxmodule {

// What identifies one version of a file: a changed file gives another.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    std::int64_t changed = 0;   // status change, nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& status);

// The stamp of the regular file at path (links followed); false for anything
// else: missing, a folder, a FIFO, a device, a socket.
bool regularFileStamp(const char* path, FileStamp* stamp);

class ImageFile {
public:
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Opens path; false unless it is a regular file that could be opened.
    bool open(const char* path);
    const FileStamp& stamp() const { return m_stamp; }
    // The open file, at offset 0 after rewind().
    QFile& device() { return m_file; }
    bool rewind() { return m_file.seek(0); }
    // Up to count bytes from the start of the file.
    QByteArray head(qint64 count);
    // The whole file; empty when it is larger than limit bytes or unreadable.
    QByteArray contents(qint64 limit);

private:
    QFile m_file;
    FileStamp m_stamp;
};

}  // namespace vxmodule
