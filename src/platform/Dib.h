// Device-independent bitmaps (DIBs): the Windows structures, in their exact
// layout, and their conversion to QImage.
#pragma once

#include "WinTypes.h"

#include <QImage>
#include <cstddef>

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // > 0: rows stored bottom-up; < 0: top-down
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must have the Windows layout");

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD must have the Windows layout");

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];  // the colour table starts here (biSize bytes after the header's start)
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;  // not supported: calls given it fail

// Uncompressed (BI_RGB) DIBs of 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel are
// supported; rows are padded to 4 bytes.
// Bytes of the colour table that follows the header (biSize bytes from its start).
std::size_t DibColorTableSize(const BITMAPINFOHEADER& header);
// Whether a packed DIB of totalBytes bytes (header, colour table, bits) is a
// supported one whose parts all lie inside those bytes. Reads nothing beyond them.
bool DibIsValid(const BITMAPINFO* info, std::size_t totalBytes);
// The DIB as a top-down QImage (Format_Indexed8 for 1, 4 and 8 bits, BGR888 for
// 24 bits, RGB32 otherwise). bits must hold the rows the header describes. A
// null image when the header is not supported or bits is null.
QImage DibToImage(const BITMAPINFO* info, const void* bits);
