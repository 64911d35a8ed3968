#include "ShortcutResolution.h"

#include "ShellHandles.h"
#include "ShellLink.h"
#include "Unicode.h"

#include <climits>
#include <vector>

bool resolveShortcut(const std::string& linkPath, std::string& target)
{
    IShellLinkA* linkObject = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&linkObject))))
        return false;
    const ShellRef<IShellLinkA> link(linkObject);
    IPersistFile* fileObject = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&fileObject))))
        return false;
    const ShellRef<IPersistFile> file(fileObject);
    bool resolved = false;
    // The whole path is converted: paths here may be longer than 260 characters.
    const int length = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, linkPath.c_str(), -1, nullptr, 0);
    if (length > 0) {
        std::vector<char16_t> wide(static_cast<std::size_t>(length));
        if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, linkPath.c_str(), -1, wide.data(), length) > 0 &&
            SUCCEEDED(file->Load(wide.data(), STGM_READ))) {
            std::vector<char> buffer(PATH_MAX);
            if (SUCCEEDED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, SLGP_UNCPRIORITY))) {
                target = buffer.data();
                resolved = true;
            }
        }
    }
    return resolved;
}
