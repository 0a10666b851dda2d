#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// In the first seconds after a start or a wake, the WMI service, the ACPI-WMI
// mapper or the firmware's class may not be ready yet, and a WMI step fails
// with one of a few statuses. The startup task runs then, and one try is not
// enough: a restore tries such a step again, after a growing wait, until the
// run is a minute old. Every other request fails at once: a person is waiting.

// Whether a WMI status is one that an interface still starting gives: a
// namespace, class or provider not there yet, or WMI's service or its RPC
// connection not up. Access denied, not supported, a shutdown in progress and
// every other status are answers to keep.
bool isNotReadyStatus(std::int32_t status);

// The wait before try number `nextTry` (2 for the first retry) of a step:
// 0.5 s, then 1, 2, 4 and 8 s, then 8 s each time.
std::chrono::milliseconds waitBeforeTry(std::uint32_t nextTry);

// How long a run may go on trying, from its start.
inline constexpr std::chrono::milliseconds readinessDeadline{60000};

// Where the waits take their time from: the steady clock and a real sleep in
// the program, a clock of their own in tests.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual std::chrono::milliseconds now() = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

// The steady clock, and the calling thread's sleep.
WaitClock& systemWaitClock();

// The tries of one run: the run's start, each step's count of tries, and the
// time spent waiting. A run makes one, at its start.
class ReadinessWait {
public:
    // A run whose request does not wait never waits. The first step's first
    // try comes next.
    ReadinessWait(bool waits, WaitClock& clock);

    // Another step begins: its first try comes next.
    void beginStep();

    // The step's try failed with this status (nothing: a failure without
    // one). The wait before trying the step again, or nothing when the run
    // gives up: the request does not wait, the failure is not one of an
    // interface still starting, or the run's minute is over. A wait never
    // reaches past the minute.
    std::optional<std::chrono::milliseconds> waitAfterFailure(std::optional<std::int32_t> status);

    // Sleeps the wait that waitAfterFailure gave; the step's next try follows.
    void sleep(std::chrono::milliseconds duration);

    // How many times the step that needed the most tries was tried (1 when
    // every step went through at once), and the time spent waiting.
    std::uint32_t mostTries() const { return most; }
    std::uint32_t waitedMs() const { return static_cast<std::uint32_t>(waited.count()); }

private:
    bool waits;
    WaitClock& clock;
    std::chrono::milliseconds start;
    std::uint32_t stepTries = 1;
    std::uint32_t most = 1;
    std::chrono::milliseconds waited{0};
};
