// The data our shell keeps in each item identifier, and the places the
// namespace is built from. Used by the shell's own files only.
#pragma once

#include "ItemIdList.h"
#include "WinTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace shellitem {

// What an identifier names. The numbers are stored in identifiers.
enum class Kind : BYTE {
    Computer = 1,   // the virtual "Computer" folder, child of the desktop
    Drive = 2,      // a mounted file system, child of Computer; name = mount path
    Documents = 3,  // the documents folder, child of the desktop; name = its path
    Home = 4,       // the home folder, child of the desktop; name = its path
    Entry = 5,      // a folder or file inside a folder; name = the entry's name
};

struct Item {
    Kind kind = Kind::Entry;
    bool hasFindData = false;  // false for a parsed component that does not exist
    bool isLink = false;       // a symbolic link (find data describes its target)
    WIN32_FIND_DATAA find;
    std::string name;
};

// Bytes of one identifier for item, without the terminator.
void appendItem(std::vector<BYTE>& bytes, const Item& item);
// A task-allocated list from identifier bytes (the terminator is added).
LPITEMIDLIST makeList(const std::vector<BYTE>& bytes);
// The items of a list; nullopt when it is null or holds a foreign or damaged
// identifier.
std::optional<std::vector<Item>> decodeList(LPCITEMIDLIST list);

// The desktop's folder (XDG desktop folder, else home), the documents folder
// (XDG documents folder, else home), home; the mount paths of the drives, "/"
// first.
std::string desktopPath();
std::string documentsPath();
std::string homePath();
std::vector<std::string> drivePaths();

// The entries of a folder ("." and ".." left out); empty when it cannot be read.
std::vector<Item> readFolder(const std::string& folder);
// The entry called name in folder: an exact match, else one whose name
// differs only in letter case; nullopt when there is none.
std::optional<Item> findEntry(const std::string& folder, const std::string& name);

}  // namespace shellitem
