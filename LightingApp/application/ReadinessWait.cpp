#include "application/ReadinessWait.h"

#include <algorithm>
#include <array>
#include <thread>

namespace {

constexpr std::int32_t hresult(std::uint32_t bits)
{
    return static_cast<std::int32_t>(bits);
}

// The statuses of an interface still starting.
constexpr std::array<std::int32_t, 10> notReadyStatuses = {
    hresult(0x8004100E), // WBEM_E_INVALID_NAMESPACE: root\wmi not there yet
    hresult(0x80041010), // WBEM_E_INVALID_CLASS
    hresult(0x80041002), // WBEM_E_NOT_FOUND: the firmware's class not registered yet
    hresult(0x80041013), // WBEM_E_PROVIDER_LOAD_FAILURE
    hresult(0x80041014), // WBEM_E_INITIALIZATION_FAILURE
    hresult(0x80041015), // WBEM_E_TRANSPORT_FAILURE
    hresult(0x80080005), // CO_E_SERVER_EXEC_FAILURE: the WMI service not started yet
    hresult(0x800706BA), // RPC_S_SERVER_UNAVAILABLE
    hresult(0x800706BE), // RPC_S_CALL_FAILED
    hresult(0x80010108), // RPC_E_DISCONNECTED
};

constexpr std::chrono::milliseconds firstWait{500};
constexpr std::chrono::milliseconds longestWait{8000};

class SteadyWaitClock : public WaitClock {
public:
    std::chrono::milliseconds now() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
};

} // namespace

bool isNotReadyStatus(std::int32_t status)
{
    return std::find(notReadyStatuses.begin(), notReadyStatuses.end(), status) != notReadyStatuses.end();
}

std::chrono::milliseconds waitBeforeTry(std::uint32_t nextTry)
{
    std::chrono::milliseconds wait = firstWait;
    for (std::uint32_t tryNumber = 2; tryNumber < nextTry && wait < longestWait; ++tryNumber) {
        wait *= 2;
    }
    return std::min(wait, longestWait);
}

WaitClock& systemWaitClock()
{
    static SteadyWaitClock clock;
    return clock;
}

ReadinessWait::ReadinessWait(bool waits, WaitClock& clock) : waits(waits), clock(clock), start(clock.now()) {}

void ReadinessWait::beginStep()
{
    stepTries = 1;
}

std::optional<std::chrono::milliseconds> ReadinessWait::waitAfterFailure(std::optional<std::int32_t> status)
{
    if (!waits || !status || !isNotReadyStatus(*status)) {
        return std::nullopt;
    }
    const std::chrono::milliseconds left = readinessDeadline - (clock.now() - start);
    if (left <= std::chrono::milliseconds::zero()) {
        return std::nullopt;
    }
    return std::min(waitBeforeTry(stepTries + 1), left);
}

void ReadinessWait::sleep(std::chrono::milliseconds duration)
{
    clock.sleep(duration);
    waited += duration;
    ++stepTries;
    most = std::max(most, stepTries);
}
