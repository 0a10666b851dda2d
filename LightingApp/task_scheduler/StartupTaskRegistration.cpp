#include "task_scheduler/StartupTaskRegistration.h"

#include "task_scheduler/DeleteThenCreate.h"
#include "task_scheduler/RegisteredTaskState.h"
#include "task_scheduler/StartupTaskState.h"
#include "task_scheduler/TaskFolder.h"
#include "windows_wrappers/AutomationValues.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

HRESULT deleteTask(ITaskFolder& root)
{
    const ScopedBstr name(startupTaskName);
    const HRESULT result = root.DeleteTask(name.get(), 0);
    return isTaskNotFound(result) ? S_OK : result;
}

} // namespace

HRESULT registerStartupTask(const std::wstring& xml)
{
    return withRootTaskFolder([&xml](ITaskFolder& root) {
        const ScopedBstr name(startupTaskName);
        const ScopedBstr text(xml.c_str());
        // LocalSystem by the name the Task Scheduler takes on every language
        // of Windows; a service account has no password.
        const ScopedBstr account(L"SYSTEM");
        VARIANT user{};
        user.vt = VT_BSTR;
        user.bstrVal = account.get();
        const VARIANT none{};
        const auto remove = [&root] { return static_cast<std::int32_t>(deleteTask(root)); };
        const auto create = [&] {
            ComPtr<IRegisteredTask> task;
            // A registration trigger would run the task the moment it is
            // registered, as LocalSystem, in the middle of an installation.
            return static_cast<std::int32_t>(root.RegisterTask(name.get(), text.get(),
                                                               TASK_CREATE | TASK_IGNORE_REGISTRATION_TRIGGERS, user,
                                                               none, TASK_LOGON_SERVICE_ACCOUNT, none, &task));
        };
        // TASK_CREATE_OR_UPDATE would keep an earlier task's security
        // descriptor, which its owner chose: the task is deleted and created,
        // again while a user takes the name in between (DeleteThenCreate.h).
        return static_cast<HRESULT>(deleteThenCreate(remove, create));
    });
}

HRESULT readStartupTask(std::optional<RegisteredTaskDefinition>& found)
{
    found.reset();
    return withRootTaskFolder([&found](ITaskFolder& root) {
        const ScopedBstr name(startupTaskName);
        ComPtr<IRegisteredTask> task;
        HRESULT result = root.GetTask(name.get(), &task);
        if (isTaskNotFound(result)) {
            return S_OK;
        }
        ScopedBstr text;
        if (SUCCEEDED(result)) {
            result = task->get_Xml(text.receive());
        }
        if (FAILED(result)) {
            return result;
        }
        // A registered task always has a definition: an empty one could not
        // be registered again.
        if (text.get() == nullptr || SysStringLen(text.get()) == 0) {
            return E_UNEXPECTED;
        }
        // Its account is read as for status: one reading of a task's principal.
        const StartupTaskState state = stateOfRegisteredTask(*task.Get());
        found = RegisteredTaskDefinition{std::wstring(text.get(), SysStringLen(text.get())), state.userId,
                                         state.logonType, state.userSid};
        return S_OK;
    });
}

HRESULT deleteStartupTask()
{
    return withRootTaskFolder([](ITaskFolder& root) { return deleteTask(root); });
}
