#include "application/RequestLock.h"

#include <sddl.h>

namespace {

// In the global namespace, so that runs in different logon sessions (the task
// as LocalSystem in session 0, a user at the console) see the same lock.
constexpr const wchar_t* lockName = L"Global\\VeltrinLightingRequest";

constexpr DWORD waitMs = 5000;

// Whoever creates the lock first (possibly LocalSystem) must let every other
// user wait for it and release it: Everyone gets SYNCHRONIZE and
// MUTEX_MODIFY_STATE, LocalSystem and Administrators full access.
constexpr const wchar_t* lockSecurity = L"D:(A;;0x00100001;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";

HANDLE createOrOpenLock()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(lockSecurity, SDDL_REVISION_1, &descriptor, nullptr)) {
        attributes.lpSecurityDescriptor = descriptor;
    }
    HANDLE mutex = CreateMutexW(&attributes, FALSE, lockName);
    if (descriptor != nullptr) {
        LocalFree(descriptor);
    }
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED) {
        // Created by another user without our security: waiting is all we need.
        mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, lockName);
    }
    return mutex;
}

} // namespace

RequestLock::RequestLock() : mutex(createOrOpenLock())
{
    if (mutex == nullptr) {
        return;
    }
    const DWORD result = WaitForSingleObject(mutex, waitMs);
    isOwned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

RequestLock::~RequestLock()
{
    if (isOwned) {
        ReleaseMutex(mutex);
    }
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
}
