#include "FileOps.h"

#include "LastError.h"
#include "PathUtil.h"

#include <cerrno>
#include <cstdio>  // renameat2, RENAME_NOREPLACE
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using pictal_platform_internal::folderOf;
using pictal_platform_internal::readLink;

constexpr std::size_t kCopyBufferSize = std::size_t(1) << 20;  // 1 MiB per read and write
constexpr std::size_t kKernelCopyChunk = std::size_t(1) << 30;
constexpr std::size_t kMaxTempStem = 200;  // bytes of the target's name kept in a temporary name

bool validPath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

BOOL fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Fails with the error for errno value err about path; EEXIST reports existsError.
BOOL failWith(int err, const std::string& path, DWORD existsError = ERROR_ALREADY_EXISTS)
{
    SetLastError(err == EEXIST ? existsError : ErrorFromErrno(err, path));
    return FALSE;
}

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when both paths reach one file: one entry spelt two ways, two hard
// links of one inode, or a symbolic link on one side leading to the other.
bool sameTarget(const std::string& a, const std::string& b)
{
    struct stat sa;
    struct stat sb;
    if (::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sameInode(sa, sb))
        return true;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sameInode(sa, sb);
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string nameOf(const std::string& path)
{
    const std::string p = withoutTrailingSlashes(path);
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and reports the result: a delayed write error shows up here.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

void syncFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// Renames unless `to` exists, in one atomic step. Where the file system
// cannot do that, a file gets its new name by link() (which never replaces)
// before losing the old one; a folder, which cannot be linked, is renamed
// after a check, which at worst replaces a folder created empty meanwhile.
int renameNoReplace(const std::string& from, const std::string& to, bool folder)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return -1;
    if (folder) {
        struct stat st;
        if (::lstat(to.c_str(), &st) == 0) {
            errno = EEXIST;
            return -1;
        }
        return ::rename(from.c_str(), to.c_str());
    }
    if (::link(from.c_str(), to.c_str()) != 0)
        return -1;
    if (::unlink(from.c_str()) != 0) {
        const int err = errno;
        ::unlink(to.c_str());
        errno = err;
        return -1;
    }
    return 0;
}

void removeIfSame(const std::string& path, const struct stat& identity)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && sameInode(st, identity))
        ::unlink(path.c_str());
}

// A temporary file next to a target, named ".<target name>.pictal-XXXXXX";
// removed again unless it was renamed into place.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the file, empty and private to the owner.
    bool create(const std::string& target)
    {
        std::string stem = nameOf(target);
        if (stem.size() > kMaxTempStem) {
            std::size_t cut = kMaxTempStem;
            while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
                --cut;  // whole UTF-8 characters only
            stem.resize(cut);
        }
        const std::string folder = folderOf(target);
        std::string name = (folder == "/" ? std::string() : folder) + "/." + stem + ".pictal-XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return false;
        m_fd.reset(fd);
        m_path = std::move(name);
        return ::fstat(fd, &m_identity) == 0;
    }

    // Turns the file into a symbolic link with the given text, under the
    // same unique name.
    bool becomeLink(const std::string& text)
    {
        m_fd.reset();
        const std::string link = m_path + ".lnk";
        if (::symlink(text.c_str(), link.c_str()) != 0)
            return false;
        if (::rename(link.c_str(), m_path.c_str()) != 0) {
            const int err = errno;
            ::unlink(link.c_str());
            errno = err;
            return false;
        }
        return ::lstat(m_path.c_str(), &m_identity) == 0;
    }

    int fd() const { return m_fd.get(); }
    const std::string& path() const { return m_path; }
    const struct stat& identity() const { return m_identity; }
    bool closeFile() { return m_fd.close(); }
    // Renamed into place: no longer ours to remove.
    void keep() { m_path.clear(); }
    void discard()
    {
        m_fd.reset();
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
            m_path.clear();
        }
    }

private:
    UniqueFd m_fd;
    std::string m_path;
    struct stat m_identity{};
};

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Copies everything from the current offset of `in` to `out`: inside the
// kernel where the file systems allow it, then through a buffer until read()
// itself reports the end.
bool copyContents(int in, int out)
{
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kKernelCopyChunk, 0);
        if (n > 0)
            continue;
        if (n == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
            break;
        return false;
    }
    std::vector<char> buffer(kCopyBufferSize);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.data(), std::size_t(n)))
            return false;
    }
}

// Makes the written data of fd durable. A file system that cannot sync at
// all (EINVAL, ENOTSUP) is taken at its word; any other failure may mean the
// data never reached the disk.
bool syncFile(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Writes a complete, durable copy of the open regular file `in` (described
// by `source`) to a new temporary file next to `target`, with its permission
// bits and modification time; a move keeps owner and access time as well.
// Those are kept as far as the target's file system allows (some FUSE and
// network mounts refuse them), as Windows treats attributes: only the
// contents and their sync decide whether the copy succeeded.
bool copyToTemp(int in, const struct stat& source, const std::string& target, bool forMove, TempFile& temp)
{
    if (!temp.create(target))
        return false;
    const int out = temp.fd();
    if (forMove && ::fchown(out, source.st_uid, source.st_gid) != 0) {
        // Best effort: only root may give a file away.
    }
    ::fchmod(out, source.st_mode & 0777);
    if (!copyContents(in, out))
        return false;
    struct timespec times[2];
    times[0] = forMove ? source.st_atim : timespec{0, UTIME_OMIT};
    times[1] = source.st_mtim;
    ::futimens(out, times);  // after the last write, which would change it
    return syncFile(out) && temp.closeFile();
}

// Renames the finished temporary file to `target`: over an existing file when
// replacing, otherwise only while `target` does not exist.
bool publish(TempFile& temp, const std::string& target, bool replace)
{
    const int rc = replace ? ::rename(temp.path().c_str(), target.c_str()) : renameNoReplace(temp.path(), target, false);
    if (rc != 0)
        return false;
    temp.keep();
    syncFolder(folderOf(target));
    return true;
}

// The file a replacing move is about to replace, kept under a second name in
// its folder until the move is complete so that it can be put back: a hard
// link where the file system allows one, else the file itself renamed to a
// temporary name (vfat and exFAT have no hard links). Unless committed, the
// old file is put back when the backup goes.
class Backup {
public:
    Backup() = default;
    ~Backup() { restore(); }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    // Keeps the file at target, if there is one; copy is the replacement's
    // temporary file, whose unique name the link is named after. False (with
    // errno set) when the file exists but cannot be kept: target untouched.
    bool make(const std::string& target, const TempFile& copy)
    {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT;
        if (!pictal_platform_internal::forceNoHardLinks) {
            const std::string link = copy.path() + ".old";
            if (::link(target.c_str(), link.c_str()) == 0)
                return adopt(target, link);
        }
        // Renamed over an empty placeholder of our own, which reserves a
        // unique name; rename needs no hard links.
        TempFile placeholder;
        if (!placeholder.create(target) || !placeholder.closeFile()
            || ::rename(target.c_str(), placeholder.path().c_str()) != 0) {
            const int err = errno;
            placeholder.discard();
            errno = err;
            return false;
        }
        const std::string renamed = placeholder.path();
        placeholder.keep();
        return adopt(target, renamed);
    }

    // Puts the old file back at its name, over whatever is there now (the
    // published copy), and drops the second name. False when it could not be
    // put back: then it stays under the backup name rather than be lost.
    bool restore()
    {
        if (m_path.empty())
            return true;
        // A no-op while both names are links of one file; the extra one goes below.
        ::rename(m_path.c_str(), m_target.c_str());
        struct stat st;
        const bool back = ::lstat(m_target.c_str(), &st) == 0 && sameInode(st, m_identity);
        if (back)
            removeIfSame(m_path, m_identity);
        m_path.clear();
        return back;
    }

    // The move is complete: the old file goes.
    void commit()
    {
        if (!m_path.empty())
            removeIfSame(m_path, m_identity);
        m_path.clear();
    }

private:
    bool adopt(const std::string& target, const std::string& path)
    {
        m_target = target;
        m_path = path;
        return ::lstat(path.c_str(), &m_identity) == 0;
    }

    std::string m_target;
    std::string m_path;  // empty when nothing is kept
    struct stat m_identity{};
};

// The move of a file or symbolic link to another file system: a copy next to
// the target, renamed into place, and only then the source removed. Any
// failure removes the copy and leaves source and target as they were.
BOOL moveAcrossFileSystems(const std::string& from, const struct stat& entry, const std::string& to, bool replace)
{
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode))
        return fail(ERROR_NOT_SAME_DEVICE);
    // The source goes last; see that it can go before anything is written.
    if (::access(folderOf(from).c_str(), W_OK | X_OK) != 0)
        return failWith(errno, from);

    TempFile temp;
    if (S_ISLNK(entry.st_mode)) {
        std::string text;
        if (!readLink(from, text) || !temp.create(to) || !temp.becomeLink(text))
            return failWith(errno, to);
        const struct timespec times[2] = {entry.st_atim, entry.st_mtim};
        ::utimensat(AT_FDCWD, temp.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    } else {
        UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
        struct stat source;
        if (!in.valid() || ::fstat(in.get(), &source) != 0)
            return failWith(errno, from);
        if (!sameInode(source, entry))
            return fail(ERROR_ACCESS_DENIED);  // replaced under our feet
        if (!copyToTemp(in.get(), source, to, true, temp))
            return failWith(errno, to);
    }

    // Nothing is published unless the file it replaces can be put back.
    Backup backup;
    if (replace && !backup.make(to, temp))
        return failWith(errno, to);
    const struct stat copy = temp.identity();
    if (!publish(temp, to, replace)) {
        const int err = errno;
        backup.restore();
        return failWith(err, to);
    }
    if (::unlink(from.c_str()) != 0) {
        const int err = errno;
        // Undo: the replaced file comes back over the copy, or the copy goes.
        backup.restore();
        removeIfSame(to, copy);
        return failWith(err, from);
    }
    backup.commit();
    return TRUE;
}

}  // namespace

BOOL FileExists(const std::string& path)
{
    if (!validPath(path))
        return fail(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    return !S_ISDIR(st.st_mode);
}

BOOL DirectoryExists(const std::string& path)
{
    if (!validPath(path))
        return fail(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    return S_ISDIR(st.st_mode);
}

BOOL IsSameFile(const std::string& a, const std::string& b)
{
    if (!validPath(a) || !validPath(b))
        return fail(ERROR_INVALID_PARAMETER);
    struct stat sa;
    struct stat sb;
    if (::stat(a.c_str(), &sa) != 0)
        return failWith(errno, a);
    if (::stat(b.c_str(), &sb) != 0)
        return failWith(errno, b);
    return sameInode(sa, sb);
}

BOOL DeleteFileA(const std::string& path)
{
    if (!validPath(path))
        return fail(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    if (S_ISDIR(st.st_mode))
        return fail(ERROR_ACCESS_DENIED);
    if (::unlink(path.c_str()) != 0)
        return failWith(errno, path);
    return TRUE;
}

BOOL MoveFileA(const std::string& from, const std::string& to)
{
    return MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED);
}

BOOL MoveFileExA(const std::string& from, const std::string& to, DWORD flags)
{
    if (!validPath(from) || !validPath(to))
        return fail(ERROR_INVALID_PARAMETER);
    const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
    struct stat entry;
    if (::lstat(from.c_str(), &entry) != 0)
        return failWith(errno, from);
    const bool folder = S_ISDIR(entry.st_mode);

    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        // Never over a folder, never with a folder, never onto the file itself.
        if (!replace || folder)
            return fail(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(existing.st_mode) || isFolder(to) || sameTarget(from, to))
            return fail(ERROR_ACCESS_DENIED);
    }

    const int rc = (replace && !folder) ? ::rename(from.c_str(), to.c_str()) : renameNoReplace(from, to, folder);
    if (rc == 0)
        return TRUE;
    if (errno != EXDEV)
        return failWith(errno, to);
    if (folder || (flags & MOVEFILE_COPY_ALLOWED) == 0)
        return fail(ERROR_NOT_SAME_DEVICE);
    return moveAcrossFileSystems(from, entry, to, replace);
}

BOOL CopyFileA(const std::string& from, const std::string& to, BOOL failIfExists)
{
    if (!validPath(from) || !validPath(to))
        return fail(ERROR_INVALID_PARAMETER);
    // O_NONBLOCK: a fifo must not hold the caller; it is refused below.
    UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat source;
    if (!in.valid() || ::fstat(in.get(), &source) != 0)
        return failWith(errno, from);
    if (!S_ISREG(source.st_mode))
        return fail(ERROR_ACCESS_DENIED);

    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        if (failIfExists)
            return fail(ERROR_FILE_EXISTS);
        struct stat target;
        const bool reachable = ::stat(to.c_str(), &target) == 0;
        if (S_ISDIR(existing.st_mode) || (reachable && S_ISDIR(target.st_mode)))
            return fail(ERROR_ACCESS_DENIED);
        if (sameInode(existing, source) || (reachable && sameInode(target, source)))
            return fail(ERROR_ACCESS_DENIED);
    }

    TempFile temp;
    if (!copyToTemp(in.get(), source, to, false, temp) || !publish(temp, to, !failIfExists))
        return failWith(errno, to, ERROR_FILE_EXISTS);
    return TRUE;
}
