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

bool canBeCompleted(const StoredSet& set)
{
    // A REG_DWORD that cannot be read is left alone, and the root with it; a
    // missing value, or an oversized one of another type, gets the default.
    return set.writable && std::none_of(set.values.begin(), set.values.end(), [](const StoredValue& value) {
               return value.answer == StoredValue::Answer::Unreadable && value.type == registryDwordType;
           });
}

RestorePlan planRestore(const StoredSet& machine, const StoredSet& user, const ZoneValues& modelDefaults)
{
    RestorePlan plan;
    plan.values = modelDefaults;
    plan.sources.fill(EntrySource::ModelDefault);
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

    const StoredSet& read = setOf(plan.reads, machine, user);
    const bool completed = plan.completes == plan.reads;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue& value = read.values[i];
        if (value.isDword()) {
            plan.values[i] = vectorEntryFromStored(i, value.data);
            plan.sources[i] = EntrySource::Stored;
        } else if (completed && value.answer != StoredValue::Answer::Read) {
            plan.values[i] = vectorEntryFromStored(i, defaultStoredValue(i));
            plan.sources[i] = EntrySource::DefaultWritten;
        }
    }
    return plan;
}
