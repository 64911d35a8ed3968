// Helpers of the slide show: the in-place record sort, the counting pass of
// a directory search, and the state the slide comparator reads.
#pragma once

#include "VxApi.h"

#include <cstdint>
#include <string>

// Defined with their values in SlideCollection.h.
enum TVxSort : std::uint8_t;
enum TVxSortOrder : std::uint8_t;

// What the slide comparator (TVxSlideCollection::SortProc) orders by. The
// collection copies its settings and extension table here right before it
// sorts; nothing else writes them.
extern TVxSort g_Sort;
extern TVxSortOrder g_SortOrder;
extern char g_FileExtArray[kVxExtSlots * kVxExtSlotSize];

// Sorts count records of size bytes in place with a middle-element pivot
// (Hoare partitioning, left part first). The order of records that compare
// equal is whatever the partitioning leaves: the sort is not stable, and that
// order is part of its behaviour. compare must be deterministic and give 0
// for a record and its copy. Does nothing for fewer than two records or when
// its two scratch records cannot be allocated.
void QSort(void* base, int count, int size, int (*compare)(const void*, const void*));

// The counting pass over one search pattern (folder + "/*." + extension):
// the sum of the page counts of the regular files it finds that the image
// library reads (VXFileType, page 0). Hidden files are counted; folders and
// special entries (FIFOs, sockets, devices, dangling links) are not, and are
// never opened. 0 without the library.
int GetDirFileCount(const std::string& folder, const std::string& pattern);

// The three-dimensional edge of a box, two pixels wide, on the outermost
// pixels of rect (all four coordinates inclusive). Lowered: dark grey
// (0x7F7F7F) left and top outside, black inside, white and light grey
// (0xDFDFDF) right and bottom. Raised swaps the colours of the two sides
// (white and light grey left and top, dark grey and black right and bottom).
// The context's pen is restored afterwards.
void DrawDisplayEdge(HDC dc, const RECT& rect, bool lowered);
