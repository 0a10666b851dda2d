#include "application/StartupTaskQuery.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <taskschd.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// An apartment for the length of the query; nested in the caller's, it only
// counts up and down.
class Apartment {
public:
    Apartment() : status(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment()
    {
        if (SUCCEEDED(status)) {
            CoUninitialize();
        }
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

    HRESULT status;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return value; }
    BSTR* receive() { return &value; }

private:
    BSTR value = nullptr;
};

StartupTaskState unknown(HRESULT error)
{
    return {StartupTaskState::Registration::Unknown, {}, error};
}

// The program of the task's first action, when it runs one; empty otherwise.
std::wstring firstProgramOf(IRegisteredTask& task)
{
    ComPtr<ITaskDefinition> definition;
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    Bstr path;
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
    const Apartment apartment;
    if (FAILED(apartment.status)) {
        return unknown(apartment.status);
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
    const Bstr rootPath(L"\\");
    result = service->GetFolder(rootPath.get(), &root);
    if (FAILED(result)) {
        return unknown(result);
    }
    ComPtr<IRegisteredTask> task;
    const Bstr name(startupTaskName);
    result = root->GetTask(name.get(), &task);
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
        return {StartupTaskState::Registration::NotRegistered, {}, 0};
    }
    if (FAILED(result)) {
        return unknown(result);
    }
    return {StartupTaskState::Registration::Registered, firstProgramOf(*task.Get()), 0};
}
