#include "ItemIdHelpers.h"

#include "ShellCom.h"

#include <cstring>

namespace {

// The byte count of the identifier at item (read unaligned, little-endian).
WORD countAt(const void* item)
{
    const auto* bytes = static_cast<const BYTE*>(item);
    return static_cast<WORD>(bytes[0] | bytes[1] << 8);
}

}  // namespace

LPITEMIDLIST copyFirstItemId(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    const WORD cb = countAt(list);
    if (cb < 2)  // 0 ends the list; 1 cannot hold its own count
        return nullptr;
    auto* copy = static_cast<BYTE*>(CoTaskMemAlloc(std::size_t{cb} + 2));
    if (!copy)
        return nullptr;
    std::memcpy(copy, list, cb);
    copy[cb] = 0;
    copy[cb + 1] = 0;
    return reinterpret_cast<LPITEMIDLIST>(copy);
}

LPCITEMIDLIST nextItemId(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    const WORD cb = countAt(list);
    if (cb < 2)
        return nullptr;
    const auto* next = reinterpret_cast<const BYTE*>(list) + cb;
    if (countAt(next) < 2)
        return nullptr;
    return reinterpret_cast<LPCITEMIDLIST>(next);
}

void freeItemId(LPITEMIDLIST copy)
{
    CoTaskMemFree(copy);
}
