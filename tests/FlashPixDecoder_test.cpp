// The FlashPix decoder on the sample pictures (five encodings of one 70 x 46
// picture with reference bitmaps beside them), on compound files written
// here (tiles in both directions, single-colour tiles, opacity, PhotoYCC,
// documents that are not pictures), and on damaged files.
#include "FittedSize.h"
#include "FlashPixDecoder.h"

#include "TestFiles.h"

#include <QColor>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

std::string samplePath(const std::string& name) { return std::string(PICTAL_TEST_DATA) + "/fpx/" + name; }

Bytes sample(const std::string& name) { return testfiles::readFile(samplePath(name + ".fpx")); }

const unsigned char* bytesOf(const Bytes& b) { return reinterpret_cast<const unsigned char*>(b.data()); }

QImage decode(const Bytes& b, int coverWidth = 0, int coverHeight = 0)
{
    return FlashPixDecode(bytesOf(b), b.size(), coverWidth, coverHeight);
}

QImage reference(const std::string& name)
{
    return QImage(QString::fromStdString(samplePath(name + ".bmp"))).convertToFormat(QImage::Format_RGB32);
}

QImage toGrey(const QImage& image)
{
    QImage grey(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const int v = int(std::lround(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c)));
            grey.setPixel(x, y, qRgb(v, v, v));
        }
    return grey;
}

// Per channel differences between two pictures of the same size.
struct Difference {
    int max = 0;
    double mean = 0;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    if (a.size() != b.size()) {
        ADD_FAILURE() << "sizes differ";
        d.max = 256;
        return d;
    }
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int e : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) {
                d.max = std::max(d.max, e);
                sum += e;
            }
        }
    d.mean = double(sum) / (3.0 * a.width() * a.height());
    return d;
}

// ---------------------------------------------------------------------------
// Writing compound files: 512-byte sectors, every stream 4096 bytes or more so
// that none goes to the small-block stream; siblings chained to the right.

struct Entry {
    std::string name;  // ASCII, control bytes allowed
    int type = 2;      // 1 storage, 2 stream, 5 root
    std::array<unsigned char, 16> classId{};
    Bytes data;
    std::vector<int> children;
};

void put16(Bytes& out, unsigned v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(Bytes& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void set32(Bytes& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

Bytes compoundFile(std::vector<Entry> entries)
{
    constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD, kNone = 0xFFFFFFFF;
    for (Entry& e : entries)
        if (e.type == 2 && e.data.size() < 4096)
            e.data.resize(4096, '\0');
    const uint32_t dirSectors = uint32_t((entries.size() + 3) / 4);
    uint32_t dataSectors = 0;
    for (const Entry& e : entries)
        dataSectors += uint32_t((e.data.size() + 511) / 512);
    uint32_t fatSectors = 1;
    while (fatSectors * 128 < fatSectors + dirSectors + dataSectors)
        ++fatSectors;
    EXPECT_LE(fatSectors, 109u);

    std::vector<uint32_t> fat(fatSectors * 128, kFree);
    uint32_t next = 0;
    for (uint32_t i = 0; i < fatSectors; ++i)
        fat[next++] = kFatSector;
    const auto chain = [&](uint32_t count) {
        const uint32_t first = next;
        for (uint32_t i = 0; i < count; ++i, ++next)
            fat[next] = i + 1 < count ? next + 1 : kEnd;
        return first;
    };
    const uint32_t firstDir = chain(dirSectors);
    std::vector<uint32_t> start(entries.size(), kEnd);
    for (size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].data.empty())
            start[i] = chain(uint32_t((entries[i].data.size() + 511) / 512));

    Bytes out;
    out += "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    out += Bytes(16, '\0');
    put16(out, 0x3E);
    put16(out, 3);
    put16(out, 0xFFFE);
    put16(out, 9);
    put16(out, 6);
    out += Bytes(6, '\0');
    put32(out, 0);
    put32(out, fatSectors);
    put32(out, firstDir);
    put32(out, 0);
    put32(out, 4096);
    put32(out, kEnd);
    put32(out, 0);
    put32(out, kEnd);
    put32(out, 0);
    for (uint32_t i = 0; i < 109; ++i)
        put32(out, i < fatSectors ? i : kFree);
    for (uint32_t v : fat)
        put32(out, v);

    std::vector<uint32_t> right(entries.size(), kNone), child(entries.size(), kNone);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::vector<int>& c = entries[i].children;
        if (!c.empty())
            child[i] = uint32_t(c[0]);
        for (size_t k = 0; k + 1 < c.size(); ++k)
            right[size_t(c[k])] = uint32_t(c[k + 1]);
    }
    for (size_t i = 0; i < size_t(dirSectors) * 4; ++i) {
        Bytes record(128, '\0');
        if (i < entries.size()) {
            const Entry& e = entries[i];
            for (size_t k = 0; k < e.name.size() && k < 31; ++k)
                record[2 * k] = e.name[k];
            set32(record, 64, uint32_t(2 * (e.name.size() + 1)));
            record[66] = char(e.type);
            record[67] = 1;
            set32(record, 68, kNone);
            set32(record, 72, right[i]);
            set32(record, 76, child[i]);
            for (size_t k = 0; k < 16; ++k)
                record[80 + k] = char(e.classId[k]);
            set32(record, 116, start[i]);
            set32(record, 120, uint32_t(e.data.size()));
        } else {
            set32(record, 68, kNone);
            set32(record, 72, kNone);
            set32(record, 76, kNone);
        }
        out += record;
    }
    for (const Entry& e : entries) {
        if (e.data.empty())
            continue;
        Bytes d = e.data;
        d.resize((d.size() + 511) / 512 * 512, '\0');
        out += d;
    }
    return out;
}

std::array<unsigned char, 16> flashPixClass(uint8_t second)
{
    return {0x00, second, 0x61, 0x56, 0x54, 0xC1, 0xCE, 0x11, 0x85, 0x53, 0x00, 0xAA, 0x00, 0xA1, 0xF9, 0x5B};
}

// A property set of one section: UI4 values and blobs.
struct Property {
    uint32_t id;
    uint32_t value;
    Bytes blob;
    bool isBlob;
};

Property number(uint32_t id, uint32_t value) { return {id, value, {}, false}; }
Property blob(uint32_t id, const Bytes& bytes) { return {id, 0, bytes, true}; }

Bytes propertySet(const std::array<unsigned char, 16>& format, const std::vector<Property>& properties)
{
    Bytes out;
    put16(out, 0xFFFE);
    put16(out, 0);
    put32(out, 0x00020005);
    out += Bytes(16, '\0');
    put32(out, 1);
    out.append(reinterpret_cast<const char*>(format.data()), 16);
    put32(out, 48);
    Bytes values;
    Bytes index;
    const size_t head = 8 + 8 * properties.size();
    for (const Property& p : properties) {
        put32(index, p.id);
        put32(index, uint32_t(head + values.size()));
        if (p.isBlob) {
            put32(values, 0x41);
            put32(values, uint32_t(p.blob.size()));
            values += p.blob;
            while (values.size() % 4)
                values += '\0';
        } else {
            put32(values, 0x13);
            put32(values, p.value);
        }
    }
    put32(out, uint32_t(head + values.size()));
    put32(out, uint32_t(properties.size()));
    return out + index + values;
}

const Bytes kStreamPrefix = [] {
    Bytes b;
    put16(b, 0xFFFE);
    put16(b, 0);
    put32(b, 0x00020005);
    b += Bytes(16, '\0');
    put32(b, 1);
    return b;
}();

// One level of a picture written here: channel values for each pixel, tiles
// whose visible pixels are all alike written as single-colour tiles.
struct LevelSpec {
    int width;
    int height;
    std::function<std::vector<int>(int x, int y)> pixel;  // one value per channel
};

Bytes flashPixFile(const std::vector<uint32_t>& channels, const std::vector<LevelSpec>& levels,
                   std::array<unsigned char, 16> storeClass = flashPixClass(0x60))
{
    const int n = int(channels.size());
    std::vector<Property> props = {number(0x01000000, uint32_t(levels.size())),
                                   number(0x01000002, uint32_t(levels.front().width)),
                                   number(0x01000003, uint32_t(levels.front().height))};
    Bytes colour;
    put32(colour, 1);
    put32(colour, uint32_t(n));
    for (uint32_t c : channels)
        put32(colour, c);

    std::vector<Entry> entries(2);
    entries[0].name = "Root Entry";
    entries[0].type = 5;
    entries[0].classId = flashPixClass(0x67);
    entries[0].children = {1};
    entries[1].name = "Data Object Store 000001";
    entries[1].type = 1;
    entries[1].classId = storeClass;

    // Resolution 0000 is the smallest level.
    for (size_t i = 0; i < levels.size(); ++i) {
        const LevelSpec& level = levels[levels.size() - 1 - i];
        const uint32_t shift = uint32_t(i) << 16;
        props.push_back(number(0x02000000 | shift, uint32_t(level.width)));
        props.push_back(number(0x02000001 | shift, uint32_t(level.height)));
        props.push_back(blob(0x02000002 | shift, colour));

        const int across = (level.width + 63) / 64, down = (level.height + 63) / 64;
        Bytes header = kStreamPrefix, data = kStreamPrefix + Bytes(28, '\0');
        put32(header, 36);
        put32(header, uint32_t(level.width));
        put32(header, uint32_t(level.height));
        put32(header, uint32_t(across * down));
        put32(header, 64);
        put32(header, 64);
        put32(header, uint32_t(n));
        put32(header, 36);
        put32(header, 16);
        for (int ty = 0; ty < down; ++ty)
            for (int tx = 0; tx < across; ++tx) {
                Bytes tile;
                bool single = true;
                const std::vector<int> first = level.pixel(tx * 64, ty * 64);
                for (int y = 0; y < 64; ++y)
                    for (int x = 0; x < 64; ++x) {
                        const int px = std::min(tx * 64 + x, level.width - 1), py = std::min(ty * 64 + y, level.height - 1);
                        const std::vector<int> v = level.pixel(px, py);
                        single = single && v == first;
                        for (int c = 0; c < n; ++c)
                            tile += char(v[size_t(c)]);
                    }
                if (single) {
                    uint32_t value = 0;
                    for (int c = 0; c < n; ++c)
                        value |= uint32_t(first[size_t(c)]) << (8 * c);
                    put32(header, 0);
                    put32(header, 0);
                    put32(header, 1);
                    put32(header, value);
                } else {
                    put32(header, uint32_t(data.size() - 28));
                    put32(header, uint32_t(tile.size()));
                    put32(header, 0);
                    put32(header, 0);
                    data += tile;
                }
            }
        const int storage = int(entries.size());
        entries.push_back({"Resolution 000" + std::to_string(i), 1, flashPixClass(0x61), {}, {storage + 1, storage + 2}});
        entries.push_back({"Subimage 0000 Header", 2, {}, header, {}});
        entries.push_back({"Subimage 0000 Data", 2, {}, data, {}});
        entries[1].children.push_back(storage);
    }
    entries.push_back({"\005Image Contents", 2, {}, propertySet(flashPixClass(0x64), props), {}});
    entries[1].children.push_back(int(entries.size()) - 1);
    return compoundFile(entries);
}

const char* const kSamples[] = {"input_truecolor", "input_256", "input_jpeg", "input_grayscale", "input_bw"};

// ---------------------------------------------------------------------------

TEST(FlashPixDecoder, ProbeReadsTheImageContents)
{
    for (const char* name : kSamples) {
        const Bytes file = sample(name);
        ASSERT_FALSE(file.empty()) << name;
        FlashPixInfo info;
        ASSERT_TRUE(FlashPixProbe(bytesOf(file), file.size(), &info)) << name;
        EXPECT_EQ(info.width, 70) << name;
        EXPECT_EQ(info.height, 46) << name;
        EXPECT_EQ(info.levels, 2) << name;
        const bool grey = std::string(name) == "input_grayscale" || std::string(name) == "input_bw";
        EXPECT_EQ(info.channels, grey ? 1 : 3) << name;
        EXPECT_FALSE(info.opacity) << name;
    }
}

TEST(FlashPixDecoder, UncompressedColourMatchesTheReference)
{
    const QImage image = decode(sample("input_truecolor"));
    ASSERT_EQ(image.size(), QSize(70, 46));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    const Difference d = compare(image, reference("input_truecolor"));
    EXPECT_EQ(d.max, 0);

    // The 256-colour file was quantised on its own (another dither than the
    // reference bitmap's): its palette has at most 256 colours, and it is
    // close to the reference overall.
    const QImage palette = decode(sample("input_256"));
    ASSERT_EQ(palette.size(), QSize(70, 46));
    QSet<QRgb> colours;
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 70; ++x)
            colours.insert(palette.pixel(x, y));
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(colours.size(), 64);
    const Difference p = compare(palette, reference("input_256"));
    EXPECT_LT(p.mean, 3.5);
    EXPECT_LE(p.max, 64);
}

TEST(FlashPixDecoder, JpegTilesMatchTheReferenceWithinJpegLoss)
{
    // The tiles use strong quantisation (about quality 40, chroma halved both
    // ways), which loses about as much as Qt's JPEG writer does at that
    // quality on this picture (mean 9.6, max 89).
    const QImage image = decode(sample("input_jpeg"));
    ASSERT_EQ(image.size(), QSize(70, 46));
    const Difference d = compare(image, reference("input_truecolor"));
    EXPECT_LT(d.mean, 12.0);
    EXPECT_LE(d.max, 110);
    // Far from a picture with its channels in another order.
    const Difference swapped = compare(image.rgbSwapped(), reference("input_truecolor"));
    EXPECT_GT(swapped.mean, 2 * d.mean);
}

TEST(FlashPixDecoder, GreyAndBilevelMatchTheGreyReference)
{
    const QImage grey = toGrey(reference("input_truecolor"));
    const QImage image = decode(sample("input_grayscale"));
    ASSERT_EQ(image.size(), QSize(70, 46));
    const Difference d = compare(image, grey);
    EXPECT_LE(d.max, 4);
    EXPECT_LT(d.mean, 1.5);

    const QImage bw = decode(sample("input_bw"));
    ASSERT_EQ(bw.size(), QSize(70, 46));
    int black = 0, white = 0, agree = 0;
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 70; ++x) {
            const int v = qRed(bw.pixel(x, y));
            ASSERT_TRUE(v == 0 || v == 255) << x << "," << y << ": " << v;
            (v ? white : black) += 1;
            agree += (v != 0) == (qRed(grey.pixel(x, y)) >= 128);
        }
    EXPECT_GT(black, 100);
    EXPECT_GT(white, 100);
    // A dithered picture agrees with the thresholded one in most places.
    EXPECT_GT(agree, 70 * 46 * 3 / 4);
}

TEST(FlashPixDecoder, CoverSizePicksTheSmallestLevelThatCoversTheFittedSize)
{
    const Bytes file = sample("input_truecolor");
    EXPECT_EQ(decode(file).size(), QSize(70, 46));
    EXPECT_EQ(decode(file, 35, 23).size(), QSize(35, 23));
    EXPECT_EQ(decode(file, 20, 20).size(), QSize(35, 23));
    EXPECT_EQ(decode(file, 36, 24).size(), QSize(70, 46));
    EXPECT_EQ(decode(file, 35, 35).size(), QSize(35, 23));  // fits as 35 x 23
    EXPECT_EQ(decode(file, 40, 23).size(), QSize(35, 23));
    EXPECT_EQ(decode(file, 800, 600).size(), QSize(70, 46));
    for (int w = 1; w <= 80; w += 3)
        for (int h = 1; h <= 60; h += 4) {
            const QSize fitted = FittedSize(70, 46, w, h);
            const QSize got = decode(file, w, h).size();
            EXPECT_GE(got.width(), fitted.width()) << w << "x" << h;
            EXPECT_GE(got.height(), fitted.height()) << w << "x" << h;
            const bool smallCovers = fitted.width() <= 35 && fitted.height() <= 23;
            EXPECT_EQ(got, smallCovers ? QSize(35, 23) : QSize(70, 46)) << w << "x" << h;
        }
}

TEST(FlashPixDecoder, ReducedLevelLooksLikeTheReferenceScaledDown)
{
    const QImage small = decode(sample("input_truecolor"), 35, 23);
    ASSERT_EQ(small.size(), QSize(35, 23));
    const QImage scaled = reference("input_truecolor").scaled(35, 23, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(compare(small, scaled).mean, 12.0);
}

TEST(FlashPixDecoder, TilesInBothDirectionsWithSingleColourTilesAndCroppedEdges)
{
    // 150 x 70: three tiles across, two down; the right column of tiles is
    // one colour, the rest a gradient.
    const auto full = [](int x, int y) {
        if (x >= 128)
            return std::vector<int>{10, 200, 30};
        return std::vector<int>{x, y * 3, (x + y) % 256};
    };
    const auto half = [](int x, int y) { return std::vector<int>{x * 2, y, 77}; };
    const Bytes file = flashPixFile({0x00030000, 0x00030001, 0x00030002}, {{150, 70, full}, {75, 35, half}});
    FlashPixInfo info;
    ASSERT_TRUE(FlashPixProbe(bytesOf(file), file.size(), &info));
    EXPECT_EQ(info.width, 150);
    EXPECT_EQ(info.height, 70);
    EXPECT_EQ(info.levels, 2);

    const QImage image = decode(file);
    ASSERT_EQ(image.size(), QSize(150, 70));
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 150; ++x) {
            const std::vector<int> v = full(x, y);
            ASSERT_EQ(image.pixel(x, y), qRgb(v[0], v[1], v[2])) << x << "," << y;
        }
    const QImage small = decode(file, 75, 75);
    ASSERT_EQ(small.size(), QSize(75, 35));
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 75; ++x)
            ASSERT_EQ(small.pixel(x, y), qRgb(x * 2, y, 77)) << x << "," << y;
}

TEST(FlashPixDecoder, OpacityIsComposedOverWhite)
{
    // Grey with opacity, not premultiplied: value 0 at opacity a gives 255 - a.
    const auto grey = [](int x, int) { return std::vector<int>{0, x}; };
    const Bytes file = flashPixFile({0x00010000, 0x00017FFE}, {{100, 10, grey}});
    FlashPixInfo info;
    ASSERT_TRUE(FlashPixProbe(bytesOf(file), file.size(), &info));
    EXPECT_TRUE(info.opacity);
    const QImage image = decode(file);
    ASSERT_EQ(image.size(), QSize(100, 10));
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(image.pixel(x, 5), qRgb(255 - x, 255 - x, 255 - x)) << x;

    // RGB premultiplied: colour c at opacity a gives c + 255 - a.
    const auto rgba = [](int x, int) { return std::vector<int>{x / 2, 0, x, x}; };
    const Bytes premultiplied =
        flashPixFile({0x00038000, 0x00038001, 0x00038002, 0x00037FFE}, {{100, 10, rgba}});
    const QImage composed = decode(premultiplied);
    ASSERT_EQ(composed.size(), QSize(100, 10));
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(composed.pixel(x, 0), qRgb(x / 2 + 255 - x, 255 - x, 255)) << x;
}

TEST(FlashPixDecoder, PhotoYccIsConvertedToRgb)
{
    // Neutral PhotoYCC (chroma 156, 137) is grey; luma 189 is reference white.
    const auto ycc = [](int x, int) { return std::vector<int>{x < 32 ? 189 : 0, 156, 137}; };
    const Bytes file = flashPixFile({0x00020000, 0x00020001, 0x00020002}, {{64, 8, ycc}});
    const QImage image = decode(file);
    ASSERT_EQ(image.size(), QSize(64, 8));
    const QRgb white = image.pixel(0, 0), black = image.pixel(63, 0);
    EXPECT_GE(qRed(white), 250);
    EXPECT_GE(qGreen(white), 250);
    EXPECT_GE(qBlue(white), 250);
    EXPECT_LE(qRed(black), 5);
    EXPECT_LE(qGreen(black), 5);
    EXPECT_LE(qBlue(black), 5);
}

TEST(FlashPixDecoder, RefusesOtherCompoundFiles)
{
    // A word processor document: a compound file with no picture storage.
    Entry root{"Root Entry", 5, {0x06, 0x09, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}, {}, {1, 2}};
    Entry text{"WordDocument", 2, {}, Bytes(5000, 'w'), {}};
    Entry summary{"\005SummaryInformation", 2, {}, Bytes(4096, '\0'), {}};
    const Bytes document = compoundFile({root, text, summary});
    EXPECT_FALSE(FlashPixProbe(bytesOf(document), document.size(), nullptr));
    EXPECT_TRUE(decode(document).isNull());

    // The picture's storages under a class that is not FlashPix's.
    const auto pixel = [](int, int) { return std::vector<int>{1, 2, 3}; };
    std::array<unsigned char, 16> other{};
    other[0] = 0x42;
    const Bytes foreign = flashPixFile({0x00030000, 0x00030001, 0x00030002}, {{8, 8, pixel}}, other);
    EXPECT_FALSE(FlashPixProbe(bytesOf(foreign), foreign.size(), nullptr));
    EXPECT_TRUE(decode(foreign).isNull());
    // The same file with the right class is read, so the refusal was the class.
    const Bytes own = flashPixFile({0x00030000, 0x00030001, 0x00030002}, {{8, 8, pixel}});
    EXPECT_EQ(decode(own).pixel(4, 4), qRgb(1, 2, 3));

    // A root entry with a sibling: libgsf would lose the sibling's memory,
    // so the file is refused before it gets there.
    Bytes sibling = sample("input_truecolor");
    const size_t rootEntry = (size_t(uint8_t(sibling[48])) + 1) * 512;
    set32(sibling, rootEntry + 72, 1);
    EXPECT_FALSE(FlashPixProbe(bytesOf(sibling), sibling.size(), nullptr));
    EXPECT_TRUE(decode(sibling).isNull());

    // Not a compound file at all.
    const Bytes bmp = testfiles::readFile(samplePath("input_truecolor.bmp"));
    EXPECT_FALSE(FlashPixProbe(bytesOf(bmp), bmp.size(), nullptr));
    EXPECT_TRUE(decode(bmp).isNull());
    EXPECT_FALSE(FlashPixProbe(nullptr, 0, nullptr));
    EXPECT_TRUE(FlashPixDecode(nullptr, 0, 0, 0).isNull());
}

TEST(FlashPixDecoder, RefusesInconsistentOrHostileSizes)
{
    const auto pixel = [](int, int) { return std::vector<int>{9, 9, 9}; };
    const std::vector<uint32_t> rgb = {0x00030000, 0x00030001, 0x00030002};
    // A level larger than the full size, or not smaller than the one above.
    EXPECT_TRUE(decode(flashPixFile(rgb, {{64, 64, pixel}, {65, 32, pixel}})).isNull());
    EXPECT_TRUE(decode(flashPixFile(rgb, {{64, 64, pixel}, {64, 64, pixel}})).isNull());
    // A channel list that does not describe a colour space.
    EXPECT_TRUE(decode(flashPixFile({0x00030000, 0x00030002, 0x00030001}, {{8, 8, pixel}})).isNull());

    // An image contents promising 2^16 x 2^16 pixels, beyond the limit.
    Bytes huge = flashPixFile(rgb, {{8, 8, pixel}});
    const Bytes width("\x13\x00\x00\x00\x08\x00\x00\x00", 8);
    size_t at = 0;
    int patched = 0;
    while ((at = huge.find(width, at)) != Bytes::npos) {
        set32(huge, at + 4, 0x10000);
        at += 8;
        ++patched;
    }
    ASSERT_GE(patched, 4);  // full and level sizes
    EXPECT_FALSE(FlashPixProbe(bytesOf(huge), huge.size(), nullptr));
    EXPECT_TRUE(decode(huge).isNull());
}

TEST(FlashPixDecoder, RefusesALongDirectoryBeforeReadingIt)
{
    // Tens of thousands of storages chained as siblings: read recursively,
    // such a directory would exhaust the stack; it is refused at once.
    std::vector<Entry> entries(1);
    entries[0].name = "Root Entry";
    entries[0].type = 5;
    const int count = 40000;
    for (int i = 1; i <= count; ++i) {
        Entry storage;
        storage.name = "s" + std::to_string(i);
        storage.type = 1;
        entries.push_back(storage);
        entries[0].children.push_back(i);
    }
    const Bytes file = compoundFile(entries);
    FlashPixInfo info;
    EXPECT_FALSE(FlashPixProbe(bytesOf(file), file.size(), &info));
    EXPECT_TRUE(decode(file).isNull());
}

TEST(FlashPixDecoder, TruncatedFilesFailQuietly)
{
    for (const char* name : kSamples) {
        const Bytes file = sample(name);
        const QImage whole = decode(file);
        ASSERT_FALSE(whole.isNull()) << name;
        int cuts = 0, decoded = 0;
        for (size_t cut = 0; cut < file.size(); cut += (cut < 4096 ? 61 : 509), ++cuts) {
            const Bytes part = file.substr(0, cut);
            FlashPixInfo info;
            const bool probed = FlashPixProbe(bytesOf(part), part.size(), &info);
            const QImage image = decode(part);
            // Sectors no stream of the picture needs may be missing; then the
            // picture is whole.
            if (!image.isNull()) {
                EXPECT_TRUE(probed) << name << " cut at " << cut;
                EXPECT_EQ(image, whole) << name << " cut at " << cut;
                ++decoded;
            }
            const QImage small = decode(part, 30, 20);
            EXPECT_TRUE(small.isNull() || small.size() == QSize(35, 23)) << name << " cut at " << cut;
        }
        EXPECT_LT(decoded, cuts / 2) << name;
    }
}

TEST(FlashPixDecoder, DamagedBytesGiveAPictureOrNothing)
{
    for (const char* name : kSamples) {
        const Bytes file = sample(name);
        uint32_t state = 12345;
        for (int round = 0; round < 150; ++round) {
            Bytes damaged = file;
            for (int k = 0; k < 4; ++k) {
                state = state * 1103515245u + 12345u;
                // Half of the damage lands in the header, directory and the
                // first sectors, where the structure is.
                const size_t span = (state >> 31) ? std::min<size_t>(file.size(), 8192) : file.size();
                const size_t at = (state >> 8) % span;
                damaged[at] = char(damaged[at] ^ char(1 + (state & 0x7F)));
            }
            const QImage image = decode(damaged);
            EXPECT_TRUE(image.isNull() || image.size() == QSize(70, 46)) << name << " round " << round;
            const QImage small = decode(damaged, 10, 10);
            EXPECT_TRUE(small.isNull() || small.size() == QSize(35, 23)) << name << " round " << round;
        }
    }
}

}  // namespace
