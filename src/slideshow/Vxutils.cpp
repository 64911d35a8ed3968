#include "Vxutils.h"

#include "Paths.h"

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

    // Sorts records left..right. After a partition the two parts [left, j] and
    // [i, right] are disjoint and each is sorted on its own, so the order in
    // which they are done does not change the result: the smaller part is
    // sorted by recursion and the larger one by going round again, which keeps
    // the stack shallow whatever the names.
    void sort(int left, int right)
    {
        while (left < right) {
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
            if (j - left < right - i) {
                if (left < j)
                    sort(left, j);
                left = i;
            } else {
                if (i < right)
                    sort(i, right);
                right = j;
            }
        }
    }
};

bool isPlainFile(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) == 0;
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
        if (!Vxdllprocs::VXFileType(JoinPath(folder, data.cFileName).c_str(), 0, record))
            continue;
        std::int16_t count = 0;
        std::memcpy(&count, record + kVxFileRecordPageCount, sizeof count);
        if (count > 0)
            pages += count;
    } while (pages < INT_MAX && FindNextFileA(search, &data));
    FindClose(search);
    return pages < INT_MAX ? int(pages) : INT_MAX;
}

void DrawDisplayEdge(HDC dc, const RECT& rect, bool lowered)
{
    if (!dc)
        return;
    constexpr COLORREF kDark = 0x7F7F7F;
    constexpr COLORREF kLight = 0xDFDFDF;
    constexpr COLORREF kWhite = 0xFFFFFF;
    constexpr COLORREF kBlack = 0x000000;
    auto pen = [](COLORREF colour) {
        LOGPEN p;
        p.lopnStyle = PS_SOLID;
        p.lopnWidth = POINT{1, 0};
        p.lopnColor = colour;
        return p;
    };
    const LOGPEN previous = GetDCPen(dc);
    // Each polyline starts at the bottom-left corner; a line includes its
    // start and leaves out its end point.
    auto frame = [&](int left, int top, int right, int bottom, COLORREF topLeft, COLORREF bottomRight) {
        SetDCPen(dc, pen(topLeft));
        MoveToEx(dc, left, bottom, nullptr);
        LineTo(dc, left, top);
        LineTo(dc, right, top);
        SetDCPen(dc, pen(bottomRight));
        LineTo(dc, right, bottom);
        LineTo(dc, left, bottom);
    };
    frame(rect.left, rect.top, rect.right, rect.bottom, lowered ? kDark : kWhite, lowered ? kWhite : kDark);
    frame(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1, lowered ? kBlack : kLight,
          lowered ? kLight : kBlack);
    SetDCPen(dc, previous);
}
