#include "SystemImageList.h"

#include "ExtractIcon.h"
#include "ShellFolder.h"
#include "ShellHandles.h"
#include "ShellItem.h"
#include "Modules.h"
#include "Paths.h"
#include "Unicode.h"

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

QIcon themeIcon(int index);
QPixmap pixmapOf(const QIcon& icon, int size);

// One of the two system lists: the theme's icons at one size.
struct SystemImageList final : ImageListData {
    explicit SystemImageList(int size) : ImageListData(size, size) {}
    int count() const override;
    QPixmap image(int index) const override { return pixmapOf(themeIcon(index), cx); }
};

// The theme names by index; the icons are loaded on first use and dropped
// when the application object goes (the names and indexes stay).
struct Registry {
    std::vector<std::string> names;
    std::unordered_map<std::string, int> indexes;
    std::vector<QIcon> icons;
    SystemImageList small{16};
    SystemImageList large{32};
};

void dropIcons();

Registry& registry()
{
    static Registry instance;
    static bool cleanupAdded = false;
    if (!cleanupAdded && QCoreApplication::instance()) {
        qAddPostRoutine(dropIcons);
        cleanupAdded = true;
    }
    return instance;
}

void dropIcons()
{
    Registry& r = registry();
    std::fill(r.icons.begin(), r.icons.end(), QIcon());
}

int SystemImageList::count() const
{
    return static_cast<int>(registry().names.size());
}

QIcon themeIcon(int index)
{
    Registry& r = registry();
    if (index < 0 || index >= static_cast<int>(r.names.size()))
        return {};
    QIcon& icon = r.icons[static_cast<std::size_t>(index)];
    if (icon.isNull())
        icon = QIcon::fromTheme(QString::fromStdString(r.names[static_cast<std::size_t>(index)]));
    return icon;
}

QPixmap pixmapOf(const QIcon& icon, int size)
{
    if (icon.isNull() || size <= 0)
        return {};
    QPixmap pixmap = icon.pixmap(QSize(size, size));
    if (pixmap.isNull())
        return {};
    pixmap.setDevicePixelRatio(1.0);
    if (pixmap.width() != size || pixmap.height() != size)
        pixmap = pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return pixmap;
}

// A reference to the desktop folder; null when there is none.
ShellRef<IShellFolder> desktopFolder()
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    return ShellRef<IShellFolder>(desktop);
}

// What SHGetFileInfoA reports about one item.
struct ItemFacts {
    std::string icon;
    std::string openIcon;
    bool isLink = false;
    std::string displayName;
    SFGAOF attributes = 0;
};

// Facts of an absolute list, walked from the desktop; false for a damaged list.
bool factsOfList(LPCITEMIDLIST list, UINT flags, DWORD attributeMask, ItemFacts& facts)
{
    const auto items = shellitem::decodeList(list);
    if (!items)
        return false;
    if (items->empty()) {
        facts.icon = facts.openIcon = "user-desktop";
    } else {
        std::string path = shellitem::desktopPath();
        for (const shellitem::Item& item : *items) {
            switch (item.kind) {
            case shellitem::Kind::Computer: path.clear(); break;
            case shellitem::Kind::Entry: path = JoinPath(path, item.name); break;
            default: path = item.name; break;
            }
        }
        facts.icon = shellicon::iconName(items->back(), path, false);
        facts.openIcon = shellicon::iconName(items->back(), path, true);
        facts.isLink = items->back().isLink;
    }
    if ((flags & (SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES)) == 0)
        return true;
    const ShellRef<IShellFolder> desktop = desktopFolder();
    if (!desktop)
        return false;
    bool ok = true;
    if (flags & SHGFI_DISPLAYNAME) {
        STRRET name;
        char* text = nullptr;
        ok = SUCCEEDED(desktop->GetDisplayNameOf(list, SHGDN_NORMAL, &name)) &&
             SUCCEEDED(StrRetToStrA(&name, list, &text));
        if (ok)
            facts.displayName = text;
        CoTaskMemFree(text);
    }
    if (ok && (flags & SHGFI_ATTRIBUTES)) {
        SFGAOF mask = attributeMask;
        LPCITEMIDLIST one = list;
        ok = SUCCEEDED(items->empty() ? desktop->GetAttributesOf(0, nullptr, &mask)
                                      : desktop->GetAttributesOf(1, &one, &mask));
        facts.attributes = mask;
    }
    return ok;
}

// Facts of a path on disk; false when it does not exist.
bool factsOfPath(const char* path, UINT flags, DWORD attributeMask, ItemFacts& facts)
{
    // The path's bytes as they are: a name need not be UTF-8.
    const std::string absolute = GetFullPathNameA(path);
    const ShellRef<IShellFolder> desktop = absolute.empty() ? nullptr : desktopFolder();
    if (!desktop)
        return false;
    LPITEMIDLIST parsed = nullptr;
    const std::u16string wide = WideFromNarrow(absolute);
    const HRESULT result = desktop->ParseDisplayName(nullptr, nullptr, wide.c_str(), nullptr, &parsed, nullptr);
    const UniquePidl list(parsed);
    if (FAILED(result))
        return false;
    const auto items = shellitem::decodeList(list.get());
    // A missing component parses to an item without find data.
    const bool exists =
        items && (items->empty() || items->back().kind != shellitem::Kind::Entry || items->back().hasFindData);
    return exists && factsOfList(list.get(), flags, attributeMask, facts);
}

// Facts from the given file attributes alone; the path is not read.
void factsOfAttributes(const char* path, DWORD fileAttributes, ItemFacts& facts)
{
    const bool directory = (fileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.icon = shellicon::iconNameOfPath(path, true, directory);
    facts.openIcon = directory ? shellicon::iconNameOfPath(path, true, true) : facts.icon;
    if (directory && facts.openIcon == "folder")
        facts.openIcon = "folder-open";
    const std::string whole(path);
    const std::string name = SplitAtLastSlash(whole).name;
    facts.displayName = QFile::decodeName(QByteArray::fromStdString(name.empty() ? whole : name)).toStdString();
    facts.attributes = SFGAO_FILESYSTEM;
    if (directory)
        facts.attributes |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (!name.empty() && name.front() == '.')
        facts.attributes |= SFGAO_HIDDEN | SFGAO_GHOSTED;
}

}  // namespace

DWORD_PTR SHGetFileInfoA(const char* path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags)
{
    if (!path || !info || size < sizeof(SHFILEINFOA))
        return 0;
    ItemFacts facts;
    const DWORD attributeMask = ~DWORD(0);
    if (flags & SHGFI_PIDL) {
        if (!factsOfList(reinterpret_cast<LPCITEMIDLIST>(path), flags, attributeMask, facts))
            return 0;
    } else if (flags & SHGFI_USEFILEATTRIBUTES) {
        factsOfAttributes(path, attributes, facts);
    } else if (!factsOfPath(path, flags, attributeMask, facts)) {
        return 0;
    }
    *info = SHFILEINFOA();
    Registry& r = registry();
    HIMAGELIST list = (flags & SHGFI_SMALLICON) ? &r.small : &r.large;
    const int index = systemimagelist::indexOf((flags & SHGFI_OPENICON) ? facts.openIcon : facts.icon);
    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON))
        info->iIcon = index;
    if (flags & SHGFI_ICON) {
        UINT drawFlags = ILD_NORMAL;
        if ((flags & SHGFI_LINKOVERLAY) && facts.isLink && shellicon::linkOverlayImage() >= 0)
            drawFlags |= INDEXTOOVERLAYMASK(kLinkOverlay);
        info->hIcon = ImageList_GetIcon(list, index, drawFlags);
    }
    if (flags & SHGFI_DISPLAYNAME) {
        const std::size_t length = std::min(facts.displayName.size(), sizeof info->szDisplayName - 1);
        std::memcpy(info->szDisplayName, facts.displayName.data(), length);
        info->szDisplayName[length] = '\0';
    }
    if (flags & SHGFI_ATTRIBUTES)
        info->dwAttributes = facts.attributes;
    if (flags & SHGFI_SYSICONINDEX)
        return reinterpret_cast<DWORD_PTR>(list);
    return 1;
}

namespace systemimagelist {

int indexOf(const std::string& name)
{
    if (name.empty())
        return -1;
    Registry& r = registry();
    const auto found = r.indexes.find(name);
    if (found != r.indexes.end())
        return found->second;
    const int index = static_cast<int>(r.names.size());
    r.names.push_back(name);
    r.icons.emplace_back();
    r.indexes.emplace(name, index);
    return index;
}

HICON iconOf(const std::string& name, int size)
{
    const QPixmap pixmap = pixmapOf(themeIcon(indexOf(name)), size);
    if (pixmap.isNull())
        return nullptr;
    return CreateIconFromPixmap(pixmap);
}

void setOverlay(int image, int overlay)
{
    Registry& r = registry();
    ImageList_SetOverlayImage(&r.small, image, overlay);
    ImageList_SetOverlayImage(&r.large, image, overlay);
}

}  // namespace systemimagelist
