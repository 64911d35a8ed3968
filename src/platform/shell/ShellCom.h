// COM basics for the shell namespace: result codes, interface identifiers,
// reference-counted interfaces and the task allocator that owns item
// identifier lists and shell-allocated strings.
#pragma once

#include "WinTypes.h"

#include <cstddef>
#include <cstdint>

using ULONG = std::uint32_t;
using SIZE_T = std::size_t;

// Result codes. Success codes are not negative; SUCCEEDED/FAILED test the sign.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }
// The low 16 bits of a result carry a comparison's outcome (CompareIDs).
inline constexpr short HRESULT_CODE(HRESULT hr) { return static_cast<short>(hr & 0xFFFF); }

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
};
inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMalloc{0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IShellFolder{0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IEnumIDList{0x000214F2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersist{0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistFile{0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IShellLinkA{0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IExtractIconA{0x000214EB, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IShellIconOverlay{0x7D688A70, 0xC613, 0x11D0, {0x99, 0x9B, 0x00, 0xC0, 0x4F, 0xD6, 0x55, 0xE1}};
inline constexpr CLSID CLSID_ShellLink{0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The root of every interface: the object lives while its count of references
// is above 0 and deletes itself on the last Release.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// The task allocator: blocks from Alloc/Realloc are freed with Free (or
// CoTaskMemFree, which is the same allocator).
struct IMalloc : IUnknown {
    virtual void* Alloc(SIZE_T size) = 0;
    // A block of the new size with the old contents (as far as they fit), or
    // nullptr with the old block untouched. Realloc(nullptr, n) is Alloc(n);
    // Realloc(p, 0) frees p and returns nullptr.
    virtual void* Realloc(void* block, SIZE_T size) = 0;
    virtual void Free(void* block) = 0;
    // The size asked for the block; (SIZE_T)-1 for nullptr.
    virtual SIZE_T GetSize(void* block) = 0;
    // 1 when the block came from this allocator, 0 when not, -1 for nullptr.
    virtual int DidAlloc(void* block) = 0;
    virtual void HeapMinimize() = 0;
};

// The one task allocator, with a reference added for the caller.
HRESULT SHGetMalloc(IMalloc** malloc);

void* CoTaskMemAlloc(SIZE_T size);
void* CoTaskMemRealloc(void* block, SIZE_T size);
void CoTaskMemFree(void* block);  // nullptr is ignored

// Per-thread initialisation count: S_OK for the first call on a thread,
// S_FALSE for the later ones. Each call is matched by one CoUninitialize.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

// Counters for leak checks: task-allocator blocks not yet freed, and shell
// objects (folders, enumerators) not yet released, in the whole process.
std::size_t CoTaskMemLiveBlocks();
std::size_t ShellLiveObjects();
