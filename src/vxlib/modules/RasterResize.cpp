#include "RasterResize.h"

#include "RasterHandle.h"
#include "Resample.h"

#include <cstddef>

namespace vxmodule {

HGLOBAL resizedRaster(HGLOBAL raster, int width, int height)
{
    if (!sizeAllowed(width, height))
        return nullptr;
    const LockedRaster in(raster);
    if (!in.valid())
        return nullptr;
    RasterWriter out(width, height);
    if (!out.valid())
        return nullptr;
    const BgrTarget target{out.row(0), width, height, -std::ptrdiff_t(out.stride())};

    const BITMAPINFOHEADER& header = in.info()->bmiHeader;
    if (header.biBitCount == 24) {
        // 24-bit rows are resampled where they lie.
        const auto stride = std::ptrdiff_t((std::size_t(in.width()) * 3 + 3) / 4 * 4);
        const bool bottomUp = header.biHeight > 0;
        const unsigned char* top = bottomUp ? in.bits() + (in.height() - 1) * stride : in.bits();
        resampleBgr(BgrSource{top, in.width(), in.height(), bottomUp ? -stride : stride}, target);
    } else {
        const QImage image = DibToImage(in.info(), in.bits());
        if (image.isNull())
            return nullptr;
        QImage bgr(image.width(), image.height(), QImage::Format_BGR888);
        if (bgr.isNull())
            return nullptr;
        for (int y = 0; y < image.height(); ++y)
            imageRowToBgr(image, y, bgr.scanLine(y));
        resampleBgr(BgrSource{bgr.constBits(), bgr.width(), bgr.height(), std::ptrdiff_t(bgr.bytesPerLine())},
                    target);
    }
    return out.release();
}

}  // namespace vxmodule
