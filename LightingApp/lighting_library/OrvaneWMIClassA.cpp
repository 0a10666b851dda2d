#include "lighting_library/OrvaneWMIClassA.h"

#include "windows_wrappers/AutomationValues.h"

#include <array>
#include <optional>
#include <span>
#include <string>

using KestrineLightingLib::CommandBlock;
using Microsoft::WRL::ComPtr;

namespace {

// WbemAdministrativeLocator: the WMI locator for administrative clients.
// Declared here because not every SDK's headers carry it.
constexpr CLSID wbemAdministrativeLocator = {
    0xcb8555cc, 0x9128, 0x11d1, {0xad, 0x9b, 0x00, 0xc0, 0x4f, 0xd8, 0xfd, 0xff}};

constexpr std::array<std::uint8_t, 4> recordSignature{0x53, 0x45, 0x43, 0x55}; // "SECU"
constexpr std::int32_t biosCommand = 0x20009;
constexpr long methodNumber = 0;
constexpr long instanceTimeoutMs = 2000;

// The WMI status codes are declared as an unsigned enumeration.
constexpr HRESULT wbemStatus(WBEMSTATUS status)
{
    return static_cast<HRESULT>(status);
}

HRESULT putInt32(IWbemClassObject& object, const wchar_t* name, std::int32_t number)
{
    ScopedVariant value;
    V_VT(value.get()) = VT_I4;
    V_I4(value.get()) = number;
    return object.Put(name, 0, value.get(), 0);
}

HRESULT putByteArray(IWbemClassObject& object, const wchar_t* name, std::span<const std::uint8_t> bytes)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array == nullptr) {
        return E_OUTOFMEMORY;
    }
    ScopedVariant value;
    V_VT(value.get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(value.get()) = array; // the variant now owns the array

    for (LONG index = 0; index < static_cast<LONG>(bytes.size()); ++index) {
        std::uint8_t byte = bytes[static_cast<std::size_t>(index)];
        const HRESULT status = SafeArrayPutElement(array, &index, &byte);
        if (FAILED(status)) {
            return status;
        }
    }
    return object.Put(name, 0, value.get(), 0);
}

// The firmware's return code as a number; absent for an empty or null code,
// which says nothing either way.
HRESULT toNumber(VARIANT& returnCode, std::optional<std::int64_t>& number)
{
    number.reset();
    if (V_VT(&returnCode) == VT_EMPTY || V_VT(&returnCode) == VT_NULL) {
        return S_OK;
    }
    ScopedVariant converted;
    const HRESULT status = VariantChangeType(converted.get(), &returnCode, 0, VT_I8);
    if (SUCCEEDED(status)) {
        number = V_I8(converted.get());
    }
    return status;
}

} // namespace

HRESULT OrvaneWMIClassA::callBiosMethod(std::int32_t commandType, const CommandBlock& inData, CommandBlock& outData)
{
    lastFailure = {};
    executed = false;
    const HRESULT status = runMethod(commandType, inData, outData);
    releaseAll();
    if (FAILED(status)) {
        lastFailure.executed = executed;
    }
    return status;
}

const KestrineLightingLib::FirmwareFailure& OrvaneWMIClassA::failure() const
{
    return lastFailure;
}

HRESULT OrvaneWMIClassA::checked(const std::string& step, HRESULT status)
{
    if (FAILED(status)) {
        lastFailure = {step, status, std::nullopt, false};
    }
    return status;
}

HRESULT OrvaneWMIClassA::runMethod(std::int32_t commandType, const CommandBlock& inData, CommandBlock& outData)
{
    HRESULT status = S_OK;
    if (!locator) {
        status = checked("CoCreateInstance WbemAdministrativeLocator",
                         CoCreateInstance(wbemAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                          reinterpret_cast<void**>(locator.ReleaseAndGetAddressOf())));
        if (FAILED(status)) {
            return status;
        }
    }
    if (!services) {
        const ScopedBstr firmwareNamespace(L"root\\wmi");
        status = checked("ConnectServer root\\wmi",
                         locator->ConnectServer(firmwareNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                                services.ReleaseAndGetAddressOf()));
        if (FAILED(status)) {
            return status;
        }
    }
    status = checked("CoSetProxyBlanket",
                     CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                       RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
    if (FAILED(status)) {
        return status;
    }

    const ScopedBstr methodClassName(L"orvBIntM");
    status =
        checked("GetObject orvBIntM",
                services->GetObject(methodClassName.get(), 0, nullptr, methodClass.ReleaseAndGetAddressOf(), nullptr));
    if (FAILED(status)) {
        return status;
    }

    const std::wstring formattedName = L"orvBIOSInt" + std::to_wstring(methodNumber);
    const ScopedBstr methodName(formattedName.c_str());
    status = checked("GetMethod orvBIOSInt0",
                     methodClass->GetMethod(methodName.get(), 0, inSignature.ReleaseAndGetAddressOf(), nullptr));
    if (FAILED(status)) {
        return status;
    }
    if (!inSignature) {
        // A method without in-parameters cannot take the request record.
        return checked("GetMethod orvBIOSInt0 (no in-parameters)", wbemStatus(WBEM_E_INVALID_METHOD_PARAMETERS));
    }
    status = checked("SpawnInstance of the orvBIOSInt0 in-parameters",
                     inSignature->SpawnInstance(0, inParams.ReleaseAndGetAddressOf()));
    if (FAILED(status)) {
        return status;
    }

    const ScopedBstr recordClassName(L"orvBDataIn");
    status =
        checked("GetObject orvBDataIn",
                services->GetObject(recordClassName.get(), 0, nullptr, dataInClass.ReleaseAndGetAddressOf(), nullptr));
    if (FAILED(status)) {
        return status;
    }
    status = checked("SpawnInstance orvBDataIn", dataInClass->SpawnInstance(0, dataIn.ReleaseAndGetAddressOf()));
    if (FAILED(status)) {
        return status;
    }

    // A partly filled record must never reach the firmware.
    status = fillInData(inData, commandType);
    if (FAILED(status)) {
        return status;
    }

    ScopedVariant instancePath;
    status = findMethodInstance(instancePath.get());
    if (FAILED(status)) {
        return status;
    }

    status = checked("ExecMethod orvBIOSInt0",
                     services->ExecMethod(V_BSTR(instancePath.get()), methodName.get(), 0, nullptr, inParams.Get(),
                                          outParams.ReleaseAndGetAddressOf(), nullptr));
    if (FAILED(status)) {
        return status;
    }
    executed = true;
    outData.fill(0);
    return checkFirmwareAnswer();
}

HRESULT OrvaneWMIClassA::fillInData(const CommandBlock& inData, std::int32_t commandType)
{
    HRESULT status = checked("Put Sign", putByteArray(*dataIn.Get(), L"Sign", recordSignature));
    if (SUCCEEDED(status)) {
        status = checked("Put Command", putInt32(*dataIn.Get(), L"Command", biosCommand));
    }
    if (SUCCEEDED(status)) {
        status = checked("Put CommandType", putInt32(*dataIn.Get(), L"CommandType", commandType));
    }
    if (SUCCEEDED(status)) {
        status = checked("Put Size", putInt32(*dataIn.Get(), L"Size", static_cast<std::int32_t>(inData.size())));
    }
    if (SUCCEEDED(status)) {
        status = checked("Put orvBData", putByteArray(*dataIn.Get(), L"orvBData", inData));
    }
    if (SUCCEEDED(status)) {
        ScopedVariant record;
        V_VT(record.get()) = VT_UNKNOWN;
        V_UNKNOWN(record.get()) = dataIn.Get();
        dataIn->AddRef(); // released when the variant is cleared
        status = checked("Put InData", inParams->Put(L"InData", 0, record.get(), 0));
    }
    return status;
}

HRESULT OrvaneWMIClassA::findMethodInstance(VARIANT* path)
{
    ComPtr<IEnumWbemClassObject> instances;
    const ScopedBstr methodClassName(L"orvBIntM");
    HRESULT status = checked("CreateInstanceEnum orvBIntM",
                             services->CreateInstanceEnum(methodClassName.get(),
                                                          WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                                          nullptr, instances.ReleaseAndGetAddressOf()));
    if (FAILED(status)) {
        return status;
    }
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    status =
        checked("Next orvBIntM", instances->Next(instanceTimeoutMs, 1, instance.ReleaseAndGetAddressOf(), &returned));
    if (FAILED(status)) {
        return status;
    }
    if (returned == 0 || !instance) {
        // An enumeration that ended or timed out empty is still a command
        // that was never executed.
        return checked("Next orvBIntM (no instance)", wbemStatus(WBEM_E_NOT_FOUND));
    }
    status = checked("Get __PATH", instance->Get(L"__PATH", 0, path, nullptr, nullptr));
    if (FAILED(status)) {
        return status;
    }
    return V_VT(path) == VT_BSTR ? S_OK : checked("Get __PATH (not text)", wbemStatus(WBEM_E_INVALID_OBJECT_PATH));
}

HRESULT OrvaneWMIClassA::checkFirmwareAnswer()
{
    if (!outParams) {
        return S_OK;
    }
    ScopedVariant answer;
    HRESULT status = checked("Get OutData", outParams->Get(L"OutData", 0, answer.get(), nullptr, nullptr));
    outParams.Reset();
    if (FAILED(status)) {
        return status;
    }
    IUnknown* answerObject = nullptr;
    if (V_VT(answer.get()) == VT_UNKNOWN) {
        answerObject = V_UNKNOWN(answer.get());
    } else if (V_VT(answer.get()) == VT_DISPATCH) {
        answerObject = V_DISPATCH(answer.get());
    }
    if (answerObject == nullptr) {
        return S_OK;
    }

    ComPtr<IWbemClassObject> answerRecord;
    status = checked("QueryInterface OutData",
                     answerObject->QueryInterface(IID_IWbemClassObject,
                                                  reinterpret_cast<void**>(answerRecord.ReleaseAndGetAddressOf())));
    if (FAILED(status)) {
        return status;
    }
    ScopedVariant returnCode;
    status = answerRecord->Get(L"rwReturnCode", 0, returnCode.get(), nullptr, nullptr);
    if (status == wbemStatus(WBEM_E_NOT_FOUND)) {
        return S_OK;
    }
    if (FAILED(status)) {
        return checked("Get rwReturnCode", status);
    }
    std::optional<std::int64_t> code;
    status = checked("VariantChangeType rwReturnCode", toNumber(*returnCode.get(), code));
    if (FAILED(status) || !code || *code == 0) {
        return status;
    }
    // Zero means the firmware carried the command out; anything else is its refusal.
    lastFailure = {"", wbemStatus(WBEM_E_FAILED), code, true};
    return lastFailure.status;
}

void OrvaneWMIClassA::releaseAll()
{
    dataInClass.Reset();
    dataIn.Reset();
    inParams.Reset();
    outParams.Reset();
    methodClass.Reset();
    inSignature.Reset();
    services.Reset();
    locator.Reset();
}
