#include "status/StatusJson.h"

#include "platform_check/ModelGeneration.h"
#include "settings/StoredColors.h"
#include "status/JsonWriter.h"
#include "status/StatusWords.h"
#include "status/StoredSetSummary.h"
#include "task_scheduler/TaskOwnership.h"

#include <optional>

namespace {

template <typename T>
void optionalText(JsonWriter& json, const std::optional<T>& text)
{
    if (text) {
        json.string(*text);
    } else {
        json.null();
    }
}

void writeModel(JsonWriter& json, const ModelFacts& model)
{
    json.key("model").beginObject();
    json.key("text");
    optionalText(json, model.model);
    json.key("support");
    if (!model.model) {
        json.null();
    } else if (model.generation == firstGeneration) {
        json.identifier("brightness");
    } else if (model.generation == secondGeneration) {
        json.identifier("colour");
    } else {
        json.identifier("none");
    }
    json.key("error");
    if (model.model) {
        json.null();
    } else {
        json.string(model.error);
    }
    json.endObject();
}

const char* valueState(const StoredValue& value)
{
    switch (value.answer) {
    case StoredValue::Answer::Missing:
        return "missing";
    case StoredValue::Answer::Read:
        return value.isDword() ? "stored" : "unreadable";
    case StoredValue::Answer::Unreadable:
        break;
    }
    return "unreadable";
}

const char* placeIdentifier(ValueFate fate)
{
    switch (fate) {
    case ValueFate::DefaultWritten:
        return "defaultWritten";
    case ValueFate::ModelDefault:
        return "modelDefault";
    case ValueFate::BlocksKey:
        return "keyNotUsed";
    case ValueFate::Used:
        break;
    }
    return nullptr;
}

void writeValue(JsonWriter& json, const StoredValue& value, std::size_t index, const ZoneValues& modelDefaults)
{
    const bool exists = value.answer != StoredValue::Answer::Missing;
    const ValueFate fate = fateOf(value);
    json.beginObject();
    json.key("name").string(valueNames[index]);
    json.key("state").identifier(valueState(value));
    json.key("type");
    exists ? json.string(registryTypeName(value.type)) : json.null();
    json.key("size");
    exists ? json.number(value.size) : json.null();
    json.key("stored");
    value.isDword() ? json.number(value.data) : json.null();
    json.key("used");
    value.isDword() ? json.number(vectorEntryFromStored(index, value.data)) : json.null();
    json.key("inItsPlace");
    fate == ValueFate::Used ? json.null() : json.identifier(placeIdentifier(fate));
    json.key("replacement");
    const auto replacement = replacementFor(index, fate, modelDefaults);
    replacement ? json.number(*replacement) : json.null();
    json.endObject();
}

void writeSet(JsonWriter& json, const char* name, const StoredSet& set, const ZoneValues& modelDefaults)
{
    json.key(name).beginObject();
    const SetState state = setState(set);
    json.key("state").identifier(state == SetState::Complete   ? "complete"
                                     : state == SetState::None ? "none"
                                                               : "incomplete");
    json.key("writable").boolean(set.writable);
    json.key("values").beginArray();
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        writeValue(json, set.values[i], i, modelDefaults);
    }
    json.endArray().endObject();
}

void writeRoot(JsonWriter& json, StoredRoot root, const char* none)
{
    if (root == StoredRoot::None) {
        none != nullptr ? json.identifier(none) : json.null();
    } else {
        json.identifier(root == StoredRoot::Machine ? "machineKey" : "userKey");
    }
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

void writeRun(JsonWriter& json, const char* name, const RunFacts& run,
              std::optional<std::int32_t> localSystemKeyError = std::nullopt)
{
    const bool sends =
        run.outcome == RunFacts::Outcome::Sends && run.sent.size() == 2 && run.plan.values.size() == zoneValueCount;
    const ZoneValues& values = run.plan.values;
    json.key(name).beginObject();
    json.key("sends").boolean(sends);
    json.key("reason");
    if (sends) {
        json.null();
    } else {
        json.identifier(run.outcome == RunFacts::Outcome::ModelUnknown ? "modelUnknown" : "modelNotSupported");
    }
    json.key("reads");
    writeRoot(json, sends ? run.plan.reads : StoredRoot::None, sends ? "none" : nullptr);
    json.key("stores");
    writeRoot(json, sends ? run.plan.stores : StoredRoot::None, nullptr);
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
        *localSystemKeyError == 0 ? json.null() : json.string(failureText(fromWin32(*localSystemKeyError)));
    }
    json.endObject();
}

void writeEventSource(JsonWriter& json, const EventSourceState& source)
{
    using Registration = EventSourceState::Registration;
    json.key("eventSource").beginObject();
    json.key("state").identifier(source.registration == Registration::Registered          ? "registered"
                                     : source.registration == Registration::NotRegistered ? "notRegistered"
                                                                                          : "couldNotBeRead");
    json.key("messageFile");
    optionalText(json, source.messageFile);
    json.key("error");
    source.registration == Registration::Unknown ? json.string(failureText(fromWin32(source.error))) : json.null();
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

void writeTask(JsonWriter& json, const StartupTaskState& task, const std::optional<ProgramLocation>& location)
{
    using Registration = StartupTaskState::Registration;
    const bool registered = task.registration == Registration::Registered;
    json.key("startupTask").beginObject();
    json.key("state").identifier(registered                                             ? "registered"
                                     : task.registration == Registration::NotRegistered ? "notRegistered"
                                                                                        : "couldNotBeRead");
    json.key("error");
    task.registration == Registration::Unknown ? json.string(failureText(task.error)) : json.null();
    json.key("enabled");
    task.enabled ? json.boolean(*task.enabled) : json.null();
    // Why the task under the name is not the program's; null when nothing
    // read says so.
    const std::wstring notTheProgram = notTheProgramReason(task);
    json.key("notTheProgram");
    notTheProgram.empty() ? json.null() : json.string(notTheProgram);
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
    const std::wstring pathReason = task.program ? programPathReason(*task.program) : std::wstring();
    if (!pathReason.empty()) {
        json.beginObject().key("passes").boolean(false).key("reason").string(pathReason).endObject();
    } else if (location) {
        const std::wstring reason = refusalReason(*location);
        json.beginObject().key("passes").boolean(reason.empty()).key("reason");
        reason.empty() ? json.null() : json.string(reason);
        json.endObject();
    } else {
        json.null();
    }
    json.key("hasRun");
    registered&& task.lastRunRead ? json.boolean(task.lastRun.has_value()) : json.null();
    json.key("lastRunTime");
    task.lastRun ? json.string(taskTimeText(*task.lastRun, L'T')) : json.null();
    json.endObject();
}

} // namespace

std::string statusJson(const StatusFacts& facts)
{
    JsonWriter json;
    json.beginObject();
    json.key("version").string(facts.version);
    writeModel(json, facts.model);
    writeSet(json, "machineKey", facts.machineKey, facts.modelDefaults);
    writeSet(json, "userKey", facts.userKey, facts.modelDefaults);
    writeRun(json, "thisAccountRun", facts.thisAccount);
    writeRun(json, "startupTaskRun", facts.startupTask, facts.localSystemKeyError);
    writeEventSource(json, facts.eventSource);
    writeTask(json, facts.task, facts.taskProgramLocation);
    json.endObject();
    return json.text();
}
