// Decoding one page of a picture file into a QImage, at reduced size where
// the format allows it (JPEG DCT scaling, JPEG 2000 resolution levels) but
// never below the size it must still cover. JPEG orientation (EXIF) is
// applied.
#pragma once

#include "FormatProbe.h"
#include "ImageFile.h"

#include <QImage>
#include <QSize>

namespace vxmodule {

// The JPEG reduction 1, 2, 4 or 8: the largest whose reduced size (each side
// divided, rounded down) is still at least the fitted size (FittedSize) in
// both sides.
int jpegReduction(int width, int height, int coverWidth, int coverHeight);

// Page `page` of the examined file. coverWidth × coverHeight is the area the
// picture will be fitted into (0 × 0: full size). A null image on failure.
QImage decodeImage(ImageFile& file, const ImageFacts& facts, int page, int coverWidth, int coverHeight);

}  // namespace vxmodule
