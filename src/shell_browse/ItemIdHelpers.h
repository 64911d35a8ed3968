// Small helpers over item identifier lists.
#pragma once

#include "ItemIdList.h"

// A new list holding only list's first identifier and a 2-byte zero
// terminator, from the task allocator as every list (a UniquePidl owns it);
// null when list is null or empty (a first count below 2 counts as empty).
LPITEMIDLIST copyFirstItemId(LPCITEMIDLIST list);
// The identifier after the first one, inside list; null when list is null or
// empty, or when the first identifier is its last.
LPCITEMIDLIST nextItemId(LPCITEMIDLIST list);
// Frees a copy made by copyFirstItemId (null is ignored): CoTaskMemFree.
void freeItemId(LPITEMIDLIST copy);
