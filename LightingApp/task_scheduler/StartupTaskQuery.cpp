#include "task_scheduler/StartupTaskQuery.h"

#include "task_scheduler/TaskFolder.h"
#include "windows_wrappers/AutomationValues.h"
#include "windows_wrappers/ComApartment.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

StartupTaskState unknown(HRESULT error)
{
    return {StartupTaskState::Registration::Unknown, {}, static_cast<std::int32_t>(error)};
}

// The program of the task's first action, when it runs one; empty otherwise.
std::wstring firstProgramOf(IRegisteredTask& task)
{
    ComPtr<ITaskDefinition> definition;
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    ScopedBstr path;
    if (FAILED(task.get_Definition(&definition)) || FAILED(definition->get_Actions(&actions))
        || FAILED(actions->get_Item(1, &action)) || FAILED(action.As(&exec)) || FAILED(exec->get_Path(path.receive()))
        || path.get() == nullptr) {
        return {};
    }
    return path.get();
}

} // namespace

StartupTaskState queryStartupTask()
{
    const ComApartment apartment;
    if (!apartment.ready()) {
        return unknown(apartment.result());
    }
    ComPtr<ITaskFolder> root;
    HRESULT result = openRootTaskFolder(root);
    if (FAILED(result)) {
        return unknown(result);
    }
    ComPtr<IRegisteredTask> task;
    const ScopedBstr name(startupTaskName);
    result = root->GetTask(name.get(), &task);
    if (isTaskNotFound(result)) {
        return {StartupTaskState::Registration::NotRegistered, {}, 0};
    }
    if (FAILED(result)) {
        return unknown(result);
    }
    return {StartupTaskState::Registration::Registered, firstProgramOf(*task.Get()), 0};
}
