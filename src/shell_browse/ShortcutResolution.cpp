#include "ShortcutResolution.h"

#include "ShellHandles.h"
#include "ShellItems.h"
#include "ShellLink.h"

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
    const std::u16string wide = shellText(linkPath);
    if (!wide.empty()) {
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            std::vector<char> buffer(PATH_MAX);
            if (SUCCEEDED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, SLGP_UNCPRIORITY))) {
                target = buffer.data();
                resolved = true;
            }
        }
    }
    return resolved;
}
