#pragma once

#include <cstdint>
#include <ios>
#include <sstream>
#include <string>
#include <string_view>

// Wide text as a test's name shows it: printable ASCII as it is, any other
// character as \u{code in hex} (\u{a} for a line feed, \u{e8} for an e grave),
// so that cases which differ only in such characters get names that tell them
// apart.
inline std::string printable(std::wstring_view text)
{
    std::ostringstream out;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out << static_cast<char>(c);
        } else {
            out << "\\u{" << std::hex << static_cast<std::uint32_t>(c) << std::dec << "}";
        }
    }
    return out.str();
}
