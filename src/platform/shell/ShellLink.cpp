#include "ShellLink.h"

#include "ComObject.h"
#include "Paths.h"
#include "ShellHandles.h"
#include "ShellItem.h"
#include "Unicode.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr HRESULT kInsufficientBuffer = static_cast<HRESULT>(0x8007007Au);

std::optional<std::string> narrow(LPCOLESTR wide)
{
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::string text(std::size_t(needed), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), needed) != needed)
        return std::nullopt;
    text.pop_back();  // the NUL
    return text;
}

bool climbs(const fs::path& path)
{
    for (const fs::path& part : path)
        if (part == "..")
            return true;
    return false;
}

// The absolute path that following the link at linkPath (absolute) reaches
// in one step, given the target text the link stores.
std::string targetPath(const fs::path& linkPath, const std::string& stored)
{
    const fs::path target(WithoutTrailingSlashes(stored));
    const fs::path joined = target.is_absolute() ? target : linkPath.parent_path() / target;
    if (climbs(joined)) {
        // ".." after a folder that is itself a symbolic link leads up from
        // the folder it points to, so the folders are resolved as the system
        // resolves them; the last component stays as it is (one level).
        std::error_code error;
        const fs::path last = joined.filename();
        fs::path resolved = (last == "." || last == ".." || last.empty())
                                ? fs::weakly_canonical(joined, error)
                                : fs::weakly_canonical(joined.parent_path(), error) / last;
        if (!error) {
            return WithoutTrailingSlashes(resolved.lexically_normal().string());
        }
    }
    return WithoutTrailingSlashes(joined.lexically_normal().string());
}

// The find data of the entry at path, all zero when there is none.
WIN32_FIND_DATAA findDataOf(const std::string& path)
{
    const fs::path p(path);
    const std::string name = p.filename().string();
    if (!name.empty()) {
        std::optional<shellitem::Item> item = shellitem::findEntry(p.parent_path().string(), name);
        if (item && item->hasFindData && item->name == name)
            return item->find;
    }
    return WIN32_FIND_DATAA();
}

class ShellLink final : public ComObject<IShellLinkA>, public IPersistFile {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IShellLinkA)
            *object = static_cast<IShellLinkA*>(this);
        else if (riid == IID_IPersistFile || riid == IID_IPersist)
            *object = static_cast<IPersistFile*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ComObject<IShellLinkA>::AddRef(); }
    ULONG Release() override { return ComObject<IShellLinkA>::Release(); }

    HRESULT GetClassID(CLSID* classId) override
    {
        if (!classId)
            return E_INVALIDARG;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT IsDirty() override { return S_FALSE; }
    HRESULT Load(LPCOLESTR fileName, DWORD) override;
    HRESULT Save(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT GetCurFile(LPOLESTR* fileName) override;

    HRESULT GetPath(char* file, int size, WIN32_FIND_DATAA* data, DWORD flags) override;

private:
    std::optional<std::string> m_linkPath;
    std::string m_target;
};

HRESULT ShellLink::Load(LPCOLESTR fileName, DWORD)
{
    m_linkPath.reset();
    m_target.clear();
    if (!fileName)
        return E_INVALIDARG;
    std::optional<std::string> path = narrow(fileName);
    if (!path || path->empty())
        return E_FAIL;
    struct stat st {};
    if (::lstat(path->c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return E_FAIL;
    std::error_code error;
    const fs::path stored = fs::read_symlink(*path, error);
    if (error || stored.empty())
        return E_FAIL;
    const fs::path linkPath = fs::absolute(fs::path(*path), error).lexically_normal();
    if (error)
        return E_FAIL;
    m_target = targetPath(linkPath, stored.string());
    m_linkPath = linkPath.string();
    return S_OK;
}

HRESULT ShellLink::GetCurFile(LPOLESTR* fileName)
{
    if (!fileName)
        return E_INVALIDARG;
    *fileName = nullptr;
    if (!m_linkPath)
        return E_FAIL;
    const int needed = MultiByteToWideChar(CP_ACP, 0, m_linkPath->c_str(), -1, nullptr, 0);
    if (needed <= 0)
        return E_FAIL;
    auto* wide = static_cast<char16_t*>(CoTaskMemAlloc(sizeof(char16_t) * std::size_t(needed)));
    if (!wide)
        return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_ACP, 0, m_linkPath->c_str(), -1, wide, needed);
    *fileName = wide;
    return S_OK;
}

HRESULT ShellLink::GetPath(char* file, int size, WIN32_FIND_DATAA* data, DWORD)
{
    if (!file || size <= 0)
        return E_INVALIDARG;
    file[0] = '\0';
    if (data)
        *data = WIN32_FIND_DATAA();
    if (!m_linkPath)
        return E_FAIL;
    // A cut path would name another file, so a short buffer is an error.
    if (m_target.size() >= std::size_t(size))
        return kInsufficientBuffer;
    std::memcpy(file, m_target.c_str(), m_target.size() + 1);
    if (data)
        *data = findDataOf(m_target);
    return S_OK;
}

}  // namespace

HRESULT CoCreateInstance(const CLSID& classId, IUnknown* outer, DWORD context, REFIID riid, void** object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (!(classId == CLSID_ShellLink) || !(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    // The creator's reference goes at the end: the object lives on only if riid was given.
    const ShellRef<ShellLink> link(new ShellLink);
    return link->QueryInterface(riid, object);
}
