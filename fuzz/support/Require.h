#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer on a broken property: libFuzzer reports an abort as a
// finding and keeps the input that caused it.
#define FUZZ_REQUIRE(condition, what)                                                           \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, (what)); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)
