#include "platform_check/ErrorChain.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::string chainOf(void (*raise)())
{
    try {
        raise();
    } catch (const std::exception& error) {
        return errorChainText(error);
    }
    return "nothing raised";
}

TEST(ErrorChain, ListsEveryCauseInnermostLast)
{
    const auto text = chainOf([] {
        try {
            try {
                throw std::runtime_error("inner");
            } catch (...) {
                std::throw_with_nested(std::runtime_error("middle"));
            }
        } catch (...) {
            std::throw_with_nested(std::runtime_error("outer"));
        }
    });
    EXPECT_EQ(text, "outer: middle: inner");
}

TEST(ErrorChain, PlainErrorIsItsMessage)
{
    EXPECT_EQ(chainOf([] { throw std::runtime_error("alone"); }), "alone");
}

TEST(ErrorChain, CauseThatIsNotAStandardErrorIsNamedUnknown)
{
    const auto text = chainOf([] {
        try {
            throw 42;
        } catch (...) {
            std::throw_with_nested(std::runtime_error("outer"));
        }
    });
    EXPECT_EQ(text, "outer: unknown error");
}

} // namespace
