#include "ShellCom.h"

#include "ComObject.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<std::size_t> liveBlocks{0};
std::atomic<std::size_t> liveObjects{0};
thread_local int comInitCount = 0;

// Each block starts with a header holding the size asked for; the header is
// 16 bytes so that the caller's part keeps the allocator's alignment.
constexpr std::size_t kHeader = 16;
constexpr std::uint32_t kMagic = 0x4B534154;  // marks our blocks for DidAlloc

struct BlockHeader {
    std::size_t size;
    std::uint32_t magic;
};
static_assert(sizeof(BlockHeader) <= kHeader);

BlockHeader* headerOf(void* block)
{
    return reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(block) - kHeader);
}

void* allocBlock(std::size_t size)
{
    if (size > SIZE_MAX - kHeader)
        return nullptr;
    auto* raw = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!raw)
        return nullptr;
    auto* header = reinterpret_cast<BlockHeader*>(raw);
    header->size = size;
    header->magic = kMagic;
    ++liveBlocks;
    return raw + kHeader;
}

void freeBlock(void* block)
{
    if (!block)
        return;
    BlockHeader* header = headerOf(block);
    header->magic = 0;
    std::free(header);
    --liveBlocks;
}

void* reallocBlock(void* block, std::size_t size)
{
    if (!block)
        return allocBlock(size);
    if (size == 0) {
        freeBlock(block);
        return nullptr;
    }
    void* grown = allocBlock(size);
    if (!grown)
        return nullptr;
    std::memcpy(grown, block, std::min(size, headerOf(block)->size));
    freeBlock(block);
    return grown;
}

// The task allocator is one object for the whole process; references are
// counted for the callers' sake but it is never deleted.
class TaskAllocator final : public IMalloc {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (!(riid == IID_IUnknown) && !(riid == IID_IMalloc))
            return E_NOINTERFACE;
        *object = static_cast<IMalloc*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override { return m_refs > 1 ? --m_refs : 1; }

    void* Alloc(SIZE_T size) override { return allocBlock(size); }
    void* Realloc(void* block, SIZE_T size) override { return reallocBlock(block, size); }
    void Free(void* block) override { freeBlock(block); }
    SIZE_T GetSize(void* block) override { return block ? headerOf(block)->size : static_cast<SIZE_T>(-1); }
    int DidAlloc(void* block) override
    {
        if (!block)
            return -1;
        return headerOf(block)->magic == kMagic ? 1 : 0;
    }
    void HeapMinimize() override {}

private:
    std::atomic<ULONG> m_refs{1};
};

TaskAllocator& taskAllocator()
{
    static TaskAllocator allocator;
    return allocator;
}

}  // namespace

ComObjectCount::ComObjectCount() { ++liveObjects; }
ComObjectCount::~ComObjectCount() { --liveObjects; }

HRESULT SHGetMalloc(IMalloc** malloc)
{
    if (!malloc)
        return E_INVALIDARG;
    *malloc = &taskAllocator();
    (*malloc)->AddRef();
    return S_OK;
}

void* CoTaskMemAlloc(SIZE_T size) { return allocBlock(size); }
void* CoTaskMemRealloc(void* block, SIZE_T size) { return reallocBlock(block, size); }
void CoTaskMemFree(void* block) { freeBlock(block); }

HRESULT CoInitialize(void*)
{
    return comInitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (comInitCount > 0)
        --comInitCount;
}

std::size_t CoTaskMemLiveBlocks() { return liveBlocks.load(); }
std::size_t ShellLiveObjects() { return liveObjects.load(); }
