#include "Locator.h"

#include "Catalog.h"
#include "Services.h"
#include "Settings.h"
#include "Status.h"

using Microsoft::WRL::ComPtr;

namespace simulated_machine {

ComPtr<Locator> Locator::create()
{
    return adopt(new Locator());
}

HRESULT Locator::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IWbemLocator) {
        *object = static_cast<IWbemLocator*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Locator::ConnectServer(const BSTR networkResource, const BSTR, const BSTR, const BSTR, LONG, const BSTR,
                               IWbemContext*, IWbemServices** services)
{
    if (services == nullptr || networkResource == nullptr) {
        return errorInvalidParameter;
    }
    *services = nullptr;
    return guarded([&] {
        const auto space = catalog::namespaceNamed({networkResource, SysStringLen(networkResource)});
        if (!space) {
            return errorInvalidNamespace;
        }
        const HRESULT status = settings::fault(*space == catalog::Namespace::Cimv2 ? L"CIMV2_CONNECT" : L"WMI_CONNECT");
        if (FAILED(status)) {
            return status;
        }
        *services = Services::create(*space).Detach();
        return status;
    });
}

} // namespace simulated_machine
