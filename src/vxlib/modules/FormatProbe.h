// Identifying a picture file by its contents and reading its headers: the
// format, the page count and the size, without decoding any pixels.
#pragma once

#include "ImageFile.h"
#include "MemoryCodecs.h"

#include <QByteArray>

namespace vxmodule {

// Qt's name of the reader for a format it decodes; empty for the others.
QByteArray qtFormatName(ImageFormat format);

// The format whose signature the first bytes of a file carry.
ImageFormat formatFromSignature(const QByteArray& head);

struct ImageFacts {
    ImageFormat format = ImageFormat::Unknown;
    int pages = 0;   // at least 1 for a readable file, at most 32767
    int width = 0;   // of the first page, as stored (metafiles: natural size in pixels)
    int height = 0;
};

// WMF and EMF are vector pictures: VXFileLoad hands them out as they are.
inline bool isMetafile(ImageFormat format) { return format == ImageFormat::Wmf || format == ImageFormat::Emf; }

// Metafiles are read whole; larger ones are refused.
inline constexpr qint64 kMaxMetafileBytes = qint64(64) << 20;

// Facts of the open file; false when the modules cannot read it (unknown
// format, damaged headers, no page, a picture over 2^28 pixels).
bool examineImage(ImageFile& file, ImageFacts* facts);

}  // namespace vxmodule
