#pragma once

#include "settings/StoredColors.h"

#include <array>
#include <cstdint>

// The registry type of a REG_DWORD value, for code that does not see the
// Windows headers.
inline constexpr std::uint32_t registryDwordType = 4;

// One of the eight values as the registry answered a query for at most four
// bytes of it.
struct StoredValue {
    enum class Answer {
        Missing,
        // The query succeeded: a value of any type of up to four bytes.
        Read,
        // The value exists but could not be read into four bytes (it is
        // longer, or the query failed otherwise).
        Unreadable,
    };
    Answer answer = Answer::Missing;
    std::uint32_t type = 0;
    // Read, Unreadable: the value's length in bytes as the registry gave it.
    std::uint32_t size = 0;
    // Read: the bytes read, as a little-endian number.
    std::uint32_t data = 0;

    // A REG_DWORD counts only with its four bytes: a shorter one (which the
    // registry keeps and answers) is taken as a value of another type.
    bool isDword() const { return answer == Answer::Read && type == registryDwordType && size == 4; }
};

// A colours key (under the machine or the user root) as a run finds it.
struct StoredSet {
    // Whether this process may create the key and set its values.
    bool writable = false;
    std::array<StoredValue, storedValueCount> values{};
};
