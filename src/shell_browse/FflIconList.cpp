#include "FflIconList.h"

#include "Bitmap.h"
#include "Exception.h"
#include "ShellHandles.h"
#include "SysUtils.h"

namespace {

// The system image list of the given kind; the icon SHGetFileInfoA also
// hands out is not wanted and is freed at once.
HIMAGELIST systemImageList(UINT flags)
{
    SHFILEINFOA info;
    const DWORD_PTR result = SHGetFileInfoA(".", 0, &info, sizeof info, flags);
    DestroyIcon(info.hIcon);
    return reinterpret_cast<HIMAGELIST>(result);
}

// Bitmap resources keep magenta for their transparent pixels.
constexpr TColor kResourceMaskColor = 0xFF00FF;

}  // namespace

TFflIconList::TFflIconList(TComponent* owner, bool smallIcons) : TImageList(owner)
{
    SetBkColor(clWindow);
    FOverlaySlots.fill(-1);
    const int size = smallIcons ? 16 : 48;
    SetWidth(size);
    SetHeight(size);
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SHELLICONSIZE;
    if (smallIcons)
        flags |= SHGFI_SMALLICON;
    int width = 0;
    int height = 0;
    if (HIMAGELIST system = systemImageList(flags); system && ImageList_GetIconSize(system, &width, &height)) {
        SetWidth(width);
        SetHeight(height);
    }
}

TFflIconList::~TFflIconList()
{
    FIconRefs.clear();
}

int TFflIconList::addIcon(IExtractIconA* extractor, const std::string& iconFile, int iconIndex)
{
    const int count = Count();
    if (count > iconRefsCount())
        return -1;  // images and records out of step
    for (int i = 0; i < count; ++i) {
        TFflIconRefs& refs = *FIconRefs[static_cast<std::size_t>(i)];
        if (refs.iconIndex == iconIndex && AnsiSameText(refs.iconFile, iconFile)) {
            ++refs.refCount;
            return i;
        }
    }
    int added = -1;
    if (!iconFile.empty() && !extractor) {
        added = addBitmapResource(iconFile);
    } else {
        HICON icon = extractIcon(extractor, iconFile, iconIndex);
        if (!icon)
            return -1;
        added = AddIcon(icon);
        DestroyIcon(icon);
    }
    if (added < 0)
        return -1;
    FIconRefs.push_back(std::make_unique<TFflIconRefs>(TFflIconRefs{iconFile, iconIndex, 1}));
    return iconRefsCount() - 1;
}

HICON TFflIconList::extractIcon(IExtractIconA* extractor, const std::string& iconFile, int iconIndex) const
{
    if (iconFile.empty()) {
        UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON;
        if (Width() <= 16)
            flags |= SHGFI_SMALLICON;
        HIMAGELIST system = systemImageList(flags);
        if (!system)
            return nullptr;
        return ImageList_GetIcon(system, iconIndex, ILD_NORMAL);
    }
    HICON icon = nullptr;
    HRESULT result;
    // The size word: low half the large icon's size, high half the small one's.
    if (Width() > 16)
        result = extractor->Extract(iconFile.c_str(), static_cast<UINT>(iconIndex), &icon, nullptr,
                                    MAKELONG(static_cast<UINT>(Width()), 16));
    else
        result = extractor->Extract(iconFile.c_str(), static_cast<UINT>(iconIndex), nullptr, &icon,
                                    MAKELONG(48, static_cast<UINT>(Width())));
    if (FAILED(result)) {
        DestroyIcon(icon);
        return nullptr;
    }
    return icon;
}

int TFflIconList::addBitmapResource(const std::string& resourceName)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromResourceName(resourceName);
    } catch (const Exception&) {
        return -1;
    }
    return AddMasked(bitmap, kResourceMaskColor);
}

bool TFflIconList::removeIcon(int index)
{
    if (index < 0 || index >= Count() || index >= iconRefsCount())
        return false;
    TFflIconRefs& refs = *FIconRefs[static_cast<std::size_t>(index)];
    if (--refs.refCount > 0)
        return false;
    Delete(index);
    FIconRefs.erase(FIconRefs.begin() + index);
    for (int& slot : FOverlaySlots) {
        if (slot == index)
            slot = -1;
        else if (slot > index)
            --slot;
    }
    return true;
}

int TFflIconList::addShellOverlay(int n, IShellFolder* folder, LPCITEMIDLIST item)
{
    if (n < 0 || n > 2)
        return -1;
    if (FOverlaySlots[static_cast<std::size_t>(n)] >= 0)
        return FOverlaySlots[static_cast<std::size_t>(n)];
    if (!folder)
        return -1;
    IShellIconOverlay* overlayObject = nullptr;
    if (FAILED(folder->QueryInterface(IID_IShellIconOverlay, reinterpret_cast<void**>(&overlayObject))))
        return -1;
    const ShellRef<IShellIconOverlay> overlay(overlayObject);
    int iconIndex = 0;
    if (!overlay || overlay->GetOverlayIconIndex(item, &iconIndex) != S_OK)
        return -1;
    const int image = addIcon(nullptr, std::string(), iconIndex);
    setSlot(n, image);
    return image;
}

int TFflIconList::addResourceOverlay(int n, const std::string& resourceName)
{
    if (n < 0 || n > 2)
        return -1;
    const int image = addIcon(nullptr, resourceName, 0);
    setSlot(n, image);
    return image;
}

void TFflIconList::setSlot(int n, int image)
{
    if (image < 0)
        return;
    Overlay(image, n);  // the platform list's overlay number n + 1
    FOverlaySlots[static_cast<std::size_t>(n)] = image;
}

int TFflIconList::overlaySlot(int n) const
{
    if (n < 0 || n > 2)
        return -1;
    return FOverlaySlots[static_cast<std::size_t>(n)];
}
