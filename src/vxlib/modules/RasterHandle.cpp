#include "RasterHandle.h"

#include <algorithm>
#include <cstring>

namespace vxmodule {

namespace {

// Pixels converted at a time from a layout the rows cannot be read from
// directly (1 MB as 32-bit pixels).
constexpr std::int64_t kConversionStripPixels = std::int64_t(1) << 18;

}  // namespace

bool sizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
           width * height <= kMaxImagePixels;
}

// ---------------------------------------------------------------------------
// LockedRaster

LockedRaster::LockedRaster(HGLOBAL handle) : m_handle(handle)
{
    if (!handle)
        return;
    const std::size_t size = GlobalSize(handle);
    void* data = GlobalLock(handle);
    if (!data)
        return;
    m_locked = true;
    const auto* info = static_cast<const BITMAPINFO*>(data);
    if (size < sizeof(BITMAPINFOHEADER) || !DibIsValid(info, size))
        return;
    m_info = info;
    m_bits = static_cast<const unsigned char*>(data) + info->bmiHeader.biSize + DibColorTableSize(info->bmiHeader);
}

LockedRaster::~LockedRaster()
{
    if (m_locked)
        GlobalUnlock(m_handle);
}

int LockedRaster::width() const
{
    return m_info ? int(m_info->bmiHeader.biWidth) : 0;
}

int LockedRaster::height() const
{
    if (!m_info)
        return 0;
    const LONG h = m_info->bmiHeader.biHeight;
    return int(h < 0 ? -h : h);
}

// ---------------------------------------------------------------------------
// RasterWriter

RasterWriter::RasterWriter(int width, int height)
{
    if (!sizeAllowed(width, height))
        return;
    const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    const std::size_t bytes = sizeof(BITMAPINFOHEADER) + stride * std::size_t(height);
    m_handle = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!m_handle)
        return;
    auto* data = static_cast<unsigned char*>(GlobalLock(m_handle));
    if (!data) {
        GlobalFree(m_handle);
        m_handle = nullptr;
        return;
    }
    BITMAPINFOHEADER header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(stride * std::size_t(height));
    std::memcpy(data, &header, sizeof header);
    m_bits = data + sizeof header;
    m_width = width;
    m_height = height;
    m_stride = stride;
    // The padding bytes of each row are defined, so that blocks compare equal
    // and nothing uninitialised is ever read.
    if (stride > std::size_t(width) * 3)
        for (int y = 0; y < height; ++y)
            std::memset(m_bits + std::size_t(y) * stride + std::size_t(width) * 3, 0, stride - std::size_t(width) * 3);
}

RasterWriter::~RasterWriter()
{
    if (!m_handle)
        return;
    GlobalUnlock(m_handle);
    GlobalFree(m_handle);
}

HGLOBAL RasterWriter::release()
{
    HGLOBAL handle = m_handle;
    if (handle)
        GlobalUnlock(handle);
    m_handle = nullptr;
    m_bits = nullptr;
    return handle;
}

// ---------------------------------------------------------------------------
// Conversion

namespace {

inline unsigned char overWhite(unsigned value, unsigned alpha)
{
    return static_cast<unsigned char>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

inline void putArgb(QRgb pixel, unsigned char* out)
{
    const unsigned a = qAlpha(pixel);
    if (a == 255) {
        out[0] = static_cast<unsigned char>(qBlue(pixel));
        out[1] = static_cast<unsigned char>(qGreen(pixel));
        out[2] = static_cast<unsigned char>(qRed(pixel));
    } else {
        out[0] = overWhite(unsigned(qBlue(pixel)), a);
        out[1] = overWhite(unsigned(qGreen(pixel)), a);
        out[2] = overWhite(unsigned(qRed(pixel)), a);
    }
}

}  // namespace

void imageRowToBgr(const QImage& image, int y, unsigned char* out)
{
    const int width = image.width();
    const uchar* in = image.constScanLine(y);
    switch (image.format()) {
    case QImage::Format_BGR888:
        std::memcpy(out, in, std::size_t(width) * 3);
        return;
    case QImage::Format_RGB888:
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        return;
    case QImage::Format_RGB32: {
        const auto* p = reinterpret_cast<const QRgb*>(in);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(qBlue(p[x]));
            out[1] = static_cast<unsigned char>(qGreen(p[x]));
            out[2] = static_cast<unsigned char>(qRed(p[x]));
        }
        return;
    }
    case QImage::Format_ARGB32: {
        const auto* p = reinterpret_cast<const QRgb*>(in);
        for (int x = 0; x < width; ++x, out += 3)
            putArgb(p[x], out);
        return;
    }
    case QImage::Format_ARGB32_Premultiplied: {
        // Premultiplied over white: colour + (255 - alpha).
        const auto* p = reinterpret_cast<const QRgb*>(in);
        for (int x = 0; x < width; ++x, out += 3) {
            const unsigned rest = 255 - unsigned(qAlpha(p[x]));
            out[0] = static_cast<unsigned char>(std::min(255u, unsigned(qBlue(p[x])) + rest));
            out[1] = static_cast<unsigned char>(std::min(255u, unsigned(qGreen(p[x])) + rest));
            out[2] = static_cast<unsigned char>(std::min(255u, unsigned(qRed(p[x])) + rest));
        }
        return;
    }
    case QImage::Format_Grayscale8:
        for (int x = 0; x < width; ++x, out += 3)
            out[0] = out[1] = out[2] = in[x];
        return;
    case QImage::Format_Indexed8: {
        const QList<QRgb> table = image.colorTable();
        for (int x = 0; x < width; ++x, out += 3)
            putArgb(in[x] < table.size() ? table[in[x]] : qRgb(0, 0, 0), out);
        return;
    }
    default: {
        const QImage line = image.copy(0, y, width, 1).convertToFormat(QImage::Format_ARGB32);
        imageRowToBgr(line, 0, out);
        return;
    }
    }
}

HGLOBAL imageToRaster(const QImage& image)
{
    if (image.isNull() || !sizeAllowed(image.width(), image.height()))
        return nullptr;
    RasterWriter writer(image.width(), image.height());
    if (!writer.valid())
        return nullptr;
    switch (image.format()) {
    case QImage::Format_BGR888:
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
        for (int y = 0; y < image.height(); ++y)
            imageRowToBgr(image, y, writer.row(y));
        return writer.release();
    default:
        break;
    }
    // Other layouts (mono, 16-bit, 64-bit, ...) are converted a strip of rows
    // at a time: a large picture never exists a second time at full size
    // beside the raster.
    const QImage::Format target = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const int stripRows = std::max(1, int(kConversionStripPixels / image.width()));
    for (int top = 0; top < image.height(); top += stripRows) {
        const int rows = std::min(stripRows, image.height() - top);
        // The source's rows as they are, without a copy.
        QImage view(image.constScanLine(top), image.width(), rows, image.bytesPerLine(), image.format());
        view.setColorTable(image.colorTable());
        const QImage strip = view.convertToFormat(target);
        if (strip.isNull())
            return nullptr;
        for (int y = 0; y < rows; ++y)
            imageRowToBgr(strip, y, writer.row(top + y));
    }
    return writer.release();
}

}  // namespace vxmodule
