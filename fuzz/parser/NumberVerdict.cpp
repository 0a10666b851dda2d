#include "NumberVerdict.h"

#include <cstddef>
#include <limits>

namespace {

bool isAsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool isAsciiSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Printable ASCII that can never be part of a number: everything but digits
// and the plus sign.
bool isForeignPrintable(wchar_t c)
{
    return c > L' ' && c < 0x7F && !isAsciiDigit(c) && c != L'+';
}

NumberVerdict notANumber()
{
    return {NumberVerdict::Certainty::NotANumber, 0};
}

} // namespace

NumberVerdict numberVerdictOf(const std::wstring& argument)
{
    if (argument.empty() || !isAsciiDigit(argument.back())) {
        return notANumber();
    }
    for (const wchar_t c : argument) {
        if (isForeignPrintable(c)) {
            return notANumber();
        }
    }

    // Exactly: ASCII white space, an optional plus sign, then digits only.
    std::size_t i = 0;
    while (i < argument.size() && isAsciiSpace(argument[i])) {
        ++i;
    }
    if (i < argument.size() && argument[i] == L'+') {
        ++i;
    }
    const std::size_t firstDigit = i;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    while (i < argument.size() && isAsciiDigit(argument[i])) {
        value = value * 10 + static_cast<std::uint64_t>(argument[i] - L'0');
        if (value > largest) {
            value = largest + 1;  // stays above the limit however many digits follow
        }
        ++i;
    }
    if (i != argument.size() || i == firstDigit) {
        return {};
    }
    if (value > largest) {
        return notANumber();
    }
    return {NumberVerdict::Certainty::Number, static_cast<std::uint32_t>(value)};
}
