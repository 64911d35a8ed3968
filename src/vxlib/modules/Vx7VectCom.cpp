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
using vxmodule::guardedVoid;

namespace {

// Sessions of the drawing library: the next token and the number of open ones.
std::atomic<std::int32_t> g_nextToken{1};
std::atomic<std::int32_t> g_openSessions{0};

}  // namespace

// A 24-bit raster of the vector picture at its natural size on the background
// (red, green, blue, each 0..255). The vector handle stays the caller's. 0 for
// a handle that is not a vector picture, a format no renderer handles yet, or
// bits other than 24.
VX_EXPORT VXHANDLE VXVectorToRaster(VXHANDLE vector, std::int32_t bits, std::int32_t /*mode*/, std::int32_t red,
                                    std::int32_t green, std::int32_t blue)
{
    return guarded<VXHANDLE>(nullptr, [&]() -> VXHANDLE {
        if (bits != 24)
            return nullptr;
        const vxmodule::LockedVector locked(vector);
        if (!locked.valid())
            return nullptr;
        const QColor background(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
        return vxmodule::imageToRaster(vxmodule::renderVector(locked, background));
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
        ++g_openSessions;
        return token;
    });
}

VX_EXPORT void VXVectorGdipEnd(std::int32_t token)
{
    guardedVoid([&] {
        if (token == 0)
            return;
        std::int32_t open = g_openSessions.load();
        while (open > 0 && !g_openSessions.compare_exchange_weak(open, open - 1)) {
        }
    });
}

static_assert(std::is_same_v<decltype(&VXVectorToRaster), TVXVectorToRaster>);
static_assert(std::is_same_v<decltype(&VXVectorGdipStart), TVXVectorGdipStart>);
static_assert(std::is_same_v<decltype(&VXVectorGdipEnd), TVXVectorGdipEnd>);
