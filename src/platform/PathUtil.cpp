#include "PathUtil.h"

#include <unistd.h>
#include <vector>

namespace pictal_platform_internal {

bool forceNoHardLinks = false;
bool forceNamedTempFiles = false;

std::string folderOf(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const auto slash = p.rfind('/');
    if (slash == std::string::npos)
        return ".";
    const auto end = p.find_last_not_of('/', slash);
    return end == std::string::npos ? std::string("/") : p.substr(0, end + 1);
}

bool readLink(const std::string& path, std::string& text)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (std::size_t(n) < buffer.size()) {
            text.assign(buffer.data(), std::size_t(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace pictal_platform_internal
