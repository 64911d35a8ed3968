#include "VxModules.h"

#include "Gdi.h"
#include "GlobalMemory.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace vxtest {

namespace {

template <typename T>
T entry(HMODULE module, const char* name)
{
    return reinterpret_cast<T>(GetProcAddress(module, name));
}

}  // namespace

VxModules::VxModules()
    : file(LoadLibraryA("Vx7File.DLL")),
      com(LoadLibraryA("Vx7Com.DLL")),
      effect(LoadLibraryA("Vx7Effect.DLL")),
      vect(LoadLibraryA("Vx7VectCom.DLL")),
      fileType(entry<TVXFileType>(file, "VXFileType")),
      fileLoad(entry<TVXFileLoad>(file, "VXFileLoad")),
      freeMemory(entry<TVXFreeMemory>(com, "VXFreeMemory")),
      imageType(entry<TVXGetImageType>(com, "VXGetImageType")),
      resize(entry<TVXResizeEx>(effect, "VXResizeEx")),
      toRaster(entry<TVXVectorToRaster>(vect, "VXVectorToRaster")),
      gdipStart(entry<TVXVectorGdipStart>(vect, "VXVectorGdipStart")),
      gdipEnd(entry<TVXVectorGdipEnd>(vect, "VXVectorGdipEnd"))
{
}

VxModules::~VxModules()
{
    for (HMODULE module : {vect, effect, com, file})
        if (module)
            FreeLibrary(module);
}

TypeRecord typeOf(const VxModules& modules, VXHANDLE image)
{
    std::vector<unsigned char> record(kVxTypeRecordSize);
    TypeRecord type;
    if (!modules.imageType || !modules.imageType(image, record.data()))
        return type;
    std::int32_t width = 0, height = 0;
    std::int16_t kind = 0;
    std::memcpy(&width, record.data() + kVxTypeRecordWidth, sizeof width);
    std::memcpy(&height, record.data() + kVxTypeRecordHeight, sizeof height);
    std::memcpy(&kind, record.data() + kVxTypeRecordKind, sizeof kind);
    type.width = width;
    type.height = height;
    type.kind = kind;
    return type;
}

int pageCount(const VxModules& modules, const std::string& path)
{
    std::vector<unsigned char> record(kVxFileRecordSize, 0);
    if (!modules.fileType || !modules.fileType(path.c_str(), 0, record.data()))
        return -1;
    std::int16_t count = 0;
    std::memcpy(&count, record.data() + kVxFileRecordPageCount, sizeof count);
    return count;
}

QImage loadRaster(const VxModules& modules, const std::string& path, int page, int width, int height)
{
    VXHANDLE handle = modules.fileLoad(path.c_str(), std::int16_t(page), width, height, 0, 0, 0, 0);
    if (!handle)
        return {};
    QImage image;
    const HGLOBAL block = ImageMemory(handle);
    const std::size_t size = GlobalSize(block);
    const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(block));
    EXPECT_NE(info, nullptr);
    if (info) {
        EXPECT_TRUE(DibIsValid(info, size));
        EXPECT_EQ(info->bmiHeader.biBitCount, 24);
        const auto* bits = reinterpret_cast<const unsigned char*>(info) + info->bmiHeader.biSize
                           + DibColorTableSize(info->bmiHeader);
        image = DibToImage(info, bits).copy();
        GlobalUnlock(block);
    }
    const TypeRecord type = typeOf(modules, handle);
    EXPECT_EQ(type.width, image.width());
    EXPECT_EQ(type.height, image.height());
    EXPECT_EQ(type.kind, kVxKindRaster);
    modules.freeMemory(handle);
    return image;
}

VxModules* ModuleTest::s_modules = nullptr;

void ModuleTest::SetUpTestSuite()
{
    s_modules = new VxModules;
}

void ModuleTest::TearDownTestSuite()
{
    delete s_modules;
    s_modules = nullptr;
}

void ModuleTest::SetUp()
{
    const VxModules& m = *s_modules;
    for (const void* entryPoint : {reinterpret_cast<const void*>(m.fileType), reinterpret_cast<const void*>(m.fileLoad),
                                   reinterpret_cast<const void*>(m.freeMemory), reinterpret_cast<const void*>(m.imageType),
                                   reinterpret_cast<const void*>(m.resize), reinterpret_cast<const void*>(m.toRaster),
                                   reinterpret_cast<const void*>(m.gdipStart), reinterpret_cast<const void*>(m.gdipEnd)})
        ASSERT_NE(entryPoint, nullptr) << LastModuleError();
    ASSERT_TRUE(m_folder.valid());
    m_blocks = GlobalBlockCount();
}

void ModuleTest::TearDown()
{
    EXPECT_EQ(GlobalBlockCount(), m_blocks);
}

}  // namespace vxtest
