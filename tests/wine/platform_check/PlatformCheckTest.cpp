#include "SimulatedMachine.h"
#include "platform_check/PlatformCheck.h"
#include "platform_check/ErrorChain.h"
#include "platform_check/GenerationDetection.h"
#include "platform_check/ModelGeneration.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;

namespace {

using namespace std::string_literals;

// What detectGeneration raised, as the program prints it; empty if nothing.
std::string failureOf(const std::function<int()>& detect)
{
    try {
        detect();
    } catch (const std::exception& error) {
        return errorChainText(error);
    }
    return {};
}

const std::string initFailed = "PlatformCheck::init: info exception: ";

struct ModelCase {
    std::wstring model;
    int generation;
};

void PrintTo(const ModelCase& model, std::ostream* out)
{
    *out << model.model.size() << " units";
}

class Models : public ::testing::TestWithParam<ModelCase> {};

TEST_P(Models, DecideTheGeneration)
{
    SimulatedMachineCase machine;
    machine.model(GetParam().model);
    EXPECT_EQ(detectGeneration(), GetParam().generation);
}

INSTANTIATE_TEST_SUITE_P(PlatformCheck, Models, ::testing::Values(
    ModelCase{L"Orvane VR Veltrin G1 Workstation", firstGeneration},
    ModelCase{L"Orvane VR Veltrin G2", secondGeneration},
    ModelCase{L"Orvane VR Veltrin G2 ", unsupportedGeneration},
    ModelCase{L"orvane vr veltrin g2", unsupportedGeneration},
    ModelCase{L"Orvane VR Veltrin G1", unsupportedGeneration},
    ModelCase{L"", unsupportedGeneration},
    // Cut at the first NUL, as the model text always has been.
    ModelCase{L"Orvane VR Veltrin G2\0 rev B"s, secondGeneration},
    ModelCase{L"\0Orvane VR Veltrin G2"s, unsupportedGeneration}));

struct FailureCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::string expected;
    // The status of the failed WMI step the error carries, for the run to
    // tell an interface not ready yet from a refusal; none without one.
    std::optional<std::int32_t> status;
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

class Failures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failures, KeepTheFailingStepInsideTheInitError)
{
    SimulatedMachineCase machine;
    GetParam().configure(machine);
    EXPECT_EQ(failureOf(detectGeneration), initFailed + GetParam().expected);
    std::optional<std::int32_t> status;
    try {
        detectGeneration();
    } catch (const std::exception& error) {
        status = wmiStatusOf(error);
    }
    EXPECT_EQ(status, GetParam().status);
}

const std::string connect = "PlatformCheck::connectWMINamespace: ";
const std::string noModel = "PlatformCheck::initModel: unknown exception: PlatformCheck::initModel: getVariant exception";
const std::string enumeration =
    "PlatformCheck::setupWmi: unknown exception: PlatformCheck::handleCreateInstanceEnumResult error";

constexpr std::int32_t wbem(WBEMSTATUS status)
{
    return static_cast<std::int32_t>(status);
}

INSTANTIATE_TEST_SUITE_P(PlatformCheck, Failures, ::testing::Values(
    FailureCase{"model null", [](auto& m) { m.modelNull(); }, noModel, std::nullopt},
    FailureCase{"next timed out", [](auto& m) { m.cimv2NextTimeout(); }, noModel, std::nullopt},
    FailureCase{"next failed", [](auto& m) { m.fail(Step::Cimv2Next, WBEM_E_TRANSPORT_FAILURE); }, noModel,
                wbem(WBEM_E_TRANSPORT_FAILURE)},
    FailureCase{"locator not registered", [](auto& m) { m.fail(Step::Cimv2Locator, REGDB_E_CLASSNOTREG); },
                connect + "WbemLocator not registered in the registration database", REGDB_E_CLASSNOTREG},
    FailureCase{"locator without interface", [](auto& m) { m.fail(Step::Cimv2Locator, E_NOINTERFACE); },
                connect + "WbemLocator interface is not exposed", E_NOINTERFACE},
    FailureCase{"locator denied", [](auto& m) { m.fail(Step::Cimv2Locator, E_ACCESSDENIED); },
                connect + "CoCreateInstance error: 0x80070005", E_ACCESSDENIED},
    FailureCase{"connect denied", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_ACCESS_DENIED); },
                connect + "user name or password not valid or authorized", wbem(WBEM_E_ACCESS_DENIED)},
    FailureCase{"connect not found", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_NOT_FOUND); },
                connect + "ConnectServer error: 0x80041002", wbem(WBEM_E_NOT_FOUND)},
    FailureCase{"connect success code", [](auto& m) { m.fail(Step::Cimv2Connect, 1); },
                connect + "ConnectServer error: 0x1", 1},
    FailureCase{"enumeration failed", [](auto& m) { m.fail(Step::Cimv2Enum, WBEM_E_FAILED); }, enumeration,
                wbem(WBEM_E_FAILED)},
    FailureCase{"enumeration success code", [](auto& m) { m.fail(Step::Cimv2Enum, WBEM_S_FALSE); }, enumeration,
                wbem(WBEM_S_FALSE)}));

TEST(PlatformCheck, RunsTwiceInOneProcessAndLeavesComAsItFoundIt)
{
    SimulatedMachineCase machine;
    EXPECT_EQ(detectGeneration(), secondGeneration);
    // The second run finds the process's COM security already set.
    EXPECT_EQ(detectGeneration(), secondGeneration);
    // COM is down again: a new multithreaded apartment can be entered.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(result, S_OK);
    if (SUCCEEDED(result)) {
        CoUninitialize();
    }
}

TEST(PlatformCheck, WorksInsideAnApartmentTheCallerAlreadyEntered)
{
    SimulatedMachineCase machine;
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(detectGeneration(), secondGeneration);
    // The caller's apartment is still there: entering it again says so.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
}

TEST(PlatformCheck, FailsOnAThreadInAMultithreadedApartment)
{
    SimulatedMachineCase machine;
    const std::string failure = std::async(std::launch::async, [] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        const std::string text = failureOf(detectGeneration);
        CoUninitialize();
        return text;
    }).get();
    EXPECT_EQ(failure, initFailed + "PlatformCheck::initializeCOM: PlatformCheck::initializeCOM: "
                                    "CoInitializeEx error: 0x80010106");
}

// Whether the simulated machine still has a WMI object alive.
bool simulatedObjectsAlive()
{
    const HMODULE server = GetModuleHandleW(L"simulated-machine.dll");
    if (server == nullptr) {
        return false;
    }
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    return canUnloadNow != nullptr && canUnloadNow() != S_OK;
}

// The real COM calls, with the security call's answer forced when asked, and
// a note of whether COM was left while a WMI object was still alive.
class WatchedCom : public ComRuntime {
public:
    std::optional<HRESULT> securityAnswer;
    bool leftWithObjectsAlive = false;

    HRESULT initializeSecurity() override { return securityAnswer.value_or(ComRuntime::initializeSecurity()); }
    void uninitialize() override
    {
        leftWithObjectsAlive = leftWithObjectsAlive || simulatedObjectsAlive();
        ComRuntime::uninitialize();
    }
};

struct ComCase {
    const char* name;
    std::function<void(SimulatedMachineCase&, WatchedCom&)> configure;
    std::string failure;  // empty: the model is read
};

TEST(PlatformCheck, LeavesComAfterItsObjectsAndOnlyFailsOnRealSecurityErrors)
{
    const ComCase cases[] = {
        {"security already set", [](auto&, auto& com) { com.securityAnswer = RPC_E_TOO_LATE; }, ""},
        {"security refused", [](auto&, auto& com) { com.securityAnswer = E_ACCESSDENIED; },
         "PlatformCheck::initializeCOM: PlatformCheck::initializeCOM: CoInitializeSecurity error: 0x80070005"},
        {"model read", [](auto&, auto&) {}, ""},
        {"connection refused", [](auto& m, auto&) { m.fail(Step::Cimv2Connect, WBEM_E_ACCESS_DENIED); },
         "PlatformCheck::connectWMINamespace: user name or password not valid or authorized"},
        {"enumeration failed", [](auto& m, auto&) { m.fail(Step::Cimv2Enum, WBEM_E_FAILED); },
         "PlatformCheck::setupWmi: unknown exception: PlatformCheck::handleCreateInstanceEnumResult error"},
        {"no model", [](auto& m, auto&) { m.modelNull(); },
         "PlatformCheck::initModel: unknown exception: PlatformCheck::initModel: getVariant exception"},
    };
    for (const auto& c : cases) {
        SimulatedMachineCase machine;
        WatchedCom com;
        c.configure(machine, com);
        PlatformCheck check(1000, com);
        const std::string failure = failureOf([&] {
            check.init();
            return 0;
        });
        EXPECT_EQ(failure, c.failure.empty() ? "" : initFailed + c.failure) << c.name;
        if (c.failure.empty()) {
            EXPECT_EQ(check.getModel(), L"Orvane VR Veltrin G2") << c.name;
        }
        EXPECT_FALSE(com.leftWithObjectsAlive) << c.name;
        // COM is down again whatever happened.
        const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(apartment, S_OK) << c.name;
        if (SUCCEEDED(apartment)) {
            CoUninitialize();
        }
    }
}

TEST(PlatformCheck, WaitsAtMostASecondForAnotherHolderOfTheMutex)
{
    SimulatedMachineCase machine;
    std::promise<void> held;
    std::promise<void> finished;
    // Another thread holds "WmiMutex", so this thread's wait does time out.
    std::thread holder([&] {
        // The mutex may exist already, so it is taken by waiting, not on creation.
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"WmiMutex");
        WaitForSingleObject(mutex, INFINITE);
        held.set_value();
        finished.get_future().wait();
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    held.get_future().wait();

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(detectGeneration(), secondGeneration);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    finished.set_value();
    holder.join();

    EXPECT_GE(elapsed, std::chrono::milliseconds(950));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
}

} // namespace
