// Vx7Com: image handles (type, resizing, release), DIB drawing on a device
// context, and the path helpers of the slide collection.
#include "ModuleExport.h"
#include "Paths.h"
#include "PathNotation.h"
#include "RasterHandle.h"
#include "RasterResize.h"
#include "VectorImage.h"
#include "VxApi.h"

#include "FileOps.h"
#include "Gdi.h"
#include "GlobalMemory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <type_traits>
#include <vector>

using vxmodule::guarded;
using vxmodule::guardedVoid;

namespace {

void putInt32(void* record, std::size_t offset, std::int32_t value)
{
    std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

void putInt16(void* record, std::size_t offset, std::int16_t value)
{
    std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

// The text of a caller's buffer of size bytes, if it is NUL-terminated there.
bool bufferText(const char* buffer, std::int32_t size, std::size_t* length)
{
    if (!buffer || size <= 0)
        return false;
    *length = strnlen(buffer, std::size_t(size));
    return *length < std::size_t(size);
}

// The nearest folder at or above path that exists ("." for a relative path
// whose folders do not exist).
std::string nearestExisting(std::string path)
{
    struct stat status {};
    while (::stat(path.c_str(), &status) != 0) {
        std::string parent = ParentFolder(path);
        if (parent == "." || parent == path)
            return parent;
        path = std::move(parent);
    }
    return path;
}


RECT makeRect(int left, int top, int right, int bottom)
{
    RECT rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

LOGBRUSH solidBrush(std::uint32_t colour)
{
    LOGBRUSH brush;
    brush.lbStyle = BS_SOLID;
    brush.lbColor = colour & 0xFFFFFF;
    return brush;
}

}  // namespace

// ---------------------------------------------------------------------------
// Image handles

VX_EXPORT std::int32_t VXGetImageType(VXHANDLE image, void* typeRecord)
{
    return guarded<std::int32_t>(0, [&] {
        if (!typeRecord)
            return 0;
        std::memset(typeRecord, 0, kVxTypeRecordSize);
        if (vxmodule::hasVectorMagic(ImageMemory(image))) {
            const vxmodule::LockedVector vector(ImageMemory(image));
            if (!vector.valid())
                return 0;
            putInt32(typeRecord, kVxTypeRecordWidth, vector.header().width);
            putInt32(typeRecord, kVxTypeRecordHeight, vector.header().height);
            putInt16(typeRecord, kVxTypeRecordKind, kVxKindVector);
            return 1;
        }
        const vxmodule::LockedRaster raster(ImageMemory(image));
        if (!raster.valid())
            return 0;
        putInt32(typeRecord, kVxTypeRecordWidth, raster.width());
        putInt32(typeRecord, kVxTypeRecordHeight, raster.height());
        putInt16(typeRecord, kVxTypeRecordKind, kVxKindRaster);
        return 1;
    });
}

VX_EXPORT VXHANDLE SetImageSize(VXHANDLE raster, std::int32_t width, std::int32_t height)
{
    return guarded<VXHANDLE>(nullptr, [&]() -> VXHANDLE {
        // The input is taken over: whatever happens, it is freed here, unless it
        // is itself the answer (already at that size).
        struct Release {
            HGLOBAL handle;
            ~Release()
            {
                if (handle)
                    GlobalFree(handle);
            }
        } input{ImageMemory(raster)};
        {
            const vxmodule::LockedRaster locked(ImageMemory(raster));
            if (locked.valid() && locked.width() == width && locked.height() == height
                && locked.info()->bmiHeader.biBitCount == 24) {
                input.handle = nullptr;
                return raster;
            }
        }
        return ImageHandle(vxmodule::resizedRaster(ImageMemory(raster), width, height));
    });
}

VX_EXPORT void VXFreeMemory(VXHANDLE image)
{
    guardedVoid([&] {
        if (image)
            GlobalFree(ImageMemory(image));
    });
}

// ---------------------------------------------------------------------------
// Drawing

VX_EXPORT std::int32_t GetDibPalSize(const BITMAPINFOHEADER* header)
{
    return guarded<std::int32_t>(0, [&] { return header ? std::int32_t(DibColorTableSize(*header)) : 0; });
}

VX_EXPORT std::int32_t _StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                                      int hSrc, const void* bits, const BITMAPINFO* info, std::uint32_t usage,
                                      std::uint32_t rop)
{
    return guarded<std::int32_t>(0, [&] {
        return StretchDIBits(dc, xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc, bits, info, usage, rop);
    });
}

VX_EXPORT std::int32_t _BoxFull(HDC dc, int left, int top, int right, int bottom, std::uint32_t colour)
{
    return guarded<std::int32_t>(0, [&] {
        if (!dc)
            return 0;
        const RECT rect = makeRect(left, top, right, bottom);
        return FillRect(dc, &rect, solidBrush(colour)) ? 1 : 0;
    });
}

VX_EXPORT std::int32_t _Box(HDC dc, int left, int top, int right, int bottom, int width, std::uint32_t colour)
{
    return guarded<std::int32_t>(0, [&] {
        if (!dc)
            return 0;
        if (right <= left || bottom <= top)
            return 1;
        // The outline lies inside the box, width pixels thick.
        const int w = std::max(width, 1);
        const LOGBRUSH brush = solidBrush(colour);
        if (2 * std::int64_t(w) >= std::int64_t(right) - left || 2 * std::int64_t(w) >= std::int64_t(bottom) - top) {
            const RECT all = makeRect(left, top, right, bottom);
            return FillRect(dc, &all, brush) ? 1 : 0;
        }
        const RECT edges[4] = {makeRect(left, top, right, top + w), makeRect(left, bottom - w, right, bottom),
                               makeRect(left, top + w, left + w, bottom - w),
                               makeRect(right - w, top + w, right, bottom - w)};
        for (const RECT& edge : edges)
            if (!FillRect(dc, &edge, brush))
                return 0;
        return 1;
    });
}

VX_EXPORT std::int32_t _Line(HDC dc, int x1, int y1, int x2, int y2, int width, std::uint32_t colour)
{
    return guarded<std::int32_t>(0, [&] {
        if (!dc)
            return 0;
        const int saved = SaveDC(dc);
        if (saved == 0)
            return 0;
        LOGPEN pen;
        pen.lopnStyle = PS_SOLID;
        pen.lopnWidth.x = std::max(width, 1);
        pen.lopnColor = colour & 0xFFFFFF;
        SetDCPen(dc, pen);
        SetROP2(dc, R2_COPYPEN);
        const bool drawn = MoveToEx(dc, x1, y1, nullptr) && LineTo(dc, x2, y2);
        RestoreDC(dc, saved);
        return drawn ? 1 : 0;
    });
}

// ---------------------------------------------------------------------------
// Paths

VX_EXPORT std::int32_t SetTermYEN(char* path, std::int32_t size)
{
    return guarded<std::int32_t>(0, [&] {
        std::size_t length = 0;
        if (!bufferText(path, size, &length))
            return 0;
        // An empty path stays empty: a "/" would turn it into the root.
        if (length == 0 || path[length - 1] == '/')
            return 1;
        if (length + 2 > std::size_t(size))
            return 0;
        path[length] = '/';
        path[length + 1] = '\0';
        return 1;
    });
}

VX_EXPORT std::int32_t GetFullpathFilename(const char* path, char* folder, std::int32_t folderSize, char* name,
                                           std::int32_t nameSize)
{
    return guarded<std::int32_t>(0, [&] {
        if (!path)
            return 0;
        const PathParts parts = SplitAtLastSlash(path);
        const bool folderFits = !folder || vxmodule::copyToBuffer(parts.folder, folder, folderSize);
        const bool nameFits = !name || vxmodule::copyToBuffer(parts.name, name, nameSize);
        if (folderFits && nameFits)
            return 1;
        vxmodule::copyToBuffer("", folder, folderSize);
        vxmodule::copyToBuffer("", name, nameSize);
        return 0;
    });
}

VX_EXPORT std::int32_t GetPagefromFilename(const char* path)
{
    return guarded<std::int32_t>(0, [&] {
        if (!path)
            return 0;
        const auto suffix = vxmodule::pageSuffix(path);
        return suffix ? suffix->page : 0;
    });
}

VX_EXPORT std::int32_t CutPagefromFilename(char* path)
{
    return guarded<std::int32_t>(0, [&] {
        if (!path)
            return 0;
        const auto suffix = vxmodule::pageSuffix(path);
        if (!suffix)
            return 0;
        path[suffix->at] = '\0';
        return 1;
    });
}

VX_EXPORT std::int32_t GetPathDir(std::int32_t index, const char* filePath, char* folder, std::int32_t size)
{
    return guarded<std::int32_t>(0, [&] {
        vxmodule::copyToBuffer("", folder, size);
        if (!filePath || !*filePath || index < 0)
            return 0;
        std::optional<std::string> found;
        // A FilePath that names an existing folder is that folder, whatever
        // characters its name holds (";" is legal in a name).
        if (DirectoryExists(filePath))
            found = index == 0 ? std::optional<std::string>(filePath) : std::nullopt;
        else
            found = vxmodule::folderOfList(filePath, index);
        return found && vxmodule::copyToBuffer(*found, folder, size) ? 1 : 0;
    });
}

VX_EXPORT std::int32_t GetPathFileExt(const char* /*reserved*/, const char* extensions, char* table)
{
    return guarded<std::int32_t>(0, [&] {
        if (!table)
            return 0;
        std::memset(table, 0, std::size_t(kVxExtSlots) * kVxExtSlotSize);
        if (!extensions)
            return 0;
        const std::vector<std::string> list = vxmodule::extensionList(extensions);
        for (std::size_t i = 0; i < list.size(); ++i)
            std::memcpy(table + i * kVxExtSlotSize, list[i].data(), list[i].size());
        return std::int32_t(list.size());
    });
}

VX_EXPORT std::int32_t GetFileExt(const char* name, char* key, std::int32_t keySize, const char* table)
{
    return guarded<std::int32_t>(0, [&] {
        vxmodule::copyToBuffer("", key, keySize);
        if (!name || !table)
            return 0;
        const int slot = vxmodule::extensionSlot(name, table);
        if (slot < 0)
            return 0;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%03d", slot);
        return vxmodule::copyToBuffer(digits, key, keySize) ? 1 : 0;
    });
}

VX_EXPORT std::int32_t GetFileDateTimeEx(const char* name, const char* folder, char* creation, char* lastWrite,
                                         char* lastAccess)
{
    return guarded<std::int32_t>(0, [&] {
        for (char* key : {creation, lastWrite, lastAccess})
            vxmodule::copyToBuffer("", key, kVxDateKeySize);
        if (!name || !*name)
            return 0;
        const std::string path = JoinPath(folder ? folder : "", name);
        struct statx status {};
        if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME | STATX_ATIME, &status) != 0)
            return 0;
        const auto time = [](const struct statx_timestamp& t) {
            struct timespec value {};
            value.tv_sec = time_t(t.tv_sec);
            value.tv_nsec = long(t.tv_nsec);
            return value;
        };
        const struct timespec written = time(status.stx_mtime);
        // File systems that keep no birth time report the last write instead.
        const struct timespec born = (status.stx_mask & STATX_BTIME) ? time(status.stx_btime) : written;
        vxmodule::copyToBuffer(vxmodule::dateKey(born), creation, kVxDateKeySize);
        vxmodule::copyToBuffer(vxmodule::dateKey(written), lastWrite, kVxDateKeySize);
        vxmodule::copyToBuffer(vxmodule::dateKey(time(status.stx_atime)), lastAccess, kVxDateKeySize);
        return 1;
    });
}

VX_EXPORT std::int32_t IsSetDrive(const char* path)
{
    return guarded<std::int32_t>(0, [&] {
        if (!path || !*path)
            return 0;
        // The path need not exist yet: the file system it would lie on must.
        struct statvfs info {};
        return ::statvfs(nearestExisting(path).c_str(), &info) == 0 ? 1 : 0;
    });
}

VX_EXPORT std::int32_t DataFileExist(const char* path)
{
    return guarded<std::int32_t>(0, [&] {
        // Regular files only: a FIFO or device would block whoever opens it.
        struct stat status {};
        return path && *path && ::stat(path, &status) == 0 && S_ISREG(status.st_mode) ? 1 : 0;
    });
}

VX_EXPORT std::int32_t StrRightCopy(char* out, std::int32_t size, const char* text, std::int32_t n)
{
    return guarded<std::int32_t>(0, [&] {
        if (!text) {
            vxmodule::copyToBuffer("", out, size);
            return 0;
        }
        return vxmodule::copyToBuffer(vxmodule::lastCharacters(text, n), out, size) ? 1 : 0;
    });
}

// The exported functions have exactly the types the program's procedure
// variables expect.
static_assert(std::is_same_v<decltype(&VXGetImageType), TVXGetImageType>);
static_assert(std::is_same_v<decltype(&SetImageSize), TSetImageSize>);
static_assert(std::is_same_v<decltype(&VXFreeMemory), TVXFreeMemory>);
static_assert(std::is_same_v<decltype(&GetDibPalSize), TGetDibPalSize>);
static_assert(std::is_same_v<decltype(&_StretchDIBits), T_StretchDIBits>);
static_assert(std::is_same_v<decltype(&_BoxFull), T_BoxFull>);
static_assert(std::is_same_v<decltype(&_Box), T_Box>);
static_assert(std::is_same_v<decltype(&_Line), T_Line>);
static_assert(std::is_same_v<decltype(&SetTermYEN), TSetTermYEN>);
static_assert(std::is_same_v<decltype(&GetFullpathFilename), TGetFullpathFilename>);
static_assert(std::is_same_v<decltype(&GetPagefromFilename), TGetPagefromFilename>);
static_assert(std::is_same_v<decltype(&CutPagefromFilename), TCutPagefromFilename>);
static_assert(std::is_same_v<decltype(&GetPathDir), TGetPathDir>);
static_assert(std::is_same_v<decltype(&GetPathFileExt), TGetPathFileExt>);
static_assert(std::is_same_v<decltype(&GetFileExt), TGetFileExt>);
static_assert(std::is_same_v<decltype(&GetFileDateTimeEx), TGetFileDateTimeEx>);
static_assert(std::is_same_v<decltype(&IsSetDrive), TIsSetDrive>);
static_assert(std::is_same_v<decltype(&DataFileExist), TDataFileExist>);
static_assert(std::is_same_v<decltype(&StrRightCopy), TStrRightCopy>);
