#include "FolderChanges.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                                       IN_CLOSE_WRITE | IN_ATTRIB;
// Events after which the watch no longer describes the folder at the path.
constexpr std::uint32_t kLostEvents = IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

// File systems whose every change is made through this kernel. Network and
// user-space file systems can change behind inotify's back.
bool isLocalFileSystem(long type)
{
    switch (static_cast<unsigned long>(type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0x858458F6:  // ramfs
    case 0xF2F52010:  // f2fs
    case 0x4D44:      // vfat, msdos
    case 0x2011BAB0:  // exfat
    case 0x7366746E:  // ntfs3
    case 0x5346544E:  // ntfs
    case 0x794C7630:  // overlayfs
    case 0x2FC12FC1:  // zfs
    case 0x52654973:  // reiserfs
    case 0x3153464A:  // jfs
    case 0x482B:      // hfsplus
    case 0x3434:      // nilfs
        return true;
    default:
        return false;
    }
}

}  // namespace

void TFolderChanges::Stop()
{
    if (m_fd.valid() && m_watch >= 0)
        ::inotify_rm_watch(m_fd.get(), m_watch);
    m_watch = -1;
    m_broken = true;
    drain(nullptr);
}

void TFolderChanges::Watch(const std::string& folder)
{
    Stop();
    m_folder = folder;
    if (!m_fd.valid())
        m_fd.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    struct statfs fs{};
    struct stat st{};
    if (!m_fd.valid() || folder.empty() || ::statfs(folder.c_str(), &fs) != 0 || !isLocalFileSystem(long(fs.f_type)))
        return;
    m_watch = ::inotify_add_watch(m_fd.get(), folder.c_str(), kEntryEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    // The folder the watch holds is the one the path reaches now; Take
    // checks that it still does.
    if (m_watch < 0 || ::stat(folder.c_str(), &st) != 0) {
        Stop();
        return;
    }
    m_device = std::uint64_t(st.st_dev);
    m_inode = std::uint64_t(st.st_ino);
    m_broken = false;
}

void TFolderChanges::drain(Report* report)
{
    if (!m_fd.valid())
        return;
    std::unordered_set<std::string> seen;
    if (report)
        seen.insert(report->Names.begin(), report->Names.end());
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t n = ::read(m_fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // EAGAIN: the queue is empty
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            at += ssize_t(sizeof(inotify_event) + event.len);
            if (!report)
                continue;
            if (event.mask & IN_Q_OVERFLOW) {
                m_broken = true;
                continue;
            }
            if (event.wd != m_watch)
                continue;  // left over from an earlier watch
            if (event.mask & kLostEvents) {
                m_broken = true;
                continue;
            }
            if (event.len == 0) {
                // The folder itself changed (its permissions, say): what a
                // reading of it finds may differ for every name.
                m_broken = true;
                continue;
            }
            std::string text(name, strnlen(name, event.len));
            if (seen.insert(text).second)
                report->Names.push_back(std::move(text));
        }
    }
}

TFolderChanges::Report TFolderChanges::Take()
{
    Report report;
    drain(&report);
    struct stat st{};
    if (!m_broken && (::stat(m_folder.c_str(), &st) != 0 || std::uint64_t(st.st_dev) != m_device ||
                      std::uint64_t(st.st_ino) != m_inode))
        m_broken = true;
    report.Complete = !m_broken && m_watch >= 0;
    if (!report.Complete)
        report.Names.clear();
    return report;
}
