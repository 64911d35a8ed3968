#include "ExtractIcon.h"

#include "ComObject.h"
#include "ShellItem.h"

#include <QIcon>
#include <QMimeDatabase>

#include <cstring>
#include <sys/stat.h>

namespace {

constexpr const char* kLinkEmblem = "emblem-symbolic-link";

// The special folders keep their own icons wherever they are reached from.
std::string folderIconName(const std::string& path, bool open, const shellicon::SpecialFolders& special)
{
    if (!path.empty()) {
        if (path == special.home)
            return "user-home";
        if (path == special.desktop)
            return "user-desktop";
        if (path == special.documents)
            return "folder-documents";
    }
    return open ? "folder-open" : "folder";
}

std::string fileIconName(const std::string& path)
{
    static const QMimeDatabase database;
    const QMimeType mime = database.mimeTypeForFile(QString::fromStdString(path));
    for (const QString& name : {mime.iconName(), mime.genericIconName()}) {
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            return name.toStdString();
    }
    return "text-x-generic";
}

class ExtractIcon final : public ComObject<IExtractIconA> {
public:
    ExtractIcon(std::string normalIcon, std::string openIcon)
        : m_normal(std::move(normalIcon)), m_open(std::move(openIcon))
    {
    }

    HRESULT QueryInterface(REFIID riid, void** object) override { return queryFor(riid, IID_IExtractIconA, object); }

    HRESULT GetIconLocation(UINT flags, char* iconFile, UINT size, int* index, UINT* outFlags) override
    {
        if (!iconFile || size == 0 || !index)
            return E_INVALIDARG;
        iconFile[0] = '\0';
        const std::string& name = (flags & GIL_OPENICON) ? m_open : m_normal;
        if (name.size() + 1 > size)
            return E_OUTOFMEMORY;
        std::memcpy(iconFile, name.c_str(), name.size() + 1);
        *index = 0;
        if (outFlags)
            *outFlags = GIL_NOTFILENAME | GIL_PERCLASS;
        return S_OK;
    }

    HRESULT Extract(const char* iconFile, UINT index, HICON* large, HICON* small, UINT iconSize) override
    {
        if (large)
            *large = nullptr;
        if (small)
            *small = nullptr;
        if (!iconFile || !*iconFile || index != 0)
            return E_INVALIDARG;
        HICON largeIcon = nullptr;
        HICON smallIcon = nullptr;
        if (large && !(largeIcon = systemimagelist::iconOf(iconFile, static_cast<int>(LOWORD(iconSize)))))
            return E_FAIL;
        if (small && !(smallIcon = systemimagelist::iconOf(iconFile, static_cast<int>(HIWORD(iconSize))))) {
            DestroyIcon(largeIcon);
            return E_FAIL;
        }
        if (large)
            *large = largeIcon;
        if (small)
            *small = smallIcon;
        return S_OK;
    }

private:
    std::string m_normal;
    std::string m_open;
};

class IconOverlay final : public ComObject<IShellIconOverlay> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return queryFor(riid, IID_IShellIconOverlay, object);
    }

    HRESULT GetOverlayIndex(LPCITEMIDLIST item, int* index) override
    {
        return overlayOf(item, index, false);
    }

    HRESULT GetOverlayIconIndex(LPCITEMIDLIST item, int* iconIndex) override
    {
        return overlayOf(item, iconIndex, true);
    }

private:
    static HRESULT overlayOf(LPCITEMIDLIST item, int* result, bool asImage)
    {
        if (!result)
            return E_INVALIDARG;
        *result = -1;
        const auto items = shellitem::decodeList(item);
        if (!items || items->empty())
            return E_INVALIDARG;
        if (!items->back().isLink)
            return S_FALSE;
        const int image = shellicon::linkOverlayImage();
        if (image < 0)
            return E_FAIL;
        *result = asImage ? image : kLinkOverlay;
        return S_OK;
    }
};

}  // namespace

namespace shellicon {

SpecialFolders specialFolders()
{
    return {shellitem::homePath(), shellitem::desktopPath(), shellitem::documentsPath()};
}

std::string iconName(const shellitem::Item& item, const std::string& path, bool open)
{
    return iconName(item, path, open, specialFolders());
}

std::string iconName(const shellitem::Item& item, const std::string& path, bool open, const SpecialFolders& special)
{
    switch (item.kind) {
    case shellitem::Kind::Computer: return "computer";
    case shellitem::Kind::Drive: return "drive-harddisk";
    case shellitem::Kind::Documents: return "folder-documents";
    case shellitem::Kind::Home: return "user-home";
    case shellitem::Kind::Entry: break;
    }
    const bool folder = item.hasFindData && (item.find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return folder ? folderIconName(path, open, special) : fileIconName(path);
}

std::string iconNameOfPath(const std::string& path, bool known, bool directory)
{
    struct stat st {};
    if (!known)
        directory = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return directory ? folderIconName(path, false, specialFolders()) : fileIconName(path);
}

int linkOverlayImage()
{
    if (!QIcon::hasThemeIcon(QString::fromLatin1(kLinkEmblem)))
        return -1;
    const int image = systemimagelist::indexOf(kLinkEmblem);
    systemimagelist::setOverlay(image, kLinkOverlay);
    return image;
}

IExtractIconA* newExtractIcon(const std::string& normalIcon, const std::string& openIcon)
{
    return new ExtractIcon(normalIcon, openIcon);
}

IShellIconOverlay* newIconOverlay()
{
    return new IconOverlay;
}

}  // namespace shellicon
