#include "Bitmap.h"

#include "FileOps.h"
#include "ImageReaderLimit.h"
#include "LastError.h"
#include "SysUtils.h"
#include "Translation.h"

#include "Canvas.h"
#include "Exception.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cstring>

namespace {

// Largest picture LoadFromFile decodes, in megabytes of decoded pixels.
constexpr int kLoadLimitMegabytes = 1024;

// The 16 Windows colours, in their palette order.
QList<QRgb> windowsColors()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// 256 colours: the 16 Windows colours, a 6 x 6 x 6 colour cube and 24 greys.
QList<QRgb> colors256()
{
    QList<QRgb> colors = windowsColors();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colors << qRgb(r * 51, g * 51, b * 51);
    for (int i = 0; i < 24; ++i)
        colors << qRgb(8 + i * 10, 8 + i * 10, 8 + i * 10);
    return colors;
}

QList<QRgb> blackAndWhite() { return {qRgb(0, 0, 0), qRgb(255, 255, 255)}; }

bool isIndexed(QImage::Format format) { return format == QImage::Format_Indexed8; }
bool isMono(QImage::Format format) { return format == QImage::Format_Mono || format == QImage::Format_MonoLSB; }
bool is32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

TPixelFormat pixelFormatOf(const QImage& image)
{
    const QImage::Format format = image.format();
    if (isMono(format))
        return pf1bit;
    if (isIndexed(format))
        return image.colorCount() <= 16 ? pf4bit : pf8bit;
    if (format == QImage::Format_RGB555)
        return pf15bit;
    if (format == QImage::Format_RGB16)
        return pf16bit;
    if (format == QImage::Format_BGR888)
        return pf24bit;
    if (is32(format))
        return pf32bit;
    return pfCustom;
}

// Whether the image's format is one the pixel format stands for.
bool matches(TPixelFormat pf, QImage::Format format)
{
    switch (pf) {
    case pfDevice:
    case pf32bit: return is32(format);
    case pf1bit: return isMono(format);
    case pf4bit:
    case pf8bit: return isIndexed(format);
    case pf15bit: return format == QImage::Format_RGB555;
    case pf16bit: return format == QImage::Format_RGB16;
    case pf24bit: return format == QImage::Format_BGR888;
    case pfCustom: return true;
    }
    return false;
}

// The image in the given pixel format.
QImage convertTo(const QImage& image, TPixelFormat pf)
{
    // Qt keeps an image already in the target format as it is, whatever table is
    // asked for; going through 32 bits makes it take the new table.
    const auto toTable = [&image](QImage::Format format, const QList<QRgb>& table) {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        return rgb.convertToFormat(format, table, Qt::ThresholdDither);
    };
    switch (pf) {
    case pf1bit: return toTable(QImage::Format_Mono, blackAndWhite());
    case pf4bit: return toTable(QImage::Format_Indexed8, windowsColors());
    case pf8bit: return toTable(QImage::Format_Indexed8, colors256());
    case pf15bit: return image.convertToFormat(QImage::Format_RGB555);
    case pf16bit: return image.convertToFormat(QImage::Format_RGB16);
    case pf24bit: return image.convertToFormat(QImage::Format_BGR888);
    case pf32bit:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    case pfDevice: return image.convertToFormat(QImage::Format_RGB32);
    case pfCustom: break;
    }
    return image;
}

// A new white image of the pixel format (the format of like for pfCustom).
QImage blankImage(int width, int height, TPixelFormat pf, const QImage& like)
{
    QImage::Format format = QImage::Format_RGB32;
    QList<QRgb> table;
    switch (pf) {
    case pf1bit: format = QImage::Format_Mono; table = blackAndWhite(); break;
    case pf4bit: format = QImage::Format_Indexed8; table = windowsColors(); break;
    case pf8bit: format = QImage::Format_Indexed8; table = colors256(); break;
    case pf15bit: format = QImage::Format_RGB555; break;
    case pf16bit: format = QImage::Format_RGB16; break;
    case pf24bit: format = QImage::Format_BGR888; break;
    case pf32bit:
        format = like.format() == QImage::Format_ARGB32 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        break;
    case pfDevice: format = QImage::Format_RGB32; break;
    case pfCustom:
        if (!like.isNull())
            format = like.format();
        table = like.colorTable();
        break;
    }
    // An indexed image keeps its own colours when it has them.
    if ((isIndexed(format) || isMono(format)) && like.format() == format && !like.colorTable().isEmpty())
        table = like.colorTable();
    QImage image(width, height, format);
    if (image.isNull())
        return image;
    if (isIndexed(format) || isMono(format)) {
        image.setColorTable(table);
        int white = 0, best = -1;
        for (int i = 0; i < table.size(); ++i) {
            const int score = qRed(table[i]) + qGreen(table[i]) + qBlue(table[i]);
            if (score > best) {
                best = score;
                white = i;
            }
        }
        image.fill(static_cast<uint>(white));
    } else {
        image.fill(Qt::white);
    }
    return image;
}

// The bit depth a BMP file declares, 0 when the file is no BMP.
int bmpBitCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(30);
    if (head.size() < 30 || !head.startsWith("BM"))
        return 0;
    const auto byte = [&head](int i) { return static_cast<unsigned>(static_cast<unsigned char>(head[i])); };
    const unsigned headerSize = byte(14) | (byte(15) << 8) | (byte(16) << 16) | (byte(17) << 24);
    const int at = headerSize == 12 ? 24 : 28;  // OS/2 core header or Windows header
    return static_cast<int>(byte(at) | (byte(at + 1) << 8));
}

TPixelFormat bmpPixelFormat(int bitCount)
{
    switch (bitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pf24bit;
    }
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height())
        return;
    const TPixelFormat pf = PixelFormat();
    QImage image;
    if (width > 0 && height > 0) {
        image = blankImage(width, height, pf, FImage);
        if (image.isNull())
            throw Exception(Substitute(Translate("TBitmap", "%1 × %2 ピクセルのビットマップを作成できません"),
                                       {std::to_string(width), std::to_string(height)}));
        const int w = std::min(width, Width()), h = std::min(height, Height());
        if (image.format() == FImage.format() && w > 0 && h > 0) {
            if (image.depth() >= 8) {
                const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(image.depth() / 8);
                for (int y = 0; y < h; ++y)
                    std::memcpy(image.scanLine(y), FImage.constScanLine(y), bytes);
            } else {
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        image.setPixel(x, y, static_cast<uint>(FImage.pixelIndex(x, y)));
            }
        }
    }
    FImage = image;
    FPixelFormat = pf;
    Changed();
}

TPixelFormat TBitmap::PixelFormat() const
{
    if (FImage.isNull() || matches(FPixelFormat, FImage.format()))
        return FPixelFormat;
    return pixelFormatOf(FImage);
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == PixelFormat())
        return;
    if (!FImage.isNull()) {
        QImage converted = convertTo(FImage, value);
        if (converted.isNull())
            throw Exception(Translate("TBitmap", "ビットマップのピクセル形式を変換できません"));
        FImage = converted;
    }
    FPixelFormat = value;
    Changed();
}

unsigned char* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= Height())
        throw Exception(Translate("TBitmap", "スキャンラインのインデックスが範囲を超えています"));
    return FImage.scanLine(y);
}

const unsigned char* TBitmap::ScanLine(int y) const
{
    if (y < 0 || y >= Height())
        throw Exception(Translate("TBitmap", "スキャンラインのインデックスが範囲を超えています"));
    return FImage.constScanLine(y);
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>(&FImage);
        FCanvas->OnChange = [this] { Changed(); };
    }
    return FCanvas.get();
}

void TBitmap::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (Empty())
        return clNone;
    return FromQColor(QColor(FImage.pixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor value)
{
    const TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
    if (value == FTransparentColor && mode == FTransparentMode)
        return;
    FTransparentColor = value;
    FTransparentMode = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == FTransparentMode)
        return;
    SetTransparentColor(value == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::LoadFromFile(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    QImageReader reader(name);
    // Our own limit, checked before the picture is decoded.
    LiftImageReaderLimit();
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > qint64(kLoadLimitMegabytes) * 1024 * 1024)
        throw Exception(Substitute(Translate("TBitmap", "画像 \"%1\" を読み込めません: メモリが足りません"), {path}));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw Exception(Substitute(Translate("TBitmap", "画像 \"%1\" を読み込めません: %2"),
                                   {path, reader.errorString().toStdString()}));
    TPixelFormat pf;
    const int bitCount = bmpBitCount(name);
    if (bitCount > 0)
        pf = bmpPixelFormat(bitCount);
    else if (isIndexed(image.format()) || isMono(image.format()))
        pf = pixelFormatOf(image);
    else
        pf = image.hasAlphaChannel() ? pf32bit : pf24bit;
    // Indexed pictures keep their own colours.
    if (!((pf == pf4bit || pf == pf8bit) && isIndexed(image.format())) && !matches(pf, image.format()))
        image = convertTo(image, pf);
    if (image.isNull())
        throw Exception(Substitute(Translate("TBitmap", "画像 \"%1\" を読み込めません: メモリが足りません"), {path}));
    FImage = image;
    FPixelFormat = pf;
    Changed();
}

void TBitmap::SaveToFile(const std::string& path) const
{
    if (FImage.isNull())
        throw Exception(Substitute(Translate("TBitmap", "空のビットマップは \"%1\" に保存できません"), {path}));
    // The picture is made whole first and then takes the file's place, at the
    // path's own bytes (a name need not be UTF-8).
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(FImage))
        throw Exception(Substitute(Translate("TBitmap", "\"%1\" に書き込めません: %2"), {path, writer.errorString().toStdString()}));
    if (!ReplaceFileContents(path, std::string_view(bytes.constData(), std::size_t(bytes.size()))))
        throw Exception(Substitute(Translate("TBitmap", "\"%1\" に書き込めません: %2"), {path, SysErrorMessage(GetLastError())}));
}

void TBitmap::LoadFromResourceName(const std::string& name)
{
    for (const char* suffix : {".bmp", ".png"}) {
        const std::string path = ":/bitmaps/" + name + suffix;
        if (QFile::exists(QString::fromStdString(path))) {
            LoadFromFile(path);
            return;
        }
    }
    throw Exception(Substitute(Translate("TBitmap", "ビットマップ リソース \"%1\" が見つかりません"), {name}));
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this)
        return;
    FImage = source.FImage;
    FPixelFormat = source.FPixelFormat;
    FTransparent = source.FTransparent;
    FTransparentMode = source.FTransparentMode;
    FTransparentColor = source.FTransparentColor;
    Changed();
}

QImage& TBitmap::Image()
{
    return FImage;
}

void TBitmap::SetImage(const QImage& image)
{
    FImage = image;
    FPixelFormat = pixelFormatOf(image);
    Changed();
}
