#include "TypeCache.h"

namespace vxmodule {

std::optional<int> TypeCache::find(const std::string& path, const FileStamp& stamp)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (it == m_entries.end() || !(it->second.stamp == stamp))
        return std::nullopt;
    m_recent.splice(m_recent.begin(), m_recent, it->second.recent);
    return it->second.pages;
}

void TypeCache::store(const std::string& path, const FileStamp& stamp, int pages)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (it != m_entries.end()) {
        it->second.stamp = stamp;
        it->second.pages = pages;
        m_recent.splice(m_recent.begin(), m_recent, it->second.recent);
        return;
    }
    if (m_entries.size() >= kCapacity) {
        m_entries.erase(m_recent.back());
        m_recent.pop_back();
    }
    m_recent.push_front(path);
    m_entries.emplace(path, Entry{stamp, pages, m_recent.begin()});
}

std::size_t TypeCache::size() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

}  // namespace vxmodule
