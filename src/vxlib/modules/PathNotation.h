// The path texts and notations of the image library's helper entry points:
// splitting paths, the page suffix of slide list entries, folder lists, the
// extension table and its keys, date keys, and taking characters off the end
// of UTF-8 text.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vxmodule {

// Copies text into a caller's buffer of size bytes with its terminating NUL.
// When it does not fit (or text holds a NUL), the buffer gets "" (if it has
// room for that) and the result is false.
bool copyToBuffer(std::string_view text, char* buffer, int size);

// The page suffix "|<page>" at the end of a slide list entry: 1 to 5 decimal
// digits with a value of at most 32767 (a page is an int16). Its position
// (of the "|") and page, or nothing.
struct PageSuffix {
    std::size_t at = 0;
    int page = 0;
};
// None for an entry that names an existing file as it stands.
std::optional<PageSuffix> pageSuffix(std::string_view entry);

// Folder number index of a folder list: folders separated by ";", empty
// pieces skipped. (A list naming one existing folder is handled by the caller.)
std::optional<std::string> folderOfList(std::string_view list, int index);

// The extension table: kVxExtSlots slots of kVxExtSlotSize bytes.
// Extensions of a list like "bmp;jpg;*.png; tif": blanks around each piece
// and a leading "*." or "." dropped, empty pieces skipped; at most 1000
// entries; a piece over 63 bytes does not fit a slot and is left out.
std::vector<std::string> extensionList(std::string_view list);
// The number of the first slot holding name's extension (the text after its
// last "."), letter case ignored; -1 when none does.
int extensionSlot(std::string_view name, const char* table);

// "YYYYMMDDhhmmsst" in UTC, t the tenths of a second: string order is time
// order. Times outside the years 0000 to 9999 are held at those ends.
std::string dateKey(const struct timespec& time);

// The last count characters (code points, not bytes) of UTF-8 text; the
// whole text when it has fewer, "" for count <= 0.
std::string_view lastCharacters(std::string_view text, int count);

}  // namespace vxmodule
