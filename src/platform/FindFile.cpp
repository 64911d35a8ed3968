#include "FindFile.h"

#include "FileTime.h"
#include "LastError.h"
#include "Paths.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <ctime>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

// Wildcard match over folded code points; on a mismatch after a "*" the "*"
// takes one more character and the rest is tried again.
bool MatchesFolded(std::u32string_view name, std::u32string_view pattern)
{
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::u32string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

namespace {

bool hasWildcards(const std::string& pattern)
{
    return pattern.find_first_of("*?") != std::string::npos;
}


struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// An open search: the folder stays open so each entry is examined in the
// folder that was read, even if the path changes meanwhile.
struct Search {
    DirPtr folder;
    std::vector<std::string> names;  // the matching names, read once
    std::size_t next = 0;
};

bool readNames(DIR* dir, std::vector<std::string>& names)
{
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            return errno == 0;
        names.emplace_back(entry->d_name);
    }
}

// The names of the folder searched last, so that the searches of one folder
// made in a row (one per extension, say) read it once. A listing is reused
// for at most one second, and only while the folder's modification time,
// which any entry added, removed or renamed moves on, is unchanged. The file
// system's clock runs in ticks, so a change in the same tick as the previous
// one leaves that time as it was: a listing is kept only when the folder's
// last change lies well behind (20 ms; two seconds where times are stored in
// whole seconds), so no later change can share its tick.
struct FolderListing {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified{};
    struct timespec readAt{};
    std::vector<std::string> names;
    std::vector<std::u32string> folded;  // each name case-folded, for the patterns
    bool valid = false;
};

constexpr long kListingLifetimeNs = 1000000000;

long nanosecondsSince(const struct timespec& then)
{
    struct timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return long(now.tv_sec - then.tv_sec) * 1000000000L + (now.tv_nsec - then.tv_nsec);
}

bool sameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

const FolderListing* folderNames(DIR* dir)
{
    thread_local FolderListing listing;
    struct stat st;
    if (::fstat(::dirfd(dir), &st) != 0)
        return nullptr;
    if (listing.valid && listing.device == st.st_dev && listing.inode == st.st_ino &&
        sameTime(listing.modified, st.st_mtim) && nanosecondsSince(listing.readAt) < kListingLifetimeNs)
        return &listing;

    listing.valid = false;
    listing.names.clear();
    listing.folded.clear();
    if (!readNames(dir, listing.names))
        return nullptr;
    listing.folded.reserve(listing.names.size());
    for (const std::string& name : listing.names)
        listing.folded.push_back(FoldName(name));
    ::clock_gettime(CLOCK_MONOTONIC, &listing.readAt);
    struct timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long age = (long long)(now.tv_sec - st.st_mtim.tv_sec) * 1000000000LL + (now.tv_nsec - st.st_mtim.tv_nsec);
    const long long settled = st.st_mtim.tv_nsec == 0 ? 2000000000LL : 20000000LL;
    listing.device = st.st_dev;
    listing.inode = st.st_ino;
    listing.modified = st.st_mtim;
    listing.valid = age > settled;
    return &listing;
}

// The names of the folder that match the name pattern, in byte order.
bool matchingNames(DIR* dir, const std::string& namePattern, std::vector<std::string>& result)
{
    if (!hasWildcards(namePattern)) {
        struct stat st;
        if (::fstatat(::dirfd(dir), namePattern.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            result.push_back(namePattern);
            return true;
        }
    }
    const FolderListing* listing = folderNames(dir);
    if (!listing)
        return false;
    const std::u32string pattern = FoldName(namePattern);
    for (std::size_t i = 0; i < listing->names.size(); ++i)
        if (MatchesFolded(listing->folded[i], pattern))
            result.push_back(listing->names[i]);
    std::sort(result.begin(), result.end());
    if (!hasWildcards(namePattern) && result.size() > 1)
        result.resize(1);  // one entry for a plain name: the first in byte order
    return true;
}

FILETIME fileTimeOf(const struct statx_timestamp& t)
{
    struct timespec ts{};
    ts.tv_sec = time_t(t.tv_sec);
    ts.tv_nsec = long(t.tv_nsec);
    return TimespecToFileTime(ts);
}

DWORD attributesOf(const std::string& name, mode_t mode, bool unresolvedLink)
{
    DWORD attributes = 0;
    if (!unresolvedLink && S_ISDIR(mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (!unresolvedLink && S_ISREG(mode))
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    else
        attributes |= FILE_ATTRIBUTE_SYSTEM;
    if (name.front() == '.' && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if ((mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

// Fills data for one entry of the folder; false when it is gone.
bool describe(int folder, const std::string& name, WIN32_FIND_DATAA& data)
{
    constexpr unsigned kMask = STATX_BASIC_STATS | STATX_BTIME;
    struct statx sx{};
    if (::statx(folder, name.c_str(), AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, kMask, &sx) != 0)
        return false;
    // A link is described by its target; one whose target cannot be reached,
    // by itself.
    const bool link = S_ISLNK(sx.stx_mode);
    bool unresolvedLink = false;
    if (link) {
        struct statx target{};
        if (::statx(folder, name.c_str(), AT_STATX_SYNC_AS_STAT, kMask, &target) == 0)
            sx = target;
        else
            unresolvedLink = true;
    }
    const bool regular = !unresolvedLink && S_ISREG(sx.stx_mode);
    const std::uint64_t size = regular ? sx.stx_size : 0;
    data.cFileName = name;
    data.dwFileAttributes = attributesOf(name, mode_t(sx.stx_mode), unresolvedLink) |
                            (link ? FILE_ATTRIBUTE_REPARSE_POINT : 0);
    data.nFileSizeHigh = DWORD(size >> 32);
    data.nFileSizeLow = DWORD(size & 0xFFFFFFFFu);
    data.ftCreationTime = fileTimeOf((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    data.ftLastAccessTime = fileTimeOf(sx.stx_atime);
    data.ftLastWriteTime = fileTimeOf(sx.stx_mtime);
    return true;
}

bool advance(Search& search, WIN32_FIND_DATAA& data)
{
    while (search.next < search.names.size()) {
        if (describe(::dirfd(search.folder.get()), search.names[search.next++], data))
            return true;
    }
    return false;
}

// The open searches by handle; a handle that is not in the table is refused.
class SearchTable {
public:
    HANDLE add(std::unique_ptr<Search> search)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const HANDLE handle = reinterpret_cast<HANDLE>(search.get());
        m_searches.emplace(handle, std::move(search));
        return handle;
    }

    // Runs f on the search under the table's lock; false when there is none.
    template <typename F>
    bool with(HANDLE handle, F&& f)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_searches.find(handle);
        if (it == m_searches.end())
            return false;
        f(*it->second);
        return true;
    }

    bool remove(HANDLE handle)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_searches.erase(handle) != 0;
    }

private:
    std::mutex m_lock;
    std::unordered_map<HANDLE, std::unique_ptr<Search>> m_searches;
};

SearchTable& searches()
{
    static SearchTable table;
    return table;
}

}  // namespace

HANDLE FindFirstFileA(const std::string& pattern, WIN32_FIND_DATAA* data)
{
    if (!data || pattern.empty() || pattern.find('\0') != std::string::npos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // The name pattern is what follows the last "/", also when that is nothing.
    const PathParts parts = SplitAtLastSlash(pattern);
    const std::string folder = parts.folder.empty() ? std::string(".") : parts.folder;
    const std::string& namePattern = parts.name;

    auto search = std::make_unique<Search>();
    search->folder.reset(::opendir(folder.c_str()));
    if (!search->folder) {
        const int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
        return INVALID_HANDLE_VALUE;
    }
    if (!matchingNames(search->folder.get(), namePattern, search->names)) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (namePattern.empty() || !advance(*search, *data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    search->names.shrink_to_fit();
    return searches().add(std::move(search));
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data)
{
    bool found = false;
    const bool open = searches().with(search, [&](Search& s) { found = data && advance(s, *data); });
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!found) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE search)
{
    if (!searches().remove(search)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

bool DescribeEntry(const std::string& folder, const std::string& name, WIN32_FIND_DATAA* data)
{
    if (!data || name.empty() || name == "." || name == ".." || name.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return false;
    const DirPtr dir(::opendir(folder.empty() ? "." : folder.c_str()));
    return dir && describe(::dirfd(dir.get()), name, *data);
}

bool MatchesMask(const std::string& name, const std::string& pattern)
{
    return MatchesFolded(FoldName(name), FoldName(pattern));
}
