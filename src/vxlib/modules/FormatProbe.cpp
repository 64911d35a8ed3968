#include "FormatProbe.h"

#include "MetafileProbe.h"
#include "RasterHandle.h"

#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace vxmodule {

namespace {

constexpr int kMaxPages = 32767;  // the file record holds the count as int16

bool startsWith(const QByteArray& data, const char* signature, std::size_t length)
{
    return std::size_t(data.size()) >= length && std::memcmp(data.constData(), signature, length) == 0;
}

bool examineWithQt(ImageFile& file, ImageFormat format, ImageFacts* facts)
{
    if (!file.rewind())
        return false;
    QImageReader reader(&file.device(), qtFormatName(format));
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return false;
    // The page count first, from the start of the file: Qt's TIFF reader
    // counts its pages from wherever the file stands, and reading the size
    // leaves it elsewhere.
    int pages = 1;
    if (format == ImageFormat::Gif || format == ImageFormat::Tiff)
        pages = reader.imageCount();
    if (pages < 1 || !file.rewind())
        return false;
    const QSize size = reader.size();
    if (!size.isValid() || !sizeAllowed(size.width(), size.height()))
        return false;
    facts->pages = std::min(pages, kMaxPages);
    facts->width = size.width();
    facts->height = size.height();
    return true;
}

bool examineInMemory(ImageFile& file, const MemoryCodec& codec, ImageFacts* facts)
{
    int width = 0, height = 0;
    const QByteArray head = file.head(qint64(codec.headerBytes));
    bool known = codec.probe(reinterpret_cast<const unsigned char*>(head.constData()), std::size_t(head.size()),
                             &width, &height);
    if (!known && codec.headersMayRunLonger && file.stamp().size > head.size()) {
        const QByteArray whole = file.contents(kMaxMemoryFileBytes);
        known = !whole.isEmpty()
                && codec.probe(reinterpret_cast<const unsigned char*>(whole.constData()), std::size_t(whole.size()),
                               &width, &height);
    }
    if (!known || !sizeAllowed(width, height))
        return false;
    facts->pages = 1;
    facts->width = width;
    facts->height = height;
    return true;
}

bool examineMetafile(ImageFile& file, ImageFacts* facts)
{
    const QByteArray data = file.contents(kMaxMetafileBytes);
    MetafileInfo info;
    if (data.isEmpty()
        || !MetafileProbe(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()), &info))
        return false;
    facts->pages = 1;
    facts->width = info.width;
    facts->height = info.height;
    return true;
}

}  // namespace

QByteArray qtFormatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Bmp: return "bmp";
    case ImageFormat::Jpeg: return "jpeg";
    case ImageFormat::Png: return "png";
    case ImageFormat::Gif: return "gif";
    case ImageFormat::Tiff: return "tiff";
    default: return {};
    }
}

ImageFormat formatFromSignature(const QByteArray& head)
{
    if (startsWith(head, "BM", 2))
        return ImageFormat::Bmp;
    if (startsWith(head, "\xFF\xD8\xFF", 3))
        return ImageFormat::Jpeg;
    if (startsWith(head, "\x89PNG\r\n\x1A\n", 8))
        return ImageFormat::Png;
    if (startsWith(head, "GIF87a", 6) || startsWith(head, "GIF89a", 6))
        return ImageFormat::Gif;
    if (startsWith(head, "II*\0", 4) || startsWith(head, "MM\0*", 4))
        return ImageFormat::Tiff;
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.constData());
    if (const MemoryCodec* codec = memoryCodecForSignature(bytes, std::size_t(head.size())))
        return codec->format;
    if (MetafileSignature(bytes, std::size_t(head.size()))) {
        // An EMF header record: type 1, then " EMF" at 40.
        const bool emf = startsWith(head, "\x01\0\0\0", 4) && startsWith(head.mid(40), " EMF", 4);
        return emf ? ImageFormat::Emf : ImageFormat::Wmf;
    }
    return ImageFormat::Unknown;
}

bool examineImage(ImageFile& file, ImageFacts* facts)
{
    ImageFacts found;
    found.format = formatFromSignature(file.head(qint64(kSignatureBytes)));
    bool known = false;
    if (found.format == ImageFormat::Unknown)
        known = false;
    else if (isMetafile(found.format))
        known = examineMetafile(file, &found);
    else if (const MemoryCodec* codec = memoryCodecFor(found.format))
        known = examineInMemory(file, *codec, &found);
    else
        known = examineWithQt(file, found.format, &found);
    if (known && facts)
        *facts = found;
    return known;
}

}  // namespace vxmodule
