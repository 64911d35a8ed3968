#include "UserFolders.h"

#include "Paths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string XdgFolder(const char* variable, const char* underHome)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return value;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : JoinPath(home, underHome);
}

bool MakeFolders(const std::string& folder)
{
    struct stat st;
    if (folder.empty() || ::stat(folder.c_str(), &st) == 0) {
        errno = ENOTDIR;
        return !folder.empty() && S_ISDIR(st.st_mode);
    }
    const std::string parent = ParentFolder(folder);
    if (parent != folder && parent != "." && !MakeFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}
