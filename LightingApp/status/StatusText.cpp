#include "status/StatusText.h"

#include "platform_check/ModelGeneration.h"
#include "settings/StoredColors.h"
#include "status/StatusWords.h"
#include "status/StoredSetSummary.h"
#include "task_scheduler/TaskOwnership.h"
#include "windows_wrappers/Utf8.h"

namespace {

std::wstring number(std::uint32_t value)
{
    return std::to_wstring(value);
}

// A stored value as a zone shows it: the number, with what is used when that
// differs; "?" for one that is not a readable REG_DWORD.
std::wstring storedNumber(const StoredSet& set, std::size_t index)
{
    const StoredValue& value = set.values[index];
    if (!value.isDword()) {
        return L"?";
    }
    const std::uint8_t used = vectorEntryFromStored(index, value.data);
    return used == value.data ? number(value.data) : number(value.data) + L" (used as " + number(used) + L")";
}

// "R G B at B %" for the zone whose entries start at first, each entry as
// numberAt shows it.
template <typename NumberAt>
std::wstring zoneText(NumberAt numberAt, std::size_t first)
{
    return numberAt(first) + L" " + numberAt(first + 1) + L" " + numberAt(first + 2) + L" at " + numberAt(first + 3)
        + L" %";
}

std::wstring storedZone(const StoredSet& set, std::size_t first)
{
    return zoneText([&set](std::size_t index) { return storedNumber(set, index); }, first);
}

// Why a value is not used, and what a run that reads the key puts in its place.
std::wstring problemText(const StoredValue& value, std::size_t index, const ZoneValues& modelDefaults)
{
    const std::wstring name(valueNames[index]);
    const ValueFate fate = fateOf(value);
    const std::optional<std::uint8_t> replacement = replacementFor(index, fate, modelDefaults);
    std::wstring what = value.answer == StoredValue::Answer::Missing
        ? name + L" is missing"
        : name + L" is unreadable (" + registryTypeName(value.type) + L" of " + number(value.size) + L" bytes)";
    switch (fate) {
    case ValueFate::DefaultWritten:
        return what + L": a run that reads this key writes " + number(replacement.value_or(0)) + L" in its place";
    case ValueFate::ModelDefault:
        return what + L": a run that reads this key leaves it and uses the model's default"
            + (replacement ? L", " + number(*replacement) : std::wstring());
    case ValueFate::BlocksKey:
        return what + L": no run reads or writes this key while it is there";
    case ValueFate::Used:
        break;
    }
    return what;
}

std::wstring storedSetLine(const std::wstring& keyName, const StoredSet& set, const ZoneValues& modelDefaults)
{
    std::wstring line = L"Stored colours in the " + keyName + L" key: ";
    const SetState state = setState(set);
    if (state == SetState::None) {
        return line + L"none";
    }
    line += state == SetState::Complete ? L"complete, " : L"incomplete, ";
    line += L"logo " + storedZone(set, 0) + L", light bar " + storedZone(set, 4);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (fateOf(set.values[i]) != ValueFate::Used) {
            line += L"; " + problemText(set.values[i], i, modelDefaults);
        }
    }
    return line;
}

std::wstring rootName(StoredRoot root)
{
    return root == StoredRoot::Machine ? L"the machine key" : L"the user key";
}

std::wstring appliedZone(const ZoneValues& values, std::size_t first)
{
    return zoneText([&values](std::size_t index) { return number(values[index]); }, first);
}

std::wstring sentZone(const Color& color)
{
    return number(color.red) + L" " + number(color.green) + L" " + number(color.blue);
}

std::wstring runText(const RunFacts& run)
{
    if (run.outcome == RunFacts::Outcome::ModelUnknown) {
        return L"sends nothing (the model could not be read)";
    }
    if (run.outcome == RunFacts::Outcome::ModelNotSupported || run.sent.size() != 2
        || run.plan.values.size() != zoneValueCount) {
        return L"sends nothing (the model is not supported)";
    }
    const RestorePlan& plan = run.plan;
    std::wstring text = plan.reads == StoredRoot::None ? L"uses no stored set; applies the model's defaults, "
                                                       : L"reads " + rootName(plan.reads) + L"; applies ";
    text += L"logo " + appliedZone(plan.values, 0) + L", light bar " + appliedZone(plan.values, 4);
    text += L"; the firmware gets logo " + sentZone(run.sent[0]) + L", light bar " + sentZone(run.sent[1]);
    text += plan.stores == StoredRoot::None ? L"; stores nothing (neither key may be written)"
                                            : L"; stores to " + rootName(plan.stores);
    return text;
}

std::wstring modelLine(const ModelFacts& model)
{
    if (!model.model) {
        return L"Model: unknown (Platform check failed: " + model.error + L")";
    }
    const wchar_t* support = L"not supported";
    if (model.generation == firstGeneration) {
        support = L"first generation: brightness only";
    } else if (model.generation == secondGeneration) {
        support = L"second generation: colour";
    }
    return L"Model: " + quoted(*model.model) + L" (" + support + L")";
}

std::wstring eventSourceLine(const EventSourceState& source)
{
    using Registration = EventSourceState::Registration;
    switch (source.registration) {
    case Registration::NotRegistered:
        return L"Event source: not registered";
    case Registration::Registered:
        return source.messageFile ? L"Event source: registered, message file " + quoted(*source.messageFile)
                                  : L"Event source: registered, without a message file";
    case Registration::Unknown:
        break;
    }
    return L"Event source: could not be read: " + failureText(fromWin32(source.error));
}

std::wstring accountLine(const StartupTaskState& task)
{
    if (!task.userId) {
        return L"Startup task account: could not be read";
    }
    std::wstring line = L"Startup task account: " + quoted(*task.userId);
    if (task.logonType) {
        line += L" (" + logonText(*task.logonType) + L")";
    }
    return line;
}

std::wstring triggersLine(const StartupTaskState& task)
{
    if (!task.triggers) {
        return L"Startup task triggers: could not be read";
    }
    if (task.triggers->empty()) {
        return L"Startup task triggers: none";
    }
    std::wstring line = L"Startup task triggers: ";
    for (std::size_t i = 0; i < task.triggers->size(); ++i) {
        const TaskTrigger& trigger = (*task.triggers)[i];
        line += (i == 0 ? L"" : L", ") + triggerText(trigger.type);
        if (trigger.subscription) {
            line += L" " + quoted(*trigger.subscription);
        }
        if (!trigger.enabled) {
            line += L" (disabled)";
        }
    }
    return line;
}

std::wstring programLine(const StartupTaskState& task, const std::optional<ProgramLocation>& location)
{
    if (!task.program) {
        return L"Startup task program: could not be read";
    }
    std::wstring line = L"Startup task program: " + quoted(*task.program);
    if (task.arguments && !task.arguments->empty()) {
        line += L" with arguments " + quoted(*task.arguments);
    }
    const std::wstring pathReason = programPathReason(*task.program);
    if (!pathReason.empty()) {
        line += L" (fails the location check: " + pathReason + L")";
    } else if (location) {
        const std::wstring reason = refusalReason(*location);
        line += reason.empty() ? L" (passes the location check)" : L" (fails the location check: " + reason + L")";
    }
    return line;
}

std::wstring lastRunLine(const StartupTaskState& task)
{
    if (!task.lastRunRead) {
        return L"Startup task last run: could not be read";
    }
    if (!task.lastRun) {
        return L"Startup task last run: never";
    }
    return L"Startup task last run: " + taskTimeText(*task.lastRun, L' ') + L" (local time)";
}

void appendTaskLines(const StatusFacts& facts, std::vector<std::wstring>& lines)
{
    const StartupTaskState& task = facts.task;
    using Registration = StartupTaskState::Registration;
    switch (task.registration) {
    case Registration::NotRegistered:
        lines.emplace_back(L"Startup task: not registered");
        return;
    case Registration::Unknown:
        lines.push_back(L"Startup task: could not be read: " + failureText(task.error));
        return;
    case Registration::Registered:
        break;
    }
    std::wstring state = L"Startup task: registered, ";
    if (task.enabled) {
        state += *task.enabled ? L"enabled" : L"disabled";
    } else {
        state += L"whether it is enabled could not be read";
    }
    const std::wstring notTheProgram = notTheProgramReason(task);
    if (!notTheProgram.empty()) {
        state += L"; not the program's task: " + notTheProgram;
    }
    lines.push_back(state);
    lines.push_back(accountLine(task));
    lines.push_back(triggersLine(task));
    lines.push_back(programLine(task, facts.taskProgramLocation));
    lines.push_back(lastRunLine(task));
}

} // namespace

std::wstring quoted(const std::wstring& text)
{
    std::wstring result = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            result += L'\\';
            result += c;
        } else if (c < 0x20 || c == 0x7F) {
            result += widenAscii(unitEscape(static_cast<std::uint32_t>(c)));
        } else {
            result += c;
        }
    }
    return result + L"\"";
}

std::vector<std::wstring> statusLines(const StatusFacts& facts)
{
    std::vector<std::wstring> lines;
    lines.push_back(L"Version: " + facts.version);
    lines.push_back(modelLine(facts.model));
    lines.push_back(storedSetLine(L"machine", facts.machineKey, facts.modelDefaults));
    lines.push_back(storedSetLine(L"user", facts.userKey, facts.modelDefaults));
    lines.push_back(L"Run without arguments by this account: " + runText(facts.thisAccount));
    std::wstring startupRun = L"Run by the startup task (LocalSystem): " + runText(facts.startupTask);
    if (facts.localSystemKeyError != 0) {
        startupRun += L"; LocalSystem's own key could not be read (" + failureText(fromWin32(facts.localSystemKeyError))
            + L") and is taken as empty";
    }
    lines.push_back(startupRun);
    lines.push_back(eventSourceLine(facts.eventSource));
    appendTaskLines(facts, lines);
    return lines;
}
