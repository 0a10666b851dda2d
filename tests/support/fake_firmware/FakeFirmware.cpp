#include "fake_firmware/FakeFirmware.h"

#include <cstddef>
#include <utility>

namespace fake_firmware {

namespace {

struct Recorder {
    std::vector<Call> calls;
    std::vector<bool> answers;
};

Recorder& recorder()
{
    static Recorder instance;
    return instance;
}

} // namespace

void reset(std::vector<bool> answers)
{
    recorder().calls.clear();
    recorder().answers = std::move(answers);
}

const std::vector<Call>& calls()
{
    return recorder().calls;
}

} // namespace fake_firmware

namespace KestrineLightingLib {

bool sendToFirmware(std::int32_t commandType, const CommandBlock& block)
{
    auto& recorder = fake_firmware::recorder();
    const std::size_t index = recorder.calls.size();
    recorder.calls.push_back({commandType, block});
    return index < recorder.answers.size() ? recorder.answers[index] : true;
}

} // namespace KestrineLightingLib
