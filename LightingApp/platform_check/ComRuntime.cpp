#include "platform_check/ComRuntime.h"

#include <objbase.h>

HRESULT ComRuntime::initialize()
{
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

HRESULT ComRuntime::initializeSecurity()
{
    return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                                nullptr, EOAC_NONE, nullptr);
}

void ComRuntime::uninitialize()
{
    CoUninitialize();
}
