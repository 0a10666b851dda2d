#include "ExpectedRequest.h"

#include "NumberVerdict.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::uint32_t colorLimit = 255;
constexpr std::uint32_t brightnessLimit = 100;

ExpectedRequest exactly(RequestKind kind, std::vector<std::uint8_t> values = {})
{
    return {{kind}, std::move(values)};
}

// A form made of numbers: each argument against its limit. The numbers found
// are repeated `copies` times (one colour or one brightness applies to both zones).
ExpectedRequest numberForm(RequestKind kind, const std::vector<std::wstring>& arguments,
                           const std::vector<std::uint32_t>& limits, std::size_t copies)
{
    std::vector<std::uint8_t> numbers;
    bool settled = true;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const NumberVerdict verdict = numberVerdictOf(arguments[i + 1]);
        switch (verdict.certainty) {
        case NumberVerdict::Certainty::NotANumber:
            return exactly(RequestKind::Invalid);
        case NumberVerdict::Certainty::Number:
            if (verdict.value > limits[i]) {
                return exactly(RequestKind::Invalid);
            }
            numbers.push_back(static_cast<std::uint8_t>(verdict.value));
            break;
        case NumberVerdict::Certainty::Unknown:
            settled = false;
            break;
        }
    }
    if (!settled) {
        return {{kind, RequestKind::Invalid}, std::nullopt};
    }
    std::vector<std::uint8_t> values;
    for (std::size_t copy = 0; copy < copies; ++copy) {
        values.insert(values.end(), numbers.begin(), numbers.end());
    }
    return exactly(kind, std::move(values));
}

std::vector<std::uint32_t> colorLimits(std::size_t colors)
{
    std::vector<std::uint32_t> limits;
    for (std::size_t i = 0; i < colors; ++i) {
        limits.insert(limits.end(), {colorLimit, colorLimit, colorLimit, brightnessLimit});
    }
    return limits;
}

} // namespace

bool ExpectedRequest::allows(RequestKind kind) const
{
    return std::find(allowedKinds.begin(), allowedKinds.end(), kind) != allowedKinds.end();
}

ExpectedRequest expectedRequestFor(const std::vector<std::wstring>& arguments)
{
    switch (arguments.size()) {
    case 1:
        return exactly(RequestKind::Restore);
    case 2:
        if (arguments[1] == L"help" || arguments[1] == L"-h" || arguments[1] == L"/?") {
            return exactly(RequestKind::Help);
        }
        if (arguments[1] == L"default") {
            return exactly(RequestKind::Default);
        }
        if (arguments[1] == L"status") {
            return exactly(RequestKind::Status);
        }
        return numberForm(RequestKind::Brightness, arguments, {brightnessLimit}, 2);
    case 3:
        if (arguments[1] == L"--create-xml") {
            return exactly(RequestKind::CreateTaskFile);
        }
        if (arguments[1] == L"status" && arguments[2] == L"--json") {
            return exactly(RequestKind::Status);
        }
        return numberForm(RequestKind::Brightness, arguments, {brightnessLimit, brightnessLimit}, 1);
    case 5:
        return numberForm(RequestKind::Colors, arguments, colorLimits(1), 2);
    case 9:
        return numberForm(RequestKind::Colors, arguments, colorLimits(2), 1);
    default:
        return exactly(RequestKind::Invalid);
    }
}
