// Small helpers over item identifier lists.
#pragma once

#include "ItemIdList.h"

// A new list holding only list's first identifier and a 2-byte zero
// terminator, on the general heap (free with freeItemId); null when list is
// null or empty (a first count below 2 counts as empty).
LPITEMIDLIST copyFirstItemId(LPCITEMIDLIST list);
// The identifier after the first one, inside list; null when list is null or
// empty, or when the first identifier is its last.
LPCITEMIDLIST nextItemId(LPCITEMIDLIST list);
// Frees a copy made by copyFirstItemId (null is ignored).
void freeItemId(LPITEMIDLIST copy);
