// The common module and the vector module, loaded at run time as the program
// loads them: image handles and their type record, smooth resizing, drawing on
// a device context, the path helpers and notations of the slide collection,
// and vector handles.
#include "Gdi.h"
#include "GlobalMemory.h"
#include "Modules.h"
#include "TestFiles.h"
#include "RasterHandles.h"
#include "VxApi.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <vector>

namespace {

using testrasters::packedDibOf;
using testrasters::pictureOf;
using testrasters::rasterOf;

template <typename T>
T entry(HMODULE module, const char* name)
{
    return reinterpret_cast<T>(GetProcAddress(module, name));
}

struct Com {
    HMODULE module = LoadLibraryA("Vx7Com.DLL");
    TVXGetImageType getImageType = entry<TVXGetImageType>(module, "VXGetImageType");
    TSetImageSize setImageSize = entry<TSetImageSize>(module, "SetImageSize");
    TVXFreeMemory freeMemory = entry<TVXFreeMemory>(module, "VXFreeMemory");
    TGetDibPalSize getDibPalSize = entry<TGetDibPalSize>(module, "GetDibPalSize");
    T_StretchDIBits stretchDIBits = entry<T_StretchDIBits>(module, "_StretchDIBits");
    T_BoxFull boxFull = entry<T_BoxFull>(module, "_BoxFull");
    T_Box box = entry<T_Box>(module, "_Box");
    T_Line line = entry<T_Line>(module, "_Line");
    TSetTermYEN setTermYEN = entry<TSetTermYEN>(module, "SetTermYEN");
    TGetFullpathFilename getFullpathFilename = entry<TGetFullpathFilename>(module, "GetFullpathFilename");
    TGetPagefromFilename getPagefromFilename = entry<TGetPagefromFilename>(module, "GetPagefromFilename");
    TCutPagefromFilename cutPagefromFilename = entry<TCutPagefromFilename>(module, "CutPagefromFilename");
    TGetPathDir getPathDir = entry<TGetPathDir>(module, "GetPathDir");
    TGetPathFileExt getPathFileExt = entry<TGetPathFileExt>(module, "GetPathFileExt");
    TGetFileExt getFileExt = entry<TGetFileExt>(module, "GetFileExt");
    TGetFileDateTimeEx getFileDateTimeEx = entry<TGetFileDateTimeEx>(module, "GetFileDateTimeEx");
    TIsSetDrive isSetDrive = entry<TIsSetDrive>(module, "IsSetDrive");
    TDataFileExist dataFileExist = entry<TDataFileExist>(module, "DataFileExist");
    TStrRightCopy strRightCopy = entry<TStrRightCopy>(module, "StrRightCopy");
    ~Com() { FreeLibrary(module); }

    bool complete() const
    {
        return getImageType && setImageSize && freeMemory && getDibPalSize && stretchDIBits && boxFull && box
               && line && setTermYEN && getFullpathFilename && getPagefromFilename && cutPagefromFilename
               && getPathDir && getPathFileExt && getFileExt && getFileDateTimeEx && isSetDrive && dataFileExist
               && strRightCopy;
    }
};

struct VectCom {
    HMODULE module = LoadLibraryA("Vx7VectCom.DLL");
    TVXVectorToRaster toRaster = entry<TVXVectorToRaster>(module, "VXVectorToRaster");
    TVXVectorGdipStart start = entry<TVXVectorGdipStart>(module, "VXVectorGdipStart");
    TVXVectorGdipEnd end = entry<TVXVectorGdipEnd>(module, "VXVectorGdipEnd");
    ~VectCom() { FreeLibrary(module); }
};

// A movable block holding the bytes.
VXHANDLE blockOf(const std::vector<unsigned char>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block && !bytes.empty()) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return ImageHandle(block);
}

// An 8-bit raster handle with a colour table.
VXHANDLE paletteRasterOf(const QImage& indexed)
{
    const int stride = (indexed.width() + 3) / 4 * 4;
    BITMAPINFOHEADER header;
    header.biSize = sizeof header;
    header.biWidth = indexed.width();
    header.biHeight = indexed.height();
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = DWORD(indexed.colorCount());
    std::vector<unsigned char> bytes(sizeof header + 4 * std::size_t(indexed.colorCount())
                                     + std::size_t(stride) * indexed.height());
    std::memcpy(bytes.data(), &header, sizeof header);
    for (int i = 0; i < indexed.colorCount(); ++i) {
        unsigned char* entry = bytes.data() + sizeof header + 4 * i;
        entry[0] = static_cast<unsigned char>(qBlue(indexed.color(i)));
        entry[1] = static_cast<unsigned char>(qGreen(indexed.color(i)));
        entry[2] = static_cast<unsigned char>(qRed(indexed.color(i)));
    }
    unsigned char* bits = bytes.data() + sizeof header + 4 * std::size_t(indexed.colorCount());
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            bits[std::size_t(indexed.height() - 1 - y) * stride + x] = static_cast<unsigned char>(indexed.pixelIndex(x, y));
    return blockOf(bytes);
}

// A vector handle: kVxVectorMagic, kind, natural width and height, data
// bytes, and the drawing size (the natural one).
VXHANDLE vectorOf(std::int32_t kind, std::int32_t width, std::int32_t height, std::uint32_t dataBytes)
{
    std::vector<unsigned char> bytes(32 + dataBytes, 0);
    std::memcpy(bytes.data(), kVxVectorMagic, 8);
    std::memcpy(bytes.data() + 8, &kind, 4);
    std::memcpy(bytes.data() + 12, &width, 4);
    std::memcpy(bytes.data() + 16, &height, 4);
    std::memcpy(bytes.data() + 20, &dataBytes, 4);
    std::memcpy(bytes.data() + 24, &width, 4);
    std::memcpy(bytes.data() + 28, &height, 4);
    return blockOf(bytes);
}


struct TypeRecord {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int16_t kind = 0;
    bool otherBytesZero = true;
};

int channelSpread(const QImage& image)
{
    int low = 255, high = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            for (int c : {qRed(p), qGreen(p), qBlue(p)}) {
                low = std::min(low, c);
                high = std::max(high, c);
            }
        }
    return high - low;
}

QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

class Vx7Com : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_com = new Com; }
    static void TearDownTestSuite()
    {
        delete s_com;
        s_com = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_com->complete()) << LastModuleError();
        m_blocks = GlobalBlockCount();
    }
    void TearDown() override { EXPECT_EQ(GlobalBlockCount(), m_blocks); }

    TypeRecord typeOf(VXHANDLE image, int* result)
    {
        unsigned char record[kVxTypeRecordSize + 8];
        std::memset(record, 0xCD, sizeof record);
        *result = s_com->getImageType(image, record);
        TypeRecord fields;
        std::memcpy(&fields.width, record + kVxTypeRecordWidth, 4);
        std::memcpy(&fields.height, record + kVxTypeRecordHeight, 4);
        std::memcpy(&fields.kind, record + kVxTypeRecordKind, 2);
        for (std::size_t i = 0; i < kVxTypeRecordSize; ++i)
            if (i < kVxTypeRecordWidth || (i >= kVxTypeRecordHeight + 4 && i < kVxTypeRecordKind)
                || i >= kVxTypeRecordKind + 2)
                fields.otherBytesZero = fields.otherBytesZero && record[i] == 0;
        for (std::size_t i = kVxTypeRecordSize; i < sizeof record; ++i)
            EXPECT_EQ(record[i], 0xCD) << "written past the record";
        return fields;
    }

    // SetImageSize of a copy of the picture; the result's picture, released.
    QImage resized(VXHANDLE input, int width, int height)
    {
        VXHANDLE output = s_com->setImageSize(input, width, height);
        if (!output)
            return {};
        QImage picture = pictureOf(output);
        s_com->freeMemory(output);
        return picture;
    }

    static Com* s_com;
    std::size_t m_blocks = 0;
};

Com* Vx7Com::s_com = nullptr;

// Buffer helpers: a buffer of n bytes pre-filled so that a missing NUL shows.
std::vector<char> buffer(std::size_t n, const std::string& text = {})
{
    std::vector<char> b(n, '#');
    if (!text.empty() || n > 0)
        std::memcpy(b.data(), text.c_str(), std::min(n, text.size() + 1));
    return b;
}

}  // namespace

// ---------------------------------------------------------------------------
// Image handles

TEST_F(Vx7Com, TypeRecordOfRasterAndVectorHandles)
{
    QImage image(37, 21, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    VXHANDLE raster = rasterOf(image);
    int ok = 0;
    TypeRecord record = typeOf(raster, &ok);
    EXPECT_NE(ok, 0);
    EXPECT_EQ(record.width, 37);
    EXPECT_EQ(record.height, 21);
    EXPECT_EQ(record.kind, kVxKindRaster);
    EXPECT_TRUE(record.otherBytesZero);

    // A top-down DIB: the height is still the number of rows.
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(ImageMemory(raster)));
    header->biHeight = -header->biHeight;
    GlobalUnlock(ImageMemory(raster));
    record = typeOf(raster, &ok);
    EXPECT_NE(ok, 0);
    EXPECT_EQ(record.height, 21);
    s_com->freeMemory(raster);

    VXHANDLE vector = vectorOf(2, 640, 480, 16);
    record = typeOf(vector, &ok);
    EXPECT_NE(ok, 0);
    EXPECT_EQ(record.width, 640);
    EXPECT_EQ(record.height, 480);
    EXPECT_EQ(record.kind, kVxKindVector);
    s_com->freeMemory(vector);

    // Handles that are nothing: a freed one, a short block, a block of
    // garbage, a DIB whose bits are cut off.
    record = typeOf(raster, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_TRUE(record.otherBytesZero);
    EXPECT_EQ(record.width, 0);
    VXHANDLE tiny = blockOf({1, 2, 3});
    VXHANDLE garbage = blockOf(std::vector<unsigned char>(200, 0x5A));
    std::vector<unsigned char> cut = packedDibOf(image);
    cut.resize(cut.size() - 10);
    VXHANDLE truncated = blockOf(cut);
    VXHANDLE vectorWithoutData = vectorOf(2, 640, 480, 16);
    GlobalReAlloc(ImageMemory(vectorWithoutData), 38, 0);
    for (VXHANDLE bad : {static_cast<VXHANDLE>(nullptr), tiny, garbage, truncated, vectorWithoutData}) {
        typeOf(bad, &ok);
        EXPECT_EQ(ok, 0);
        s_com->freeMemory(bad);
    }
    EXPECT_EQ(s_com->getImageType(nullptr, nullptr), 0);
}

TEST_F(Vx7Com, SetImageSizeAveragesAreasWhenShrinking)
{
    // One white column in eight: every output pixel of an eighth is the mean,
    // 255 / 8. Sampling between pixel centres (bilinear) would see only the
    // black columns.
    QImage sparse(64, 8, QImage::Format_RGB32);
    sparse.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; x += 8)
            sparse.setPixel(x, y, qRgb(255, 255, 255));
    const QImage eighth = resized(rasterOf(sparse), 8, 1);
    ASSERT_EQ(eighth.size(), QSize(8, 1));
    for (int x = 0; x < 8; ++x)
        EXPECT_NEAR(qRed(eighth.pixel(x, 0)), 32, 1) << x;

    // A one-pixel checkerboard averages to grey.
    const QImage quarter = resized(rasterOf(checkerboard(64, 48)), 16, 12);
    ASSERT_EQ(quarter.size(), QSize(16, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_NEAR(qRed(quarter.pixel(x, y)), 128, 1) << x << "," << y;

    // A ratio that is no whole number: every output pixel covers about three
    // source pixels, partly; the mean stays near grey where pixel centres
    // would fall on black or white.
    const QImage third = resized(rasterOf(checkerboard(100, 100)), 33, 33);
    ASSERT_EQ(third.size(), QSize(33, 33));
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 33; ++x)
            EXPECT_NEAR(qGreen(third.pixel(x, y)), 128, 20) << x << "," << y;

    // The main window's case: 1024 × 768 to 321 × 241; a flat picture stays
    // exactly flat.
    QImage flat(1024, 768, QImage::Format_RGB32);
    flat.fill(qRgb(12, 200, 99));
    const QImage fitted = resized(rasterOf(flat), 321, 241);
    ASSERT_EQ(fitted.size(), QSize(321, 241));
    EXPECT_EQ(channelSpread(fitted), 200 - 12);
    EXPECT_EQ(fitted.pixel(0, 0), qRgb(12, 200, 99));
    EXPECT_EQ(fitted.pixel(320, 240), qRgb(12, 200, 99));
    EXPECT_EQ(fitted.pixel(160, 120), qRgb(12, 200, 99));

    // Very large ratios (a panorama row to a thumbnail): one white pixel in
    // 6000 black ones is all but lost, and the inverse all but white.
    QImage row(6000, 1, QImage::Format_RGB32);
    row.fill(qRgb(0, 0, 0));
    row.setPixel(0, 0, qRgb(255, 255, 255));
    for (int width : {20, 1}) {
        const QImage dark = resized(rasterOf(row), width, 1);
        ASSERT_EQ(dark.width(), width);
        EXPECT_LE(qRed(dark.pixel(0, 0)), 2) << width;
    }
    row.invertPixels();
    for (int width : {20, 1}) {
        const QImage light = resized(rasterOf(row), width, 1);
        ASSERT_EQ(light.width(), width);
        EXPECT_GE(qRed(light.pixel(0, 0)), 253) << width;
    }

    // Halves of different colours keep their colours and their place.
    QImage halves(200, 100, QImage::Format_RGB32);
    halves.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    const QImage small = resized(rasterOf(halves), 20, 10);
    ASSERT_EQ(small.size(), QSize(20, 10));
    EXPECT_EQ(small.pixel(9, 0), qRgb(255, 0, 0));
    EXPECT_EQ(small.pixel(10, 9), qRgb(0, 0, 255));
}

TEST_F(Vx7Com, SetImageSizeInterpolatesWhenGrowing)
{
    QImage ramp(4, 1, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        ramp.setPixel(x, 0, qRgb(x * 80, 0, 0));
    const QImage wide = resized(rasterOf(ramp), 16, 3);
    ASSERT_EQ(wide.size(), QSize(16, 3));
    EXPECT_EQ(qRed(wide.pixel(0, 0)), 0);
    EXPECT_EQ(qRed(wide.pixel(15, 2)), 240);
    for (int x = 1; x < 16; ++x)
        EXPECT_GE(qRed(wide.pixel(x, 1)), qRed(wide.pixel(x - 1, 1))) << x;
    // Between the first two pixel centres there are values between them.
    EXPECT_GT(qRed(wide.pixel(3, 0)), 0);
    EXPECT_LT(qRed(wide.pixel(3, 0)), 80);

    // Growing one way and shrinking the other.
    const QImage mixed = resized(rasterOf(checkerboard(40, 2)), 10, 8);
    ASSERT_EQ(mixed.size(), QSize(10, 8));
    EXPECT_NEAR(qBlue(mixed.pixel(5, 4)), 128, 1);
}

TEST_F(Vx7Com, SetImageSizeTakesOverItsInputInEveryCase)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(qRgb(50, 60, 70));

    const std::size_t before = GlobalBlockCount();
    VXHANDLE output = s_com->setImageSize(rasterOf(image), 15, 10);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(GlobalBlockCount(), before + 1);  // the input is gone
    EXPECT_EQ(pictureOf(output).pixel(7, 5), qRgb(50, 60, 70));
    s_com->freeMemory(output);

    // The same size: a handle of that size (possibly the input itself).
    output = s_com->setImageSize(rasterOf(image), 30, 20);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(GlobalBlockCount(), before + 1);
    EXPECT_EQ(pictureOf(output).size(), QSize(30, 20));
    s_com->freeMemory(output);

    // Failures free the input too: sizes that are no sizes, a block that is
    // no raster, a picture over 2^28 pixels.
    EXPECT_EQ(s_com->setImageSize(rasterOf(image), 0, 10), nullptr);
    EXPECT_EQ(s_com->setImageSize(rasterOf(image), 10, -1), nullptr);
    EXPECT_EQ(s_com->setImageSize(rasterOf(image), 20000, 20000), nullptr);
    EXPECT_EQ(s_com->setImageSize(blockOf(std::vector<unsigned char>(64, 1)), 10, 10), nullptr);
    EXPECT_EQ(s_com->setImageSize(vectorOf(1, 10, 10, 0), 10, 10), nullptr);
    EXPECT_EQ(s_com->setImageSize(nullptr, 10, 10), nullptr);
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST_F(Vx7Com, SetImageSizeOfPalettedAndTopDownRasters)
{
    QImage indexed(8, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            indexed.setPixel(x, y, y < 2 ? 0u : 1u);
    const QImage grown = resized(paletteRasterOf(indexed), 16, 8);
    ASSERT_EQ(grown.size(), QSize(16, 8));
    EXPECT_EQ(grown.pixel(3, 0), qRgb(255, 0, 0));
    EXPECT_EQ(grown.pixel(3, 7), qRgb(0, 0, 255));

    // Rows stored top-down: the picture stays upright.
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(0, 255, 0));
    for (int x = 0; x < 10; ++x)
        image.setPixel(x, 0, qRgb(255, 255, 255));
    std::vector<unsigned char> dib = packedDibOf(image);
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    const std::size_t stride = 32;
    std::vector<unsigned char> flipped(dib.size());
    std::memcpy(flipped.data(), dib.data(), sizeof header);
    for (int row = 0; row < 10; ++row)
        std::memcpy(flipped.data() + sizeof header + row * stride, dib.data() + sizeof header + (9 - row) * stride,
                    stride);
    header.biHeight = -10;
    std::memcpy(flipped.data(), &header, sizeof header);
    const QImage half = resized(blockOf(flipped), 5, 5);
    ASSERT_EQ(half.size(), QSize(5, 5));
    EXPECT_GT(qRed(half.pixel(2, 0)), 100);
    EXPECT_EQ(half.pixel(2, 4), qRgb(0, 255, 0));
}

TEST_F(Vx7Com, FreeMemoryReleasesAndIgnoresWhatIsNoHandle)
{
    const std::size_t before = GlobalBlockCount();
    VXHANDLE block = blockOf({1, 2, 3});
    s_com->freeMemory(block);
    EXPECT_EQ(GlobalBlockCount(), before);
    s_com->freeMemory(block);  // already freed: nothing happens
    s_com->freeMemory(nullptr);
    EXPECT_EQ(GlobalBlockCount(), before);
}

// ---------------------------------------------------------------------------
// Drawing

TEST_F(Vx7Com, PaletteSizeOfDibHeaders)
{
    BITMAPINFOHEADER header;
    header.biSize = 40;
    header.biWidth = 4;
    header.biHeight = 4;
    header.biPlanes = 1;
    header.biBitCount = 8;
    EXPECT_EQ(s_com->getDibPalSize(&header), 1024);
    header.biClrUsed = 16;
    EXPECT_EQ(s_com->getDibPalSize(&header), 64);
    header.biClrUsed = 0;
    header.biBitCount = 1;
    EXPECT_EQ(s_com->getDibPalSize(&header), 8);
    header.biBitCount = 4;
    EXPECT_EQ(s_com->getDibPalSize(&header), 64);
    header.biBitCount = 24;
    EXPECT_EQ(s_com->getDibPalSize(&header), 0);
    EXPECT_EQ(s_com->getDibPalSize(nullptr), 0);
}

TEST_F(Vx7Com, BoxesAndLinesOnADeviceContext)
{
    QImage surface(20, 20, QImage::Format_RGB32);
    surface.fill(qRgb(255, 255, 255));
    HDC dc = CreateImageDC(&surface);
    LOGPEN pen;
    pen.lopnColor = 0x00123456;
    SetDCPen(dc, pen);
    SetROP2(dc, R2_XORPEN);
    MoveToEx(dc, 7, 8, nullptr);

    // Filled box, right and bottom exclusive; colour 0x00BBGGRR.
    EXPECT_NE(s_com->boxFull(dc, 2, 3, 6, 8, 0x000000FF), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
            EXPECT_EQ(surface.pixel(x, y), inside ? qRgb(255, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
        }

    // Outline, one pixel and two pixels wide, inside the box.
    surface.fill(qRgb(255, 255, 255));
    EXPECT_NE(s_com->box(dc, 1, 1, 9, 7, 1, 0x0000FF00), 0);
    EXPECT_EQ(surface.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(8, 6), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(4, 6), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(9, 6), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(4, 7), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(7, 5), qRgb(255, 255, 255));
    surface.fill(qRgb(255, 255, 255));
    EXPECT_NE(s_com->box(dc, 10, 10, 20, 20, 2, 0x00FF0000), 0);
    EXPECT_EQ(surface.pixel(11, 11), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(18, 18), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(12, 12), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(17, 17), qRgb(255, 255, 255));

    // A line excludes its end point.
    surface.fill(qRgb(255, 255, 255));
    EXPECT_NE(s_com->line(dc, 0, 10, 10, 10, 1, 0x00000000), 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(surface.pixel(x, 10), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(surface.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(5, 9), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(5, 11), qRgb(255, 255, 255));

    // The context's own state is as it was: its pen, its XOR mix mode and its
    // current position, from which a line now starts.
    EXPECT_EQ(GetDCPen(dc).lopnColor, 0x00123456u);
    surface.fill(qRgb(255, 255, 255));
    LineTo(dc, 9, 8);
    EXPECT_EQ(surface.pixel(6, 8), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(7, 8), qRgb(0xA9, 0xCB, 0xED));  // 0x123456 XOR white
    EXPECT_EQ(surface.pixel(8, 8), qRgb(0xA9, 0xCB, 0xED));

    EXPECT_EQ(s_com->boxFull(nullptr, 0, 0, 1, 1, 0), 0);
    EXPECT_EQ(s_com->box(nullptr, 0, 0, 1, 1, 1, 0), 0);
    EXPECT_EQ(s_com->line(nullptr, 0, 0, 1, 1, 1, 0), 0);
    DeleteDC(dc);
}

TEST_F(Vx7Com, StretchDibitsDrawsTheDib)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(9, 9, 9));
    const std::vector<unsigned char> dib = packedDibOf(picture);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    QImage surface(8, 8, QImage::Format_RGB32);
    surface.fill(qRgb(255, 255, 255));
    HDC dc = CreateImageDC(&surface);
    SetStretchBltMode(dc, COLORONCOLOR);
    EXPECT_EQ(s_com->stretchDIBits(dc, 2, 2, 4, 4, 0, 0, 2, 2, dib.data() + sizeof(BITMAPINFOHEADER), info,
                                   DIB_RGB_COLORS, SRCCOPY),
              2);
    EXPECT_EQ(surface.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(5, 2), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(2, 5), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(5, 5), qRgb(9, 9, 9));
    EXPECT_EQ(surface.pixel(6, 6), qRgb(255, 255, 255));
    EXPECT_EQ(s_com->stretchDIBits(dc, 0, 0, 4, 4, 0, 0, 2, 2, nullptr, info, DIB_RGB_COLORS, SRCCOPY), 0);
    DeleteDC(dc);
}

// ---------------------------------------------------------------------------
// Paths and notations

TEST_F(Vx7Com, SetTermYenEndsAPathWithOneSlash)
{
    auto b = buffer(16, "/home/a");
    EXPECT_NE(s_com->setTermYEN(b.data(), 16), 0);
    EXPECT_STREQ(b.data(), "/home/a/");
    EXPECT_NE(s_com->setTermYEN(b.data(), 16), 0);
    EXPECT_STREQ(b.data(), "/home/a/");
    b = buffer(4, "/");
    EXPECT_NE(s_com->setTermYEN(b.data(), 4), 0);
    EXPECT_STREQ(b.data(), "/");
    // An empty path stays empty rather than becoming the root.
    b = buffer(4, "");
    EXPECT_NE(s_com->setTermYEN(b.data(), 4), 0);
    EXPECT_STREQ(b.data(), "");

    // No room for the slash: refused, unchanged.
    b = buffer(8, "/home/a");
    EXPECT_EQ(s_com->setTermYEN(b.data(), 8), 0);
    EXPECT_STREQ(b.data(), "/home/a");
    // Not terminated within its size: refused, nothing written.
    b = std::vector<char>(4, 'x');
    EXPECT_EQ(s_com->setTermYEN(b.data(), 4), 0);
    EXPECT_EQ(std::string(b.data(), 4), "xxxx");
    EXPECT_EQ(s_com->setTermYEN(nullptr, 10), 0);
}

TEST_F(Vx7Com, GetFullpathFilenameSplitsAfterTheLastSlash)
{
    const auto split = [&](const char* path, std::string* folder, std::string* name, int size = 64) {
        auto f = buffer(std::size_t(size)), n = buffer(std::size_t(size));
        const int ok = s_com->getFullpathFilename(path, f.data(), size, n.data(), size);
        *folder = f.data();
        *name = n.data();
        return ok;
    };
    std::string folder, name;
    EXPECT_NE(split("/photos/2024/写真.jpg", &folder, &name), 0);
    EXPECT_EQ(folder, "/photos/2024");
    EXPECT_EQ(name, "写真.jpg");
    EXPECT_NE(split("/a.jpg", &folder, &name), 0);
    EXPECT_EQ(folder, "/");
    EXPECT_EQ(name, "a.jpg");
    EXPECT_NE(split("a.jpg", &folder, &name), 0);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "a.jpg");
    EXPECT_NE(split("/photos/", &folder, &name), 0);
    EXPECT_EQ(folder, "/photos");
    EXPECT_EQ(name, "");
    EXPECT_NE(split("/", &folder, &name), 0);
    EXPECT_EQ(folder, "/");
    EXPECT_EQ(name, "");

    // Either part too long: both empty, failure.
    EXPECT_EQ(split("/photos/a-long-name.jpg", &folder, &name, 10), 0);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "");
    EXPECT_EQ(s_com->getFullpathFilename(nullptr, nullptr, 0, nullptr, 0), 0);
}

TEST_F(Vx7Com, PageSuffixOfSlideListEntries)
{
    struct Case {
        const char* entry;
        int page;
        const char* cut;  // nullptr: nothing to cut
    };
    const Case cases[] = {
        {"/p/scan.tif|0", 0, "/p/scan.tif"},
        {"/p/scan.tif|5", 5, "/p/scan.tif"},
        {"/p/scan.tif|00012", 12, "/p/scan.tif"},
        {"/p/scan.tif|32767", 32767, "/p/scan.tif"},
        {"/p/scan.tif|32768", 0, nullptr},   // over the largest page
        {"/p/scan.tif|123456", 0, nullptr},  // six digits: part of the name
        {"/p/scan.tif|", 0, nullptr},        // no digits
        {"/p/scan.tif|1a", 0, nullptr},
        {"/p/scan.tif", 0, nullptr},
        {"/p|3/scan.tif", 0, nullptr},
        {"", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(s_com->getPagefromFilename(c.entry), c.page);
        std::string text = c.entry;
        EXPECT_EQ(s_com->cutPagefromFilename(text.data()) != 0, c.cut != nullptr);
        EXPECT_STREQ(text.c_str(), c.cut ? c.cut : c.entry);
    }
    EXPECT_EQ(s_com->getPagefromFilename(nullptr), 0);
    EXPECT_EQ(s_com->cutPagefromFilename(nullptr), 0);

    // "|" is legal in a name: a file that exists as the entry stands is that
    // file, not a page of another.
    testfiles::TempFolder folder;
    const std::string named = folder.file("scan|2");
    testfiles::writeFile(named, "x");
    EXPECT_EQ(s_com->getPagefromFilename(named.c_str()), 0);
    std::string text = named;
    EXPECT_EQ(s_com->cutPagefromFilename(text.data()), 0);
    EXPECT_EQ(text, named);
    EXPECT_EQ(s_com->getPagefromFilename(folder.file("scan|3").c_str()), 3) << "no such file: a page suffix";
}

TEST_F(Vx7Com, GetPathDirListsFolders)
{
    testfiles::TempFolder temp;
    const std::string odd = temp.file("with;semicolon:and colon");
    ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0);
    auto b = buffer(512);
    EXPECT_NE(s_com->getPathDir(0, odd.c_str(), b.data(), 512), 0);
    EXPECT_EQ(std::string(b.data()), odd);
    EXPECT_EQ(s_com->getPathDir(1, odd.c_str(), b.data(), 512), 0);

    const std::string list = temp.path() + ";/nowhere/a;;/nowhere/b;";
    std::vector<std::string> folders;
    for (int i = 0; s_com->getPathDir(i, list.c_str(), b.data(), 512); ++i)
        folders.push_back(b.data());
    EXPECT_EQ(folders, (std::vector<std::string>{temp.path(), "/nowhere/a", "/nowhere/b"}));
    EXPECT_STREQ(b.data(), "");

    b = buffer(6);
    EXPECT_EQ(s_com->getPathDir(0, "/nowhere/a", b.data(), 6), 0);
    EXPECT_STREQ(b.data(), "");
    EXPECT_EQ(s_com->getPathDir(0, "", b.data(), 6), 0);
    EXPECT_EQ(s_com->getPathDir(-1, "/a", b.data(), 6), 0);
}

TEST_F(Vx7Com, ExtensionTableAndKeys)
{
    std::vector<char> table(std::size_t(kVxExtSlots) * kVxExtSlotSize, 'z');
    EXPECT_EQ(s_com->getPathFileExt("", "bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf", table.data()), 13);
    EXPECT_STREQ(table.data(), "bmp");
    EXPECT_STREQ(table.data() + 12 * kVxExtSlotSize, "emf");
    EXPECT_TRUE(std::all_of(table.begin() + 12 * kVxExtSlotSize + 4, table.end(), [](char c) { return c == 0; }));

    const auto key = [&](const char* name) {
        auto k = buffer(8);
        const int ok = s_com->getFileExt(name, k.data(), 8, table.data());
        return ok ? std::string(k.data()) : "refused:" + std::string(k.data());
    };
    EXPECT_EQ(key("a.bmp"), "000");
    EXPECT_EQ(key("photo.JPG"), "001");
    EXPECT_EQ(key("archive.tar.emf"), "012");
    EXPECT_EQ(key("x.Tiff"), "007");
    EXPECT_EQ(key("noextension"), "refused:");
    EXPECT_EQ(key("trailing."), "refused:");
    EXPECT_EQ(key("a.psd"), "refused:");
    auto small = buffer(3);
    EXPECT_EQ(s_com->getFileExt("a.bmp", small.data(), 3, table.data()), 0);
    EXPECT_STREQ(small.data(), "");

    // Blanks, "*." and "." prefixes, empty pieces; letter case of non-ASCII
    // extensions; a 63-byte extension fits its slot, a 64-byte one is left out.
    const std::string fits(63, 'e'), over(64, 'o');
    const std::string list = " *.png ; .GIF;;ÄBC;" + over + ";" + fits;
    EXPECT_EQ(s_com->getPathFileExt("", list.c_str(), table.data()), 4);
    EXPECT_STREQ(table.data(), "png");
    EXPECT_STREQ(table.data() + kVxExtSlotSize, "GIF");
    EXPECT_EQ(std::string(table.data() + 3 * kVxExtSlotSize), fits);
    EXPECT_EQ(key("a.gif"), "001");
    EXPECT_EQ(key("b.äbc"), "002");
    EXPECT_EQ(key(("c." + fits).c_str()), "003");
    EXPECT_EQ(key(("d." + over).c_str()), "refused:");

    // More than 1000 entries: the first 1000 are kept.
    std::string many;
    for (int i = 0; i < 1200; ++i)
        many += "x" + std::to_string(i) + ";";
    EXPECT_EQ(s_com->getPathFileExt("", many.c_str(), table.data()), 1000);
    EXPECT_EQ(key("f.x999"), "999");
    EXPECT_EQ(key("f.x1000"), "refused:");

    EXPECT_EQ(s_com->getPathFileExt("", "", table.data()), 0);
    EXPECT_EQ(s_com->getPathFileExt("", nullptr, table.data()), 0);
    EXPECT_EQ(s_com->getPathFileExt("", "bmp", nullptr), 0);
}

TEST_F(Vx7Com, DateKeysSortAsTimes)
{
    testfiles::TempFolder temp;
    testfiles::writeFile(temp.file("old.jpg"), "x");
    testfiles::writeFile(temp.file("new.jpg"), "y");
    // 2021-03-04 05:06:07.89 UTC written, 1999-12-31 23:59:59.05 read.
    const struct timeval old[2] = {{946684799, 50000}, {1614834367, 890000}};
    ASSERT_EQ(::utimes(temp.file("old.jpg").c_str(), old), 0);
    const struct timeval later[2] = {{946684799, 50000}, {1614834368, 0}};
    ASSERT_EQ(::utimes(temp.file("new.jpg").c_str(), later), 0);

    char creation[kVxDateKeySize], written[kVxDateKeySize], read[kVxDateKeySize];
    ASSERT_NE(s_com->getFileDateTimeEx("old.jpg", temp.path().c_str(), creation, written, read), 0);
    EXPECT_STREQ(written, "202103040506078");
    EXPECT_STREQ(read, "199912312359590");
    EXPECT_EQ(std::strlen(creation), 15u);
    EXPECT_TRUE(std::all_of(creation, creation + 15, [](char c) { return c >= '0' && c <= '9'; }));

    char newer[kVxDateKeySize];
    ASSERT_NE(s_com->getFileDateTimeEx("new.jpg", (temp.path() + "/").c_str(), nullptr, newer, nullptr), 0);
    EXPECT_STREQ(newer, "202103040506080");
    EXPECT_LT(std::strcmp(written, newer), 0);

    std::memset(written, 'q', sizeof written);
    EXPECT_EQ(s_com->getFileDateTimeEx("missing.jpg", temp.path().c_str(), creation, written, read), 0);
    EXPECT_STREQ(written, "");
    EXPECT_EQ(s_com->getFileDateTimeEx(nullptr, temp.path().c_str(), creation, written, read), 0);
}

TEST_F(Vx7Com, DrivesAndDataFiles)
{
    testfiles::TempFolder temp;
    testfiles::writeFile(temp.file("a.txt"), "list");
    ASSERT_EQ(::mkfifo(temp.file("pipe.txt").c_str(), 0600), 0);

    EXPECT_NE(s_com->isSetDrive("/"), 0);
    EXPECT_NE(s_com->isSetDrive(temp.path().c_str()), 0);
    EXPECT_NE(s_com->isSetDrive(temp.file("not/yet/there.txt").c_str()), 0);
    EXPECT_NE(s_com->isSetDrive("relative/path"), 0);
    EXPECT_EQ(s_com->isSetDrive(""), 0);
    EXPECT_EQ(s_com->isSetDrive(nullptr), 0);

    EXPECT_NE(s_com->dataFileExist(temp.file("a.txt").c_str()), 0);
    EXPECT_EQ(s_com->dataFileExist(temp.path().c_str()), 0);
    EXPECT_EQ(s_com->dataFileExist(temp.file("pipe.txt").c_str()), 0);  // opening it would block
    EXPECT_EQ(s_com->dataFileExist(temp.file("missing.txt").c_str()), 0);
    EXPECT_EQ(s_com->dataFileExist(nullptr), 0);
}

TEST_F(Vx7Com, StrRightCopyCountsCharacters)
{
    const char* text = "写真ABC.jpg";  // 9 characters, 13 bytes
    auto b = buffer(32);
    EXPECT_NE(s_com->strRightCopy(b.data(), 32, text, 8), 0);
    EXPECT_STREQ(b.data(), "真ABC.jpg");
    EXPECT_NE(s_com->strRightCopy(b.data(), 32, text, 3), 0);
    EXPECT_STREQ(b.data(), "jpg");
    EXPECT_NE(s_com->strRightCopy(b.data(), 32, text, 100), 0);
    EXPECT_STREQ(b.data(), text);
    EXPECT_NE(s_com->strRightCopy(b.data(), 32, text, 0), 0);
    EXPECT_STREQ(b.data(), "");

    // The last 8 characters take 10 bytes and the NUL one more.
    b = buffer(10);
    EXPECT_EQ(s_com->strRightCopy(b.data(), 10, text, 8), 0);
    EXPECT_STREQ(b.data(), "");
    b = buffer(11);
    EXPECT_NE(s_com->strRightCopy(b.data(), 11, text, 8), 0);
    EXPECT_STREQ(b.data(), "真ABC.jpg");
    EXPECT_EQ(s_com->strRightCopy(nullptr, 0, text, 1), 0);
}

// ---------------------------------------------------------------------------
// The vector module

TEST(Vx7VectCom, TokensAndRasterOfVectorHandles)
{
    VectCom vect;
    ASSERT_TRUE(vect.toRaster && vect.start && vect.end) << LastModuleError();
    const std::size_t before = GlobalBlockCount();

    const std::int32_t first = vect.start();
    const std::int32_t second = vect.start();
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    EXPECT_NE(first, second);
    vect.end(second);
    vect.end(first);
    vect.end(0);

    // No vector format is rendered yet: every handle gives 0, and the handle
    // given stays the caller's.
    VXHANDLE vector = vectorOf(1, 100, 50, 8);
    EXPECT_EQ(vect.toRaster(vector, 24, -1, 255, 192, 192), nullptr);
    EXPECT_EQ(GlobalSize(ImageMemory(vector)), 40u);
    GlobalFree(ImageMemory(vector));
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(0);
    VXHANDLE raster = rasterOf(image);
    EXPECT_EQ(vect.toRaster(raster, 24, -1, 0, 0, 0), nullptr);
    GlobalFree(ImageMemory(raster));
    EXPECT_EQ(vect.toRaster(nullptr, 24, -1, 0, 0, 0), nullptr);
    EXPECT_EQ(GlobalBlockCount(), before);
}
