#include "status/StatusDecisions.h"

#include "platform_check/ModelGeneration.h"
#include "settings/StoredColors.h"
#include "task_scheduler/TaskOwnership.h"

#include <algorithm>

namespace {

constexpr std::int32_t win32Facility = static_cast<std::int32_t>(0x80070000U);

ModelSupport supportOf(const ModelFacts& model)
{
    if (!model.model) {
        return ModelSupport::Unknown;
    }
    if (model.generation == firstGeneration) {
        return ModelSupport::Brightness;
    }
    return model.generation == secondGeneration ? ModelSupport::Colour : ModelSupport::NotSupported;
}

// A Win32 error as its HRESULT; zero and HRESULTs as they are.
std::int32_t fromWin32(std::int32_t error)
{
    return error <= 0 ? error : (error & 0xFFFF) | win32Facility;
}

bool allOf(const StoredSet& set, bool (*holds)(const StoredValue&))
{
    return std::all_of(set.values.begin(), set.values.end(), holds);
}

SetState setState(const StoredSet& set)
{
    if (allOf(set, [](const StoredValue& value) { return value.isDword(); })) {
        return SetState::Complete;
    }
    if (allOf(set, [](const StoredValue& value) { return value.answer == StoredValue::Answer::Missing; })) {
        return SetState::None;
    }
    return SetState::Incomplete;
}

// The number that takes the place of entry index: the stored default, or
// the model's default (nothing when no model's defaults are known).
std::optional<std::uint8_t> replacementFor(std::size_t index, ValueFate fate, const ZoneValues& modelDefaults)
{
    if (fate == ValueFate::DefaultWritten) {
        return vectorEntryFromStored(index, defaultStoredValue(index));
    }
    if (fate == ValueFate::ModelDefault && index < modelDefaults.size()) {
        return modelDefaults[index];
    }
    return std::nullopt;
}

ValueSummary valueSummary(const StoredValue& value, std::size_t index, const ZoneValues& modelDefaults)
{
    ValueSummary summary;
    summary.fate = fateOf(value);
    if (value.isDword()) {
        summary.state = ValueSummary::State::Stored;
        summary.used = vectorEntryFromStored(index, value.data);
        return summary;
    }
    summary.state =
        value.answer == StoredValue::Answer::Missing ? ValueSummary::State::Missing : ValueSummary::State::Unreadable;
    summary.replacement = replacementFor(index, summary.fate, modelDefaults);
    return summary;
}

KeySummary keySummary(const StoredSet& set, const ZoneValues& modelDefaults)
{
    KeySummary summary;
    summary.state = setState(set);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        summary.values[i] = valueSummary(set.values[i], i, modelDefaults);
    }
    return summary;
}

template <typename Registration>
Presence presenceOf(Registration registration)
{
    switch (registration) {
    case Registration::NotRegistered:
        return Presence::NotRegistered;
    case Registration::Registered:
        return Presence::Registered;
    case Registration::Unknown:
        break;
    }
    return Presence::CouldNotBeRead;
}

std::optional<LocationVerdict> locationVerdict(const StatusFacts& facts)
{
    if (facts.task.program && !checkableProgram(facts.task)) {
        return LocationVerdict{false, programPathReason(*facts.task.program)};
    }
    if (!facts.taskProgramLocation) {
        return std::nullopt;
    }
    const std::wstring reason = refusalReason(*facts.taskProgramLocation);
    return LocationVerdict{reason.empty(), reason};
}

// A task or source that cannot be read is no problem of the machine: the
// account that asks may not (run status as administrator).
std::vector<Problem> problemsOf(const StatusFacts& facts, const StatusDecisions& decided)
{
    std::vector<Problem> problems;
    const auto add = [&problems](bool holds, Problem problem) {
        if (holds) {
            problems.push_back(problem);
        }
    };
    add(decided.task == Presence::NotRegistered, Problem::TaskNotRegistered);
    add(decided.task == Presence::Registered && facts.task.enabled == false, Problem::TaskDisabled);
    add(decided.taskLocation && !decided.taskLocation->passes, Problem::TaskProgramRefused);
    add(!decided.taskNotTheProgram.empty(), Problem::TaskNotTheProgram);
    add(decided.eventSource == Presence::NotRegistered, Problem::EventSourceNotRegistered);
    add(decided.support == ModelSupport::NotSupported, Problem::ModelNotSupported);
    add(decided.support == ModelSupport::Unknown, Problem::ModelUnknown);
    add(facts.policy.state == PolicyState::Unusable, Problem::PolicyUnusable);
    add(decided.machine.state == SetState::Incomplete, Problem::MachineKeyIncomplete);
    // A run refused by the policy did what the policy asks.
    const auto outcome = facts.machineLastRun ? facts.machineLastRun->record.outcome : RunOutcome::Done;
    add(outcome != RunOutcome::Done && outcome != RunOutcome::RefusedByPolicy, Problem::LastRunFailed);
    add(!facts.machineRecordDistrust.empty(), Problem::RecordUntrusted);
    return problems;
}

} // namespace

std::optional<std::wstring> checkableProgram(const StartupTaskState& task)
{
    if (!task.program || !programPathReason(*task.program).empty()) {
        return std::nullopt;
    }
    return unquotedPath(*task.program);
}

StatusDecisions decide(const StatusFacts& facts)
{
    StatusDecisions decided;
    decided.support = supportOf(facts.model);
    decided.machine = keySummary(facts.machineKey, facts.modelDefaults);
    decided.user = keySummary(facts.userKey, facts.modelDefaults);
    // LocalSystem's own key counts only when the machine key lacks a value:
    // otherwise the machine's set is used whatever that key holds.
    const bool machineKeyWhole =
        allOf(facts.machineKey, [](const StoredValue& value) { return value.answer == StoredValue::Answer::Read; });
    decided.localSystemKeyError = machineKeyWhole ? 0 : fromWin32(facts.localSystemKeyReadError);
    decided.eventSource = presenceOf(facts.eventSource.registration);
    decided.eventSourceError = decided.eventSource == Presence::CouldNotBeRead ? fromWin32(facts.eventSource.error) : 0;
    decided.task = presenceOf(facts.task.registration);
    decided.taskLocation = locationVerdict(facts);
    decided.taskNotTheProgram = notTheProgramReason(facts.task);
    decided.problems = problemsOf(facts, decided);
    return decided;
}
