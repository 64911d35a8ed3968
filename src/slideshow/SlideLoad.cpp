#include "SlideLoad.h"

#include "Color.h"
#include "Dib.h"
#include "GlobalMemory.h"
#include "Vxdllprocs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::int16_t readInt16(const unsigned char* p)
{
    std::int16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::int32_t readInt32(const unsigned char* p)
{
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

TSlideImageLock::TSlideImageLock(VXHANDLE image)
    : m_image(ImageMemory(image)), m_data(image ? GlobalLock(m_image) : nullptr)
{
}

TSlideImageLock::~TSlideImageLock()
{
    if (m_data)
        GlobalUnlock(m_image);
}

const BITMAPINFO* TSlideImageLock::Dib() const
{
    if (!m_data || !DibIsValid(static_cast<const BITMAPINFO*>(m_data), GlobalSize(m_image)))
        return nullptr;
    return static_cast<const BITMAPINFO*>(m_data);
}

void FreeSlideImage(VXHANDLE image)
{
    if (!image)
        return;
    if (Vxdllprocs::VXFreeMemory)
        Vxdllprocs::VXFreeMemory(image);
    else
        GlobalFree(ImageMemory(image));
}

void FitSlideImage(int dispWidth, int dispHeight, int imageWidth, int imageHeight, int& width, int& height)
{
    const float fx = imageWidth > dispWidth ? float(imageWidth) / float(dispWidth) : 1.0f;
    const float fy = imageHeight > dispHeight ? float(imageHeight) / float(dispHeight) : 1.0f;
    const float s = std::max(fx, fy);
    width = int(double(imageWidth) / double(s) + 0.5);
    height = int(double(imageHeight) / double(s) + 0.5);
}

VXHANDLE LoadFittedSlide(const TSlideLoad& load)
{
    using namespace Vxdllprocs;
    if (load.areaWidth < 5 || load.areaHeight < 5)
        return nullptr;
    if (!VXFileType || !VXFileLoad || !VXGetImageType)
        return nullptr;
    std::vector<unsigned char> fileRecord(kVxFileRecordSize);
    if (!VXFileType(load.path.c_str(), load.page, fileRecord.data()))
        return nullptr;
    // The decoder may reduce a large picture, never below this size.
    VXHANDLE image = VXFileLoad(load.path.c_str(), load.page, std::max(800, load.areaWidth),
                                std::max(600, load.areaHeight), 0, 0, 0, 0);
    if (!image)
        return nullptr;
    unsigned char typeRecord[kVxTypeRecordSize] = {};
    VXGetImageType(image, typeRecord);
    int width = 0;
    int height = 0;
    if (readInt16(typeRecord + kVxTypeRecordKind) == kVxKindRaster) {
        int imageWidth = 0;
        int imageHeight = 0;
        {
            TSlideImageLock lock(image);
            if (const BITMAPINFO* dib = lock.Dib()) {
                imageWidth = dib->bmiHeader.biWidth;
                imageHeight = std::abs(dib->bmiHeader.biHeight);
            }
        }
        if (imageWidth <= 0 || imageHeight <= 0 || !SetImageSize) {
            FreeSlideImage(image);
            return nullptr;
        }
        FitSlideImage(load.areaWidth, load.areaHeight, imageWidth, imageHeight, width, height);
        return SetImageSize(image, std::max(1, width), std::max(1, height));  // takes over image
    }
    const int vectorWidth = readInt32(typeRecord + kVxTypeRecordWidth);
    const int vectorHeight = readInt32(typeRecord + kVxTypeRecordHeight);
    if (vectorWidth <= 0 || vectorHeight <= 0 || !VXVectorToRaster) {
        FreeSlideImage(image);
        return nullptr;
    }
    FitSlideImage(load.areaWidth, load.areaHeight, vectorWidth, vectorHeight, width, height);
    VXHANDLE raster = VXVectorToRaster(image, 24, -1, GetRValue(load.background), GetGValue(load.background),
                                       GetBValue(load.background));
    FreeSlideImage(image);
    if (!raster || !VXResizeEx)
        return raster;
    VXHANDLE pair[2] = {raster, nullptr};
    VXHANDLE out = nullptr;
    VXResizeEx(pair, &out, std::max(1, width), std::max(1, height), -1, 0, 0, 0, 0);
    FreeSlideImage(pair[0]);
    FreeSlideImage(pair[1]);
    return out;
}
