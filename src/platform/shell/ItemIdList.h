// Item identifier lists (PIDLs): a sequence of identifiers, each a 16-bit
// little-endian byte count `cb` (counting itself) and cb - 2 bytes of the
// shell's data, ended by an identifier whose cb is 0. Lists handed out by the
// shell are allocated with the task allocator (IMalloc::Free, CoTaskMemFree).
#pragma once

#include "WinTypes.h"

#pragma pack(push, 1)
struct SHITEMID {
    WORD cb;
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
#pragma pack(pop)

using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
