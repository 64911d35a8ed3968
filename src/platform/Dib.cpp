// Device-independent bitmaps: the layout a header describes, the checks of a
// packed DIB, and conversion to QImage.
#include "Dib.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

struct DibLayout {
    int width = 0;
    int height = 0;  // rows, positive
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;
    std::size_t imageBytes = 0;
    int tableEntries = 0;
};

constexpr std::uint64_t kMaxDibBytes = 0x7FFFFFFF;

bool dibLayout(const BITMAPINFOHEADER& h, DibLayout& out)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 4096)
        return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min())
        return false;
    if (h.biPlanes != 1 || h.biCompression != BI_RGB)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    std::uint64_t entries = h.biClrUsed;
    if (h.biBitCount <= 8) {
        const std::uint64_t most = std::uint64_t{1} << h.biBitCount;
        if (entries == 0)
            entries = most;
        if (entries > most)
            return false;
    } else if (entries > 256) {
        return false;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(h.biWidth);
    const std::uint64_t rows = static_cast<std::uint64_t>(h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight);
    const std::uint64_t stride = (width * h.biBitCount + 31) / 32 * 4;
    if (stride > kMaxDibBytes || rows > kMaxDibBytes || stride * rows > kMaxDibBytes)
        return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(rows);
    out.bottomUp = h.biHeight > 0;
    out.bitCount = h.biBitCount;
    out.stride = static_cast<std::size_t>(stride);
    out.imageBytes = static_cast<std::size_t>(stride * rows);
    out.tableEntries = static_cast<int>(entries);
    return true;
}

}  // namespace

std::size_t DibColorTableSize(const BITMAPINFOHEADER& header)
{
    DibLayout layout;
    return dibLayout(header, layout) ? static_cast<std::size_t>(layout.tableEntries) * sizeof(RGBQUAD) : 0;
}

bool DibIsValid(const BITMAPINFO* info, std::size_t totalBytes)
{
    if (!info || totalBytes < sizeof(BITMAPINFOHEADER))
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    DibLayout layout;
    if (h.biSize > totalBytes || !dibLayout(h, layout))
        return false;
    if (h.biSizeImage != 0 && h.biSizeImage < layout.imageBytes)
        return false;
    const std::uint64_t needed = std::uint64_t{h.biSize} + std::uint64_t(layout.tableEntries) * sizeof(RGBQUAD) +
                                 layout.imageBytes;
    return needed <= totalBytes;
}

QImage DibToImage(const BITMAPINFO* info, const void* bits)
{
    if (!info || !bits)
        return {};
    const BITMAPINFOHEADER& h = info->bmiHeader;
    DibLayout layout;
    if (!dibLayout(h, layout))
        return {};
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const unsigned char*>(info) + h.biSize);
    const auto* data = static_cast<const unsigned char*>(bits);
    const auto sourceRow = [&](int y) {
        const int stored = layout.bottomUp ? layout.height - 1 - y : y;
        return data + static_cast<std::size_t>(stored) * layout.stride;
    };
    QImage image;
    if (layout.bitCount <= 8) {
        image = QImage(layout.width, layout.height, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        QList<QRgb> colors(1 << layout.bitCount, qRgb(0, 0, 0));
        for (int i = 0; i < layout.tableEntries; ++i)
            colors[i] = qRgb(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
        image.setColorTable(colors);
        const int bitCount = layout.bitCount;
        const int perByte = 8 / bitCount;
        const int mask = (1 << bitCount) - 1;
        for (int y = 0; y < layout.height; ++y) {
            const unsigned char* in = sourceRow(y);
            uchar* out = image.scanLine(y);
            for (int x = 0; x < layout.width; ++x) {
                const int shift = 8 - bitCount * (x % perByte + 1);
                out[x] = static_cast<uchar>((in[x / perByte] >> shift) & mask);
            }
        }
    } else if (layout.bitCount == 24) {
        image = QImage(layout.width, layout.height, QImage::Format_BGR888);
        if (image.isNull())
            return {};
        for (int y = 0; y < layout.height; ++y)
            std::memcpy(image.scanLine(y), sourceRow(y), static_cast<std::size_t>(layout.width) * 3);
    } else {
        image = QImage(layout.width, layout.height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        for (int y = 0; y < layout.height; ++y) {
            const unsigned char* in = sourceRow(y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < layout.width; ++x) {
                if (layout.bitCount == 32) {
                    out[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
                } else {  // 16 bits: x-5-5-5
                    const int v = in[2 * x] | (in[2 * x + 1] << 8);
                    const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    out[x] = qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
                }
            }
        }
    }
    return image;
}
