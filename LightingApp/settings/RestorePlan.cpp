#include "settings/RestorePlan.h"

#include <algorithm>

namespace {

bool allExist(const StoredSet& set)
{
    return std::all_of(set.values.begin(), set.values.end(),
                       [](const StoredValue& value) { return value.answer == StoredValue::Answer::Read; });
}

bool allDwords(const StoredSet& set)
{
    return std::all_of(set.values.begin(), set.values.end(), [](const StoredValue& value) { return value.isDword(); });
}

// A set of the root's own: complete, and in a key this process may write.
bool completeAndWritable(const StoredSet& set)
{
    return set.writable && allExist(set);
}

const StoredSet& setOf(StoredRoot root, const StoredSet& machine, const StoredSet& user)
{
    return root == StoredRoot::Machine ? machine : user;
}

} // namespace

ValueFate fateOf(const StoredValue& value)
{
    if (value.isDword()) {
        return ValueFate::Used;
    }
    switch (value.answer) {
    case StoredValue::Answer::Read:
        return ValueFate::ModelDefault;
    case StoredValue::Answer::Unreadable:
        return value.type == registryDwordType ? ValueFate::BlocksKey : ValueFate::DefaultWritten;
    case StoredValue::Answer::Missing:
        break;
    }
    return ValueFate::DefaultWritten;
}

bool canBeCompleted(const StoredSet& set)
{
    return set.writable && std::none_of(set.values.begin(), set.values.end(), [](const StoredValue& value) {
               return fateOf(value) == ValueFate::BlocksKey;
           });
}

RestorePlan planRestore(const StoredSet& machine, const StoredSet& user, const ZoneValues& modelDefaults)
{
    RestorePlan plan;
    plan.values = modelDefaults;
    plan.sources.fill(ValueFate::ModelDefault);
    if (canBeCompleted(machine)) {
        plan.stores = StoredRoot::Machine;
    } else if (canBeCompleted(user)) {
        plan.stores = StoredRoot::User;
    }

    const bool anySetStored = completeAndWritable(machine) || completeAndWritable(user) || allDwords(machine);
    if (!anySetStored || plan.values.size() != storedValueCount) {
        return plan;
    }
    if (canBeCompleted(machine)) {
        plan.completes = StoredRoot::Machine;
        plan.reads = StoredRoot::Machine;
    } else if (canBeCompleted(user)) {
        plan.completes = StoredRoot::User;
        // Looked at before the user root is completed: a user without a set
        // of their own starts from the machine's.
        plan.reads = !completeAndWritable(user) && allDwords(machine) ? StoredRoot::Machine : StoredRoot::User;
    } else {
        return plan;
    }

    // A root read without being completed holds eight REG_DWORDs (see
    // above), so every value it holds is used as it is.
    const StoredSet& read = setOf(plan.reads, machine, user);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue& value = read.values[i];
        plan.sources[i] = fateOf(value);
        if (plan.sources[i] == ValueFate::Used) {
            plan.values[i] = vectorEntryFromStored(i, value.data);
        } else if (plan.sources[i] == ValueFate::DefaultWritten) {
            plan.values[i] = vectorEntryFromStored(i, defaultStoredValue(i));
        }
    }
    return plan;
}
