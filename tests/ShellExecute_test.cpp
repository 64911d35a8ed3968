#include "ShellExecute.h"
#include "RecordingOpener.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QThread>

#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>

namespace {

std::intptr_t code(HINSTANCE h)
{
    return reinterpret_cast<std::intptr_t>(h);
}


}  // namespace

TEST(ShellExecuteA, OpensAFileOrAnAddressThroughXdgOpen)
{
    RecordingOpener opener;
    testfiles::TempFolder docs;
    const std::string guide = docs.file("Readme.txt");
    testfiles::writeFile(guide, "guide");

    EXPECT_GT(code(ShellExecuteA(nullptr, "OPEN", guide.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(opener.waitForLog(), guide + "\n");

    ::unlink(opener.log().c_str());
    const char* address = "https://example.invalid/info.php?pf=w&sn=pictal";
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(opener.waitForLog(), std::string(address) + "\n");
}

TEST(ShellExecuteA, RefusesMissingFilesAndUnknownVerbs)
{
    RecordingOpener opener;
    testfiles::TempFolder docs;
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", docs.file("missing.txt").c_str(), nullptr, nullptr, 1)), 2);
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, 1)), 2);
    testfiles::writeFile(docs.file("a.txt"), "a");
    EXPECT_EQ(code(ShellExecuteA(nullptr, "print", docs.file("a.txt").c_str(), nullptr, nullptr, 1)), 31);
    QThread::msleep(100);
    EXPECT_FALSE(testfiles::exists(opener.log())) << "nothing was started";
}
