// FlashPix pictures through the picture file module, loaded at run time as
// the program loads it: one page each, a 24-bit raster of the full picture,
// and the smaller resolution level when the size hint allows it.
#include "GlobalMemory.h"
#include "Modules.h"
#include "TestFiles.h"
#include "VxApi.h"
#include "VxModules.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kSamples[] = {"input_truecolor", "input_256", "input_jpeg", "input_grayscale", "input_bw"};

class Vx7FileFlashPix : public vxtest::ModuleTest {
protected:
    // A sample copied under a name without its extension, so that only the
    // contents can tell what it is.
    std::string copy(const std::string& name)
    {
        const std::string path = m_folder.file(name + ".picture");
        testfiles::writeFile(path, testfiles::readFile(std::string(PICTAL_TEST_DATA) + "/fpx/" + name + ".fpx"));
        return path;
    }

    // The page count VXFileType reports, or -1 when it refuses the file.
    int pages(const std::string& file) { return vxtest::pageCount(*s_modules, file); }

    // The picture VXFileLoad gives (checked to be a 24-bit DIB whose type
    // record agrees), the handle released; a null image for 0.
    QImage load(const std::string& file, int width, int height)
    {
        return vxtest::loadRaster(*s_modules, file, 0, width, height);
    }
};

TEST_F(Vx7FileFlashPix, EachSampleIsOnePage)
{
    for (const char* name : kSamples)
        EXPECT_EQ(pages(copy(name)), 1) << name;
}

TEST_F(Vx7FileFlashPix, LoadsTheFullPictureAs24Bits)
{
    const QImage reference =
        QImage(QString(PICTAL_TEST_DATA) + "/fpx/input_truecolor.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(reference.size(), QSize(70, 46));
    for (const char* name : kSamples) {
        const QImage image = load(copy(name), 800, 600);
        ASSERT_EQ(image.size(), QSize(70, 46)) << name;
        if (std::string(name) == "input_truecolor") {
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), reference);
        }
    }
}

TEST_F(Vx7FileFlashPix, SmallSizeHintLoadsTheReducedLevel)
{
    for (const char* name : kSamples) {
        const std::string file = copy(name);
        EXPECT_EQ(load(file, 35, 35).size(), QSize(35, 23)) << name;
        EXPECT_EQ(load(file, 20, 10).size(), QSize(35, 23)) << name;
        // The reduced level would not cover a picture fitted into 50 x 40.
        EXPECT_EQ(load(file, 50, 40).size(), QSize(70, 46)) << name;
    }
}

TEST_F(Vx7FileFlashPix, RefusesADamagedPicture)
{
    std::string bytes = testfiles::readFile(std::string(PICTAL_TEST_DATA) + "/fpx/input_truecolor.fpx");
    ASSERT_GT(bytes.size(), 2048u);
    const std::string path = m_folder.file("cut.fpx");
    testfiles::writeFile(path, bytes.substr(0, 1536));
    EXPECT_EQ(pages(path), -1);
    EXPECT_TRUE(load(path, 0, 0).isNull());
}

}  // namespace
