#include "task_scheduler/StartupTaskQuery.h"

#include "task_scheduler/RegisteredTaskState.h"
#include "task_scheduler/TaskFolder.h"
#include "windows_wrappers/AutomationValues.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

StartupTaskState unknown(HRESULT error)
{
    StartupTaskState state;
    state.error = static_cast<std::int32_t>(error);
    return state;
}

} // namespace

StartupTaskState queryStartupTask()
{
    StartupTaskState state;
    const HRESULT result = withRootTaskFolder([&state](ITaskFolder& root) {
        ComPtr<IRegisteredTask> task;
        const ScopedBstr name(startupTaskName);
        const HRESULT found = root.GetTask(name.get(), &task);
        if (isTaskNotFound(found)) {
            state.registration = StartupTaskState::Registration::NotRegistered;
            return S_OK;
        }
        if (SUCCEEDED(found)) {
            state = stateOfRegisteredTask(*task.Get());
        }
        return found;
    });
    return FAILED(result) ? unknown(result) : state;
}
