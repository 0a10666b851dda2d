#pragma once

#include <cstdint>
#include <string>

// What a command-line argument must read as, worked out from the documented
// rules alone (a plain unsigned decimal that fits in 32 bits, leading white
// space and a plus sign allowed, nothing after the digits, never a minus
// sign), independently of the parser's own code.
struct NumberVerdict {
    enum class Certainty {
        Number,      // must read as value
        NotANumber,  // must be refused
        Unknown,     // the rules above do not settle it (an odd mix of signs and spaces)
    };
    Certainty certainty = Certainty::Unknown;
    std::uint32_t value = 0;
};

NumberVerdict numberVerdictOf(const std::wstring& argument);
