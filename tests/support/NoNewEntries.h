// A folder that takes no new entries for the rest of a scope.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace testfiles {

// Runs as a user who may not create entries in a folder that takes none:
// the superuser steps down to "nobody" (effective ids, given back at the end
// of the scope); anyone else closes the folder with its permission bits.
class NoNewEntries {
public:
    explicit NoNewEntries(const std::string& dir) : m_dir(dir)
    {
        if (::geteuid() == 0) {
            m_root = true;
            m_ok = ::chmod(dir.c_str(), 0755) == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        } else {
            m_ok = ::chmod(dir.c_str(), 0555) == 0;
        }
    }
    ~NoNewEntries()
    {
        if (m_root) {
            if (::seteuid(0) != 0 || ::setegid(0) != 0)
                std::abort();  // every later test would run unprivileged
        } else {
            ::chmod(m_dir.c_str(), 0755);
        }
    }
    bool ok() const { return m_ok; }
    bool steppedDown() const { return m_root; }

private:
    std::string m_dir;
    bool m_root = false;
    bool m_ok = false;
};

}  // namespace testfiles
