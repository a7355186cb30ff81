#pragma once

#include <windows.h>

#include <utility>

// Owns one handle and lets it go with `release` when it is gone, so that no
// exit does so by hand. Empty where the call that made it failed (null, or
// INVALID_HANDLE_VALUE, which CreateFileW gives). To replace one that is in
// use, keep the old owner until nothing uses it.
template <typename Held, auto release>
class Owned
{
public:
    Owned() = default;
    explicit Owned(Held handle) : m_handle(handle == Held(INVALID_HANDLE_VALUE) ? nullptr : handle) {}
    Owned(Owned &&other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Owned &operator=(Owned other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    ~Owned()
    {
        if (m_handle)
            release(m_handle);
    }
    Held get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Held m_handle = nullptr;
};

// A kernel handle: a file, a folder, a token.
using Handle = Owned<HANDLE, CloseHandle>;
