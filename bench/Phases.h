#pragma once

#include <windows.h>

#include <cstdio>

// Milliseconds spent in each step of a benchmark program, written to standard
// error as "step  1.234 ms" lines. Disabled, it measures and prints nothing.
class Phases {
public:
    explicit Phases(bool enabled) : enabled(enabled)
    {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&last);
    }

    // Ends the step that began at the previous mark (or at construction).
    void mark(const char* step)
    {
        if (!enabled) {
            return;
        }
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - last.QuadPart)
                          / static_cast<double>(frequency.QuadPart);
        std::fprintf(stderr, "%-16s %8.3f ms\n", step, ms);
        // The printing is not part of the next step.
        QueryPerformanceCounter(&last);
    }

private:
    bool enabled;
    LARGE_INTEGER frequency{};
    LARGE_INTEGER last{};
};
