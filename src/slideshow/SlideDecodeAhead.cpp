#include "SlideDecodeAhead.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

// The version of the file a load opens (links followed, as the decoder
// follows them); false when there is none.
bool versionOf(const std::string& path, FileIdentity& version)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    version = {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
               std::int64_t(st.st_mtim.tv_sec), std::int64_t(st.st_mtim.tv_nsec)};
    return true;
}

}  // namespace

TSlideDecodeAhead::TSlideDecodeAhead() : m_worker([this](std::stop_token stop) { work(stop); }) {}

TSlideDecodeAhead::~TSlideDecodeAhead()
{
    m_worker.request_stop();
    if (m_worker.joinable())
        m_worker.join();
    for (Result& result : m_results)
        FreeSlideImage(result.image);
}

bool TSlideDecodeAhead::wanted(const TSlideLoad& load) const
{
    return std::find(m_wanted.begin(), m_wanted.end(), load) != m_wanted.end();
}

void TSlideDecodeAhead::Request(const std::vector<TSlideLoad>& loads)
{
    std::vector<VXHANDLE> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_wanted.assign(loads.begin(), loads.begin() + std::ptrdiff_t(std::min(loads.size(), kHeld)));
        std::erase_if(m_results, [&](const Result& result) {
            if (wanted(result.load))
                return false;
            dropped.push_back(result.image);
            return true;
        });
        m_queue.clear();
        for (const TSlideLoad& load : m_wanted) {
            const bool done = std::any_of(m_results.begin(), m_results.end(),
                                          [&load](const Result& result) { return result.load == load; });
            if (!done && m_running != load)
                m_queue.push_back(load);
        }
    }
    m_changed.notify_all();
    for (VXHANDLE image : dropped)
        FreeSlideImage(image);
}

VXHANDLE TSlideDecodeAhead::Take(const TSlideLoad& load)
{
    VXHANDLE stale = nullptr;
    VXHANDLE image = nullptr;
    {
        std::unique_lock lock(m_mutex);
        // Queued but not begun: the caller decodes it now, so the worker must not.
        std::erase(m_queue, load);
        m_changed.wait(lock, [&] { return m_running != load; });
        const auto it = std::find_if(m_results.begin(), m_results.end(),
                                     [&load](const Result& result) { return result.load == load; });
        if (it == m_results.end())
            return nullptr;
        FileIdentity now;
        if (versionOf(load.path, now) && now == it->version)
            image = it->image;
        else
            stale = it->image;
        m_results.erase(it);
    }
    FreeSlideImage(stale);
    return image;
}

std::size_t TSlideDecodeAhead::HeldCount() const
{
    std::lock_guard lock(m_mutex);
    return m_results.size();
}

void TSlideDecodeAhead::work(std::stop_token stop)
{
    for (;;) {
        TSlideLoad load;
        {
            std::unique_lock lock(m_mutex);
            if (!m_changed.wait(lock, stop, [this] { return !m_queue.empty(); }))
                return;  // asked to stop
            load = m_queue.front();
            m_queue.pop_front();
            m_running = load;
        }
        // The version before and after decoding: a file that changed
        // meanwhile gives no result.
        FileIdentity before;
        FileIdentity after;
        VXHANDLE image = nullptr;
        if (versionOf(load.path, before)) {
            try {
                image = LoadFittedSlide(load);
            } catch (...) {
                image = nullptr;  // nothing escapes the worker: the viewer loads it itself
            }
        }
        const bool unchanged = image && versionOf(load.path, after) && after == before;
        VXHANDLE dropped = nullptr;
        {
            std::lock_guard lock(m_mutex);
            m_running.reset();
            if (unchanged && wanted(load)) {
                if (m_results.size() >= kHeld) {
                    dropped = m_results.front().image;
                    m_results.erase(m_results.begin());
                }
                m_results.push_back({load, before, image});
            } else {
                dropped = image;
            }
        }
        m_changed.notify_all();
        FreeSlideImage(dropped);
    }
}
