#include "status/StatusDecisions.h"

#include "platform_check/ModelGeneration.h"
#include "settings/StoredColors.h"
#include "status/StatusWords.h"
#include "task_scheduler/TaskOwnership.h"

#include <algorithm>

namespace {

ModelSupport supportOf(const ModelFacts& model)
{
    if (!model.model) {
        return ModelSupport::Unknown;
    }
    if (model.generation == firstGeneration) {
        return ModelSupport::Brightness;
    }
    if (model.generation == secondGeneration) {
        return ModelSupport::Colour;
    }
    return ModelSupport::NotSupported;
}

ValueFacts valueFacts(const StoredValue& value, std::size_t index, const ZoneValues& modelDefaults)
{
    ValueFacts facts;
    facts.fate = fateOf(value);
    if (value.isDword()) {
        facts.state = ValueFacts::State::Stored;
        facts.used = vectorEntryFromStored(index, value.data);
        return facts;
    }
    facts.state =
        value.answer == StoredValue::Answer::Missing ? ValueFacts::State::Missing : ValueFacts::State::Unreadable;
    facts.replacement = replacementFor(index, facts.fate, modelDefaults);
    return facts;
}

KeyFacts keyFacts(StoredRoot root, const StoredSet& set, const ZoneValues& modelDefaults)
{
    KeyFacts facts;
    facts.root = root;
    facts.state = setState(set);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        facts.values[i] = valueFacts(set.values[i], i, modelDefaults);
    }
    return facts;
}

void decideRun(RunFacts& run)
{
    const bool whole = run.sent.size() == 2 && run.plan.values.size() == zoneValueCount;
    if (run.outcome == RunFacts::Outcome::Sends && !whole) {
        run.outcome = RunFacts::Outcome::ModelNotSupported;
    }
}

bool allValuesExist(const StoredSet& set)
{
    return std::all_of(set.values.begin(), set.values.end(),
                       [](const StoredValue& value) { return value.answer == StoredValue::Answer::Read; });
}

Presence presenceOf(StartupTaskState::Registration registration)
{
    switch (registration) {
    case StartupTaskState::Registration::NotRegistered:
        return Presence::NotRegistered;
    case StartupTaskState::Registration::Registered:
        return Presence::Registered;
    case StartupTaskState::Registration::Unknown:
        break;
    }
    return Presence::CouldNotBeRead;
}

Presence presenceOf(EventSourceState::Registration registration)
{
    switch (registration) {
    case EventSourceState::Registration::NotRegistered:
        return Presence::NotRegistered;
    case EventSourceState::Registration::Registered:
        return Presence::Registered;
    case EventSourceState::Registration::Unknown:
        break;
    }
    return Presence::CouldNotBeRead;
}

// A task or source that cannot be read is no problem of the machine: the
// account that asks may not (run status as administrator).
std::vector<Problem> problemsOf(const StatusFacts& facts)
{
    std::vector<Problem> problems;
    const auto add = [&problems](bool holds, Problem problem) {
        if (holds) {
            problems.push_back(problem);
        }
    };
    add(facts.taskPresence == Presence::NotRegistered, Problem::TaskNotRegistered);
    add(facts.taskPresence == Presence::Registered && facts.task.enabled == false, Problem::TaskDisabled);
    add(facts.taskLocation && !facts.taskLocation->passes, Problem::TaskProgramRefused);
    add(!facts.taskNotTheProgram.empty(), Problem::TaskNotTheProgram);
    add(facts.eventSourcePresence == Presence::NotRegistered, Problem::EventSourceNotRegistered);
    add(facts.support == ModelSupport::NotSupported, Problem::ModelNotSupported);
    add(facts.support == ModelSupport::Unknown, Problem::ModelUnknown);
    add(facts.policy.state == PolicyState::Unusable, Problem::PolicyUnusable);
    add(facts.machine.state == SetState::Incomplete, Problem::MachineKeyIncomplete);
    // A run refused by the policy did what the policy asks.
    const auto outcome = facts.machineLastRun ? facts.machineLastRun->record.outcome : RunOutcome::Done;
    add(outcome != RunOutcome::Done && outcome != RunOutcome::RefusedByPolicy, Problem::LastRunFailed);
    add(!facts.machineRecordDistrust.empty(), Problem::RecordUntrusted);
    return problems;
}

} // namespace

void decideStatus(StatusFacts& facts)
{
    facts.support = supportOf(facts.model);
    facts.machine = keyFacts(StoredRoot::Machine, facts.machineKey, facts.modelDefaults);
    facts.user = keyFacts(StoredRoot::User, facts.userKey, facts.modelDefaults);
    decideRun(facts.thisAccount);
    decideRun(facts.startupTask);
    // LocalSystem's own key counts only when the machine key lacks a value:
    // otherwise the machine's set is used whatever that key holds.
    facts.localSystemKeyError = allValuesExist(facts.machineKey) ? 0 : fromWin32(facts.localSystemKeyReadError);
    facts.eventSourcePresence = presenceOf(facts.eventSource.registration);
    facts.eventSourceError =
        facts.eventSourcePresence == Presence::CouldNotBeRead ? fromWin32(facts.eventSource.error) : 0;
    facts.taskPresence = presenceOf(facts.task.registration);
    facts.taskNotTheProgram = notTheProgramReason(facts.task);
    facts.taskLocation.reset();
    // A path the check cannot stand for fails it with a reason of its own.
    const std::wstring pathReason = facts.task.program ? programPathReason(*facts.task.program) : std::wstring();
    if (!pathReason.empty()) {
        facts.taskLocation = LocationVerdict{false, pathReason};
    } else if (facts.taskProgramLocation) {
        const std::wstring reason = refusalReason(*facts.taskProgramLocation);
        facts.taskLocation = LocationVerdict{reason.empty(), reason};
    }
    facts.problems = problemsOf(facts);
}
