#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (a font, brush, pen or bitmap) and deletes it when it
// is gone, so that no DeleteObject is paired by hand. To replace one that is
// in use, keep the old owner until nothing uses it.
template <typename Handle>
class Gdi
{
public:
    Gdi() = default;
    explicit Gdi(Handle handle) : m_handle(handle) {}
    Gdi(Gdi &&other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Gdi &operator=(Gdi other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    ~Gdi()
    {
        if (m_handle)
            DeleteObject(m_handle);
    }
    Handle get() const { return m_handle; }

private:
    Handle m_handle = nullptr;
};
