#include "ObjectEnumerator.h"

#include "Settings.h"
#include "Status.h"

using Microsoft::WRL::ComPtr;

namespace simulated_machine {

ObjectEnumerator::ObjectEnumerator(std::vector<ComPtr<IWbemClassObject>> list, bool forward, std::wstring step)
    : objects(std::move(list)), forwardOnly(forward), nextStep(std::move(step))
{
}

ComPtr<ObjectEnumerator> ObjectEnumerator::create(std::vector<ComPtr<IWbemClassObject>> objects, bool forwardOnly,
                                                  std::wstring nextStep)
{
    return adopt(new ObjectEnumerator(std::move(objects), forwardOnly, std::move(nextStep)));
}

HRESULT ObjectEnumerator::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IEnumWbemClassObject) {
        *object = static_cast<IEnumWbemClassObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ObjectEnumerator::Reset()
{
    if (forwardOnly) {
        return errorInvalidOperation;
    }
    position = 0;
    return S_OK;
}

HRESULT ObjectEnumerator::Next(LONG timeout, ULONG count, IWbemClassObject** handedOut, ULONG* returned)
{
    if (handedOut == nullptr || returned == nullptr || (timeout < 0 && timeout != static_cast<LONG>(WBEM_INFINITE))) {
        return errorInvalidParameter;
    }
    *returned = 0;
    HRESULT successCode = S_OK;
    if (!nextStep.empty()) {
        const HRESULT failure = guarded([&] { return settings::fault(nextStep); });
        if (FAILED(failure)) {
            return failure;
        }
        successCode = failure;
        bool timesOut = false;
        const HRESULT status = guarded([&] { return settings::flag(nextStep + L"_TIMEOUT", timesOut); });
        if (FAILED(status)) {
            return status;
        }
        if (timesOut) {
            return statusTimedOut;
        }
    }
    while (*returned < count && position < objects.size()) {
        handedOut[*returned] = ComPtr<IWbemClassObject>(objects[position]).Detach();
        ++*returned;
        ++position;
    }
    return *returned == count ? successCode : statusFalse;
}

HRESULT ObjectEnumerator::NextAsync(ULONG, IWbemObjectSink*) { return errorNotSupported; }
HRESULT ObjectEnumerator::Clone(IEnumWbemClassObject**) { return errorNotSupported; }
HRESULT ObjectEnumerator::Skip(LONG, ULONG) { return errorNotSupported; }

} // namespace simulated_machine
