// Decoding ahead: the slides a viewer will most likely show next are decoded
// and fitted on a worker thread while the current one is on display, so that
// the next load finds its picture done.
//
// A result is handed out only for the same load (path, page, area and
// background) and while the file is still the version that was decoded
// (device, inode, size, modification and status change times); a load that finds its work
// under way waits for it instead of decoding the file a second time. New work
// replaces the old: results and queued work that are not asked for again
// (another folder, another display size) are dropped. At most kHeld results
// wait, plus the one being decoded, each fitted to the display area.
//
// The worker calls only the image library (LoadFittedSlide); image handles
// are the only thing that crosses to the caller. The library must stay
// loaded while an instance lives.
#pragma once

#include "SlideLoad.h"

#include "FileOps.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class TSlideDecodeAhead {
public:
    static constexpr std::size_t kHeld = 2;

    TSlideDecodeAhead();
    // Stops the worker (after the picture it is decoding) and frees every result.
    ~TSlideDecodeAhead();
    TSlideDecodeAhead(const TSlideDecodeAhead&) = delete;
    TSlideDecodeAhead& operator=(const TSlideDecodeAhead&) = delete;

    // The loads to have ready, most wanted first.
    void Request(const std::vector<TSlideLoad>& loads);
    // The finished picture of load, waiting while it is being decoded;
    // nullptr when there is none or the file changed since (the caller then
    // loads it itself). The caller owns the handle.
    VXHANDLE Take(const TSlideLoad& load);
    // Results waiting to be taken.
    std::size_t HeldCount() const;

private:
    struct Result {
        TSlideLoad load;
        FileVersion version;
        VXHANDLE image;
    };
    void work(std::stop_token stop);
    bool wanted(const TSlideLoad& load) const;

    mutable std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::vector<TSlideLoad> m_wanted;  // as last requested
    std::deque<TSlideLoad> m_queue;
    std::optional<TSlideLoad> m_running;
    std::vector<Result> m_results;
    std::jthread m_worker;  // last: stopped and joined before the rest goes
};
