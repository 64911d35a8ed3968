// Icons of namespace items: IExtractIconA, which the folders hand out
// through GetUIObjectOf, and IShellIconOverlay, which they answer through
// QueryInterface. An icon location is the name of a theme icon ("folder",
// "image-jpeg", ...) with index 0; Extract draws that icon.
#pragma once

#include "ItemIdList.h"
#include "ShellCom.h"
#include "SystemImageList.h"

#include <string>

// GetIconLocation flags in.
inline constexpr UINT GIL_OPENICON = 0x0001;  // the open state of a folder
inline constexpr UINT GIL_FORSHELL = 0x0002;
// GetIconLocation flags out.
inline constexpr UINT GIL_PERCLASS = 0x0004;     // one icon for all items of the kind
inline constexpr UINT GIL_NOTFILENAME = 0x0008;  // the location is not a file

// The low 16 bits of a size word are the large icon's size, the high 16 bits the small one's.
inline constexpr UINT MAKELONG(UINT low, UINT high) { return (low & 0xFFFF) | (high & 0xFFFF) << 16; }
inline constexpr UINT LOWORD(UINT value) { return value & 0xFFFF; }
inline constexpr UINT HIWORD(UINT value) { return value >> 16 & 0xFFFF; }

struct IExtractIconA : IUnknown {
    // The icon's location into iconFile (a buffer of size bytes) and index;
    // E_INVALIDARG for missing outputs, E_OUTOFMEMORY when the name does not
    // fit (the buffer then holds an empty text).
    virtual HRESULT GetIconLocation(UINT flags, char* iconFile, UINT size, int* index, UINT* outFlags) = 0;
    // The icon at iconFile, index as new icons: the large one at LOWORD(iconSize)
    // pixels, the small one at HIWORD(iconSize); either output may be null. The
    // caller frees the icons with DestroyIcon. E_FAIL for an unknown location.
    virtual HRESULT Extract(const char* iconFile, UINT index, HICON* large, HICON* small, UINT iconSize) = 0;
};

struct IShellIconOverlay : IUnknown {
    // The overlay number (1 to 15) of an item's overlay: S_OK with the number,
    // S_FALSE when the item has none, E_INVALIDARG for a damaged list.
    virtual HRESULT GetOverlayIndex(LPCITEMIDLIST item, int* index) = 0;
    // The same overlay as an index in the system image list.
    virtual HRESULT GetOverlayIconIndex(LPCITEMIDLIST item, int* iconIndex) = 0;
};

// Symbolic links show this overlay number (the theme's "emblem-symbolic-link").
inline constexpr int kLinkOverlay = 2;

namespace shellitem {
struct Item;
}

namespace shellicon {

// The folders that have icons of their own wherever they are reached from.
struct SpecialFolders {
    std::string home;
    std::string desktop;
    std::string documents;
};
// Their paths as they are now (reading them takes the user's settings file:
// a folder of many items reads them once).
SpecialFolders specialFolders();

// The theme icon name of an item at path (its full path; the mount path,
// folder path or "" for the virtual items): folders, the special folders,
// drives, Computer, and files by MIME type. open asks for an open folder.
std::string iconName(const shellitem::Item& item, const std::string& path, bool open);
std::string iconName(const shellitem::Item& item, const std::string& path, bool open, const SpecialFolders& special);
// The theme icon name of a path on disk; directory tells a folder from a file
// without reading it (when known is true).
std::string iconNameOfPath(const std::string& path, bool known, bool directory);

// The system image list index of the link overlay, set as overlay
// kLinkOverlay of both system lists on first use; -1 when there is none.
int linkOverlayImage();

// A new extractor for one item (one reference, the caller's).
IExtractIconA* newExtractIcon(const std::string& normalIcon, const std::string& openIcon);
// A new overlay object for a folder's items (one reference, the caller's).
IShellIconOverlay* newIconOverlay();

}  // namespace shellicon
