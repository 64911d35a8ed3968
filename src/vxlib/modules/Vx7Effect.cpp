// Vx7Effect: resizing with the handle-pair convention of the image effects.
#include "ModuleExport.h"
#include "RasterResize.h"
#include "VxApi.h"

#include <type_traits>

using vxmodule::guarded;

// Resizes pair[0] into *out. On success pair[0] was consumed: it is freed and
// set to 0 (pair[1] is not used). On failure pair[0] is left to the caller and
// *out is 0. mode and the last four arguments are not used.
VX_EXPORT std::int32_t VXResizeEx(VXHANDLE pair[2], VXHANDLE* out, std::int32_t width, std::int32_t height,
                                  std::int32_t /*mode*/, std::int32_t, std::int32_t, std::int32_t, std::int32_t)
{
    return guarded<std::int32_t>(0, [&] {
        if (out)
            *out = nullptr;
        if (!pair || !out || !pair[0])
            return 0;
        const HGLOBAL resized = vxmodule::resizedRaster(ImageMemory(pair[0]), width, height);
        if (!resized)
            return 0;
        GlobalFree(ImageMemory(pair[0]));
        pair[0] = nullptr;
        *out = ImageHandle(resized);
        return 1;
    });
}

static_assert(std::is_same_v<decltype(&VXResizeEx), TVXResizeEx>);
