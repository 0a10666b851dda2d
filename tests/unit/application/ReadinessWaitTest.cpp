#include "application/ReadinessWait.h"

#include "application/RequestTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using std::chrono::milliseconds;

constexpr std::int32_t hresult(std::uint32_t bits)
{
    return static_cast<std::int32_t>(bits);
}

// Time passes only when the run sleeps, or when a test moves it on.
class FakeClock : public WaitClock {
public:
    milliseconds now() override { return time; }
    void sleep(milliseconds duration) override
    {
        slept.push_back(duration);
        time += duration;
    }
    milliseconds time{1000000};
    std::vector<milliseconds> slept;
};

TEST(ReadinessWait, WaitsOnlyForAnInterfaceStillStartingAndOnlyInARestore)
{
    const struct {
        std::uint32_t status;
        bool notReady;
    } statuses[] = {
        {0x8004100E, true},  {0x80041010, true},  {0x80041002, true},  {0x80041013, true},
        {0x80041014, true},  {0x80041015, true},  {0x80080005, true},  {0x800706BA, true},
        {0x800706BE, true},  {0x80010108, true},  {0x80041003, false}, {0x8004100C, false},
        {0x80041033, false}, {0x8007045B, false}, {0x80041001, false}, {0x80070005, false},
        {0x8004100D, false}, {0x80041011, false}, {0x00000000, false}, {0x00040004, false},
    };
    const struct {
        RequestKind kind;
        bool waits;
    } kinds[] = {
        {RequestKind::Restore, true},   {RequestKind::Colors, false}, {RequestKind::Brightness, false},
        {RequestKind::Default, false},  {RequestKind::Status, false}, {RequestKind::Help, false},
        {RequestKind::Invalid, false},  {RequestKind::CreateTaskFile, false},
    };
    for (const auto& kind : kinds) {
        EXPECT_EQ(requestFacts(kind.kind).waitsForFirmware, kind.waits) << static_cast<int>(kind.kind);
        for (const auto& status : statuses) {
            SCOPED_TRACE(::testing::Message() << std::hex << status.status << " request " << static_cast<int>(kind.kind));
            EXPECT_EQ(isNotReadyStatus(hresult(status.status)), status.notReady);
            FakeClock clock;
            ReadinessWait wait(requestFacts(kind.kind).waitsForFirmware, clock);
            wait.beginStep();
            const std::optional<milliseconds> pause = wait.waitAfterFailure(hresult(status.status));
            EXPECT_EQ(pause.has_value(), status.notReady && kind.waits);
        }
    }
    FakeClock clock;
    ReadinessWait wait(true, clock);
    EXPECT_FALSE(wait.waitAfterFailure(std::nullopt).has_value()) << "a failure without a status";
}

TEST(ReadinessWait, DoublesFromHalfASecondToEightThenKeepsEightUntilTheMinuteIsOver)
{
    const std::vector<milliseconds> schedule = {milliseconds(500), milliseconds(1000), milliseconds(2000),
                                                milliseconds(4000), milliseconds(8000), milliseconds(8000)};
    for (std::uint32_t nextTry = 2; nextTry < 8; ++nextTry) {
        EXPECT_EQ(waitBeforeTry(nextTry), schedule.at(nextTry - 2)) << nextTry;
    }
    EXPECT_EQ(waitBeforeTry(1000), milliseconds(8000));

    // A step never ready: tries at 0, 0.5, 1.5, 3.5, 7.5, 15.5, ... 55.5 s,
    // and one more at the minute, which the last wait is cut short to reach.
    FakeClock clock;
    const milliseconds start = clock.time;
    ReadinessWait wait(true, clock);
    wait.beginStep();
    std::uint32_t tries = 1;
    while (const auto pause = wait.waitAfterFailure(hresult(0x80041002))) {
        wait.sleep(*pause);
        ++tries;
    }
    const std::vector<milliseconds> expected = {
        milliseconds(500),  milliseconds(1000), milliseconds(2000), milliseconds(4000),
        milliseconds(8000), milliseconds(8000), milliseconds(8000), milliseconds(8000),
        milliseconds(8000), milliseconds(8000), milliseconds(4500),
    };
    EXPECT_EQ(clock.slept, expected);
    EXPECT_EQ(clock.time - start, readinessDeadline);
    EXPECT_EQ(tries, 12U);
    EXPECT_EQ(wait.mostTries(), 12U);
    EXPECT_EQ(wait.waitedMs(), 60000U);
}

TEST(ReadinessWait, CountsTheStepThatNeededMostTriesAndTheWholeWaitAndShareOneMinute)
{
    FakeClock clock;
    ReadinessWait wait(true, clock);
    EXPECT_EQ(wait.mostTries(), 1U);
    EXPECT_EQ(wait.waitedMs(), 0U);

    // The model query: ready at its fourth try.
    wait.beginStep();
    for (int failed = 0; failed < 3; ++failed) {
        wait.sleep(*wait.waitAfterFailure(hresult(0x80041015)));
    }
    // The firmware call starts its own count and schedule: ready at its third.
    wait.beginStep();
    const auto firstPause = wait.waitAfterFailure(hresult(0x80041002));
    EXPECT_EQ(firstPause, milliseconds(500));
    wait.sleep(*firstPause);
    wait.sleep(*wait.waitAfterFailure(hresult(0x80041002)));
    EXPECT_EQ(wait.mostTries(), 4U);
    EXPECT_EQ(wait.waitedMs(), 500U + 1000U + 2000U + 500U + 1000U);

    // Time spent in the tries counts against the minute as well.
    clock.time += milliseconds(60000);
    EXPECT_FALSE(wait.waitAfterFailure(hresult(0x80041002)).has_value());
}

} // namespace
