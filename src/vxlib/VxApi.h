// The image library's entry points, as its modules export them (C linkage,
// these names) and as the program calls them through procedure variables.
//
// Modules, in load order: Vx7Com, Vx7Effect, Vx7File, Vx7Print, Vx7Scan,
// Vx7RasToVect, Vx7VectCom (".DLL" names; the platform loads the ".so" files
// beside the executable). Print, Scan and RasToVect are not built.
//
// Images are movable memory blocks (GlobalAlloc). A raster image locks to a
// packed DIB: BITMAPINFOHEADER, colour table, bits (rows bottom-up, padded to
// 4 bytes). A vector image locks to a block that begins with kVxVectorMagic.
//
// Texts are UTF-8 paths with "/" as separator. Functions that fill a caller's
// buffer take its size in bytes, never write past it, always NUL-terminate
// what they write, and fail (return 0) when the result does not fit.
#pragma once

#include "Gdi.h"

#include <cstddef>
#include <cstdint>

// An image handle: a movable memory block (GlobalAlloc) holding a decoded
// image, a packed DIB for a raster image. A type of its own, so that it is
// handed to the memory functions only through ImageMemory, on purpose.
struct VXHANDLE__;
typedef VXHANDLE__* VXHANDLE;

// The memory block of an image handle, and the image handle of a block that
// holds an image.
inline HGLOBAL ImageMemory(VXHANDLE image)
{
    return reinterpret_cast<HGLOBAL>(image);
}
inline VXHANDLE ImageHandle(HGLOBAL block)
{
    return reinterpret_cast<VXHANDLE>(block);
}

// File record filled by VXFileType: 2128 bytes; int16 page count at offset 32.
inline constexpr std::size_t kVxFileRecordSize = 2128;
inline constexpr std::size_t kVxFileRecordPageCount = 32;
// Type record filled by VXGetImageType: 40 bytes; int32 width at 16, int32
// height at 20, int16 kind at 36 (kVxKindRaster, anything else vector).
inline constexpr std::size_t kVxTypeRecordSize = 40;
inline constexpr std::size_t kVxTypeRecordWidth = 16;
inline constexpr std::size_t kVxTypeRecordHeight = 20;
inline constexpr std::size_t kVxTypeRecordKind = 36;
inline constexpr std::int16_t kVxKindRaster = 1;
inline constexpr std::int16_t kVxKindVector = 2;
inline constexpr char kVxVectorMagic[8] = {'V', 'X', 'V', 'E', 'C', 'T', '0', '1'};

// Extension table of GetPathFileExt: at most 1000 slots of 64 bytes (an
// extension of up to 63 bytes, NUL-terminated; unused slots all zero).
inline constexpr int kVxExtSlots = 1000;
inline constexpr int kVxExtSlotSize = 64;
// Date keys of GetFileDateTimeEx: 15 characters and a NUL, "YYYYMMDDhhmmsst"
// in UTC (t = tenths of a second), so that string order is time order.
inline constexpr int kVxDateKeySize = 16;

extern "C" {

// ---- Vx7File
// Non-zero when the file is an image the library reads (by its contents, not
// its name) and page `page` exists; fills the file record (page count).
typedef std::int32_t (*TVXFileType)(const char* path, std::int16_t page, void* fileRecord);
// Decodes page `page`; width and height are the smallest size the picture must
// still cover (decoding at reduced size where the format allows it, never
// below). 0 on failure. Unused: the last four arguments.
typedef VXHANDLE (*TVXFileLoad)(const char* path, std::int16_t page, std::int32_t width, std::int32_t height,
                                std::int32_t, std::int32_t, std::int32_t, std::int32_t);

// ---- Vx7Com
typedef std::int32_t (*TVXGetImageType)(VXHANDLE image, void* typeRecord);
// A raster handle at that size, smoothly resampled; takes over its input
// (freed here in every case). 0 on failure.
typedef VXHANDLE (*TSetImageSize)(VXHANDLE raster, std::int32_t width, std::int32_t height);
typedef void (*TVXFreeMemory)(VXHANDLE image);
// Bytes of the colour table that follows a DIB header.
typedef std::int32_t (*TGetDibPalSize)(const BITMAPINFOHEADER* header);
typedef std::int32_t (*T_StretchDIBits)(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                                        int hSrc, const void* bits, const BITMAPINFO* info, std::uint32_t usage,
                                        std::uint32_t rop);
// A filled box, right and bottom exclusive, in a 0x00BBGGRR colour.
typedef std::int32_t (*T_BoxFull)(HDC dc, int left, int top, int right, int bottom, std::uint32_t colour);
// A box outline of the given pen width, right and bottom exclusive.
typedef std::int32_t (*T_Box)(HDC dc, int left, int top, int right, int bottom, int width, std::uint32_t colour);
// A line of the given pen width (its end point not drawn).
typedef std::int32_t (*T_Line)(HDC dc, int x1, int y1, int x2, int y2, int width, std::uint32_t colour);
// Appends "/" to the path in the buffer unless it ends with one.
typedef std::int32_t (*TSetTermYEN)(char* path, std::int32_t size);
// Splits a path after its last "/" into folder (without the "/"; "/" for the
// root) and name.
typedef std::int32_t (*TGetFullpathFilename)(const char* path, char* folder, std::int32_t folderSize, char* name,
                                             std::int32_t nameSize);
// The page suffix of a slide list entry: "<path>|<page>" with 1 to 5 digits.
// An entry naming an existing file as it stands has no suffix.
// GetPagefromFilename gives the page (0 without a suffix); CutPagefromFilename
// removes the suffix in place (non-zero when it removed one).
typedef std::int32_t (*TGetPagefromFilename)(const char* path);
typedef std::int32_t (*TCutPagefromFilename)(char* path);
// Folder number `index` of a FilePath: a FilePath naming an existing folder
// is that one folder; otherwise folders separated by ";". Non-zero while
// folders remain.
typedef std::int32_t (*TGetPathDir)(std::int32_t index, const char* filePath, char* folder, std::int32_t size);
// Parses an extension list ("bmp;jpg;...") into the table (kVxExtSlots slots
// of kVxExtSlotSize bytes); returns the number of filled slots.
typedef std::int32_t (*TGetPathFileExt)(const char* reserved, const char* extensions, char* table);
// The extension key of a file name: the number of the table slot holding its
// extension (letter case ignored) as three digits, "000".."999". 0 when the
// name's extension is in no slot.
typedef std::int32_t (*TGetFileExt)(const char* name, char* key, std::int32_t keySize, const char* table);
// The creation, last-write and last-access keys of folder/name (each
// kVxDateKeySize bytes). 0 when the file cannot be examined.
typedef std::int32_t (*TGetFileDateTimeEx)(const char* name, const char* folder, char* creation, char* lastWrite,
                                           char* lastAccess);
// Non-zero when the path lies on a usable (mounted, readable) file system.
typedef std::int32_t (*TIsSetDrive)(const char* path);
// Non-zero when the path names an existing file that is not a folder.
typedef std::int32_t (*TDataFileExist)(const char* path);
// The last n characters (not bytes) of text.
typedef std::int32_t (*TStrRightCopy)(char* out, std::int32_t size, const char* text, std::int32_t n);

// ---- Vx7Effect (optional)
// Resizes pair[0] into *out; a handle of the pair it consumed is set to 0.
typedef std::int32_t (*TVXResizeEx)(VXHANDLE pair[2], VXHANDLE* out, std::int32_t width, std::int32_t height,
                                    std::int32_t mode, std::int32_t, std::int32_t, std::int32_t, std::int32_t);

// ---- Vx7VectCom
// A raster of the vector picture on the given background, at its natural size
// (the type record's), or, when VXFileLoad was given an area, at that size
// fitted into the area.
typedef VXHANDLE (*TVXVectorToRaster)(VXHANDLE vector, std::int32_t bits, std::int32_t mode, std::int32_t red,
                                      std::int32_t green, std::int32_t blue);
typedef std::int32_t (*TVXVectorGdipStart)(void);
typedef void (*TVXVectorGdipEnd)(std::int32_t token);

}  // extern "C"
