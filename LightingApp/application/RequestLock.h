#pragma once

#include <windows.h>

// Serialises requests that change the lighting across processes and logon
// sessions: the boot or resume task and a user's command may start at the
// same moment, and each must read, send and store its colours as one unit, or
// the firmware and the registry could end up holding different requests'
// colours, or a mix of both.
//
// The wait is bounded: a run that cannot get the lock within a few seconds
// goes ahead without it rather than hang. A lock abandoned by a process that
// died is taken over.
class RequestLock {
public:
    RequestLock();
    ~RequestLock();

    RequestLock(const RequestLock&) = delete;
    RequestLock& operator=(const RequestLock&) = delete;

private:
    HANDLE mutex = nullptr;
    bool isOwned = false;
};
