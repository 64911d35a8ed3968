// File descriptors: an owning handle that closes its descriptor when it goes,
// and the one loop that writes a whole buffer.
#pragma once

#include <cstddef>

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes the descriptor held (if any) and holds fd instead.
    void reset(int fd = -1);
    // Hands the descriptor over to a new owner; this one then holds none.
    int release();
    // Closes now and reports the result: a delayed write error shows up
    // here. True when nothing was held.
    bool close();

private:
    int m_fd;
};

// Writes all size bytes to fd, resuming after interrupted and short writes;
// false (errno set; ENOSPC when the file takes no more) when it cannot.
bool writeAll(int fd, const void* data, std::size_t size);
