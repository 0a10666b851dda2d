#include "ProgramOnMachine.h"
#include "colorizers/ZoneColors.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>
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

std::vector<std::wstring> asArguments(const ZoneValues& values)
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

// A run as the request lock serialises it: the vector it stores (and whose
// colours it sends), given what the runs before it left stored.
struct SerialRun {
    std::vector<std::wstring> arguments;
    std::function<ZoneValues(const std::optional<ZoneValues>& stored)> stores;
};

const ZoneValues machineDefaults = zoneValuesAtFullBrightness(Color(230, 255, 255), Color(210, 200, 230));

SerialRun brightness(std::uint8_t zone1, std::uint8_t zone2, std::vector<std::wstring> arguments)
{
    return {std::move(arguments), [=](const std::optional<ZoneValues>& stored) {
                ZoneValues values = stored.value_or(machineDefaults);
                values[3] = zone1;
                values[7] = zone2;
                return values;
            }};
}

const SerialRun restore{{}, [](const std::optional<ZoneValues>& stored) { return stored.value_or(machineDefaults); }};
const SerialRun factoryLook{{L"default"}, [](const std::optional<ZoneValues>&) { return machineDefaults; }};
SerialRun colors(const ZoneValues& values)
{
    return {asArguments(values), [=](const std::optional<ZoneValues>&) { return values; }};
}

// Whether some one-after-the-other order of the runs sends exactly the
// recorded colours, in the recorded order, and leaves the stored vector.
bool matchesASerialOrder(const std::vector<SerialRun>& runs, const std::optional<ZoneValues>& storedBefore,
                         const std::vector<std::vector<std::uint8_t>>& sent, const ZoneValues& storedAfter)
{
    std::vector<std::size_t> order(runs.size());
    std::iota(order.begin(), order.end(), 0);
    do {
        std::optional<ZoneValues> stored = storedBefore;
        std::vector<std::vector<std::uint8_t>> wouldSend;
        for (const std::size_t i : order) {
            stored = runs[i].stores(stored);
            wouldSend.push_back(expectedZoneBytes(*stored));
        }
        if (wouldSend == sent && stored == storedAfter) {
            return true;
        }
    } while (std::next_permutation(order.begin(), order.end()));
    return false;
}

struct MixedRound {
    const char* name;
    std::optional<ZoneValues> storedBefore;
    std::vector<SerialRun> runs;
    std::chrono::milliseconds stagger;
    const wchar_t* jitterMs;
};

// Whether colours are stored is decided under the lock with the rest: a run
// that waited for the lock sees what the run before it stored.
TEST_F(ConcurrentRuns, OfMixedKindsEndAsSomeSerialOrderOfThem)
{
    const ZoneValues red = {255, 0, 0, 100, 255, 0, 0, 100};
    const ZoneValues someSet = {10, 20, 30, 40, 50, 60, 70, 80};
    const MixedRound rounds[] = {
        {"colours, then brightness while the first waits for the firmware", std::nullopt,
         {colors(red), brightness(50, 50, {L"50"})}, std::chrono::milliseconds(800), L"3000"},
        {"the same again", std::nullopt, {colors(red), brightness(50, 50, {L"50"})}, std::chrono::milliseconds(800),
         L"3000"},
        {"mixed, from nothing stored", std::nullopt, {colors(red), brightness(50, 50, {L"50"}), restore},
         std::chrono::milliseconds(150), L"1000"},
        {"mixed, from a stored set", someSet,
         {brightness(20, 80, {L"20", L"80"}), factoryLook, colors(red), restore}, std::chrono::milliseconds(150),
         L"1000"},
    };
    for (const auto& round : rounds) {
        clearStoredColors();
        if (round.storedBefore) {
            storeValues({round.storedBefore->begin(), round.storedBefore->end()});
        }
        simulated_machine::SimulatedMachineCase roundMachine{simulated_machine::SimulatedMachineCase::Scope::ChildProcesses};
        roundMachine.set(L"EXEC_JITTER_MS", round.jitterMs);
        std::vector<RunningProgram> programs;
        for (const auto& run : round.runs) {
            programs.emplace_back(ProgramLaunch{besideTestProgram(L"VeltrinLighting.exe"), run.arguments,
                                                L"lighting.exe", roundMachine.environmentBlock()});
            std::this_thread::sleep_for(round.stagger);
        }
        for (auto& program : programs) {
            EXPECT_EQ(program.finish().output, "") << round.name;
        }

        std::vector<std::vector<std::uint8_t>> sent;
        for (const auto& call : roundMachine.calls()) {
            sent.push_back(sentZoneBytes(call));
        }
        ZoneValues storedAfter;
        for (const auto& value : storedValues()) {
            storedAfter.push_back(static_cast<std::uint8_t>(value.value_or(0)));
        }
        EXPECT_TRUE(matchesASerialOrder(round.runs, round.storedBefore, sent, storedAfter)) << round.name;
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
    // The run gave the lock back: it is free, not abandoned once more.
    EXPECT_EQ(WaitForSingleObject(lock, 0), WAIT_OBJECT_0);
    ReleaseMutex(lock);
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
