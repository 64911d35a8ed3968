// The home the folder controls' tests browse: a folder with Desktop
// (folders alpha, beta and the hidden .secret, and the file note.txt) and
// Documents, with HOME and XDG_CONFIG_HOME pointing at it while it lives.
#pragma once

#include "EnvOverride.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

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

}  // namespace testfiles
