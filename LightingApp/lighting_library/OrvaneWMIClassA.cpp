#include "lighting_library/OrvaneWMIClassA.h"

#include "windows_wrappers/AutomationValues.h"

#include <array>
#include <optional>
#include <span>
#include <string>

using KestrineLightingLib::CommandBlock;
using KestrineLightingLib::FirmwareFailure;
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

// The method's name, "orvBIOSInt0", formatted for each use.
ScopedBstr biosMethodName()
{
    const std::wstring formattedName = L"orvBIOSInt" + std::to_wstring(methodNumber);
    return ScopedBstr(formattedName.c_str());
}

// The failure of the named step when its status is one; empty when it succeeded.
std::optional<FirmwareFailure> step(const char* name, HRESULT status)
{
    if (FAILED(status)) {
        return FirmwareFailure{name, status, std::nullopt, false};
    }
    return std::nullopt;
}

} // namespace

// The one way the call checks a step: returns its failure from the calling
// function when it has one, as a return-if-failed check does with an HRESULT.
// A macro, so that the return leaves the caller and each step stays one
// statement; the step's name, which the failure keeps, is given by step().
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define RETURN_IF_STEP_FAILED(stepFailure)                                                                             \
    do {                                                                                                               \
        if (auto failed = (stepFailure)) {                                                                             \
            return failed;                                                                                             \
        }                                                                                                              \
    } while (false)

HRESULT OrvaneWMIClassA::callBiosMethod(std::int32_t commandType, const CommandBlock& inData, CommandBlock& outData)
{
    const std::optional<FirmwareFailure> failure = callBiosMethodReporting(commandType, inData, outData);
    return failure ? failure->status : S_OK;
}

std::optional<FirmwareFailure>
OrvaneWMIClassA::callBiosMethodReporting(std::int32_t commandType, const CommandBlock& inData, CommandBlock& outData)
{
    StepFailure failure = runMethod(commandType, inData, outData);
    releaseAll();
    return failure;
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::runMethod(std::int32_t commandType, const CommandBlock& inData,
                                                        CommandBlock& outData)
{
    RETURN_IF_STEP_FAILED(connect());
    RETURN_IF_STEP_FAILED(spawnRecord());
    // A partly filled record must never reach the firmware.
    RETURN_IF_STEP_FAILED(fillInData(inData, commandType));
    ScopedVariant instancePath;
    RETURN_IF_STEP_FAILED(findMethodInstance(instancePath.get()));
    const ScopedBstr methodName = biosMethodName();
    RETURN_IF_STEP_FAILED(step("ExecMethod orvBIOSInt0",
                               services->ExecMethod(V_BSTR(instancePath.get()), methodName.get(), 0, nullptr,
                                                    inParams.Get(), outParams.ReleaseAndGetAddressOf(), nullptr)));
    outData.fill(0);
    StepFailure failure = checkFirmwareAnswer();
    if (failure) {
        failure->executed = true; // the command reached the firmware
    }
    return failure;
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::connect()
{
    if (!locator) {
        RETURN_IF_STEP_FAILED(
            step("CoCreateInstance WbemAdministrativeLocator",
                 CoCreateInstance(wbemAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  reinterpret_cast<void**>(locator.ReleaseAndGetAddressOf()))));
    }
    if (!services) {
        const ScopedBstr firmwareNamespace(L"root\\wmi");
        RETURN_IF_STEP_FAILED(step("ConnectServer root\\wmi",
                                   locator->ConnectServer(firmwareNamespace.get(), nullptr, nullptr, nullptr, 0,
                                                          nullptr, nullptr, services.ReleaseAndGetAddressOf())));
    }
    return step("CoSetProxyBlanket",
                CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::spawnRecord()
{
    const ScopedBstr methodClassName(L"orvBIntM");
    RETURN_IF_STEP_FAILED(
        step("GetObject orvBIntM",
             services->GetObject(methodClassName.get(), 0, nullptr, methodClass.ReleaseAndGetAddressOf(), nullptr)));
    const ScopedBstr methodName = biosMethodName();
    RETURN_IF_STEP_FAILED(
        step("GetMethod orvBIOSInt0",
             methodClass->GetMethod(methodName.get(), 0, inSignature.ReleaseAndGetAddressOf(), nullptr)));
    if (!inSignature) {
        // A method without in-parameters cannot take the request record.
        return step("GetMethod orvBIOSInt0 (no in-parameters)", wbemStatus(WBEM_E_INVALID_METHOD_PARAMETERS));
    }
    RETURN_IF_STEP_FAILED(step("SpawnInstance of the orvBIOSInt0 in-parameters",
                               inSignature->SpawnInstance(0, inParams.ReleaseAndGetAddressOf())));

    const ScopedBstr recordClassName(L"orvBDataIn");
    RETURN_IF_STEP_FAILED(
        step("GetObject orvBDataIn",
             services->GetObject(recordClassName.get(), 0, nullptr, dataInClass.ReleaseAndGetAddressOf(), nullptr)));
    return step("SpawnInstance orvBDataIn", dataInClass->SpawnInstance(0, dataIn.ReleaseAndGetAddressOf()));
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::fillInData(const CommandBlock& inData, std::int32_t commandType)
{
    RETURN_IF_STEP_FAILED(step("Put Sign", putByteArray(*dataIn.Get(), L"Sign", recordSignature)));
    RETURN_IF_STEP_FAILED(step("Put Command", putInt32(*dataIn.Get(), L"Command", biosCommand)));
    RETURN_IF_STEP_FAILED(step("Put CommandType", putInt32(*dataIn.Get(), L"CommandType", commandType)));
    RETURN_IF_STEP_FAILED(step("Put Size", putInt32(*dataIn.Get(), L"Size", static_cast<std::int32_t>(inData.size()))));
    RETURN_IF_STEP_FAILED(step("Put orvBData", putByteArray(*dataIn.Get(), L"orvBData", inData)));
    ScopedVariant record;
    V_VT(record.get()) = VT_UNKNOWN;
    V_UNKNOWN(record.get()) = dataIn.Get();
    dataIn->AddRef(); // released when the variant is cleared
    return step("Put InData", inParams->Put(L"InData", 0, record.get(), 0));
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::findMethodInstance(VARIANT* path)
{
    ComPtr<IEnumWbemClassObject> instances;
    const ScopedBstr methodClassName(L"orvBIntM");
    RETURN_IF_STEP_FAILED(
        step("CreateInstanceEnum orvBIntM",
             services->CreateInstanceEnum(methodClassName.get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                          nullptr, instances.ReleaseAndGetAddressOf())));
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    RETURN_IF_STEP_FAILED(
        step("Next orvBIntM", instances->Next(instanceTimeoutMs, 1, instance.ReleaseAndGetAddressOf(), &returned)));
    if (returned == 0 || !instance) {
        // An enumeration that ended or timed out empty is still a command
        // that was never executed.
        return step("Next orvBIntM (no instance)", wbemStatus(WBEM_E_NOT_FOUND));
    }
    RETURN_IF_STEP_FAILED(step("Get __PATH", instance->Get(L"__PATH", 0, path, nullptr, nullptr)));
    return V_VT(path) == VT_BSTR ? std::nullopt : step("Get __PATH (not text)", wbemStatus(WBEM_E_INVALID_OBJECT_PATH));
}

OrvaneWMIClassA::StepFailure OrvaneWMIClassA::checkFirmwareAnswer()
{
    if (!outParams) {
        return std::nullopt;
    }
    ScopedVariant answer;
    const HRESULT answerStatus = outParams->Get(L"OutData", 0, answer.get(), nullptr, nullptr);
    outParams.Reset();
    RETURN_IF_STEP_FAILED(step("Get OutData", answerStatus));
    IUnknown* answerObject = nullptr;
    if (V_VT(answer.get()) == VT_UNKNOWN) {
        answerObject = V_UNKNOWN(answer.get());
    } else if (V_VT(answer.get()) == VT_DISPATCH) {
        answerObject = V_DISPATCH(answer.get());
    }
    if (answerObject == nullptr) {
        return std::nullopt;
    }

    ComPtr<IWbemClassObject> answerRecord;
    RETURN_IF_STEP_FAILED(
        step("QueryInterface OutData",
             answerObject->QueryInterface(IID_IWbemClassObject,
                                          reinterpret_cast<void**>(answerRecord.ReleaseAndGetAddressOf()))));
    ScopedVariant returnCode;
    const HRESULT codeStatus = answerRecord->Get(L"rwReturnCode", 0, returnCode.get(), nullptr, nullptr);
    if (codeStatus == wbemStatus(WBEM_E_NOT_FOUND)) {
        return std::nullopt;
    }
    RETURN_IF_STEP_FAILED(step("Get rwReturnCode", codeStatus));
    std::optional<std::int64_t> code;
    RETURN_IF_STEP_FAILED(step("VariantChangeType rwReturnCode", toNumber(*returnCode.get(), code)));
    if (!code || *code == 0) {
        return std::nullopt;
    }
    // Zero means the firmware carried the command out; anything else is its refusal.
    return FirmwareFailure{"", wbemStatus(WBEM_E_FAILED), code, true};
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

#undef RETURN_IF_STEP_FAILED
