// The effect module's resize, loaded at run time as the program loads it:
// what it does with the handle pair and the output slot on success and on
// failure.
#include "Gdi.h"
#include "GlobalMemory.h"
#include "Modules.h"
#include "RasterHandles.h"
#include "VxApi.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testrasters::pictureOf;
using testrasters::rasterOf;

class Vx7Effect : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module = LoadLibraryA("Vx7Effect.DLL");
        s_resize = reinterpret_cast<TVXResizeEx>(GetProcAddress(s_module, "VXResizeEx"));
    }
    static void TearDownTestSuite() { FreeLibrary(s_module); }

    void SetUp() override
    {
        ASSERT_NE(s_resize, nullptr) << LastModuleError();
        m_blocks = GlobalBlockCount();
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; x += 2)
                image.setPixel(x, y, qRgb(255, 255, 255));
        m_picture = image;
    }
    void TearDown() override { EXPECT_EQ(GlobalBlockCount(), m_blocks); }

    static HMODULE s_module;
    static TVXResizeEx s_resize;
    QImage m_picture;
    std::size_t m_blocks = 0;
};

HMODULE Vx7Effect::s_module = nullptr;
TVXResizeEx Vx7Effect::s_resize = nullptr;

}  // namespace

TEST_F(Vx7Effect, ResizeConsumesTheFirstHandleOfThePair)
{
    VXHANDLE pair[2] = {rasterOf(m_picture), nullptr};
    VXHANDLE out = reinterpret_cast<VXHANDLE>(0x1);  // whatever the slot held before
    ASSERT_NE(s_resize(pair, &out, 16, 8, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(pair[0], nullptr);
    EXPECT_EQ(pair[1], nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(GlobalBlockCount(), m_blocks + 1);  // only the output is left

    // Resampled smoothly: columns of black and white average to grey.
    const QImage result = pictureOf(out);
    ASSERT_EQ(result.size(), QSize(16, 8));
    EXPECT_NEAR(qRed(result.pixel(7, 3)), 128, 1);
    GlobalFree(ImageMemory(out));

    // Growing works the same way.
    pair[0] = rasterOf(m_picture);
    ASSERT_NE(s_resize(pair, &out, 128, 64, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(pair[0], nullptr);
    EXPECT_EQ(pictureOf(out).size(), QSize(128, 64));
    GlobalFree(ImageMemory(out));
}

TEST_F(Vx7Effect, FailureLeavesThePairToTheCaller)
{
    VXHANDLE raster = rasterOf(m_picture);
    VXHANDLE pair[2] = {raster, nullptr};
    VXHANDLE out = reinterpret_cast<VXHANDLE>(0x1);
    EXPECT_EQ(s_resize(pair, &out, 0, 10, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(pair[0], raster);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(s_resize(pair, &out, 30000, 30000, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(pair[0], raster);
    EXPECT_EQ(pictureOf(raster).size(), QSize(64, 32));  // untouched
    GlobalFree(ImageMemory(raster));

    // A block that is no raster, and a vector handle.
    std::vector<unsigned char> bytes(40, 0);
    std::memcpy(bytes.data(), kVxVectorMagic, 8);
    for (const std::vector<unsigned char>& content : {std::vector<unsigned char>(50, 7), bytes}) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, content.size());
        std::memcpy(GlobalLock(block), content.data(), content.size());
        GlobalUnlock(block);
        pair[0] = ImageHandle(block);
        EXPECT_EQ(s_resize(pair, &out, 10, 10, -1, 0, 0, 0, 0), 0);
        EXPECT_EQ(pair[0], ImageHandle(block));
        EXPECT_EQ(out, nullptr);
        GlobalFree(block);
    }

    // Nothing to resize, or nowhere to put it.
    pair[0] = nullptr;
    EXPECT_EQ(s_resize(pair, &out, 10, 10, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(out, nullptr);
    raster = rasterOf(m_picture);
    pair[0] = raster;
    EXPECT_EQ(s_resize(pair, nullptr, 10, 10, -1, 0, 0, 0, 0), 0);
    EXPECT_EQ(pair[0], raster);
    GlobalFree(ImageMemory(raster));
    EXPECT_EQ(s_resize(nullptr, &out, 10, 10, -1, 0, 0, 0, 0), 0);
}
