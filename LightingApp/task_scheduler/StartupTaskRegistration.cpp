#include "task_scheduler/StartupTaskRegistration.h"

#include "task_scheduler/StartupTaskState.h"
#include "task_scheduler/TaskFolder.h"
#include "windows_wrappers/AutomationValues.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

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
        ComPtr<IRegisteredTask> task;
        return root.RegisterTask(name.get(), text.get(), TASK_CREATE_OR_UPDATE, user, none, TASK_LOGON_SERVICE_ACCOUNT,
                                 none, &task);
    });
}

HRESULT readStartupTask(std::optional<std::wstring>& xml)
{
    xml.reset();
    return withRootTaskFolder([&xml](ITaskFolder& root) {
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
        xml.emplace(text.get(), SysStringLen(text.get()));
        return S_OK;
    });
}

HRESULT deleteStartupTask()
{
    return withRootTaskFolder([](ITaskFolder& root) {
        const ScopedBstr name(startupTaskName);
        const HRESULT result = root.DeleteTask(name.get(), 0);
        return isTaskNotFound(result) ? S_OK : result;
    });
}
