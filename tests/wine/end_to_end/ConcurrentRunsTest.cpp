#include "ProgramOnMachine.h"
#include "application/ZoneColors.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <thread>

using ::testing::Each;
using ::testing::Field;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

constexpr int runsAtOnce = 20;
constexpr int rounds = 3;

// Request i differs from every other request in each of its eight values, so
// that a vector mixed from two requests matches none of them.
std::vector<std::uint8_t> requestValues(int round, int i)
{
    const auto v = [&](int base) { return static_cast<std::uint8_t>(base + i + round); };
    return {v(1), v(40), v(80), v(10), v(120), v(160), v(200), v(60)};
}

std::vector<std::wstring> asArguments(const std::vector<std::uint8_t>& values)
{
    std::vector<std::wstring> arguments;
    for (const auto value : values) {
        arguments.push_back(std::to_wstring(value));
    }
    return arguments;
}

std::vector<std::uint8_t> sentZoneBytes(const simulated_machine::RecordedCall& call)
{
    const auto data = call.data();
    return {data.begin() + 1, data.begin() + 7};
}

std::vector<std::uint8_t> expectedZoneBytes(const std::vector<std::uint8_t>& values)
{
    std::vector<std::uint8_t> bytes;
    for (const Color& color : colorsWithBrightness(values)) {
        bytes.insert(bytes.end(), {color.red, color.green, color.blue});
    }
    return bytes;
}

using ConcurrentRuns = ProgramOnMachine;

TEST_F(ConcurrentRuns, LeaveTheFirmwareAndTheRegistryWithOneAndTheSameRequest)
{
    for (int round = 0; round < rounds; ++round) {
        clearStoredColors();
        simulated_machine::SimulatedMachineCase roundMachine{simulated_machine::SimulatedMachineCase::Scope::ChildProcesses};
        // Firmware calls of varying length, so that runs overtake one another.
        roundMachine.set(L"EXEC_JITTER_MS", L"150");
        const std::wstring environment = roundMachine.environmentBlock();

        std::vector<std::vector<std::uint8_t>> requests;
        std::vector<RunningProgram> programs;
        for (int i = 0; i < runsAtOnce; ++i) {
            requests.push_back(requestValues(round, i));
            programs.emplace_back(ProgramLaunch{besideTestProgram(L"VeltrinLighting.exe"),
                                                asArguments(requests.back()), L"lighting.exe", environment});
        }
        std::vector<ProgramResult> results;
        for (auto& program : programs) {
            results.push_back(program.finish());
        }

        EXPECT_THAT(results, Each(Field(&ProgramResult::exitCode, 0u))) << "round " << round;
        EXPECT_THAT(results, Each(Field(&ProgramResult::output, IsEmpty()))) << "round " << round;

        const auto values = storedValues();
        ASSERT_TRUE(std::all_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); }));
        std::vector<std::uint8_t> storedVector;
        for (const auto& value : values) {
            storedVector.push_back(static_cast<std::uint8_t>(*value));
        }
        const auto winner = std::find(requests.begin(), requests.end(), storedVector);
        ASSERT_NE(winner, requests.end()) << "round " << round << ": the stored vector mixes several requests";

        const auto calls = roundMachine.calls();
        ASSERT_THAT(calls, SizeIs(runsAtOnce)) << "round " << round;
        EXPECT_EQ(sentZoneBytes(calls.back()), expectedZoneBytes(*winner))
            << "round " << round << ": the firmware's last colours are not the stored request's";
    }
}

} // namespace

namespace {

// Takes the request lock on a thread of its own, as another run would.
HANDLE takeRequestLockOnAnotherThread(bool releaseBeforeExit)
{
    const HANDLE lock = CreateMutexW(nullptr, FALSE, L"Global\\VeltrinLightingRequest");
    std::thread([lock, releaseBeforeExit] {
        WaitForSingleObject(lock, INFINITE);
        if (releaseBeforeExit) {
            ReleaseMutex(lock);
        }
    }).join();
    return lock;
}

using LockedRuns = ProgramOnMachine;

TEST_F(LockedRuns, LockLeftByARunThatDiedIsTakenOver)
{
    // The thread ends while it owns the lock: the lock is abandoned.
    const HANDLE lock = takeRequestLockOnAnotherThread(false);
    const ProgramResult result = run({L"255", L"0", L"0", L"100"});
    CloseHandle(lock);

    EXPECT_EQ(result.output, "");
    EXPECT_LT(result.elapsed, std::chrono::milliseconds(4000));
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 255, 0, 0, 100}));
}

TEST_F(LockedRuns, RunGoesAheadQuietlyWhenTheLockIsNotFreedInTime)
{
    const HANDLE lock = CreateMutexW(nullptr, FALSE, L"Global\\VeltrinLightingRequest");
    ASSERT_EQ(WaitForSingleObject(lock, 0), WAIT_OBJECT_0);
    const ProgramResult result = run({L"0", L"255", L"0", L"100"});
    ReleaseMutex(lock);
    CloseHandle(lock);

    EXPECT_EQ(result.output, "");
    EXPECT_GE(result.elapsed, std::chrono::milliseconds(4500));
    EXPECT_THAT(machine.calls(), SizeIs(1));
    EXPECT_EQ(storedValues(), stored({0, 255, 0, 100, 0, 255, 0, 100}));
}

} // namespace
