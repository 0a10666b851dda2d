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

namespace {

std::optional<std::int32_t> statusOf(void (*raise)())
{
    try {
        raise();
    } catch (const std::exception& error) {
        return wmiStatusOf(error);
    }
    return std::nullopt;
}

// The status of the WMI step is found however deep the step's error lies.
TEST(ErrorChain, FindsTheFailedWmiStepsStatus)
{
    EXPECT_EQ(statusOf([] { throw WmiStepError("connect", -2147217387); }), -2147217387);
    EXPECT_EQ(statusOf([] {
                  try {
                      try {
                          throw WmiStepError("enumeration", -2147217406);
                      } catch (...) {
                          std::throw_with_nested(std::runtime_error("setup"));
                      }
                  } catch (...) {
                      std::throw_with_nested(std::runtime_error("init"));
                  }
              }),
              -2147217406);
    EXPECT_EQ(statusOf([] {
                  try {
                      throw std::runtime_error("no model");
                  } catch (...) {
                      std::throw_with_nested(std::runtime_error("init"));
                  }
              }),
              std::nullopt);
}

} // namespace
