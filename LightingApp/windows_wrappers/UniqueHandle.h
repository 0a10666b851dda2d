#pragma once

#include <windows.h>

#include <utility>

// A kernel handle, closed when it goes out of scope. Holds nothing for both
// of the values that Windows uses for "no handle" (null, INVALID_HANDLE_VALUE).
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle = std::exchange(other.handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    // For functions that hand out a handle through a pointer.
    HANDLE* receive()
    {
        reset();
        return &handle;
    }
    void reset()
    {
        if (handle != nullptr) {
            CloseHandle(handle);
            handle = nullptr;
        }
    }

private:
    HANDLE handle = nullptr;
};
