#include "ImageFile.h"

#include "FileDescriptor.h"

#include <fcntl.h>

namespace vxmodule {

FileStamp stampOf(const struct stat& status)
{
    FileStamp stamp;
    stamp.device = std::uint64_t(status.st_dev);
    stamp.inode = std::uint64_t(status.st_ino);
    stamp.size = std::int64_t(status.st_size);
    stamp.modified = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.changed = std::int64_t(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    return stamp;
}

bool regularFileStamp(const char* path, FileStamp* stamp)
{
    struct stat status {};
    if (!path || !*path || ::stat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if (stamp)
        *stamp = stampOf(status);
    return true;
}

bool ImageFile::open(const char* path)
{
    if (!path || !*path)
        return false;
    // O_NONBLOCK: if the name was replaced by a FIFO since it was examined, the
    // open returns at once instead of waiting for a writer; fstat refuses it.
    UniqueFd fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    // Plain blocking reads from here on (a regular file never blocks anyway).
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!m_file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    fd.release();  // the file closes it now
    m_stamp = stampOf(status);
    return true;
}

QByteArray ImageFile::head(qint64 count)
{
    if (!rewind())
        return {};
    return m_file.read(count);
}

QByteArray ImageFile::contents(qint64 limit)
{
    if (m_stamp.size > limit || !rewind())
        return {};
    // Exactly the size the file had when it was opened, and one byte more to
    // see whether it grew since (Qt reserves the whole count asked for).
    QByteArray data = m_file.read(m_stamp.size + 1);
    if (data.size() != m_stamp.size)
        return {};
    return data;
}

}  // namespace vxmodule
