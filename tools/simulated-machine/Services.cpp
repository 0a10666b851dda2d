#include "Services.h"

#include "CallRecord.h"
#include "ObjectEnumerator.h"
#include "Settings.h"
#include "Status.h"

#include <random>

using Microsoft::WRL::ComPtr;

namespace simulated_machine {

namespace {

constexpr std::wstring_view computerSystemPath = LR"(\\SIMULATED\root\cimv2:Win32_ComputerSystem.Name="SIMULATED")";

std::wstring_view namespaceName(catalog::Namespace space)
{
    return space == catalog::Namespace::Cimv2 ? LR"(root\cimv2)" : LR"(root\wmi)";
}

// A string property value; the text may hold NUL code units.
HRESULT assignString(WbemObject& object, std::wstring_view name, std::wstring_view text)
{
    UniqueVariant value;
    VARIANT* raw = value.reset();
    raw->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (raw->bstrVal == nullptr) {
        return E_OUTOFMEMORY;
    }
    raw->vt = VT_BSTR;
    return object.assign(name, value.get());
}

HRESULT computerSystem(ComPtr<IWbemClassObject>& instance)
{
    std::optional<std::wstring> model;
    if (const HRESULT status = settings::model(model); FAILED(status)) {
        return status;
    }
    auto object = catalog::classObject(catalog::Namespace::Cimv2, catalog::computerSystemClass)->newInstance();
    object->setPath(std::wstring{computerSystemPath});
    if (model) {
        if (const HRESULT status = assignString(*object.Get(), L"Model", *model); FAILED(status)) {
            return status;
        }
    }
    instance = object;
    return S_OK;
}

HRESULT firmwareInstance(ComPtr<IWbemClassObject>& instance)
{
    auto object = catalog::classObject(catalog::Namespace::Wmi, catalog::firmwareClass)->newInstance();
    object->setPath(std::wstring{catalog::firmwareInstancePath});
    if (const HRESULT status = assignString(*object.Get(), L"InstanceName", catalog::firmwareInstanceName); FAILED(status)) {
        return status;
    }
    VARIANT active;
    active.vt = VT_BOOL;
    active.boolVal = VARIANT_TRUE;
    if (const HRESULT status = object->assign(L"Active", active); FAILED(status)) {
        return status;
    }
    instance = object;
    return S_OK;
}

} // namespace

ComPtr<Services> Services::create(catalog::Namespace space)
{
    return adopt(new Services(space));
}

HRESULT Services::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IWbemServices) {
        *object = static_cast<IWbemServices*>(this);
    } else if (riid == IID_IClientSecurity) {
        *object = static_cast<IClientSecurity*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT Services::QueryBlanket(IUnknown*, DWORD* authn, DWORD* authz, OLECHAR** principal, DWORD* authnLevel,
                               DWORD* impLevel, void** authInfo, DWORD* capabilities)
{
    const ProxyBlanket current = blanket.value_or(ProxyBlanket{});
    if (authn != nullptr) {
        *authn = current.authenticationService;
    }
    if (authz != nullptr) {
        *authz = current.authorizationService;
    }
    if (principal != nullptr) {
        *principal = nullptr;
    }
    if (authnLevel != nullptr) {
        *authnLevel = current.authenticationLevel;
    }
    if (impLevel != nullptr) {
        *impLevel = current.impersonationLevel;
    }
    if (authInfo != nullptr) {
        *authInfo = nullptr;
    }
    if (capabilities != nullptr) {
        *capabilities = current.capabilities;
    }
    return S_OK;
}

HRESULT Services::SetBlanket(IUnknown*, DWORD authn, DWORD authz, OLECHAR* principal, DWORD authnLevel,
                             DWORD impLevel, void* authInfo, DWORD capabilities)
{
    blanket = ProxyBlanket{authn, authz, principal != nullptr, authnLevel, impLevel, authInfo != nullptr, capabilities};
    return S_OK;
}

HRESULT Services::CopyProxy(IUnknown*, IUnknown** copy)
{
    if (copy != nullptr) {
        *copy = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT Services::GetObject(const BSTR path, LONG, IWbemContext*, IWbemClassObject** object,
                            IWbemCallResult** callResult)
{
    if (callResult != nullptr) {
        *callResult = nullptr;
    }
    if (object == nullptr || path == nullptr) {
        return errorInvalidParameter;
    }
    *object = nullptr;
    return guarded([&] {
        const std::wstring_view className{path, SysStringLen(path)};
        HRESULT status = S_OK;
        if (space == catalog::Namespace::Wmi && sameName(className, catalog::firmwareClass)) {
            status = settings::fault(L"WMI_GET_CLASS");
            if (FAILED(status)) {
                return status;
            }
        }
        auto found = catalog::classObject(space, className);
        if (!found) {
            return errorNotFound;
        }
        *object = found.Detach();
        return status;
    });
}

HRESULT Services::CreateInstanceEnum(const BSTR className, LONG flags, IWbemContext*,
                                     IEnumWbemClassObject** enumerator)
{
    if (enumerator == nullptr || className == nullptr) {
        return errorInvalidParameter;
    }
    *enumerator = nullptr;
    return guarded([&] { return enumerate({className, SysStringLen(className)}, flags, enumerator); });
}

HRESULT Services::enumerate(std::wstring_view className, LONG flags, IEnumWbemClassObject** enumerator)
{
    const bool forwardOnly = (flags & WBEM_FLAG_FORWARD_ONLY) != 0;
    std::vector<ComPtr<IWbemClassObject>> instances;
    std::wstring nextStep;
    HRESULT status = S_OK;

    if (space == catalog::Namespace::Cimv2 && sameName(className, catalog::computerSystemClass)) {
        status = settings::fault(L"CIMV2_ENUM");
        if (FAILED(status)) {
            return status;
        }
        ComPtr<IWbemClassObject> instance;
        if (const HRESULT made = computerSystem(instance); FAILED(made)) {
            return made;
        }
        instances.push_back(instance);
        nextStep = L"CIMV2_NEXT";
    } else if (space == catalog::Namespace::Wmi && sameName(className, catalog::firmwareClass)) {
        status = settings::fault(L"WMI_ENUM");
        if (FAILED(status)) {
            return status;
        }
        bool noInstance = false;
        if (const HRESULT read = settings::flag(L"WMI_NO_INSTANCE", noInstance); FAILED(read)) {
            return read;
        }
        if (!noInstance) {
            ComPtr<IWbemClassObject> instance;
            if (const HRESULT made = firmwareInstance(instance); FAILED(made)) {
                return made;
            }
            instances.push_back(instance);
        }
    } else if (!catalog::classObject(space, className)) {
        return errorInvalidClass;
    }
    *enumerator = ObjectEnumerator::create(std::move(instances), forwardOnly, std::move(nextStep)).Detach();
    return status;
}

HRESULT Services::ExecMethod(const BSTR path, const BSTR method, LONG flags, IWbemContext*,
                             IWbemClassObject* inParameters, IWbemClassObject** outParameters,
                             IWbemCallResult** callResult)
{
    if (callResult != nullptr) {
        *callResult = nullptr;
    }
    if (outParameters != nullptr) {
        *outParameters = nullptr;
    }
    return guarded([&] { return executeFirmwareMethod(path, method, flags, inParameters, outParameters); });
}

HRESULT Services::executeFirmwareMethod(const BSTR path, const BSTR method, LONG flags,
                                        IWbemClassObject* inParameters, IWbemClassObject** outParameters)
{
    HRESULT result = S_OK;
    if (path == nullptr || method == nullptr || inParameters == nullptr) {
        result = errorInvalidParameter;
    } else if (space != catalog::Namespace::Wmi || !catalog::isFirmwareInstancePath(path) ||
               !sameName(method, catalog::firmwareMethod)) {
        result = errorNotFound;
    } else {
        result = settings::fault(L"WMI_EXEC");
    }

    std::optional<std::int32_t> returnCode;
    if (SUCCEEDED(result)) {
        if (const HRESULT read = settings::returnCode(returnCode); FAILED(read)) {
            result = read;
        }
    }
    ComPtr<WbemObject> output;
    if (SUCCEEDED(result) && outParameters != nullptr) {
        output = catalog::methodOutput(returnCode);
        if (!output) {
            result = E_OUTOFMEMORY;
        }
    }

    if (const auto file = settings::recordFile()) {
        const auto request = WbemObject::from(inParameters);
        const std::string line = formatCallRecord({namespaceName(space), method, path, flags, result, blanket,
                                                   output ? returnCode : std::nullopt, request.Get()});
        if (const HRESULT written = appendRecordLine(*file, line); FAILED(written)) {
            return written;
        }
    }
    // After the call is recorded, so that the record keeps the order in which
    // the firmware received the calls while the callers return out of order.
    std::uint32_t jitterMs = 0;
    if (const HRESULT read = settings::execJitterMs(jitterMs); FAILED(read)) {
        return read;
    }
    if (jitterMs > 0) {
        thread_local std::minstd_rand random(GetCurrentProcessId() ^ GetTickCount());
        Sleep(static_cast<DWORD>(random() % (jitterMs + 1)));
    }
    if (output) {
        *outParameters = output.Detach();
    }
    return result;
}

// What the program does not use is not simulated.
HRESULT Services::OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**)
{
    return errorNotSupported;
}
HRESULT Services::CancelAsyncCall(IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::QueryObjectSink(LONG, IWbemObjectSink**) { return errorNotSupported; }
HRESULT Services::GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) { return errorNotSupported; }
HRESULT Services::PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) { return errorNotSupported; }
HRESULT Services::DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) { return errorNotSupported; }
HRESULT Services::CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) { return errorNotSupported; }
HRESULT Services::PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
{
    return errorNotSupported;
}
HRESULT Services::DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) { return errorNotSupported; }
HRESULT Services::DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return errorNotSupported; }
HRESULT Services::CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
{
    return errorNotSupported;
}
HRESULT Services::ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
{
    return errorNotSupported;
}
HRESULT Services::ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
{
    return errorNotSupported;
}
HRESULT Services::ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
{
    return errorNotSupported;
}
HRESULT Services::ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
{
    return errorNotSupported;
}
HRESULT Services::ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*)
{
    return errorNotSupported;
}

} // namespace simulated_machine
