#include "status/StatusJson.h"

#include "settings/StoredColors.h"
#include "status/JsonWriter.h"
#include "status/StatusWords.h"
#include "status/StoredSetSummary.h"
#include "windows_wrappers/CalendarTime.h"

#include <optional>

namespace {

// Raised when a member changes its meaning or goes; new members keep it.
constexpr int jsonFormatVersion = 1;

template <typename T>
void optionalText(JsonWriter& json, const std::optional<T>& text)
{
    if (text) {
        json.string(*text);
    } else {
        json.null();
    }
}

// A table's identifier, or null where it has none.
void identifierOrNull(JsonWriter& json, const char* identifier)
{
    identifier != nullptr ? json.identifier(identifier) : json.null();
}

void writeModel(JsonWriter& json, const ModelFacts& model, ModelSupport support)
{
    const bool known = support != ModelSupport::Unknown;
    json.key("model").beginObject();
    json.key("text");
    optionalText(json, model.model);
    json.key("support");
    identifierOrNull(json, supportWords(support).identifier);
    json.key("error");
    known ? json.null() : json.string(model.error);
    json.endObject();
}

void writeValue(JsonWriter& json, const StoredValue& value, const ValueFacts& facts, std::size_t index)
{
    const bool exists = facts.state != ValueFacts::State::Missing;
    json.beginObject();
    json.key("name").string(valueNames[index]);
    json.key("state").identifier(valueStateWords(facts.state).identifier);
    json.key("type");
    exists ? json.string(registryTypeName(value.type)) : json.null();
    json.key("size");
    exists ? json.number(value.size) : json.null();
    json.key("stored");
    facts.used ? json.number(value.data) : json.null();
    json.key("used");
    facts.used ? json.number(*facts.used) : json.null();
    json.key("inItsPlace");
    identifierOrNull(json, fateWords(facts.fate).identifier);
    json.key("replacement");
    facts.replacement ? json.number(*facts.replacement) : json.null();
    json.endObject();
}

void writeRecord(JsonWriter& json, const std::optional<RecordFacts>& run);

void writeSet(JsonWriter& json, const StoredSet& set, const KeyFacts& key, const std::optional<RecordFacts>& lastRun,
              const std::wstring& recordDistrust)
{
    json.key(rootWords(key.root).identifier).beginObject();
    json.key("state").identifier(setStateWords(key.state).identifier);
    json.key("writable").boolean(set.writable);
    json.key("values").beginArray();
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        writeValue(json, set.values[i], key.values[i], i);
    }
    json.endArray();
    writeRecord(json, lastRun);
    json.key("lastRunUntrusted");
    recordDistrust.empty() ? json.null() : json.string(recordDistrust);
    json.endObject();
}

void writeZone(JsonWriter& json, const char* name, const Color& color, const std::uint8_t* brightness)
{
    json.key(name).beginObject();
    json.key("red").number(color.red);
    json.key("green").number(color.green);
    json.key("blue").number(color.blue);
    if (brightness != nullptr) {
        json.key("brightness").number(*brightness);
    }
    json.endObject();
}

// The member "policy".
void writePolicy(JsonWriter& json, const ColourPolicy& policy)
{
    const bool inForce = policy.state == PolicyState::InForce;
    const ZoneValues& values = policy.values;
    json.key("policy").beginObject();
    json.key("key").string(policyKeyName);
    json.key("state").identifier(policyStateWords(policy.state).identifier);
    json.key("fault");
    if (policy.state == PolicyState::Unusable) {
        json.beginObject().key("value").string(policy.faultValue).key("text").string(policyFaultText(policy));
        json.endObject();
    } else {
        json.null();
    }
    json.key("values");
    if (inForce) {
        json.beginObject();
        writeZone(json, "logo", Color(values[0], values[1], values[2]), &values[3]);
        writeZone(json, "lightBar", Color(values[4], values[5], values[6]), &values[7]);
        json.endObject();
    } else {
        json.null();
    }
    json.key("usersMayChange");
    inForce ? json.boolean(policy.usersMayChange) : json.null();
    json.endObject();
}

// The member "lastRun" of a key's object: null when none is recorded.
void writeRecord(JsonWriter& json, const std::optional<RecordFacts>& run)
{
    json.key("lastRun");
    if (!run) {
        json.null();
        return;
    }
    const LastRun& record = run->record;
    json.beginObject();
    json.key("time").string(record.time);
    json.key("account").string(record.account);
    json.key("request").identifier(recordIdentifier(requestWord(record.request)));
    json.key("source").identifier(recordIdentifier(sourceWord(record.source)));
    json.key("firmwareGot");
    if (record.firmwareGot) {
        json.beginObject();
        writeZone(json, "logo", record.firmwareGot->logo, nullptr);
        writeZone(json, "lightBar", record.firmwareGot->lightBar, nullptr);
        json.endObject();
    } else {
        json.null();
    }
    json.key("outcome").identifier(recordIdentifier(outcomeWord(record.outcome)));
    json.key("eventId");
    record.eventId ? json.number(*record.eventId) : json.null();
    json.key("step");
    record.step.empty() ? json.null() : json.string(record.step);
    json.key("code");
    record.code ? json.number(*record.code) : json.null();
    json.key("tries").number(record.tries);
    json.key("waitedMs").number(record.waitedMs);
    json.endObject();
}

void writeRun(JsonWriter& json, const char* name, const RunFacts& run,
              std::optional<std::int32_t> localSystemKeyError = std::nullopt)
{
    const bool sends = run.outcome == RunFacts::Outcome::Sends;
    const ZoneValues& values = run.plan.values;
    json.key(name).beginObject();
    json.key("sends").boolean(sends);
    json.key("reason");
    identifierOrNull(json, runOutcomeWords(run.outcome).identifier);
    json.key("reads");
    identifierOrNull(json, !sends ? nullptr : run.fromPolicy ? "policy" : rootWords(run.plan.reads).identifier);
    json.key("stores");
    identifierOrNull(json,
                     sends && run.plan.stores != StoredRoot::None ? rootWords(run.plan.stores).identifier : nullptr);
    json.key("applies");
    if (sends) {
        json.beginObject();
        writeZone(json, "logo", Color(values[0], values[1], values[2]), &values[3]);
        writeZone(json, "lightBar", Color(values[4], values[5], values[6]), &values[7]);
        json.endObject();
    } else {
        json.null();
    }
    json.key("firmwareGets");
    if (sends) {
        json.beginObject();
        writeZone(json, "logo", run.sent[0], nullptr);
        writeZone(json, "lightBar", run.sent[1], nullptr);
        json.endObject();
    } else {
        json.null();
    }
    if (localSystemKeyError) {
        json.key("localSystemKeyError");
        *localSystemKeyError == 0 ? json.null() : json.string(failureText(*localSystemKeyError));
    }
    json.endObject();
}

void writeEventSource(JsonWriter& json, const StatusFacts& facts)
{
    json.key("eventSource").beginObject();
    json.key("state").identifier(presenceWords(facts.eventSourcePresence).identifier);
    json.key("messageFile");
    optionalText(json, facts.eventSource.messageFile);
    json.key("error");
    facts.eventSourcePresence == Presence::CouldNotBeRead ? json.string(failureText(facts.eventSourceError))
                                                          : json.null();
    json.endObject();
}

void writeTriggers(JsonWriter& json, const std::optional<std::vector<TaskTrigger>>& triggers)
{
    json.key("triggers");
    if (!triggers) {
        json.null();
        return;
    }
    json.beginArray();
    for (const TaskTrigger& trigger : *triggers) {
        json.beginObject();
        json.key("type").identifier(triggerIdentifier(trigger.type));
        json.key("enabled").boolean(trigger.enabled);
        json.key("subscription");
        optionalText(json, trigger.subscription);
        json.endObject();
    }
    json.endArray();
}

void writeTask(JsonWriter& json, const StatusFacts& facts)
{
    const StartupTaskState& task = facts.task;
    const std::optional<LocationVerdict>& location = facts.taskLocation;
    const bool registered = facts.taskPresence == Presence::Registered;
    json.key("startupTask").beginObject();
    json.key("state").identifier(presenceWords(facts.taskPresence).identifier);
    json.key("error");
    facts.taskPresence == Presence::CouldNotBeRead ? json.string(failureText(task.error)) : json.null();
    json.key("enabled");
    task.enabled ? json.boolean(*task.enabled) : json.null();
    // Why the task under the name is not the program's; null when nothing
    // read says so.
    json.key("notTheProgram");
    facts.taskNotTheProgram.empty() ? json.null() : json.string(facts.taskNotTheProgram);
    json.key("userId");
    optionalText(json, task.userId);
    json.key("logonType");
    task.logonType ? json.identifier(logonIdentifier(*task.logonType)) : json.null();
    writeTriggers(json, task.triggers);
    json.key("program");
    optionalText(json, task.program);
    json.key("arguments");
    optionalText(json, task.arguments);
    json.key("locationCheck");
    if (location) {
        json.beginObject().key("passes").boolean(location->passes).key("reason");
        location->passes ? json.null() : json.string(location->reason);
        json.endObject();
    } else {
        json.null();
    }
    json.key("hasRun");
    registered&& task.lastRunRead ? json.boolean(task.lastRun.has_value()) : json.null();
    json.key("lastRunTime");
    facts.taskLastRunUtc ? json.string(calendarTimeText(*facts.taskLastRunUtc, L'T') + L"Z") : json.null();
    json.endObject();
}

void writeProblems(JsonWriter& json, const std::vector<Problem>& problems)
{
    json.key("problems").beginArray();
    for (const Problem problem : problems) {
        json.identifier(problemIdentifier(problem));
    }
    json.endArray();
}

} // namespace

std::string statusJson(const StatusFacts& facts)
{
    JsonWriter json;
    json.beginObject();
    json.key("formatVersion").number(jsonFormatVersion);
    json.key("version").string(facts.version);
    writeProblems(json, facts.problems);
    writeModel(json, facts.model, facts.support);
    writePolicy(json, facts.policy);
    writeSet(json, facts.machineKey, facts.machine, facts.machineLastRun, facts.machineRecordDistrust);
    writeSet(json, facts.userKey, facts.user, facts.userLastRun, facts.userRecordDistrust);
    writeRun(json, "thisAccountRun", facts.thisAccount);
    writeRun(json, "startupTaskRun", facts.startupTask, facts.localSystemKeyError);
    writeEventSource(json, facts);
    writeTask(json, facts);
    json.endObject();
    return json.text();
}
