// Raster image handles for tests of the image library: a picture packed into
// a movable memory block as the library's rasters are, and back.
#pragma once

#include "VxApi.h"

#include <QImage>
#include <vector>

namespace testrasters {

// A packed 24-bit bottom-up DIB of the picture (header, no colour table,
// bits); empty for a null image.
std::vector<unsigned char> packedDibOf(const QImage& image);
// A packed DIB of the picture in a new image handle (the caller frees it).
VXHANDLE rasterOf(const QImage& image);
// The picture a raster handle holds; a null image when the block holds no
// valid packed DIB.
QImage pictureOf(VXHANDLE raster);

}  // namespace testrasters
