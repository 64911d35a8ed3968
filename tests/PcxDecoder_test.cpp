#include "PcxDecoder.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A PCX file as a paint program writes it: 128-byte header, run-length
// encoded scan lines (each plane of a line in turn), optional 256-colour
// palette at the end.
struct PcxFile {
    int bitsPerPixel = 8;
    int planes = 1;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
    std::vector<QRgb> headerPalette;  // up to 16 entries
    std::vector<QRgb> tailPalette;    // 256 entries when present
    Bytes lines;                      // height * planes * bytesPerLine decoded bytes
    bool runsCrossLines = true;       // encode the data as one stream, not line by line

    Bytes encode() const
    {
        Bytes out(128, 0);
        out[0] = 0x0A;
        out[1] = 5;
        out[2] = 1;
        out[3] = uint8_t(bitsPerPixel);
        auto put16 = [&](size_t at, unsigned v) {
            out[at] = uint8_t(v);
            out[at + 1] = uint8_t(v >> 8);
        };
        put16(4, 3);  // the window need not start at 0
        put16(6, 7);
        put16(8, 3 + unsigned(width) - 1);
        put16(10, 7 + unsigned(height) - 1);
        for (size_t i = 0; i < headerPalette.size(); ++i) {
            out[16 + 3 * i] = uint8_t(qRed(headerPalette[i]));
            out[17 + 3 * i] = uint8_t(qGreen(headerPalette[i]));
            out[18 + 3 * i] = uint8_t(qBlue(headerPalette[i]));
        }
        out[65] = uint8_t(planes);
        put16(66, unsigned(bytesPerLine));
        put16(68, 1);

        const size_t lineBytes = size_t(planes) * size_t(bytesPerLine);
        const size_t chunk = runsCrossLines ? lines.size() : lineBytes;
        for (size_t start = 0; start < lines.size(); start += chunk)
            rle(lines.data() + start, std::min(chunk, lines.size() - start), out);

        if (!tailPalette.empty()) {
            out.push_back(0x0C);
            for (QRgb c : tailPalette) {
                out.push_back(uint8_t(qRed(c)));
                out.push_back(uint8_t(qGreen(c)));
                out.push_back(uint8_t(qBlue(c)));
            }
        }
        return out;
    }

    static void rle(const unsigned char* data, size_t n, Bytes& out)
    {
        for (size_t i = 0; i < n;) {
            size_t run = 1;
            while (i + run < n && run < 63 && data[i + run] == data[i])
                ++run;
            if (run > 1 || (data[i] & 0xC0) == 0xC0) {
                out.push_back(uint8_t(0xC0 | run));
                out.push_back(data[i]);
            } else {
                out.push_back(data[i]);
            }
            i += run;
        }
    }
};

// Deterministic pseudo-random bytes, with long equal stretches so that runs
// occur (and cross line ends).
class Pattern {
public:
    unsigned next(unsigned modulo)
    {
        if (m_repeat == 0) {
            m_state = m_state * 1103515245u + 12345u;
            m_value = (m_state >> 16);
            m_repeat = (m_state >> 8) % 3 == 0 ? 1 + (m_state >> 4) % 40 : 1;
        }
        --m_repeat;
        return m_value % modulo;
    }

private:
    uint32_t m_state = 7;
    unsigned m_value = 0;
    unsigned m_repeat = 0;
};

std::vector<QRgb> sixteenColours()
{
    std::vector<QRgb> colours;
    for (int i = 0; i < 16; ++i)
        colours.push_back(qRgb(i * 16, 255 - i * 13, (i * 77) % 256));
    return colours;
}

// Packs palette indexes (row-major) into scan lines of the given layout; the
// padding bytes at the end of each line are filled with junk.
Bytes packIndexes(const std::vector<unsigned>& indexes, int width, int height, int bpp, int planes, int bpl)
{
    Bytes lines(size_t(height) * size_t(planes) * size_t(bpl), 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* line = lines.data() + size_t(y) * size_t(planes) * size_t(bpl);
        for (int plane = 0; plane < planes; ++plane) {
            const int used = (width * bpp + 7) / 8;
            for (int b = used; b < bpl; ++b)
                line[plane * bpl + b] = 0xA5;
        }
        for (int x = 0; x < width; ++x) {
            const unsigned index = indexes[size_t(y) * size_t(width) + size_t(x)];
            if (planes > 1) {  // one bit per plane
                for (int plane = 0; plane < planes; ++plane)
                    if (index >> plane & 1)
                        line[plane * bpl + x / 8] |= uint8_t(0x80 >> (x % 8));
            } else {
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (x % perByte + 1);
                line[x / perByte] |= uint8_t(index << shift);
            }
        }
    }
    return lines;
}

struct IndexedCase {
    int bpp;
    int planes;
    int width;
    int height;
    int bpl;
};

void checkIndexed(const IndexedCase& c, const std::vector<QRgb>& headerPalette, const std::vector<QRgb>& tailPalette,
                  const QList<QRgb>& expectedTable)
{
    SCOPED_TRACE(testing::Message() << c.bpp << " bpp x " << c.planes << " planes, " << c.width << "x" << c.height);
    const unsigned colours = 1u << (c.bpp * c.planes);
    Pattern pattern;
    std::vector<unsigned> indexes;
    for (int i = 0; i < c.width * c.height; ++i)
        indexes.push_back(pattern.next(colours));

    PcxFile file;
    file.bitsPerPixel = c.bpp;
    file.planes = c.planes;
    file.width = c.width;
    file.height = c.height;
    file.bytesPerLine = c.bpl;
    file.headerPalette = headerPalette;
    file.tailPalette = tailPalette;
    file.lines = packIndexes(indexes, c.width, c.height, c.bpp, c.planes, c.bpl);
    const Bytes bytes = file.encode();

    PcxInfo info;
    ASSERT_TRUE(PcxProbe(bytes.data(), bytes.size(), &info));
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(info.bitsPerPixel, c.bpp);
    EXPECT_EQ(info.planes, c.planes);
    EXPECT_EQ(info.bytesPerLine, c.bpl);

    const QImage image = PcxDecode(bytes.data(), bytes.size());
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.size(), QSize(c.width, c.height));
    EXPECT_EQ(image.colorTable(), expectedTable);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            ASSERT_EQ(unsigned(image.pixelIndex(x, y)), indexes[size_t(y) * size_t(c.width) + size_t(x)])
                << "at " << x << "," << y;
}

QList<QRgb> asList(const std::vector<QRgb>& colours, size_t count)
{
    return QList<QRgb>(colours.begin(), colours.begin() + qsizetype(count));
}

}  // namespace

TEST(PcxDecoder, PaletteLayoutsDecodeExactlyWithTheirPalettes)
{
    const std::vector<QRgb> header = sixteenColours();
    // Odd widths, and lines padded beyond the bytes the pixels need.
    checkIndexed({1, 1, 13, 9, 4}, header, {}, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    checkIndexed({1, 4, 11, 7, 2}, header, {}, asList(header, 16));
    checkIndexed({2, 1, 7, 5, 2}, header, {}, asList(header, 4));
    checkIndexed({4, 1, 9, 6, 6}, header, {}, asList(header, 16));

    std::vector<QRgb> tail;
    for (int i = 0; i < 256; ++i)
        tail.push_back(qRgb(255 - i, i / 2, (i * 31) % 256));
    checkIndexed({8, 1, 17, 10, 18}, {}, tail, asList(tail, 256));
}

TEST(PcxDecoder, EightBitWithoutPaletteUsesAGreyRamp)
{
    QList<QRgb> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.append(qRgb(i, i, i));
    checkIndexed({8, 1, 20, 40, 20}, {}, {}, ramp);
}

TEST(PcxDecoder, TrueColourKeepsRgbAndDropsTheFourthPlane)
{
    for (int planes : {3, 4}) {
        SCOPED_TRACE(planes);
        const int width = 5, height = 7, bpl = 6;
        PcxFile file;
        file.planes = planes;
        file.width = width;
        file.height = height;
        file.bytesPerLine = bpl;
        Pattern pattern;
        for (int i = 0; i < height * planes * bpl; ++i)
            file.lines.push_back(uint8_t(pattern.next(256)));
        const Bytes bytes = file.encode();

        const QImage image = PcxDecode(bytes.data(), bytes.size());
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(width, height));
        for (int y = 0; y < height; ++y) {
            const unsigned char* line = file.lines.data() + size_t(y) * size_t(planes * bpl);
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(image.pixel(x, y), qRgb(line[x], line[bpl + x], line[2 * bpl + x])) << x << "," << y;
        }
    }
}

TEST(PcxDecoder, RunsCrossingLineEndsAndLineByLineRunsGiveTheSameImage)
{
    PcxFile file;
    file.width = 10;
    file.height = 12;
    file.bytesPerLine = 10;
    file.lines.assign(120, 0xC7);  // a value that must itself be written as a run
    for (int i = 55; i < 65; ++i)
        file.lines[size_t(i)] = uint8_t(i);
    const Bytes crossing = file.encode();
    file.runsCrossLines = false;
    const Bytes perLine = file.encode();
    ASSERT_LT(crossing.size(), perLine.size());  // the first really has runs over line ends

    const QImage a = PcxDecode(crossing.data(), crossing.size());
    const QImage b = PcxDecode(perLine.data(), perLine.size());
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.pixelIndex(5, 5), 55);
    EXPECT_EQ(a.pixelIndex(9, 11), 0xC7);
}

TEST(PcxDecoder, ReadsAFileWrittenToDisk)
{
    PcxFile file;
    file.width = 3;
    file.height = 2;
    file.bytesPerLine = 4;
    file.lines = {1, 2, 3, 0, 4, 5, 6, 0};
    const Bytes bytes = file.encode();
    testfiles::TempFolder folder;
    const std::string path = folder.file("small.pcx");
    testfiles::writeFile(path, std::string(bytes.begin(), bytes.end()));
    const std::string back = testfiles::readFile(path);
    const QImage image = PcxDecode(reinterpret_cast<const unsigned char*>(back.data()), back.size());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelIndex(2, 1), 6);
}

TEST(PcxDecoder, TruncatedDataAndBadHeadersAreRefused)
{
    PcxFile file;
    file.width = 31;
    file.height = 9;
    file.bytesPerLine = 32;
    Pattern pattern;
    for (int i = 0; i < 9 * 32; ++i)
        file.lines.push_back(uint8_t(pattern.next(256)));
    const Bytes good = file.encode();
    ASSERT_FALSE(PcxDecode(good.data(), good.size()).isNull());

    // Every shorter prefix: a header cut short is not a PCX file, image data
    // cut short is refused rather than filled in.
    for (size_t n = 0; n < good.size(); ++n)
        ASSERT_TRUE(PcxDecode(good.data(), n).isNull()) << n;
    EXPECT_FALSE(PcxProbe(good.data(), 127, nullptr));
    EXPECT_TRUE(PcxProbe(good.data(), 128, nullptr));

    auto refused = [&](size_t at, std::vector<unsigned char> values) {
        Bytes bad = good;
        for (size_t i = 0; i < values.size(); ++i)
            bad[at + i] = values[i];
        return !PcxProbe(bad.data(), bad.size(), nullptr) && PcxDecode(bad.data(), bad.size()).isNull();
    };
    EXPECT_TRUE(refused(0, {0x0B}));                    // manufacturer
    EXPECT_TRUE(refused(1, {9}));                       // version
    EXPECT_TRUE(refused(2, {0}));                       // not run-length encoded
    EXPECT_TRUE(refused(3, {3}));                       // 3 bits per pixel
    EXPECT_TRUE(refused(65, {2}));                      // 8 bpp x 2 planes
    EXPECT_TRUE(refused(8, {0, 0}));                    // xMax < xMin
    EXPECT_TRUE(refused(10, {0, 0}));                   // yMax < yMin
    EXPECT_TRUE(refused(66, {30, 0}));                  // line shorter than the width
    EXPECT_TRUE(refused(66, {0, 0}));                   // no bytes per line
    EXPECT_TRUE(refused(4, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));  // 65536 x 65536 pixels
}

TEST(PcxDecoder, HugeClaimsInATinyFileAllocateNothing)
{
    // 16384 x 16384 is within the pixel cap, but 200 bytes cannot hold it.
    PcxFile file;
    file.width = 16384;
    file.height = 16384;
    file.bytesPerLine = 16384;
    Bytes bytes = file.encode();
    bytes.resize(200, 0xFF);
    PcxInfo info;
    EXPECT_TRUE(PcxProbe(bytes.data(), bytes.size(), &info));
    EXPECT_TRUE(PcxDecode(bytes.data(), bytes.size()).isNull());
    EXPECT_TRUE(PcxDecode(nullptr, 0).isNull());
}
