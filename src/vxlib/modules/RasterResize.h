// Resizing raster handles: the common part of SetImageSize and VXResizeEx.
#pragma once

#include "GlobalMemory.h"

namespace vxmodule {

// A new 24-bit raster handle of the picture in raster, smoothly resampled to
// width × height (see Resample.h). raster itself is left as it is. nullptr
// when raster is not a valid raster handle, the size is not positive or too
// large, or memory runs out.
HGLOBAL resizedRaster(HGLOBAL raster, int width, int height);

}  // namespace vxmodule
