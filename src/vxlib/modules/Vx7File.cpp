// Vx7File: identifying picture files and decoding them into raster handles.
// Read by Qt's image readers: BMP, JPEG, PNG, GIF, TIFF; by our own decoders:
// PCX, JPEG 2000, FlashPix, and the TIFF layouts Qt refuses (over libtiff). WMF and EMF (identified by their headers) are
// handed out as vector handles, which Vx7VectCom draws.
#include "FittedSize.h"
#include "FormatProbe.h"
#include "ImageDecoder.h"
#include "ImageFile.h"
#include "ModuleExport.h"
#include "RasterHandle.h"
#include "TypeCache.h"
#include "VectorImage.h"
#include "VxApi.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>

using vxmodule::guarded;

namespace {

// The module's one piece of state: answers of VXFileType per file version.
vxmodule::TypeCache& typeCache()
{
    static vxmodule::TypeCache cache;
    return cache;
}

// The page count of the file at path, 0 when it is not a picture the module
// reads; from the cache while the file is unchanged.
int pageCount(const char* path)
{
    vxmodule::FileStamp stamp;
    if (!vxmodule::regularFileStamp(path, &stamp))
        return 0;
    if (const std::optional<int> known = typeCache().find(path, stamp))
        return *known;
    vxmodule::ImageFile file;
    if (!file.open(path))
        return 0;  // not remembered: it may be a passing condition
    vxmodule::ImageFacts facts;
    const int pages = vxmodule::examineImage(file, &facts) ? facts.pages : 0;
    typeCache().store(path, file.stamp(), pages);
    return pages;
}

}  // namespace

VX_EXPORT std::int32_t VXFileType(const char* path, std::int16_t page, void* fileRecord)
{
    return guarded<std::int32_t>(0, [&] {
        if (fileRecord)
            std::memset(fileRecord, 0, kVxFileRecordSize);
        if (page < 0)
            return 0;
        const int pages = pageCount(path);
        if (pages < 1 || page >= pages)
            return 0;
        if (fileRecord) {
            const auto count = std::int16_t(pages);
            std::memcpy(static_cast<char*>(fileRecord) + kVxFileRecordPageCount, &count, sizeof count);
        }
        return 1;
    });
}

// The raster is 24 bits per pixel whatever the source (paletted and grey
// pictures included); transparent pixels are composed over white. Metafiles
// come back as vector handles with their natural size, to be drawn at that
// size fitted into the area (at their natural size without an area).
VX_EXPORT VXHANDLE VXFileLoad(const char* path, std::int16_t page, std::int32_t width, std::int32_t height,
                              std::int32_t, std::int32_t, std::int32_t, std::int32_t)
{
    return guarded<VXHANDLE>(nullptr, [&]() -> VXHANDLE {
        if (page < 0)
            return nullptr;
        vxmodule::ImageFile file;
        if (!file.open(path))
            return nullptr;
        vxmodule::ImageFacts facts;
        if (!vxmodule::examineImage(file, &facts))
            return nullptr;
        if (vxmodule::isMetafile(facts.format)) {
            if (page != 0)
                return nullptr;
            const auto kind = facts.format == vxmodule::ImageFormat::Wmf ? vxmodule::vectorWmf : vxmodule::vectorEmf;
            // Drawn at once at the size it will be shown at, never larger
            // than needed and then shrunk.
            const QSize fitted = FittedSize(facts.width, facts.height, width, height);
            const QSize draw(std::max(fitted.width(), 1), std::max(fitted.height(), 1));
            return ImageHandle(vxmodule::vectorToHandle(kind, facts.width, facts.height, draw,
                                                        file.contents(vxmodule::kMaxMetafileBytes)));
        }
        const QImage image = vxmodule::decodeImage(file, facts, page, width, height);
        return ImageHandle(vxmodule::imageToRaster(image));
    });
}

static_assert(std::is_same_v<decltype(&VXFileType), TVXFileType>);
static_assert(std::is_same_v<decltype(&VXFileLoad), TVXFileLoad>);
