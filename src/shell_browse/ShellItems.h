// What the folder controls ask of the shell about one item: its names, its
// attributes and its folder object.
#pragma once

#include "FflRecords.h"
#include "ShellHandles.h"

#include <cstdint>
#include <string>

// The kinds of name, always asked with these flags.
inline constexpr SHGDNF kCaptionName = SHGDN_NORMAL;                     // shown to the user
inline constexpr SHGDNF kInFolderName = SHGDN_INFOLDER | SHGDN_FORPARSING;  // stored and matched
inline constexpr SHGDNF kFullPathName = SHGDN_FORPARSING;                 // reported to the host

// The name of item in folder, as flags ask; false when the shell gives none.
bool displayNameOf(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags, std::string& name);
// The attributes of item in folder for kFflAttributeRequest; false on failure.
bool attributesOf(IShellFolder* folder, LPCITEMIDLIST item, std::uint32_t& attributes);
// The folder object of child item of parent; null when it cannot be bound.
ShellRef<IShellFolder> bindFolder(IShellFolder* parent, LPCITEMIDLIST item);

// The folder object of a node or an entry, with a reference for the caller:
// its own folder, or its identifier list bound through parent; null when it
// cannot be bound.
IShellFolder* newNodeFolder(const TFflNodeInfo* info, IShellFolder* parent);
// The order of two items of folder (CompareIDs, column 0, read as the signed
// low 16 bits of its result); false when the folder cannot compare them.
bool compareItems(IShellFolder* folder, LPCITEMIDLIST item1, LPCITEMIDLIST item2, int& order);
// Whether two items of folder are one (false when they cannot be compared).
bool sameItem(IShellFolder* folder, LPCITEMIDLIST item1, LPCITEMIDLIST item2);

// What the folder controls enumerate: folders only on the desktop level,
// everything below it (the controls leave out what they do not show).
inline constexpr SHCONTF kDesktopContents = SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN;                      // 0xA0
inline constexpr SHCONTF kFolderContents = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;  // 0xE0
// The enumerator of folder's contents; null when there is none.
ShellRef<IEnumIDList> enumerate(IShellFolder* folder, SHCONTF contents);
// The next item of an enumeration; null at its end.
UniquePidl nextItem(IEnumIDList* enumerator);

// Text up to its first NUL as the shell's wide text, the whole of it (no
// 260-character limit), every byte kept as WideFromNarrow keeps it.
std::u16string shellText(const std::string& text);
// path (as expandedShellPath gives it) parsed on desktop, asking for the
// attributes in attributes and leaving there what the item has; null when it
// cannot be converted or parsed.
UniquePidl parseShellPath(IShellFolder* desktop, const std::string& path, SFGAOF& attributes);
// The path a folder control looks for: a virtual folder's "::{class}" name as
// it stands, any other path made absolute with "." and ".." resolved.
std::string expandedShellPath(const std::string& path);
