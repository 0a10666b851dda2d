#include "fake_firmware/FakeFirmware.h"

#include <cstddef>
#include <utility>

namespace fake_firmware {

namespace {

struct Recorder {
    std::vector<Call> calls;
    std::vector<std::optional<KestrineLightingLib::FirmwareFailure>> answers;
};

Recorder& recorder()
{
    static Recorder instance;
    return instance;
}

} // namespace

void reset(std::vector<bool> answers)
{
    std::vector<std::optional<KestrineLightingLib::FirmwareFailure>> failures;
    for (const bool accepted : answers) {
        failures.push_back(accepted ? std::nullopt : std::optional(refused()));
    }
    resetWithFailures(std::move(failures));
}

void resetWithFailures(std::vector<std::optional<KestrineLightingLib::FirmwareFailure>> answers)
{
    recorder().calls.clear();
    recorder().answers = std::move(answers);
}

KestrineLightingLib::FirmwareFailure refused()
{
    // WBEM_E_FAILED, as the WMI channel reports a refusal.
    return {"", static_cast<std::int32_t>(0x80041001U), 1, true};
}

const std::vector<Call>& calls()
{
    return recorder().calls;
}

} // namespace fake_firmware

namespace KestrineLightingLib {

FirmwareResult sendToFirmware(std::int32_t commandType, const CommandBlock& block)
{
    auto& recorder = fake_firmware::recorder();
    const std::size_t index = recorder.calls.size();
    recorder.calls.push_back({commandType, block});
    return FirmwareResult::of(index < recorder.answers.size() ? recorder.answers[index] : std::nullopt);
}

} // namespace KestrineLightingLib
