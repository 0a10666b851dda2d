#pragma once

#include "ServerObject.h"

#include <windows.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace simulated_machine {

// A synchronous enumeration over a fixed list of objects. A forward-only
// enumeration refuses Reset, as WMI's does.
class ObjectEnumerator final : public IEnumWbemClassObject, private ServerObject {
public:
    // timeoutSwitch names a VELTRIN_SIM_ switch that, when on at the time of
    // a Next call, makes Next time out without an object; empty for none.
    static Microsoft::WRL::ComPtr<ObjectEnumerator> create(std::vector<Microsoft::WRL::ComPtr<IWbemClassObject>> objects,
                                                           bool forwardOnly, std::wstring timeoutSwitch);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseReference(); }

    // IEnumWbemClassObject
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override;
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG count, IWbemObjectSink* sink) override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject** copy) override;
    HRESULT STDMETHODCALLTYPE Skip(LONG timeout, ULONG count) override;

private:
    ObjectEnumerator(std::vector<Microsoft::WRL::ComPtr<IWbemClassObject>> objects, bool forwardOnly,
                     std::wstring timeoutSwitch);

    const std::vector<Microsoft::WRL::ComPtr<IWbemClassObject>> objects;
    const bool forwardOnly;
    const std::wstring timeoutSwitch;
    std::size_t position = 0;
};

} // namespace simulated_machine
