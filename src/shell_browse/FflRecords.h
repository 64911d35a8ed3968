// What the folder controls keep per tree node, drop-down entry, list item and
// icon image, and the attribute request and hidden-item setting they share.
#pragma once

#include "ShellFolder.h"

#include <cstdint>
#include <string>

// The attributes asked of every enumerated item: SFGAO_ENCRYPTED | ISSLOW |
// GHOSTED | LINK | SHARE | HIDDEN | STORAGEANCESTOR | COMPRESSED |
// FILESYSANCESTOR | FOLDER | FILESYSTEM.
inline constexpr SFGAOF kFflAttributeRequest = 0x748BE000;

// Which hidden items a control lists.
enum TFflShowHidden : std::uint8_t {
    flhConformExplorer,  // as the shell settings say
    flhForceHide,
    flhForceShow,
};

// One tree node or drop-down entry. The record owns its identifier list and
// its folder reference and gives both back when it is deleted.
struct TFflNodeInfo {
    TFflNodeInfo() = default;
    ~TFflNodeInfo();
    TFflNodeInfo(const TFflNodeInfo&) = delete;
    TFflNodeInfo& operator=(const TFflNodeInfo&) = delete;

    std::string name;             // in-folder parsing name (SHGDN_INFOLDER | SHGDN_FORPARSING)
    std::uint32_t attributes = 0;
    LPITEMIDLIST pidl = nullptr;  // relative to the parent folder; task-allocated
    IShellFolder* folder = nullptr;  // the folder bound to this node, one reference
    bool enumerated = false;      // the children have been listed
    std::int32_t level = 0;       // drop-down only: depth, desktop = 0
    std::int32_t imageIndex = -1;     // drop-down only
    std::int32_t selectedIndex = -1;  // drop-down only
    std::int32_t overlayIndex = -1;   // drop-down only: -1 none, 0 hidden, 1 shared, 2 shortcut
};

// One file list item. The record owns its identifier list.
struct TFflItemInfo {
    TFflItemInfo() = default;
    ~TFflItemInfo();
    TFflItemInfo(const TFflItemInfo&) = delete;
    TFflItemInfo& operator=(const TFflItemInfo&) = delete;

    std::string name;  // in-folder parsing name: a file's name with its extension
    std::uint32_t attributes = 0;
    LPITEMIDLIST pidl = nullptr;  // relative to the listed folder; task-allocated
    std::uint64_t size = 0;
    std::string created;
    std::string modified;
    std::string accessed;
    std::uint32_t fileAttributes = 0;
};

// One image of a TFflIconList: where its icon came from and how many items use it.
struct TFflIconRefs {
    std::string iconFile;  // empty: the system image list
    std::int32_t iconIndex = 0;
    std::int32_t refCount = 0;
};
