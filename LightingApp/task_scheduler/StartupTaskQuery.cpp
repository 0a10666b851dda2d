#include "task_scheduler/StartupTaskQuery.h"

#include "windows_wrappers/AutomationValues.h"
#include "windows_wrappers/ComApartment.h"

#include <windows.h>

#include <taskschd.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// What GetTask answers for a task, or a folder, that does not exist: the
// Win32 errors ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND as HRESULTs.
constexpr HRESULT taskNotFound = static_cast<HRESULT>(0x80070002U);
constexpr HRESULT folderNotFound = static_cast<HRESULT>(0x80070003U);

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
    ComPtr<ITaskService> service;
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service));
    if (FAILED(result)) {
        return unknown(result);
    }
    const VARIANT none{};
    result = service->Connect(none, none, none, none);
    if (FAILED(result)) {
        return unknown(result);
    }
    ComPtr<ITaskFolder> root;
    const ScopedBstr rootPath(L"\\");
    result = service->GetFolder(rootPath.get(), &root);
    if (FAILED(result)) {
        return unknown(result);
    }
    ComPtr<IRegisteredTask> task;
    const ScopedBstr name(startupTaskName);
    result = root->GetTask(name.get(), &task);
    if (result == taskNotFound || result == folderNotFound) {
        return {StartupTaskState::Registration::NotRegistered, {}, 0};
    }
    if (FAILED(result)) {
        return unknown(result);
    }
    return {StartupTaskState::Registration::Registered, firstProgramOf(*task.Get()), 0};
}
