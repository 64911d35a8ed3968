// Raster image handles for tests of the image library: a picture packed into
// a movable memory block as the library's rasters are, and back.
#pragma once

#include "WinTypes.h"

#include <QImage>

namespace testrasters {

// A packed DIB of the picture in a new movable block (the caller frees it).
HGLOBAL rasterOf(const QImage& image);
// The picture a raster handle holds; a null image when the block holds no
// valid packed DIB.
QImage pictureOf(HGLOBAL raster);

}  // namespace testrasters
