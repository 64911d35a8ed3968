// The picture file module, loaded at run time as the program loads it:
// identification by contents, page counts, decoding of every format and bit
// depth, reduced JPEG decoding, EXIF orientation, damaged files, files that
// are not regular, and the cache of answers.
#include "GlobalMemory.h"
#include "Modules.h"
#include "TestFiles.h"
#include "VxApi.h"
#include "VxModules.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>
#include <openjpeg.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// The modules

class Vx7File : public vxtest::ModuleTest {
protected:
    std::string path(const std::string& name) const { return m_folder.file(name); }

    // The page count VXFileType reports, or -1 when it refuses the file. The
    // record is checked: all zero but the page count.
    int pages(const std::string& file, int page = 0)
    {
        std::vector<unsigned char> record(kVxFileRecordSize + 16, 0xAB);
        const int ok = s_modules->fileType(file.c_str(), std::int16_t(page), record.data());
        for (std::size_t i = kVxFileRecordSize; i < record.size(); ++i)
            EXPECT_EQ(record[i], 0xAB) << "written past the record";
        std::int16_t count = 0;
        std::memcpy(&count, record.data() + kVxFileRecordPageCount, sizeof count);
        for (std::size_t i = 0; i < kVxFileRecordSize; ++i)
            if (i != kVxFileRecordPageCount && i != kVxFileRecordPageCount + 1) {
                EXPECT_EQ(record[i], 0) << "record byte " << i;
            }
        if (!ok) {
            EXPECT_EQ(count, 0);
            return -1;
        }
        return count;
    }

    // The picture VXFileLoad gives (checked to be a 24-bit packed DIB whose
    // type record agrees), the handle released; a null image for 0.
    QImage load(const std::string& file, int page = 0, int width = 800, int height = 600)
    {
        return vxtest::loadRaster(*s_modules, file, page, width, height);
    }
};

// ---------------------------------------------------------------------------
// Writing sample files

std::string bytesOf(const QImage& image, const char* format, int quality = -1)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
    return data.toStdString();
}

void put16(std::string& out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A BMP of bitCount 1, 4 or 8 (with palette) or 32; pixel(x, y) gives the
// palette index or, for 32 bits, the colour.
template <typename Pixel>
std::string bmpBytes(int width, int height, int bitCount, const std::vector<QRgb>& palette, Pixel pixel)
{
    const std::size_t stride = (std::size_t(width) * bitCount + 31) / 32 * 4;
    const std::size_t tableBytes = palette.size() * 4;
    const std::size_t offset = 14 + 40 + tableBytes;
    std::string out = "BM";
    put32(out, std::uint32_t(offset + stride * height));
    put32(out, 0);
    put32(out, std::uint32_t(offset));
    put32(out, 40);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height));
    put16(out, 1);
    put16(out, unsigned(bitCount));
    put32(out, 0);
    put32(out, std::uint32_t(stride * height));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, std::uint32_t(palette.size()));
    put32(out, 0);
    for (QRgb c : palette) {
        out += char(qBlue(c));
        out += char(qGreen(c));
        out += char(qRed(c));
        out += char(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            if (bitCount == 32) {
                const QRgb c = QRgb(pixel(x, y));
                row[4 * x] = char(qBlue(c));
                row[4 * x + 1] = char(qGreen(c));
                row[4 * x + 2] = char(qRed(c));
                continue;
            }
            const unsigned index = unsigned(pixel(x, y));
            const int perByte = 8 / bitCount;
            const int shift = 8 - bitCount * (x % perByte + 1);
            row[std::size_t(x / perByte)] = char(static_cast<unsigned char>(row[std::size_t(x / perByte)]) | (index << shift));
        }
        out += row;
    }
    return out;
}

// A GIF with one frame per colour, each filling the whole picture. The LZW
// data holds only literal codes, with a clear code every 250 codes so that
// the code width stays at 9 bits.
std::string gifBytes(int width, int height, const std::vector<QRgb>& frames)
{
    std::string out = "GIF89a";
    put16(out, unsigned(width));
    put16(out, unsigned(height));
    out += char(0xF7);  // global table of 256 entries
    out += char(0);
    out += char(0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < int(frames.size()) ? frames[std::size_t(i)] : qRgb(0, 0, 0);
        out += char(qRed(c));
        out += char(qGreen(c));
        out += char(qBlue(c));
    }
    for (std::size_t f = 0; f < frames.size(); ++f) {
        out += "\x21\xF9\x04";
        out += char(0x04);  // disposal: leave in place
        put16(out, 10);
        out += char(0);
        out += char(0);
        out += char(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, unsigned(width));
        put16(out, unsigned(height));
        out += char(0);
        out += char(8);  // minimum code size
        std::string packed;
        std::uint32_t bits = 0;
        int count = 0;
        const auto put = [&](unsigned code) {
            bits |= code << count;
            count += 9;
            while (count >= 8) {
                packed += char(bits & 0xFF);
                bits >>= 8;
                count -= 8;
            }
        };
        put(256);
        for (int i = 0; i < width * height; ++i) {
            if (i > 0 && i % 250 == 0)
                put(256);
            put(unsigned(f));
        }
        put(257);
        if (count > 0)
            packed += char(bits & 0xFF);
        for (std::size_t at = 0; at < packed.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
            out += char(n);
            out += packed.substr(at, n);
        }
        out += char(0);
    }
    out += char(0x3B);
    return out;
}

// An uncompressed RGB TIFF with one page per colour.
std::string tiffBytes(int width, int height, const std::vector<QRgb>& pages)
{
    std::string out = "II";
    put16(out, 42);
    put32(out, 0);  // first directory, patched below
    std::size_t link = 4;
    for (QRgb colour : pages) {
        const std::size_t data = out.size();
        for (int i = 0; i < width * height; ++i) {
            out += char(qRed(colour));
            out += char(qGreen(colour));
            out += char(qBlue(colour));
        }
        if (out.size() % 2)
            out += char(0);
        const std::size_t bitsPerSample = out.size();
        put16(out, 8);
        put16(out, 8);
        put16(out, 8);
        const std::size_t directory = out.size();
        std::string offset;
        put32(offset, std::uint32_t(directory));
        out.replace(link, 4, offset);
        const auto entry = [&](unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
            put16(out, tag);
            put16(out, type);
            put32(out, count);
            put32(out, value);
        };
        put16(out, 10);
        entry(256, 4, 1, std::uint32_t(width));
        entry(257, 4, 1, std::uint32_t(height));
        entry(258, 3, 3, std::uint32_t(bitsPerSample));
        entry(259, 3, 1, 1);
        entry(262, 3, 1, 2);
        entry(273, 4, 1, std::uint32_t(data));
        entry(277, 3, 1, 3);
        entry(278, 4, 1, std::uint32_t(height));
        entry(279, 4, 1, std::uint32_t(width * height * 3));
        entry(284, 3, 1, 1);
        link = out.size();
        put32(out, 0);
    }
    return out;
}

// A run-length encoded PCX: 8 bits with a palette at the end (planes 1) or
// 24-bit colour (planes 3). width must be even.
std::string pcxBytes(int width, int height, int planes, const QImage& image)
{
    std::string out(128, '\0');
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    std::string header;
    put16(header, 0);
    put16(header, 0);
    put16(header, unsigned(width - 1));
    put16(header, unsigned(height - 1));
    out.replace(4, 8, header);
    out[65] = char(planes);
    std::string line;
    put16(line, unsigned(width));
    put16(line, 1);
    out.replace(66, 4, line);
    for (int y = 0; y < height; ++y) {
        for (int plane = 0; plane < planes; ++plane) {
            std::vector<unsigned char> bytes;
            for (int x = 0; x < width; ++x) {
                if (planes == 1) {
                    bytes.push_back(static_cast<unsigned char>(image.pixelIndex(x, y)));
                } else {
                    const QRgb c = image.pixel(x, y);
                    bytes.push_back(static_cast<unsigned char>(plane == 0 ? qRed(c) : plane == 1 ? qGreen(c) : qBlue(c)));
                }
            }
            for (std::size_t x = 0; x < bytes.size();) {
                std::size_t run = 1;
                while (x + run < bytes.size() && run < 63 && bytes[x + run] == bytes[x])
                    ++run;
                if (run > 1 || (bytes[x] & 0xC0) == 0xC0)
                    out += char(0xC0 | run);
                out += char(bytes[x]);
                x += run;
            }
        }
    }
    if (planes == 1) {
        out += char(0x0C);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
            out += char(qRed(c));
            out += char(qGreen(c));
            out += char(qBlue(c));
        }
    }
    return out;
}

// A lossless JPEG 2000 file (JP2 or raw code stream) of an RGB picture.
bool writeJpeg2000(const std::string& file, const QImage& picture, bool codeStream, int resolutions)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    opj_image_cmptparm_t parameters[3];
    std::memset(parameters, 0, sizeof parameters);
    for (auto& p : parameters) {
        p.dx = p.dy = 1;
        p.w = OPJ_UINT32(rgb.width());
        p.h = OPJ_UINT32(rgb.height());
        p.prec = 8;
        p.sgnd = 0;
    }
    opj_image_t* image = opj_image_create(3, parameters, OPJ_CLRSPC_SRGB);
    if (!image)
        return false;
    image->x0 = image->y0 = 0;
    image->x1 = OPJ_UINT32(rgb.width());
    image->y1 = OPJ_UINT32(rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            for (int c = 0; c < 3; ++c)
                image->comps[c].data[y * rgb.width() + x] = rgb.constScanLine(y)[3 * x + c];
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.numresolution = resolutions;
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0;
    settings.cp_disto_alloc = 1;
    opj_codec_t* codec = opj_create_compress(codeStream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    opj_stream_t* stream = opj_stream_create_default_file_stream(file.c_str(), OPJ_FALSE);
    const bool ok = codec && stream && opj_setup_encoder(codec, &settings, image)
                    && opj_start_compress(codec, image, stream) && opj_encode(codec, stream)
                    && opj_end_compress(codec, stream);
    if (stream)
        opj_stream_destroy(stream);
    if (codec)
        opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok;
}

// The JPEG with an APP1 Exif segment holding only an orientation tag.
std::string withOrientation(const std::string& jpeg, int orientation)
{
    std::string tiff = "MM";
    tiff += std::string("\0\x2A\0\0\0\x08", 6);
    tiff += std::string("\0\x01", 2);                                 // one entry
    tiff += std::string("\x01\x12\0\x03\0\0\0\x01", 8);               // orientation, SHORT, 1
    tiff += char(0);
    tiff += char(orientation);
    tiff += std::string("\0\0", 2);
    tiff += std::string("\0\0\0\0", 4);                               // no next directory
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = payload.size() + 2;
    std::string segment = "\xFF\xE1";
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += payload;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// The first scan of a JPEG: its SOS segment and the coded data after it, up
// to the next marker.
std::string firstScan(const std::string& jpeg)
{
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && std::uint8_t(jpeg[at]) == 0xFF) {
        const auto marker = std::uint8_t(jpeg[at + 1]);
        const std::size_t length = std::uint8_t(jpeg[at + 2]) << 8 | std::uint8_t(jpeg[at + 3]);
        if (marker != 0xDA) {
            at += 2 + length;
            continue;
        }
        std::size_t end = at + 2 + length;
        while (end + 1 < jpeg.size()
               && !(std::uint8_t(jpeg[end]) == 0xFF && jpeg[end + 1] != 0 && (std::uint8_t(jpeg[end + 1]) & 0xF8) != 0xD0))
            ++end;
        return jpeg.substr(at, end - at);
    }
    return {};
}

// The most bytes the process held allocated since the last reset, as the
// address sanitizer's allocator counts them; 0 in a build without it.
#if defined(__SANITIZE_ADDRESS__)
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                              void (*)(const volatile void*));
std::size_t __sanitizer_get_current_allocated_bytes();
}

class PeakAllocation {
public:
    PeakAllocation()
    {
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
        m_usable = installed;
        s_peak = __sanitizer_get_current_allocated_bytes();
        m_start = s_peak;
    }
    bool usable() const { return m_usable; }
    // Bytes above what was allocated when the object was made.
    std::size_t rise() const { return s_peak - m_start; }

private:
    static void onMalloc(const volatile void*, std::size_t)
    {
        const std::size_t now = __sanitizer_get_current_allocated_bytes();
        std::size_t seen = s_peak.load();
        while (now > seen && !s_peak.compare_exchange_weak(seen, now)) {
        }
    }
    static void onFree(const volatile void*) {}
    static inline std::atomic<std::size_t> s_peak{0};
    bool m_usable = false;
    std::size_t m_start = 0;
};
#else
class PeakAllocation {
public:
    bool usable() const { return false; }
    std::size_t rise() const { return 0; }
};
#endif

// A TIFF written by libtiff, one strip or 16 × 16 tiles; sample(x, y, s)
// gives the value of sample s (packed to `bits` bits, most significant first).
struct TiffLayout {
    std::uint16_t photometric;
    std::uint16_t samples;
    std::uint16_t bits;
    std::uint16_t alpha;  // 0, or the EXTRASAMPLE_ kind of the last sample
    bool tiledApart;      // 16 × 16 tiles, one plane per sample
};

template <typename Sample>
bool writeTiff(const std::string& file, int width, int height, const TiffLayout& layout, Sample sample)
{
    TIFF* tiff = TIFFOpen(file.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.tiledApart ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    if (layout.alpha)
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &layout.alpha);
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
        // Black, red, green, blue, then black.
        std::vector<std::uint16_t> red(1u << layout.bits), green(red.size()), blue(red.size());
        red[1] = green[2] = blue[3] = 0xFFFF;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    const int planes = layout.tiledApart ? layout.samples : 1;
    const int perPixel = layout.tiledApart ? 1 : layout.samples;
    const int side = layout.tiledApart ? 16 : 0;
    const int chunkWidth = side ? side : width, chunkHeight = side ? side : height;
    if (side) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, side);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, side);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    }
    const std::size_t rowBytes = (std::size_t(chunkWidth) * perPixel * layout.bits + 7) / 8;
    bool ok = true;
    for (int plane = 0; plane < planes; ++plane)
        for (int top = 0; top < height; top += chunkHeight)
            for (int left = 0; left < width; left += chunkWidth) {
                std::vector<unsigned char> chunk(rowBytes * chunkHeight, 0);
                for (int y = 0; y < chunkHeight; ++y)
                    for (int x = 0; x < chunkWidth; ++x)
                        for (int s = 0; s < perPixel; ++s) {
                            const std::uint32_t value = sample(std::min(left + x, width - 1),
                                                               std::min(top + y, height - 1), side ? plane : s);
                            unsigned char* row = chunk.data() + std::size_t(y) * rowBytes;
                            const std::size_t index = std::size_t(x) * perPixel + s;
                            if (layout.bits == 16) {
                                const auto native = std::uint16_t(value);
                                std::memcpy(row + index * 2, &native, 2);
                                continue;
                            }
                            for (int b = 0; b < layout.bits; ++b)
                                if (value >> (layout.bits - 1 - b) & 1) {
                                    const std::size_t bit = index * layout.bits + std::size_t(b);
                                    row[bit / 8] |= static_cast<unsigned char>(0x80 >> (bit % 8));
                                }
                        }
                const auto size = tmsize_t(chunk.size());
                ok = ok
                     && (side ? TIFFWriteEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, std::uint16_t(plane)),
                                                     chunk.data(), size)
                              : TIFFWriteEncodedStrip(tiff, TIFFComputeStrip(tiff, 0, std::uint16_t(plane)),
                                                      chunk.data(), size))
                            >= 0;
            }
    TIFFClose(tiff);
    return ok;
}

// A smooth, photo-like picture.
QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / width, y * 255 / height, 128);
    }
    return image;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

::testing::AssertionResult colourNear(QRgb actual, QRgb expected, int tolerance = 0)
{
    if (near(actual, expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << QColor(actual).name().toStdString() << " instead of "
                                         << QColor(expected).name().toStdString();
}

}  // namespace

// ---------------------------------------------------------------------------
// Formats and bit depths

TEST_F(Vx7File, ReadsBmpOfEveryBitDepth)
{
    const std::vector<QRgb> two = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const std::vector<QRgb> sixteen = {qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)};
    testfiles::writeFile(path("mono.bmp"), bmpBytes(9, 5, 1, two, [](int x, int y) { return (x + y) % 2; }));
    testfiles::writeFile(path("sixteen.bmp"), bmpBytes(7, 3, 4, sixteen, [](int x, int) { return x % 4; }));
    testfiles::writeFile(path("true.bmp"),
                         bmpBytes(5, 4, 32, {}, [](int x, int y) { return qRgb(x * 50, y * 60, 7); }));

    QImage indexed(6, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(250, 128, 0), qRgb(0, 99, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            indexed.setPixel(x, y, uint((x + y) % 3));
    testfiles::writeFile(path("indexed.bmp"), bytesOf(indexed, "bmp"));
    QImage rgb(5, 3, QImage::Format_RGB888);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            rgb.setPixel(x, y, qRgb(x * 40, 255 - y * 70, 33));
    testfiles::writeFile(path("rgb.bmp"), bytesOf(rgb, "bmp"));

    for (const char* name : {"mono.bmp", "sixteen.bmp", "true.bmp", "indexed.bmp", "rgb.bmp"})
        EXPECT_EQ(pages(path(name)), 1) << name;

    const QImage mono = load(path("mono.bmp"));
    ASSERT_EQ(mono.size(), QSize(9, 5));
    EXPECT_TRUE(colourNear(mono.pixel(0, 0), qRgb(0, 0, 0)));
    EXPECT_TRUE(colourNear(mono.pixel(1, 0), qRgb(255, 255, 255)));
    EXPECT_TRUE(colourNear(mono.pixel(8, 4), qRgb(0, 0, 0)));

    const QImage four = load(path("sixteen.bmp"));
    ASSERT_EQ(four.size(), QSize(7, 3));
    for (int x = 0; x < 7; ++x)
        EXPECT_TRUE(colourNear(four.pixel(x, 2), sixteen[std::size_t(x % 4)])) << x;

    const QImage thirtyTwo = load(path("true.bmp"));
    ASSERT_EQ(thirtyTwo.size(), QSize(5, 4));
    EXPECT_TRUE(colourNear(thirtyTwo.pixel(4, 3), qRgb(200, 180, 7)));
    EXPECT_TRUE(colourNear(thirtyTwo.pixel(0, 0), qRgb(0, 0, 7)));

    const QImage eight = load(path("indexed.bmp"));
    ASSERT_EQ(eight.size(), QSize(6, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(colourNear(eight.pixel(x, y), indexed.color((x + y) % 3)));

    const QImage twentyFour = load(path("rgb.bmp"));
    ASSERT_EQ(twentyFour.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_TRUE(colourNear(twentyFour.pixel(x, y), rgb.pixel(x, y)));
}

TEST_F(Vx7File, IdentifiesByContentsNotByName)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    testfiles::writeFile(path("really-a-png.jpg"), bytesOf(image, "png"));
    testfiles::writeFile(path("no-extension"), bytesOf(image, "bmp"));
    testfiles::writeFile(path("text.png"), "just some text, not a picture at all\n");
    EXPECT_EQ(pages(path("really-a-png.jpg")), 1);
    EXPECT_TRUE(colourNear(load(path("really-a-png.jpg")).pixel(3, 3), qRgb(10, 200, 30)));
    EXPECT_EQ(pages(path("no-extension")), 1);
    EXPECT_EQ(pages(path("text.png")), -1);
    EXPECT_TRUE(load(path("text.png")).isNull());

    // Formats not read yet: a FlashPix (compound file), a placeable WMF and an EMF.
    testfiles::writeFile(path("a.fpx"), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    testfiles::writeFile(path("a.wmf"), std::string("\xD7\xCD\xC6\x9A", 4) + std::string(200, '\0'));
    std::string emf(200, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    testfiles::writeFile(path("a.emf"), emf);
    for (const char* name : {"a.fpx", "a.wmf", "a.emf"}) {
        EXPECT_EQ(pages(path(name)), -1) << name;
        EXPECT_TRUE(load(path(name)).isNull()) << name;
    }
}

TEST_F(Vx7File, DecodesJpegReducedButNeverBelowTheFittedSize)
{
    testfiles::writeFile(path("photo.jpg"), bytesOf(gradient(4000, 3000), "jpeg", 90));
    EXPECT_EQ(pages(path("photo.jpg")), 1);

    // 800 × 600 is covered by a quarter (1000 × 750), not by an eighth (500 × 375).
    const QImage quarter = load(path("photo.jpg"), 0, 800, 600);
    EXPECT_EQ(quarter.size(), QSize(1000, 750));
    EXPECT_TRUE(colourNear(quarter.pixel(500, 375), qRgb(127, 127, 128), 6));
    EXPECT_TRUE(colourNear(quarter.pixel(990, 10), qRgb(252, 3, 128), 6));

    // 1100 × 900 fits the picture to 1100 × 825: a quarter is too small, a half is not.
    EXPECT_EQ(load(path("photo.jpg"), 0, 1100, 900).size(), QSize(2000, 1500));
    // A small area: the eighth.
    EXPECT_EQ(load(path("photo.jpg"), 0, 321, 241).size(), QSize(500, 375));
    // No area, or one larger than the picture: full size.
    EXPECT_EQ(load(path("photo.jpg"), 0, 0, 0).size(), QSize(4000, 3000));
    EXPECT_EQ(load(path("photo.jpg"), 0, 5000, 5000).size(), QSize(4000, 3000));

    // Sides that are no multiple of the reduction.
    testfiles::writeFile(path("odd.jpg"), bytesOf(gradient(1001, 751), "jpeg", 90));
    const QImage odd = load(path("odd.jpg"), 0, 100, 75);
    EXPECT_EQ(odd.size(), QSize(125, 93));
    EXPECT_TRUE(colourNear(odd.pixel(62, 46), qRgb(127, 127, 128), 8));
}

TEST_F(Vx7File, AppliesExifOrientation)
{
    // Stored wide: red on the left, blue on the right. Orientation 6 (turn 90°
    // clockwise to view) shows it tall, red on top.
    QImage stored(1600, 800, QImage::Format_RGB32);
    stored.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    testfiles::writeFile(path("turned.jpg"), withOrientation(bytesOf(stored, "jpeg", 95), 6));
    EXPECT_EQ(pages(path("turned.jpg")), 1);

    const QImage full = load(path("turned.jpg"), 0, 0, 0);
    ASSERT_EQ(full.size(), QSize(800, 1600));
    EXPECT_TRUE(colourNear(full.pixel(400, 200), qRgb(255, 0, 0), 8));
    EXPECT_TRUE(colourNear(full.pixel(400, 1400), qRgb(0, 0, 255), 8));

    // The area is meant upright: 200 × 400 is covered by a quarter (200 × 400
    // upright), where the unrotated reading would have taken an eighth.
    EXPECT_EQ(load(path("turned.jpg"), 0, 200, 400).size(), QSize(200, 400));

    // Sides that are no multiple of the reduction, turned.
    QImage odd(1601, 801, QImage::Format_RGB32);
    odd.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 801; ++y)
        for (int x = 0; x < 800; ++x)
            odd.setPixel(x, y, qRgb(255, 0, 0));
    testfiles::writeFile(path("odd.jpg"), withOrientation(bytesOf(odd, "jpeg", 95), 6));
    const QImage oddTurned = load(path("odd.jpg"), 0, 200, 400);
    ASSERT_EQ(oddTurned.size(), QSize(200, 400));
    EXPECT_TRUE(colourNear(oddTurned.pixel(100, 50), qRgb(255, 0, 0), 8));
    EXPECT_TRUE(colourNear(oddTurned.pixel(100, 350), qRgb(0, 0, 255), 8));

    // Orientation 3 (half turn): red on the right.
    testfiles::writeFile(path("upside.jpg"), withOrientation(bytesOf(stored, "jpeg", 95), 3));
    const QImage half = load(path("upside.jpg"), 0, 0, 0);
    ASSERT_EQ(half.size(), QSize(1600, 800));
    EXPECT_TRUE(colourNear(half.pixel(1400, 400), qRgb(255, 0, 0), 8));
}

TEST_F(Vx7File, ComposesPngTransparencyOverWhite)
{
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(255, 0, 0, 128));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));
    image.setPixel(3, 0, qRgba(0, 0, 255, 64));
    testfiles::writeFile(path("alpha.png"), bytesOf(image, "png"));
    const QImage decoded = load(path("alpha.png"));
    ASSERT_EQ(decoded.size(), QSize(4, 1));
    EXPECT_TRUE(colourNear(decoded.pixel(0, 0), qRgb(255, 0, 0)));
    EXPECT_TRUE(colourNear(decoded.pixel(1, 0), qRgb(255, 127, 127), 1));
    EXPECT_TRUE(colourNear(decoded.pixel(2, 0), qRgb(255, 255, 255)));
    EXPECT_TRUE(colourNear(decoded.pixel(3, 0), qRgb(191, 191, 255), 1));

    // Paletted and grey PNGs come out as 24-bit colour too.
    QImage grey(3, 2, QImage::Format_Grayscale8);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            grey.setPixel(x, y, qRgb(x * 100, x * 100, x * 100));
    testfiles::writeFile(path("grey.png"), bytesOf(grey, "png"));
    EXPECT_TRUE(colourNear(load(path("grey.png")).pixel(2, 1), qRgb(200, 200, 200)));
}

TEST_F(Vx7File, ConvertsSixteenBitPngWithoutASecondFullSizeCopy)
{
    // 16 bits per sample: Qt decodes to 8 bytes a pixel, the raster has 3.
    const int width = 2048, height = 1024;
    QImage deep(width, height, QImage::Format_RGBA64);
    deep.fill(QColor::fromRgba64(0x8000, 0x4000, 0xFFFF));
    for (int x = 0; x < width; ++x)
        deep.setPixelColor(x, height - 1, QColor::fromRgba64(0xFFFF, 0, 0, 0x8000));
    testfiles::writeFile(path("deep.png"), bytesOf(deep, "png"));
    deep = QImage();

    const PeakAllocation peak;
    if (!peak.usable())
        GTEST_SKIP() << "allocations are counted only under the address sanitizer";
    VXHANDLE raster = s_modules->fileLoad(path("deep.png").c_str(), 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(raster, nullptr);
    const std::size_t decoded = std::size_t(width) * height * 8;
    const std::size_t rasterBytes = std::size_t(width) * height * 3;
    const std::size_t fullCopy = std::size_t(width) * height * 4;
    EXPECT_LT(peak.rise(), decoded + rasterBytes + fullCopy / 2);
    s_modules->freeMemory(raster);

    const QImage decodedImage = load(path("deep.png"), 0, 0, 0);
    ASSERT_EQ(decodedImage.size(), QSize(width, height));
    EXPECT_TRUE(colourNear(decodedImage.pixel(100, 100), qRgb(128, 64, 255), 1));
    EXPECT_TRUE(colourNear(decodedImage.pixel(100, height - 1), qRgb(255, 127, 127), 1));
}

TEST_F(Vx7File, CountsAndDecodesGifFrames)
{
    const std::vector<QRgb> colours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    testfiles::writeFile(path("anim.gif"), gifBytes(40, 30, colours));
    EXPECT_EQ(pages(path("anim.gif")), 3);
    EXPECT_EQ(pages(path("anim.gif"), 2), 3);
    EXPECT_EQ(pages(path("anim.gif"), 3), -1);
    for (int page = 0; page < 3; ++page) {
        const QImage frame = load(path("anim.gif"), page);
        ASSERT_EQ(frame.size(), QSize(40, 30)) << page;
        EXPECT_TRUE(colourNear(frame.pixel(20, 15), colours[std::size_t(page)])) << page;
    }
    EXPECT_TRUE(load(path("anim.gif"), 3).isNull());

    testfiles::writeFile(path("still.gif"), gifBytes(5, 5, {qRgb(9, 8, 7)}));
    EXPECT_EQ(pages(path("still.gif")), 1);
    EXPECT_TRUE(colourNear(load(path("still.gif")).pixel(4, 4), qRgb(9, 8, 7)));
}

TEST_F(Vx7File, CountsAndDecodesTiffPages)
{
    const std::vector<QRgb> colours = {qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200)};
    testfiles::writeFile(path("pages.tif"), tiffBytes(12, 9, colours));
    EXPECT_EQ(pages(path("pages.tif")), 3);
    EXPECT_EQ(pages(path("pages.tif"), 1), 3);
    EXPECT_EQ(pages(path("pages.tif"), 3), -1);
    for (int page = 0; page < 3; ++page) {
        const QImage decoded = load(path("pages.tif"), page);
        ASSERT_EQ(decoded.size(), QSize(12, 9)) << page;
        EXPECT_TRUE(colourNear(decoded.pixel(11, 8), colours[std::size_t(page)])) << page;
    }
    EXPECT_TRUE(load(path("pages.tif"), 3).isNull());

    // One page, as Qt writes it.
    QImage one(6, 6, QImage::Format_RGB32);
    one.fill(qRgb(77, 66, 55));
    testfiles::writeFile(path("one.tiff"), bytesOf(one, "tiff"));
    EXPECT_EQ(pages(path("one.tiff")), 1);
    EXPECT_TRUE(colourNear(load(path("one.tiff")).pixel(5, 5), qRgb(77, 66, 55)));
}

TEST_F(Vx7File, ReadsTiffLayoutsQtRefuses)
{
    // Left half, right half: CMYK red and half black; palette red and
    // transparent green; grey black and half-transparent black; RGB orange
    // and blue.
    const std::uint16_t unassociated = EXTRASAMPLE_UNASSALPHA;
    const struct {
        const char* name;
        TiffLayout layout;
        std::array<std::uint32_t, 4> left, right;
        QRgb leftColour, rightColour;
    } cases[] = {
        {"cmyk16.tif", {PHOTOMETRIC_SEPARATED, 4, 16, 0, false}, {0, 0xFFFF, 0xFFFF, 0}, {0, 0, 0, 0x8000},
         qRgb(255, 0, 0), qRgb(127, 127, 127)},
        {"cmyk16-tiles.tif", {PHOTOMETRIC_SEPARATED, 4, 16, 0, true}, {0, 0xFFFF, 0xFFFF, 0}, {0, 0, 0, 0x8000},
         qRgb(255, 0, 0), qRgb(127, 127, 127)},
        {"palette4-alpha.tif", {PHOTOMETRIC_PALETTE, 2, 4, unassociated, false}, {1, 15}, {2, 0},
         qRgb(255, 0, 0), qRgb(255, 255, 255)},
        {"grey4-alpha.tif", {PHOTOMETRIC_MINISBLACK, 2, 4, unassociated, false}, {0, 15}, {0, 5},
         qRgb(0, 0, 0), qRgb(170, 170, 170)},
        {"rgb12.tif", {PHOTOMETRIC_RGB, 3, 12, 0, false}, {0xFFF, 0x800, 0}, {0, 0, 0xFFF},
         qRgb(255, 128, 0), qRgb(0, 0, 255)},
    };
    const int width = 40, height = 20;
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.name);
        ASSERT_TRUE(writeTiff(path(sample.name), width, height, sample.layout, [&](int x, int, int s) {
            return (x < width / 2 ? sample.left : sample.right)[std::size_t(s)];
        }));
        EXPECT_EQ(pages(path(sample.name)), 1);
        const QImage decoded = load(path(sample.name));
        ASSERT_EQ(decoded.size(), QSize(width, height));
        EXPECT_TRUE(colourNear(decoded.pixel(0, 0), sample.leftColour, 1));
        EXPECT_TRUE(colourNear(decoded.pixel(width - 1, height - 1), sample.rightColour, 1));
        EXPECT_TRUE(colourNear(decoded.pixel(width / 2 - 1, 17), sample.leftColour, 1));
    }
}

TEST_F(Vx7File, ReadsPcx)
{
    QImage indexed(10, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(250, 40, 40), qRgb(40, 250, 40), qRgb(200, 200, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            indexed.setPixel(x, y, uint(x < 6 ? 1 + y % 3 : 0));
    testfiles::writeFile(path("paletted.pcx"), pcxBytes(10, 4, 1, indexed));
    EXPECT_EQ(pages(path("paletted.pcx")), 1);
    const QImage eight = load(path("paletted.pcx"));
    ASSERT_EQ(eight.size(), QSize(10, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_TRUE(colourNear(eight.pixel(x, y), indexed.color(x < 6 ? 1 + y % 3 : 0)));

    const QImage colour = gradient(8, 6).convertToFormat(QImage::Format_RGB32);
    testfiles::writeFile(path("colour.pcx"), pcxBytes(8, 6, 3, colour));
    EXPECT_EQ(pages(path("colour.pcx")), 1);
    const QImage rgb = load(path("colour.pcx"));
    ASSERT_EQ(rgb.size(), QSize(8, 6));
    EXPECT_TRUE(colourNear(rgb.pixel(7, 5), colour.pixel(7, 5)));
    EXPECT_TRUE(colourNear(rgb.pixel(3, 2), colour.pixel(3, 2)));
}

TEST_F(Vx7File, ReadsJpeg2000AtReducedResolution)
{
    const QImage picture = gradient(256, 192);
    ASSERT_TRUE(writeJpeg2000(path("picture.jp2"), picture, false, 4));
    ASSERT_TRUE(writeJpeg2000(path("stream.j2k"), picture, true, 4));
    for (const char* name : {"picture.jp2", "stream.j2k"}) {
        EXPECT_EQ(pages(path(name)), 1) << name;
        const QImage full = load(path(name), 0, 0, 0);
        ASSERT_EQ(full.size(), QSize(256, 192)) << name;
        EXPECT_TRUE(colourNear(full.pixel(200, 100), picture.pixel(200, 100))) << name;
        // 64 × 48 is covered exactly by dropping two resolution levels.
        const QImage reduced = load(path(name), 0, 64, 48);
        EXPECT_EQ(reduced.size(), QSize(64, 48)) << name;
        // Never below: 70 × 50 needs the half resolution.
        EXPECT_EQ(load(path(name), 0, 70, 50).size(), QSize(128, 96)) << name;
    }
}

// ---------------------------------------------------------------------------
// Damaged files and what is not a file

TEST_F(Vx7File, RefusesOrFailsCleanlyOnDamagedFiles)
{
    QImage image = gradient(64, 48);
    std::vector<std::pair<std::string, std::string>> samples = {
        {"bmp", bytesOf(image, "bmp")},
        {"jpg", bytesOf(image, "jpeg")},
        {"png", bytesOf(image, "png")},
        {"gif", gifBytes(64, 48, {qRgb(1, 2, 3), qRgb(4, 5, 6)})},
        {"tif", tiffBytes(64, 48, {qRgb(1, 2, 3), qRgb(4, 5, 6)})},
        {"pcx", pcxBytes(64, 48, 3, image)},
    };
    ASSERT_TRUE(writeJpeg2000(path("source.jp2"), image, false, 3));
    samples.push_back({"jp2", testfiles::readFile(path("source.jp2"))});

    for (const auto& [format, bytes] : samples) {
        SCOPED_TRACE(format);
        // Cut short at several points, and with the bytes after the signature
        // overwritten.
        std::vector<std::string> damaged;
        for (std::size_t keep : {std::size_t(2), std::size_t(12), std::size_t(40), bytes.size() / 3,
                                 bytes.size() / 2, bytes.size() - 1})
            damaged.push_back(bytes.substr(0, std::min(keep, bytes.size())));
        std::string scrambled = bytes;
        for (std::size_t i = 8; i < scrambled.size(); ++i)
            scrambled[i] = char((i * 7919) & 0xFF);
        damaged.push_back(scrambled);
        std::string holes = bytes;
        for (std::size_t i = 10; i + 3 < holes.size(); i += 37)
            holes[i] = char(0xFF);
        damaged.push_back(holes);

        for (std::size_t i = 0; i < damaged.size(); ++i) {
            const std::string file = path("damaged" + std::to_string(i) + "." + format);
            testfiles::writeFile(file, damaged[i]);
            const int count = pages(file);
            const QImage decoded = load(file);  // refused, or a valid raster (checked in load)
            if (count < 0) {
                EXPECT_TRUE(decoded.isNull()) << i;
            }
        }
        // Only the signature: never a picture.
        testfiles::writeFile(path("signature." + format), bytes.substr(0, 4));
        EXPECT_EQ(pages(path("signature." + format)), -1);
        EXPECT_TRUE(load(path("signature." + format)).isNull());
    }
}

TEST_F(Vx7File, RefusesJpegsWithMoreScansThanEncodersWrite)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(gradient(64, 48)));
    const std::string progressive = data.toStdString();
    const std::string scan = firstScan(progressive);
    ASSERT_FALSE(scan.empty());
    const std::size_t afterScan = progressive.find(scan) + scan.size();
    std::string repeated = progressive;
    for (int i = 0; i < 1000; ++i)
        repeated.insert(afterScan, scan);
    // Start-of-scan bytes inside an application segment are no scans.
    std::string payload;
    for (int i = 0; i < 1000; ++i)
        payload += "\xFF\xDA\x00\x08";
    const std::size_t length = payload.size() + 2;
    const std::string segment = "\xFF\xE9" + std::string(1, char(length >> 8)) + char(length & 0xFF) + payload;
    const std::string commented = progressive.substr(0, 2) + segment + progressive.substr(2);

    const struct {
        const char* name;
        std::string bytes;
        bool loads;
    } cases[] = {
        {"progressive.jpg", progressive, true},
        {"application-data.jpg", commented, true},
        {"repeated-scans.jpg", repeated, false},
    };
    for (const auto& sample : cases) {
        testfiles::writeFile(path(sample.name), sample.bytes);
        const QImage decoded = load(path(sample.name));
        EXPECT_EQ(decoded.isNull(), !sample.loads) << sample.name;
        if (sample.loads) {
            EXPECT_TRUE(colourNear(decoded.pixel(32, 24), qRgb(127, 127, 128), 8)) << sample.name;
        }
    }
}

TEST_F(Vx7File, RefusesPicturesOverTwoHundredAndSixtyEightMillionPixels)
{
    // A header claiming 20000 × 20000 pixels (4 × 10^8 > 2^28).
    std::string huge = bmpBytes(1, 1, 32, {}, [](int, int) { return qRgb(1, 1, 1); });
    std::string size;
    put32(size, 20000);
    put32(size, 20000);
    huge.replace(18, 8, size);
    testfiles::writeFile(path("huge.bmp"), huge);
    EXPECT_EQ(pages(path("huge.bmp")), -1);
    EXPECT_TRUE(load(path("huge.bmp")).isNull());
}

TEST_F(Vx7File, RefusesWhatIsNoRegularFile)
{
    // A FIFO named like a JPEG: refused at once, never opened (that would wait
    // for a writer forever).
    ASSERT_EQ(::mkfifo(path("pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(pages(path("pipe.jpg")), -1);
    EXPECT_TRUE(load(path("pipe.jpg")).isNull());

    ASSERT_EQ(::mkdir(path("folder.jpg").c_str(), 0700), 0);
    EXPECT_EQ(pages(path("folder.jpg")), -1);
    EXPECT_TRUE(load(path("folder.jpg")).isNull());

    EXPECT_EQ(pages(path("missing.jpg")), -1);
    EXPECT_TRUE(load(path("missing.jpg")).isNull());
    EXPECT_EQ(s_modules->fileType(nullptr, 0, nullptr), 0);
    EXPECT_EQ(s_modules->fileLoad(nullptr, 0, 800, 600, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(pages(""), -1);

    // A link is what it points to.
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(qRgb(5, 6, 7));
    testfiles::writeFile(path("target.png"), bytesOf(image, "png"));
    ASSERT_EQ(::symlink(path("target.png").c_str(), path("link.png").c_str()), 0);
    EXPECT_EQ(pages(path("link.png")), 1);
    EXPECT_TRUE(colourNear(load(path("link.png")).pixel(1, 1), qRgb(5, 6, 7)));
    ASSERT_EQ(::symlink(path("pipe.jpg").c_str(), path("pipe-link.jpg").c_str()), 0);
    EXPECT_EQ(pages(path("pipe-link.jpg")), -1);

    // Pages that do not exist.
    EXPECT_EQ(pages(path("target.png"), -1), -1);
    EXPECT_EQ(pages(path("target.png"), 1), -1);
    EXPECT_TRUE(load(path("target.png"), 1).isNull());
    EXPECT_TRUE(load(path("target.png"), -3).isNull());
}

TEST_F(Vx7File, ExaminesAFileAgainWhenItChanged)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    const std::string file = path("changing.png");
    testfiles::writeFile(file, bytesOf(image, "png"));
    EXPECT_EQ(pages(file), 1);
    EXPECT_EQ(pages(file), 1);

    // Another size: now text.
    testfiles::writeFile(file, "not a picture");
    EXPECT_EQ(pages(file), -1);

    // A picture again, then the same number of bytes of something else with
    // only the modification time to tell them apart.
    const std::string png = bytesOf(image, "png");
    testfiles::writeFile(file, png);
    const struct timeval early[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimes(file.c_str(), early), 0);
    EXPECT_EQ(pages(file), 1);
    testfiles::writeFile(file, std::string(png.size(), 'x'));
    const struct timeval later[2] = {{1000000000, 500000}, {1000000000, 500000}};
    ASSERT_EQ(::utimes(file.c_str(), later), 0);
    EXPECT_EQ(pages(file), -1);

    // A GIF that gains a frame.
    const std::string gif = path("growing.gif");
    testfiles::writeFile(gif, gifBytes(4, 4, {qRgb(1, 1, 1), qRgb(2, 2, 2)}));
    EXPECT_EQ(pages(gif), 2);
    testfiles::writeFile(gif, gifBytes(4, 4, {qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)}));
    EXPECT_EQ(pages(gif), 3);
    EXPECT_EQ(pages(gif, 2), 3);
}
