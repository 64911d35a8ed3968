#include "Paths.h"

#include <cerrno>
#include <unistd.h>

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string WithoutTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

PathParts SplitAtLastSlash(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {std::string(), std::string(path)};
    const std::string_view folder = path.substr(0, slash + 1);
    return {WithoutTrailingSlashes(folder), std::string(path.substr(slash + 1))};
}

std::string LastPathComponent(std::string_view path)
{
    const std::string trimmed = WithoutTrailingSlashes(path);
    return trimmed == "/" ? trimmed : SplitAtLastSlash(trimmed).name;
}

std::string ParentFolder(std::string_view path)
{
    std::string folder = SplitAtLastSlash(WithoutTrailingSlashes(path)).folder;
    return folder.empty() ? std::string(".") : folder;
}

std::string WorkingFolder()
{
    std::string buffer(256, '\0');
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}
