#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <exception>
#include <new>

namespace simulated_machine {

// Base of every COM object the DLL hands out. Counts references (an object is
// born with one) and keeps the DLL loaded while any object is alive.
class ServerObject {
public:
    ServerObject(const ServerObject&) = delete;
    ServerObject& operator=(const ServerObject&) = delete;

    // True when no object is alive and no client holds a server lock.
    static bool unused() noexcept;
    static void lockServer(bool lock) noexcept;

protected:
    ServerObject() noexcept;
    virtual ~ServerObject();

    ULONG addReference() noexcept;
    ULONG releaseReference() noexcept;

private:
    std::atomic<ULONG> references{1};
};

// Takes over a reference the caller already owns. MinGW's ComPtr::Attach
// adds a reference of its own (unlike the documented behaviour), which would
// leak every object, so it is not used.
template <class T>
Microsoft::WRL::ComPtr<T> adopt(T* object) noexcept
{
    Microsoft::WRL::ComPtr<T> owner;
    *owner.GetAddressOf() = object;
    return owner;
}

// Runs a COM method body and turns an escaping exception into an HRESULT:
// exceptions must never cross the COM boundary.
template <class Body>
HRESULT guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace simulated_machine
