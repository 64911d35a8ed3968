#include "SlideDecodeAhead.h"

#include <algorithm>


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
        // Each load once (next and previous are one picture in a list of two
        // that wraps around), the most wanted first.
        m_wanted.clear();
        for (const TSlideLoad& load : loads)
            if (m_wanted.size() < kHeld && std::find(m_wanted.begin(), m_wanted.end(), load) == m_wanted.end())
                m_wanted.push_back(load);
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
        FileVersion now;
        if (GetFileVersion(load.path, now) && now == it->version)
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
        FileVersion before;
        FileVersion after;
        VXHANDLE image = nullptr;
        if (GetFileVersion(load.path, before)) {
            try {
                image = LoadFittedSlide(load);
            } catch (...) {
                image = nullptr;  // nothing escapes the worker: the viewer loads it itself
            }
        }
        const bool unchanged = image && GetFileVersion(load.path, after) && after == before;
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
