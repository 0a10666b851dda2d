// The firmware method of the simulated machine: the call goes through real
// COM, and what arrives is read back from the record.
#include "SimulatedMachine.h"
#include "WmiClient.h"

#include <gtest/gtest.h>

#include <functional>

using namespace simulated_machine;
using namespace simulated_machine::testing;

namespace {

constexpr HRESULT notFound = static_cast<HRESULT>(WBEM_E_NOT_FOUND);
constexpr HRESULT accessDenied = static_cast<HRESULT>(WBEM_E_ACCESS_DENIED);
constexpr HRESULT failed = static_cast<HRESULT>(WBEM_E_FAILED);

// Every byte different from its neighbours, so that a shifted, reversed or
// truncated block shows.
CommandBlock patternBlock()
{
    CommandBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return block;
}

class FirmwareCallTest : public ::testing::Test {
protected:
    ComApartment apartment;
};

TEST_F(FirmwareCallTest, RecordsTheRequestAsPut)
{
    SimulatedMachineCase machine;
    FirmwareCallOptions options;
    options.commandType = 5;
    options.data = patternBlock();
    const FirmwareCall call = callFirmware(options);
    ASSERT_EQ(call.failedStep, "");
    EXPECT_TRUE(call.gotOutput);
    EXPECT_EQ(call.returnCode, 0);

    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 1u);
    const RecordedCall& recorded = calls[0];
    EXPECT_EQ(recorded.nameSpace, LR"(root\wmi)");
    EXPECT_EQ(recorded.method, L"orvBIOSInt0");
    EXPECT_EQ(recorded.path, call.path);
    EXPECT_EQ(recorded.flags, 0);
    EXPECT_EQ(recorded.result, S_OK);
    EXPECT_EQ(recorded.returnCode, 0);
    EXPECT_EQ(recorded.inDataType, VT_UNKNOWN);
    EXPECT_EQ(recorded.inDataClass, L"orvBDataIn");

    const std::vector<std::wstring> order = {L"Sign", L"Command", L"CommandType", L"Size", L"orvBData"};
    ASSERT_EQ(recorded.properties.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(recorded.properties[i].name, order[i]);
    }
    EXPECT_EQ(recorded.property(L"Command")->vt, VT_I4);
    EXPECT_EQ(recorded.property(L"Command")->value, 0x20009);
    EXPECT_EQ(recorded.commandType(), 5);
    EXPECT_EQ(recorded.property(L"Size")->value, 128);
    EXPECT_EQ(recorded.sign(), (std::vector<std::uint8_t>{'S', 'E', 'C', 'U'}));

    const RecordedProperty& data = *recorded.property(L"orvBData");
    EXPECT_EQ(data.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(data.dimensions, 1u);
    EXPECT_EQ(data.lowerBound, 0);
    EXPECT_EQ(data.count, 128);
    EXPECT_EQ(recorded.data(), std::vector<std::uint8_t>(options.data.begin(), options.data.end()));
}

TEST_F(FirmwareCallTest, RecordsTheProxyBlanketOrItsAbsence)
{
    {
        SimulatedMachineCase machine;
        ASSERT_EQ(callFirmware().failedStep, "");
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        ASSERT_TRUE(calls[0].blanket.has_value());
        const RecordedBlanket& blanket = *calls[0].blanket;
        EXPECT_EQ(blanket.authn, static_cast<std::uint32_t>(RPC_C_AUTHN_WINNT));
        EXPECT_EQ(blanket.authz, static_cast<std::uint32_t>(RPC_C_AUTHZ_NONE));
        EXPECT_FALSE(blanket.principal);
        EXPECT_EQ(blanket.authnLevel, static_cast<std::uint32_t>(RPC_C_AUTHN_LEVEL_CALL));
        EXPECT_EQ(blanket.impLevel, static_cast<std::uint32_t>(RPC_C_IMP_LEVEL_IMPERSONATE));
        EXPECT_FALSE(blanket.identity);
        EXPECT_EQ(blanket.capabilities, static_cast<std::uint32_t>(EOAC_NONE));
    }
    {
        SimulatedMachineCase machine;
        FirmwareCallOptions options;
        options.setBlanket = false;
        ASSERT_EQ(callFirmware(options).failedStep, "");
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_FALSE(calls[0].blanket.has_value());
    }
}

TEST_F(FirmwareCallTest, HandsBackTheConfiguredReturnCode)
{
    struct Case {
        const char* name;
        std::function<void(SimulatedMachineCase&)> configure;
        HRESULT getStatus;
        std::optional<std::int32_t> code;
    };
    const Case cases[] = {
        {"default", [](SimulatedMachineCase&) {}, S_OK, 0},
        {"refused", [](SimulatedMachineCase& c) { c.returnCode(-3); }, S_OK, -3},
        {"hexadecimal", [](SimulatedMachineCase& c) { c.set(L"RETURN_CODE", L"0x10"); }, S_OK, 16},
        {"none", [](SimulatedMachineCase& c) { c.noReturnCode(); }, notFound, std::nullopt},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SimulatedMachineCase machine;
        testCase.configure(machine);
        const FirmwareCall call = callFirmware();
        EXPECT_EQ(call.failedStep, "");
        EXPECT_EQ(call.returnCodeStatus, testCase.getStatus);
        EXPECT_EQ(call.returnCode, testCase.code);
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].returnCode, testCase.code);
    }
}

struct StepFault {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::string failedStep;
    HRESULT status;
    std::size_t recordedCalls;
};

TEST_F(FirmwareCallTest, EachFaultStopsTheCallAtItsStep)
{
    const StepFault cases[] = {
        {"locator", [](SimulatedMachineCase& c) { c.fail(Step::WmiLocator, E_ACCESSDENIED); }, "connect",
         E_ACCESSDENIED, 0},
        {"connect", [](SimulatedMachineCase& c) { c.fail(Step::WmiConnect, accessDenied); }, "connect", accessDenied,
         0},
        {"class lookup", [](SimulatedMachineCase& c) { c.fail(Step::WmiGetClass, notFound); }, "GetObject(orvBIntM)",
         notFound, 0},
        {"enumeration", [](SimulatedMachineCase& c) { c.fail(Step::WmiEnum, failed); }, "CreateInstanceEnum", failed,
         0},
        {"no instance", [](SimulatedMachineCase& c) { c.wmiNoInstance(); }, "Next",
         static_cast<HRESULT>(WBEM_S_FALSE), 0},
        {"execution", [](SimulatedMachineCase& c) { c.fail(Step::WmiExec, failed); }, "ExecMethod", failed, 1},
        {"invalid return code", [](SimulatedMachineCase& c) { c.set(L"RETURN_CODE", L"zero"); }, "ExecMethod",
         E_INVALIDARG, 1},
        {"model-side faults do not matter", [](SimulatedMachineCase& c) {
             c.fail(Step::Cimv2Locator, E_FAIL).fail(Step::Cimv2Connect, E_FAIL).cimv2NextTimeout();
         }, "", S_OK, 1},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SimulatedMachineCase machine;
        testCase.configure(machine);
        const FirmwareCall call = callFirmware();
        EXPECT_EQ(call.failedStep, testCase.failedStep);
        EXPECT_EQ(call.status, testCase.status);
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), testCase.recordedCalls);
        if (!calls.empty()) {
            EXPECT_EQ(calls[0].result, testCase.status);
            // A failed execution hands out no output and records no return code.
            EXPECT_EQ(call.gotOutput, SUCCEEDED(testCase.status));
            EXPECT_EQ(calls[0].returnCode.has_value(), SUCCEEDED(testCase.status));
        }
    }
}

// The call goes through and is recorded; only its answer cannot be read.
TEST_F(FirmwareCallTest, AnUnreadableAnswerFollowsARecordedCall)
{
    SimulatedMachineCase machine;
    machine.fail(Step::WmiOutData, RPC_E_DISCONNECTED);
    const FirmwareCall call = callFirmware();
    EXPECT_EQ(call.failedStep, "Get(OutData)");
    EXPECT_EQ(call.status, RPC_E_DISCONNECTED);
    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].result, S_OK);
}

TEST_F(FirmwareCallTest, AFailingPutStoresNothing)
{
    const std::wstring properties[] = {L"Sign", L"Command", L"CommandType", L"Size", L"orvBData"};
    for (const auto& failing : properties) {
        SCOPED_TRACE(std::string(failing.begin(), failing.end()));
        SimulatedMachineCase machine;
        machine.failPut(failing, accessDenied);
        const FirmwareCall call = callFirmware();
        EXPECT_EQ(call.failedStep, "");
        for (const auto& [name, status] : call.puts) {
            EXPECT_EQ(status, name == failing ? accessDenied : S_OK);
        }
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].properties.size(), 4u);
        EXPECT_EQ(calls[0].property(failing), nullptr);
    }

    SimulatedMachineCase machine;
    machine.failPut(L"InData", accessDenied);
    const FirmwareCall call = callFirmware();
    EXPECT_EQ(call.puts.back(), std::make_pair(std::wstring(L"InData"), accessDenied));
    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].inDataType, VT_NULL);
    EXPECT_TRUE(calls[0].properties.empty());
}

TEST_F(FirmwareCallTest, UnknownNamesAreNotFound)
{
    SimulatedMachineCase machine;
    Microsoft::WRL::ComPtr<IWbemServices> services;
    ASSERT_EQ(connect(administrativeLocatorClass, LR"(root\wmi)", services), S_OK);
    Microsoft::WRL::ComPtr<IWbemClassObject> object;
    EXPECT_EQ(services->GetObject(Bstr(L"orvBIntX"), 0, nullptr, &object, nullptr), notFound);
    EXPECT_EQ(object, nullptr);

    FirmwareCallOptions options;
    options.method = L"orvBIOSInt1";
    const FirmwareCall call = callFirmware(options);
    EXPECT_EQ(call.failedStep, "GetMethod");
    EXPECT_EQ(call.status, notFound);
}

TEST_F(FirmwareCallTest, RefusesAnExecutionItCannotCarryOutAndRecordsIt)
{
    SimulatedMachineCase machine;
    Microsoft::WRL::ComPtr<IWbemServices> services;
    ASSERT_EQ(connect(administrativeLocatorClass, LR"(root\wmi)", services), S_OK);
    Microsoft::WRL::ComPtr<IWbemClassObject> methodClass;
    Microsoft::WRL::ComPtr<IWbemClassObject> inSignature;
    Microsoft::WRL::ComPtr<IWbemClassObject> inParameters;
    ASSERT_EQ(services->GetObject(Bstr(L"orvBIntM"), 0, nullptr, &methodClass, nullptr), S_OK);
    ASSERT_EQ(methodClass->GetMethod(L"orvBIOSInt0", 0, &inSignature, nullptr), S_OK);
    ASSERT_EQ(inSignature->SpawnInstance(0, &inParameters), S_OK);

    const wchar_t* const instance = LR"(\\SIMULATED\root\wmi:orvBIntM.InstanceName="ACPI\\PNP0C14\\0_0")";
    struct Case {
        const wchar_t* path;
        const wchar_t* method;
        IWbemClassObject* inParameters;
        HRESULT status;
    };
    const Case cases[] = {
        {LR"(orvBIntM.InstanceName="ACPI\\PNP0C14\\0_0")", L"orvBIOSInt0", inParameters.Get(), S_OK},
        {LR"(orvBIntM.InstanceName="other")", L"orvBIOSInt0", inParameters.Get(), notFound},
        {instance, L"orvBIOSInt7", inParameters.Get(), notFound},
        {instance, L"orvBIOSInt0", nullptr, static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER)},
    };
    for (const auto& testCase : cases) {
        Microsoft::WRL::ComPtr<IWbemClassObject> output;
        EXPECT_EQ(services->ExecMethod(Bstr(testCase.path), Bstr(testCase.method), 0, nullptr, testCase.inParameters,
                                       &output, nullptr),
                  testCase.status);
        EXPECT_EQ(output != nullptr, SUCCEEDED(testCase.status));
    }
    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), std::size(cases));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].path, cases[i].path);
        EXPECT_EQ(calls[i].method, cases[i].method);
        EXPECT_EQ(calls[i].result, cases[i].status);
        // In-parameters without "InData" put hold no value there.
        EXPECT_EQ(calls[i].inDataType, cases[i].inParameters ? std::optional<VARTYPE>(VT_NULL) : std::nullopt);
    }
}

TEST_F(FirmwareCallTest, ReleasingEverythingFreesEveryObject)
{
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    SimulatedMachineCase machine;
    Microsoft::WRL::ComPtr<IWbemServices> services;
    ASSERT_EQ(connect(administrativeLocatorClass, LR"(root\wmi)", services), S_OK);
    const HMODULE module = GetModuleHandleW(L"simulated-machine.dll");
    ASSERT_NE(module, nullptr);
    const auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnloadNow, nullptr);

    EXPECT_EQ(canUnloadNow(), S_FALSE);
    services.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);

    ASSERT_EQ(callFirmware().failedStep, "");
    ASSERT_EQ(queryModel().failedStep, "");
    EXPECT_EQ(canUnloadNow(), S_OK);
}

} // namespace
