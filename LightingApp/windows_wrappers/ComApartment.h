#pragma once

#include <objbase.h>

// A single-threaded apartment on this thread for the length of one operation.
// Nested inside an apartment the caller already holds, it only counts up and
// down.
class ComApartment {
public:
    ComApartment() : status(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(status)) {
            CoUninitialize();
        }
    }

    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ready() const { return SUCCEEDED(status); }
    HRESULT result() const { return status; }

private:
    HRESULT status;
};
