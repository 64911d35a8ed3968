// The system image list: the process's icons of the shell namespace, taken
// from the freedesktop icon theme and kept by index (an image list of
// CommonControls.h that cannot be changed). Every icon is added once
// per theme name and keeps its index for the life of the process; the small
// list (16 x 16) and the large list (32 x 32) share the indexes and differ
// only in the size their icons are drawn at.
#pragma once

#include "CommonControls.h"
#include "ItemIdList.h"
#include "ShellCom.h"

#include <cstdint>
#include <string>

using DWORD_PTR = std::uintptr_t;

struct SHFILEINFOA {
    HICON hIcon = nullptr;       // SHGFI_ICON: owned by the caller
    int iIcon = 0;               // SHGFI_SYSICONINDEX / SHGFI_ICON: system image list index
    DWORD dwAttributes = 0;      // SHGFI_ATTRIBUTES: the SFGAO_* bits
    char szDisplayName[260] = {};  // SHGFI_DISPLAYNAME: UTF-8, cut to fit
    char szTypeName[80] = {};
};

inline constexpr UINT SHGFI_LARGEICON = 0x000000;
inline constexpr UINT SHGFI_SMALLICON = 0x000001;
inline constexpr UINT SHGFI_OPENICON = 0x000002;
inline constexpr UINT SHGFI_SHELLICONSIZE = 0x000004;
inline constexpr UINT SHGFI_PIDL = 0x000008;              // path is an absolute item identifier list
inline constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000010; // attributes tell folder or file; the path is not read
inline constexpr UINT SHGFI_ICON = 0x000100;
inline constexpr UINT SHGFI_DISPLAYNAME = 0x000200;
inline constexpr UINT SHGFI_ATTRIBUTES = 0x000800;
inline constexpr UINT SHGFI_SYSICONINDEX = 0x004000;
inline constexpr UINT SHGFI_LINKOVERLAY = 0x008000;

// Facts about a file, folder or namespace item. With SHGFI_SYSICONINDEX the
// result is the system image list (small with SHGFI_SMALLICON, else large)
// and iIcon is the item's index in it; otherwise non-zero for success. 0 for
// a failure (a null path or info, a size smaller than SHFILEINFOA, a path
// that does not exist, a damaged list).
DWORD_PTR SHGetFileInfoA(const char* path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags);

// The shell's own files: the index of the theme icon called name, added to
// the system image list on first use; -1 for an empty name.
namespace systemimagelist {
int indexOf(const std::string& name);
// A new icon of the theme icon called name at size x size pixels; null when
// the theme has no such icon or size is not positive.
HICON iconOf(const std::string& name, int size);
// ImageList_SetOverlayImage on both system lists.
void setOverlay(int image, int overlay);
}
