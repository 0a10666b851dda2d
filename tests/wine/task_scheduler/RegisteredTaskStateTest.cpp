#include "task_scheduler/RegisteredTaskState.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <array>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

namespace {

// A method of a faked interface that the reader has no reason to call.
#define NOT_CALLED(method, ...)                                                                                        \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override                                                             \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }

// IUnknown and IDispatch of a fake that lives in the test: it counts its
// references but is not freed by them. It answers for its own interface and
// for those answers() adds.
template <typename Interface>
class Fake : public Interface {
public:
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && !answers(iid)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    NOT_CALLED(GetTypeInfoCount, UINT*)
    NOT_CALLED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_CALLED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_CALLED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

protected:
    virtual bool answers(REFIID iid) { return iid == __uuidof(Interface); }
};

// An out-parameter filled as COM fills it: only when the call succeeds.
template <typename Value>
HRESULT give(HRESULT answer, Value value, Value* out)
{
    if (SUCCEEDED(answer)) {
        *out = value;
    }
    return answer;
}

HRESULT giveText(HRESULT answer, const wchar_t* text, BSTR* out)
{
    *out = SUCCEEDED(answer) ? SysAllocString(text) : nullptr;
    return answer;
}

// Another fake handed out with a reference of its own, or nothing.
template <typename Object, typename Interface>
HRESULT handOut(HRESULT answer, Object& fake, Interface** out)
{
    *out = nullptr;
    if (SUCCEEDED(answer)) {
        *out = &fake;
        fake.AddRef();
    }
    return answer;
}

class FakeTrigger : public Fake<ITrigger> {
public:
    HRESULT typeAnswer = S_OK;
    TASK_TRIGGER_TYPE2 type = TASK_TRIGGER_BOOT;
    HRESULT enabledAnswer = S_OK;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    // The Subscription property its scripting interface answers; none when
    // it has no such property.
    const wchar_t* subscription = nullptr;

    HRESULT STDMETHODCALLTYPE get_Type(TASK_TRIGGER_TYPE2* out) override { return give(typeAnswer, type, out); }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override { return give(enabledAnswer, enabled, out); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (subscription == nullptr || count != 1 || std::wstring(names[0]) != L"Subscription") {
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        if (subscription == nullptr || id != 1) {
            return DISP_E_MEMBERNOTFOUND;
        }
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(subscription);
        return S_OK;
    }
    NOT_CALLED(get_Id, BSTR*)
    NOT_CALLED(put_Id, BSTR)
    NOT_CALLED(get_Repetition, IRepetitionPattern**)
    NOT_CALLED(put_Repetition, IRepetitionPattern*)
    NOT_CALLED(get_ExecutionTimeLimit, BSTR*)
    NOT_CALLED(put_ExecutionTimeLimit, BSTR)
    NOT_CALLED(get_StartBoundary, BSTR*)
    NOT_CALLED(put_StartBoundary, BSTR)
    NOT_CALLED(get_EndBoundary, BSTR*)
    NOT_CALLED(put_EndBoundary, BSTR)
    NOT_CALLED(put_Enabled, VARIANT_BOOL)
};

class FakeTriggers : public Fake<ITriggerCollection> {
public:
    HRESULT countAnswer = S_OK;
    LONG count = 2;
    HRESULT itemAnswer = S_OK;
    std::array<FakeTrigger, 2> items;

    // A boot trigger and a disabled log-on trigger.
    FakeTriggers()
    {
        items[1].type = TASK_TRIGGER_LOGON;
        items[1].enabled = VARIANT_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override { return give(countAnswer, count, out); }
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, ITrigger** out) override
    {
        if (index < 1 || index > count) {
            *out = nullptr;
            return E_INVALIDARG;
        }
        return handOut(itemAnswer, items.at(index - 1), out);
    }
    NOT_CALLED(get__NewEnum, IUnknown**)
    NOT_CALLED(Create, TASK_TRIGGER_TYPE2, ITrigger**)
    NOT_CALLED(Remove, VARIANT)
    NOT_CALLED(Clear)
};

// An action; its program interface (IExecAction) can be refused.
class FakeAction : public Fake<IExecAction> {
public:
    HRESULT typeAnswer = S_OK;
    TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
    bool runsProgram = true;
    const wchar_t* path = L"C:\\Apps\\Lighting.exe";
    const wchar_t* arguments = L"--apply";

    HRESULT STDMETHODCALLTYPE get_Type(TASK_ACTION_TYPE* out) override { return give(typeAnswer, type, out); }
    HRESULT STDMETHODCALLTYPE get_Path(BSTR* out) override { return giveText(S_OK, path, out); }
    HRESULT STDMETHODCALLTYPE get_Arguments(BSTR* out) override { return giveText(S_OK, arguments, out); }
    NOT_CALLED(get_Id, BSTR*)
    NOT_CALLED(put_Id, BSTR)
    NOT_CALLED(put_Path, BSTR)
    NOT_CALLED(put_Arguments, BSTR)
    NOT_CALLED(get_WorkingDirectory, BSTR*)
    NOT_CALLED(put_WorkingDirectory, BSTR)

protected:
    bool answers(REFIID iid) override { return iid == IID_IAction || (iid == IID_IExecAction && runsProgram); }
};

class FakeActions : public Fake<IActionCollection> {
public:
    HRESULT countAnswer = S_OK;
    LONG count = 1;
    HRESULT itemAnswer = S_OK;
    std::array<FakeAction, 2> items;

    HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override { return give(countAnswer, count, out); }
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IAction** out) override
    {
        if (index < 1 || index > count) {
            *out = nullptr;
            return E_INVALIDARG;
        }
        return handOut(itemAnswer, items.at(index - 1), out);
    }
    NOT_CALLED(get__NewEnum, IUnknown**)
    NOT_CALLED(get_XmlText, BSTR*)
    NOT_CALLED(put_XmlText, BSTR)
    NOT_CALLED(Create, TASK_ACTION_TYPE, IAction**)
    NOT_CALLED(Remove, VARIANT)
    NOT_CALLED(Clear)
    NOT_CALLED(get_Context, BSTR*)
    NOT_CALLED(put_Context, BSTR)
};

class FakePrincipal : public Fake<IPrincipal> {
public:
    HRESULT userIdAnswer = S_OK;
    const wchar_t* userId = L"SYSTEM";
    HRESULT logonTypeAnswer = S_OK;
    TASK_LOGON_TYPE logonType = TASK_LOGON_SERVICE_ACCOUNT;

    HRESULT STDMETHODCALLTYPE get_UserId(BSTR* out) override { return giveText(userIdAnswer, userId, out); }
    HRESULT STDMETHODCALLTYPE get_LogonType(TASK_LOGON_TYPE* out) override
    {
        return give(logonTypeAnswer, logonType, out);
    }
    NOT_CALLED(get_Id, BSTR*)
    NOT_CALLED(put_Id, BSTR)
    NOT_CALLED(get_DisplayName, BSTR*)
    NOT_CALLED(put_DisplayName, BSTR)
    NOT_CALLED(put_UserId, BSTR)
    NOT_CALLED(put_LogonType, TASK_LOGON_TYPE)
    NOT_CALLED(get_GroupId, BSTR*)
    NOT_CALLED(put_GroupId, BSTR)
    NOT_CALLED(get_RunLevel, TASK_RUNLEVEL_TYPE*)
    NOT_CALLED(put_RunLevel, TASK_RUNLEVEL_TYPE)
};

class FakeDefinition : public Fake<ITaskDefinition> {
public:
    HRESULT principalAnswer = S_OK;
    FakePrincipal principal;
    HRESULT triggersAnswer = S_OK;
    FakeTriggers triggers;
    HRESULT actionsAnswer = S_OK;
    FakeActions actions;

    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** out) override
    {
        return handOut(principalAnswer, principal, out);
    }
    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** out) override
    {
        return handOut(triggersAnswer, triggers, out);
    }
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** out) override
    {
        return handOut(actionsAnswer, actions, out);
    }
    NOT_CALLED(get_RegistrationInfo, IRegistrationInfo**)
    NOT_CALLED(put_RegistrationInfo, IRegistrationInfo*)
    NOT_CALLED(put_Triggers, ITriggerCollection*)
    NOT_CALLED(get_Settings, ITaskSettings**)
    NOT_CALLED(put_Settings, ITaskSettings*)
    NOT_CALLED(get_Data, BSTR*)
    NOT_CALLED(put_Data, BSTR)
    NOT_CALLED(put_Principal, IPrincipal*)
    NOT_CALLED(put_Actions, IActionCollection*)
    NOT_CALLED(get_XmlText, BSTR*)
    NOT_CALLED(put_XmlText, BSTR)
};

// 2026-05-01 10:30:00 as the Task Scheduler gives a time (days since
// 1899-12-30).
constexpr DATE lastRunDate = 46143.4375;

class FakeRegisteredTask : public Fake<IRegisteredTask> {
public:
    HRESULT enabledAnswer = S_OK;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    HRESULT lastRunAnswer = S_OK;
    DATE lastRun = lastRunDate;
    HRESULT definitionAnswer = S_OK;
    FakeDefinition definition;

    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override { return give(enabledAnswer, enabled, out); }
    HRESULT STDMETHODCALLTYPE get_LastRunTime(DATE* out) override { return give(lastRunAnswer, lastRun, out); }
    HRESULT STDMETHODCALLTYPE get_Definition(ITaskDefinition** out) override
    {
        return handOut(definitionAnswer, definition, out);
    }
    NOT_CALLED(get_Name, BSTR*)
    NOT_CALLED(get_Path, BSTR*)
    NOT_CALLED(get_State, TASK_STATE*)
    NOT_CALLED(put_Enabled, VARIANT_BOOL)
    NOT_CALLED(Run, VARIANT, IRunningTask**)
    NOT_CALLED(RunEx, VARIANT, LONG, LONG, BSTR, IRunningTask**)
    NOT_CALLED(GetInstances, LONG, IRunningTaskCollection**)
    NOT_CALLED(get_LastTaskResult, LONG*)
    NOT_CALLED(get_NumberOfMissedRuns, LONG*)
    NOT_CALLED(get_NextRunTime, DATE*)
    NOT_CALLED(get_Xml, BSTR*)
    NOT_CALLED(GetSecurityDescriptor, LONG, BSTR*)
    NOT_CALLED(SetSecurityDescriptor, BSTR, LONG)
    NOT_CALLED(Stop, LONG)
    NOT_CALLED(GetRunTimes, const LPSYSTEMTIME, const LPSYSTEMTIME, DWORD*, LPSYSTEMTIME*)

    // Every fake's references, which are all 1 when no one keeps any.
    std::wstring allReferences() const
    {
        std::wostringstream out;
        const FakeDefinition& d = definition;
        out << references << d.references << d.principal.references << d.triggers.references
            << d.triggers.items[0].references << d.triggers.items[1].references << d.actions.references
            << d.actions.items[0].references << d.actions.items[1].references;
        return out.str();
    }
};

template <typename Value>
std::wstring text(const std::optional<Value>& value)
{
    std::wostringstream out;
    if (value) {
        out << *value;
    } else {
        out << L"none";
    }
    return out.str();
}

// Every member of a state, one to a line, so that two states compare whole
// and a difference shows the member it is in.
std::wstring described(const StartupTaskState& state)
{
    std::wostringstream out;
    out << L"registration " << static_cast<int>(state.registration) << L"\nerror " << state.error << L"\nenabled "
        << text(state.enabled) << L"\nuser " << text(state.userId) << L"\nlogon type " << text(state.logonType)
        << L"\nuser SID " << text(state.userSid) << L"\ntriggers";
    if (state.triggers) {
        for (const TaskTrigger& trigger : *state.triggers) {
            out << L" [" << trigger.type << L' ' << trigger.enabled << L' ' << text(trigger.subscription) << L']';
        }
    } else {
        out << L" none";
    }
    out << L"\nactions " << text(state.actionCount) << L"\nfirst runs a program " << text(state.firstActionRunsProgram)
        << L"\nprogram " << text(state.program) << L"\narguments " << text(state.arguments) << L"\nlast run read "
        << state.lastRunRead << L"\nlast run "
        << (state.lastRun ? calendarTimeText(*state.lastRun, L' ') : std::wstring(L"none"));
    return out.str();
}

// What the default fake task gives: every fact read.
StartupTaskState everythingRead()
{
    StartupTaskState state;
    state.registration = StartupTaskState::Registration::Registered;
    state.enabled = true;
    state.userId = L"SYSTEM";
    state.logonType = TASK_LOGON_SERVICE_ACCOUNT;
    state.userSid = L"S-1-5-18";
    state.triggers = {{TASK_TRIGGER_BOOT, true, std::nullopt}, {TASK_TRIGGER_LOGON, false, std::nullopt}};
    state.actionCount = 1;
    state.firstActionRunsProgram = true;
    state.program = L"C:\\Apps\\Lighting.exe";
    state.arguments = L"--apply";
    state.lastRunRead = true;
    state.lastRun = TaskTime{2026, 5, 1, 10, 30, 0};
    return state;
}

// Each answer the task gives is read into its own member; a call that fails
// leaves that fact (and what is read through it) empty and no other, and no
// reference is kept.
TEST(RegisteredTaskState, ReadsEachFactTheTaskAnswers)
{
    using Task = FakeRegisteredTask;
    using State = StartupTaskState;
    struct Case {
        const char* name;
        std::function<void(Task&)> arrange;
        std::function<void(State&)> expect;
    };
    const auto noTriggers = [](State& s) { s.triggers = std::nullopt; };
    const auto noProgram = [](State& s) {
        s.firstActionRunsProgram = std::nullopt;
        s.program = std::nullopt;
        s.arguments = std::nullopt;
    };
    const auto noActions = [noProgram](State& s) {
        noProgram(s);
        s.actionCount = std::nullopt;
    };
    const auto noAccount = [](State& s) {
        s.userId = std::nullopt;
        s.userSid = std::nullopt;
        s.logonType = std::nullopt;
    };
    const Case cases[] = {
        {"everything read", [](Task&) {}, [](State&) {}},
        {"enabled unread", [](Task& t) { t.enabledAnswer = E_FAIL; }, [](State& s) { s.enabled = std::nullopt; }},
        {"disabled", [](Task& t) { t.enabled = VARIANT_FALSE; }, [](State& s) { s.enabled = false; }},
        {"never run", [](Task& t) { t.lastRunAnswer = SCHED_S_TASK_HAS_NOT_RUN; },
         [](State& s) { s.lastRun = std::nullopt; }},
        {"a last run at time zero", [](Task& t) { t.lastRun = 0; }, [](State& s) { s.lastRun = std::nullopt; }},
        {"a last run before time zero", [](Task& t) { t.lastRun = -1; }, [](State& s) { s.lastRun = std::nullopt; }},
        {"last run unread", [](Task& t) { t.lastRunAnswer = E_FAIL; },
         [](State& s) {
             s.lastRunRead = false;
             s.lastRun = std::nullopt;
         }},
        {"no definition", [](Task& t) { t.definitionAnswer = E_ACCESSDENIED; },
         [=](State& s) {
             noAccount(s);
             noTriggers(s);
             noActions(s);
         }},
        {"no principal", [](Task& t) { t.definition.principalAnswer = E_FAIL; }, noAccount},
        {"user unread", [](Task& t) { t.definition.principal.userIdAnswer = E_FAIL; },
         [](State& s) {
             s.userId = std::nullopt;
             s.userSid = std::nullopt;
         }},
        {"an unknown user", [](Task& t) { t.definition.principal.userId = L"NoSuchAccountAnywhere"; },
         [](State& s) {
             s.userId = L"NoSuchAccountAnywhere";
             s.userSid = std::nullopt;
         }},
        {"a user given by SID", [](Task& t) { t.definition.principal.userId = L"S-1-5-32-544"; },
         [](State& s) { s.userId = s.userSid = L"S-1-5-32-544"; }},
        {"logon type unread", [](Task& t) { t.definition.principal.logonTypeAnswer = E_FAIL; },
         [](State& s) { s.logonType = std::nullopt; }},
        {"a logon in the user's session",
         [](Task& t) { t.definition.principal.logonType = TASK_LOGON_INTERACTIVE_TOKEN; },
         [](State& s) { s.logonType = TASK_LOGON_INTERACTIVE_TOKEN; }},
        {"no triggers collection", [](Task& t) { t.definition.triggersAnswer = E_FAIL; }, noTriggers},
        {"trigger count unread", [](Task& t) { t.definition.triggers.countAnswer = E_FAIL; }, noTriggers},
        {"no triggers", [](Task& t) { t.definition.triggers.count = 0; }, [](State& s) { s.triggers.emplace(); }},
        {"a trigger unread", [](Task& t) { t.definition.triggers.itemAnswer = E_FAIL; }, noTriggers},
        {"a trigger's type unread", [](Task& t) { t.definition.triggers.items[1].typeAnswer = E_FAIL; }, noTriggers},
        {"a trigger's enabled unread", [](Task& t) { t.definition.triggers.items[1].enabledAnswer = E_FAIL; },
         noTriggers},
        {"an event trigger with its query",
         [](Task& t) {
             t.definition.triggers.items[1].type = TASK_TRIGGER_EVENT;
             t.definition.triggers.items[1].subscription = L"<QueryList/>";
         },
         [](State& s) {
             s.triggers->at(1) = {TASK_TRIGGER_EVENT, false, L"<QueryList/>"};
         }},
        {"an event trigger whose query is unread",
         [](Task& t) { t.definition.triggers.items[1].type = TASK_TRIGGER_EVENT; },
         [](State& s) {
             s.triggers->at(1) = {TASK_TRIGGER_EVENT, false, std::nullopt};
         }},
        {"a query asked of event triggers only",
         [](Task& t) { t.definition.triggers.items[0].subscription = L"<QueryList/>"; }, [](State&) {}},
        {"no actions collection", [](Task& t) { t.definition.actionsAnswer = E_FAIL; }, noActions},
        {"action count unread", [](Task& t) { t.definition.actions.countAnswer = E_FAIL; }, noActions},
        {"no actions", [](Task& t) { t.definition.actions.count = 0; },
         [=](State& s) {
             noProgram(s);
             s.actionCount = 0;
         }},
        {"two actions, the first's program",
         [](Task& t) {
             t.definition.actions.count = 2;
             t.definition.actions.items[1].path = L"C:\\Other.exe";
         },
         [](State& s) { s.actionCount = 2; }},
        {"the first action unread", [](Task& t) { t.definition.actions.itemAnswer = E_FAIL; }, noProgram},
        {"its type unread", [](Task& t) { t.definition.actions.items[0].typeAnswer = E_FAIL; }, noProgram},
        {"a first action that sends mail", [](Task& t) { t.definition.actions.items[0].type = TASK_ACTION_SEND_EMAIL; },
         [=](State& s) {
             noProgram(s);
             s.firstActionRunsProgram = false;
         }},
        {"a program action without its interface", [](Task& t) { t.definition.actions.items[0].runsProgram = false; },
         [=](State& s) {
             noProgram(s);
             s.firstActionRunsProgram = true;
         }},
        {"no arguments", [](Task& t) { t.definition.actions.items[0].arguments = nullptr; },
         [](State& s) { s.arguments = L""; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Task task;
        c.arrange(task);
        State expected = everythingRead();
        c.expect(expected);
        EXPECT_EQ(described(stateOfRegisteredTask(task)), described(expected));
        EXPECT_EQ(task.allReferences(), L"111111111");
    }
}

} // namespace
