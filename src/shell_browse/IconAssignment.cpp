#include "IconAssignment.h"

#include "ShellHandles.h"

#include <initializer_list>
#include <string>

namespace {

// The extractor of one item; null when the folder has none for it.
ShellRef<IExtractIconA> extractorOf(IShellFolder* folder, LPCITEMIDLIST item, HWND owner)
{
    if (!folder || !item)
        return nullptr;
    IExtractIconA* extractor = nullptr;
    LPCITEMIDLIST items[1] = {item};
    if (FAILED(folder->GetUIObjectOf(owner, 1, items, IID_IExtractIconA, nullptr,
                                     reinterpret_cast<void**>(&extractor))))
        return nullptr;
    return ShellRef<IExtractIconA>(extractor);
}

struct IconLocation {
    std::string file;
    int index = 0;
};

bool iconLocation(IExtractIconA* extractor, UINT flags, IconLocation& location)
{
    char file[1024] = {};
    int index = 0;
    UINT outFlags = 0;
    if (FAILED(extractor->GetIconLocation(flags, file, sizeof file, &index, &outFlags)))
        return false;
    location.file = file;
    location.index = index;
    return true;
}

// The cut state and the overlays, common to every control. A shortcut's
// overlay replaces the shared one.
void assignMarks(std::initializer_list<TFflIconList*> lists, IShellFolder* folder, LPCITEMIDLIST item,
                 std::uint32_t attributes, TFflItemIcons& icons)
{
    if (attributes & (SFGAO_HIDDEN | SFGAO_GHOSTED))
        icons.ghosted = true;
    // An overlay whose image could not be had is not shown.
    auto addOverlay = [&](int n) {
        bool added = true;
        for (TFflIconList* list : lists)
            added = list->addShellOverlay(n, folder, item) >= 0 && added;
        if (added)
            icons.overlay = n;
    };
    if (attributes & SFGAO_SHARE)
        addOverlay(1);
    if (attributes & SFGAO_LINK)
        addOverlay(2);
}

}  // namespace

TFflItemIcons assignFolderIcons(TFflIconList& list, IShellFolder* folder, LPCITEMIDLIST item,
                                std::uint32_t attributes, HWND owner)
{
    TFflItemIcons icons;
    const ShellRef<IExtractIconA> extractor = extractorOf(folder, item, owner);
    if (!extractor)
        return icons;
    IconLocation location;
    if (iconLocation(extractor.get(), 0, location))
        icons.imageIndex = list.addIcon(extractor.get(), location.file, location.index);
    icons.selectedIndex = icons.imageIndex;
    if (iconLocation(extractor.get(), GIL_OPENICON, location)) {
        icons.selectedIndex = list.addIcon(extractor.get(), location.file, location.index);
        // An item holds one use of each image: its owner gives back the
        // selected image only when it differs from the normal one.
        if (icons.selectedIndex >= 0 && icons.selectedIndex == icons.imageIndex)
            list.removeIcon(icons.selectedIndex);
    }
    assignMarks({&list}, folder, item, attributes, icons);
    return icons;
}

TFflItemIcons assignListIcons(TFflIconList& smallList, TFflIconList& largeList, IShellFolder* folder,
                              LPCITEMIDLIST item, std::uint32_t attributes, HWND owner)
{
    TFflItemIcons icons;
    const ShellRef<IExtractIconA> extractor = extractorOf(folder, item, owner);
    if (!extractor)
        return icons;
    IconLocation location;
    if (iconLocation(extractor.get(), GIL_FORSHELL, location)) {
        const int large = largeList.addIcon(extractor.get(), location.file, location.index);
        const int small = smallList.addIcon(extractor.get(), location.file, location.index);
        if (large >= 0 && small >= 0) {
            icons.imageIndex = small;
        } else if (large >= 0) {
            largeList.removeIcon(large);
        } else if (small >= 0) {
            smallList.removeIcon(small);
        }
    }
    assignMarks({&smallList, &largeList}, folder, item, attributes, icons);
    return icons;
}
