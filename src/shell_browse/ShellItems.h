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
