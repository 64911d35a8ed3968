#include "ShellExecute.h"
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

// Puts a recording xdg-open first on PATH: it writes its arguments to a file.
class RecordingOpener {
public:
    RecordingOpener()
    {
        const std::string script = m_folder.file("xdg-open");
        testfiles::writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + log() + ".tmp\" && mv \"" + log() +
                                         ".tmp\" \"" + log() + "\"\n");
        ::chmod(script.c_str(), 0755);
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (m_folder.path() + ":" + m_oldPath).c_str(), 1);
    }
    ~RecordingOpener() { ::setenv("PATH", m_oldPath.c_str(), 1); }
    std::string log() const { return m_folder.file("opened.txt"); }
    std::string waitForLog() const
    {
        for (int i = 0; i < 500 && !testfiles::exists(log()); ++i)
            QThread::msleep(10);
        return testfiles::exists(log()) ? testfiles::readFile(log()) : std::string();
    }

private:
    testfiles::TempFolder m_folder;
    std::string m_oldPath;
};

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
