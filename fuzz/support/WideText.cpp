#include "WideText.h"

namespace {

constexpr std::uint8_t rawValueMarker = 0xFF;

bool isContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// How many bytes follow a UTF-8 lead byte, and the value bits it carries.
bool leadOf(std::uint8_t byte, std::size_t& following, std::uint32_t& bits)
{
    if ((byte & 0xE0) == 0xC0) {
        following = 1;
        bits = byte & 0x1Fu;
        return true;
    }
    if ((byte & 0xF0) == 0xE0) {
        following = 2;
        bits = byte & 0x0Fu;
        return true;
    }
    if ((byte & 0xF8) == 0xF0) {
        following = 3;
        bits = byte & 0x07u;
        return true;
    }
    return false;
}

} // namespace

std::wstring wideTextOf(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t byte = data[i];
        if (byte == rawValueMarker && size - i > 4) {
            const std::uint32_t raw = static_cast<std::uint32_t>(data[i + 1])
                | static_cast<std::uint32_t>(data[i + 2]) << 8
                | static_cast<std::uint32_t>(data[i + 3]) << 16
                | static_cast<std::uint32_t>(data[i + 4]) << 24;
            text += static_cast<wchar_t>(raw);
            i += 5;
            continue;
        }
        std::size_t following = 0;
        std::uint32_t value = 0;
        if (leadOf(byte, following, value) && size - i > following) {
            bool complete = true;
            for (std::size_t k = 1; k <= following; ++k) {
                if (!isContinuation(data[i + k])) {
                    complete = false;
                    break;
                }
                value = value << 6 | (data[i + k] & 0x3Fu);
            }
            if (complete) {
                text += static_cast<wchar_t>(value);
                i += following + 1;
                continue;
            }
        }
        text += static_cast<wchar_t>(byte);
        ++i;
    }
    return text;
}

std::vector<std::wstring> argumentsOf(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::wstring> arguments;
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            arguments.push_back(wideTextOf(data + start, i - start));
            start = i + 1;
        }
    }
    if (start < size) {
        arguments.push_back(wideTextOf(data + start, size - start));
    }
    return arguments;
}
