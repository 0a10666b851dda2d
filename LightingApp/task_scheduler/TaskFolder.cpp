#include "task_scheduler/TaskFolder.h"

#include "windows_wrappers/AutomationValues.h"

using Microsoft::WRL::ComPtr;

HRESULT openRootTaskFolder(ComPtr<ITaskFolder>& folder)
{
    ComPtr<ITaskService> service;
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service));
    if (FAILED(result)) {
        return result;
    }
    // No server, user, domain or password: this machine, as this process.
    const VARIANT none{};
    result = service->Connect(none, none, none, none);
    if (FAILED(result)) {
        return result;
    }
    const ScopedBstr rootPath(L"\\");
    return service->GetFolder(rootPath.get(), &folder);
}

bool isTaskNotFound(HRESULT result)
{
    constexpr auto taskNotFound = static_cast<HRESULT>(0x80070002U);
    constexpr auto folderNotFound = static_cast<HRESULT>(0x80070003U);
    return result == taskNotFound || result == folderNotFound;
}
