// Placeholder until the simulated machine exists: serves no class.
#include <windows.h>

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void** object)
{
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return S_FALSE;
}
