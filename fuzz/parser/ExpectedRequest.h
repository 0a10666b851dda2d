#pragma once

#include "application/Request.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the parser may make of an argument list (argument 0 included), from the
// grammar alone: the argument count picks the form, keywords are exact, and
// numbers follow NumberVerdict.
struct ExpectedRequest {
    // The kinds the request may have: one when the arguments settle it, the
    // form's kind and Invalid when some argument's reading is not settled.
    std::vector<RequestKind> allowedKinds;
    // The values a request of the form's own kind must carry, when known.
    std::optional<std::vector<std::uint8_t>> values;

    bool allows(RequestKind kind) const;
};

ExpectedRequest expectedRequestFor(const std::vector<std::wstring>& arguments);
