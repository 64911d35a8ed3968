#include "MetafileProbe.h"
#include "MetafileRender.h"

#include "MetafileWriter.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using testmetafiles::Bytes;
using testmetafiles::EmfWriter;

const std::string kWmfFolder = std::string(PICTAL_TEST_DATA) + "/wmf";
const std::string kSampleFolder = "/work/shared/samples";

Bytes readBytes(const std::string& path)
{
    const std::string s = testfiles::readFile(path);
    return Bytes(s.begin(), s.end());
}

std::vector<std::string> filesIn(const std::string& folder, const char* pattern)
{
    std::vector<std::string> paths;
    const QDir dir(QString::fromStdString(folder));
    for (const QFileInfo& info : dir.entryInfoList({pattern}, QDir::Files, QDir::Name))
        paths.push_back(info.absoluteFilePath().toStdString());
    return paths;
}

std::vector<std::string> wmfSamples() { return filesIn(kWmfFolder, "*.wmf"); }

using testmetafiles::put16;
using testmetafiles::put32;

unsigned get16(const Bytes& b, size_t at) { return unsigned(b[at]) | unsigned(b[at + 1]) << 8; }
int getS16(const Bytes& b, size_t at) { return int(int16_t(uint16_t(get16(b, at)))); }
uint32_t get32(const Bytes& b, size_t at) { return get16(b, at) | uint32_t(get16(b, at + 2)) << 16; }

constexpr QRgb kRectColour = 0xFFD02010;
constexpr QRgb kEllipseColour = 0xFF1040C0;
constexpr QRgb kBackground = 0xFF20E0A0;

// 192 x 96 pixels: a rectangle on the left, an ellipse on the right.
Bytes shapesEmf()
{
    EmfWriter emf(192, 96);
    emf.brush(1, kRectColour);
    emf.brush(2, kEllipseColour);
    emf.nullPen();
    emf.select(1);
    emf.rectangle(10, 10, 90, 86);
    emf.select(2);
    emf.ellipse(110, 10, 182, 86);
    return emf.bytes();
}

// Deterministic pseudo-random numbers for the damaged copies.
class Random {
public:
    explicit Random(uint32_t seed) : m_state(seed) {}
    uint32_t next(uint32_t modulo)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % modulo;
    }

private:
    uint32_t m_state;
};

std::vector<Bytes> truncations(const Bytes& file)
{
    std::vector<Bytes> out;
    for (size_t cut : {size_t(0), size_t(3), size_t(17), size_t(21), size_t(40), size_t(44), size_t(87), size_t(100)})
        if (cut < file.size())
            out.emplace_back(file.begin(), file.begin() + ptrdiff_t(cut));
    for (int part = 1; part < 16; ++part)
        out.emplace_back(file.begin(), file.begin() + ptrdiff_t(file.size() * size_t(part) / 16));
    return out;
}

std::vector<Bytes> bitFlips(const Bytes& file, uint32_t seed, int copies)
{
    std::vector<Bytes> out;
    Random random(seed);
    for (int i = 0; i < copies; ++i) {
        Bytes copy = file;
        const uint32_t flips = 1 + random.next(8);
        for (uint32_t f = 0; f < flips; ++f) {
            // Half of the flips land in the first 128 bytes, where the headers are.
            const uint32_t limit = random.next(2) == 0 ? uint32_t(std::min<size_t>(128, copy.size())) : uint32_t(copy.size());
            copy[random.next(limit)] ^= uint8_t(1u << random.next(8));
        }
        out.push_back(std::move(copy));
    }
    return out;
}

int countPixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

bool near(QRgb a, QRgb b, int tolerance = 8)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The probe and the renderer on damaged input: a refusal, or a sane answer.
void expectSaneOrRefused(const Bytes& data, bool render)
{
    MetafileInfo info;
    if (!MetafileProbe(data.data(), data.size(), &info))
        return;
    EXPECT_NE(info.kind, MetafileKind::None);
    EXPECT_GE(info.width, 1);
    EXPECT_GE(info.height, 1);
    EXPECT_LE(info.width, kMaxMetafileSide);
    EXPECT_LE(info.height, kMaxMetafileSide);
    EXPECT_TRUE(MetafileSignature(data.data(), data.size()));
    if (!render)
        return;
    const int w = std::min(info.width, 64), h = std::min(info.height, 64);
    const QImage image = MetafileRender(info.kind, data.data(), data.size(), w, h, Qt::white);
    if (!image.isNull()) {
        EXPECT_EQ(image.size(), QSize(w, h));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
    }
}

// ------------------------------------------------------------ probe

TEST(MetafileProbe, WmfSamplesHaveTheirPlaceableSize)
{
    const auto samples = wmfSamples();
    ASSERT_EQ(samples.size(), 2u);
    for (const std::string& path : samples) {
        SCOPED_TRACE(path);
        const Bytes wmf = readBytes(path);
        ASSERT_TRUE(MetafileSignature(wmf.data(), wmf.size()));
        MetafileInfo info;
        ASSERT_TRUE(MetafileProbe(wmf.data(), wmf.size(), &info));
        EXPECT_EQ(info.kind, MetafileKind::Wmf);
        // The placeable header's box and units per inch, at 96 dpi.
        const double inch = get16(wmf, 14);
        const double w = (getS16(wmf, 10) - getS16(wmf, 6)) * 96.0 / inch;
        const double h = (getS16(wmf, 12) - getS16(wmf, 8)) * 96.0 / inch;
        EXPECT_NEAR(info.width, w, 1.0);
        EXPECT_NEAR(info.height, h, 1.0);
        EXPECT_GT(info.width, 100);
        EXPECT_LT(info.width, 2000);
    }
}

TEST(MetafileProbe, PlainWmfUsesItsWindowExtent)
{
    // The sample without its placeable header: a plain WMF whose size comes
    // from its SetWindowExt record (MM_TEXT: one unit per pixel).
    const Bytes placeable = readBytes(kWmfFolder + "/clock.wmf");
    const Bytes plain(placeable.begin() + 22, placeable.end());
    ASSERT_TRUE(MetafileSignature(plain.data(), plain.size()));
    MetafileInfo info;
    ASSERT_TRUE(MetafileProbe(plain.data(), plain.size(), &info));
    EXPECT_EQ(info.kind, MetafileKind::Wmf);
    // Find the extent the way a reader of the format would.
    int extentX = 0, extentY = 0;
    for (size_t at = 18; at + 6 <= plain.size();) {
        const uint32_t words = get16(plain, at) | uint32_t(get16(plain, at + 2)) << 16;
        if (words < 3)
            break;
        if (get16(plain, at + 4) == 0x020C) {
            extentY = getS16(plain, at + 6);
            extentX = getS16(plain, at + 8);
            break;
        }
        at += words * 2;
    }
    ASSERT_GT(extentX, 0);
    EXPECT_EQ(info.width, std::min(extentX, kMaxMetafileSide));
    EXPECT_EQ(info.height, std::min(extentY, kMaxMetafileSide));
}

TEST(MetafileProbe, WrittenEmfHasItsFrameSize)
{
    const Bytes emf = shapesEmf();
    ASSERT_TRUE(MetafileSignature(emf.data(), emf.size()));
    MetafileInfo info;
    ASSERT_TRUE(MetafileProbe(emf.data(), emf.size(), &info));
    EXPECT_EQ(info.kind, MetafileKind::Emf);
    EXPECT_EQ(info.width, 192);
    EXPECT_EQ(info.height, 96);

    EmfWriter wide(3000, 20000);  // over the cap: scaled down, aspect kept
    const Bytes big = wide.bytes();
    ASSERT_TRUE(MetafileProbe(big.data(), big.size(), &info));
    EXPECT_EQ(info.height, kMaxMetafileSide);
    EXPECT_NEAR(info.width, 3000.0 * kMaxMetafileSide / 20000.0, 1.0);
}

TEST(MetafileProbe, RefusesOtherData)
{
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    MetafileInfo info;
    EXPECT_FALSE(MetafileSignature(png.data(), png.size()));
    EXPECT_FALSE(MetafileProbe(png.data(), png.size(), &info));
    EXPECT_FALSE(MetafileProbe(nullptr, 0, &info));
    EXPECT_FALSE(MetafileSignature(nullptr, 0));

    // An EMF header whose record size runs past the data.
    Bytes emf = shapesEmf();
    emf[4] = 0xF0;
    emf[5] = 0xFF;
    EXPECT_TRUE(MetafileSignature(emf.data(), emf.size()));
    EXPECT_FALSE(MetafileProbe(emf.data(), emf.size(), &info));

    // A placeable WMF with no units per inch.
    Bytes wmf = readBytes(kWmfFolder + "/wizard.wmf");
    wmf[14] = wmf[15] = 0;
    EXPECT_FALSE(MetafileProbe(wmf.data(), wmf.size(), &info));
    EXPECT_EQ(info.kind, MetafileKind::None);  // untouched on failure
}

TEST(MetafileProbe, WholeRecordsEndWithAnEndRecord)
{
    const Bytes emf = shapesEmf();
    const Bytes cut(emf.begin(), emf.end() - 30);  // the ellipse and the end record gone
    const Bytes whole = MetafileWholeRecords(cut.data(), cut.size());
    ASSERT_FALSE(whole.empty());
    // The cut ellipse record is dropped and an end record takes its place.
    ASSERT_EQ(whole.size(), emf.size() - 24);
    EXPECT_TRUE(std::equal(whole.begin() + 108, whole.end() - 20, emf.begin() + 108));
    EXPECT_EQ(get32(whole, whole.size() - 20), 14u);
    EXPECT_EQ(get32(whole, whole.size() - 16), 20u);
    EXPECT_EQ(get32(whole, 48), whole.size());
    EXPECT_EQ(get32(whole, 52), get32(emf, 52) - 1);

    const Bytes wmf = readBytes(kWmfFolder + "/clock.wmf");
    const Bytes halfWmf(wmf.begin(), wmf.begin() + ptrdiff_t(wmf.size() / 2));
    const Bytes wholeWmf = MetafileWholeRecords(halfWmf.data(), halfWmf.size());
    ASSERT_FALSE(wholeWmf.empty());
    EXPECT_LE(wholeWmf.size(), halfWmf.size() + 6);
    EXPECT_EQ(get16(wholeWmf, wholeWmf.size() - 6), 3u);
    EXPECT_EQ(get16(wholeWmf, wholeWmf.size() - 2), 0u);
}

TEST(MetafileProbe, DamagedInputIsRefusedOrSane)
{
    std::vector<Bytes> inputs;
    for (const std::string& path : wmfSamples()) {
        const Bytes wmf = readBytes(path);
        for (auto& b : truncations(wmf))
            inputs.push_back(std::move(b));
        for (auto& b : bitFlips(wmf, 11, 300))
            inputs.push_back(std::move(b));
    }
    for (auto& b : truncations(shapesEmf()))
        inputs.push_back(std::move(b));
    for (auto& b : bitFlips(shapesEmf(), 12, 300))
        inputs.push_back(std::move(b));
    for (const Bytes& input : inputs)
        expectSaneOrRefused(input, false);
}

// ------------------------------------------------------------ render

TEST(MetafileRender, PlaceableWmfFillsItsFrameNotTheDrawnArea)
{
    // A small rectangle off-centre in a 200 x 100 frame stays where it is.
    const Bytes wmf = testmetafiles::placeableWmfWithRectangle(200, 100, 150, 50, 190, 90, qRgb(255, 0, 0));
    MetafileInfo info;
    ASSERT_TRUE(MetafileProbe(wmf.data(), wmf.size(), &info));
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 100);
    const QImage image = MetafileRender(MetafileKind::Wmf, wmf.data(), wmf.size(), 200, 100, Qt::white);
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixel(170, 70), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(140, 70), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(170, 40), qRgb(255, 255, 255));
}

TEST(MetafileRender, WmfSamplesDrawAtTheirNaturalSize)
{
    for (const std::string& path : wmfSamples()) {
        SCOPED_TRACE(path);
        const Bytes wmf = readBytes(path);
        MetafileInfo info;
        ASSERT_TRUE(MetafileProbe(wmf.data(), wmf.size(), &info));
        const QImage image = MetafileRender(MetafileKind::Wmf, wmf.data(), wmf.size(), info.width, info.height,
                                            QColor::fromRgb(kBackground));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.size(), QSize(info.width, info.height));
        const int all = info.width * info.height;
        const int background = countPixels(image, kBackground);
        EXPECT_GT(all - background, all / 4) << "mostly blank";
        EXPECT_GT(background, all / 20) << "the background colour is not used";
    }
}

TEST(MetafileRender, WmfScalesToTheRequestedSize)
{
    const Bytes wmf = readBytes(kWmfFolder + "/clock.wmf");
    for (QSize size : {QSize(1, 1), QSize(37, 200), QSize(640, 480)}) {
        const QImage image = MetafileRender(MetafileKind::Wmf, wmf.data(), wmf.size(), size.width(), size.height(), Qt::white);
        ASSERT_FALSE(image.isNull()) << size.width() << "x" << size.height();
        EXPECT_EQ(image.size(), size);
    }
}

TEST(MetafileRender, EmfShapesLandWhereTheyWereDrawn)
{
    const Bytes emf = shapesEmf();
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage image = MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), 192 * scale, 96 * scale,
                                            QColor::fromRgb(kBackground));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(192 * scale, 96 * scale));
        auto at = [&](int x, int y) { return image.pixel(x * scale, y * scale); };
        EXPECT_TRUE(near(at(50, 48), kRectColour)) << std::hex << at(50, 48);
        EXPECT_TRUE(near(at(12, 12), kRectColour)) << std::hex << at(12, 12);
        EXPECT_TRUE(near(at(88, 84), kRectColour)) << std::hex << at(88, 84);
        EXPECT_TRUE(near(at(146, 48), kEllipseColour)) << std::hex << at(146, 48);
        EXPECT_TRUE(near(at(146, 14), kEllipseColour)) << std::hex << at(146, 14);
        // Outside: the margins, the gap between the shapes, and the ellipse's
        // box corners.
        for (auto [x, y] : {std::pair{3, 3}, {100, 48}, {188, 92}, {50, 92}, {113, 13}, {179, 83}})
            EXPECT_EQ(at(x, y), kBackground) << x << "," << y;
    }
}

TEST(MetafileRender, RefusesBadRequests)
{
    const Bytes emf = shapesEmf();
    const Bytes wmf = readBytes(kWmfFolder + "/clock.wmf");
    EXPECT_TRUE(MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), 0, 10, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), 10, -1, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), kMaxMetafileSide + 1, 10, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), 8192, 8193, Qt::white).isNull());
    // A kind that does not match the data.
    EXPECT_TRUE(MetafileRender(MetafileKind::Wmf, emf.data(), emf.size(), 16, 16, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::Emf, wmf.data(), wmf.size(), 16, 16, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::None, wmf.data(), wmf.size(), 16, 16, Qt::white).isNull());
    EXPECT_TRUE(MetafileRender(MetafileKind::Wmf, nullptr, 0, 16, 16, Qt::white).isNull());
}

TEST(MetafileRender, DamagedInputIsRefusedOrDrawn)
{
    std::vector<Bytes> inputs;
    for (const std::string& path : wmfSamples()) {
        const Bytes wmf = readBytes(path);
        for (auto& b : truncations(wmf))
            inputs.push_back(std::move(b));
        for (auto& b : bitFlips(wmf, 21, 150))
            inputs.push_back(std::move(b));
    }
    for (auto& b : truncations(shapesEmf()))
        inputs.push_back(std::move(b));
    for (auto& b : bitFlips(shapesEmf(), 22, 150))
        inputs.push_back(std::move(b));
    for (const Bytes& input : inputs)
        expectSaneOrRefused(input, true);
}

TEST(MetafileRender, SampleEmfsAreRefusedOrDrawn)
{
    const auto good = filesIn(kSampleFolder + "/emf", "*.emf");
    const auto bad = filesIn(kSampleFolder + "/emf-corrupted", "*.emf");
    if (good.empty() && bad.empty())
        GTEST_SKIP() << "no sample EMFs in " << kSampleFolder;
    for (const std::string& path : good) {
        SCOPED_TRACE(path);
        const Bytes emf = readBytes(path);
        MetafileInfo info;
        ASSERT_TRUE(MetafileProbe(emf.data(), emf.size(), &info));
        EXPECT_EQ(info.kind, MetafileKind::Emf);
        const QImage image = MetafileRender(MetafileKind::Emf, emf.data(), emf.size(), info.width, info.height,
                                            QColor::fromRgb(kBackground));
        ASSERT_FALSE(image.isNull());
        const int all = info.width * info.height;
        EXPECT_GT(all - countPixels(image, kBackground), all / 50) << "blank";
    }
    for (const std::string& path : bad) {
        SCOPED_TRACE(path);
        expectSaneOrRefused(readBytes(path), true);
    }
}

// ------------------------------------------------------------ helper program

QString helperPath()
{
    return QCoreApplication::applicationDirPath() + "/pictal-metafile";
}

Bytes request(MetafileKind kind, int width, int height, QRgb background, const Bytes& metafile)
{
    Bytes out;
    put32(out, uint32_t(kind));
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put32(out, background);
    out.insert(out.end(), metafile.begin(), metafile.end());
    return out;
}

struct HelperResult {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
};

HelperResult runHelper(const Bytes& input)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(helperPath(), {});
    HelperResult result;
    if (!process.waitForStarted(30000))
        return result;
    process.write(reinterpret_cast<const char*>(input.data()), qint64(input.size()));
    process.closeWriteChannel();
    result.finished = process.waitForFinished(120000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(10000);
        return result;
    }
    result.exitCode = process.exitCode();
    result.status = process.exitStatus();
    result.out = process.readAllStandardOutput();
    return result;
}

// The helper's output as an image; null when it is not a whole answer.
QImage imageFromOutput(const QByteArray& out)
{
    if (out.size() < 8)
        return {};
    const Bytes b(out.begin(), out.end());
    const int width = int(get32(b, 0)), height = int(get32(b, 4));
    if (width < 1 || height < 1 || qint64(out.size()) != 8 + qint64(width) * height * 4)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = get32(b, 8 + (size_t(y) * size_t(width) + size_t(x)) * 4);
    }
    return image;
}

class MetafileHelper : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(helperPath()).isExecutable())
            FAIL() << "helper program not built: " << helperPath().toStdString();
    }
};

TEST_F(MetafileHelper, DrawsAnEmf)
{
    const HelperResult r = runHelper(request(MetafileKind::Emf, 384, 192, kBackground & 0xFFFFFFu, shapesEmf()));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 0);
    const QImage image = imageFromOutput(r.out);
    ASSERT_FALSE(image.isNull()) << "output of " << r.out.size() << " bytes";
    ASSERT_EQ(image.size(), QSize(384, 192));
    EXPECT_TRUE(near(image.pixel(100, 96), kRectColour)) << std::hex << image.pixel(100, 96);
    EXPECT_TRUE(near(image.pixel(292, 96), kEllipseColour)) << std::hex << image.pixel(292, 96);
    EXPECT_EQ(image.pixel(6, 6), kBackground);
    EXPECT_EQ(image.pixel(200, 96), kBackground);
}

TEST_F(MetafileHelper, DrawsTheWmfSamplesLikeTheRendererInProcess)
{
    for (const std::string& path : wmfSamples()) {
        SCOPED_TRACE(path);
        const Bytes wmf = readBytes(path);
        MetafileInfo info;
        ASSERT_TRUE(MetafileProbe(wmf.data(), wmf.size(), &info));
        const HelperResult r = runHelper(request(MetafileKind::Wmf, info.width, info.height, kBackground & 0xFFFFFFu, wmf));
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0);
        const QImage image = imageFromOutput(r.out);
        ASSERT_FALSE(image.isNull());
        const QImage expected = MetafileRender(MetafileKind::Wmf, wmf.data(), wmf.size(), info.width, info.height,
                                               QColor::fromRgb(kBackground));
        ASSERT_FALSE(expected.isNull());
        EXPECT_TRUE(image == expected);
    }
}

TEST_F(MetafileHelper, RefusesBadRequests)
{
    const Bytes emf = shapesEmf();
    const std::vector<Bytes> requests = {
        {},
        {1, 2, 3},
        request(MetafileKind::Emf, 10, 10, 0, {}),
        request(MetafileKind(3), 10, 10, 0, emf),
        request(MetafileKind::Emf, 0, 10, 0, emf),
        request(MetafileKind::Emf, 10, kMaxMetafileSide + 1, 0, emf),
        request(MetafileKind::Emf, 10, 10, 0x01000000u, emf),
        request(MetafileKind::Wmf, 10, 10, 0, emf),
        Bytes(300, 0x5A),
    };
    for (size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE(i);
        const HelperResult r = runHelper(requests[i]);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.status, QProcess::NormalExit);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(MetafileHelper, RefusesMoreThan64MiB)
{
    Bytes big = request(MetafileKind::Emf, 10, 10, 0, shapesEmf());
    big.resize(16 + (size_t(64) << 20) + 1, 0);
    const HelperResult r = runHelper(big);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(MetafileHelper, DamagedInputExitsCleanly)
{
    std::vector<Bytes> inputs;
    for (const std::string& path : wmfSamples())
        for (auto& b : bitFlips(readBytes(path), 31, 6))
            inputs.push_back(std::move(b));
    for (auto& b : bitFlips(shapesEmf(), 32, 6))
        inputs.push_back(std::move(b));
    for (const std::string& path : filesIn(kSampleFolder + "/emf-corrupted", "*.emf"))
        inputs.push_back(readBytes(path));
    for (const Bytes& input : inputs) {
        MetafileInfo info;
        const MetafileKind kind = MetafileProbe(input.data(), input.size(), &info) ? info.kind : MetafileKind::Emf;
        const HelperResult r = runHelper(request(kind, 48, 32, kBackground & 0xFFFFFFu, input));
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.status, QProcess::NormalExit);
        EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode;
        if (r.exitCode == 0) {
            EXPECT_EQ(imageFromOutput(r.out).size(), QSize(48, 32));
        }
    }
}

}  // namespace
