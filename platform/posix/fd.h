#pragma once

#include <unistd.h>
#include <utility>

// Owns one descriptor and closes it when it is gone, so that no exit closes
// by hand. close() is for where its result matters: a write's last error.
class Fd
{
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Closes it now; 0, or -1 with errno.
    int close() { return ::close(std::exchange(m_fd, -1)); }

private:
    int m_fd = -1;
};
