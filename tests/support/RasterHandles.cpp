#include "RasterHandles.h"

#include "Gdi.h"
#include "GlobalMemory.h"

#include <cstring>
#include <vector>

namespace testrasters {

VXHANDLE rasterOf(const QImage& image)
{
    const std::vector<unsigned char> dib = ImageToPackedDib(image);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (!block)
        return nullptr;
    std::memcpy(GlobalLock(block), dib.data(), dib.size());
    GlobalUnlock(block);
    return ImageHandle(block);
}

QImage pictureOf(VXHANDLE handle)
{
    const HGLOBAL raster = ImageMemory(handle);
    const std::size_t size = GlobalSize(raster);
    const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(raster));
    if (!info)
        return {};
    QImage image;
    if (DibIsValid(info, size))
        image = DibToImage(info, reinterpret_cast<const unsigned char*>(info) + info->bmiHeader.biSize
                                     + DibColorTableSize(info->bmiHeader))
                    .copy();
    GlobalUnlock(raster);
    return image;
}

}  // namespace testrasters
