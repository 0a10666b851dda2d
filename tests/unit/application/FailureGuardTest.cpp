#include "application/FailureGuard.h"
#include "windows_wrappers/ConsoleOutput.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>

namespace {

// What the guarded request left on the console, and whether it ran through.
std::pair<std::wstring, bool> outcomeOf(const std::function<void()>& request)
{
    std::wostringstream captured;
    std::wstreambuf* const previous = console().rdbuf(captured.rdbuf());
    const bool ranThrough = runReportingEscapes(request);
    console().rdbuf(previous);
    return {captured.str(), ranThrough};
}

TEST(FailureGuard, AnythingThatEscapesEndsTheRunAsAFailedRequest)
{
    const std::function<void()> escapes[] = {
        [] { throw std::bad_alloc(); },
        [] { throw std::out_of_range("zone"); },
        [] { throw 42; },
    };
    for (const auto& request : escapes) {
        EXPECT_EQ(outcomeOf(request), std::make_pair(std::wstring(L"Request Failed\n"), false));
    }
    EXPECT_EQ(outcomeOf([] { console() << L"done" << std::endl; }), std::make_pair(std::wstring(L"done\n"), true));
}

} // namespace
