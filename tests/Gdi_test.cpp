#include "Gdi.h"
#include "RasterHandles.h"
#include "UniqueDC.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRandomGenerator>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using DcPtr = UniqueDC;

QImage whiteImage(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(Qt::white);
    return image;
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

int count(const QImage& image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == (color | 0xFF000000u);
    return n;
}

// A packed DIB: header, colour table, bits.
struct Dib {
    std::vector<unsigned char> bytes;
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(bytes.data()); }
    BITMAPINFOHEADER& header() { return *reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    const unsigned char* bits() const
    {
        const auto& h = *reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
        return bytes.data() + h.biSize + DibColorTableSize(h);
    }
};

Dib makeDib(int width, int height, int bitCount, const std::vector<QRgb>& table,
            const std::vector<std::vector<unsigned char>>& storedRows)
{
    BITMAPINFOHEADER h;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biClrUsed = static_cast<DWORD>(table.size());
    Dib dib;
    dib.bytes.resize(sizeof h);
    std::memcpy(dib.bytes.data(), &h, sizeof h);
    for (QRgb c : table) {
        const unsigned char quad[4] = {static_cast<unsigned char>(qBlue(c)), static_cast<unsigned char>(qGreen(c)),
                                       static_cast<unsigned char>(qRed(c)), 0};
        dib.bytes.insert(dib.bytes.end(), quad, quad + 4);
    }
    for (const auto& row : storedRows)
        dib.bytes.insert(dib.bytes.end(), row.begin(), row.end());
    return dib;
}

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

QImage noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFF));
    return image;
}

}  // namespace

// ---- DIBs

TEST(Gdi, StretchDIBitsEightBitPaletteBottomUp)
{
    // 3 x 2, rows padded to 4 bytes; the first stored row is the bottom one.
    const Dib dib = makeDib(3, 2, 8, {kRed, kGreen, kBlue, kBlack}, {{2, 2, 1, 0xEE}, {0, 1, 3, 0xEE}});
    QImage image = whiteImage(3, 2);
    DcPtr dc(CreateImageDC(&image));
    EXPECT_EQ(StretchDIBits(dc.get(), 0, 0, 3, 2, 0, 0, 3, 2, dib.bits(), dib.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(at(image, 0, 0), kRed);
    EXPECT_EQ(at(image, 1, 0), kGreen);
    EXPECT_EQ(at(image, 2, 0), kBlack);
    EXPECT_EQ(at(image, 0, 1), kBlue);
    EXPECT_EQ(at(image, 1, 1), kBlue);
    EXPECT_EQ(at(image, 2, 1), kGreen);
}

TEST(Gdi, StretchDIBitsTwentyFourBitTopDownPaddedRows)
{
    // Width 3: 9 bytes of pixels and 3 of padding per row; negative height = top-down.
    const Dib dib = makeDib(3, -2, 24, {},
                            {{0, 0, 255, 0, 255, 0, 255, 0, 0, 9, 9, 9},       // red, green, blue
                             {10, 20, 30, 255, 255, 255, 0, 0, 0, 9, 9, 9}});  // (30,20,10), white, black
    QImage image = whiteImage(3, 2, QImage::Format_BGR888);
    DcPtr dc(CreateImageDC(&image));
    EXPECT_EQ(StretchDIBits(dc.get(), 0, 0, 3, 2, 0, 0, 3, 2, dib.bits(), dib.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(at(image, 0, 0), kRed);
    EXPECT_EQ(at(image, 1, 0), kGreen);
    EXPECT_EQ(at(image, 2, 0), kBlue);
    EXPECT_EQ(at(image, 0, 1), qRgb(30, 20, 10));
    EXPECT_EQ(at(image, 1, 1), kWhite);
    EXPECT_EQ(at(image, 2, 1), kBlack);
}

TEST(Gdi, StretchDIBitsOneFourSixteenAndThirtyTwoBits)
{
    QImage image = whiteImage(10, 1);
    DcPtr dc(CreateImageDC(&image));
    // 1 bit: 10 pixels 1010000011, most significant bit first.
    const Dib mono = makeDib(10, 1, 1, {kBlack, kRed}, {{0b10100000, 0b11000000, 0, 0}});
    ASSERT_EQ(StretchDIBits(dc.get(), 0, 0, 10, 1, 0, 0, 10, 1, mono.bits(), mono.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    const char* expected = "RKRKKKKKRR";
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(at(image, x, 0), expected[x] == 'R' ? kRed : kBlack) << x;
    // 4 bits: high nibble first.
    const Dib four = makeDib(3, 1, 4, {kBlack, kRed, kGreen}, {{0x12, 0x00, 0, 0}});
    ASSERT_EQ(StretchDIBits(dc.get(), 0, 0, 3, 1, 0, 0, 3, 1, four.bits(), four.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(at(image, 0, 0), kRed);
    EXPECT_EQ(at(image, 1, 0), kGreen);
    EXPECT_EQ(at(image, 2, 0), kBlack);
    // 16 bits x-5-5-5 and 32 bits B, G, R, x.
    const Dib sixteen = makeDib(2, 1, 16, {}, {{0x00, 0x7C, 0x1F, 0x00}});  // red, blue
    ASSERT_EQ(StretchDIBits(dc.get(), 0, 0, 2, 1, 0, 0, 2, 1, sixteen.bits(), sixteen.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(at(image, 0, 0), kRed);
    EXPECT_EQ(at(image, 1, 0), kBlue);
    const Dib wide = makeDib(1, 1, 32, {}, {{1, 2, 3, 0}});
    ASSERT_EQ(StretchDIBits(dc.get(), 5, 0, 1, 1, 0, 0, 1, 1, wide.bits(), wide.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(at(image, 5, 0), qRgb(3, 2, 1));
}

TEST(Gdi, StretchDIBitsStretchesByNearestPixelAndCountsSourceRowsFromTheBottom)
{
    const Dib dib = makeDib(2, 2, 8, {kRed, kGreen, kBlue, kBlack}, {{2, 3, 0, 0}, {0, 1, 0, 0}});  // top: R G, bottom: B K
    QImage image = whiteImage(6, 6);
    DcPtr dc(CreateImageDC(&image));
    ASSERT_EQ(StretchDIBits(dc.get(), 0, 0, 6, 6, 0, 0, 2, 2, dib.bits(), dib.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const QRgb want = y < 3 ? (x < 3 ? kRed : kGreen) : (x < 3 ? kBlue : kBlack);
            ASSERT_EQ(at(image, x, y), want) << x << "," << y;
        }
    // Source row 0 of a bottom-up DIB is the bottom one.
    image.fill(Qt::white);
    ASSERT_EQ(StretchDIBits(dc.get(), 0, 0, 2, 1, 0, 0, 2, 1, dib.bits(), dib.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(at(image, 0, 0), kBlue);
    EXPECT_EQ(at(image, 1, 0), kBlack);
    EXPECT_EQ(at(image, 0, 1), kWhite);
}

TEST(Gdi, StretchDIBitsRefusesBadCalls)
{
    const Dib dib = makeDib(2, 2, 8, {kRed, kGreen}, {{0, 1, 0, 0}, {1, 0, 0, 0}});
    QImage image = whiteImage(4, 4);
    DcPtr dc(CreateImageDC(&image));
    const auto draw = [&](const BITMAPINFO* info, const void* bits, int w = 2, UINT usage = DIB_RGB_COLORS) {
        return StretchDIBits(dc.get(), 0, 0, w, 2, 0, 0, 2, 2, bits, info, usage, SRCCOPY);
    };
    EXPECT_EQ(draw(dib.info(), nullptr), 0);
    EXPECT_EQ(draw(nullptr, dib.bits()), 0);
    EXPECT_EQ(draw(dib.info(), dib.bits(), 2, DIB_PAL_COLORS), 0);
    EXPECT_EQ(draw(dib.info(), dib.bits(), -2), 0);  // mirroring is not supported
    EXPECT_EQ(draw(dib.info(), dib.bits(), 0), 0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits(), dib.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    for (auto spoil : std::vector<void (*)(BITMAPINFOHEADER&)>{
             [](BITMAPINFOHEADER& h) { h.biBitCount = 2; },
             [](BITMAPINFOHEADER& h) { h.biCompression = 1; },
             [](BITMAPINFOHEADER& h) { h.biPlanes = 2; },
             [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; },
             [](BITMAPINFOHEADER& h) { h.biSize = 12; },
             [](BITMAPINFOHEADER& h) { h.biWidth = 0; },
             [](BITMAPINFOHEADER& h) { h.biHeight = 0; },
             [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; },  // would need far more than 2 GB
         }) {
        Dib bad = dib;
        spoil(bad.header());
        EXPECT_EQ(draw(bad.info(), dib.bits()), 0);
        EXPECT_FALSE(DibIsValid(bad.info(), bad.bytes.size()));
    }
    EXPECT_EQ(count(image, kWhite), 16);
}

TEST(Gdi, DibIsValidChecksEveryPartAgainstTheGivenSize)
{
    const Dib dib = makeDib(3, 2, 24, {}, {std::vector<unsigned char>(12, 0), std::vector<unsigned char>(12, 0)});
    EXPECT_EQ(DibColorTableSize(dib.info()->bmiHeader), 0u);
    EXPECT_TRUE(DibIsValid(dib.info(), dib.bytes.size()));
    EXPECT_FALSE(DibIsValid(dib.info(), dib.bytes.size() - 1));  // the header claims one byte more than given
    EXPECT_FALSE(DibIsValid(dib.info(), 39));
    EXPECT_FALSE(DibIsValid(nullptr, 1000));

    Dib shortImage = dib;
    shortImage.header().biSizeImage = 23;
    EXPECT_FALSE(DibIsValid(shortImage.info(), shortImage.bytes.size()));
    Dib bigHeader = dib;
    bigHeader.header().biSize = 1000;
    EXPECT_FALSE(DibIsValid(bigHeader.info(), bigHeader.bytes.size()));

    // 8 bits with 2 table entries: the table is 8 bytes.
    const Dib paletted = makeDib(1, 1, 8, {kRed, kBlue}, {{1, 0, 0, 0}});
    EXPECT_EQ(DibColorTableSize(paletted.info()->bmiHeader), 8u);
    EXPECT_TRUE(DibIsValid(paletted.info(), paletted.bytes.size()));
    EXPECT_FALSE(DibIsValid(paletted.info(), paletted.bytes.size() - 4));
}

TEST(Gdi, PackedDibRoundTrip)
{
    const QImage source = noise(5, 3);
    const std::vector<unsigned char> dib = testrasters::packedDibOf(source);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    ASSERT_TRUE(DibIsValid(info, dib.size()));
    EXPECT_EQ(info->bmiHeader.biBitCount, 24);
    EXPECT_GT(info->bmiHeader.biHeight, 0);
    const QImage back = DibToImage(info, dib.data() + sizeof(BITMAPINFOHEADER));
    ASSERT_EQ(back.size(), source.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(at(back, x, y), at(source, x, y));
}

// ---- Lines, mix modes, clipping

TEST(Gdi, LineDDAVisitsTheLinesPixelsWithoutTheEndPoint)
{
    std::vector<POINT> points;
    LineDDA(0, 0, 5, 2, [](int x, int y, LPARAM data) { reinterpret_cast<std::vector<POINT>*>(data)->push_back({x, y}); },
            reinterpret_cast<LPARAM>(&points));
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points.front().x, 0);
    EXPECT_EQ(points.back().x, 4);
    // The same pixels as LineTo draws.
    QImage image = whiteImage(8, 4);
    DcPtr dc(CreateImageDC(&image));
    MoveToEx(dc.get(), 0, 0, nullptr);
    LineTo(dc.get(), 5, 2);
    EXPECT_EQ(count(image, kBlack), 5);
    for (const POINT& p : points)
        EXPECT_EQ(at(image, p.x, p.y), kBlack);
}

TEST(Gdi, NotXorFiguresDrawnTwiceRestoreEveryPixel)
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_BGR888}) {
        const QImage before = noise(60, 40).convertToFormat(format);
        QImage image = before;
        DcPtr dc(CreateImageDC(&image));
        SetROP2(dc.get(), R2_NOTXORPEN);
        SetDCBrush(dc.get(), LOGBRUSH{BS_NULL, 0, 0});
        const POINT polygon[] = {{5, 5}, {50, 12}, {20, 35}, {40, 2}};
        const auto drawAll = [&] {
            MoveToEx(dc.get(), 3, 30, nullptr);
            LineTo(dc.get(), 57, 4);
            Rectangle(dc.get(), 10, 10, 40, 30);
            Ellipse(dc.get(), 2, 3, 58, 37);
            RoundRect(dc.get(), 12, 4, 48, 36, 9, 7);
            Polygon(dc.get(), polygon, 4);
            Arc(dc.get(), 0, 0, 40, 40, 40, 20, 20, 0);
        };
        drawAll();
        EXPECT_NE(image, before);
        drawAll();
        EXPECT_EQ(image, before) << "format " << format;
    }
}

TEST(Gdi, MixModesAndDashes)
{
    QImage image = whiteImage(30, 3);
    image.setPixel(0, 0, qRgb(10, 20, 30));
    DcPtr dc(CreateImageDC(&image));
    SetROP2(dc.get(), R2_NOT);
    MoveToEx(dc.get(), 0, 0, nullptr);
    LineTo(dc.get(), 2, 0);
    EXPECT_EQ(at(image, 0, 0), qRgb(245, 235, 225));
    EXPECT_EQ(at(image, 1, 0), kBlack);
    SetROP2(dc.get(), R2_NOP);
    LineTo(dc.get(), 10, 0);
    EXPECT_EQ(count(image, kWhite), 30 * 3 - 2);

    // A dotted pen: 3 on, 3 off; the gaps take the background colour only in OPAQUE mode.
    SetROP2(dc.get(), R2_COPYPEN);
    SetDCPen(dc.get(), LOGPEN{PS_DOT, {1, 0}, 0x0000FF});
    SetBkColor(dc.get(), 0x00FF00);
    SetBkMode(dc.get(), TRANSPARENT);
    MoveToEx(dc.get(), 0, 1, nullptr);
    LineTo(dc.get(), 12, 1);
    SetBkMode(dc.get(), OPAQUE);
    MoveToEx(dc.get(), 0, 2, nullptr);
    LineTo(dc.get(), 12, 2);
    for (int x = 0; x < 12; ++x) {
        const bool on = (x / 3) % 2 == 0;
        EXPECT_EQ(at(image, x, 1), on ? kRed : kWhite) << x;
        EXPECT_EQ(at(image, x, 2), on ? kRed : kGreen) << x;
    }
    EXPECT_EQ(at(image, 12, 2), kWhite);
}

TEST(Gdi, ClipRectangleKeepsDrawingInside)
{
    QImage image = whiteImage(20, 20);
    DcPtr dc(CreateImageDC(&image));
    const RECT clip{5, 5, 10, 10};
    EXPECT_EQ(SelectClipRect(dc.get(), &clip), SIMPLEREGION);
    RECT box;
    GetClipBox(dc.get(), &box);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    const RECT all{0, 0, 20, 20};
    FillRect(dc.get(), &all, LOGBRUSH{BS_SOLID, 0x0000FF, 0});
    EXPECT_EQ(count(image, kRed), 25);
    EXPECT_EQ(GetPixel(dc.get(), 4, 5), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc.get(), 5, 5), 0x0000FFu);
    IntersectClipRect(dc.get(), 8, 8, 30, 30);
    GetClipBox(dc.get(), &box);
    EXPECT_EQ(box.left, 8);
    EXPECT_EQ(box.bottom, 10);
    SelectClipRect(dc.get(), nullptr);
    EXPECT_EQ(GetPixel(dc.get(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(dc.get(), 20, 0), CLR_INVALID);
}

TEST(Gdi, SaveAndRestoreTheDrawingState)
{
    QImage image = whiteImage(8, 1);
    DcPtr dc(CreateImageDC(&image));
    SetBkColor(dc.get(), 0x0000FF);
    const int level = SaveDC(dc.get());
    SetROP2(dc.get(), R2_XORPEN);
    SetBkMode(dc.get(), TRANSPARENT);
    SetDCPen(dc.get(), LOGPEN{PS_DOT, {1, 0}, 0x123456});
    EXPECT_TRUE(RestoreDC(dc.get(), level));
    EXPECT_EQ(GetDCPen(dc.get()).lopnColor, 0u);
    EXPECT_EQ(GetDCPen(dc.get()).lopnStyle, PS_SOLID);
    EXPECT_FALSE(RestoreDC(dc.get(), -1));
    // The copy mix mode and the opaque background are back: a dotted black line
    // on white draws black dots and fills its gaps with the background colour.
    SetDCPen(dc.get(), LOGPEN{PS_DOT, {1, 0}, 0x000000});
    MoveToEx(dc.get(), 0, 0, nullptr);
    LineTo(dc.get(), 6, 0);
    EXPECT_EQ(at(image, 0, 0), kBlack);
    EXPECT_EQ(at(image, 3, 0), kRed);
    EXPECT_EQ(at(image, 6, 0), kWhite);
}

// ---- Block transfers

TEST(Gdi, BitBltCopiesAndScrollsWithinOneSurface)
{
    QImage image = whiteImage(10, 1);
    for (int x = 0; x < 5; ++x)
        image.setPixel(x, 0, qRgb(x * 10, 0, 0));
    DcPtr dc(CreateImageDC(&image));
    // Overlapping source and destination: the source is read before it is overwritten.
    EXPECT_TRUE(BitBlt(dc.get(), 2, 0, 5, 1, dc.get(), 0, 0, SRCCOPY));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(at(image, x + 2, 0), qRgb(x * 10, 0, 0)) << x;
    EXPECT_FALSE(BitBlt(dc.get(), 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc.get(), 0, 0, 2, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(at(image, 1, 0), kBlack);
}

TEST(Gdi, MaskOperationPaintsTheBrushWhereTheMaskIsWhite)
{
    // 0x00E20746: pattern where the source is white, destination where it is black.
    QImage mask(4, 1, QImage::Format_Mono);
    mask.setColorTable({kBlack, kWhite});
    mask.fill(0u);
    mask.setPixel(1, 0, 1u);
    mask.setPixel(3, 0, 1u);
    DcPtr maskDc(CreateImageDC(&mask));
    QImage image = whiteImage(4, 1);
    image.setPixel(0, 0, kGreen);
    DcPtr dc(CreateImageDC(&image));
    SetDCBrush(dc.get(), LOGBRUSH{BS_SOLID, 0xFF0000, 0});
    EXPECT_TRUE(BitBlt(dc.get(), 0, 0, 4, 1, maskDc.get(), 0, 0, 0x00E20746));
    EXPECT_EQ(at(image, 0, 0), kGreen);
    EXPECT_EQ(at(image, 1, 0), kBlue);
    EXPECT_EQ(at(image, 2, 0), kWhite);
    EXPECT_EQ(at(image, 3, 0), kBlue);
}

TEST(Gdi, ImageDrawnWithAKeySkipsItAndHalftoneSmooths)
{
    QImage source = whiteImage(2, 1);
    source.setPixel(0, 0, kRed);
    DcPtr src(CreateImageDC(&source));
    QImage image(4, 1, QImage::Format_RGB32);
    image.fill(kGreen);
    DcPtr dc(CreateImageDC(&image));
    ImageDrawOptions keyed;
    keyed.useKey = true;
    keyed.key = 0xFFFFFF;
    EXPECT_TRUE(DrawImageRect(dc.get(), 0, 0, 4, 1, source, 0, 0, 2, 1, keyed));
    EXPECT_EQ(at(image, 0, 0), kRed);
    EXPECT_EQ(at(image, 1, 0), kRed);
    EXPECT_EQ(at(image, 2, 0), kGreen);
    EXPECT_EQ(at(image, 3, 0), kGreen);

    EXPECT_EQ(SetStretchBltMode(dc.get(), HALFTONE), BLACKONWHITE);
    StretchBlt(dc.get(), 0, 0, 4, 1, src.get(), 0, 0, 2, 1, SRCCOPY);
    const QRgb middle = at(image, 1, 0);
    EXPECT_NE(middle, kRed);
    EXPECT_NE(middle, kWhite);
}

// ---- Fills, text, other surfaces

TEST(Gdi, HatchedBrushLeavesItsBackgroundInTransparentMode)
{
    QImage image = whiteImage(16, 16);
    DcPtr dc(CreateImageDC(&image));
    SetBkMode(dc.get(), TRANSPARENT);
    const RECT all{0, 0, 16, 16};
    FillRect(dc.get(), &all, LOGBRUSH{BS_HATCHED, 0x000000, HS_HORIZONTAL});
    EXPECT_EQ(count(image, kBlack), 2 * 16);
    SetBkMode(dc.get(), OPAQUE);
    SetBkColor(dc.get(), 0x0000FF);
    FillRect(dc.get(), &all, LOGBRUSH{BS_HATCHED, 0x000000, HS_CROSS});
    EXPECT_EQ(count(image, kBlack), 16 * 16 - 14 * 14);
    EXPECT_EQ(count(image, kRed), 14 * 14);
}

TEST(Gdi, WidePenLineHasItsWidth)
{
    QImage image = whiteImage(30, 30);
    DcPtr dc(CreateImageDC(&image));
    SetDCPen(dc.get(), LOGPEN{PS_SOLID, {5, 0}, 0});
    MoveToEx(dc.get(), 5, 15, nullptr);
    LineTo(dc.get(), 25, 15);
    for (int y = 13; y <= 17; ++y)
        EXPECT_EQ(at(image, 15, y), kBlack) << y;
    EXPECT_EQ(at(image, 15, 12), kWhite);
    EXPECT_EQ(at(image, 15, 18), kWhite);
}

TEST(Gdi, DrawsOnIndexedSurfacesWithTheNearestColour)
{
    QImage image(20, 20, QImage::Format_Indexed8);
    image.setColorTable({kWhite, kBlack, qRgb(250, 0, 0)});
    image.fill(0u);
    DcPtr dc(CreateImageDC(&image));
    SetDCPen(dc.get(), LOGPEN{PS_SOLID, {1, 0}, 0x0000FF});
    SetDCBrush(dc.get(), LOGBRUSH{BS_SOLID, 0x000000, 0});
    Rectangle(dc.get(), 0, 0, 10, 10);
    EXPECT_EQ(image.pixelIndex(0, 0), 2);
    EXPECT_EQ(image.pixelIndex(5, 5), 1);
    EXPECT_EQ(image.pixelIndex(10, 10), 0);
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), 0x000000);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    SetDCFont(dc.get(), font);
    EXPECT_TRUE(TextOutA(dc.get(), 11, 10, "W", -1));
    int inked = 0;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            inked += image.pixelIndex(x, y) == 1;
    EXPECT_GT(inked, 3);
}

TEST(Gdi, MemoryContextHasASurfaceOfItsOwn)
{
    QImage image = whiteImage(10, 10, QImage::Format_BGR888);
    DcPtr dc(CreateImageDC(&image));
    // Its surface has the reference's format.
    DcPtr memory(CreateMemoryDC(dc.get(), 3, 2));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(GetDeviceCaps(memory.get(), BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(memory.get(), HORZRES), 3);
    EXPECT_EQ(GetDeviceCaps(memory.get(), VERTRES), 2);
    EXPECT_EQ(GetPixel(memory.get(), 2, 1), 0u);  // all black
    EXPECT_EQ(GetDeviceCaps(memory.get(), TECHNOLOGY), DT_RASDISPLAY);
}
