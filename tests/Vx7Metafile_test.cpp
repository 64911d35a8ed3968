// Metafiles through the image library's entry points, as the slide viewer
// uses them: identified by content, loaded as vector handles with their
// natural size, drawn by the helper program on a background colour, resized,
// and refused (never a crash) when damaged or hostile.
#include "GlobalMemory.h"
#include "MetafileWriter.h"
#include "RasterHandles.h"
#include "TestFiles.h"
#include "VxApi.h"
#include "VxModules.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using testmetafiles::EmfShape;

using vxtest::TypeRecord;
class Vx7Metafile : public vxtest::ModuleTest {
protected:
    std::string write(const std::string& name, const QByteArray& bytes)
    {
        const std::string path = m_folder.file(name);
        testfiles::writeFile(path, bytes.toStdString());
        return path;
    }
    int pages(const std::string& path) { return std::max(vxtest::pageCount(*s_modules, path), 0); }
    TypeRecord typeOf(VXHANDLE image) { return vxtest::typeOf(*s_modules, image); }

    // The file drawn at its natural size on the background, or a null image.
    QImage drawn(const std::string& path, QColor background, TypeRecord* type = nullptr)
    {
        VXHANDLE vector = s_modules->fileLoad(path.c_str(), 0, 0, 0, 0, 0, 0, 0);
        if (!vector)
            return {};
        const TypeRecord found = typeOf(vector);
        if (type)
            *type = found;
        VXHANDLE raster = s_modules->toRaster(vector, 24, -1, background.red(), background.green(), background.blue());
        s_modules->freeMemory(vector);
        if (!raster)
            return {};
        QImage image = testrasters::pictureOf(raster);
        s_modules->freeMemory(raster);
        return image.convertToFormat(QImage::Format_RGB32);
    }

};


// Channels within tolerance.
bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST_F(Vx7Metafile, WrittenEmfIsAVectorDrawnWithItsShapesOnTheBackground)
{
    const std::string path =
        write("shapes.emf", testmetafiles::emfWith(200, 100, {{EmfShape::Rectangle, 10, 10, 90, 90, qRgb(255, 0, 0)},
                                                              {EmfShape::Ellipse, 110, 10, 190, 90, qRgb(0, 0, 255)}}));
    EXPECT_EQ(pages(path), 1);
    TypeRecord type;
    const QImage image = drawn(path, QColor(0, 255, 0), &type);
    EXPECT_NE(type.kind, kVxKindRaster);
    EXPECT_EQ(type.width, 200);
    EXPECT_EQ(type.height, 100);
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_TRUE(near(image.pixel(50, 50), qRgb(255, 0, 0))) << std::hex << image.pixel(50, 50);
    EXPECT_TRUE(near(image.pixel(150, 50), qRgb(0, 0, 255))) << std::hex << image.pixel(150, 50);
    EXPECT_TRUE(near(image.pixel(100, 95), qRgb(0, 255, 0))) << std::hex << image.pixel(100, 95);
    EXPECT_TRUE(near(image.pixel(112, 12), qRgb(0, 255, 0))) << "outside the ellipse's curve";
}

TEST_F(Vx7Metafile, SampleWmfFilesDrawAtTheirNaturalSize)
{
    const QDir samples(QString(PICTAL_TEST_DATA) + "/wmf");
    const QStringList files = samples.entryList({"*.wmf"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const std::string path = samples.filePath(name).toStdString();
        EXPECT_EQ(pages(path), 1) << path;
        TypeRecord type;
        const QImage image = drawn(path, Qt::white, &type);
        ASSERT_FALSE(image.isNull()) << path;
        EXPECT_EQ(image.size(), QSize(type.width, type.height));
        int painted = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                painted += image.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(painted, image.width() * image.height() / 40) << path << " is nearly blank";
    }
}

TEST_F(Vx7Metafile, VectorPicturesResizeToTheFittedSizeAndTokensComeAndGo)
{
    const std::string path = write("box.emf", testmetafiles::emfWith(300, 150, {{EmfShape::Rectangle, 0, 0, 300, 150, qRgb(255, 255, 0)}}));
    VXHANDLE vector = s_modules->fileLoad(path.c_str(), 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(vector, nullptr);
    const std::int32_t token = s_modules->gdipStart();
    EXPECT_NE(token, 0);
    VXHANDLE raster = s_modules->toRaster(vector, 24, -1, 255, 255, 255);
    s_modules->gdipEnd(token);
    EXPECT_EQ(s_modules->toRaster(vector, 8, -1, 255, 255, 255), nullptr);  // 24 bits only
    s_modules->freeMemory(vector);
    ASSERT_NE(raster, nullptr);
    VXHANDLE pair[2] = {raster, nullptr};
    VXHANDLE resized = nullptr;
    ASSERT_NE(s_modules->resize(pair, &resized, 100, 50, 0, 0, 0, 0, 0), 0);
    ASSERT_NE(resized, nullptr);
    const QImage image = testrasters::pictureOf(resized).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.size(), QSize(100, 50));
    EXPECT_TRUE(near(image.pixel(50, 25), qRgb(255, 255, 0)));
    for (VXHANDLE left : pair)
        if (left)
            s_modules->freeMemory(left);
    s_modules->freeMemory(resized);
}

TEST_F(Vx7Metafile, LoadsForAnAreaAreDrawnAtTheFittedSize)
{
    // Left half red, right half blue (EMF) or a red box on white (WMF).
    const QByteArray emf = testmetafiles::emfWith(2400, 1200, {{EmfShape::Rectangle, 0, 0, 1200, 1200, qRgb(255, 0, 0)},
                                                               {EmfShape::Rectangle, 1200, 0, 2400, 1200, qRgb(0, 0, 255)}});
    const testmetafiles::Bytes wmf = testmetafiles::placeableWmfWithRectangle(1600, 1200, 800, 0, 1600, 1200, qRgb(255, 0, 0));
    const std::string emfPath = write("wide.emf", emf);
    const std::string wmfPath = write("wide.wmf", QByteArray(reinterpret_cast<const char*>(wmf.data()), qsizetype(wmf.size())));
    const struct {
        std::string path;
        int areaWidth, areaHeight;
        QSize drawn;
        QRgb left, right;
    } cases[] = {
        {emfPath, 800, 600, QSize(800, 400), qRgb(255, 0, 0), qRgb(0, 0, 255)},
        {emfPath, 3000, 3000, QSize(2400, 1200), qRgb(255, 0, 0), qRgb(0, 0, 255)},  // never enlarged
        {emfPath, 0, 0, QSize(2400, 1200), qRgb(255, 0, 0), qRgb(0, 0, 255)},        // natural size
        {wmfPath, 400, 400, QSize(400, 300), qRgb(255, 255, 255), qRgb(255, 0, 0)},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.path + " in " + std::to_string(sample.areaWidth) + " x " + std::to_string(sample.areaHeight));
        VXHANDLE vector =
            s_modules->fileLoad(sample.path.c_str(), 0, sample.areaWidth, sample.areaHeight, 0, 0, 0, 0);
        ASSERT_NE(vector, nullptr);
        const TypeRecord type = typeOf(vector);
        EXPECT_EQ(QSize(type.width, type.height), sample.path == emfPath ? QSize(2400, 1200) : QSize(1600, 1200));
        VXHANDLE raster = s_modules->toRaster(vector, 24, -1, 255, 255, 255);
        s_modules->freeMemory(vector);
        ASSERT_NE(raster, nullptr);
        const QImage image = testrasters::pictureOf(raster).convertToFormat(QImage::Format_RGB32);
        s_modules->freeMemory(raster);
        ASSERT_EQ(image.size(), sample.drawn);
        const int middle = image.height() / 2;
        EXPECT_TRUE(near(image.pixel(image.width() / 4, middle), sample.left));
        EXPECT_TRUE(near(image.pixel(image.width() * 3 / 4, middle), sample.right));
    }
}

TEST_F(Vx7Metafile, HostileSizesAreCappedAndDamagedFilesNeverTakeTheProgramDown)
{
    // A header claiming a picture a million pixels wide.
    QByteArray huge = testmetafiles::emfWith(1000000, 10, {{EmfShape::Rectangle, 0, 0, 1000000, 10, qRgb(255, 0, 0)}});
    const std::string hugePath = write("huge.emf", huge);
    VXHANDLE vector = s_modules->fileLoad(hugePath.c_str(), 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(vector, nullptr);
    const TypeRecord type = typeOf(vector);
    EXPECT_EQ(type.width, 8192);
    EXPECT_EQ(type.height, 1);
    s_modules->freeMemory(vector);

    // Truncated and flipped versions of a good file: refused or drawn.
    const QByteArray good = testmetafiles::emfWith(64, 64, {{EmfShape::Ellipse, 4, 4, 60, 60, qRgb(0, 255, 0)}});
    std::vector<QByteArray> damaged;
    for (int length : {0, 8, 40, 44, 107, 108, 140, int(good.size()) - 21})
        damaged.push_back(good.left(length));
    for (int at : {8, 12, 48, 52, 56, 112, 116, 132})
        for (unsigned char value : {0x00, 0x7F, 0xFF}) {
            QByteArray copy = good;
            copy[at] = char(value);
            copy[at + 1] = char(value);
            copy[at + 2] = char(value);
            copy[at + 3] = char(value);
            damaged.push_back(copy);
        }
    // And the damaged metafiles kept beside the project, where they exist.
    const QDir corrupted("/work/shared/samples/emf-corrupted");
    for (const QString& name : corrupted.entryList({"*.emf"}, QDir::Files)) {
        QFile file(corrupted.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            damaged.push_back(file.readAll());
    }
    int index = 0;
    for (const QByteArray& bytes : damaged) {
        const std::string path = write("damaged" + std::to_string(index++) + ".emf", bytes);
        pages(path);
        const QImage image = drawn(path, Qt::white);
        if (!image.isNull()) {
            EXPECT_GT(image.width(), 0);
            EXPECT_LE(image.width(), 8192);
        }
    }
    // A file that is only a header of the other kind is refused.
    EXPECT_EQ(pages(write("empty.wmf", QByteArray("\xD7\xCD\xC6\x9A", 4))), 0);
}

}  // namespace
