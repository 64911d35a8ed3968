#include "ImageDecoder.h"

#include "ImageReaderLimit.h"

#include "FittedSize.h"
#include "JpegScans.h"
#include "RasterHandle.h"
#include "TiffSampleDecoder.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QRect>
#include <algorithm>
#include <utility>

namespace vxmodule {

namespace {


// No encoder writes more scans than this: libjpeg's progressive script has
// 10 for colour, hand-written scripts a few dozen. Every scan of a
// progressive picture is a pass over all its coefficients, so a small file
// that repeats one scan thousands of times would take minutes to decode.
constexpr int kMaxJpegScans = 500;

// Whether the JPEG file has at most limit scans, counted from its markers
// (one pass over the bytes, far cheaper than decoding a single scan).
bool jpegScansWithin(ImageFile& file, int limit)
{
    if (!file.rewind())
        return false;
    JpegScanCounter counter;
    char chunk[65536];
    while (!counter.ended() && counter.scans() <= limit) {
        const qint64 got = file.device().read(chunk, sizeof chunk);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        counter.feed(reinterpret_cast<const unsigned char*>(chunk), std::size_t(got));
    }
    return counter.scans() <= limit;
}

QImage decodeJpeg(QImageReader& reader, int coverWidth, int coverHeight)
{
    const QSize stored = reader.size();
    if (!stored.isValid() || !sizeAllowed(stored.width(), stored.height()))
        return {};
    // The cover size is meant upright; the reduction applies to the stored,
    // unrotated picture.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        std::swap(coverWidth, coverHeight);
    const int reduction = jpegReduction(stored.width(), stored.height(), coverWidth, coverHeight);
    if (reduction > 1) {
        // libjpeg reduces a side to ceil(side / reduction) pixels. Asking Qt for
        // exactly that size would make it pick a larger scale when the side is
        // not a multiple of the reduction, and smooth-scale afterwards; clipping
        // to whole reduced pixels keeps the DCT scaling exact. What is dropped,
        // less than one reduced pixel at the right and bottom edge, stays well
        // inside what fitting loses anyway.
        const int width = stored.width() / reduction, height = stored.height() / reduction;
        reader.setClipRect(QRect(0, 0, width * reduction, height * reduction));
        reader.setScaledSize(QSize(width, height));
    }
    return reader.read();
}

QImage decodeWithQt(ImageFile& file, const ImageFacts& facts, int page, int coverWidth, int coverHeight)
{
    if (facts.format == ImageFormat::Jpeg && !jpegScansWithin(file, kMaxJpegScans))
        return {};
    if (!file.rewind())
        return {};
    QImageReader reader(&file.device(), qtFormatName(facts.format));
    reader.setAutoTransform(true);
    switch (facts.format) {
    case ImageFormat::Jpeg:
        return page == 0 ? decodeJpeg(reader, coverWidth, coverHeight) : QImage();
    case ImageFormat::Tiff: {
        if (page > 0 && !reader.jumpToImage(page))
            return {};
        const QSize size = reader.size();
        if (!size.isValid() || !sizeAllowed(size.width(), size.height()))
            return {};
        QImage image = reader.read();
        if (image.isNull())  // a layout Qt's reader does not handle
            image = TiffSampleDecode(file.device().handle(), page, kMaxImagePixels);
        return image;
    }
    case ImageFormat::Gif: {
        // GIF frames come one after another (jumping is not supported); each
        // read gives the frame composed over the ones before it.
        QImage frame;
        for (int i = 0; i <= page; ++i)
            if (!reader.read(&frame))
                return {};
        return frame;
    }
    default:
        return page == 0 ? reader.read() : QImage();
    }
}

QImage decodeInMemory(ImageFile& file, const MemoryCodec& codec, int page, int coverWidth, int coverHeight,
                      const ImageFacts& facts)
{
    if (page != 0)
        return {};
    const QByteArray data = file.contents(kMaxMemoryFileBytes);
    if (data.isEmpty())
        return {};
    const QSize cover = FittedSize(facts.width, facts.height, coverWidth, coverHeight);
    return codec.decode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                        cover.width(), cover.height());
}

}  // namespace

int jpegReduction(int width, int height, int coverWidth, int coverHeight)
{
    if (coverWidth <= 0 || coverHeight <= 0)
        return 1;
    const QSize fitted = FittedSize(width, height, coverWidth, coverHeight);
    for (int reduction : {8, 4, 2})
        if (width / reduction >= fitted.width() && height / reduction >= fitted.height())
            return reduction;
    return 1;
}

QImage decodeImage(ImageFile& file, const ImageFacts& facts, int page, int coverWidth, int coverHeight)
{
    if (page < 0 || page >= facts.pages)
        return {};
    // The modules' own limit (kMaxImagePixels) was checked before decoding.
    LiftImageReaderLimit();
    if (const MemoryCodec* codec = memoryCodecFor(facts.format))
        return decodeInMemory(file, *codec, page, coverWidth, coverHeight, facts);
    return decodeWithQt(file, facts, page, coverWidth, coverHeight);
}

}  // namespace vxmodule
