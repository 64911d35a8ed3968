#include "TiffSampleDecoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// ---------------------------------------------------------------- input

// The file as libtiff reads it: pread at our own offset.
struct Source {
    int fd = -1;
    toff_t offset = 0;
    toff_t size = 0;
};

tmsize_t readSource(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* source = static_cast<Source*>(handle);
    tmsize_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(source->fd, static_cast<char*>(buffer) + done, std::size_t(count - done),
                                    off_t(source->offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
        source->offset += toff_t(got);
    }
    return done;
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t seekSource(thandle_t handle, toff_t offset, int whence)
{
    auto* source = static_cast<Source*>(handle);
    const auto signedOffset = std::int64_t(offset);
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = std::int64_t(source->offset);
    else if (whence == SEEK_END)
        base = std::int64_t(source->size);
    else if (whence != SEEK_SET)
        return toff_t(-1);
    if (base + signedOffset < 0)
        return toff_t(-1);
    source->offset = toff_t(base + signedOffset);
    return source->offset;
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t sourceSize(thandle_t handle)
{
    return static_cast<Source*>(handle)->size;
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) {}

// libtiff's messages are dropped; an error marks the picture as failed.
int onError(TIFF*, void* failed, const char*, const char*, va_list)
{
    *static_cast<bool*>(failed) = true;
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffDeleter {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// ---------------------------------------------------------------- layout

enum class Colour { Grey, GreyInverted, Rgb, Palette, Cmyk };

struct Layout {
    std::uint32_t width = 0, height = 0;
    int bits = 0;
    int samples = 0;          // per pixel
    bool planar = false;      // one plane per sample
    Colour colour = Colour::Grey;
    int colourSamples = 1;
    int alpha = -1;           // index of the alpha sample
    bool premultiplied = false;
    bool tiled = false;
    std::uint32_t chunkWidth = 0, chunkHeight = 0;  // of a strip or tile
    const std::uint16_t* map[3] = {};
    bool eightBitMap = false;  // an old writer's palette of 0..255 values
};

bool readLayout(TIFF* tiff, long long maxPixels, Layout* layout)
{
    std::uint16_t bits = 0, samples = 0, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG, photometric = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout->width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout->height)
        || !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (layout->width == 0 || layout->height == 0
        || (long long)layout->width * (long long)layout->height > maxPixels)
        return false;
    if (format != SAMPLEFORMAT_UINT || !((bits >= 1 && bits <= 16) || bits == 32) || samples < 1)
        return false;
    layout->bits = bits;
    layout->samples = samples;
    layout->planar = planar == PLANARCONFIG_SEPARATE && samples > 1;

    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK: layout->colour = Colour::Grey; break;
    case PHOTOMETRIC_MINISWHITE: layout->colour = Colour::GreyInverted; break;
    case PHOTOMETRIC_RGB: layout->colour = Colour::Rgb; layout->colourSamples = 3; break;
    case PHOTOMETRIC_PALETTE: {
        if (bits > 16 || !TIFFGetField(tiff, TIFFTAG_COLORMAP, &layout->map[0], &layout->map[1], &layout->map[2]))
            return false;
        layout->colour = Colour::Palette;
        const std::size_t entries = std::size_t(1) << bits;
        layout->eightBitMap = true;
        for (int c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < entries; ++i)
                if (layout->map[c][i] > 255)
                    layout->eightBitMap = false;
        break;
    }
    case PHOTOMETRIC_SEPARATED: {
        std::uint16_t inks = INKSET_CMYK;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
        if (inks != INKSET_CMYK)
            return false;
        layout->colour = Colour::Cmyk;
        layout->colourSamples = 4;
        break;
    }
    default: return false;
    }
    if (samples < layout->colourSamples)
        return false;

    std::uint16_t extraCount = 0;
    std::uint16_t* extraKinds = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraCount > 0 && extraKinds
        && samples > layout->colourSamples
        && (extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA)) {
        layout->alpha = layout->colourSamples;
        layout->premultiplied = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }

    layout->tiled = TIFFIsTiled(tiff);
    if (layout->tiled) {
        if (!TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &layout->chunkWidth)
            || !TIFFGetField(tiff, TIFFTAG_TILELENGTH, &layout->chunkHeight))
            return false;
    } else {
        layout->chunkWidth = layout->width;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &layout->chunkHeight);
        layout->chunkHeight = std::min(layout->chunkHeight, layout->height);
    }
    // Tiles are a multiple of 16 pixels wide, so each starts on a whole byte.
    return layout->chunkWidth > 0 && layout->chunkHeight > 0 && (!layout->tiled || layout->chunkWidth % 16 == 0);
}

// ---------------------------------------------------------------- samples

// Sample `index` of a row of packed samples (most significant bit first;
// 16- and 32-bit samples in the machine's order, as libtiff hands them
// out). Two more bytes after the sample's last one can be read.
inline std::uint32_t sampleAt(const unsigned char* row, std::size_t index, int bits)
{
    switch (bits) {
    case 8: return row[index];
    case 16: {
        std::uint16_t value;
        std::memcpy(&value, row + index * 2, 2);
        return value;
    }
    case 32: {
        std::uint32_t value;
        std::memcpy(&value, row + index * 4, 4);
        return value;
    }
    default: {
        const std::size_t bit = index * std::size_t(bits);
        const unsigned char* p = row + bit / 8;
        const std::uint32_t window = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        return (window >> (24 - int(bit % 8) - bits)) & ((1u << bits) - 1);
    }
    }
}

// Samples scaled to 0..255, rounded.
class Scale {
public:
    explicit Scale(int bits) : m_bits(bits)
    {
        if (bits > 16)
            return;
        const std::uint32_t top = (1u << bits) - 1;
        m_table.resize(std::size_t(top) + 1);
        for (std::uint32_t v = 0; v <= top; ++v)
            m_table[v] = static_cast<unsigned char>((v * 255 + top / 2) / top);
    }
    unsigned operator()(std::uint32_t value) const
    {
        return m_bits > 16 ? unsigned((std::uint64_t(value) * 255 + 0x7FFFFFFF) / 0xFFFFFFFFu) : m_table[value];
    }

private:
    int m_bits;
    std::vector<unsigned char> m_table;
};

// Row y of the band read into planes (one buffer per plane, or one for all).
void convertRow(const Layout& layout, const Scale& scale, const std::vector<std::vector<unsigned char>>& planes,
                std::size_t rowBytes, std::uint32_t y, QRgb* out)
{
    const int perPlane = layout.planar ? 1 : layout.samples;
    const auto sample = [&](std::uint32_t x, int s) {
        const std::size_t plane = layout.planar ? std::size_t(s) : 0;
        const unsigned char* row = planes[plane].data() + std::size_t(y) * rowBytes;
        return sampleAt(row, std::size_t(x) * std::size_t(perPlane) + std::size_t(layout.planar ? 0 : s), layout.bits);
    };
    for (std::uint32_t x = 0; x < layout.width; ++x) {
        unsigned r = 0, g = 0, b = 0;
        switch (layout.colour) {
        case Colour::Grey: r = g = b = scale(sample(x, 0)); break;
        case Colour::GreyInverted: r = g = b = 255 - scale(sample(x, 0)); break;
        case Colour::Rgb:
            r = scale(sample(x, 0));
            g = scale(sample(x, 1));
            b = scale(sample(x, 2));
            break;
        case Colour::Palette: {
            const std::uint32_t index = sample(x, 0);
            const int shift = layout.eightBitMap ? 0 : 8;
            r = unsigned(layout.map[0][index] >> shift);
            g = unsigned(layout.map[1][index] >> shift);
            b = unsigned(layout.map[2][index] >> shift);
            break;
        }
        case Colour::Cmyk: {
            const unsigned white = 255 - scale(sample(x, 3));
            r = (255 - scale(sample(x, 0))) * white / 255;
            g = (255 - scale(sample(x, 1))) * white / 255;
            b = (255 - scale(sample(x, 2))) * white / 255;
            break;
        }
        }
        const unsigned a = layout.alpha >= 0 ? scale(sample(x, layout.alpha)) : 255;
        if (layout.premultiplied) {
            r = std::min(r, a);
            g = std::min(g, a);
            b = std::min(b, a);
        }
        out[x] = qRgba(int(r), int(g), int(b), int(a));
    }
}

// Reads one band of chunks (a strip, or a row of tiles) into planes: rows of
// rowBytes bytes each.
bool readBand(TIFF* tiff, const Layout& layout, std::uint32_t top, std::uint32_t rows, std::size_t rowBytes,
              std::vector<unsigned char>& chunk, std::vector<std::vector<unsigned char>>& planes)
{
    const std::size_t chunkRowBytes = layout.tiled ? std::size_t(TIFFTileRowSize64(tiff)) : rowBytes;
    const std::size_t bitsPerPixel = std::size_t(layout.planar ? 1 : layout.samples) * std::size_t(layout.bits);
    for (std::size_t plane = 0; plane < planes.size(); ++plane) {
        for (std::uint32_t left = 0; left < layout.width; left += layout.chunkWidth) {
            const auto sample = std::uint16_t(plane);
            const tmsize_t got =
                layout.tiled ? TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, sample), chunk.data(),
                                                   tmsize_t(chunk.size()))
                             : TIFFReadEncodedStrip(tiff, TIFFComputeStrip(tiff, top, sample), chunk.data(),
                                                    tmsize_t(chunk.size()));
            if (got < 0 || std::size_t(got) < chunkRowBytes * rows)
                return false;
            // Where the chunk's rows go in the band's rows (tiles start on a
            // whole byte), and how much of them lies inside the picture.
            const std::size_t offset = std::size_t(left) * bitsPerPixel / 8;
            const std::size_t bytes = std::min(chunkRowBytes, rowBytes - offset);
            for (std::uint32_t y = 0; y < rows; ++y)
                std::memcpy(planes[plane].data() + std::size_t(y) * rowBytes + offset,
                            chunk.data() + std::size_t(y) * chunkRowBytes, bytes);
        }
    }
    return true;
}

}  // namespace

QImage TiffSampleDecode(int fd, int page, long long maxPixels)
{
    struct stat status {};
    if (fd < 0 || page < 0 || ::fstat(fd, &status) != 0 || status.st_size <= 0)
        return {};
    Source source{fd, 0, toff_t(status.st_size)};
    bool failed = false;
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        return {};
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onError, &failed);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onWarning, nullptr);
    // "m": no memory mapping (a file cut short while mapped would fault).
    std::unique_ptr<TIFF, TiffDeleter> tiff(TIFFClientOpenExt("tiff", "rm", &source, readSource, writeNothing,
                                                              seekSource, closeNothing, sourceSize, mapNothing,
                                                              unmapNothing, options.get()));
    if (!tiff || failed || !TIFFSetDirectory(tiff.get(), tdir_t(page)) || failed)
        return {};
    Layout layout;
    if (!readLayout(tiff.get(), maxPixels, &layout))
        return {};

    // One band: a strip, or a row of tiles (rows past the picture's bottom
    // edge are decoded but not used).
    const std::size_t rowBytes =
        (std::size_t(layout.width) * std::size_t(layout.planar ? 1 : layout.samples) * std::size_t(layout.bits) + 7) / 8;
    const std::uint64_t chunkBytes = layout.tiled ? std::uint64_t(TIFFTileSize64(tiff.get()))
                                                  : std::uint64_t(TIFFStripSize64(tiff.get()));
    const std::uint64_t bandBytes = std::uint64_t(rowBytes) * layout.chunkHeight;
    constexpr std::uint64_t kMaxBandBytes = std::uint64_t(1) << 31;
    if (chunkBytes == 0 || chunkBytes > kMaxBandBytes || bandBytes > kMaxBandBytes)
        return {};
    std::vector<unsigned char> chunk(static_cast<std::size_t>(chunkBytes));
    // Each plane's band rows; two spare bytes let the last sample be read as
    // a three-byte window.
    std::vector<std::vector<unsigned char>> planes(layout.planar ? std::size_t(layout.samples) : 1,
                                                   std::vector<unsigned char>(std::size_t(bandBytes) + 2, 0));

    QImage image(int(layout.width), int(layout.height),
                 layout.premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    const Scale scale(layout.bits);
    for (std::uint32_t top = 0; top < layout.height; top += layout.chunkHeight) {
        const std::uint32_t rows = std::min(layout.chunkHeight, layout.height - top);
        if (!readBand(tiff.get(), layout, top, rows, rowBytes, chunk, planes) || failed)
            return {};
        for (std::uint32_t y = 0; y < rows; ++y)
            convertRow(layout, scale, planes, rowBytes, y, reinterpret_cast<QRgb*>(image.scanLine(int(top + y))));
    }
    return image;
}
