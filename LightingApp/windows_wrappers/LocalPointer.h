#pragma once

#include <windows.h>

#include <memory>

// Memory that a Windows function allocated with LocalAlloc and handed to the
// caller (security descriptors, SIDs from their string form): freed with
// LocalFree when it goes out of scope.
struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};

template <class T>
using LocalPointer = std::unique_ptr<T, LocalFreeDeleter>;
