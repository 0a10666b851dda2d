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
    // nextStep names the step of a Next call (CIMV2_NEXT): its VELTRIN_SIM_
    // fault makes Next fail, and its _TIMEOUT switch, when on at the time of
    // the call, makes Next time out without an object; empty for neither.
    static Microsoft::WRL::ComPtr<ObjectEnumerator> create(std::vector<Microsoft::WRL::ComPtr<IWbemClassObject>> objects,
                                                           bool forwardOnly, std::wstring nextStep);

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
                     std::wstring nextStep);

    const std::vector<Microsoft::WRL::ComPtr<IWbemClassObject>> objects;
    const bool forwardOnly;
    const std::wstring nextStep;
    std::size_t position = 0;
};

} // namespace simulated_machine
