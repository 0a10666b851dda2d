#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Turns fuzz input bytes into wide text that can hold any wchar_t value, while
// plain UTF-8 stays readable, so that seed files can be written by hand:
//   - a UTF-8 sequence of 2 to 4 bytes gives its value, even when UTF-8 itself
//     forbids it (overlong forms, surrogates, values above U+10FFFF);
//   - 0xFF followed by 4 bytes gives that raw 32-bit value (little-endian);
//   - any other byte stands for itself (0x80 to 0xFE as U+0080 to U+00FE).
std::wstring wideTextOf(const std::uint8_t* data, std::size_t size);

// The input as lines: each '\n' ends an argument, the text after the last
// '\n' (if any) is one more. An empty input gives no argument at all, "\n"
// gives one empty argument.
std::vector<std::wstring> argumentsOf(const std::uint8_t* data, std::size_t size);
