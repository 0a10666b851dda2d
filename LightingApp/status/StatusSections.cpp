#include "status/StatusSections.h"

#include "settings/StoredColors.h"
#include "status/JsonWriter.h"
#include "status/StatusWords.h"
#include "status/StoredSetSummary.h"
#include "windows_wrappers/CalendarTime.h"
#include "windows_wrappers/Utf8.h"

namespace {

std::wstring number(std::uint32_t value)
{
    return std::to_wstring(value);
}

// A stored value as a zone shows it: the number, with what is used when that
// differs; "?" for one that is not a readable REG_DWORD.
std::wstring storedNumber(const StoredSet& set, const KeyFacts& key, std::size_t index)
{
    const ValueFacts& value = key.values[index];
    if (!value.used) {
        return L"?";
    }
    const std::uint32_t stored = set.values[index].data;
    return *value.used == stored ? number(stored) : number(stored) + L" (used as " + number(*value.used) + L")";
}

// "R G B at B %" for the zone whose entries start at first, each entry as
// numberAt shows it.
template <typename NumberAt>
std::wstring zoneText(NumberAt numberAt, std::size_t first)
{
    return numberAt(first) + L" " + numberAt(first + 1) + L" " + numberAt(first + 2) + L" at " + numberAt(first + 3)
        + L" %";
}

std::wstring storedZone(const StoredSet& set, const KeyFacts& key, std::size_t first)
{
    return zoneText([&](std::size_t index) { return storedNumber(set, key, index); }, first);
}

// Why a value is not used, and what a run that reads the key puts in its place.
std::wstring problemText(const StoredValue& value, const ValueFacts& facts, std::size_t index)
{
    const std::wstring name(valueNames[index]);
    std::wstring what = name + L" is " + valueStateWords(facts.state).text
        + (facts.state == ValueFacts::State::Unreadable
               ? L" (" + registryTypeName(value.type) + L" of " + number(value.size) + L" bytes)"
               : std::wstring());
    const FateWords& words = fateWords(facts.fate);
    if (words.text == nullptr) {
        return what;
    }
    std::wstring place = facts.replacement ? words.text : words.textWithoutNumber;
    const std::size_t mark = place.find(L'#');
    if (mark != std::wstring::npos) {
        place.replace(mark, 1, number(facts.replacement.value_or(0)));
    }
    return what + L": " + place;
}

std::wstring storedSetLine(const StoredSet& set, const KeyFacts& key)
{
    std::wstring line = L"Stored colours in the " + std::wstring(rootWords(key.root).text) + L" key: ";
    if (key.state == SetState::None) {
        return line + setStateWords(key.state).text;
    }
    line += std::wstring(setStateWords(key.state).text) + L", ";
    line += L"logo " + storedZone(set, key, 0) + L", light bar " + storedZone(set, key, 4);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (key.values[i].fate != ValueFate::Used) {
            line += L"; " + problemText(set.values[i], key.values[i], i);
        }
    }
    return line;
}

std::wstring rootName(StoredRoot root)
{
    return L"the " + std::wstring(rootWords(root).text) + L" key";
}

std::wstring appliedZone(const ZoneValues& values, std::size_t first)
{
    return zoneText([&values](std::size_t index) { return number(values[index]); }, first);
}

std::wstring sentZone(const Color& color)
{
    return number(color.red) + L" " + number(color.green) + L" " + number(color.blue);
}

// "Policy (HKLM\\...): none", "... in force, logo R G B at B %, ...; users may
// change the lighting: no", or "... unusable: REASON; runs go on as without it".
std::wstring policyLine(const ColourPolicy& policy)
{
    std::wstring line = L"Policy (" + std::wstring(policyKeyName) + L"): " + policyStateWords(policy.state).text;
    if (policy.state == PolicyState::InForce) {
        line += L", logo " + appliedZone(policy.values, 0) + L", light bar " + appliedZone(policy.values, 4);
        line += std::wstring(L"; users may change the lighting: ") + (policy.usersMayChange ? L"yes" : L"no");
    } else if (policy.state == PolicyState::Unusable) {
        line += L": " + policyFaultText(policy) + L"; runs go on as without it";
    }
    return line;
}

// Milliseconds as seconds with one decimal: "15.5".
std::wstring secondsText(std::uint32_t milliseconds)
{
    return std::to_wstring(milliseconds / 1000) + L"." + std::to_wstring(milliseconds % 1000 / 100);
}

// "Last run recorded in the machine key: none", or its time, account,
// request, source, the bytes the firmware got and the outcome; or why its
// key is not trusted. Its texts are the registry's, quoted and escaped.
std::wstring recordLine(StoredRoot root, const std::optional<RecordFacts>& run, const std::wstring& distrust)
{
    std::wstring line = L"Last run recorded in the " + std::wstring(rootWords(root).text) + L" key: ";
    if (!distrust.empty()) {
        return line + L"not shown, its key is not trusted: " + distrust;
    }
    if (!run) {
        return line + L"none";
    }
    const LastRun& record = run->record;
    line += quoted(record.time) + L", "
        + (run->accountName.empty() ? quoted(record.account)
                                    : quoted(run->accountName) + L" (" + quoted(record.account) + L")");
    line += std::wstring(L", ") + requestText(record.request) + L" from " + sourceText(record.source);
    if (record.firmwareGot) {
        line += L", the firmware got logo " + sentZone(record.firmwareGot->logo) + L", light bar "
            + sentZone(record.firmwareGot->lightBar);
    }
    line += std::wstring(L"; ") + outcomeText(record.outcome);
    if (record.tries > 1) {
        line += L" after " + std::to_wstring(record.tries) + L" tries in " + secondsText(record.waitedMs) + L" s";
    }
    if (record.eventId) {
        line += L" (event " + std::to_wstring(*record.eventId);
        if (!record.step.empty()) {
            line += L", " + quoted(record.step);
        }
        if (record.code) {
            line += L", code "
                + (record.outcome == RunOutcome::FirmwareCallFailed
                       ? L"0x" + widenAscii(hexCode(static_cast<std::int32_t>(*record.code)))
                       : std::to_wstring(*record.code));
        }
        line += L")";
    }
    return line;
}

std::wstring runText(const RunFacts& run)
{
    if (run.outcome != RunFacts::Outcome::Sends) {
        return L"sends nothing (" + std::wstring(runOutcomeWords(run.outcome).text) + L")";
    }
    const RestorePlan& plan = run.plan;
    if (run.fromPolicy) {
        return L"reads the policy; applies logo " + appliedZone(plan.values, 0) + L", light bar "
            + appliedZone(plan.values, 4) + L"; the firmware gets logo " + sentZone(run.sent[0]) + L", light bar "
            + sentZone(run.sent[1]) + L"; stores nothing (the policy is in force)";
    }
    std::wstring text = plan.reads == StoredRoot::None ? L"uses no stored set; applies the model's defaults, "
                                                       : L"reads " + rootName(plan.reads) + L"; applies ";
    text += L"logo " + appliedZone(plan.values, 0) + L", light bar " + appliedZone(plan.values, 4);
    text += L"; the firmware gets logo " + sentZone(run.sent[0]) + L", light bar " + sentZone(run.sent[1]);
    text += plan.stores == StoredRoot::None ? L"; stores nothing (neither key may be written)"
                                            : L"; stores to " + rootName(plan.stores);
    return text;
}

std::wstring modelLine(const ModelFacts& model, ModelSupport support)
{
    const std::wstring words = supportWords(support).text;
    if (support == ModelSupport::Unknown) {
        return L"Model: " + words + L" (Platform check failed: " + model.error + L")";
    }
    return L"Model: " + quoted(model.model.value_or(L"")) + L" (" + words + L")";
}

std::wstring eventSourceLine(const StatusFacts& facts)
{
    std::wstring line = L"Event source: " + std::wstring(presenceWords(facts.eventSourcePresence).text);
    switch (facts.eventSourcePresence) {
    case Presence::NotRegistered:
        return line;
    case Presence::Registered:
        return facts.eventSource.messageFile ? line + L", message file " + quoted(*facts.eventSource.messageFile)
                                             : line + L", without a message file";
    case Presence::CouldNotBeRead:
        break;
    }
    return line + L": " + failureText(facts.eventSourceError);
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

std::wstring programLine(const StartupTaskState& task, const std::optional<LocationVerdict>& location)
{
    if (!task.program) {
        return L"Startup task program: could not be read";
    }
    std::wstring line = L"Startup task program: " + quoted(*task.program);
    if (task.arguments && !task.arguments->empty()) {
        line += L" with arguments " + quoted(*task.arguments);
    }
    if (location) {
        line += location->passes ? L" (passes the location check)"
                                 : L" (fails the location check: " + location->reason + L")";
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
    return L"Startup task last run: " + calendarTimeText(*task.lastRun, L' ') + L" (local time)";
}

void appendTaskLines(const StatusFacts& facts, std::vector<std::wstring>& lines)
{
    const StartupTaskState& task = facts.task;
    std::wstring state = L"Startup task: " + std::wstring(presenceWords(facts.taskPresence).text);
    switch (facts.taskPresence) {
    case Presence::NotRegistered:
        lines.push_back(state);
        return;
    case Presence::CouldNotBeRead:
        lines.push_back(state + L": " + failureText(task.error));
        return;
    case Presence::Registered:
        break;
    }
    state += L", ";
    if (task.enabled) {
        state += *task.enabled ? L"enabled" : L"disabled";
    } else {
        state += L"whether it is enabled could not be read";
    }
    if (!facts.taskNotTheProgram.empty()) {
        state += L"; not the program's task: " + facts.taskNotTheProgram;
    }
    lines.push_back(state);
    lines.push_back(accountLine(task));
    lines.push_back(triggersLine(task));
    lines.push_back(programLine(task, facts.taskLocation));
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
    lines.push_back(modelLine(facts.model, facts.support));
    lines.push_back(policyLine(facts.policy));
    lines.push_back(storedSetLine(facts.machineKey, facts.machine));
    lines.push_back(recordLine(StoredRoot::Machine, facts.machineLastRun, facts.machineRecordDistrust));
    lines.push_back(storedSetLine(facts.userKey, facts.user));
    lines.push_back(recordLine(StoredRoot::User, facts.userLastRun, facts.userRecordDistrust));
    lines.push_back(L"Run without arguments by this account: " + runText(facts.thisAccount));
    std::wstring startupRun = L"Run by the startup task (LocalSystem): " + runText(facts.startupTask);
    if (facts.localSystemKeyError != 0) {
        startupRun += L"; LocalSystem's own key could not be read (" + failureText(facts.localSystemKeyError)
            + L") and is taken as empty";
    }
    lines.push_back(startupRun);
    lines.push_back(eventSourceLine(facts));
    appendTaskLines(facts, lines);
    return lines;
}
