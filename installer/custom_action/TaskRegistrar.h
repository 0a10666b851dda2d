#pragma once

#include "task_scheduler/TaskOwnership.h"

#include <cstdint>
#include <optional>
#include <string>

// The Task Scheduler as the custom actions use it: the startup task's
// registration. Each call returns 0 or a negative status (an HRESULT).
class TaskRegistrar {
public:
    virtual ~TaskRegistrar() = default;
    // Registers the definition as the startup task, as LocalSystem, ignoring
    // its registration triggers; a task registered under the name goes first.
    virtual std::int32_t registerTask(const std::wstring& xml) = 0;
    // The registered startup task's definition and principal, or nothing
    // when there is none.
    virtual std::int32_t read(std::optional<RegisteredTaskDefinition>& task) = 0;
    // Deletes the startup task; 0 also when there was none.
    virtual std::int32_t remove() = 0;

protected:
    TaskRegistrar() = default;
    TaskRegistrar(const TaskRegistrar&) = default;
    TaskRegistrar& operator=(const TaskRegistrar&) = default;
};
