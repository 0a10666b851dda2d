#include "application/FailureGuard.h"
#include "windows_wrappers/ConsoleOutput.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>

namespace {

// What the guarded request left on the console, and what escaped it.
std::pair<std::wstring, std::optional<std::wstring>> outcomeOf(const std::function<void()>& request)
{
    std::wostringstream captured;
    std::wstreambuf* const previous = console().rdbuf(captured.rdbuf());
    const std::optional<std::wstring> escaped = runReportingEscapes(request);
    console().rdbuf(previous);
    return {captured.str(), escaped};
}

TEST(FailureGuard, AnythingThatEscapesEndsTheRunAsAFailedRequestAndIsNamed)
{
    const std::string allocation = std::bad_alloc().what();
    const std::pair<std::function<void()>, std::wstring> escapes[] = {
        {[] { throw std::bad_alloc(); }, std::wstring(allocation.begin(), allocation.end())},
        {[] { throw std::out_of_range("zone"); }, L"zone"},
        {[] { throw std::runtime_error("caf\xE9 \x01"); }, L"caf? \x01"},
        {[] { throw 42; }, L"an exception that is not a std::exception"},
    };
    for (const auto& [request, named] : escapes) {
        EXPECT_EQ(outcomeOf(request), std::make_pair(std::wstring(L"Request Failed\n"), std::optional(named)));
    }
    EXPECT_EQ(outcomeOf([] { console() << L"done" << std::endl; }),
              std::make_pair(std::wstring(L"done\n"), std::optional<std::wstring>()));
}

} // namespace
