#include "status/StatusWords.h"

#include "windows_wrappers/Utf8.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

struct TaskWords {
    const wchar_t* text;
    const char* identifier;
};

constexpr std::int32_t accessDenied = static_cast<std::int32_t>(0x80070005U);
constexpr std::int32_t schedulerNotRunning = static_cast<std::int32_t>(0x80041315U);
constexpr std::int32_t win32Facility = static_cast<std::int32_t>(0x80070000U);

// Indexed by TASK_TRIGGER_TYPE2; type 10 has no name.
constexpr std::array<TaskWords, 12> triggerWords = {{
    {L"on an event", "event"},
    {L"at a time", "time"},
    {L"daily", "daily"},
    {L"weekly", "weekly"},
    {L"monthly", "monthly"},
    {L"monthly on a day of the week", "monthlyDayOfWeek"},
    {L"when idle", "idle"},
    {L"when registered", "registration"},
    {L"at boot", "boot"},
    {L"at log on", "logon"},
    {nullptr, nullptr},
    {L"on a session state change", "sessionStateChange"},
}};

// Indexed by TASK_LOGON_TYPE.
constexpr std::array<TaskWords, 7> logonWords = {{
    {L"no logon", "none"},
    {L"password", "password"},
    {L"without a password (S4U)", "s4u"},
    {L"the user's own session", "interactiveToken"},
    {L"group", "group"},
    {L"service account", "serviceAccount"},
    {L"the user's own session or password", "interactiveTokenOrPassword"},
}};

template <std::size_t N>
const TaskWords* wordsFor(const std::array<TaskWords, N>& table, std::int32_t type)
{
    if (type < 0 || static_cast<std::size_t>(type) >= N || table[static_cast<std::size_t>(type)].text == nullptr) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(type)];
}

// The words for a type, or unnamed followed by its number.
template <std::size_t N>
std::wstring textFor(const std::array<TaskWords, N>& table, std::int32_t type, const wchar_t* unnamed)
{
    const TaskWords* words = wordsFor(table, type);
    return words != nullptr ? words->text : unnamed + std::to_wstring(type);
}

template <std::size_t N>
std::string identifierFor(const std::array<TaskWords, N>& table, std::int32_t type)
{
    const TaskWords* words = wordsFor(table, type);
    return words != nullptr ? words->identifier : "type " + std::to_string(type);
}

constexpr std::array<FactWords, 4> supportTable = {{
    {L"not supported", "none"},
    {L"first generation: brightness only", "brightness"},
    {L"second generation: colour", "colour"},
    {L"unknown", nullptr},
}};

constexpr std::array<FactWords, 3> presenceTable = {{
    {L"not registered", "notRegistered"},
    {L"registered", "registered"},
    {L"could not be read", "couldNotBeRead"},
}};

constexpr std::array<FactWords, 3> setStateTable = {{
    {L"complete", "complete"},
    {L"incomplete", "incomplete"},
    {L"none", "none"},
}};

constexpr std::array<FactWords, 3> rootTable = {{
    {L"", "none"},
    {L"machine", "machineKey"},
    {L"user", "userKey"},
}};

constexpr std::array<FactWords, 3> valueStateTable = {{
    {L"stored", "stored"},
    {L"missing", "missing"},
    {L"unreadable", "unreadable"},
}};

constexpr std::array<FactWords, 3> runOutcomeTable = {{
    {L"", nullptr},
    {L"the model is not supported", "modelNotSupported"},
    {L"the model could not be read", "modelUnknown"},
}};

constexpr std::array<FateWords, 4> fateTable = {{
    {nullptr, nullptr, nullptr},
    {L"a run that reads this key writes # in its place", L"a run that reads this key writes its default in its place",
     "defaultWritten"},
    // The run stores the whole vector it applied, so the value becomes a
    // REG_DWORD of the model's default.
    {L"a run that reads this key writes the model's default, #, in its place",
     L"a run that reads this key writes the model's default in its place", "modelDefault"},
    {L"no run reads or writes this key while it is there", L"no run reads or writes this key while it is there",
     "keyNotUsed"},
}};

// Indexed by PolicyState.
constexpr std::array<FactWords, 3> policyStateTable = {{
    {L"none", "none"},
    {L"in force", "inForce"},
    {L"unusable", "unusable"},
}};
// Indexed by RunRequest, ColourSource and RunOutcome: the JSON's words are
// the record's own.
constexpr std::array<const wchar_t*, 4> requestTable = {L"restore", L"colours", L"brightness", L"default"};
constexpr std::array<const wchar_t*, 5> sourceTable = {L"the policy", L"the machine key", L"the user key",
                                                       L"the model's defaults", L"the command line"};
constexpr std::array<const wchar_t*, 7> outcomeTable = {
    L"done",
    L"refused by the policy",
    L"failed: the platform check failed",
    L"failed: the firmware call failed",
    L"failed: the firmware refused the command",
    L"failed: the colours could not be stored",
    L"failed: something unexpected stopped it",
};

constexpr std::array<const char*, 11> problemTable = {
    "taskNotRegistered",        "taskDisabled",      "taskProgramRefused", "taskNotTheProgram",
    "eventSourceNotRegistered", "modelNotSupported", "modelUnknown",       "policyUnusable",
    "machineKeyIncomplete",     "lastRunFailed",     "recordUntrusted",
};

template <typename Table, typename Enum>
const auto& entry(const Table& table, Enum value)
{
    return table.at(static_cast<std::size_t>(value));
}

} // namespace

const FactWords& supportWords(ModelSupport support)
{
    return entry(supportTable, support);
}

const FactWords& policyStateWords(PolicyState state)
{
    return entry(policyStateTable, state);
}

const wchar_t* requestText(RunRequest request)
{
    return entry(requestTable, request);
}

const wchar_t* sourceText(ColourSource source)
{
    return entry(sourceTable, source);
}

const wchar_t* outcomeText(RunOutcome outcome)
{
    return entry(outcomeTable, outcome);
}

std::string recordIdentifier(std::wstring_view word)
{
    return {word.begin(), word.end()};
}

const FactWords& presenceWords(Presence presence)
{
    return entry(presenceTable, presence);
}

const FactWords& setStateWords(SetState state)
{
    return entry(setStateTable, state);
}

const FactWords& rootWords(StoredRoot root)
{
    return entry(rootTable, root);
}

const FactWords& valueStateWords(ValueFacts::State state)
{
    return entry(valueStateTable, state);
}

const FactWords& runOutcomeWords(RunFacts::Outcome outcome)
{
    return entry(runOutcomeTable, outcome);
}

const FateWords& fateWords(ValueFate fate)
{
    return entry(fateTable, fate);
}

const char* problemIdentifier(Problem problem)
{
    return entry(problemTable, problem);
}

std::wstring failureText(std::int32_t status)
{
    std::wstring code = L"0x" + widenAscii(hexCode(status));
    if (status == accessDenied) {
        return L"access denied (" + code + L")";
    }
    if (status == schedulerNotRunning) {
        return L"the Task Scheduler service is not running (" + code + L")";
    }
    return code;
}

std::int32_t fromWin32(std::int32_t error)
{
    return error <= 0 ? error : (error & 0xFFFF) | win32Facility;
}

std::wstring triggerText(std::int32_t type)
{
    return textFor(triggerWords, type, L"of type ");
}

std::string triggerIdentifier(std::int32_t type)
{
    return identifierFor(triggerWords, type);
}

std::wstring logonText(std::int32_t type)
{
    return textFor(logonWords, type, L"logon type ");
}

std::string logonIdentifier(std::int32_t type)
{
    return identifierFor(logonWords, type);
}
