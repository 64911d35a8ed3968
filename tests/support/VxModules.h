// The image library's modules for tests, opened at run time as the program
// opens them, with the entry points the picture tests call, and readers of
// the records the library fills.
#pragma once

#include "Modules.h"
#include "TestFiles.h"
#include "VxApi.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstddef>

#include <string>

namespace vxtest {

struct VxModules {
    VxModules();
    ~VxModules();
    VxModules(const VxModules&) = delete;
    VxModules& operator=(const VxModules&) = delete;

    HMODULE file = nullptr;
    HMODULE com = nullptr;
    HMODULE effect = nullptr;
    HMODULE vect = nullptr;
    TVXFileType fileType = nullptr;
    TVXFileLoad fileLoad = nullptr;
    TVXFreeMemory freeMemory = nullptr;
    TVXGetImageType imageType = nullptr;
    TVXResizeEx resize = nullptr;
    TVXVectorToRaster toRaster = nullptr;
    TVXVectorGdipStart gdipStart = nullptr;
    TVXVectorGdipEnd gdipEnd = nullptr;
};

struct TypeRecord {
    int width = 0;
    int height = 0;
    int kind = 0;  // 0 when VXGetImageType refused the handle
};

// The type record of an image handle.
TypeRecord typeOf(const VxModules& modules, VXHANDLE image);
// The page count VXFileType reports for page 0, or -1 when it refuses the file.
int pageCount(const VxModules& modules, const std::string& path);

// The raster VXFileLoad gives for page at the size hint, checked to be a
// valid 24-bit DIB whose type record agrees with it, the handle released; a
// null image when the load fails.
QImage loadRaster(const VxModules& modules, const std::string& path, int page, int width, int height);

// A fixture over the modules, opened once per suite: every entry point must
// be there, a test has a temporary folder, and every memory block a test got
// from the library is released by its end.
class ModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static VxModules* s_modules;
    testfiles::TempFolder m_folder;
    std::size_t m_blocks = 0;
};

}  // namespace vxtest
