#include "SlideDecodeAhead.h"

#include "GlobalMemory.h"
#include "TestFiles.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QThread>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace {

// A picture of coloured noise, so that the decoder and the resampling have
// real work and every pixel tells.
void writeNoise(const std::string& path, int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    ASSERT_TRUE(image.save(QString::fromStdString(path), nullptr, 90)) << path;
}

// The image's bytes (header, palette and pixels).
std::string bytesOf(VXHANDLE image)
{
    const HGLOBAL memory = ImageMemory(image);
    const void* data = GlobalLock(memory);
    std::string bytes(static_cast<const char*>(data), data ? GlobalSize(memory) : 0);
    if (data)
        GlobalUnlock(memory);
    return bytes;
}

class TSlideDecodeAhead : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitializeVX(kVxUserSlide));
        ASSERT_NE(Vxdllprocs::VXFileLoad, nullptr) << "the image library's modules are not built";
        writeNoise(folder.file("a.jpg"), 1200, 900, 1);
        writeNoise(folder.file("b.png"), 200, 150, 2);
    }
    void TearDown() override
    {
        ahead.reset();
        TerminateVX(kVxUserSlide);
    }

    TSlideLoad load(const std::string& name, int width = 321, int height = 241) const
    {
        return TSlideLoad{folder.file(name), 0, width, height, 0xFFC0C0};
    }

    // Waits until count results are held (the worker has finished).
    bool waitHeld(std::size_t count)
    {
        QElapsedTimer clock;
        clock.start();
        while (ahead->HeldCount() != count && clock.elapsed() < 20000)
            QThread::msleep(5);
        return ahead->HeldCount() == count;
    }

    testfiles::TempFolder folder;
    std::unique_ptr<::TSlideDecodeAhead> ahead = std::make_unique<::TSlideDecodeAhead>();
};

TEST_F(TSlideDecodeAhead, AResultIsTheDirectLoadPixelForPixelAndIsHandedOutOnce)
{
    for (const char* name : {"a.jpg", "b.png"}) {
        SCOPED_TRACE(name);
        ahead->Request({load(name)});
        ASSERT_TRUE(waitHeld(1));
        VXHANDLE early = ahead->Take(load(name));
        ASSERT_NE(early, nullptr);
        EXPECT_EQ(ahead->Take(load(name)), nullptr) << "taken once";
        VXHANDLE direct = LoadFittedSlide(load(name));
        ASSERT_NE(direct, nullptr);
        EXPECT_EQ(bytesOf(early), bytesOf(direct));
        FreeSlideImage(early);
        FreeSlideImage(direct);
    }
}

TEST_F(TSlideDecodeAhead, AFileChangedAfterDecodingOrWorkNotAskedForAgainIsDropped)
{
    const std::size_t blocks = GlobalBlockCount();
    ahead->Request({load("a.jpg"), load("b.png")});
    ASSERT_TRUE(waitHeld(2));

    // Rewritten by another program: a new version, even within one clock tick.
    writeNoise(folder.file("b.png"), 200, 150, 3);
    struct timespec times[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.file("b.png").c_str(), times, 0), 0);
    EXPECT_EQ(ahead->Take(load("b.png")), nullptr) << "the old picture is not handed out";

    // Another display size: what was decoded for the old one goes.
    ahead->Request({load("a.jpg", 641, 481)});
    ASSERT_TRUE(waitHeld(1));
    EXPECT_EQ(ahead->Take(load("a.jpg")), nullptr);
    VXHANDLE bigger = ahead->Take(load("a.jpg", 641, 481));
    ASSERT_NE(bigger, nullptr);
    FreeSlideImage(bigger);
    EXPECT_EQ(GlobalBlockCount(), blocks) << "every dropped picture was freed";
}

}  // namespace
