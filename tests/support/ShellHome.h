// The home the folder controls' tests browse: a folder with Desktop
// (folders alpha, beta and the hidden .secret, and the file note.txt) and
// Documents, with HOME and XDG_CONFIG_HOME pointing at it while it lives;
// and the fixture of those tests.
#pragma once

#include "Application.h"
#include "EnvOverride.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/stat.h>

namespace testfiles {

inline void makeFolder(const std::string& path)
{
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

class ShellHome {
public:
    explicit ShellHome(const std::string& path)
        : m_path(path),
          m_made(make(path)),
          m_home("HOME", path),
          m_config("XDG_CONFIG_HOME", path + "/.config")
    {
    }
    const std::string& path() const { return m_path; }

private:
    static bool make(const std::string& home)
    {
        for (const char* folder : {"", "/Desktop", "/Documents", "/Desktop/alpha", "/Desktop/beta", "/Desktop/.secret"})
            makeFolder(home + folder);
        writeFile(home + "/Desktop/note.txt", "note\n");
        return true;
    }

    std::string m_path;
    bool m_made;
    EnvOverride m_home;
    EnvOverride m_config;
};

// The fixture of the folder controls' tests: the desktop set up, a temporary
// folder (m_dir) with the browsed home in it (m_home), a shown host window of
// the given size for the controls, and at the end the check that the shell
// has as many live objects and identifier lists as when the test began (so
// every control gave back what it took). A test's own SetUp calls this one
// first and then makes its files.
class ShellBrowseTest : public ::testing::Test {
protected:
    ShellBrowseTest(int hostWidth, int hostHeight) : m_hostWidth(hostWidth), m_hostHeight(hostHeight) {}

    void SetUp() override
    {
        InitializeDesktop();
        ASSERT_TRUE(m_dir.valid());
        m_home = m_dir.file("home");
        m_shellHome = std::make_unique<ShellHome>(m_home);
        m_host = std::make_unique<QWidget>();
        m_host->resize(m_hostWidth, m_hostHeight);
        m_host->show();
        m_shellCounts = shelltest::shellCounts();
    }
    void TearDown() override { EXPECT_EQ(shelltest::shellCounts(), m_shellCounts); }

    TempFolder m_dir;
    std::string m_home;
    std::unique_ptr<ShellHome> m_shellHome;
    std::unique_ptr<QWidget> m_host;
    shelltest::ShellCounts m_shellCounts;

private:
    int m_hostWidth;
    int m_hostHeight;
};

}  // namespace testfiles
