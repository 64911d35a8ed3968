// The client side of the metafile helper program: what it accepts as an
// answer and what it refuses, the time limit, and that every helper process
// is reaped and every descriptor closed. Stand-in helpers are small shell
// scripts written at test time; the real helper draws a written EMF.
#include "MetafileProcess.h"
#include "MetafileWriter.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using vxmodule::renderMetafileWith;

int openDescriptors()
{
    return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

// No child process is left, finished or not.
bool noChildren()
{
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

class MetafileProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.valid());
        m_descriptors = openDescriptors();
    }
    void TearDown() override
    {
        EXPECT_TRUE(noChildren());
        EXPECT_EQ(openDescriptors(), m_descriptors);
    }

    // An executable shell script with the given body.
    std::string helper(const std::string& name, const std::string& body)
    {
        const std::string path = m_folder.file(name);
        testfiles::writeFile(path, "#!/bin/sh\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    QImage ask(const std::string& path, int width, int height, int timeoutMs = 5000)
    {
        return renderMetafileWith(path, 2, m_data.data(), m_data.size(), width, height, Qt::white, timeoutMs);
    }

    testfiles::TempFolder m_folder;
    testmetafiles::Bytes m_data = testmetafiles::EmfWriter(8, 8).bytes();
    int m_descriptors = 0;
};

// printf octal escapes of a little-endian 32-bit number.
std::string le32(unsigned value)
{
    std::string out;
    for (int i = 0; i < 4; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "\\%03o", (value >> (8 * i)) & 0xFF);
        out += digits;
    }
    return out;
}

TEST_F(MetafileProcess, AnExactAnswerIsThePicture)
{
    // 2 x 1 pixels: 0x00112233 and 0x00445566, alpha made opaque.
    const std::string good = helper("good", "cat >/dev/null\nprintf '" + le32(2) + le32(1) + le32(0x112233) +
                                                le32(0x445566) + "'");
    const QImage image = ask(good, 2, 1);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(image.pixel(1, 0), 0xFF445566u);
}

TEST_F(MetafileProcess, AnythingButTheAskedPictureIsRefused)
{
    const std::string pixel = le32(0x112233);
    EXPECT_TRUE(ask(helper("other-size", "printf '" + le32(2) + le32(2) + pixel + pixel + pixel + pixel + "'"), 1, 1).isNull());
    EXPECT_TRUE(ask(helper("short", "printf '" + le32(2) + le32(1) + pixel + "'"), 2, 1).isNull());
    EXPECT_TRUE(ask(helper("long", "printf '" + le32(1) + le32(1) + pixel + pixel + "'"), 1, 1).isNull());
    EXPECT_TRUE(ask(helper("failing", "printf '" + le32(1) + le32(1) + pixel + "'\nexit 1"), 1, 1).isNull());
    EXPECT_TRUE(ask(helper("crashing", "kill -KILL $$"), 1, 1).isNull());
    EXPECT_TRUE(ask(helper("silent", "exec cat >/dev/null"), 1, 1).isNull());
    EXPECT_TRUE(ask(m_folder.file("missing"), 1, 1).isNull());
    // Sizes over the limits are refused before any helper starts.
    EXPECT_TRUE(ask(helper("unused", "exit 0"), 8193, 1).isNull());
    EXPECT_TRUE(ask(helper("unused2", "exit 0"), 8192, 8192).isNull());
}

TEST_F(MetafileProcess, AHelperThatTakesTooLongIsKilled)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(ask(helper("sleeping", "exec sleep 30"), 1, 1, 300).isNull());
    // The answer is stuck: the pixels never come, and neither does the end.
    const std::string pixelLess = helper("stuck", "printf '" + le32(1) + le32(1) + "'\nexec sleep 30");
    EXPECT_TRUE(ask(pixelLess, 1, 1, 300).isNull());
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST_F(MetafileProcess, TheRealHelperDrawsAWrittenPicture)
{
    const std::string helperPath = vxmodule::metafileHelperPath();
    ASSERT_FALSE(helperPath.empty());
    const QByteArray emf = testmetafiles::emfWith(40, 20, {{testmetafiles::EmfShape::Rectangle, 0, 0, 20, 20, qRgb(0, 0, 255)}});
    const QImage image = renderMetafileWith(helperPath, 2, reinterpret_cast<const unsigned char*>(emf.constData()),
                                            std::size_t(emf.size()), 40, 20, Qt::white, 20000);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(5, 10), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(35, 10), qRgb(255, 255, 255));
}

}  // namespace
