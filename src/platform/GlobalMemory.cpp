#include "GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

struct Block {
    void* data = nullptr;
    std::size_t size = 0;
    int locks = 0;
};

// Live blocks; a handle is valid only while it is in this set.
struct BlockTable {
    std::mutex mutex;
    std::unordered_set<Block*> blocks;
};

BlockTable& table()
{
    static BlockTable* t = new BlockTable;  // outlives every static destructor that may free a block
    return *t;
}

// A block's handle is its address, of the handle type.
HGLOBAL handleOf(Block* block)
{
    return reinterpret_cast<HGLOBAL>(block);
}

Block* find(HGLOBAL handle)
{
    auto* block = reinterpret_cast<Block*>(handle);
    return table().blocks.count(block) ? block : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    auto* block = new (std::nothrow) Block;
    if (!block)
        return nullptr;
    if (bytes > 0) {
        block->data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
        if (!block->data) {
            delete block;
            return nullptr;
        }
    }
    block->size = bytes;
    std::lock_guard lock(table().mutex);
    table().blocks.insert(block);
    return handleOf(block);
}

void* GlobalLock(HGLOBAL handle)
{
    std::lock_guard lock(table().mutex);
    Block* block = find(handle);
    if (!block || !block->data)
        return nullptr;
    ++block->locks;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    std::lock_guard lock(table().mutex);
    Block* block = find(handle);
    if (!block || block->locks == 0)
        return 0;
    --block->locks;
    return block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL handle)
{
    std::lock_guard lock(table().mutex);
    Block* block = find(handle);
    return block ? block->size : 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL handle, std::size_t bytes, UINT flags)
{
    std::lock_guard lock(table().mutex);
    Block* block = find(handle);
    if (!block)
        return nullptr;
    if (bytes == 0) {
        std::free(block->data);
        block->data = nullptr;
        block->size = 0;
        return handleOf(block);
    }
    void* data = std::realloc(block->data, bytes);
    if (!data)
        return nullptr;
    if ((flags & GMEM_ZEROINIT) && bytes > block->size)
        std::memset(static_cast<char*>(data) + block->size, 0, bytes - block->size);
    block->data = data;
    block->size = bytes;
    return handleOf(block);
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    Block* block = nullptr;
    {
        std::lock_guard lock(table().mutex);
        block = find(handle);
        if (!block)
            return handle;
        table().blocks.erase(block);
    }
    std::free(block->data);
    delete block;
    return nullptr;
}

std::size_t GlobalBlockCount()
{
    std::lock_guard lock(table().mutex);
    return table().blocks.size();
}
