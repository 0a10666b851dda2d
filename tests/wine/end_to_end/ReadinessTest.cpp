// A restore, the startup task's run, waits for WMI and the firmware's
// interface when they are not ready yet in the first seconds after a start;
// a person's request fails at once.
#include "Json.h"
#include "ProgramOnMachine.h"

#include <gmock/gmock.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

using simulated_machine::JsonValue;
using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;
using ::testing::HasSubstr;
using ::testing::SizeIs;
using namespace std::chrono_literals;

namespace {

constexpr HRESULT notFound = static_cast<HRESULT>(WBEM_E_NOT_FOUND);

class Readiness : public ProgramOnMachine {
protected:
    // The record of the last run in the machine key, as status --json gives it.
    JsonValue lastRun()
    {
        SimulatedMachineCase healthy{SimulatedMachineCase::Scope::ChildProcesses};
        const ProgramResult status = runProgram({besideTestProgram(L"VeltrinLighting.exe"), {L"status", L"--json"},
                                                 L"C:\\Tools\\lighting.exe", healthy.environmentBlock()});
        return simulated_machine::parseJson(status.output).at("machineKey").at("lastRun");
    }
    std::string statusText()
    {
        SimulatedMachineCase healthy{SimulatedMachineCase::Scope::ChildProcesses};
        return runProgram({besideTestProgram(L"VeltrinLighting.exe"), {L"status"}, L"C:\\Tools\\lighting.exe",
                           healthy.environmentBlock()})
            .output;
    }
};

struct NotReadyCase {
    const char* name;
    Step step;
    HRESULT status;
    unsigned failedCalls;
    std::int64_t waitedMs;
};

// Each step is tried again after 0.5, 1, 2 ... s, from a fresh connection,
// until it answers; the colours then go out once.
TEST_F(Readiness, ARestoreTriesAgainUntilTheStepIsReady)
{
    const NotReadyCase cases[] = {
        {"model query not ready for three tries", Step::Cimv2Enum, static_cast<HRESULT>(WBEM_E_INITIALIZATION_FAILURE), 3, 3500},
        {"firmware class not ready for two tries", Step::WmiGetClass, notFound, 2, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clearStoredColors();
        storeValues({1, 2, 3, 100, 4, 5, 6, 100});
        SimulatedMachineCase notReady{SimulatedMachineCase::Scope::ChildProcesses};
        notReady.failFirst(c.step, c.status, c.failedCalls);
        const ProgramResult result =
            runProgram({besideTestProgram(L"VeltrinLighting.exe"), {}, L"C:\\Tools\\lighting.exe",
                        notReady.environmentBlock()});
        EXPECT_EQ(result.output, "");
        EXPECT_GE(result.elapsed, std::chrono::milliseconds(c.waitedMs));
        const auto calls = notReady.calls();
        ASSERT_THAT(calls, SizeIs(1));
        expectColorCommand(calls[0], {1, 2, 3, 4, 5, 6});

        const JsonValue record = lastRun();
        EXPECT_EQ(record.at("outcome").string(), L"done");
        EXPECT_EQ(record.at("tries").integer(), c.failedCalls + 1);
        EXPECT_EQ(record.at("waitedMs").integer(), c.waitedMs);
        EXPECT_THAT(statusText(), HasSubstr("; done after " + std::to_string(c.failedCalls + 1) + " tries in "
                                            + std::to_string(c.waitedMs / 1000) + "."
                                            + std::to_string(c.waitedMs % 1000 / 100) + " s\r\n"));
    }
}

// An interface that never comes: the restore gives up when the run is a
// minute old, and reports the last failure as any failed run does.
TEST_F(Readiness, ARestoreGivesUpAfterAMinute)
{
    machine.fail(Step::WmiConnect, static_cast<HRESULT>(0x800706BA));
    const ProgramResult result = run({});
    EXPECT_EQ(result.output, "Request Failed\r\n");
    EXPECT_GE(result.elapsed, 59s);
    EXPECT_LT(result.elapsed, 70s);
    EXPECT_THAT(machine.calls(), SizeIs(0));
    const JsonValue record = lastRun();
    EXPECT_EQ(record.at("outcome").string(), L"firmwareCallFailed");
    EXPECT_EQ(record.at("step").string(), L"ConnectServer root\\wmi");
    EXPECT_EQ(record.at("code").integer(), 0x800706BA);
    // Tries at 0, 0.5, 1.5, 3.5, 7.5, 15.5 ... 55.5 s and at the minute; the
    // time the tries themselves take comes off the last wait.
    EXPECT_EQ(record.at("tries").integer(), 12);
    EXPECT_GT(record.at("waitedMs").integer(), 55500);
    EXPECT_LE(record.at("waitedMs").integer(), 60000);
}

// A refusal is an answer: no wait, for a restore or anyone. A person's
// request does not wait for an interface that is not ready either.
TEST_F(Readiness, RefusalsAndRequestsOfAPersonFailAtOnce)
{
    const struct {
        const char* name;
        Step step;
        HRESULT status;
        std::vector<std::wstring> arguments;
        std::string output;
    } cases[] = {
        {"restore, access denied", Step::Cimv2Connect, static_cast<HRESULT>(WBEM_E_ACCESS_DENIED), {},
         "Platform check failed: PlatformCheck::init: info exception: PlatformCheck::connectWMINamespace: user name or "
         "password not valid or authorized\r\nRequest Failed\r\n"},
        {"restore, shutting down", Step::WmiExec, static_cast<HRESULT>(0x80041033), {}, "Request Failed\r\n"},
        {"colours, class not ready", Step::WmiGetClass, notFound, {L"255", L"0", L"0", L"100"},
         "Request Failed\r\n"},
        {"default, connection not ready", Step::WmiConnect, static_cast<HRESULT>(0x80010108), {L"default"},
         "Request Failed\r\n"},
        {"brightness, model query not ready", Step::Cimv2Connect, static_cast<HRESULT>(WBEM_E_TRANSPORT_FAILURE), {L"50", L"50"},
         "Platform check failed: PlatformCheck::init: info exception: PlatformCheck::connectWMINamespace: RPC call "
         "failure to WMI\r\nRequest Failed\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedMachineCase failing{SimulatedMachineCase::Scope::ChildProcesses};
        failing.failFirst(c.step, c.status, 1);
        const ProgramResult result = runProgram({besideTestProgram(L"VeltrinLighting.exe"), c.arguments,
                                                 L"C:\\Tools\\lighting.exe", failing.environmentBlock()});
        EXPECT_EQ(result.output, c.output);
        const JsonValue record = lastRun();
        EXPECT_EQ(record.at("tries").integer(), 1);
        EXPECT_EQ(record.at("waitedMs").integer(), 0);
    }
}

// A command that reached the firmware is never sent again, even when the
// answer that follows fails as an interface not ready would.
TEST_F(Readiness, ACallThatWentThroughIsNotSentAgain)
{
    storeValues({1, 2, 3, 100, 4, 5, 6, 100});
    machine.failFirst(Step::WmiOutData, RPC_E_DISCONNECTED, 1);
    EXPECT_EQ(run({}).output, "Request Failed\r\n");
    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(1));
    expectColorCommand(calls[0], {1, 2, 3, 4, 5, 6});
    const JsonValue record = lastRun();
    EXPECT_EQ(record.at("step").string(), L"Get OutData");
    EXPECT_EQ(record.at("tries").integer(), 1);
}

// While a restore waits, what it would send changes: its next try sends
// what is set then, never what it read before its wait. It holds no lock
// while it waits: a person's request meanwhile goes through at once.
TEST_F(Readiness, AfterAWaitTheRestoreSendsWhatIsSetThen)
{
    const struct {
        const char* name;
        std::function<void()> meanwhile;
        std::vector<std::uint8_t> sent;
        std::vector<std::optional<std::uint32_t>> storedAfter;
    } cases[] = {
        {"a person sets colours",
         [] {
             SimulatedMachineCase person{SimulatedMachineCase::Scope::ChildProcesses};
             const ProgramResult colours =
                 runProgram({besideTestProgram(L"VeltrinLighting.exe"), {L"9", L"8", L"7", L"100"},
                             L"C:\\Tools\\lighting.exe", person.environmentBlock()});
             EXPECT_EQ(colours.output, "");
             EXPECT_LT(colours.elapsed, 2s) << "the waiting restore held the request lock";
         },
         {9, 8, 7, 9, 8, 7}, stored({9, 8, 7, 100, 9, 8, 7, 100})},
        {"a policy comes", [] { setPolicy({0, 0, 255, 100, 0, 255, 0, 50}, 0); }, {0, 0, 255, 0, 127, 0},
         stored({1, 2, 3, 100, 4, 5, 6, 100})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clearStoredColors();
        storeValues({1, 2, 3, 100, 4, 5, 6, 100});
        SimulatedMachineCase notReady{SimulatedMachineCase::Scope::ChildProcesses};
        // Tries at 0, 0.5, 1.5, 3.5 and 7.5 s; the last wait runs from 3.5 s.
        notReady.failFirst(Step::WmiGetClass, notFound, 4);
        RunningProgram restore({besideTestProgram(L"VeltrinLighting.exe"), {}, L"C:\\Tools\\lighting.exe",
                                notReady.environmentBlock()});
        std::this_thread::sleep_for(4500ms);
        c.meanwhile();
        EXPECT_EQ(restore.finish().output, "");
        clearPolicy();

        const auto calls = notReady.calls();
        ASSERT_THAT(calls, SizeIs(1));
        expectColorCommand(calls[0], c.sent);
        EXPECT_EQ(storedValues(), c.storedAfter);
    }
}

} // namespace
