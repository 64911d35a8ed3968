#include "FileOps.h"

#include "FileDescriptor.h"
#include "LastError.h"
#include "PathUtil.h"
#include "Paths.h"
#include "Unicode.h"

#include <cerrno>
#include <cstdio>  // renameat2, RENAME_NOREPLACE
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using pictal_platform_internal::readLink;

constexpr std::size_t kCopyBufferSize = std::size_t(1) << 20;  // 1 MiB per read and write
constexpr std::size_t kKernelCopyChunk = std::size_t(1) << 30;
// Temporary names are ".<target name>.pictal-XXXXXX", and ".old" added for a
// kept file. Up to this many bytes of the target's name are kept, so that the
// longest temporary name still fits the 255 bytes of a file name.
constexpr std::size_t kMaxTempStem = 236;
constexpr char kTempMarker[] = ".pictal-";
constexpr std::size_t kTempRandomLength = 6;
constexpr char kBackupSuffix[] = ".old";
constexpr int kTempNameAttempts = 100;

bool validPath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

// Fails with the error for errno value err about path; EEXIST reports existsError.
BOOL failWith(int err, const std::string& path, DWORD existsError = ERROR_ALREADY_EXISTS)
{
    return err == EEXIST ? FailWith(existsError) : FailWithErrno(err, path);
}

FileIdentity identityOf(const struct stat& st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec), std::int64_t(st.st_mtim.tv_nsec)};
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

// Makes the written data of fd durable. A file system that cannot sync at
// all (EINVAL, ENOTSUP) is taken at its word; any other failure may mean the
// data never reached the disk.
bool syncFile(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
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

// True when the entry now at a path is still the file described by `then`:
// the same inode, neither rewritten nor resized, nor changed otherwise.
bool unchangedSince(const struct stat& now, const struct stat& then)
{
    return sameInode(now, then) && now.st_size == then.st_size && now.st_mtim.tv_sec == then.st_mtim.tv_sec
        && now.st_mtim.tv_nsec == then.st_mtim.tv_nsec && now.st_ctim.tv_sec == then.st_ctim.tv_sec
        && now.st_ctim.tv_nsec == then.st_ctim.tv_nsec;
}

// The name part of a temporary name for target: the target's name, cut to
// kMaxTempStem bytes at a whole UTF-8 character.
std::string tempStem(const std::string& target)
{
    return std::string(Utf8Prefix(LastPathComponent(target), kMaxTempStem));
}

// A fresh temporary name next to target: "<folder>/.<name>.pictal-XXXXXX"
// followed by suffix, with six random letters and digits.
std::string tempNameFor(const std::string& target, const char* suffix)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string leaf(1, '.');
    leaf += tempStem(target);
    leaf += kTempMarker;
    std::string name = JoinPath(ParentFolder(target), leaf);
    for (std::size_t i = 0; i < kTempRandomLength; ++i)
        name += kLetters[pick(generator)];
    return name + suffix;
}

// Calls make(name) with fresh temporary names for target until one is free;
// make returns 0, or -1 with errno set (EEXIST: that name is taken).
template <typename Make>
bool atFreshTempName(const std::string& target, const char* suffix, std::string& name, Make make)
{
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        name = tempNameFor(target, suffix);
        if (make(name) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    errno = EEXIST;
    return false;
}

// Gives the unnamed file open at fd the name `path`, unless `path` exists.
int linkOpenFile(int fd, const std::string& path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0)
        return -1;
    // No /proc: linking by the descriptor itself needs a privilege most users lack.
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH);
}

// A temporary file next to a target, written and then published at the
// target's name; removed again unless it was published. Where the folder's
// file system offers unnamed files (O_TMPFILE: ext4, XFS, Btrfs, tmpfs, F2FS)
// it has no name until it is published, so a process killed meanwhile leaves
// nothing behind. Elsewhere it is named ".<target name>.pictal-XXXXXX" and
// locked (flock) for as long as it is ours, which tells a leftover of a
// killed process from the file of a transfer under way.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the file, empty and private to the owner.
    bool create(const std::string& target)
    {
        if (!pictal_platform_internal::forceNamedTempFiles) {
            const int fd = ::open(ParentFolder(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
            if (fd >= 0) {
                m_fd.reset(fd);
                m_unnamed = true;
                return claim();
            }
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return false;
        }
        std::string name;
        const bool made = atFreshTempName(target, "", name, [this](const std::string& candidate) {
            const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0)
                return -1;
            m_fd.reset(fd);
            return 0;
        });
        if (!made)
            return false;
        m_path = std::move(name);
        return claim();
    }

    // Creates a symbolic link with the given text under a temporary name.
    bool createLink(const std::string& target, const std::string& text)
    {
        std::string name;
        if (!atFreshTempName(target, "", name, [&text](const std::string& candidate) {
                return ::symlink(text.c_str(), candidate.c_str());
            }))
            return false;
        m_path = std::move(name);
        return ::lstat(m_path.c_str(), &m_identity) == 0;
    }

    int fd() const { return m_fd.get(); }
    // The temporary name; empty for an unnamed file.
    const std::string& path() const { return m_path; }
    const struct stat& identity() const { return m_identity; }

    // The written data made durable. A named file is closed here, so that
    // a delayed write error shows; an unnamed one stays open until published.
    bool finish() { return syncFile(m_fd.get()) && (m_unnamed || m_fd.close()); }

    // Gives the file the name target: over an existing file when replacing,
    // otherwise only while target does not exist.
    bool publish(const std::string& target, bool replace)
    {
        if (!m_unnamed) {
            const int rc = replace ? ::rename(m_path.c_str(), target.c_str()) : renameNoReplace(m_path, target, false);
            if (rc != 0)
                return false;
            m_path.clear();
            return true;
        }
        if (!replace) {
            if (linkOpenFile(m_fd.get(), target) != 0)
                return false;
        } else {
            // No call links over an existing name: linked under a temporary
            // name first, then renamed over the target in one step.
            const int fd = m_fd.get();
            if (!atFreshTempName(target, "", m_path, [fd](const std::string& candidate) { return linkOpenFile(fd, candidate); }))
                return false;
            if (::rename(m_path.c_str(), target.c_str()) != 0)
                return false;
            m_path.clear();
        }
        m_fd.reset();
        m_unnamed = false;
        return true;
    }

    void discard()
    {
        m_fd.reset();
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
            m_path.clear();
        }
    }

private:
    // Locks the new file for as long as it is ours (it keeps the lock under
    // any name it is given) and notes what it is.
    bool claim()
    {
        ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
        return ::fstat(m_fd.get(), &m_identity) == 0;
    }

    UniqueFd m_fd;
    bool m_unnamed = false;
    std::string m_path;  // the temporary name, while the file has one
    struct stat m_identity{};
};

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

// Copies the extended attributes of `in` to `out`: the tags, ratings and
// comments desktop tools keep under "user.", and access control lists. Best
// effort, as the other metadata: a name the target's file system or our
// privileges refuse is passed over.
void copyExtendedAttributes(int in, int out)
{
    ssize_t size = ::flistxattr(in, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(std::size_t(size) + 1);
    size = ::flistxattr(in, names.data(), names.size() - 1);
    if (size <= 0)
        return;
    names.resize(std::size_t(size));
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const char* name = names.data() + at;
        at += std::char_traits<char>::length(name) + 1;
        const ssize_t length = ::fgetxattr(in, name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(std::size_t(length));
        const ssize_t got = ::fgetxattr(in, name, value.data(), value.size());
        if (got >= 0)
            ::fsetxattr(out, name, value.data(), std::size_t(got), 0);
    }
}

// Writes a complete, durable copy of the open regular file `in` (described
// by `source`) to a new temporary file next to `target`, with its permission
// bits, extended attributes and modification time; a move keeps owner and
// access time as well. Those are kept as far as the target's file system
// allows (some FUSE and network mounts refuse them), as Windows treats
// attributes: only the contents and their sync decide whether the copy
// succeeded.
bool copyToTemp(int in, const struct stat& source, const std::string& target, bool forMove, TempFile& temp)
{
    if (!temp.create(target))
        return false;
    const int out = temp.fd();
    if (forMove && ::fchown(out, source.st_uid, source.st_gid) != 0) {
        // Best effort: only root may give a file away.
    }
    ::fchmod(out, source.st_mode & 0777);
    copyExtendedAttributes(in, out);  // after the mode, which an access list refines
    if (!copyContents(in, out))
        return false;
    struct timespec times[2];
    times[0] = forMove ? source.st_atim : timespec{0, UTIME_OMIT};
    times[1] = source.st_mtim;
    ::futimens(out, times);  // after the last write, which would change it
    return temp.finish();
}

// The file a replacing move is about to replace, kept under a second name in
// its folder, ".<name>.pictal-XXXXXX.old", until the move is complete so that
// it can be put back: a hard link where the file system allows one, else the
// file itself renamed (vfat and exFAT have no hard links). Unless committed,
// the old file is put back when the backup goes. A kept regular file is
// locked (flock) while it is ours.
class Backup {
public:
    Backup() = default;
    ~Backup() { restore(); }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    // Keeps the file at target, if there is one. False (with errno set) when
    // the file exists but cannot be kept: target untouched.
    bool make(const std::string& target)
    {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT;
        std::string kept;
        if (!pictal_platform_internal::forceNoHardLinks
            && atFreshTempName(target, kBackupSuffix, kept, [&target](const std::string& candidate) {
                   return ::link(target.c_str(), candidate.c_str());
               }))
            return adopt(target, kept);
        // Renamed over an empty placeholder of our own, which reserves a
        // unique name; rename needs no hard links.
        if (!atFreshTempName(target, kBackupSuffix, kept, [](const std::string& candidate) {
                const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
                return fd < 0 ? -1 : ::close(fd);
            }))
            return false;
        if (::rename(target.c_str(), kept.c_str()) != 0) {
            const int err = errno;
            ::unlink(kept.c_str());
            errno = err;
            return false;
        }
        return adopt(target, kept);
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
        m_lock.reset();
        return back;
    }

    // The move is complete: the old file goes.
    void commit()
    {
        if (!m_path.empty())
            removeIfSame(m_path, m_identity);
        m_path.clear();
        m_lock.reset();
    }

private:
    bool adopt(const std::string& target, const std::string& path)
    {
        m_target = target;
        m_path = path;
        if (::lstat(path.c_str(), &m_identity) != 0)
            return false;
        if (S_ISREG(m_identity.st_mode)) {
            m_lock.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
            if (m_lock.valid())
                ::flock(m_lock.get(), LOCK_EX | LOCK_NB);
        }
        return true;
    }

    std::string m_target;
    std::string m_path;  // empty when nothing is kept
    struct stat m_identity{};
    UniqueFd m_lock;
};

// The move of a file or symbolic link to another file system: a copy next to
// the target, published at the target's name and made durable, and only then
// the source removed, provided it is still the file that was copied. Any
// failure removes the copy and leaves source and target as they were.
BOOL moveAcrossFileSystems(const std::string& from, const struct stat& entry, const std::string& to, bool replace)
{
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode))
        return FailWith(ERROR_NOT_SAME_DEVICE);
    // The source goes last; see that it can go before anything is written.
    if (::access(ParentFolder(from).c_str(), W_OK | X_OK) != 0)
        return failWith(errno, from);

    TempFile temp;
    struct stat copied = entry;  // the source as it was copied
    if (S_ISLNK(entry.st_mode)) {
        std::string text;
        if (!readLink(from, text) || !temp.createLink(to, text))
            return failWith(errno, to);
        // The link's own times; the temporary name is ours alone.
        const struct timespec times[2] = {entry.st_atim, entry.st_mtim};
        ::utimensat(AT_FDCWD, temp.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    } else {
        UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
        if (!in.valid() || ::fstat(in.get(), &copied) != 0)
            return failWith(errno, from);
        if (!sameInode(copied, entry))
            return FailWith(ERROR_ACCESS_DENIED);  // replaced under our feet
        if (!copyToTemp(in.get(), copied, to, true, temp))
            return failWith(errno, to);
    }

    // Nothing is published unless the file it replaces can be put back.
    Backup backup;
    if (replace && !backup.make(to))
        return failWith(errno, to);
    const struct stat copy = temp.identity();
    // Undoes the publication: the replaced file comes back over the copy, or the copy goes.
    auto undo = [&backup, &to, &copy] {
        backup.restore();
        removeIfSame(to, copy);
    };
    if (!temp.publish(to, replace)) {
        const int err = errno;
        backup.restore();
        return failWith(err, to);
    }
    if (!SyncFolder(ParentFolder(to))) {
        const int err = errno;
        undo();
        return failWith(err, to);
    }
    // Another program may have saved a new version of the source meanwhile,
    // by a rename over it or by rewriting it in place: that version is no
    // file of ours to remove.
    struct stat now;
    if (::lstat(from.c_str(), &now) != 0 || !unchangedSince(now, copied)) {
        undo();
        return FailWith(ERROR_SHARING_VIOLATION);
    }
    if (::unlink(from.c_str()) != 0) {
        const int err = errno;
        undo();
        return failWith(err, from);
    }
    backup.commit();
    return TRUE;
}

}  // namespace

BOOL FileExists(const std::string& path)
{
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    return !S_ISDIR(st.st_mode);
}

BOOL DirectoryExists(const std::string& path)
{
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    return S_ISDIR(st.st_mode);
}

BOOL IsSameFile(const std::string& a, const std::string& b)
{
    if (!validPath(a) || !validPath(b))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat sa;
    struct stat sb;
    if (::stat(a.c_str(), &sa) != 0)
        return failWith(errno, a);
    if (::stat(b.c_str(), &sb) != 0)
        return failWith(errno, b);
    return sameInode(sa, sb);
}

BOOL GetFileIdentity(const std::string& path, FileIdentity& identity)
{
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    identity = identityOf(st);
    return TRUE;
}

BOOL GetFileVersion(const std::string& path, FileVersion& version)
{
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    version.Identity = identityOf(st);
    version.ChangedSeconds = std::int64_t(st.st_ctim.tv_sec);
    version.ChangedNanoseconds = std::int64_t(st.st_ctim.tv_nsec);
    return TRUE;
}

BOOL DeleteFileA(const std::string& path)
{
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return failWith(errno, path);
    if (S_ISDIR(st.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);
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
        return FailWith(ERROR_INVALID_PARAMETER);
    const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
    struct stat entry;
    if (::lstat(from.c_str(), &entry) != 0)
        return failWith(errno, from);
    const bool folder = S_ISDIR(entry.st_mode);

    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        // Never over a folder, never with a folder, never onto the file itself.
        if (!replace || folder)
            return FailWith(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(existing.st_mode) || isFolder(to) || sameTarget(from, to))
            return FailWith(ERROR_ACCESS_DENIED);
    }

    const int rc = (replace && !folder) ? ::rename(from.c_str(), to.c_str()) : renameNoReplace(from, to, folder);
    if (rc == 0)
        return TRUE;
    if (errno != EXDEV)
        return failWith(errno, to);
    if (folder || (flags & MOVEFILE_COPY_ALLOWED) == 0)
        return FailWith(ERROR_NOT_SAME_DEVICE);
    return moveAcrossFileSystems(from, entry, to, replace);
}

BOOL CopyFileA(const std::string& from, const std::string& to, BOOL failIfExists)
{
    if (!validPath(from) || !validPath(to))
        return FailWith(ERROR_INVALID_PARAMETER);
    // O_NONBLOCK: a fifo must not hold the caller; it is refused below.
    UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat source;
    if (!in.valid() || ::fstat(in.get(), &source) != 0)
        return failWith(errno, from);
    if (!S_ISREG(source.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);

    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        if (failIfExists)
            return FailWith(ERROR_FILE_EXISTS);
        struct stat target;
        const bool reachable = ::stat(to.c_str(), &target) == 0;
        if (S_ISDIR(existing.st_mode) || (reachable && S_ISDIR(target.st_mode)))
            return FailWith(ERROR_ACCESS_DENIED);
        if (sameInode(existing, source) || (reachable && sameInode(target, source)))
            return FailWith(ERROR_ACCESS_DENIED);
    }

    TempFile temp;
    if (!copyToTemp(in.get(), source, to, false, temp) || !temp.publish(to, !failIfExists) ||
        !SyncFolder(ParentFolder(to)))
        return failWith(errno, to, ERROR_FILE_EXISTS);
    return TRUE;
}

namespace {

// The process's umask, read without setting it: umask() would change it for
// a moment for every thread, and a file another thread creates meanwhile
// would get no mask. Without /proc the usual 022 is assumed.
mode_t currentUmask()
{
    const std::unique_ptr<FILE, decltype(&std::fclose)> status(std::fopen("/proc/self/status", "re"), &std::fclose);
    char line[256];
    while (status && std::fgets(line, sizeof line, status.get())) {
        unsigned mask = 0;
        if (std::sscanf(line, "Umask: %o", &mask) == 1)
            return mode_t(mask & 0777);
    }
    return 022;
}

}  // namespace

BOOL ReplaceFileContents(const std::string& path, std::string_view data, bool* noTemporaryFile)
{
    if (noTemporaryFile)
        *noTemporaryFile = false;
    if (!validPath(path))
        return FailWith(ERROR_INVALID_PARAMETER);
    // Where the write lands: the file, or the one a symbolic link leads to.
    std::string target = path;
    struct stat link;
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
        if (real)
            target = real.get();
    }
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentUmask());

    TempFile temp;
    if (!temp.create(target)) {
        if (noTemporaryFile)
            *noTemporaryFile = true;
        return failWith(errno, target);
    }
    if (::fchmod(temp.fd(), mode) != 0 || !writeAll(temp.fd(), data.data(), data.size()) || !temp.finish() ||
        !temp.publish(target, true) || !SyncFolder(ParentFolder(target)))
        return failWith(errno, target);
    return TRUE;
}

namespace {

// A temporary name of ours split up: "<stem>" from ".<stem>.pictal-XXXXXX"
// with `kept` false, or from ".<stem>.pictal-XXXXXX.old" with `kept` true.
struct TempName {
    std::string stem;
    bool kept = false;
};

bool parseTempName(const std::string& name, TempName& parsed)
{
    std::string rest = name;
    parsed.kept = rest.size() > sizeof kBackupSuffix && rest.ends_with(kBackupSuffix);
    if (parsed.kept)
        rest.resize(rest.size() - (sizeof kBackupSuffix - 1));
    const std::size_t markerLength = sizeof kTempMarker - 1;
    if (rest.size() < 2 + markerLength + kTempRandomLength || rest.front() != '.')
        return false;
    const std::size_t marker = rest.size() - kTempRandomLength - markerLength;
    if (rest.compare(marker, markerLength, kTempMarker) != 0)
        return false;
    for (std::size_t i = marker + markerLength; i < rest.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rest[i]);
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    parsed.stem = rest.substr(1, marker - 1);
    return true;
}

// True when no living transfer holds the regular file at path (its lock is
// free); the lock is held by `lock` on return. Other entries are never held.
bool unclaimed(const std::string& path, const struct stat& st, UniqueFd& lock)
{
    if (!S_ISREG(st.st_mode))
        return true;
    lock.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
    return lock.valid() && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

void RecoverInterruptedTransfers(const std::string& folder)
{
    if (!validPath(folder))
        return;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.' && std::string_view(entry->d_name).find(kTempMarker) != std::string_view::npos)
                names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    for (const std::string& name : names) {
        TempName parsed;
        if (!parseTempName(name, parsed))
            continue;
        const std::string path = JoinPath(folder, name);
        struct stat st;
        UniqueFd lock;
        if (::lstat(path.c_str(), &st) != 0 || !unclaimed(path, st, lock))
            continue;
        if (!parsed.kept) {
            // A copy never published: its source was never removed.
            removeIfSame(path, st);
            continue;
        }
        if (parsed.stem.size() + 4 > kMaxTempStem)
            continue;  // the name may have been cut (at a whole character): its file stays where it is
        const std::string target = JoinPath(folder, parsed.stem);
        struct stat current;
        if (::lstat(target.c_str(), &current) != 0) {
            if (errno == ENOENT)
                renameNoReplace(path, target, false);  // the replaced file comes back
        } else if (sameInode(current, st) || (st.st_size == 0 && S_ISREG(st.st_mode))) {
            removeIfSame(path, st);  // a second link of the file, or an empty placeholder
        }
    }
}

BOOL SyncFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return !fd.valid() || syncFile(fd.get());
}
