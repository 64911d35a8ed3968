#include "TypeCache.h"

namespace vxmodule {

std::optional<int> TypeCache::find(const std::string& path, const FileStamp& stamp) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (it == m_entries.end() || !(it->second.stamp == stamp))
        return std::nullopt;
    return it->second.pages;
}

void TypeCache::store(const std::string& path, const FileStamp& stamp, int pages)
{
    std::lock_guard lock(m_mutex);
    if (m_entries.size() >= kCapacity && m_entries.find(path) == m_entries.end())
        m_entries.clear();
    m_entries[path] = Entry{stamp, pages};
}

std::size_t TypeCache::size() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

}  // namespace vxmodule
