#include "Modules.h"

#include "LastError.h"
#include "PathUtil.h"
#include "Paths.h"

#include <algorithm>
#include <cerrno>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

thread_local std::string t_moduleError;

bool validName(const std::string& name)
{
    return !name.empty() && name.find('\0') == std::string::npos;
}

void rememberLoaderError(const char* fallback)
{
    const char* message = ::dlerror();
    t_moduleError = message ? message : fallback;
}

std::string programFolder()
{
    const std::string program = GetModuleFileNameA(nullptr);  // always absolute
    return program.empty() ? std::string() : ParentFolder(program);
}

// "name.DLL" -> "name.so"; other names unchanged.
std::string sharedObjectName(const std::string& name)
{
    constexpr std::string_view kDll = ".dll";
    if (name.size() < kDll.size())
        return name;
    const std::size_t stem = name.size() - kDll.size();
    for (std::size_t i = 0; i < kDll.size(); ++i) {
        const char c = name[stem + i];
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (lower != kDll[i])
            return name;
    }
    return name.substr(0, stem) + ".so";
}

// The file dlopen is given: from the program's folder when a bare name is
// there, an absolute path for any name with a folder (so the module's
// recorded file name does not depend on the working folder later on).
std::string fileToOpen(const std::string& file)
{
    if (file.find('/') == std::string::npos) {
        const std::string folder = programFolder();
        if (!folder.empty()) {
            const std::string local = JoinPath(folder, file);
            struct stat st;
            if (::stat(local.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                return local;
        }
        return file;
    }
    if (file.front() == '/')
        return file;
    return JoinPath(WorkingFolder(), file);
}

// The handles LoadLibraryA gave out, with their open counts; dlsym, dlinfo
// and dlclose are only ever called with one of these.
class ModuleTable {
public:
    void opened(void* handle)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_counts[handle];
    }

    bool contains(void* handle)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_counts.count(handle) != 0;
    }

    // Takes one open count away; false for an unknown handle.
    bool release(void* handle)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_counts.find(handle);
        if (it == m_counts.end())
            return false;
        if (--it->second == 0)
            m_counts.erase(it);
        return true;
    }

private:
    std::mutex m_lock;
    std::unordered_map<void*, int> m_counts;
};

ModuleTable& modules()
{
    static ModuleTable table;
    return table;
}

}  // namespace

std::string GetModuleFileNameA(HMODULE module)
{
    if (!module) {
        std::string program;
        if (!pictal_platform_internal::readLink("/proc/self/exe", program))
            SetLastError(ErrorFromErrno(errno));
        return program;
    }
    if (!modules().contains(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return {};
    }
    struct link_map* map = nullptr;
    if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) {
        rememberLoaderError("no file name for the module");
        SetLastError(ERROR_GEN_FAILURE);
        return {};
    }
    return map->l_name;
}

std::string GetFullPathNameA(const std::string& path)
{
    if (!validName(path)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    std::string absolute = path;
    if (path.front() != '/') {
        const std::string cwd = WorkingFolder();
        if (cwd.empty()) {
            SetLastError(ErrorFromErrno(errno));
            return {};
        }
        absolute = JoinPath(cwd, path);
    }

    std::vector<std::string_view> parts;
    const std::string_view text(absolute);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        const std::string_view part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty())
        return "/";
    std::string result;
    for (const auto part : parts) {
        result += '/';
        result += part;
    }
    return result;
}

HMODULE LoadLibraryA(const std::string& name)
{
    if (!validName(name)) {
        t_moduleError = "invalid module name";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const std::string file = fileToOpen(sharedObjectName(name));
    ::dlerror();
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        rememberLoaderError("cannot open the module");
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    modules().opened(handle);
    return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE module, const std::string& name)
{
    if (!modules().contains(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!validName(name)) {
        t_moduleError = "invalid entry point name";
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(module, name.c_str());
    if (!address) {
        rememberLoaderError("the entry point has no address");
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return address;
}

BOOL FreeLibrary(HMODULE module)
{
    if (!modules().release(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (::dlclose(module) != 0) {
        rememberLoaderError("cannot close the module");
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

std::string LastModuleError()
{
    return t_moduleError;
}
