#pragma once

#include <windows.h>

namespace korvane::win {

// Owns a Win32 handle and closes it when it goes. Null and INVALID_HANDLE_VALUE hold nothing.
class Handle
{
public:
    Handle() = default;
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    HANDLE get() const { return m_handle; }
    HANDLE* out() { return &m_handle; }
    bool valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr)
    {
        if (valid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

} // namespace korvane::win
