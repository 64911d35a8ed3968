#include "Vxutils.h"

#include "FindFile.h"
#include "SlideCollection.h"
#include "Vxdllprocs.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

TVxSort g_Sort = vxSortNone;
TVxSortOrder g_SortOrder = vxSortOrderInc;
char g_FileExtArray[kVxExtSlots * kVxExtSlotSize] = {};

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Scratch = std::unique_ptr<unsigned char, FreeDeleter>;

struct SortRun {
    unsigned char* base;
    std::size_t size;
    int (*compare)(const void*, const void*);
    unsigned char* pivot;
    unsigned char* swap;

    unsigned char* at(int i) const { return base + std::size_t(i) * size; }

    void sort(int left, int right)
    {
        std::memcpy(pivot, at((left + right) / 2), size);
        int i = left;
        int j = right;
        do {
            while (compare(at(i), pivot) < 0)
                ++i;
            while (compare(pivot, at(j)) < 0)
                --j;
            if (i <= j) {
                if (i != j) {
                    std::memcpy(swap, at(i), size);
                    std::memcpy(at(i), at(j), size);
                    std::memcpy(at(j), swap, size);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            sort(left, j);
        if (i < right)
            sort(i, right);
    }
};

bool isPlainFile(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

}  // namespace

void QSort(void* base, int count, int size, int (*compare)(const void*, const void*))
{
    if (!base || count < 2 || size < 1 || !compare)
        return;
    // Both scratch records are released on every way out.
    Scratch pivot(static_cast<unsigned char*>(std::malloc(std::size_t(size))));
    Scratch swap(static_cast<unsigned char*>(std::malloc(std::size_t(size))));
    if (!pivot || !swap)
        return;
    SortRun run{static_cast<unsigned char*>(base), std::size_t(size), compare, pivot.get(), swap.get()};
    run.sort(0, count - 1);
}

int GetDirFileCount(const std::string& folder, const std::string& pattern)
{
    if (!Vxdllprocs::VXFileType)
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    long long pages = 0;
    do {
        // Only regular files: opening a FIFO would wait for a writer forever.
        if (!isPlainFile(data.dwFileAttributes))
            continue;
        alignas(8) unsigned char record[kVxFileRecordSize] = {};
        if (!Vxdllprocs::VXFileType(joinPath(folder, data.cFileName).c_str(), 0, record))
            continue;
        std::int16_t count = 0;
        std::memcpy(&count, record + kVxFileRecordPageCount, sizeof count);
        if (count > 0)
            pages += count;
    } while (pages < INT_MAX && FindNextFileA(search, &data));
    FindClose(search);
    return pages < INT_MAX ? int(pages) : INT_MAX;
}
