#pragma once

#include "ServerObject.h"

#include <windows.h>
#include <wbemcli.h>
#include <wrl/client.h>

namespace simulated_machine {

// Connects to the namespaces of the simulated machine.
class Locator final : public IWbemLocator, private ServerObject {
public:
    static Microsoft::WRL::ComPtr<Locator> create();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseReference(); }

    // IWbemLocator
    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR networkResource, const BSTR user, const BSTR password,
                                            const BSTR locale, LONG securityFlags, const BSTR authority,
                                            IWbemContext* context, IWbemServices** services) override;

private:
    Locator() noexcept = default;
};

} // namespace simulated_machine
