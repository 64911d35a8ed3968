#include "PathUtil.h"

#include <unistd.h>
#include <vector>

namespace pictal_platform_internal {

bool forceNoHardLinks = false;
bool forceNamedTempFiles = false;

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
