#include "ShellItem.h"

#include "CaseFold.h"
#include "FindFile.h"
#include "Paths.h"
#include "ShellCom.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace shellitem {

namespace {

// Identifier layout: cb (2), kind (1), flags (1), find data (36), the name,
// a NUL. The find data block is zero when the item has none.
constexpr std::size_t kKindAt = 2;
constexpr std::size_t kFlagsAt = 3;
constexpr std::size_t kFindAt = 4;
constexpr std::size_t kFindSize = 36;
constexpr std::size_t kNameAt = kFindAt + kFindSize;
constexpr BYTE kHasFindData = 0x01;
constexpr BYTE kIsLink = 0x02;

void put32(std::vector<BYTE>& bytes, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

DWORD get32(const BYTE* at)
{
    return DWORD(at[0]) | DWORD(at[1]) << 8 | DWORD(at[2]) << 16 | DWORD(at[3]) << 24;
}

WORD readCb(const BYTE* at)
{
    return static_cast<WORD>(at[0] | at[1] << 8);
}

std::string existingFolderOr(const QString& path, const std::string& fallback)
{
    if (!path.isEmpty() && QFileInfo(path).isDir())
        return QDir::cleanPath(path).toStdString();
    return fallback;
}

// A mount point from /proc/self/mounts, where space, tab, newline and
// backslash are written as three-digit octal escapes.
std::string unescapeMount(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out.push_back(static_cast<char>(std::stoi(digits, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

bool isUnder(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0;
}

}  // namespace

void appendItem(std::vector<BYTE>& bytes, const Item& item)
{
    const std::size_t cb = kNameAt + item.name.size() + 1;
    bytes.push_back(static_cast<BYTE>(cb & 0xFF));
    bytes.push_back(static_cast<BYTE>(cb >> 8));
    bytes.push_back(static_cast<BYTE>(item.kind));
    bytes.push_back(static_cast<BYTE>((item.hasFindData ? kHasFindData : 0) | (item.isLink ? kIsLink : 0)));
    const WIN32_FIND_DATAA& f = item.find;
    put32(bytes, item.hasFindData ? f.dwFileAttributes : 0);
    for (const FILETIME* t : {&f.ftCreationTime, &f.ftLastAccessTime, &f.ftLastWriteTime}) {
        put32(bytes, item.hasFindData ? t->dwLowDateTime : 0);
        put32(bytes, item.hasFindData ? t->dwHighDateTime : 0);
    }
    put32(bytes, item.hasFindData ? f.nFileSizeHigh : 0);
    put32(bytes, item.hasFindData ? f.nFileSizeLow : 0);
    bytes.insert(bytes.end(), item.name.begin(), item.name.end());
    bytes.push_back(0);
}

LPITEMIDLIST makeList(const std::vector<BYTE>& bytes)
{
    auto* list = static_cast<BYTE*>(CoTaskMemAlloc(bytes.size() + 2));
    if (!list)
        return nullptr;
    if (!bytes.empty())
        std::memcpy(list, bytes.data(), bytes.size());
    list[bytes.size()] = 0;
    list[bytes.size() + 1] = 0;
    return reinterpret_cast<LPITEMIDLIST>(list);
}

std::optional<std::vector<Item>> decodeList(LPCITEMIDLIST list)
{
    if (!list)
        return std::nullopt;
    std::vector<Item> items;
    const BYTE* at = reinterpret_cast<const BYTE*>(list);
    for (WORD cb = readCb(at); cb != 0; at += cb, cb = readCb(at)) {
        if (cb < kNameAt + 1 || at[cb - 1] != 0)
            return std::nullopt;
        const BYTE kind = at[kKindAt];
        const BYTE flags = at[kFlagsAt];
        if (kind < BYTE(Kind::Computer) || kind > BYTE(Kind::Entry) || (flags & ~(kHasFindData | kIsLink)) != 0)
            return std::nullopt;
        Item item;
        item.kind = static_cast<Kind>(kind);
        item.hasFindData = (flags & kHasFindData) != 0;
        item.isLink = (flags & kIsLink) != 0;
        item.name.assign(reinterpret_cast<const char*>(at + kNameAt), cb - kNameAt - 1);
        if (item.name.empty() || item.name.find('\0') != std::string::npos)
            return std::nullopt;
        if (item.hasFindData) {
            const BYTE* f = at + kFindAt;
            item.find.dwFileAttributes = get32(f);
            FILETIME* times[] = {&item.find.ftCreationTime, &item.find.ftLastAccessTime, &item.find.ftLastWriteTime};
            for (int i = 0; i < 3; ++i) {
                times[i]->dwLowDateTime = get32(f + 4 + 8 * i);
                times[i]->dwHighDateTime = get32(f + 8 + 8 * i);
            }
            item.find.nFileSizeHigh = get32(f + 28);
            item.find.nFileSizeLow = get32(f + 32);
            item.find.cFileName = item.kind == Kind::Entry ? item.name : std::string();
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string homePath()
{
    return QDir::cleanPath(QDir::homePath()).toStdString();
}

std::string desktopPath()
{
    return existingFolderOr(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), homePath());
}

std::string documentsPath()
{
    return existingFolderOr(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), homePath());
}

std::vector<std::string> drivePaths()
{
    std::vector<std::string> mounts;
    std::ifstream table("/proc/self/mounts");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        if (!(fields >> device >> mountPoint))
            continue;
        mountPoint = unescapeMount(mountPoint);
        if (isUnder(mountPoint, "/media/") || isUnder(mountPoint, "/mnt/") || isUnder(mountPoint, "/run/media/"))
            mounts.push_back(mountPoint);
    }
    std::sort(mounts.begin(), mounts.end());
    mounts.erase(std::unique(mounts.begin(), mounts.end()), mounts.end());
    mounts.insert(mounts.begin(), "/");
    return mounts;
}

std::vector<Item> readFolder(const std::string& folder)
{
    std::vector<Item> items;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*"), &data);
    if (search == INVALID_HANDLE_VALUE)
        return items;
    do {
        if (data.cFileName == "." || data.cFileName == "..")
            continue;
        Item item;
        item.hasFindData = true;
        item.name = data.cFileName;
        struct stat st {};
        item.isLink = ::lstat(JoinPath(folder, item.name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        item.find = std::move(data);
        items.push_back(std::move(item));
        data = WIN32_FIND_DATAA();
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return items;
}

std::optional<Item> findEntry(const std::string& folder, const std::string& name)
{
    std::vector<Item> items = readFolder(folder);
    auto exact = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.name == name; });
    if (exact != items.end())
        return std::move(*exact);
    const std::u32string folded = FoldName(name);
    auto loose = std::find_if(items.begin(), items.end(), [&](const Item& i) { return FoldName(i.name) == folded; });
    if (loose != items.end())
        return std::move(*loose);
    return std::nullopt;
}

}  // namespace shellitem
