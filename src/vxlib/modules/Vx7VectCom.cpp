// Vx7VectCom: vector pictures (WMF, EMF) as rasters, and the drawing
// library's start and end around a session of vector work.
#include "ModuleExport.h"
#include "RasterHandle.h"
#include "VectorImage.h"
#include "VxApi.h"

#include <QColor>
#include <algorithm>
#include <atomic>
#include <type_traits>

using vxmodule::guarded;

namespace {

// The next token of the drawing library. The renderer needs no session of its
// own, so a token only has to be non-zero; taking one back needs no work.
std::atomic<std::int32_t> g_nextToken{1};

}  // namespace

// A 24-bit raster of the vector picture on the background (red, green, blue,
// each 0..255), at the size VXFileLoad gave it: its natural size, or that
// size fitted into the area the load was given. The vector handle stays the caller's. 0 for
// a handle that is not a vector picture, a format no renderer handles yet, or
// bits other than 24.
VX_EXPORT VXHANDLE VXVectorToRaster(VXHANDLE vector, std::int32_t bits, std::int32_t /*mode*/, std::int32_t red,
                                    std::int32_t green, std::int32_t blue)
{
    return guarded<VXHANDLE>(nullptr, [&]() -> VXHANDLE {
        if (bits != 24)
            return nullptr;
        const vxmodule::LockedVector locked(ImageMemory(vector));
        if (!locked.valid())
            return nullptr;
        const QColor background(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
        return ImageHandle(vxmodule::imageToRaster(vxmodule::renderVector(locked, background)));
    });
}

VX_EXPORT std::int32_t VXVectorGdipStart(void)
{
    return guarded<std::int32_t>(0, [] {
        std::int32_t token = g_nextToken.fetch_add(1);
        if (token <= 0) {  // wrapped around after 2^31 sessions
            g_nextToken = 2;
            token = 1;
        }
        return token;
    });
}

VX_EXPORT void VXVectorGdipEnd(std::int32_t)
{
}

static_assert(std::is_same_v<decltype(&VXVectorToRaster), TVXVectorToRaster>);
static_assert(std::is_same_v<decltype(&VXVectorGdipStart), TVXVectorGdipStart>);
static_assert(std::is_same_v<decltype(&VXVectorGdipEnd), TVXVectorGdipEnd>);
