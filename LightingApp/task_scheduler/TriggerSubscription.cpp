#include "task_scheduler/TriggerSubscription.h"

#include "windows_wrappers/AutomationValues.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

std::optional<std::wstring> triggerSubscription(IUnknown& trigger)
{
    ComPtr<IDispatch> dispatch;
    if (FAILED(trigger.QueryInterface(IID_PPV_ARGS(&dispatch)))) {
        return std::nullopt;
    }
    std::wstring property = L"Subscription";
    LPOLESTR name = property.data();
    DISPID id = 0;
    if (FAILED(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
        return std::nullopt;
    }
    DISPPARAMS none{};
    ScopedVariant result;
    if (FAILED(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result.get(), nullptr,
                                nullptr))
        || result.get()->vt != VT_BSTR) {
        return std::nullopt;
    }
    return result.get()->bstrVal == nullptr ? std::wstring() : std::wstring(result.get()->bstrVal);
}
