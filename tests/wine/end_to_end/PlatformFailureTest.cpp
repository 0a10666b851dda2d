#include "InstalledProgram.h"
#include "ProgramOnMachine.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <future>
#include <thread>

using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;
using ::testing::SizeIs;

namespace {

using namespace std::string_literals;

using UnsupportedMachine = ProgramOnMachine;

TEST_F(UnsupportedMachine, NearMissModelsAreNotCompatible)
{
    for (const std::wstring& model : {L"Orvane VR Veltrin G2 "s, L"ORVANE VR VELTRIN G2"s, L"Orvane VR Veltrin G1"s,
                                     L"Orvane VR Veltrin"s, L""s, L"Wine"s}) {
        machine.model(model);
        const ProgramResult result = run({L"255", L"0", L"0", L"100"});
        EXPECT_EQ(result.output, "\r\nThis hardware is not compatible.\r\n" + usageText());
        EXPECT_EQ(result.exitCode, 0u);
    }
    EXPECT_THAT(machine.calls(), SizeIs(0));
    EXPECT_EQ(storedValues(), nothingStored());
}

TEST_F(UnsupportedMachine, ModelWithAnEmbeddedNulIsCutThere)
{
    machine.model(L"Orvane VR Veltrin G2\0 rev B"s);
    EXPECT_EQ(run({L"50"}).output, "");
    EXPECT_THAT(machine.calls(), SizeIs(1));
}

struct PlatformFailure {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::string cause;
};

void PrintTo(const PlatformFailure& failure, std::ostream* out)
{
    *out << failure.name;
}

class FailedPlatformCheck : public ProgramOnMachine, public ::testing::WithParamInterface<PlatformFailure> {};

// The program says why it could not identify the machine, and does nothing.
TEST_P(FailedPlatformCheck, IsReportedAndNothingIsSentOrStored)
{
    GetParam().configure(machine);
    const ProgramResult result = run({L"255", L"0", L"0", L"100"});
    EXPECT_EQ(result.output, "Platform check failed: PlatformCheck::init: info exception: " + GetParam().cause +
                                 "\r\nRequest Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_THAT(machine.calls(), SizeIs(0));
    EXPECT_EQ(storedValues(), nothingStored());
}

const std::string connect = "PlatformCheck::connectWMINamespace: ";
const std::string noModel = "PlatformCheck::initModel: unknown exception: PlatformCheck::initModel: getVariant exception";

INSTANTIATE_TEST_SUITE_P(EndToEnd, FailedPlatformCheck, ::testing::Values(
    PlatformFailure{"model null", [](auto& m) { m.modelNull(); }, noModel},
    PlatformFailure{"next timed out", [](auto& m) { m.cimv2NextTimeout(); }, noModel},
    PlatformFailure{"locator not registered", [](auto& m) { m.fail(Step::Cimv2Locator, REGDB_E_CLASSNOTREG); },
                    connect + "WbemLocator not registered in the registration database"},
    PlatformFailure{"locator without interface", [](auto& m) { m.fail(Step::Cimv2Locator, E_NOINTERFACE); },
                    connect + "WbemLocator interface is not exposed"},
    PlatformFailure{"locator failed", [](auto& m) { m.fail(Step::Cimv2Locator, E_FAIL); },
                    connect + "CoCreateInstance error: 0x80004005"},
    PlatformFailure{"access denied", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_ACCESS_DENIED); },
                    connect + "user name or password not valid or authorized"},
    PlatformFailure{"failed", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_FAILED); },
                    connect + "unspecified error"},
    PlatformFailure{"invalid namespace", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_INVALID_NAMESPACE); },
                    connect + "invalid namespace on server"},
    PlatformFailure{"invalid parameter", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_INVALID_PARAMETER); },
                    connect + " invalid parameter was specified"},
    PlatformFailure{"out of memory", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_OUT_OF_MEMORY); },
                    connect + "not enough memory to complete operation"},
    PlatformFailure{"transport", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_TRANSPORT_FAILURE); },
                    connect + "RPC call failure to WMI"},
    PlatformFailure{"credentials", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_LOCAL_CREDENTIALS); },
                    connect + "Local Credential Error"},
    PlatformFailure{"other code", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_NOT_FOUND); },
                    connect + "ConnectServer error: 0x80041002"},
    PlatformFailure{"enumeration", [](auto& m) { m.fail(Step::Cimv2Enum, WBEM_E_FAILED); },
                    "PlatformCheck::setupWmi: unknown exception: PlatformCheck::handleCreateInstanceEnumResult error"}));

// Help, the task file and invalid arguments need no machine: they are
// answered whatever the platform check found, and only they are.
struct MachineIndependentCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::vector<std::wstring> arguments;
    std::string expected;
};

using MachineIndependentRequests = ProgramOnMachine;

TEST_F(MachineIndependentRequests, AreAnsweredWhateverTheCheckFound)
{
    const auto failedCheck = [](SimulatedMachineCase& m) { m.fail(Step::Cimv2Connect, WBEM_E_FAILED); };
    const auto unsupported = [](SimulatedMachineCase& m) { m.model(L"Wine"); };
    const std::wstring missing = L"C:\\no such folder\\task.xml";
    const std::string notWritten = "Could not write the startup task file: C:\\no such folder\\task.xml\r\n"
                                   "Request Failed\r\n";
    const std::string notCompatible = "\r\nThis hardware is not compatible.\r\n" + usageText();
    const std::wstring written = (std::filesystem::temp_directory_path() / L"veltrin-machine-independent.xml").wstring();
    const std::string writtenText = "Startup task file written: " + std::string(written.begin(), written.end()) + "\r\n";
    const MachineIndependentCase cases[] = {
        {"help after a failed check", failedCheck, {L"help"}, usageText()},
        {"task file written after a failed check", failedCheck, {L"--create-xml", written}, writtenText},
        {"task file after a failed check", failedCheck, {L"--create-xml", missing}, notWritten},
        {"task file on an unsupported machine", unsupported, {L"--create-xml", missing}, notCompatible + notWritten},
        {"help on an unsupported machine", unsupported, {L"-h"}, notCompatible},
        {"invalid after a failed check", failedCheck, {L"1", L"2", L"3"},
         "Invalid arguments\r\n" + usageText() + "Request Failed\r\n"},
    };
    // Where the task file is written, only administrators may change the program.
    const std::wstring program = installedProgram(L"machine-independent-test");
    for (const auto& c : cases) {
        SimulatedMachineCase caseMachine{SimulatedMachineCase::Scope::ChildProcesses};
        c.configure(caseMachine);
        const ProgramResult result = runProgram({program, c.arguments,
                                                 L"C:\\Tools\\lighting.exe", caseMachine.environmentBlock()});
        EXPECT_EQ(result.output, c.expected) << c.name;
        EXPECT_THAT(caseMachine.calls(), SizeIs(0)) << c.name;
    }
    EXPECT_TRUE(std::filesystem::exists(written));
    std::filesystem::remove(written);
}

using DllSearch = ProgramOnMachine;

// The startup task runs the program as LocalSystem: a DLL planted beside it
// must never be loaded by name instead of one from System32.
TEST_F(DllSearch, ADllBesideTheProgramIsNotFoundByName)
{
    const std::wstring program = installedProgram(L"dll-search-test");
    const std::wstring planted = installationFolder(L"dll-search-test") + L"\\planted.dll";
    ASSERT_TRUE(CopyFileW(besideTestProgram(L"simulated-machine.dll").c_str(), planted.c_str(), FALSE));
    machine.set(L"LOAD_LIBRARY", L"planted.dll");
    const ProgramResult result = runProgram({program, {L"50"}, {}, machine.environmentBlock()});
    EXPECT_EQ(result.output, "Platform check failed: PlatformCheck::init: info exception: " + connect
                                 + "CoCreateInstance error: 0x8007007e\r\nRequest Failed\r\n");
    EXPECT_THAT(machine.calls(), SizeIs(0));
}

using BusyMachine = ProgramOnMachine;

TEST_F(BusyMachine, MutexHeldByAnotherProcessDelaysTheRunByAboutASecond)
{
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"WmiMutex");
    ASSERT_NE(mutex, nullptr);
    ASSERT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);

    const ProgramResult busy = run({L"50"});
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    const ProgramResult free = run({L"50"});

    EXPECT_EQ(busy.output, "");
    EXPECT_THAT(machine.calls(), SizeIs(2));
    // It waited out the second, and then did not wait much longer.
    EXPECT_GE(busy.elapsed, std::chrono::milliseconds(950));
    EXPECT_LT(busy.elapsed, free.elapsed + std::chrono::milliseconds(3000));
}

} // namespace
