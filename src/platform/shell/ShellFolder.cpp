#include "ShellFolder.h"

#include "ComObject.h"
#include "ExtractIcon.h"
#include "Paths.h"
#include "ShellItem.h"
#include "TextCompare.h"
#include "Translation.h"
#include "Unicode.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

using shellitem::Item;
using shellitem::Kind;

namespace {

constexpr const char* kComputerParsingName = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Where a folder object or an item's parent is in the namespace.
struct Place {
    enum Type { Desktop, Computer, Path } type = Desktop;
    std::string path;  // Desktop: the desktop folder; Path: the folder
};

bool isHiddenName(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

bool isFolder(const Item& item)
{
    if (item.kind != Kind::Entry)
        return true;
    return item.hasFindData && (item.find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

SFGAOF attributesOf(const Item& item)
{
    switch (item.kind) {
    case Kind::Computer:
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    case Kind::Drive:
    case Kind::Documents:
    case Kind::Home:
        return SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    case Kind::Entry:
        break;
    }
    SFGAOF attributes = SFGAO_FILESYSTEM;
    if (isFolder(item))
        attributes |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (isHiddenName(item.name))
        attributes |= SFGAO_HIDDEN | SFGAO_GHOSTED;
    if (item.isLink)
        attributes |= SFGAO_LINK;
    return attributes;
}

SFGAOF attributesOf(const Place& place)
{
    SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    if (place.type == Place::Path) {
        attributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM;
        if (isHiddenName(LastPathComponent(place.path)))
            attributes |= SFGAO_HIDDEN | SFGAO_GHOSTED;
    }
    return attributes;
}

// The place an item leads to from its parent; nullopt when the item cannot
// be a child of that parent.
std::optional<Place> childPlace(const Place& parent, const Item& item)
{
    switch (parent.type) {
    case Place::Desktop:
        if (item.kind == Kind::Computer)
            return Place{Place::Computer, {}};
        if (item.kind == Kind::Documents || item.kind == Kind::Home)
            return Place{Place::Path, item.name};
        if (item.kind == Kind::Entry)
            return Place{Place::Path, JoinPath(parent.path, item.name)};
        return std::nullopt;
    case Place::Computer:
        if (item.kind == Kind::Drive)
            return Place{Place::Path, item.name};
        return std::nullopt;
    case Place::Path:
        if (item.kind == Kind::Entry)
            return Place{Place::Path, JoinPath(parent.path, item.name)};
        return std::nullopt;
    }
    return std::nullopt;
}

bool forParsing(SHGDNF flags) { return (flags & SHGDN_FORPARSING) != 0; }
bool inFolder(SHGDNF flags) { return (flags & SHGDN_INFOLDER) != 0; }

std::optional<std::string> nameOf(const Place& parent, const Item& item, SHGDNF flags)
{
    switch (item.kind) {
    case Kind::Computer:
        return forParsing(flags) ? std::string(kComputerParsingName) : Translate("ShellFolder", "マイ コンピュータ");
    case Kind::Drive:
        return forParsing(flags) ? item.name : LastPathComponent(item.name);
    case Kind::Documents:
        return forParsing(flags) ? item.name : Translate("ShellFolder", "マイ ドキュメント");
    case Kind::Home:
        return forParsing(flags) ? item.name : LastPathComponent(item.name);
    case Kind::Entry:
        break;
    }
    if (forParsing(flags) && !inFolder(flags)) {
        if (parent.type == Place::Computer)
            return std::nullopt;
        return JoinPath(parent.path, item.name);
    }
    return item.name;
}

std::string nameOf(const Place& place, SHGDNF flags)
{
    switch (place.type) {
    case Place::Desktop:
        return forParsing(flags) ? place.path : Translate("ShellFolder", "デスクトップ");
    case Place::Computer:
        return forParsing(flags) ? std::string(kComputerParsingName) : Translate("ShellFolder", "マイ コンピュータ");
    case Place::Path:
        break;
    }
    return forParsing(flags) && !inFolder(flags) ? place.path : LastPathComponent(place.path);
}

// Position of an item among its siblings before the names are compared.
int rank(const Item& item)
{
    switch (item.kind) {
    case Kind::Documents: return 0;
    case Kind::Home: return 1;
    case Kind::Computer: return 2;
    case Kind::Drive: return 3;
    case Kind::Entry: break;
    }
    return isFolder(item) ? 4 : 5;
}

HRESULT orderResult(int order)
{
    const int sign = order < 0 ? -1 : (order > 0 ? 1 : 0);
    return static_cast<HRESULT>(static_cast<unsigned short>(static_cast<short>(sign)));
}

Item virtualItem(Kind kind, const std::string& name)
{
    Item item;
    item.kind = kind;
    item.name = name;
    return item;
}

// A name handed out as task-allocated wide text. A parsing name keeps every
// byte of the file name (CP_ACP); a name for display is decoded as file
// names are shown, with a replacement character for bytes that are no text.
HRESULT putName(const std::string& text, SHGDNF flags, STRRET* name)
{
    const std::u16string wide = forParsing(flags) ? WideFromNarrow(text)
                                                  : QFile::decodeName(QByteArray::fromStdString(text)).toStdU16String();
    const std::size_t bytes = (wide.size() + 1) * sizeof(char16_t);
    auto* copy = static_cast<char16_t*>(CoTaskMemAlloc(bytes));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, wide.data(), bytes - sizeof(char16_t));
    copy[wide.size()] = u'\0';
    name->uType = STRRET_WSTR;
    name->pOleStr = copy;
    return S_OK;
}

// The path components of a name (bytes as they are), or nullopt when one is
// "." or "..".
std::optional<std::vector<std::string>> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        if (part == "." || part == "..")
            return std::nullopt;
        parts.push_back(std::move(part));
    }
    return parts;
}

// Appends the entries for components under folder: the found entries with
// their find data and real names; from the first one that is missing, items
// without find data named as given.
Item appendEntries(std::vector<BYTE>& bytes, std::string folder, const std::vector<std::string>& components)
{
    Item last;
    bool exists = true;
    for (const std::string& component : components) {
        std::optional<Item> entry = exists ? shellitem::findEntry(folder, component) : std::nullopt;
        if (!entry) {
            exists = false;
            entry = virtualItem(Kind::Entry, component);
        }
        folder = JoinPath(folder, entry->name);
        shellitem::appendItem(bytes, *entry);
        last = std::move(*entry);
    }
    return last;
}

class EnumIdList final : public ComObject<IEnumIDList> {
public:
    explicit EnumIdList(std::vector<std::vector<BYTE>> items) : m_items(std::move(items)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override { return queryFor(riid, IID_IEnumIDList, object); }

    HRESULT Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) override
    {
        if (fetched)
            *fetched = 0;
        if (!items || (count > 1 && !fetched))
            return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && m_next < m_items.size()) {
            LPITEMIDLIST list = shellitem::makeList(m_items[m_next]);
            if (!list)
                break;
            items[given++] = list;
            ++m_next;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        const std::size_t left = m_items.size() - m_next;
        m_next += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumIDList** copy) override
    {
        if (!copy)
            return E_INVALIDARG;
        auto* clone = new EnumIdList(m_items);
        clone->m_next = m_next;
        *copy = clone;
        return S_OK;
    }

private:
    std::vector<std::vector<BYTE>> m_items;  // each a child's identifier bytes
    std::size_t m_next = 0;
};

class ShellFolder final : public ComObject<IShellFolder> {
public:
    explicit ShellFolder(Place place) : m_place(std::move(place)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        // The overlay object is a separate one: it needs nothing of the folder.
        if (object && riid == IID_IShellIconOverlay) {
            *object = shellicon::newIconOverlay();
            return S_OK;
        }
        return queryFor(riid, IID_IShellFolder, object);
    }

    HRESULT ParseDisplayName(HWND, IBindCtx*, const char16_t* displayName, ULONG* eaten, LPITEMIDLIST* list,
                             ULONG* attributes) override
    {
        if (!list)
            return E_INVALIDARG;
        *list = nullptr;
        if (!displayName)
            return E_INVALIDARG;
        const std::u16string_view wide(displayName);
        const std::string name = NarrowFromWide(wide);
        std::vector<BYTE> bytes;
        Item last;
        if (m_place.type == Place::Desktop &&
            QStringView(wide).compare(QLatin1String(kComputerParsingName), Qt::CaseInsensitive) == 0) {
            last = virtualItem(Kind::Computer, kComputerParsingName);
            shellitem::appendItem(bytes, last);
        } else if (m_place.type == Place::Path) {
            if (name.empty() || name.front() == '/')
                return E_INVALIDARG;
            const auto components = splitPath(name);
            if (!components || components->empty())
                return E_INVALIDARG;
            last = appendEntries(bytes, m_place.path, *components);
        } else {
            if (name.empty() || name.front() != '/')
                return E_INVALIDARG;
            const auto components = splitPath(name);
            if (!components)
                return E_INVALIDARG;
            // The drive is the longest mount path the name lies in.
            std::string path;
            for (const std::string& component : *components)
                path += "/" + component;
            std::string drive = "/";
            for (const std::string& mount : shellitem::drivePaths()) {
                if (mount.size() > drive.size() && (path == mount || path.rfind(mount + "/", 0) == 0))
                    drive = mount;
            }
            if (m_place.type == Place::Desktop)
                shellitem::appendItem(bytes, virtualItem(Kind::Computer, kComputerParsingName));
            last = virtualItem(Kind::Drive, drive);
            shellitem::appendItem(bytes, last);
            const std::size_t driveDepth = splitPath(drive).value_or(std::vector<std::string>()).size();
            const std::vector<std::string> rest(components->begin() + static_cast<std::ptrdiff_t>(driveDepth),
                                                components->end());
            if (!rest.empty())
                last = appendEntries(bytes, drive, rest);
        }
        *list = shellitem::makeList(bytes);
        if (!*list)
            return E_OUTOFMEMORY;
        if (eaten)
            *eaten = static_cast<ULONG>(wide.size());
        if (attributes)
            *attributes &= attributesOf(last);
        return S_OK;
    }

    HRESULT EnumObjects(HWND, SHCONTF flags, IEnumIDList** enumerator) override
    {
        if (!enumerator)
            return E_INVALIDARG;
        std::vector<Item> children;
        switch (m_place.type) {
        case Place::Desktop:
            children.push_back(virtualItem(Kind::Documents, shellitem::documentsPath()));
            children.push_back(virtualItem(Kind::Home, shellitem::homePath()));
            children.push_back(virtualItem(Kind::Computer, kComputerParsingName));
            for (Item& entry : shellitem::readFolder(m_place.path))
                children.push_back(std::move(entry));
            break;
        case Place::Computer:
            for (const std::string& drive : shellitem::drivePaths())
                children.push_back(virtualItem(Kind::Drive, drive));
            break;
        case Place::Path:
            children = shellitem::readFolder(m_place.path);
            break;
        }
        std::vector<std::vector<BYTE>> chosen;
        for (const Item& child : children) {
            const SFGAOF attributes = attributesOf(child);
            const SHCONTF needed = (attributes & SFGAO_FOLDER) ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS;
            if ((flags & needed) == 0)
                continue;
            if ((attributes & SFGAO_HIDDEN) && (flags & SHCONTF_INCLUDEHIDDEN) == 0)
                continue;
            chosen.emplace_back();
            shellitem::appendItem(chosen.back(), child);
        }
        *enumerator = new EnumIdList(std::move(chosen));
        return S_OK;
    }

    HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx*, REFIID riid, void** object) override
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        const auto items = shellitem::decodeList(list);
        if (!items || items->empty())
            return E_INVALIDARG;
        if (!(riid == IID_IShellFolder) && !(riid == IID_IUnknown))
            return E_NOINTERFACE;
        Place place = m_place;
        for (const Item& item : *items) {
            std::optional<Place> next = childPlace(place, item);
            if (!next)
                return E_INVALIDARG;
            if (!isFolder(item))
                return E_FAIL;
            place = std::move(*next);
        }
        *object = static_cast<IShellFolder*>(new ShellFolder(std::move(place)));
        return S_OK;
    }

    HRESULT BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST list1, LPCITEMIDLIST list2) override
    {
        if ((column & 0xFFFF) != 0)
            return E_INVALIDARG;
        const auto items1 = shellitem::decodeList(list1);
        const auto items2 = shellitem::decodeList(list2);
        if (!items1 || !items2)
            return E_INVALIDARG;
        const std::size_t common = std::min(items1->size(), items2->size());
        for (std::size_t i = 0; i < common; ++i) {
            const Item& a = (*items1)[i];
            const Item& b = (*items2)[i];
            if (rank(a) != rank(b))
                return orderResult(rank(a) - rank(b));
            if (const int order = lstrcmpiA(a.name, b.name))
                return orderResult(order);
        }
        return orderResult(int(items1->size()) - int(items2->size()));
    }

    HRESULT CreateViewObject(HWND, REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) override
    {
        if (!inOut || (count > 0 && !items))
            return E_INVALIDARG;
        SFGAOF common = count == 0 ? attributesOf(m_place) : ~SFGAOF(0);
        for (UINT i = 0; i < count; ++i) {
            const auto decoded = shellitem::decodeList(items[i]);
            if (!decoded)
                return E_INVALIDARG;
            common &= decoded->empty() ? attributesOf(m_place) : attributesOf(decoded->back());
        }
        *inOut &= common;
        return S_OK;
    }

    // IID_IExtractIconA for one item; no other interface.
    HRESULT GetUIObjectOf(HWND, UINT count, LPCITEMIDLIST* items, REFIID riid, UINT*, void** object) override
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (!(riid == IID_IExtractIconA))
            return E_NOINTERFACE;
        if (count != 1 || !items)
            return E_INVALIDARG;
        const auto decoded = shellitem::decodeList(items[0]);
        if (!decoded)
            return E_INVALIDARG;
        if (decoded->empty()) {
            // The empty list: the folder's own icon.
            std::string normal = "user-desktop";
            std::string open = normal;
            if (m_place.type == Place::Computer) {
                normal = open = "computer";
            } else if (m_place.type == Place::Path) {
                normal = shellicon::iconNameOfPath(m_place.path, true, true);
                open = normal == "folder" ? "folder-open" : normal;
            }
            *object = static_cast<IExtractIconA*>(shellicon::newExtractIcon(normal, open));
            return S_OK;
        }
        Place place = m_place;
        for (const Item& item : *decoded) {
            std::optional<Place> next = childPlace(place, item);
            if (!next)
                return E_INVALIDARG;
            place = std::move(*next);
        }
        const Item& item = decoded->back();
        const std::string path = place.type == Place::Path ? place.path : std::string();
        if (!m_special)
            m_special = shellicon::specialFolders();
        *object = static_cast<IExtractIconA*>(shellicon::newExtractIcon(
            shellicon::iconName(item, path, false, *m_special), shellicon::iconName(item, path, true, *m_special)));
        return S_OK;
    }

    HRESULT GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF flags, STRRET* name) override
    {
        if (!name)
            return E_INVALIDARG;
        const auto items = shellitem::decodeList(item);
        if (!items)
            return E_INVALIDARG;
        if (items->empty())
            return putName(nameOf(m_place, flags), flags, name);
        Place parent = m_place;
        for (std::size_t i = 0; i + 1 < items->size(); ++i) {
            std::optional<Place> next = childPlace(parent, (*items)[i]);
            if (!next)
                return E_INVALIDARG;
            parent = std::move(*next);
        }
        if (!childPlace(parent, items->back()))
            return E_INVALIDARG;
        const std::optional<std::string> text = nameOf(parent, items->back(), flags);
        if (!text)
            return E_INVALIDARG;
        return putName(*text, flags, name);
    }

    HRESULT SetNameOf(HWND, LPCITEMIDLIST, const char16_t*, SHGDNF, LPITEMIDLIST* newItem) override
    {
        if (newItem)
            *newItem = nullptr;
        return E_NOTIMPL;
    }

private:
    Place m_place;
    // The special folders' paths, read on the first icon asked of this
    // folder and kept for its other items.
    std::optional<shellicon::SpecialFolders> m_special;
};

}  // namespace

HRESULT SHGetDesktopFolder(IShellFolder** folder)
{
    if (!folder)
        return E_INVALIDARG;
    *folder = new ShellFolder(Place{Place::Desktop, shellitem::desktopPath()});
    return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list)
{
    if (!list)
        return E_INVALIDARG;
    *list = nullptr;
    std::vector<BYTE> bytes;
    switch (folder) {
    case CSIDL_DESKTOP:
        break;
    case CSIDL_PERSONAL:
        shellitem::appendItem(bytes, virtualItem(Kind::Documents, shellitem::documentsPath()));
        break;
    case CSIDL_DRIVES:
        shellitem::appendItem(bytes, virtualItem(Kind::Computer, kComputerParsingName));
        break;
    default:
        return E_INVALIDARG;
    }
    *list = shellitem::makeList(bytes);
    return *list ? S_OK : E_OUTOFMEMORY;
}

HRESULT StrRetToStrA(STRRET* name, LPCITEMIDLIST item, char** text)
{
    if (!text)
        return E_INVALIDARG;
    *text = nullptr;
    if (!name)
        return E_INVALIDARG;
    std::string value;
    switch (name->uType) {
    case STRRET_WSTR:
        if (!name->pOleStr)
            return E_INVALIDARG;
        value = NarrowFromWide(name->pOleStr);
        CoTaskMemFree(name->pOleStr);
        name->pOleStr = nullptr;
        break;
    case STRRET_CSTR:
        value.assign(name->cStr, strnlen(name->cStr, sizeof name->cStr));
        break;
    case STRRET_OFFSET: {
        if (!item)
            return E_INVALIDARG;
        const auto* bytes = reinterpret_cast<const BYTE*>(item);
        const std::size_t cb = std::size_t(bytes[0]) | std::size_t(bytes[1]) << 8;
        if (name->uOffset >= cb)
            return E_INVALIDARG;
        const char* start = reinterpret_cast<const char*>(bytes + name->uOffset);
        value.assign(start, strnlen(start, cb - name->uOffset));
        break;
    }
    default:
        return E_INVALIDARG;
    }
    auto* copy = static_cast<char*>(CoTaskMemAlloc(value.size() + 1));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, value.c_str(), value.size() + 1);
    *text = copy;
    return S_OK;
}

HRESULT SHGetDataFromIDListA(IShellFolder* folder, LPCITEMIDLIST item, int format, void* data, int size)
{
    if (!folder || !data || format != SHGDFIL_FINDDATA || size < static_cast<int>(sizeof(WIN32_FIND_DATAA)))
        return E_INVALIDARG;
    const auto items = shellitem::decodeList(item);
    if (!items || items->size() != 1 || !items->front().hasFindData)
        return E_INVALIDARG;
    *static_cast<WIN32_FIND_DATAA*>(data) = items->front().find;
    return S_OK;
}
