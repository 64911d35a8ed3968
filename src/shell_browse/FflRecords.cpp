#include "FflRecords.h"

namespace {

// Lists are given back through the shell's allocator, which made them.
void freeList(LPITEMIDLIST list)
{
    if (!list)
        return;
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc))) {
        malloc->Free(list);
        malloc->Release();
    }
}

}  // namespace

TFflNodeInfo::~TFflNodeInfo()
{
    freeList(pidl);
    if (folder)
        folder->Release();
}

TFflItemInfo::~TFflItemInfo()
{
    freeList(pidl);
}
