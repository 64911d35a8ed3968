#include "FileDescriptor.h"
#include "FileOps.h"
#include "LastError.h"
#include "PathUtil.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <random>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

// Fault injection at the system boundary: while a hook is set, each fsync()
// the file operations make calls it first. The hook can act at that moment
// (another program saving the source, the process being killed) or make the
// sync fail as a failing disk would.
namespace {
std::function<int(int fd)> g_fsyncHook;
}  // namespace

extern "C" int fsync(int fd)
{
    using RealFsync = int (*)(int);
    static const auto real = reinterpret_cast<RealFsync>(::dlsym(RTLD_NEXT, "fsync"));
    if (g_fsyncHook) {
        const auto hook = g_fsyncHook;
        if (hook(fd) != 0)
            return -1;
    }
    return real(fd);
}

using testfiles::exists;
using testfiles::readFile;
using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

struct stat statOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// A modification time no copy would get by accident, with nanoseconds.
void setDistinctTimes(const std::string& path)
{
    const struct timespec times[2] = {{1000000000, 111111111}, {981173106, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

void expectSameTimeAndMode(const struct stat& before, const std::string& path)
{
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
}

std::set<std::string> entriesOf(const std::string& folder)
{
    std::set<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.insert(name);
    }
    ::closedir(dir);
    return names;
}

std::string randomBytes(std::size_t size)
{
    std::mt19937 generator(20240229);
    std::string bytes(size, '\0');
    for (auto& byte : bytes)
        byte = char(generator() & 0xFF);
    return bytes;
}

// A folder that refuses removals (append-only), or with FS_IMMUTABLE_FL any
// change, which root cannot override; the flag is cleared again on the way out.
class AppendOnlyFolder {
public:
    explicit AppendOnlyFolder(const std::string& path, int flag = FS_APPEND_FL)
        : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY))
    {
        int flags = 0;
        if (m_fd.valid() && ::ioctl(m_fd.get(), FS_IOC_GETFLAGS, &flags) == 0) {
            m_flags = flags;
            flags |= flag;
            m_active = ::ioctl(m_fd.get(), FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~AppendOnlyFolder()
    {
        if (m_active)
            ::ioctl(m_fd.get(), FS_IOC_SETFLAGS, &m_flags);
    }
    bool active() const { return m_active; }

private:
    UniqueFd m_fd;
    int m_flags = 0;
    bool m_active = false;
};

// Sets one of the file operations' test switches while it lives.
class TestSwitch {
public:
    TestSwitch(bool& flag, bool active) : m_flag(flag) { m_flag = active; }
    ~TestSwitch() { m_flag = false; }
    TestSwitch(const TestSwitch&) = delete;
    TestSwitch& operator=(const TestSwitch&) = delete;

private:
    bool& m_flag;
};

// As on a file system without hard links (vfat, exFAT).
struct NoHardLinks : TestSwitch {
    explicit NoHardLinks(bool active) : TestSwitch(pictal_platform_internal::forceNoHardLinks, active) {}
};

// Temporary files under a name, as on a file system without unnamed files.
struct NamedTempFiles : TestSwitch {
    explicit NamedTempFiles(bool active) : TestSwitch(pictal_platform_internal::forceNamedTempFiles, active) {}
};

// Calls hook(fd) at each fsync() while it lives; a non-zero result fails that
// fsync() with errno as the hook left it.
class FsyncHook {
public:
    explicit FsyncHook(std::function<int(int)> hook) { g_fsyncHook = std::move(hook); }
    ~FsyncHook() { g_fsyncHook = nullptr; }
    FsyncHook(const FsyncHook&) = delete;
    FsyncHook& operator=(const FsyncHook&) = delete;
};

bool isFolderFd(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

std::string xattrOf(const std::string& path, const char* name)
{
    char value[256];
    const ssize_t n = ::lgetxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("<none>") : std::string(value, std::size_t(n));
}

// Two temporary folders: one in /tmp, one in /dev/shm, which are different
// file systems on the machines these tests run on.
class FileOps : public ::testing::Test {
protected:
    TempFolder local{"/tmp"};
    TempFolder remote{"/dev/shm"};

    bool twoFileSystems() const
    {
        struct stat a {};
        struct stat b {};
        return local.valid() && remote.valid() && ::stat(local.path().c_str(), &a) == 0
            && ::stat(remote.path().c_str(), &b) == 0 && a.st_dev != b.st_dev;
    }
};

}  // namespace

TEST_F(FileOps, MoveWithinFolderKeepsContentTimeAndMode)
{
    const std::string from = local.file("photo.jpg");
    writeFile(from, "image data");
    ASSERT_EQ(::chmod(from.c_str(), 0640), 0);
    setDistinctTimes(from);
    const struct stat before = statOf(from);

    // Doubled separators name the same entries.
    ASSERT_TRUE(MoveFileA(local.path() + "//photo.jpg", local.path() + "//moved.jpg"));
    EXPECT_FALSE(exists(from));
    EXPECT_EQ(readFile(local.file("moved.jpg")), "image data");
    expectSameTimeAndMode(before, local.file("moved.jpg"));
}

TEST_F(FileOps, MoveAcrossFileSystemsKeepsContentTimeAndMode)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    const std::string from = local.file("photo.jpg");
    writeFile(from, "image data");
    ASSERT_EQ(::chmod(from.c_str(), 0604), 0);
    setDistinctTimes(from);
    const struct stat before = statOf(from);

    // Without the copy option a move stays on its file system.
    EXPECT_FALSE(MoveFileExA(from, remote.file("photo.jpg"), 0));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(readFile(from), "image data");

    ASSERT_TRUE(MoveFileA(from, remote.file("photo.jpg")));
    EXPECT_FALSE(exists(from));
    EXPECT_EQ(readFile(remote.file("photo.jpg")), "image data");
    expectSameTimeAndMode(before, remote.file("photo.jpg"));
    EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"photo.jpg"});

    // A symbolic link moves as a link.
    ASSERT_EQ(::symlink("photo.jpg", local.file("link.jpg").c_str()), 0);
    ASSERT_TRUE(MoveFileA(local.file("link.jpg"), remote.file("link.jpg")));
    EXPECT_FALSE(exists(local.file("link.jpg")));
    EXPECT_TRUE(S_ISLNK(statOf(remote.file("link.jpg")).st_mode));
    EXPECT_EQ(readFile(remote.file("link.jpg")), "image data");
}

TEST_F(FileOps, MoveRefusesAnExistingTarget)
{
    writeFile(local.file("a.jpg"), "source");
    writeFile(local.file("b.jpg"), "target");
    ASSERT_EQ(::mkdir(local.file("folder.jpg").c_str(), 0755), 0);

    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), local.file("b.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), local.file("folder.jpg")));
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), local.file("a.jpg")));
    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_EQ(readFile(local.file("b.jpg")), "target");
    EXPECT_TRUE(entriesOf(local.file("folder.jpg")).empty());

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    writeFile(remote.file("a.jpg"), "remote target");
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), remote.file("a.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_EQ(readFile(remote.file("a.jpg")), "remote target");
    EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"a.jpg"});
}

TEST_F(FileOps, FailedMoveAcrossFileSystemsLeavesSourceAndNoTemporaryFile)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    writeFile(local.file("a.jpg"), "source");

    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), remote.file("missing/a.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    // A target name the final rename refuses, after the whole copy was written.
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), remote.file("b.jpg/")));
    EXPECT_TRUE(entriesOf(remote.path()).empty());

    ASSERT_EQ(::mkdir(remote.file("a.jpg").c_str(), 0755), 0);
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), remote.file("a.jpg")));
    EXPECT_FALSE(MoveFileExA(local.file("a.jpg"), remote.file("a.jpg"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));

    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"a.jpg"});
    EXPECT_TRUE(entriesOf(remote.file("a.jpg")).empty());
}

TEST_F(FileOps, MoveAcrossFileSystemsUndoesTheCopyWhenTheSourceCannotBeRemoved)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    const std::string sourceFolder = local.file("source");
    ASSERT_EQ(::mkdir(sourceFolder.c_str(), 0755), 0);
    writeFile(sourceFolder + "/a.jpg", "source");
    writeFile(remote.file("b.jpg"), "old target");

    setDistinctTimes(remote.file("b.jpg"));
    const struct stat oldTarget = statOf(remote.file("b.jpg"));

    AppendOnlyFolder guard(sourceFolder);
    if (!guard.active())
        GTEST_SKIP() << "cannot make a folder append-only here";

    EXPECT_FALSE(MoveFileA(sourceFolder + "/a.jpg", remote.file("a.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    // The replaced file is kept by a hard link, or on a file system without
    // them by a rename, and comes back as the very same file either way.
    for (const bool withoutHardLinks : {false, true}) {
        SCOPED_TRACE(withoutHardLinks ? "without hard links" : "with hard links");
        NoHardLinks mode(withoutHardLinks);
        EXPECT_FALSE(MoveFileExA(sourceFolder + "/a.jpg", remote.file("b.jpg"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

        EXPECT_EQ(readFile(sourceFolder + "/a.jpg"), "source");
        EXPECT_EQ(readFile(remote.file("b.jpg")), "old target");
        const struct stat after = statOf(remote.file("b.jpg"));
        EXPECT_EQ(after.st_ino, oldTarget.st_ino);
        EXPECT_EQ(after.st_nlink, oldTarget.st_nlink);
        expectSameTimeAndMode(oldTarget, remote.file("b.jpg"));
        EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"b.jpg"});
        EXPECT_EQ(entriesOf(sourceFolder), std::set<std::string>{"a.jpg"});
    }
}

TEST_F(FileOps, MoveWithReplaceReplacesAFileButNeverAFolderOrItself)
{
    writeFile(local.file("a.jpg"), "new");
    writeFile(local.file("b.jpg"), "old");
    setDistinctTimes(local.file("a.jpg"));
    const struct stat before = statOf(local.file("a.jpg"));
    ASSERT_TRUE(MoveFileExA(local.file("a.jpg"), local.file("b.jpg"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(exists(local.file("a.jpg")));
    EXPECT_EQ(readFile(local.file("b.jpg")), "new");
    expectSameTimeAndMode(before, local.file("b.jpg"));

    // Onto itself, spelt another way or through a link to it: refused, untouched.
    EXPECT_FALSE(MoveFileExA(local.file("b.jpg"), local.path() + "//b.jpg", MOVEFILE_REPLACE_EXISTING));
    ASSERT_EQ(::symlink(local.file("b.jpg").c_str(), local.file("link.jpg").c_str()), 0);
    EXPECT_FALSE(MoveFileExA(local.file("link.jpg"), local.file("b.jpg"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(readFile(local.file("b.jpg")), "new");

    ASSERT_EQ(::mkdir(local.file("folder").c_str(), 0755), 0);
    EXPECT_FALSE(MoveFileExA(local.file("b.jpg"), local.file("folder"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(readFile(local.file("b.jpg")), "new");

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    // The replace option alone stays on one file system, as on Windows.
    writeFile(remote.file("b.jpg"), "remote old");
    EXPECT_FALSE(MoveFileExA(local.file("b.jpg"), remote.file("b.jpg"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(readFile(local.file("b.jpg")), "new");
    EXPECT_EQ(readFile(remote.file("b.jpg")), "remote old");

    ASSERT_TRUE(MoveFileExA(local.file("b.jpg"), remote.file("b.jpg"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
    EXPECT_FALSE(exists(local.file("b.jpg")));
    EXPECT_EQ(readFile(remote.file("b.jpg")), "new");
    expectSameTimeAndMode(before, remote.file("b.jpg"));
    EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"b.jpg"});

    // Where the target's file system has no hard links, the old file is set
    // aside by a rename and removed once the move is complete.
    NoHardLinks mode(true);
    writeFile(local.file("c.jpg"), "newer");
    ASSERT_TRUE(MoveFileExA(local.file("c.jpg"), remote.file("b.jpg"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
    EXPECT_FALSE(exists(local.file("c.jpg")));
    EXPECT_EQ(readFile(remote.file("b.jpg")), "newer");
    EXPECT_EQ(statOf(remote.file("b.jpg")).st_nlink, 1u);
    EXPECT_EQ(entriesOf(remote.path()), std::set<std::string>{"b.jpg"});
}

TEST_F(FileOps, CopyReplacesATargetOnlyWithACompleteCopy)
{
    writeFile(local.file("a.jpg"), "short");
    ASSERT_EQ(::chmod(local.file("a.jpg").c_str(), 0444), 0);
    setDistinctTimes(local.file("a.jpg"));
    const struct stat before = statOf(local.file("a.jpg"));
    writeFile(local.file("b.jpg"), "a much longer old target");

    ASSERT_TRUE(CopyFileA(local.file("a.jpg"), local.file("b.jpg"), FALSE));
    EXPECT_EQ(readFile(local.file("b.jpg")), "short");
    EXPECT_EQ(readFile(local.file("a.jpg")), "short");
    expectSameTimeAndMode(before, local.file("b.jpg"));
    EXPECT_EQ(entriesOf(local.path()), (std::set<std::string>{"a.jpg", "b.jpg"}));

    // Onto a folder, or from something that is no file: refused.
    ASSERT_EQ(::mkdir(local.file("folder").c_str(), 0755), 0);
    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.file("folder"), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_EQ(::mkfifo(local.file("fifo").c_str(), 0644), 0);
    EXPECT_FALSE(CopyFileA(local.file("fifo"), local.file("c.jpg"), FALSE));
    EXPECT_FALSE(CopyFileA(local.file("missing.jpg"), local.file("c.jpg"), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.file("missing/c.jpg"), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(exists(local.file("c.jpg")));
    EXPECT_TRUE(entriesOf(local.file("folder")).empty());

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    writeFile(remote.file("b.jpg"), "remote old target");
    ASSERT_TRUE(CopyFileA(local.file("a.jpg"), remote.file("b.jpg"), FALSE));
    EXPECT_EQ(readFile(remote.file("b.jpg")), "short");
    expectSameTimeAndMode(before, remote.file("b.jpg"));
}

TEST_F(FileOps, CopyWithFailIfExists)
{
    writeFile(local.file("a.jpg"), "source");
    writeFile(local.file("b.jpg"), "target");

    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.file("b.jpg"), TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(readFile(local.file("b.jpg")), "target");

    ASSERT_TRUE(CopyFileA(local.file("a.jpg"), local.file("c.jpg"), TRUE));
    EXPECT_EQ(readFile(local.file("c.jpg")), "source");
    EXPECT_EQ(entriesOf(local.path()), (std::set<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(FileOps, CopyOntoItselfIsRefused)
{
    writeFile(local.file("a.jpg"), "source");
    ASSERT_EQ(::link(local.file("a.jpg").c_str(), local.file("hard.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("a.jpg", local.file("soft.jpg").c_str()), 0);

    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.path() + "//a.jpg", FALSE));
    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.file("hard.jpg"), FALSE));
    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), local.file("soft.jpg"), FALSE));
    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_TRUE(S_ISLNK(statOf(local.file("soft.jpg")).st_mode));
    EXPECT_EQ(entriesOf(local.path()), (std::set<std::string>{"a.jpg", "hard.jpg", "soft.jpg"}));
}

TEST_F(FileOps, LargeFileIsCopiedAndMovedByteExact)
{
    const std::string contents = randomBytes(5 * 1024 * 1024 + 12345);
    writeFile(local.file("big.bin"), contents);

    ASSERT_TRUE(CopyFileA(local.file("big.bin"), local.file("copy.bin"), TRUE));
    EXPECT_TRUE(readFile(local.file("copy.bin")) == contents);

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    ASSERT_TRUE(MoveFileA(local.file("copy.bin"), remote.file("moved.bin")));
    EXPECT_TRUE(readFile(remote.file("moved.bin")) == contents);
    EXPECT_FALSE(exists(local.file("copy.bin")));
}

TEST_F(FileOps, ExistenceOfFilesFoldersAndLinks)
{
    writeFile(local.file("a.jpg"), "x");
    ASSERT_EQ(::mkdir(local.file("folder").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("a.jpg", local.file("file-link").c_str()), 0);
    ASSERT_EQ(::symlink("folder", local.file("folder-link").c_str()), 0);
    ASSERT_EQ(::symlink("missing", local.file("dangling").c_str()), 0);

    EXPECT_TRUE(FileExists(local.file("a.jpg")));
    EXPECT_FALSE(DirectoryExists(local.file("a.jpg")));
    EXPECT_FALSE(FileExists(local.file("folder")));
    EXPECT_TRUE(DirectoryExists(local.file("folder")));
    EXPECT_TRUE(FileExists(local.file("file-link")));
    EXPECT_TRUE(DirectoryExists(local.file("folder-link")));
    EXPECT_FALSE(FileExists(local.file("folder-link")));
    EXPECT_FALSE(FileExists(local.file("dangling")));
    EXPECT_FALSE(DirectoryExists(local.file("dangling")));
    EXPECT_FALSE(FileExists(local.file("missing")));
    EXPECT_FALSE(DirectoryExists(local.file("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(local.file("a.jpg") + std::string(1, '\0') + "x"));

    EXPECT_TRUE(IsSameFile(local.file("a.jpg"), local.file("file-link")));
    EXPECT_TRUE(IsSameFile(local.file("a.jpg"), local.path() + "/folder/../a.jpg"));
    EXPECT_FALSE(IsSameFile(local.file("a.jpg"), local.file("folder")));
}

TEST_F(FileOps, DeleteRemovesFilesAndLinksButNoFolder)
{
    writeFile(local.file("a.jpg"), "x");
    ASSERT_EQ(::mkdir(local.file("folder").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("a.jpg", local.file("link.jpg").c_str()), 0);

    EXPECT_FALSE(DeleteFileA(local.file("folder")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DirectoryExists(local.file("folder")));

    ASSERT_TRUE(DeleteFileA(local.file("link.jpg")));
    EXPECT_TRUE(FileExists(local.file("a.jpg")));
    ASSERT_TRUE(DeleteFileA(local.file("a.jpg")));
    EXPECT_FALSE(exists(local.file("a.jpg")));

    EXPECT_FALSE(DeleteFileA(local.file("a.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileA(local.file("missing/a.jpg")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileOps, FoldersMoveWithinAFileSystemOnly)
{
    ASSERT_EQ(::mkdir(local.file("album").c_str(), 0755), 0);
    writeFile(local.file("album/a.jpg"), "x");
    ASSERT_EQ(::mkdir(local.file("other").c_str(), 0755), 0);

    EXPECT_FALSE(MoveFileExA(local.file("album"), local.file("other"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(entriesOf(local.file("other")).empty());
    ASSERT_TRUE(MoveFileA(local.file("album"), local.file("renamed")));
    EXPECT_EQ(readFile(local.file("renamed/a.jpg")), "x");

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    EXPECT_FALSE(MoveFileA(local.file("renamed"), remote.file("album")));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(readFile(local.file("renamed/a.jpg")), "x");
    EXPECT_TRUE(entriesOf(remote.path()).empty());
}

TEST_F(FileOps, ASourceChangedWhileItIsMovedStaysAndTheMoveFails)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    // Another program saves a new version while the copy is made: by writing
    // a new file and renaming it over the source (as editors do), or by
    // rewriting the source in place.
    struct Case {
        const char* what;
        bool renameOver;
        bool replace;
    };
    for (const Case c : {Case{"rename over", true, false}, Case{"rewrite in place", false, false},
                         Case{"rename over, replacing", true, true}, Case{"rewrite in place, replacing", false, true}}) {
        SCOPED_TRACE(c.what);
        const std::string from = local.file("a.jpg");
        const std::string to = remote.file("a.jpg");
        writeFile(from, "first version");
        ::unlink(to.c_str());
        if (c.replace)
            writeFile(to, "old target");
        bool saved = false;
        {
            FsyncHook save([&](int fd) {
                if (!saved && !isFolderFd(fd)) {
                    saved = true;
                    if (c.renameOver) {
                        writeFile(local.file("a.jpg.new"), "second version");
                        ::rename(local.file("a.jpg.new").c_str(), from.c_str());
                    } else {
                        writeFile(from, "second version");
                    }
                }
                return 0;
            });
            EXPECT_FALSE(MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
        }
        EXPECT_TRUE(saved);
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(readFile(from), "second version");
        if (c.replace) {
            EXPECT_EQ(readFile(to), "old target");
        }
        EXPECT_EQ(entriesOf(remote.path()), c.replace ? std::set<std::string>{"a.jpg"} : std::set<std::string>{});
    }
}

TEST_F(FileOps, AFailingFolderSyncFailsTheTransferBeforeTheSourceIsTouched)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    writeFile(local.file("a.jpg"), "source");
    writeFile(remote.file("b.jpg"), "old target");
    {
        FsyncHook failingDisk([](int fd) {
            if (!isFolderFd(fd))
                return 0;
            errno = EIO;
            return -1;
        });
        EXPECT_FALSE(MoveFileA(local.file("a.jpg"), remote.file("a.jpg")));
        EXPECT_FALSE(MoveFileExA(local.file("a.jpg"), remote.file("b.jpg"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
        EXPECT_FALSE(CopyFileA(local.file("a.jpg"), remote.file("c.jpg"), TRUE));
    }
    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_EQ(readFile(remote.file("b.jpg")), "old target");
    // The copy is in place but was not reported as made.
    EXPECT_EQ(entriesOf(remote.path()), (std::set<std::string>{"b.jpg", "c.jpg"}));
}

TEST_F(FileOps, ExtendedAttributesGoAlongWithCopiesAndMoves)
{
    const std::string from = local.file("a.jpg");
    writeFile(from, "picture");
    if (::setxattr(from.c_str(), "user.xdg.tags", "holiday", 7, 0) != 0)
        GTEST_SKIP() << "no user attributes on " << local.path();
    // An access list granting user 4321 read and write: user, named user,
    // group, mask and other entries.
    const unsigned char acl[] = {2, 0, 0, 0,                                    // version
                                 0x01, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF,          // owner rw
                                 0x02, 0, 6, 0, 0xE1, 0x10, 0, 0,                // user 4321 rw
                                 0x04, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF,          // group r
                                 0x10, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF,          // mask rw
                                 0x20, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF};         // other r
    const std::string aclBytes(reinterpret_cast<const char*>(acl), sizeof acl);
    const bool withAcl = ::setxattr(from.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;

    ASSERT_TRUE(CopyFileA(from, local.file("copy.jpg"), TRUE));
    EXPECT_EQ(xattrOf(local.file("copy.jpg"), "user.xdg.tags"), "holiday");
    if (withAcl) {
        EXPECT_EQ(xattrOf(local.file("copy.jpg"), "system.posix_acl_access"), aclBytes);
    }

    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    writeFile(remote.file("probe"), "");
    const bool remoteAcl = ::setxattr(remote.file("probe").c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    ASSERT_TRUE(MoveFileA(from, remote.file("a.jpg")));
    EXPECT_EQ(xattrOf(remote.file("a.jpg"), "user.xdg.tags"), "holiday");
    if (withAcl && remoteAcl) {
        EXPECT_EQ(xattrOf(remote.file("a.jpg"), "system.posix_acl_access"), aclBytes);
    }
}

TEST_F(FileOps, AKilledTransferLeavesNothingOrWhatRecoveryClearsUp)
{
    if (!twoFileSystems())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    // The process dies when the copy's data is being synced, at its largest.
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary files" : "unnamed temporary files");
        writeFile(local.file("a.jpg"), "source");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            NamedTempFiles mode(named);
            FsyncHook kill([](int fd) {
                if (!isFolderFd(fd))
                    ::raise(SIGKILL);
                return 0;
            });
            MoveFileA(local.file("a.jpg"), remote.file("a.jpg"));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        EXPECT_EQ(readFile(local.file("a.jpg")), "source");
        const std::set<std::string> left = entriesOf(remote.path());
        if (named) {
            ASSERT_EQ(left.size(), 1u);
            EXPECT_EQ(left.begin()->rfind(".a.jpg.pictal-", 0), 0u) << *left.begin();
        } else {
            EXPECT_TRUE(left.empty());
        }
        RecoverInterruptedTransfers(remote.path());
        EXPECT_TRUE(entriesOf(remote.path()).empty());
        EXPECT_EQ(entriesOf(local.path()), std::set<std::string>{"a.jpg"});
    }
}

TEST_F(FileOps, RecoveryRestoresKeptFilesAndLeavesWhatIsInUseOrNotOurs)
{
    const std::string folder = local.path();
    // A file a move was replacing, set aside where its name is now free.
    writeFile(local.file(".b.jpg.pictal-Ab12Cd.old"), "replaced file");
    // A second link of a file that is still at its name.
    writeFile(local.file("c.jpg"), "c");
    ASSERT_EQ(::link(local.file("c.jpg").c_str(), local.file(".c.jpg.pictal-Zz99Yy.old").c_str()), 0);
    // A kept file whose name holds another file now: stays.
    writeFile(local.file("d.jpg"), "new d");
    writeFile(local.file(".d.jpg.pictal-Qq11Ww.old"), "old d");
    // A temporary copy that a living transfer holds: stays.
    writeFile(local.file(".e.jpg.pictal-Ee55Ee"), "being written");
    const int held = ::open(local.file(".e.jpg.pictal-Ee55Ee").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // A temporary copy of a killed transfer: goes.
    writeFile(local.file(".f.jpg.pictal-Ff66Ff"), "half a cop");
    // Names that are not ours.
    writeFile(local.file(".g.jpg.pictal-short"), "x");
    writeFile(local.file("h.jpg.pictal-Hh77Hh"), "x");

    RecoverInterruptedTransfers(folder);
    ::close(held);

    EXPECT_EQ(entriesOf(folder), (std::set<std::string>{"b.jpg", "c.jpg", "d.jpg", ".d.jpg.pictal-Qq11Ww.old",
                                                          ".e.jpg.pictal-Ee55Ee", ".g.jpg.pictal-short",
                                                          "h.jpg.pictal-Hh77Hh"}));
    EXPECT_EQ(readFile(local.file("b.jpg")), "replaced file");
    EXPECT_EQ(statOf(local.file("c.jpg")).st_nlink, 1u);
    EXPECT_EQ(readFile(local.file("d.jpg")), "new d");

    RecoverInterruptedTransfers(local.file("missing"));  // quietly nothing
}

TEST_F(FileOps, PathsBeyondTheSystemLimitFailWithTheirOwnError)
{
    writeFile(local.file("a.jpg"), "source");
    const std::string tooLong = local.path() + "/" + std::string(PATH_MAX, 'x');
    EXPECT_FALSE(MoveFileA(local.file("a.jpg"), tooLong));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_FALSE(CopyFileA(local.file("a.jpg"), tooLong, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(readFile(local.file("a.jpg")), "source");
    EXPECT_EQ(entriesOf(local.path()), std::set<std::string>{"a.jpg"});
}

TEST_F(FileOps, ReplacingContentsIsWholeOrNothingAndKeepsTheFilesBits)
{
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
        const NamedTempFiles namedFiles(named);
        TempFolder folder{"/tmp"};
        // An existing file keeps its bits, also through a link; a new one
        // gets those the umask leaves; nothing else is left in the folder.
        const std::string file = folder.file("settings.ini");
        writeFile(file, "old text");
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        ASSERT_EQ(::symlink("settings.ini", folder.file("link.ini").c_str()), 0);
        EXPECT_TRUE(ReplaceFileContents(folder.file("link.ini"), "new text"));
        EXPECT_EQ(readFile(file), "new text");
        struct stat st {};
        ASSERT_EQ(::lstat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        const mode_t mask = ::umask(022);
        EXPECT_TRUE(ReplaceFileContents(folder.file("h\xE9ist.ini"), std::string("a\0b", 3)));
        ::umask(mask);
        EXPECT_EQ(readFile(folder.file("h\xE9ist.ini")), std::string("a\0b", 3));
        ASSERT_EQ(::stat(folder.file("h\xE9ist.ini").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0644u);
        EXPECT_EQ(entriesOf(folder.path()), (std::set<std::string>{"settings.ini", "link.ini", "h\xE9ist.ini"}));

        // A folder is no file to replace; a folder that takes no new entries
        // says so, and the file is as it was.
        bool noTemporary = true;
        EXPECT_FALSE(ReplaceFileContents(folder.path(), "x", &noTemporary));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_FALSE(noTemporary);
        ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);  // what a user without the flag meets
        {
            const AppendOnlyFolder frozen(folder.path(), FS_IMMUTABLE_FL);
            EXPECT_FALSE(ReplaceFileContents(file, "lost?", &noTemporary));
            EXPECT_TRUE(noTemporary);
        }
        ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
        EXPECT_EQ(readFile(file), "new text");
    }
}
