// The shell namespace on Linux, reached through IShellFolder.
//
// The desktop is the root; its parsing name is the XDG desktop folder (else
// home). Its children: the documents folder, the home folder, the virtual
// "Computer" and the entries of the desktop folder. Computer's children are
// "/" and the file systems mounted under /media, /mnt and /run/media. An
// absolute path parses to Computer / drive / folders / item.
#pragma once

#include "ItemIdList.h"
#include "ShellCom.h"
#include "ShellExecute.h"  // HWND

#include <string>

struct IBindCtx;

using SFGAOF = ULONG;
using SHCONTF = DWORD;
using SHGDNF = DWORD;

// EnumObjects: which children to list.
inline constexpr SHCONTF SHCONTF_FOLDERS = 0x20;
inline constexpr SHCONTF SHCONTF_NONFOLDERS = 0x40;
inline constexpr SHCONTF SHCONTF_INCLUDEHIDDEN = 0x80;  // names starting with "."

// Item attributes.
inline constexpr SFGAOF SFGAO_GHOSTED = 0x00008000;        // drawn dimmed: names starting with "."
inline constexpr SFGAOF SFGAO_LINK = 0x00010000;           // a symbolic link
inline constexpr SFGAOF SFGAO_SHARE = 0x00020000;          // never set here
inline constexpr SFGAOF SFGAO_HIDDEN = 0x00080000;         // names starting with "."
inline constexpr SFGAOF SFGAO_FILESYSANCESTOR = 0x10000000;  // folders, drives, Computer, desktop
inline constexpr SFGAOF SFGAO_FOLDER = 0x20000000;
inline constexpr SFGAOF SFGAO_FILESYSTEM = 0x40000000;     // real files and folders
inline constexpr SFGAOF SFGAO_HASSUBFOLDER = 0x80000000;   // set for the virtual folders and drives

// GetDisplayNameOf: which name.
inline constexpr SHGDNF SHGDN_NORMAL = 0;            // the name shown to the user
inline constexpr SHGDNF SHGDN_INFOLDER = 1;          // relative to the folder
inline constexpr SHGDNF SHGDN_FORPARSING = 0x8000;   // a name ParseDisplayName accepts

// A name returned by the shell; StrRetToStrA turns it into text.
inline constexpr UINT STRRET_WSTR = 0;    // pOleStr: task-allocated UTF-16
inline constexpr UINT STRRET_OFFSET = 1;  // uOffset: UTF-8 inside the item's identifier
inline constexpr UINT STRRET_CSTR = 2;    // cStr: UTF-8 in place
struct STRRET {
    UINT uType = STRRET_CSTR;
    union {
        char16_t* pOleStr;
        UINT uOffset;
        char cStr[260];
    };
};

// Lists a folder's children, one task-allocated child identifier list each.
struct IEnumIDList : IUnknown {
    // Up to count lists into items; S_OK when all were given, S_FALSE when
    // fewer. The caller frees each list.
    virtual HRESULT Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumIDList** copy) = 0;
};

struct IShellFolder : IUnknown {
    // The list of a name relative to this folder: for the desktop and Computer
    // an absolute path (or Computer's "::{…}" name on the desktop), for a file
    // system folder a relative path. Components that do not exist become items
    // without find data; among siblings an exact-case match wins over one that
    // differs only in letter case. attributes (in/out, may be null) keeps the
    // asked bits the item has.
    virtual HRESULT ParseDisplayName(HWND owner, IBindCtx* bindContext, const char16_t* displayName,
                                     ULONG* eaten, LPITEMIDLIST* list, ULONG* attributes) = 0;
    // The children chosen by SHCONTF_* flags. A folder that cannot be read
    // lists nothing.
    virtual HRESULT EnumObjects(HWND owner, SHCONTF flags, IEnumIDList** enumerator) = 0;
    // The folder object of a (possibly multi-level) relative list; IID_IShellFolder.
    virtual HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID riid, void** object) = 0;
    virtual HRESULT BindToStorage(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID riid, void** object) = 0;
    // Column 0 only: folders before files, then names (lstrcmpiA). The order
    // (-1, 0, 1) is in the low 16 bits of the success code.
    virtual HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST list1, LPCITEMIDLIST list2) = 0;
    virtual HRESULT CreateViewObject(HWND owner, REFIID riid, void** object) = 0;
    // in: the asked SFGAO_* bits; out: those that all the items have.
    virtual HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) = 0;
    virtual HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* items, REFIID riid, UINT* reserved,
                                  void** object) = 0;
    // The item's name of the kind SHGDN_* asks for (an empty list: this folder's own).
    virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF flags, STRRET* name) = 0;
    virtual HRESULT SetNameOf(HWND owner, LPCITEMIDLIST item, const char16_t* name, SHGDNF flags,
                              LPITEMIDLIST* newItem) = 0;
};

// A new reference to the desktop folder.
HRESULT SHGetDesktopFolder(IShellFolder** folder);

inline constexpr int CSIDL_DESKTOP = 0x0000;   // the empty list
inline constexpr int CSIDL_PERSONAL = 0x0005;  // the documents folder, a child of the desktop
inline constexpr int CSIDL_DRIVES = 0x0011;    // Computer
// The absolute, task-allocated list of a special folder.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);

// Copies a name into a task-allocated UTF-8 text (free with CoTaskMemFree);
// a STRRET_WSTR name's text is freed. item is the identifier the name came
// from (needed for STRRET_OFFSET).
HRESULT StrRetToStrA(STRRET* name, LPCITEMIDLIST item, char** text);

inline constexpr int SHGDFIL_FINDDATA = 1;
// The find data snapshot of a file system child item into data
// (a WIN32_FIND_DATAA, size bytes); fails for items without one.
HRESULT SHGetDataFromIDListA(IShellFolder* folder, LPCITEMIDLIST item, int format, void* data, int size);
