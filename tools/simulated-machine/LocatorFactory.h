#pragma once

#include "ServerObject.h"

#include <windows.h>
#include <unknwn.h>

#include <string>

namespace simulated_machine {

// Creates locators for one of the two locator CLSIDs. Both give the same
// locator; the CLSID only decides which fault variable applies to creation.
class LocatorFactory final : public IClassFactory, private ServerObject {
public:
    // Null when the CLSID is not one the simulated machine serves.
    static IClassFactory* forClass(REFCLSID clsid);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseReference(); }

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    explicit LocatorFactory(const wchar_t* faultStep) noexcept : creationStep(faultStep) {}

    const wchar_t* const creationStep;
};

} // namespace simulated_machine
