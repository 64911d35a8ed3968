#include "Trash.h"

#include "UserFolders.h"

#include "FileDescriptor.h"
#include "LastError.h"
#include "Paths.h"
#include "Unicode.h"

#include <QByteArray>

#include <cerrno>
#include <memory>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kInfoSuffix[] = ".trashinfo";
// A trashed name leaves room for its .trashinfo within the 255 bytes of a name.
constexpr std::size_t kMaxTrashName = 255 - (sizeof kInfoSuffix - 1);
constexpr int kNameAttempts = 1000;

bool isOwnFolder(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// A folder of ours at path: made (0700) when missing; an existing one must be
// a real folder (no symbolic link) owned by the user.
bool ownFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    if (!isOwnFolder(path)) {
        errno = EACCES;
        return false;
    }
    return true;
}

// $XDG_DATA_HOME/Trash; a relative XDG_DATA_HOME is invalid and ignored.
std::string homeTrash()
{
    const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share");
    return data.empty() ? std::string() : JoinPath(data, "Trash");
}

// The device of path, or of the nearest folder above it that exists.
bool deviceOfNearest(std::string path, dev_t& device)
{
    struct stat st;
    while (::stat(path.c_str(), &st) != 0) {
        const std::string parent = ParentFolder(path);
        if (parent == path || parent == ".")
            return false;
        path = parent;
    }
    device = st.st_dev;
    return true;
}

// The mount point of the file system that holds folder: the highest folder
// above it (its real path) on the same device.
std::string mountPoint(const std::string& folder, dev_t device)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr), &std::free);
    if (!real)
        return {};
    std::string top = real.get();
    while (top != "/") {
        const std::string parent = ParentFolder(top);
        struct stat st;
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = parent;
    }
    return top;
}

// A trash folder with its files/ and info/, on the given device.
bool usableTrash(const std::string& trash, dev_t device)
{
    if (!ownFolder(trash) || !ownFolder(JoinPath(trash, "files")) || !ownFolder(JoinPath(trash, "info")))
        return false;
    struct stat st;
    if (::stat(trash.c_str(), &st) != 0)
        return false;
    errno = EXDEV;
    return st.st_dev == device;
}

std::string absolutePath(const std::string& path)
{
    return path.starts_with('/') ? path : JoinPath(WorkingFolder(), path);
}

// "<stem>.<n><extension>" for the n-th attempt (the name itself first), cut
// so that its .trashinfo name still fits.
std::string trashName(const std::string& name, int attempt)
{
    std::string stem = name;
    std::string extension;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::string number = attempt == 0 ? std::string() : "." + std::to_string(attempt + 1);
    if (extension.size() > kMaxTrashName / 2)
        extension.clear();
    const std::size_t room = kMaxTrashName - number.size() - extension.size();
    return std::string(Utf8Prefix(stem, room)) + number + extension;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Claims info/<name>.trashinfo (O_EXCL) and writes it; false with errno set
// (EEXIST: the name is taken).
bool writeInfo(const std::string& infoPath, const std::string& original)
{
    UniqueFd fd(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return false;
    const QByteArray encoded = QByteArray::fromStdString(original).toPercentEncoding("/");
    const std::string text =
        "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" + deletionDate() + "\n";
    if (!writeAll(fd.get(), text.data(), text.size()) || ::fsync(fd.get()) != 0 || !fd.close()) {
        const int err = errno;
        ::unlink(infoPath.c_str());
        errno = err;
        return false;
    }
    return true;
}


}  // namespace

std::string TrashFolderFor(const std::string& path)
{
    struct stat entry;
    if (::lstat(path.c_str(), &entry) != 0) {
        FailWithErrno(errno, path);
        return {};
    }
    const std::string home = homeTrash();
    dev_t homeDevice = 0;
    if (!home.empty() && deviceOfNearest(home, homeDevice) && homeDevice == entry.st_dev) {
        if (MakeFolders(ParentFolder(home)) && usableTrash(home, entry.st_dev))
            return home;
        FailWithErrno(errno, home);
        return {};
    }
    const std::string top = mountPoint(ParentFolder(absolutePath(path)), entry.st_dev);
    if (top.empty()) {
        FailWithErrno(errno, path);
        return {};
    }
    const std::string uid = std::to_string(::getuid());
    // An administrator's shared trash, used only when it is a real folder
    // with the sticky bit.
    const std::string shared = JoinPath(top, ".Trash");
    struct stat st;
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0) {
        const std::string own = JoinPath(shared, uid);
        if (usableTrash(own, entry.st_dev))
            return own;
    }
    const std::string own = JoinPath(top, ".Trash-" + uid);
    if (usableTrash(own, entry.st_dev))
        return own;
    FailWithErrno(errno, own);
    return {};
}

BOOL MoveToTrash(const std::string& path, TrashedFile& trashed)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return FailWithErrno(errno, path);
    if (S_ISDIR(st.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);
    const std::string trash = TrashFolderFor(path);
    if (trash.empty())
        return FALSE;
    const std::string original = absolutePath(path);
    const std::string name = LastPathComponent(original);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = trashName(name, attempt);
        const std::string info = JoinPath(JoinPath(trash, "info"), candidate + kInfoSuffix);
        if (!writeInfo(info, original)) {
            if (errno == EEXIST)
                continue;
            return FailWithErrno(errno, info);
        }
        const std::string target = JoinPath(JoinPath(trash, "files"), candidate);
        // Onto a free name only, on the same file system.
        if (!MoveFileExA(path, target, 0)) {
            const DWORD error = GetLastError();
            ::unlink(info.c_str());
            if (error == ERROR_ALREADY_EXISTS)
                continue;  // a file without its .trashinfo holds the name
            return FailWith(error);
        }
        SyncFolder(JoinPath(trash, "files"));
        SyncFolder(ParentFolder(original));
        trashed.OriginalPath = original;
        trashed.TrashPath = target;
        trashed.InfoPath = info;
        GetFileIdentity(target, trashed.Identity);
        return TRUE;
    }
    return FailWith(ERROR_ALREADY_EXISTS);
}

BOOL RestoreFromTrash(const TrashedFile& trashed)
{
    FileIdentity now;
    if (!GetFileIdentity(trashed.TrashPath, now) || !(now == trashed.Identity))
        return FailWith(ERROR_FILE_NOT_FOUND);
    if (!MoveFileExA(trashed.TrashPath, trashed.OriginalPath, MOVEFILE_COPY_ALLOWED))
        return FALSE;
    ::unlink(trashed.InfoPath.c_str());
    SyncFolder(ParentFolder(trashed.OriginalPath));
    return TRUE;
}

BOOL TransferReplacingIntoTrash(const std::string& from, const std::string& to, bool copy, TrashReplacement& result)
{
    result = {};
    if (from.empty() || to.empty())
        return FailWith(ERROR_INVALID_PARAMETER);
    struct stat source;
    if ((copy ? ::stat(from.c_str(), &source) : ::lstat(from.c_str(), &source)) != 0)
        return FailWithErrno(errno, from);
    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        // Never a folder, never the source itself.
        if (S_ISDIR(existing.st_mode) || DirectoryExists(to) || IsSameFile(from, to))
            return FailWith(ERROR_ACCESS_DENIED);
        TrashedFile old;
        if (!MoveToTrash(to, old)) {
            result.TrashRefused = true;
            return FALSE;
        }
        result.Replaced = old;
    }
    // The name is free now; a file that takes it meanwhile is not replaced.
    if (copy ? CopyFileA(from, to, TRUE) : MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED))
        return TRUE;
    const DWORD error = GetLastError();
    if (result.Replaced && RestoreFromTrash(*result.Replaced))
        result.Replaced.reset();
    return FailWith(error);
}
