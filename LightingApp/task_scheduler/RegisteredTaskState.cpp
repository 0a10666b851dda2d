#include "task_scheduler/RegisteredTaskState.h"

#include "task_scheduler/AccountSid.h"
#include "task_scheduler/TriggerSubscription.h"
#include "windows_wrappers/AutomationValues.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// A BSTR out-parameter's text; nothing when the call failed.
template <typename Getter>
std::optional<std::wstring> textOf(Getter get)
{
    ScopedBstr text;
    if (FAILED(get(text.receive()))) {
        return std::nullopt;
    }
    return text.get() == nullptr ? std::wstring() : std::wstring(text.get());
}

std::optional<std::vector<TaskTrigger>> triggersOf(ITaskDefinition& definition)
{
    ComPtr<ITriggerCollection> collection;
    LONG count = 0;
    if (FAILED(definition.get_Triggers(&collection)) || FAILED(collection->get_Count(&count))) {
        return std::nullopt;
    }
    std::vector<TaskTrigger> triggers;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<ITrigger> trigger;
        TASK_TRIGGER_TYPE2 type = TASK_TRIGGER_EVENT;
        VARIANT_BOOL enabled = VARIANT_TRUE;
        if (FAILED(collection->get_Item(i, &trigger)) || FAILED(trigger->get_Type(&type))
            || FAILED(trigger->get_Enabled(&enabled))) {
            return std::nullopt;
        }
        TaskTrigger read{static_cast<std::int32_t>(type), enabled != VARIANT_FALSE, std::nullopt};
        if (type == TASK_TRIGGER_EVENT) {
            read.subscription = triggerSubscription(*trigger.Get());
        }
        triggers.push_back(read);
    }
    return triggers;
}

void readAccount(ITaskDefinition& definition, StartupTaskState& state)
{
    ComPtr<IPrincipal> principal;
    if (FAILED(definition.get_Principal(&principal))) {
        return;
    }
    state.userId = textOf([&](BSTR* out) { return principal->get_UserId(out); });
    if (state.userId) {
        state.userSid = accountSid(*state.userId);
    }
    TASK_LOGON_TYPE logonType = TASK_LOGON_NONE;
    if (SUCCEEDED(principal->get_LogonType(&logonType))) {
        state.logonType = static_cast<std::int32_t>(logonType);
    }
}

// The program and arguments of the task's first action, when it runs one.
void readProgram(ITaskDefinition& definition, StartupTaskState& state)
{
    ComPtr<IActionCollection> actions;
    LONG count = 0;
    if (FAILED(definition.get_Actions(&actions)) || FAILED(actions->get_Count(&count))) {
        return;
    }
    state.actionCount = static_cast<std::int32_t>(count);
    ComPtr<IAction> action;
    TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
    if (count < 1 || FAILED(actions->get_Item(1, &action)) || FAILED(action->get_Type(&type))) {
        return;
    }
    state.firstActionRunsProgram = type == TASK_ACTION_EXEC;
    ComPtr<IExecAction> exec;
    if (type != TASK_ACTION_EXEC || FAILED(action.As(&exec))) {
        return;
    }
    state.program = textOf([&](BSTR* out) { return exec->get_Path(out); });
    state.arguments = textOf([&](BSTR* out) { return exec->get_Arguments(out); });
}

void readLastRun(IRegisteredTask& task, StartupTaskState& state)
{
    DATE date = 0;
    const HRESULT result = task.get_LastRunTime(&date);
    if (FAILED(result)) {
        return;
    }
    state.lastRunRead = true;
    SYSTEMTIME time{};
    if (result == SCHED_S_TASK_HAS_NOT_RUN || date <= 0 || VariantTimeToSystemTime(date, &time) == FALSE) {
        return;
    }
    state.lastRun = TaskTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

} // namespace

StartupTaskState stateOfRegisteredTask(IRegisteredTask& task)
{
    StartupTaskState state;
    state.registration = StartupTaskState::Registration::Registered;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    if (SUCCEEDED(task.get_Enabled(&enabled))) {
        state.enabled = enabled != VARIANT_FALSE;
    }
    readLastRun(task, state);
    ComPtr<ITaskDefinition> definition;
    if (FAILED(task.get_Definition(&definition))) {
        return state;
    }
    readAccount(*definition.Get(), state);
    state.triggers = triggersOf(*definition.Get());
    readProgram(*definition.Get(), state);
    return state;
}
