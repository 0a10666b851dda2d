// The model query against the simulated machine: "Win32_ComputerSystem" in
// root\cimv2, with the model and the faults each case configures.
#include "SimulatedMachine.h"
#include "WmiClient.h"

#include <gtest/gtest.h>

#include <functional>

using namespace simulated_machine;
using namespace simulated_machine::testing;
using namespace std::string_literals;

namespace {

constexpr HRESULT accessDenied = static_cast<HRESULT>(WBEM_E_ACCESS_DENIED);
constexpr HRESULT failed = static_cast<HRESULT>(WBEM_E_FAILED);

class ModelQueryTest : public ::testing::Test {
protected:
    ComApartment apartment;
};

struct ModelCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    VARTYPE type;
    std::wstring model;
};

TEST_F(ModelQueryTest, ReturnsTheConfiguredModel)
{
    const ModelCase cases[] = {
        {"default", [](SimulatedMachineCase&) {}, VT_BSTR, L"Orvane VR Veltrin G2"},
        {"first generation", [](SimulatedMachineCase& c) { c.model(L"Orvane VR Veltrin G1 Workstation"); }, VT_BSTR,
         L"Orvane VR Veltrin G1 Workstation"},
        {"empty", [](SimulatedMachineCase& c) { c.model(L""); }, VT_BSTR, L""},
        {"embedded NUL", [](SimulatedMachineCase& c) { c.model(L"Orvane VR Veltrin G2\0 rev B"s); }, VT_BSTR,
         L"Orvane VR Veltrin G2\0 rev B"s},
        {"non-ASCII", [](SimulatedMachineCase& c) { c.model(L"Orvane \u00c9dition"); }, VT_BSTR,
         L"Orvane \u00c9dition"},
        {"no value", [](SimulatedMachineCase& c) { c.modelNull(); }, VT_NULL, L""},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SimulatedMachineCase machine;
        testCase.configure(machine);
        const ModelQuery query = queryModel();
        EXPECT_EQ(query.failedStep, "");
        EXPECT_EQ(query.status, S_OK);
        EXPECT_EQ(query.type, testCase.type);
        EXPECT_EQ(query.model, testCase.model);
    }
}

TEST_F(ModelQueryTest, AcceptsTheNamespaceWithoutTheLocalPrefixAndRefusesOthers)
{
    SimulatedMachineCase machine;
    EXPECT_EQ(queryModel(LR"(ROOT\CIMV2)").model, L"Orvane VR Veltrin G2");

    const ModelQuery wrong = queryModel(LR"(\\.\root\default)");
    EXPECT_EQ(wrong.failedStep, "ConnectServer");
    EXPECT_EQ(wrong.status, static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE));
}

struct FaultCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::string failedStep;
    HRESULT status;
};

TEST_F(ModelQueryTest, EachFaultStopsTheQueryAtItsStep)
{
    const FaultCase cases[] = {
        {"locator not registered", [](SimulatedMachineCase& c) { c.fail(Step::Cimv2Locator, REGDB_E_CLASSNOTREG); },
         "CoCreateInstance", REGDB_E_CLASSNOTREG},
        {"access denied", [](SimulatedMachineCase& c) { c.fail(Step::Cimv2Connect, accessDenied); },
         "ConnectServer", accessDenied},
        {"enumeration fails", [](SimulatedMachineCase& c) { c.fail(Step::Cimv2Enum, failed); },
         "CreateInstanceEnum", failed},
        {"Next times out", [](SimulatedMachineCase& c) { c.cimv2NextTimeout(); }, "Next",
         static_cast<HRESULT>(WBEM_S_TIMEDOUT)},
        {"invalid fault value", [](SimulatedMachineCase& c) { c.set(L"FAIL_CIMV2_ENUM", L"0xZZ"); },
         "CreateInstanceEnum", E_INVALIDARG},
        {"invalid switch value", [](SimulatedMachineCase& c) { c.set(L"MODEL_NULL", L"yes"); },
         "CreateInstanceEnum", E_INVALIDARG},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SimulatedMachineCase machine;
        testCase.configure(machine);
        const ModelQuery query = queryModel();
        EXPECT_EQ(query.failedStep, testCase.failedStep);
        EXPECT_EQ(query.status, testCase.status);
    }
}

TEST_F(ModelQueryTest, SuccessCodesAndFirmwareSideFaultsLeaveTheQueryWorking)
{
    const FaultCase cases[] = {
        {"ConnectServer", [](SimulatedMachineCase& c) { c.fail(Step::Cimv2Connect, 1); }, "", S_OK},
        {"CreateInstanceEnum", [](SimulatedMachineCase& c) { c.fail(Step::Cimv2Enum, 0x40004); }, "", S_OK},
        {"firmware-side faults", [](SimulatedMachineCase& c) {
             c.fail(Step::WmiLocator, E_FAIL).fail(Step::WmiConnect, E_FAIL).fail(Step::WmiEnum, E_FAIL);
         }, "", S_OK},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SimulatedMachineCase machine;
        testCase.configure(machine);
        const ModelQuery query = queryModel();
        EXPECT_EQ(query.failedStep, testCase.failedStep);
        EXPECT_EQ(query.model, L"Orvane VR Veltrin G2");
    }

    // The status itself comes back unchanged.
    SimulatedMachineCase machine;
    machine.fail(Step::Cimv2Connect, 1).fail(Step::Cimv2Enum, 0x40004);
    Microsoft::WRL::ComPtr<IWbemServices> services;
    EXPECT_EQ(connect(locatorClass, LR"(\\.\root\cimv2)", services), 1);
    ASSERT_NE(services, nullptr);
    Microsoft::WRL::ComPtr<IEnumWbemClassObject> enumerator;
    EXPECT_EQ(services->CreateInstanceEnum(Bstr(L"Win32_ComputerSystem"), 0, nullptr, &enumerator), 0x40004);
    EXPECT_NE(enumerator, nullptr);
}

// A step that is not ready fails its first calls in the process, then works;
// a count that is not a number fails every call.
TEST_F(ModelQueryTest, AStepNotReadyFailsItsFirstCallsOnly)
{
    constexpr HRESULT transportFailure = static_cast<HRESULT>(WBEM_E_TRANSPORT_FAILURE);
    SimulatedMachineCase machine;
    machine.failFirst(Step::Cimv2Enum, transportFailure, 2);
    for (const HRESULT expected : {transportFailure, transportFailure, S_OK, S_OK}) {
        const ModelQuery query = queryModel();
        EXPECT_EQ(query.status, expected);
        EXPECT_EQ(query.model, expected == S_OK ? L"Orvane VR Veltrin G2" : L"");
    }

    SimulatedMachineCase badCount;
    badCount.fail(Step::Cimv2Connect, transportFailure).set(L"FAIL_CIMV2_CONNECT_CALLS", L"two");
    EXPECT_EQ(queryModel().status, E_INVALIDARG);
    EXPECT_EQ(queryModel().status, E_INVALIDARG);
}

TEST_F(ModelQueryTest, EnumerationYieldsOneInstanceAndCanBeReset)
{
    SimulatedMachineCase machine;
    Microsoft::WRL::ComPtr<IWbemServices> services;
    ASSERT_EQ(connect(locatorClass, LR"(\\.\root\cimv2)", services), S_OK);
    Microsoft::WRL::ComPtr<IEnumWbemClassObject> enumerator;
    ASSERT_EQ(services->CreateInstanceEnum(Bstr(L"Win32_ComputerSystem"), 0, nullptr, &enumerator), S_OK);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Microsoft::WRL::ComPtr<IWbemClassObject> objects[2];
        ULONG returned = 99;
        EXPECT_EQ(enumerator->Next(2000, 1, objects[0].GetAddressOf(), &returned), S_OK);
        EXPECT_EQ(returned, 1u);
        EXPECT_NE(objects[0], nullptr);
        EXPECT_EQ(enumerator->Next(2000, 1, objects[1].GetAddressOf(), &returned), static_cast<HRESULT>(WBEM_S_FALSE));
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(objects[1], nullptr);
        EXPECT_EQ(enumerator->Reset(), S_OK);
    }
}

} // namespace
