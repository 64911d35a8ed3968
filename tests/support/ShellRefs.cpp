#include "ShellRefs.h"

#include "Unicode.h"

#include <gtest/gtest.h>

namespace shelltest {

std::u16string wide(const std::string& text)
{
    return WideFromNarrow(text);
}

ShellCounts shellCounts()
{
    return {ShellLiveObjects(), CoTaskMemLiveBlocks()};
}

void PrintTo(const ShellCounts& counts, std::ostream* out)
{
    *out << counts.objects << " shell objects, " << counts.blocks << " task-allocator blocks";
}

ShellRef<IShellFolder> desktop()
{
    IShellFolder* folder = nullptr;
    EXPECT_EQ(SHGetDesktopFolder(&folder), S_OK);
    return ShellRef<IShellFolder>(folder);
}

UniquePidl parse(IShellFolder* folder, const std::string& path, ULONG* attributes)
{
    LPITEMIDLIST list = nullptr;
    const std::u16string name = wide(path);
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name.c_str(), nullptr, &list, attributes)))
        return nullptr;
    return UniquePidl(list);
}

ShellRef<IShellFolder> folderAt(const std::string& path)
{
    ShellRef<IShellFolder> root = desktop();
    UniquePidl list = parse(root.get(), path);
    if (!list)
        return nullptr;
    void* object = nullptr;
    if (FAILED(root->BindToObject(list.get(), nullptr, IID_IShellFolder, &object)))
        return nullptr;
    return ShellRef<IShellFolder>(static_cast<IShellFolder*>(object));
}

}  // namespace shelltest
