#include "ShellItems.h"

#include "SysUtils.h"
#include "Unicode.h"

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

IShellFolder* newNodeFolder(const TFflNodeInfo* info, IShellFolder* parent)
{
    if (!info)
        return nullptr;
    if (info->folder)
        return AddShellRef(info->folder).release();
    return bindFolder(parent, info->pidl).release();
}

bool compareItems(IShellFolder* folder, LPCITEMIDLIST item1, LPCITEMIDLIST item2, int& order)
{
    if (!folder || !item1 || !item2)
        return false;
    const HRESULT result = folder->CompareIDs(0, item1, item2);
    if (FAILED(result))
        return false;
    order = static_cast<short>(HRESULT_CODE(result));
    return true;
}

bool sameItem(IShellFolder* folder, LPCITEMIDLIST item1, LPCITEMIDLIST item2)
{
    int order = 0;
    return compareItems(folder, item1, item2, order) && order == 0;
}

ShellRef<IEnumIDList> enumerate(IShellFolder* folder, SHCONTF contents)
{
    IEnumIDList* enumerator = nullptr;
    // The owner window handed to the shell: none.
    if (!folder || FAILED(folder->EnumObjects(nullptr, contents, &enumerator)))
        return nullptr;
    return ShellRef<IEnumIDList>(enumerator);
}

UniquePidl nextItem(IEnumIDList* enumerator)
{
    LPITEMIDLIST item = nullptr;
    const bool fetched = enumerator->Next(1, &item, nullptr) == S_OK;
    UniquePidl owned(item);
    return fetched ? std::move(owned) : nullptr;
}

std::u16string shellText(const std::string& text)
{
    return WideFromNarrow(text.c_str());
}

std::string expandedShellPath(const std::string& path)
{
    // Virtual folders are named in the "::{class}" form, which is no file path.
    if (path.rfind("::", 0) == 0)
        return path;
    return ExpandFileName(path);
}

UniquePidl parseShellPath(IShellFolder* desktop, const std::string& path, SFGAOF& attributes)
{
    const std::u16string wide = shellText(path);
    if (wide.empty() || !desktop)
        return nullptr;
    LPITEMIDLIST parsedList = nullptr;
    const HRESULT result = desktop->ParseDisplayName(nullptr, nullptr, wide.c_str(), nullptr, &parsedList, &attributes);
    UniquePidl parsed(parsedList);
    return SUCCEEDED(result) ? std::move(parsed) : nullptr;
}
