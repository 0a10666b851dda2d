#include "WmiClient.h"

using Microsoft::WRL::ComPtr;

namespace simulated_machine::testing {

const CLSID locatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
const CLSID administrativeLocatorClass = {0xCB8555CC, 0x9128, 0x11D1, {0xAD, 0x9B, 0x00, 0xC0, 0x4F, 0xD8, 0xFD, 0xFF}};

namespace {

// Records the first failing step; later steps are not tried.
class Steps {
public:
    Steps(std::string& failedStep, HRESULT& status) : failedStep(failedStep), status(status) {}

    bool ok(const char* step, HRESULT result)
    {
        status = result;
        if (FAILED(result)) {
            failedStep = step;
            return false;
        }
        return true;
    }

    bool fail(const char* step, HRESULT result)
    {
        status = result;
        failedStep = step;
        return false;
    }

private:
    std::string& failedStep;
    HRESULT& status;
};

HRESULT putByteArray(IWbemClassObject& object, const wchar_t* name, const std::uint8_t* bytes, ULONG count)
{
    Variant value;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, count);
    if (array == nullptr) {
        return E_OUTOFMEMORY;
    }
    for (LONG i = 0; i < static_cast<LONG>(count); ++i) {
        std::uint8_t byte = bytes[i];
        SafeArrayPutElement(array, &i, &byte);
    }
    VARIANT* raw = value.put();
    raw->vt = VT_ARRAY | VT_UI1;
    raw->parray = array;
    return object.Put(name, 0, raw, 0);
}

HRESULT putInteger(IWbemClassObject& object, const wchar_t* name, std::int32_t number)
{
    Variant value;
    VARIANT* raw = value.put();
    raw->vt = VT_I4;
    raw->lVal = number;
    return object.Put(name, 0, raw, 0);
}

} // namespace

HRESULT connect(const CLSID& locatorClsid, const wchar_t* nameSpace, ComPtr<IWbemServices>& services)
{
    ComPtr<IWbemLocator> locator;
    HRESULT status = CoCreateInstance(locatorClsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&locator));
    if (FAILED(status)) {
        return status;
    }
    const Bstr name(nameSpace);
    return locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
}

ModelQuery queryModel(const wchar_t* nameSpace)
{
    ModelQuery query;
    Steps steps(query.failedStep, query.status);

    ComPtr<IWbemLocator> locator;
    if (!steps.ok("CoCreateInstance", CoCreateInstance(locatorClass, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&locator)))) {
        return query;
    }
    ComPtr<IWbemServices> services;
    const Bstr name(nameSpace);
    if (!steps.ok("ConnectServer",
                  locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services)) ||
        (services == nullptr && !steps.fail("ConnectServer", E_POINTER))) {
        return query;
    }
    ComPtr<IEnumWbemClassObject> enumerator;
    const Bstr className(L"Win32_ComputerSystem");
    if (!steps.ok("CreateInstanceEnum", services->CreateInstanceEnum(className, 0, nullptr, &enumerator)) ||
        (enumerator == nullptr && !steps.fail("CreateInstanceEnum", E_POINTER)) ||
        !steps.ok("Reset", enumerator->Reset())) {
        return query;
    }
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    const HRESULT next = enumerator->Next(2000, 1, &instance, &returned);
    if (!steps.ok("Next", next) || (returned != 1 && !steps.fail("Next", next))) {
        return query;
    }
    Variant model;
    if (!steps.ok("Get", instance->Get(L"Model", 0, model.put(), nullptr, nullptr))) {
        return query;
    }
    query.type = model.get().vt;
    if (query.type == VT_BSTR) {
        query.model.assign(model.get().bstrVal, SysStringLen(model.get().bstrVal));
    }
    return query;
}

FirmwareCall callFirmware(const FirmwareCallOptions& options)
{
    FirmwareCall call;
    Steps steps(call.failedStep, call.status);

    ComPtr<IWbemServices> services;
    if (!steps.ok("connect", connect(administrativeLocatorClass, LR"(root\wmi)", services)) ||
        (services == nullptr && !steps.fail("connect", E_POINTER))) {
        return call;
    }
    if (options.setBlanket &&
        !steps.ok("CoSetProxyBlanket",
                  CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                    RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
        return call;
    }
    ComPtr<IWbemClassObject> methodClass;
    ComPtr<IWbemClassObject> inSignature;
    ComPtr<IWbemClassObject> inParameters;
    const Bstr methodClassName(L"orvBIntM");
    if (!steps.ok("GetObject(orvBIntM)", services->GetObject(methodClassName, 0, nullptr, &methodClass, nullptr)) ||
        !steps.ok("GetMethod", methodClass->GetMethod(options.method, 0, &inSignature, nullptr)) ||
        !steps.ok("SpawnInstance(in)", inSignature->SpawnInstance(0, &inParameters))) {
        return call;
    }
    ComPtr<IWbemClassObject> requestClass;
    ComPtr<IWbemClassObject> request;
    const Bstr requestClassName(L"orvBDataIn");
    if (!steps.ok("GetObject(orvBDataIn)",
                  services->GetObject(requestClassName, 0, nullptr, &requestClass, nullptr)) ||
        !steps.ok("SpawnInstance(request)", requestClass->SpawnInstance(0, &request))) {
        return call;
    }

    const std::uint8_t sign[] = {'S', 'E', 'C', 'U'};
    call.puts.emplace_back(L"Sign", putByteArray(*request.Get(), L"Sign", sign, 4));
    call.puts.emplace_back(L"Command", putInteger(*request.Get(), L"Command", 0x20009));
    call.puts.emplace_back(L"CommandType", putInteger(*request.Get(), L"CommandType", options.commandType));
    call.puts.emplace_back(L"Size", putInteger(*request.Get(), L"Size", 128));
    call.puts.emplace_back(L"orvBData",
                           putByteArray(*request.Get(), L"orvBData", options.data.data(), static_cast<ULONG>(options.data.size())));
    Variant inData;
    VARIANT* raw = inData.put();
    raw->vt = VT_UNKNOWN;
    raw->punkVal = request.Get();
    request->AddRef();
    call.puts.emplace_back(L"InData", inParameters->Put(L"InData", 0, raw, 0));

    ComPtr<IEnumWbemClassObject> enumerator;
    if (!steps.ok("CreateInstanceEnum",
                  services->CreateInstanceEnum(methodClassName, WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                               nullptr, &enumerator))) {
        return call;
    }
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    const HRESULT next = enumerator->Next(2000, 1, &instance, &returned);
    if (!steps.ok("Next", next) || (returned != 1 && !steps.fail("Next", next))) {
        return call;
    }
    Variant path;
    if (!steps.ok("Get(__PATH)", instance->Get(L"__PATH", 0, path.put(), nullptr, nullptr))) {
        return call;
    }
    if (path.get().vt != VT_BSTR) {
        steps.fail("Get(__PATH)", E_UNEXPECTED);
        return call;
    }
    call.path = path.get().bstrVal;

    ComPtr<IWbemClassObject> outParameters;
    const Bstr method(options.method);
    if (!steps.ok("ExecMethod", services->ExecMethod(path.get().bstrVal, method, 0, nullptr, inParameters.Get(),
                                                     &outParameters, nullptr))) {
        return call;
    }
    if (outParameters == nullptr) {
        return call;
    }
    call.gotOutput = true;
    Variant outData;
    if (!steps.ok("Get(OutData)", outParameters->Get(L"OutData", 0, outData.put(), nullptr, nullptr))) {
        return call;
    }
    ComPtr<IWbemClassObject> result;
    if (outData.get().vt != VT_UNKNOWN ||
        !steps.ok("QueryInterface(OutData)", outData.get().punkVal->QueryInterface(IID_PPV_ARGS(&result)))) {
        return call;
    }
    Variant code;
    call.returnCodeStatus = result->Get(L"rwReturnCode", 0, code.put(), nullptr, nullptr);
    if (SUCCEEDED(call.returnCodeStatus) && code.get().vt == VT_I4) {
        call.returnCode = code.get().lVal;
    }
    return call;
}

} // namespace simulated_machine::testing
