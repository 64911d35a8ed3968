// Raster image handles: movable memory blocks that lock to a packed DIB
// (BITMAPINFOHEADER, colour table, bits; rows bottom-up, padded to 4 bytes).
// Every raster the modules make is 24 bits per pixel (blue, green, red), also
// for paletted and grey sources; an alpha channel is composed over white.
#pragma once

#include "Gdi.h"
#include "GlobalMemory.h"
#include "PixelLimit.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace vxmodule {

bool sizeAllowed(std::int64_t width, std::int64_t height);

// A raster handle locked for reading for as long as the object lives. valid()
// only when the handle is a known block holding a complete, supported DIB.
class LockedRaster {
public:
    explicit LockedRaster(HGLOBAL handle);
    ~LockedRaster();
    LockedRaster(const LockedRaster&) = delete;
    LockedRaster& operator=(const LockedRaster&) = delete;

    bool valid() const { return m_info != nullptr; }
    const BITMAPINFO* info() const { return m_info; }
    const unsigned char* bits() const { return m_bits; }
    int width() const;
    int height() const;  // rows, positive also for a top-down DIB

private:
    HGLOBAL m_handle = nullptr;
    bool m_locked = false;
    const BITMAPINFO* m_info = nullptr;
    const unsigned char* m_bits = nullptr;
};

// A new 24-bit bottom-up raster being written. The block is freed when the
// writer goes away, unless release() handed it over.
class RasterWriter {
public:
    RasterWriter(int width, int height);
    ~RasterWriter();
    RasterWriter(const RasterWriter&) = delete;
    RasterWriter& operator=(const RasterWriter&) = delete;

    bool valid() const { return m_bits != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t stride() const { return m_stride; }
    // Row y counted from the top of the picture (stored bottom-up).
    unsigned char* row(int y) { return m_bits + std::size_t(m_height - 1 - y) * m_stride; }
    // The finished handle, unlocked; the writer no longer owns it.
    HGLOBAL release();

private:
    HGLOBAL m_handle = nullptr;
    unsigned char* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::size_t m_stride = 0;
};

// Writes image's row y as blue, green, red bytes (width × 3), an alpha channel
// composed over white.
void imageRowToBgr(const QImage& image, int y, unsigned char* out);

// A 24-bit raster handle of the image; nullptr for a null image, one too
// large, or when memory runs out.
HGLOBAL imageToRaster(const QImage& image);

}  // namespace vxmodule
