#include "task_scheduler/StartupTaskQuery.h"
#include "task_scheduler/StartupTaskRegistration.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Where no task of the startup task's name is registered (as in the test
// prefix), that is an answer, not a failure: the installer reads nothing to
// keep, a delete has nothing to do, and status says it is not registered.
TEST(StartupTaskRegistration, NoTaskOfTheNameIsNothingFoundNotAFailure)
{
    std::optional<RegisteredTaskDefinition> found = RegisteredTaskDefinition{L"<Task/>", {}, {}, {}};
    EXPECT_EQ(readStartupTask(found), S_OK);
    EXPECT_FALSE(found.has_value());
    EXPECT_EQ(deleteStartupTask(), S_OK);
    const StartupTaskState state = queryStartupTask();
    EXPECT_EQ(state.registration, StartupTaskState::Registration::NotRegistered);
    EXPECT_EQ(state.error, 0);
}

} // namespace
