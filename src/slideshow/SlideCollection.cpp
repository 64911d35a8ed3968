#include "SlideCollection.h"

#include "Paths.h"

#include "FileDescriptor.h"
#include "FindFile.h"
#include "FolderChanges.h"
#include "SlideList.h"
#include "SysUtils.h"
#include "TextCompare.h"
#include "Vxdllprocs.h"
#include "Vxutils.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A slide list holds at most this many items.
constexpr int kSlideListCapacity = 5000;


// A zero-filled copy of text from calloc; nullptr when out of memory.
char* duplicate(const char* text)
{
    const std::size_t n = std::strlen(text);
    char* copy = static_cast<char*>(std::calloc(n + 1, 1));
    if (copy)
        std::memcpy(copy, text, n);
    return copy;
}

// A date key as the library delivers it: at most 15 characters.
void copyDateKey(char (&to)[16], const char* from)
{
    std::memset(to, 0, sizeof to);
    if (from)
        std::memcpy(to, from, strnlen(from, sizeof to - 1));
}

std::string extensionOf(const std::vector<char>& table, int slot)
{
    const char* text = table.data() + std::size_t(slot) * kVxExtSlotSize;
    return std::string(text, strnlen(text, kVxExtSlotSize));
}

// Calls visit(folder, pattern) for each folder of filePath (GetPathDir) and
// each of the first extCount extensions of the table, in table order.
void forEachPattern(const std::string& filePath, const std::vector<char>& table, int extCount,
                    const std::function<void(const std::string&, const std::string&)>& visit)
{
    if (!Vxdllprocs::GetPathDir)
        return;
    std::vector<char> folder(filePath.size() + 4096);
    for (int d = 0; d < INT_MAX; ++d) {
        std::fill(folder.begin(), folder.end(), '\0');
        if (!Vxdllprocs::GetPathDir(d, filePath.c_str(), folder.data(), std::int32_t(folder.size())))
            break;
        const std::string dir(folder.data(), strnlen(folder.data(), folder.size()));
        for (int e = 0; e < extCount; ++e)
            visit(dir, JoinPath(dir, "*." + extensionOf(table, e)));
    }
}

// The text of the sort key of an item for g_Sort: folder, extension key,
// date key, name and page, as far as the kind asks for them. False when the
// kind sorts nothing or the extension key cannot be had.
bool sortKey(const TVXSORTDATA& item, std::string& key)
{
    bool withFolder = false;
    bool withExt = false;
    bool withDate = false;
    switch (g_Sort) {
    case vxSortFileName: break;
    case vxSortDate: withDate = true; break;
    case vxSortFileExtName: withExt = true; break;
    case vxSortFileExtDate: withExt = withDate = true; break;
    case vxSortDirFileName: withFolder = true; break;
    case vxSortDirDate: withFolder = withDate = true; break;
    case vxSortDirFileExtName: withFolder = withExt = true; break;
    case vxSortDirFileExtDate: withFolder = withExt = withDate = true; break;
    default: return false;
    }
    const char* name = item.fileName ? item.fileName : "";
    key.clear();
    if (withFolder && item.folder)
        key += item.folder;
    if (withExt) {
        char ext[16] = {};
        if (!Vxdllprocs::GetFileExt || !Vxdllprocs::GetFileExt(name, ext, sizeof ext, g_FileExtArray))
            return false;
        key.append(ext, strnlen(ext, sizeof ext));
    }
    if (withDate)
        key.append(item.dateKey, strnlen(item.dateKey, sizeof item.dateKey));
    key += name;
    // The page as "%04d": four or more digits with leading zeros.
    char digits[8];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, int(item.page));
    const std::size_t length = error == std::errc() ? std::size_t(end - digits) : 0;
    if (item.page >= 0 && length < 4)
        key.append(4 - length, '0');
    key.append(digits, length);
    return true;
}

// The one folder that filePath names for GetPathDir; false when it names
// none or several.
bool singleFolder(const std::string& filePath, std::string& folder)
{
    if (!Vxdllprocs::GetPathDir)
        return false;
    std::vector<char> buffer(filePath.size() + 4096, '\0');
    if (!Vxdllprocs::GetPathDir(0, filePath.c_str(), buffer.data(), std::int32_t(buffer.size())))
        return false;
    folder.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    std::fill(buffer.begin(), buffer.end(), '\0');
    return !Vxdllprocs::GetPathDir(1, filePath.c_str(), buffer.data(), std::int32_t(buffer.size()));
}

// The pages of one directory entry that a collection lists: those of a
// visible regular file that the library reads, only the first in folder
// mode, in page order. add(page, dateKey) returns false when no more fit.
void collectPages(const std::string& folder, const WIN32_FIND_DATAA& data, TVxSlideFileReadWay way,
                  TVxSortDate sortDate, const std::function<bool(std::int16_t, const char*)>& add)
{
    using namespace Vxdllprocs;
    // Regular files only: folders, hidden files and special entries (FIFOs,
    // sockets, devices, dangling links) are never opened.
    if (!VXFileType || (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return;
    const std::string path = JoinPath(folder, data.cFileName);
    alignas(8) unsigned char record[kVxFileRecordSize] = {};
    if (!VXFileType(path.c_str(), 0, record))
        return;
    std::int16_t pages = 0;
    std::memcpy(&pages, record + kVxFileRecordPageCount, sizeof pages);
    if (way == vxFolder)
        pages = 1;
    bool haveKeys = false;
    char keys[3][kVxDateKeySize] = {};
    for (int p = 0; p < pages; ++p) {
        // Page 0 was read just above: each page is asked for once.
        if (p > 0 && !VXFileType(path.c_str(), std::int16_t(p), record))
            continue;  // a page that cannot be read leaves no gap
        if (!haveKeys) {
            haveKeys = true;
            if (!GetFileDateTimeEx || !GetFileDateTimeEx(data.cFileName.c_str(), folder.c_str(), keys[0], keys[1], keys[2]))
                std::memset(keys, 0, sizeof keys);
        }
        const int key = sortDate <= vxSortDateLastAccessTime ? sortDate : vxSortDateLastWriteTime;
        if (!add(std::int16_t(p), keys[key]))
            return;
    }
}

// More changed names than this are collected with the whole folder.
constexpr std::size_t kMostNamesRedone = 64;

}  // namespace

// One collected item of a folder snapshot (the folder is the snapshot's).
struct TVxSlideCollection::FolderSnapshot {
    struct Item {
        std::string fileName;
        char dateKey[16];
        std::int16_t page;
    };
    std::string folder;
    std::string filePath;
    std::string fileExt;
    TVxSlideFileReadWay readWay = vxFolder;
    TVxSort sort = vxSortNone;
    TVxSortOrder sortOrder = vxSortOrderInc;
    TVxSortDate sortDate = vxSortDateLastWriteTime;
    std::vector<Item> items;  // in the collection's order
    TFolderChanges changes;   // since the items were read
    bool valid = false;
};

TVxSlideCollection::TVxSlideCollection() : m_fileExtArray(std::size_t(kVxExtSlots) * kVxExtSlotSize, '\0') {}

TVxSlideCollection::~TVxSlideCollection()
{
    FreeThumbDataMemory();
}

void TVxSlideCollection::SetFilePath(const std::string& value)
{
    m_filePath = ExcludeTrailingPathDelimiter(value);
}

const TVXSORTDATA* TVxSlideCollection::Item(int i) const
{
    if (i < 0 || i >= m_count)
        return nullptr;
    return &m_items[i];
}

// ---- building the list

bool TVxSlideCollection::allocate(int capacity)
{
    FreeThumbDataMemory();
    if (capacity < 1)
        return false;
    m_items = static_cast<TVXSORTDATA*>(std::calloc(std::size_t(capacity), sizeof(TVXSORTDATA)));
    if (!m_items)
        return false;
    m_capacity = capacity;
    return true;
}

bool TVxSlideCollection::append(const char* folder, const char* fileName, std::int16_t page, const char* dateKey)
{
    if (!m_items || m_count >= m_capacity)
        return false;
    char* folderCopy = duplicate(folder);
    char* nameCopy = duplicate(fileName);
    if (!folderCopy || !nameCopy) {
        std::free(folderCopy);
        std::free(nameCopy);
        return false;
    }
    TVXSORTDATA& item = m_items[m_count++];
    item.folder = folderCopy;
    item.fileName = nameCopy;
    copyDateKey(item.dateKey, dateKey);
    item.page = page;
    return true;
}

void TVxSlideCollection::FreeThumbDataMemory()
{
    if (m_items) {
        for (int i = 0; i < m_count; ++i) {
            std::free(m_items[i].folder);
            std::free(m_items[i].fileName);
        }
        std::free(m_items);
    }
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

bool TVxSlideCollection::GetFromFolder()
{
    using namespace Vxdllprocs;
    FreeThumbDataMemory();
    if (m_filePath.empty() || !IsSetDrive || !IsSetDrive(m_filePath.c_str()) || !GetPathFileExt)
        return false;
    std::fill(m_fileExtArray.begin(), m_fileExtArray.end(), '\0');
    m_fileExtCount = std::min<int>(GetPathFileExt("", m_fileExt.c_str(), m_fileExtArray.data()), kVxExtSlots);
    if (m_fileExtCount < 1)
        return false;
    std::string folder;
    const bool watched = changesKeepOrder() && singleFolder(m_filePath, folder);
    if (watched && collectChanges(folder)) {
        if (m_count < 1) {
            FreeThumbDataMemory();
            return false;
        }
        return true;
    }
    if (watched) {
        // What changes from here on, the next collection redoes.
        if (!m_snapshot)
            m_snapshot = std::make_unique<FolderSnapshot>();
        m_snapshot->valid = false;
        m_snapshot->changes.Watch(folder);
    } else {
        m_snapshot.reset();
    }
    m_linked = false;
    if (GetPathFilesCount(m_fileExtCount) < 1)
        return false;
    forEachPattern(m_filePath, m_fileExtArray, m_fileExtCount,
                   [this](const std::string& folder, const std::string& pattern) { GetPathFilesSub(folder, pattern); });
    if (m_count < 1) {
        // Nothing readable: a failed open, like an empty folder.
        FreeThumbDataMemory();
        return false;
    }
    bool untied = true;
    if (m_sort != vxSortNone && m_count > 1)
        untied = sortItems();
    if (watched)
        keepSnapshot(folder, untied);
    return true;
}

bool TVxSlideCollection::sortItems()
{
    prepareSort();
    // Each item's key is made and prepared once; the order is SortProc's.
    std::vector<TSortText> keys;
    keys.reserve(std::size_t(m_count));
    std::string key;
    for (int i = 0; i < m_count; ++i) {
        if (!sortKey(m_items[i], key)) {
            QSort(m_items, m_count, int(sizeof(TVXSORTDATA)), &TVxSlideCollection::SortProc);
            return false;
        }
        keys.emplace_back(key);
    }
    const bool descending = m_sortOrder == vxSortOrderDec;
    std::vector<int> order(static_cast<std::size_t>(m_count));
    for (int i = 0; i < m_count; ++i)
        order[std::size_t(i)] = i;
    std::sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        const int c = keys[std::size_t(a)].Compare(keys[std::size_t(b)]);
        return descending ? c > 0 : c < 0;
    });
    // Items that sort level stand as QSort leaves them: it sorts them itself.
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (keys[std::size_t(order[i - 1])].Compare(keys[std::size_t(order[i])]) == 0) {
            QSort(m_items, m_count, int(sizeof(TVXSORTDATA)), &TVxSlideCollection::SortProc);
            return false;
        }
    }
    std::vector<TVXSORTDATA> sorted(static_cast<std::size_t>(m_count));
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = m_items[order[i]];
    std::memcpy(m_items, sorted.data(), sorted.size() * sizeof(TVXSORTDATA));
    return true;
}

void TVxSlideCollection::prepareSort() const
{
    g_Sort = m_sort;
    g_SortOrder = m_sortOrder;
    std::memcpy(g_FileExtArray, m_fileExtArray.data(), sizeof g_FileExtArray);
}

bool TVxSlideCollection::changesKeepOrder() const
{
    // Without an order the items stand in the folder's own order; the access
    // time changes with every reading, which no change report tells.
    const bool byDate = m_sort == vxSortDate || m_sort == vxSortFileExtDate || m_sort == vxSortDirDate ||
                        m_sort == vxSortDirFileExtDate;
    return m_sort != vxSortNone && !(byDate && m_sortDate == vxSortDateLastAccessTime);
}

bool TVxSlideCollection::sameSettings(const FolderSnapshot& snapshot, const std::string& folder) const
{
    return snapshot.folder == folder && snapshot.filePath == m_filePath && snapshot.fileExt == m_fileExt &&
           snapshot.readWay == m_fileReadWay && snapshot.sort == m_sort && snapshot.sortOrder == m_sortOrder &&
           snapshot.sortDate == m_sortDate;
}

void TVxSlideCollection::keepSnapshot(const std::string& folder, bool untied)
{
    FolderSnapshot& s = *m_snapshot;
    s.folder = folder;
    s.filePath = m_filePath;
    s.fileExt = m_fileExt;
    s.readWay = m_fileReadWay;
    s.sort = m_sort;
    s.sortOrder = m_sortOrder;
    s.sortDate = m_sortDate;
    s.items.clear();
    s.items.reserve(std::size_t(m_count));
    // Items that sort level stand in an order only a whole collection knows;
    // links change with their targets, which the folder does not hear of.
    s.valid = untied && !m_linked;
    for (int i = 0; i < m_count; ++i) {
        FolderSnapshot::Item item{m_items[i].fileName ? m_items[i].fileName : "", {}, m_items[i].page};
        std::memcpy(item.dateKey, m_items[i].dateKey, sizeof item.dateKey);
        s.items.push_back(std::move(item));
    }
}

bool TVxSlideCollection::collectChanges(const std::string& folder)
{
    if (!m_snapshot || !m_snapshot->valid || !sameSettings(*m_snapshot, folder))
        return false;
    FolderSnapshot& s = *m_snapshot;
    const TFolderChanges::Report report = s.changes.Take();
    if (!report.Complete || report.Names.size() > kMostNamesRedone)
        return false;
    prepareSort();
    using Item = FolderSnapshot::Item;
    const auto view = [&folder](const Item& item) {
        TVXSORTDATA data{};
        data.folder = const_cast<char*>(folder.c_str());
        data.fileName = const_cast<char*>(item.fileName.c_str());
        std::memcpy(data.dateKey, item.dateKey, sizeof data.dateKey);
        data.page = item.page;
        return data;
    };
    // The snapshot is brought up to date in place; until it is whole again it
    // serves no collection, so a way out below leaves it to a whole one.
    s.valid = false;
    std::vector<Item>& items = s.items;
    for (const std::string& name : report.Names) {
        std::erase_if(items, [&name](const Item& item) { return item.fileName == name; });
        WIN32_FIND_DATAA data;
        if (!DescribeEntry(folder, name, &data))
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return false;
        // As many times as patterns of the table match it, as a whole collection finds it.
        std::vector<Item> found;
        for (int e = 0; e < m_fileExtCount; ++e) {
            if (!MatchesMask(name, "*." + extensionOf(m_fileExtArray, e)))
                continue;
            collectPages(folder, data, m_fileReadWay, m_sortDate, [&](std::int16_t page, const char* dateKey) {
                Item item{name, {}, page};
                copyDateKey(item.dateKey, dateKey);
                found.push_back(std::move(item));
                return true;
            });
        }
        for (Item& item : found) {
            const TVXSORTDATA key = view(item);
            const auto at = std::upper_bound(items.begin(), items.end(), key, [&view](const TVXSORTDATA& k, const Item& other) {
                const TVXSORTDATA o = view(other);
                return SortProc(&k, &o) < 0;
            });
            if (at != items.begin()) {
                const TVXSORTDATA before = view(*(at - 1));
                if (SortProc(&before, &key) == 0)
                    return false;
            }
            items.insert(at, std::move(item));
        }
    }
    if (items.empty()) {
        s.valid = true;
        return true;  // an empty collection: the caller fails as for an empty folder
    }
    if (!allocate(int(std::min<std::size_t>(items.size(), INT_MAX))))
        return false;
    for (const Item& item : items)
        append(folder.c_str(), item.fileName.c_str(), item.page, item.dateKey);
    if (std::size_t(m_count) != items.size()) {
        FreeThumbDataMemory();
        return false;
    }
    s.valid = true;
    return true;
}

int TVxSlideCollection::GetPathFilesCount(int extCount)
{
    FreeThumbDataMemory();
    extCount = std::min(extCount, kVxExtSlots);
    if (extCount < 1)
        return 0;
    long long total = 0;
    forEachPattern(m_filePath, m_fileExtArray, extCount, [&total](const std::string& folder, const std::string& pattern) {
        if (total < INT_MAX)
            total += GetDirFileCount(folder, pattern);
    });
    if (!allocate(int(std::min<long long>(total, INT_MAX))))
        return 0;
    return m_capacity;
}

void TVxSlideCollection::GetPathFilesSub(const std::string& folder, const std::string& pattern)
{
    if (!m_items || !Vxdllprocs::VXFileType)
        return;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // A link's target can change without the folder hearing of it.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            m_linked = true;
        collectPages(folder, data, m_fileReadWay, m_sortDate, [&](std::int16_t page, const char* dateKey) {
            append(folder.c_str(), data.cFileName.c_str(), page, dateKey);
            return m_count < m_capacity;
        });
    } while (m_count < m_capacity && FindNextFileA(search, &data));
    FindClose(search);
}

int TVxSlideCollection::SortProc(const void* a, const void* b)
{
    if (!a || !b)
        return 0;
    // Built afresh for every comparison; only their storage is reused.
    thread_local std::string keyA;
    thread_local std::string keyB;
    if (!sortKey(*static_cast<const TVXSORTDATA*>(a), keyA) || !sortKey(*static_cast<const TVXSORTDATA*>(b), keyB))
        return 0;
    return g_SortOrder == vxSortOrderDec ? lstrcmpiA(keyB, keyA) : lstrcmpiA(keyA, keyB);
}

// ---- the slide list file

bool TVxSlideCollection::GetFromSlideFile()
{
    using namespace Vxdllprocs;
    FreeThumbDataMemory();
    if (m_slideFileName.empty()) {
        m_errorCode = 5;
        return false;
    }
    if (!IsSetDrive || !IsSetDrive(m_slideFileName.c_str()) || !VXFileType || !GetPagefromFilename ||
        !CutPagefromFilename || !GetFullpathFilename) {
        m_errorCode = 6;
        return false;
    }
    if (!DataFileExist || !DataFileExist(m_slideFileName.c_str())) {
        m_errorCode = 16;
        return false;
    }
    // Opened without waiting, and read only when it is a regular file: a
    // FIFO would otherwise block until someone writes to it.
    const UniqueFd file(::open(m_slideFileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || !allocate(kSlideListCapacity)) {
        m_errorCode = 6;
        return false;
    }
    if (!readSlideFile(file.get())) {
        FreeThumbDataMemory();
        m_errorCode = 6;
        return false;
    }
    m_errorCode = 0;
    return true;
}

// Reads the entries of the file (see SlideList.h) until its end, a 0x1A byte
// or a full list. False on a read error.
bool TVxSlideCollection::readSlideFile(int fd)
{
    TSlideListReader reader([this](std::string_view entry) {
        addSlideEntry(std::string(entry));
        return m_count < kSlideListCapacity;
    });
    std::vector<char> buffer(64 * 1024);
    while (!reader.Ended()) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        reader.Read(buffer.data(), std::size_t(n));
    }
    reader.Finish();
    return true;
}

// One entry: "<path>" or "<path>|<page>"; skipped when the library cannot
// read that page.
void TVxSlideCollection::addSlideEntry(const std::string& entry)
{
    using namespace Vxdllprocs;
    std::vector<char> path(entry.begin(), entry.end());
    path.push_back('\0');
    const std::int32_t page = GetPagefromFilename(path.data());
    CutPagefromFilename(path.data());
    if (page < 0 || page > INT16_MAX)
        return;  // no such page can exist
    alignas(8) unsigned char record[kVxFileRecordSize] = {};
    if (!VXFileType(path.data(), std::int16_t(page), record))
        return;
    const std::size_t size = std::strlen(path.data()) + 2;
    std::vector<char> folder(size, '\0');
    std::vector<char> name(size, '\0');
    if (!GetFullpathFilename(path.data(), folder.data(), std::int32_t(size), name.data(), std::int32_t(size)))
        return;
    append(folder.data(), name.data(), std::int16_t(page), "");
}

// ---- the cursor

void TVxSlideCollection::GetNextImage()
{
    if (m_count < 1) {
        m_currentImage = 0;
        return;
    }
    if (m_currentImage < 0)
        m_currentImage = m_endless ? m_count - 1 : 0;
    if (m_currentImage >= m_count)
        m_currentImage = m_endless ? 0 : m_count - 1;
}

bool TVxSlideCollection::setPathFromItem()
{
    const TVXSORTDATA* item = Item(m_currentImage);
    if (!item) {
        m_currentPath.clear();
        return false;
    }
    m_currentPath = JoinPath(item->folder ? item->folder : "", item->fileName ? item->fileName : "");
    return true;
}

bool TVxSlideCollection::GetNextPathName(bool advance)
{
    if (advance && m_currentImage < INT_MAX)
        ++m_currentImage;
    GetNextImage();
    return setPathFromItem();
}

bool TVxSlideCollection::GetPrevPathName()
{
    if (m_currentImage > INT_MIN)
        --m_currentImage;
    GetNextImage();
    return setPathFromItem();
}

bool TVxSlideCollection::GetTopPathName()
{
    m_currentImage = 0;
    return setPathFromItem();
}

bool TVxSlideCollection::GetEndPathName()
{
    m_currentImage = m_count > 0 ? m_count - 1 : 0;
    return setPathFromItem();
}
