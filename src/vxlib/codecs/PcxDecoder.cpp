#include "PcxDecoder.h"

#include "LittleEndian.h"
#include "PixelLimit.h"

#include <QColor>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kHeaderSize = 128;
// The 256-colour palette: a 0x0C marker and 768 bytes at the end of the file.
constexpr size_t kTailPaletteSize = 1 + 768;


bool supportedLayout(int bitsPerPixel, int planes)
{
    switch (bitsPerPixel) {
    case 1: return planes == 1 || planes == 4;
    case 2:
    case 4: return planes == 1;
    case 8: return planes == 1 || planes == 3 || planes == 4;
    default: return false;
    }
}

// Run-length decoder whose state survives from one scan line to the next, so
// that a run crossing a line end continues on the following line.
class RleReader {
public:
    RleReader(const unsigned char* begin, const unsigned char* end) : m_pos(begin), m_end(end) {}

    // Fills out with n decoded bytes; false when the data ends first.
    bool read(unsigned char* out, size_t n)
    {
        size_t done = 0;
        while (done < n) {
            if (m_runLeft > 0) {
                const size_t count = std::min<size_t>(m_runLeft, n - done);
                std::memset(out + done, m_runValue, count);
                done += count;
                m_runLeft -= unsigned(count);
                continue;
            }
            if (m_pos >= m_end)
                return false;
            const unsigned char byte = *m_pos++;
            if ((byte & 0xC0) == 0xC0) {  // run: count in the low six bits, then the value
                if (m_pos >= m_end)
                    return false;
                m_runLeft = byte & 0x3F;
                m_runValue = *m_pos++;
            } else {
                out[done++] = byte;
            }
        }
        return true;
    }

private:
    const unsigned char* m_pos;
    const unsigned char* m_end;
    unsigned m_runLeft = 0;
    unsigned char m_runValue = 0;
};

QList<QRgb> headerPalette(const unsigned char* data, int count)
{
    QList<QRgb> table;
    for (int i = 0; i < count; ++i) {
        const unsigned char* c = data + 16 + 3 * i;
        table.append(qRgb(c[0], c[1], c[2]));
    }
    return table;
}

QList<QRgb> colourTable(const PcxInfo& info, const unsigned char* data, const unsigned char* tailPalette)
{
    QList<QRgb> table;
    if (info.bitsPerPixel == 1 && info.planes == 1) {
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (info.bitsPerPixel == 2) {
        table = headerPalette(data, 4);
    } else if (info.bitsPerPixel == 8) {
        for (int i = 0; i < 256; ++i)
            table.append(tailPalette ? qRgb(tailPalette[3 * i], tailPalette[3 * i + 1], tailPalette[3 * i + 2])
                                     : qRgb(i, i, i));
    } else {
        table = headerPalette(data, 16);
    }
    return table;
}

// Converts one decoded scan line (all planes) into row y of image.
void storeLine(const PcxInfo& info, const unsigned char* line, QImage& image, int y)
{
    uchar* out = image.scanLine(y);
    const int width = info.width;
    const size_t bpl = size_t(info.bytesPerLine);
    if (info.bitsPerPixel == 8 && info.planes >= 3) {
        for (int x = 0; x < width; ++x) {
            out[3 * x] = line[x];
            out[3 * x + 1] = line[bpl + x];
            out[3 * x + 2] = line[2 * bpl + x];
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        unsigned index = 0;
        switch (info.bitsPerPixel) {
        case 1:
            for (int plane = 0; plane < info.planes; ++plane)
                index |= unsigned((line[plane * bpl + x / 8] >> (7 - x % 8)) & 1) << plane;
            break;
        case 2: index = (line[x / 4] >> (6 - 2 * (x % 4))) & 3; break;
        case 4: index = (line[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F; break;
        default: index = line[x]; break;
        }
        out[x] = uchar(index);
    }
}

QImage decodeRange(const PcxInfo& info, const unsigned char* data, const unsigned char* begin,
                   const unsigned char* end, const unsigned char* tailPalette)
{
    const size_t lineBytes = size_t(info.planes) * size_t(info.bytesPerLine);
    // Each pair of input bytes yields at most 63 output bytes: a file too short
    // to hold the image is refused before the image is allocated.
    if (uint64_t(end - begin) * 63 < uint64_t(lineBytes) * uint64_t(info.height))
        return {};

    const bool trueColour = info.bitsPerPixel == 8 && info.planes >= 3;
    QImage image(info.width, info.height, trueColour ? QImage::Format_RGB888 : QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    if (!trueColour)
        image.setColorTable(colourTable(info, data, tailPalette));

    std::vector<unsigned char> line(lineBytes);
    RleReader reader(begin, end);
    for (int y = 0; y < info.height; ++y) {
        if (!reader.read(line.data(), lineBytes))
            return {};
        storeLine(info, line.data(), image, y);
    }
    return image;
}

}  // namespace

bool PcxProbe(const unsigned char* data, size_t size, PcxInfo* info)
{
    if (!data || size < kHeaderSize)
        return false;
    const int version = data[1];
    if (data[0] != 0x0A || data[2] != 1)  // manufacturer, run-length encoding
        return false;
    if (version != 0 && version != 2 && version != 3 && version != 4 && version != 5)
        return false;
    const int bitsPerPixel = data[3];
    const int planes = data[65];
    if (!supportedLayout(bitsPerPixel, planes))
        return false;

    const unsigned xMin = readU16Le(data + 4), yMin = readU16Le(data + 6);
    const unsigned xMax = readU16Le(data + 8), yMax = readU16Le(data + 10);
    if (xMax < xMin || yMax < yMin)
        return false;
    const uint64_t width = uint64_t(xMax - xMin) + 1;
    const uint64_t height = uint64_t(yMax - yMin) + 1;
    if (width * height > kMaxImagePixels)
        return false;
    const unsigned bytesPerLine = readU16Le(data + 66);
    if (bytesPerLine == 0 || bytesPerLine < (width * unsigned(bitsPerPixel) + 7) / 8)
        return false;

    if (info) {
        info->version = version;
        info->bitsPerPixel = bitsPerPixel;
        info->planes = planes;
        info->width = int(width);
        info->height = int(height);
        info->bytesPerLine = int(bytesPerLine);
    }
    return true;
}

QImage PcxDecode(const unsigned char* data, size_t size)
{
    PcxInfo info;
    if (!PcxProbe(data, size, &info))
        return {};
    const unsigned char* begin = data + kHeaderSize;
    const unsigned char* end = data + size;

    if (info.bitsPerPixel == 8 && info.planes == 1 && size >= kHeaderSize + kTailPaletteSize
        && data[size - kTailPaletteSize] == 0x0C) {
        QImage image = decodeRange(info, data, begin, end - kTailPaletteSize, end - 768);
        if (!image.isNull())
            return image;
        // The marker was image data after all: no palette, grey ramp.
    }
    return decodeRange(info, data, begin, end, nullptr);
}
