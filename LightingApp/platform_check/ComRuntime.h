#pragma once

#include <windows.h>

// The COM calls with which the platform check enters and leaves its
// apartment. The defaults make the real calls; a test derives from it to
// force an answer or to watch the order of the calls.
class ComRuntime {
public:
    ComRuntime() = default;
    virtual ~ComRuntime() = default;

    ComRuntime(const ComRuntime&) = delete;
    ComRuntime& operator=(const ComRuntime&) = delete;

    // A single-threaded apartment on the calling thread.
    virtual HRESULT initialize();
    // The process's COM security: default authentication, impersonation.
    virtual HRESULT initializeSecurity();
    virtual void uninitialize();
};
