#pragma once

#include "TaskRegistrar.h"

#include "task_scheduler/StartupTaskRegistration.h"

// The Task Scheduler itself, through its COM API.
class ComTaskRegistrar final : public TaskRegistrar {
public:
    std::int32_t registerTask(const std::wstring& xml) override { return registerStartupTask(xml); }
    std::int32_t read(std::optional<RegisteredTaskDefinition>& task) override { return readStartupTask(task); }
    std::int32_t remove() override { return deleteStartupTask(); }
};
