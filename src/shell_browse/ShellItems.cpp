#include "ShellItems.h"

bool displayNameOf(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags, std::string& name)
{
    if (!folder)
        return false;
    STRRET value;
    if (FAILED(folder->GetDisplayNameOf(item, flags, &value)))
        return false;
    char* text = nullptr;
    if (FAILED(StrRetToStrA(&value, item, &text)) || !text)
        return false;
    name = text;
    CoTaskMemFree(text);
    return true;
}

bool attributesOf(IShellFolder* folder, LPCITEMIDLIST item, std::uint32_t& attributes)
{
    if (!folder || !item)
        return false;
    SFGAOF mask = kFflAttributeRequest;
    LPCITEMIDLIST items[1] = {item};
    if (FAILED(folder->GetAttributesOf(1, items, &mask)))
        return false;
    attributes = mask;
    return true;
}

ShellRef<IShellFolder> bindFolder(IShellFolder* parent, LPCITEMIDLIST item)
{
    if (!parent || !item)
        return nullptr;
    IShellFolder* folder = nullptr;
    if (FAILED(parent->BindToObject(item, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
        return nullptr;
    return ShellRef<IShellFolder>(folder);
}
