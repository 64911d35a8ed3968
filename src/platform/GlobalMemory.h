// Movable memory blocks: the handles that carry decoded images between the
// program and the image library's modules. Every handle lives in this shared
// library's table, so a block allocated on one side can be locked, sized and
// freed on the other, and an unknown handle is refused instead of crashing.
#pragma once

#include "WinTypes.h"

#include <cstddef>

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// A new block of `bytes` bytes (zeroed with GMEM_ZEROINIT); nullptr when the
// memory cannot be had.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's memory, counting one more lock; nullptr for an unknown handle or
// an empty block.
void* GlobalLock(HGLOBAL block);
// Counts one lock off; non-zero while the block is still locked.
BOOL GlobalUnlock(HGLOBAL block);
// The block's size in bytes; 0 for an unknown handle.
std::size_t GlobalSize(HGLOBAL block);
// Resizes a block, keeping its contents (new bytes zeroed with GMEM_ZEROINIT);
// the handle stays the same. nullptr when it fails (the block is unchanged).
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags);
// Frees the block: nullptr on success, the handle itself when it is unknown.
HGLOBAL GlobalFree(HGLOBAL block);
// Number of live blocks (for leak checks in tests and benchmarks).
std::size_t GlobalBlockCount();
