#include "TestFiles.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Every procedure variable, by entry point name.
std::vector<std::pair<const char*, void*>> allVariables()
{
    using namespace Vxdllprocs;
    auto v = [](auto f) { return reinterpret_cast<void*>(f); };
    return {
        {"VXGetImageType", v(VXGetImageType)}, {"SetImageSize", v(SetImageSize)},
        {"VXFreeMemory", v(VXFreeMemory)}, {"GetDibPalSize", v(GetDibPalSize)},
        {"_StretchDIBits", v(_StretchDIBits)}, {"_BoxFull", v(_BoxFull)}, {"_Box", v(_Box)}, {"_Line", v(_Line)},
        {"SetTermYEN", v(SetTermYEN)}, {"GetFullpathFilename", v(GetFullpathFilename)},
        {"GetPagefromFilename", v(GetPagefromFilename)}, {"CutPagefromFilename", v(CutPagefromFilename)},
        {"GetPathDir", v(GetPathDir)}, {"GetPathFileExt", v(GetPathFileExt)}, {"GetFileExt", v(GetFileExt)},
        {"GetFileDateTimeEx", v(GetFileDateTimeEx)}, {"IsSetDrive", v(IsSetDrive)},
        {"DataFileExist", v(DataFileExist)}, {"StrRightCopy", v(StrRightCopy)}, {"VXResizeEx", v(VXResizeEx)},
        {"VXFileType", v(VXFileType)}, {"VXFileLoad", v(VXFileLoad)}, {"VXVectorToRaster", v(VXVectorToRaster)},
        {"VXVectorGdipStart", v(VXVectorGdipStart)}, {"VXVectorGdipEnd", v(VXVectorGdipEnd)},
    };
}

const char* const kBuiltModules[] = {"Vx7Com.DLL", "Vx7Effect.DLL", "Vx7File.DLL", "Vx7VectCom.DLL"};
const char* const kAbsentModules[] = {"Vx7Print.DLL", "Vx7Scan.DLL", "Vx7RasToVect.DLL"};

void expectAllReleased()
{
    EXPECT_EQ(VXUserCount(), 0);
    for (const auto& [name, variable] : allVariables())
        EXPECT_EQ(variable, nullptr) << name;
    for (const char* module : kBuiltModules)
        EXPECT_FALSE(VXModuleLoaded(module)) << module;
}

// Every test starts and ends with no user counted.
class Vxinit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VXUserCount(), 0); }
    void TearDown() override
    {
        for (int kind = kVxUserFirst; kind <= kVxUserLast; ++kind)
            while (TerminateVX(kind)) {
            }
    }
};

}  // namespace

TEST_F(Vxinit, FirstUserLoadsEveryBuiltModule)
{
    expectAllReleased();
    ASSERT_TRUE(InitializeVX(kVxUserSlide));
    EXPECT_EQ(VXUserCount(), 1);
    for (const char* module : kBuiltModules)
        EXPECT_TRUE(VXModuleLoaded(module)) << module;
    // The modules that are not built are simply absent.
    for (const char* module : kAbsentModules)
        EXPECT_FALSE(VXModuleLoaded(module)) << module;
    for (const auto& [name, variable] : allVariables())
        EXPECT_NE(variable, nullptr) << name;

    // The variables reach working code: a real PNG is identified, a text is not.
    testfiles::TempFolder folder;
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(QString::fromStdString(folder.file("p.png"))));
    testfiles::writeFile(folder.file("t.png"), "text");
    alignas(8) unsigned char record[kVxFileRecordSize] = {};
    EXPECT_NE(Vxdllprocs::VXFileType(folder.file("p.png").c_str(), 0, record), 0);
    std::int16_t pages = 0;
    std::memcpy(&pages, record + kVxFileRecordPageCount, sizeof pages);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(Vxdllprocs::VXFileType(folder.file("t.png").c_str(), 0, record), 0);
}

TEST_F(Vxinit, UsersAreCountedByKindAndTheLastOneReleases)
{
    ASSERT_TRUE(InitializeVX(101));
    ASSERT_TRUE(InitializeVX(kVxUserSlide));
    ASSERT_TRUE(InitializeVX(kVxUserSlide));
    ASSERT_TRUE(InitializeVX(104));
    EXPECT_EQ(VXUserCount(), 4);

    // Later users do not load again: a variable cleared by hand stays cleared.
    const auto freeMemory = Vxdllprocs::VXFreeMemory;
    ASSERT_NE(freeMemory, nullptr);
    Vxdllprocs::VXFreeMemory = nullptr;
    ASSERT_TRUE(InitializeVX(103));
    EXPECT_EQ(Vxdllprocs::VXFreeMemory, nullptr);
    Vxdllprocs::VXFreeMemory = freeMemory;
    EXPECT_EQ(VXUserCount(), 5);

    EXPECT_FALSE(TerminateVX(kVxUserLast + 1));
    EXPECT_TRUE(TerminateVX(101));
    EXPECT_FALSE(TerminateVX(101));  // that kind has no user left
    EXPECT_TRUE(TerminateVX(103));
    EXPECT_TRUE(TerminateVX(104));
    EXPECT_TRUE(TerminateVX(kVxUserSlide));
    EXPECT_EQ(VXUserCount(), 1);
    EXPECT_TRUE(VXModuleLoaded("Vx7File.DLL"));
    EXPECT_NE(Vxdllprocs::VXFileType, nullptr);

    EXPECT_TRUE(TerminateVX(kVxUserSlide));
    expectAllReleased();
    EXPECT_FALSE(TerminateVX(kVxUserSlide));

    // A new first user loads everything again.
    ASSERT_TRUE(InitializeVX(kVxUserSlide));
    EXPECT_TRUE(VXModuleLoaded("Vx7File.DLL"));
    EXPECT_NE(Vxdllprocs::VXFileType, nullptr);
    EXPECT_NE(Vxdllprocs::VXFreeMemory, nullptr);
    EXPECT_TRUE(TerminateVX(kVxUserSlide));
    expectAllReleased();
}

TEST_F(Vxinit, KindsOutsideTheRangeAreRefused)
{
    for (int kind : {0, -1, kVxUserFirst - 1, kVxUserLast + 1, 1000}) {
        EXPECT_FALSE(InitializeVX(kind)) << kind;
        EXPECT_FALSE(TerminateVX(kind)) << kind;
    }
    expectAllReleased();
}
