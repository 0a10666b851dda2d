#include "task_scheduler/DeleteThenCreate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::int32_t accessDenied = static_cast<std::int32_t>(0x80070005U);
constexpr std::int32_t malformed = static_cast<std::int32_t>(0x80041318U);

// The pair is tried again only while a user takes the name between delete
// and create, and at most so many times; any other failure ends it at once.
TEST(DeleteThenCreate, TriesAgainOnlyWhileTheNameIsTaken)
{
    struct Case {
        const char* name;
        std::vector<std::int32_t> removes;
        std::vector<std::int32_t> creates;
        int attempts;
        std::int32_t result;
        std::size_t removed;
        std::size_t created;
    };
    const Case cases[] = {
        {"created at once", {0}, {0}, 3, 0, 1, 1},
        {"the name taken twice", {0, 0, 0}, {taskNameTaken, taskNameTaken, 0}, 3, 0, 3, 3},
        {"the name taken every time", {0, 0, 0, 0}, {taskNameTaken, taskNameTaken, taskNameTaken, 0}, 3,
         taskNameTaken, 3, 3},
        {"the delete refused", {accessDenied}, {0}, 3, accessDenied, 1, 0},
        {"the delete refused on the second try", {0, accessDenied}, {taskNameTaken, 0}, 3, accessDenied, 2, 1},
        {"the definition refused", {0, 0}, {malformed, 0}, 3, malformed, 1, 1},
        {"a success code other than S_OK", {1}, {1}, 3, 1, 1, 1},
        {"no try", {0}, {0}, 0, taskNameTaken, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t removed = 0;
        std::size_t created = 0;
        const std::int32_t result = deleteThenCreate([&] { return c.removes.at(removed++); },
                                                     [&] { return c.creates.at(created++); }, c.attempts);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(removed, c.removed);
        EXPECT_EQ(created, c.created);
    }
    EXPECT_GE(deleteThenCreateAttempts, 5);
}

} // namespace
