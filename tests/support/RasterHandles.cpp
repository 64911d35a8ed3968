#include "RasterHandles.h"

#include "Gdi.h"
#include "GlobalMemory.h"

#include <cstring>
#include <vector>

namespace testrasters {

std::vector<unsigned char> packedDibOf(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    BITMAPINFOHEADER h;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = bgr.width();
    h.biHeight = bgr.height();
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(bgr.width()) * 24 + 31) / 32 * 4;
    h.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(bgr.height()));
    std::vector<unsigned char> dib(sizeof h + h.biSizeImage, 0);
    std::memcpy(dib.data(), &h, sizeof h);
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(dib.data() + sizeof h + static_cast<std::size_t>(bgr.height() - 1 - y) * stride,
                    bgr.constScanLine(y), static_cast<std::size_t>(bgr.width()) * 3);
    return dib;
}

VXHANDLE rasterOf(const QImage& image)
{
    const std::vector<unsigned char> dib = packedDibOf(image);
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
