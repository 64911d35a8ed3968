// The icons of one item just added to a folder control: its images in the
// control's icon list(s), the overlay it shows and whether it is drawn dimmed.
#pragma once

#include "FflIconList.h"

#include <cstdint>

struct TFflItemIcons {
    int imageIndex = -1;     // normal image, -1 = none
    int selectedIndex = -1;  // open (selected) image; the tree and the drop-down only
    int overlay = -1;        // overlay shown: -1 none, 1 shared, 2 shortcut
    bool ghosted = false;    // hidden or ghosted: drawn dimmed
};

// Tree and drop-down: the normal icon (GetIconLocation flags 0) and the open
// icon (GIL_OPENICON), which stays the normal one when the extractor has none.
// The item holds one use of each distinct image: an open icon that is the
// normal one adds no second use.
TFflItemIcons assignFolderIcons(TFflIconList& list, IShellFolder* folder, LPCITEMIDLIST item,
                                std::uint32_t attributes, HWND owner);

// File list: one icon (GIL_FORSHELL) added to the small and the large list
// at the same index. When only one list takes it, that one is given back,
// so both lists stay index for index in step, and the item has no image.
// The overlays go to the small list first, then the large one.
TFflItemIcons assignListIcons(TFflIconList& smallList, TFflIconList& largeList, IShellFolder* folder,
                              LPCITEMIDLIST item, std::uint32_t attributes, HWND owner);
