#include "status/StatusSections.h"

#include "json_writer/JsonWriter.h"
#include "settings/StoredColors.h"
#include "status/StatusDecisions.h"
#include "windows_wrappers/CalendarTime.h"
#include "windows_wrappers/Utf8.h"

#include <array>

// Each section writes its lines and its JSON member together, its words in a
// switch beside it, so that a fact is worded once for both forms and a new
// case of an enum is named by the compiler.

namespace {

// Raised when a member changes its meaning or goes; new members keep it.
constexpr int jsonFormatVersion = 1;
constexpr std::int32_t accessDenied = static_cast<std::int32_t>(0x80070005U);
constexpr std::int32_t schedulerNotRunning = static_cast<std::int32_t>(0x80041315U);

// Both forms as the sections write them.
struct Report {
    std::vector<std::wstring> lines;
    JsonWriter json;
};

// A fact in the lines' words and as the JSON's identifier (nullptr: null).
struct Words {
    const wchar_t* text;
    const char* identifier;
};

std::wstring number(std::uint32_t value)
{
    return std::to_wstring(value);
}

// Why a question was refused or failed: "access denied (0x80070005)", or
// the status alone ("0x80041315") for one without a name here.
std::wstring failureText(std::int32_t status)
{
    std::wstring code = L"0x" + widenAscii(hexCode(status));
    switch (status) {
    case accessDenied:
        return L"access denied (" + code + L")";
    case schedulerNotRunning:
        return L"the Task Scheduler service is not running (" + code + L")";
    default:
        return code;
    }
}

const char* identifierOf(Problem problem)
{
    switch (problem) {
    case Problem::TaskNotRegistered:
        return "taskNotRegistered";
    case Problem::TaskDisabled:
        return "taskDisabled";
    case Problem::TaskProgramRefused:
        return "taskProgramRefused";
    case Problem::TaskNotTheProgram:
        return "taskNotTheProgram";
    case Problem::EventSourceNotRegistered:
        return "eventSourceNotRegistered";
    case Problem::ModelNotSupported:
        return "modelNotSupported";
    case Problem::ModelUnknown:
        return "modelUnknown";
    case Problem::PolicyUnusable:
        return "policyUnusable";
    case Problem::MachineKeyIncomplete:
        return "machineKeyIncomplete";
    case Problem::LastRunFailed:
        return "lastRunFailed";
    case Problem::RecordUntrusted:
        return "recordUntrusted";
    }
    return "";
}

// The member "problems" (the lines leave them to the facts they list).
void problemsSection(Report& report, const std::vector<Problem>& problems)
{
    report.json.key("problems").beginArray();
    for (const Problem problem : problems) {
        report.json.identifier(identifierOf(problem));
    }
    report.json.endArray();
}

Words wordsOf(ModelSupport support)
{
    switch (support) {
    case ModelSupport::NotSupported:
        return {L"not supported", "none"};
    case ModelSupport::Brightness:
        return {L"first generation: brightness only", "brightness"};
    case ModelSupport::Colour:
        return {L"second generation: colour", "colour"};
    case ModelSupport::Unknown:
        break;
    }
    return {L"unknown", nullptr};
}

void modelSection(Report& report, const ModelFacts& model, ModelSupport support)
{
    const Words words = wordsOf(support);
    const bool known = support != ModelSupport::Unknown;
    report.lines.push_back(known ? L"Model: " + quoted(model.model.value_or(L"")) + L" (" + words.text + L")"
                                 : L"Model: " + std::wstring(words.text) + L" (Platform check failed: " + model.error
                                   + L")");
    report.json.key("model").beginObject();
    report.json.key("text").orNull(model.model);
    report.json.key("support").identifierOrNull(words.identifier);
    report.json.key("error").orNull(when(!known, model.error));
    report.json.endObject();
}

// "R G B at B %" for the zone whose entries start at first, each entry as
// numberAt shows it.
template <typename NumberAt>
std::wstring zoneText(NumberAt numberAt, std::size_t first)
{
    return numberAt(first) + L" " + numberAt(first + 1) + L" " + numberAt(first + 2) + L" at " + numberAt(first + 3)
        + L" %";
}

std::wstring appliedZones(const ZoneValues& values)
{
    const auto numberAt = [&values](std::size_t index) { return number(values[index]); };
    return L"logo " + zoneText(numberAt, 0) + L", light bar " + zoneText(numberAt, 4);
}

std::wstring sentZones(const Color& logo, const Color& lightBar)
{
    const auto bytes = [](const Color& color) {
        return number(color.red) + L" " + number(color.green) + L" " + number(color.blue);
    };
    return L"logo " + bytes(logo) + L", light bar " + bytes(lightBar);
}

void zoneMember(JsonWriter& json, const char* name, const Color& color, std::optional<std::uint8_t> brightness)
{
    json.key(name).beginObject();
    json.key("red").number(color.red).key("green").number(color.green).key("blue").number(color.blue);
    if (brightness) {
        json.key("brightness").number(*brightness);
    }
    json.endObject();
}

// The zones of a zone colour vector with their brightness; null for none.
void appliedMember(JsonWriter& json, const ZoneValues* values)
{
    if (values == nullptr) {
        json.null();
        return;
    }
    const ZoneValues& v = *values;
    json.beginObject();
    zoneMember(json, "logo", Color(v[0], v[1], v[2]), v[3]);
    zoneMember(json, "lightBar", Color(v[4], v[5], v[6]), v[7]);
    json.endObject();
}

// The bytes the firmware gets or got for each zone; null for none.
void bytesMember(JsonWriter& json, const std::optional<ZoneBytes>& bytes)
{
    if (!bytes) {
        json.null();
        return;
    }
    json.beginObject();
    zoneMember(json, "logo", bytes->logo, std::nullopt);
    zoneMember(json, "lightBar", bytes->lightBar, std::nullopt);
    json.endObject();
}

Words wordsOf(PolicyState state)
{
    switch (state) {
    case PolicyState::None:
        break;
    case PolicyState::InForce:
        return {L"in force", "inForce"};
    case PolicyState::Unusable:
        return {L"unusable", "unusable"};
    }
    return {L"none", "none"};
}

// "Policy (HKLM\\...): none", "... in force, logo R G B at B %, ...; users may
// change the lighting: no", or "... unusable: REASON; runs go on as without it".
void policySection(Report& report, const ColourPolicy& policy)
{
    const Words words = wordsOf(policy.state);
    const bool inForce = policy.state == PolicyState::InForce;
    const bool unusable = policy.state == PolicyState::Unusable;
    std::wstring line = L"Policy (" + std::wstring(policyKeyName) + L"): " + words.text;
    if (inForce) {
        line += L", " + appliedZones(policy.values);
        line += std::wstring(L"; users may change the lighting: ") + (policy.usersMayChange ? L"yes" : L"no");
    } else if (unusable) {
        line += L": " + policyFaultText(policy) + L"; runs go on as without it";
    }
    report.lines.push_back(line);
    JsonWriter& json = report.json;
    json.key("policy").beginObject();
    json.key("key").string(policyKeyName);
    json.key("state").identifier(words.identifier);
    json.key("fault");
    if (unusable) {
        json.beginObject().key("value").string(policy.faultValue).key("text").string(policyFaultText(policy));
        json.endObject();
    } else {
        json.null();
    }
    json.key("values");
    appliedMember(json, inForce ? &policy.values : nullptr);
    json.key("usersMayChange").orNull(when(inForce, policy.usersMayChange));
    json.endObject();
}

Words wordsOf(StoredRoot root)
{
    switch (root) {
    case StoredRoot::None:
        break;
    case StoredRoot::Machine:
        return {L"machine", "machineKey"};
    case StoredRoot::User:
        return {L"user", "userKey"};
    }
    return {L"", "none"};
}

Words wordsOf(SetState state)
{
    switch (state) {
    case SetState::Complete:
        return {L"complete", "complete"};
    case SetState::Incomplete:
        return {L"incomplete", "incomplete"};
    case SetState::None:
        break;
    }
    return {L"none", "none"};
}

Words wordsOf(ValueSummary::State state)
{
    switch (state) {
    case ValueSummary::State::Stored:
        return {L"stored", "stored"};
    case ValueSummary::State::Missing:
        return {L"missing", "missing"};
    case ValueSummary::State::Unreadable:
        break;
    }
    return {L"unreadable", "unreadable"};
}

// What takes a value's place: the text with # where the replacement goes,
// the text for one not known, and the identifier; nullptrs for a used value.
struct FateWords {
    const wchar_t* text;
    const wchar_t* textWithoutNumber;
    const char* identifier;
};

FateWords wordsOf(ValueFate fate)
{
    switch (fate) {
    case ValueFate::Used:
        break;
    case ValueFate::DefaultWritten:
        return {L"a run that reads this key writes # in its place",
                L"a run that reads this key writes its default in its place", "defaultWritten"};
    case ValueFate::ModelDefault:
        // The run stores the whole vector it applied, so the value becomes a
        // REG_DWORD of the model's default.
        return {L"a run that reads this key writes the model's default, #, in its place",
                L"a run that reads this key writes the model's default in its place", "modelDefault"};
    case ValueFate::BlocksKey:
        return {L"no run reads or writes this key while it is there",
                L"no run reads or writes this key while it is there", "keyNotUsed"};
    }
    return {nullptr, nullptr, nullptr};
}

// "REG_SZ", "REG_BINARY", ... by the registry's type number; "type N" for a
// type without a name here.
std::wstring registryTypeName(std::uint32_t type)
{
    static constexpr std::array<const wchar_t*, 12> names = {
        L"REG_NONE",
        L"REG_SZ",
        L"REG_EXPAND_SZ",
        L"REG_BINARY",
        L"REG_DWORD",
        L"REG_DWORD_BIG_ENDIAN",
        L"REG_LINK",
        L"REG_MULTI_SZ",
        L"REG_RESOURCE_LIST",
        L"REG_FULL_RESOURCE_DESCRIPTOR",
        L"REG_RESOURCE_REQUIREMENTS_LIST",
        L"REG_QWORD",
    };
    return type < names.size() ? names[type] : L"type " + std::to_wstring(type);
}

// One value of a key: its JSON object, and for one not used, why, and what a
// run that reads the key puts in its place ("; Z1_Blue is missing: ...").
std::wstring valueEntry(JsonWriter& json, const StoredValue& value, const ValueSummary& summary, std::size_t index)
{
    const bool exists = summary.state != ValueSummary::State::Missing;
    const Words state = wordsOf(summary.state);
    const FateWords fate = wordsOf(summary.fate);
    json.beginObject();
    json.key("name").string(valueNames[index]);
    json.key("state").identifier(state.identifier);
    json.key("type").orNull(when(exists, registryTypeName(value.type)));
    json.key("size").orNull(when(exists, value.size));
    json.key("stored").orNull(when(summary.used.has_value(), value.data));
    json.key("used").orNull(summary.used);
    json.key("inItsPlace").identifierOrNull(fate.identifier);
    json.key("replacement").orNull(summary.replacement);
    json.endObject();
    if (summary.fate == ValueFate::Used) {
        return {};
    }
    std::wstring what = L"; " + std::wstring(valueNames[index]) + L" is " + state.text;
    if (summary.state == ValueSummary::State::Unreadable) {
        what += L" (" + registryTypeName(value.type) + L" of " + number(value.size) + L" bytes)";
    }
    std::wstring place = summary.replacement ? fate.text : fate.textWithoutNumber;
    const std::size_t mark = place.find(L'#');
    if (mark != std::wstring::npos) {
        place.replace(mark, 1, number(summary.replacement.value_or(0)));
    }
    return what + L": " + place;
}

const wchar_t* textOf(ColourSource source)
{
    switch (source) {
    case ColourSource::Policy:
        return L"the policy";
    case ColourSource::MachineKey:
        return L"the machine key";
    case ColourSource::UserKey:
        return L"the user key";
    case ColourSource::ModelDefaults:
        return L"the model's defaults";
    case ColourSource::CommandLine:
        break;
    }
    return L"the command line";
}

const wchar_t* textOf(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Done:
        return L"done";
    case RunOutcome::RefusedByPolicy:
        return L"refused by the policy";
    case RunOutcome::PlatformCheckFailed:
        return L"failed: the platform check failed";
    case RunOutcome::FirmwareCallFailed:
        return L"failed: the firmware call failed";
    case RunOutcome::FirmwareRefused:
        return L"failed: the firmware refused the command";
    case RunOutcome::NotStored:
        return L"failed: the colours could not be stored";
    case RunOutcome::Unexpected:
        break;
    }
    return L"failed: something unexpected stopped it";
}

// Milliseconds as seconds with one decimal: "15.5".
std::wstring secondsText(std::uint32_t milliseconds)
{
    return std::to_wstring(milliseconds / 1000) + L"." + std::to_wstring(milliseconds % 1000 / 100);
}

// A record's time, account, request, source, the bytes the firmware got and
// the outcome. Its texts are the registry's, quoted and escaped.
std::wstring recordText(const RecordFacts& run)
{
    const LastRun& record = run.record;
    std::wstring text = quoted(record.time) + L", "
        + (run.accountName.empty() ? quoted(record.account)
                                   : quoted(run.accountName) + L" (" + quoted(record.account) + L")");
    // The request in the record's own word ("restore", "colours", ...).
    text += L", " + std::wstring(requestWord(record.request)) + L" from " + textOf(record.source);
    if (record.firmwareGot) {
        text += L", the firmware got " + sentZones(record.firmwareGot->logo, record.firmwareGot->lightBar);
    }
    text += std::wstring(L"; ") + textOf(record.outcome);
    if (record.tries > 1) {
        text += L" after " + std::to_wstring(record.tries) + L" tries in " + secondsText(record.waitedMs) + L" s";
    }
    if (record.eventId) {
        text += L" (event " + std::to_wstring(*record.eventId);
        if (!record.step.empty()) {
            text += L", " + quoted(record.step);
        }
        if (record.code) {
            text += L", code "
                + (record.outcome == RunOutcome::FirmwareCallFailed
                       ? L"0x" + widenAscii(hexCode(static_cast<std::int32_t>(*record.code)))
                       : std::to_wstring(*record.code));
        }
        text += L")";
    }
    return text;
}

// The members "lastRun" (the JSON takes the record's own words) and
// "lastRunUntrusted" of a key's object.
void recordMembers(JsonWriter& json, const std::optional<RecordFacts>& run, const std::wstring& distrust)
{
    json.key("lastRun");
    if (!run) {
        json.null();
    } else {
        const LastRun& record = run->record;
        json.beginObject();
        json.key("time").string(record.time);
        json.key("account").string(record.account);
        json.key("request").string(requestWord(record.request));
        json.key("source").string(sourceWord(record.source));
        json.key("firmwareGot");
        bytesMember(json, record.firmwareGot);
        json.key("outcome").string(outcomeWord(record.outcome));
        json.key("eventId").orNull(record.eventId);
        json.key("step").orNull(when(!record.step.empty(), record.step));
        json.key("code").orNull(record.code);
        json.key("tries").number(record.tries);
        json.key("waitedMs").number(record.waitedMs);
        json.endObject();
    }
    json.key("lastRunUntrusted").orNull(when(!distrust.empty(), distrust));
}

// A colours key with the record of its last run: "Stored colours in the
// machine key: ..." and "Last run recorded in the machine key: ...", and the
// member "machineKey".
void keySection(Report& report, StoredRoot root, const StoredSet& set, const KeySummary& key,
                const std::optional<RecordFacts>& run, const std::wstring& distrust)
{
    const std::wstring keyName = L" the " + std::wstring(wordsOf(root).text) + L" key: ";
    JsonWriter& json = report.json;
    json.key(wordsOf(root).identifier).beginObject();
    json.key("state").identifier(wordsOf(key.state).identifier);
    json.key("writable").boolean(set.writable);
    json.key("values").beginArray();
    std::wstring notUsed;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        notUsed += valueEntry(json, set.values[i], key.values[i], i);
    }
    json.endArray();
    recordMembers(json, run, distrust);
    json.endObject();

    // A stored value as a zone shows it: the number, with what is used when
    // that differs; "?" for one that is not a readable REG_DWORD.
    const auto storedNumber = [&](std::size_t index) {
        const std::optional<std::uint8_t> used = key.values[index].used;
        const std::uint32_t stored = set.values[index].data;
        return !used ? L"?" : *used == stored ? number(stored) : number(stored) + L" (used as " + number(*used) + L")";
    };
    std::wstring line = L"Stored colours in" + keyName + wordsOf(key.state).text;
    if (key.state != SetState::None) {
        line += L", logo " + zoneText(storedNumber, 0) + L", light bar " + zoneText(storedNumber, 4) + notUsed;
    }
    report.lines.push_back(line);
    report.lines.push_back(L"Last run recorded in" + keyName
                           + (!distrust.empty() ? L"not shown, its key is not trusted: " + distrust
                                  : run         ? recordText(*run)
                                                : L"none"));
}

Words wordsOf(RunFacts::Outcome outcome)
{
    switch (outcome) {
    case RunFacts::Outcome::Sends:
        break;
    case RunFacts::Outcome::ModelNotSupported:
        return {L"the model is not supported", "modelNotSupported"};
    case RunFacts::Outcome::ModelUnknown:
        return {L"the model could not be read", "modelUnknown"};
    }
    return {L"", nullptr};
}

std::wstring runText(const RunFacts& run)
{
    if (run.outcome != RunFacts::Outcome::Sends) {
        return L"sends nothing (" + std::wstring(wordsOf(run.outcome).text) + L")";
    }
    const RestorePlan& plan = run.plan;
    const std::wstring firmwareGets = L"; the firmware gets " + sentZones(run.sent[0], run.sent[1]);
    if (run.fromPolicy) {
        return L"reads the policy; applies " + appliedZones(plan.values) + firmwareGets
            + L"; stores nothing (the policy is in force)";
    }
    const auto keyName = [](StoredRoot root) { return L"the " + std::wstring(wordsOf(root).text) + L" key"; };
    std::wstring text = plan.reads == StoredRoot::None ? L"uses no stored set; applies the model's defaults, "
                                                       : L"reads " + keyName(plan.reads) + L"; applies ";
    text += appliedZones(plan.values) + firmwareGets;
    text += plan.stores == StoredRoot::None ? L"; stores nothing (neither key may be written)"
                                            : L"; stores to " + keyName(plan.stores);
    return text;
}

// A previewed run: its line, and its member; the startup task's also says
// whether LocalSystem's own key could not be read when that matters.
void runSection(Report& report, const wchar_t* label, const char* member, const RunFacts& run,
                std::optional<std::int32_t> localSystemKeyError)
{
    const bool sends = run.outcome == RunFacts::Outcome::Sends;
    const bool keyError = localSystemKeyError.value_or(0) != 0;
    std::wstring line = label + runText(run);
    if (keyError) {
        line += L"; LocalSystem's own key could not be read (" + failureText(*localSystemKeyError)
            + L") and is taken as empty";
    }
    report.lines.push_back(line);
    JsonWriter& json = report.json;
    json.key(member).beginObject();
    json.key("sends").boolean(sends);
    json.key("reason").identifierOrNull(wordsOf(run.outcome).identifier);
    json.key("reads").identifierOrNull(!sends               ? nullptr
                                           : run.fromPolicy ? "policy"
                                                            : wordsOf(run.plan.reads).identifier);
    json.key("stores").identifierOrNull(
        sends && run.plan.stores != StoredRoot::None ? wordsOf(run.plan.stores).identifier : nullptr);
    json.key("applies");
    appliedMember(json, sends ? &run.plan.values : nullptr);
    json.key("firmwareGets");
    bytesMember(json, sends ? std::optional(ZoneBytes{run.sent[0], run.sent[1]}) : std::nullopt);
    if (localSystemKeyError) {
        json.key("localSystemKeyError").orNull(when(keyError, failureText(*localSystemKeyError)));
    }
    json.endObject();
}

Words wordsOf(Presence presence)
{
    switch (presence) {
    case Presence::NotRegistered:
        return {L"not registered", "notRegistered"};
    case Presence::Registered:
        return {L"registered", "registered"};
    case Presence::CouldNotBeRead:
        break;
    }
    return {L"could not be read", "couldNotBeRead"};
}

void eventSourceSection(Report& report, const EventSourceState& source, const StatusDecisions& decided)
{
    const bool unread = decided.eventSource == Presence::CouldNotBeRead;
    std::wstring line = L"Event source: " + std::wstring(wordsOf(decided.eventSource).text);
    if (decided.eventSource == Presence::Registered) {
        line += source.messageFile ? L", message file " + quoted(*source.messageFile) : L", without a message file";
    } else if (unread) {
        line += L": " + failureText(decided.eventSourceError);
    }
    report.lines.push_back(line);
    report.json.key("eventSource").beginObject();
    report.json.key("state").identifier(wordsOf(decided.eventSource).identifier);
    report.json.key("messageFile").orNull(source.messageFile);
    report.json.key("error").orNull(when(unread, failureText(decided.eventSourceError)));
    report.json.endObject();
}

// A type of the Task Scheduler's by its number, in words.
struct NumberedWords {
    std::int32_t type;
    Words words;
};

// Trigger types (TASK_TRIGGER_TYPE2) and logon types (TASK_LOGON_TYPE).
constexpr std::array<NumberedWords, 11> triggerTypes = {{
    {0, {L"on an event", "event"}},
    {1, {L"at a time", "time"}},
    {2, {L"daily", "daily"}},
    {3, {L"weekly", "weekly"}},
    {4, {L"monthly", "monthly"}},
    {5, {L"monthly on a day of the week", "monthlyDayOfWeek"}},
    {6, {L"when idle", "idle"}},
    {7, {L"when registered", "registration"}},
    {8, {L"at boot", "boot"}},
    {9, {L"at log on", "logon"}},
    {11, {L"on a session state change", "sessionStateChange"}},
}};
constexpr std::array<NumberedWords, 7> logonTypes = {{
    {0, {L"no logon", "none"}},
    {1, {L"password", "password"}},
    {2, {L"without a password (S4U)", "s4u"}},
    {3, {L"the user's own session", "interactiveToken"}},
    {4, {L"group", "group"}},
    {5, {L"service account", "serviceAccount"}},
    {6, {L"the user's own session or password", "interactiveTokenOrPassword"}},
}};

// The words of a type; nullptrs for one without a name here.
template <std::size_t N>
Words wordsOf(const std::array<NumberedWords, N>& table, std::int32_t type)
{
    for (const NumberedWords& entry : table) {
        // cppcheck-suppress useStlAlgorithm
        if (entry.type == type) {
            return entry.words;
        }
    }
    return {nullptr, nullptr};
}

// The words of a numbered type, or unnamed followed by its number; the
// identifier, or "type N".
std::wstring textOf(Words words, std::int32_t type, const wchar_t* unnamed)
{
    return words.text != nullptr ? words.text : unnamed + std::to_wstring(type);
}

std::string identifierOf(Words words, std::int32_t type)
{
    return words.identifier != nullptr ? words.identifier : "type " + std::to_string(type);
}

std::wstring taskStateLine(const StartupTaskState& task, const StatusDecisions& decided)
{
    std::wstring state = L"Startup task: " + std::wstring(wordsOf(decided.task).text);
    if (decided.task == Presence::CouldNotBeRead) {
        return state + L": " + failureText(task.error);
    }
    if (decided.task == Presence::NotRegistered) {
        return state;
    }
    state += L", ";
    state += !task.enabled ? L"whether it is enabled could not be read" : *task.enabled ? L"enabled" : L"disabled";
    if (!decided.taskNotTheProgram.empty()) {
        state += L"; not the program's task: " + decided.taskNotTheProgram;
    }
    return state;
}

std::wstring accountLine(const StartupTaskState& task)
{
    if (!task.userId) {
        return L"Startup task account: could not be read";
    }
    std::wstring line = L"Startup task account: " + quoted(*task.userId);
    if (task.logonType) {
        line += L" (" + textOf(wordsOf(logonTypes, *task.logonType), *task.logonType, L"logon type ") + L")";
    }
    return line;
}

// The lines' triggers and the member "triggers".
std::wstring triggersEntry(JsonWriter& json, const std::optional<std::vector<TaskTrigger>>& triggers)
{
    json.key("triggers");
    if (!triggers) {
        json.null();
        return L"Startup task triggers: could not be read";
    }
    std::wstring line = L"Startup task triggers: ";
    json.beginArray();
    for (const TaskTrigger& trigger : *triggers) {
        const Words words = wordsOf(triggerTypes, trigger.type);
        json.beginObject();
        json.key("type").identifier(identifierOf(words, trigger.type));
        json.key("enabled").boolean(trigger.enabled);
        json.key("subscription").orNull(trigger.subscription);
        json.endObject();
        line += (&trigger == &triggers->front() ? L"" : L", ") + textOf(words, trigger.type, L"of type ");
        line += trigger.subscription ? L" " + quoted(*trigger.subscription) : L"";
        line += trigger.enabled ? L"" : L" (disabled)";
    }
    json.endArray();
    return triggers->empty() ? line + L"none" : line;
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
    return L"Startup task last run: "
        + (task.lastRun ? calendarTimeText(*task.lastRun, L' ') + L" (local time)" : std::wstring(L"never"));
}

// The startup task: one line when it is not registered or could not be read,
// else five; and the member "startupTask".
void taskSection(Report& report, const StatusFacts& facts, const StatusDecisions& decided)
{
    const StartupTaskState& task = facts.task;
    const std::optional<LocationVerdict>& location = decided.taskLocation;
    JsonWriter& json = report.json;
    json.key("startupTask").beginObject();
    json.key("state").identifier(wordsOf(decided.task).identifier);
    json.key("error").orNull(when(decided.task == Presence::CouldNotBeRead, failureText(task.error)));
    json.key("enabled").orNull(task.enabled);
    json.key("notTheProgram").orNull(when(!decided.taskNotTheProgram.empty(), decided.taskNotTheProgram));
    json.key("userId").orNull(task.userId);
    json.key("logonType")
        .orNull(task.logonType ? std::optional(identifierOf(wordsOf(logonTypes, *task.logonType), *task.logonType))
                               : std::nullopt);
    const std::wstring triggersLine = triggersEntry(json, task.triggers);
    json.key("program").orNull(task.program);
    json.key("arguments").orNull(task.arguments);
    json.key("locationCheck");
    if (location) {
        json.beginObject().key("passes").boolean(location->passes);
        json.key("reason").orNull(when(!location->passes, location->reason)).endObject();
    } else {
        json.null();
    }
    json.key("hasRun").orNull(when(decided.task == Presence::Registered && task.lastRunRead, task.lastRun.has_value()));
    json.key("lastRunTime")
        .orNull(facts.taskLastRunUtc ? std::optional(calendarTimeText(*facts.taskLastRunUtc, L'T') + L"Z")
                                     : std::nullopt);
    json.endObject();

    report.lines.push_back(taskStateLine(task, decided));
    if (decided.task == Presence::Registered) {
        report.lines.insert(report.lines.end(),
                            {accountLine(task), triggersLine, programLine(task, location), lastRunLine(task)});
    }
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

StatusOutput statusOutput(const StatusFacts& facts)
{
    const StatusDecisions decided = decide(facts);
    Report report;
    report.json.beginObject();
    report.lines.push_back(L"Version: " + facts.version);
    report.json.key("formatVersion").number(jsonFormatVersion).key("version").string(facts.version);
    problemsSection(report, decided.problems);
    modelSection(report, facts.model, decided.support);
    policySection(report, facts.policy);
    keySection(report, StoredRoot::Machine, facts.machineKey, decided.machine, facts.machineLastRun,
               facts.machineRecordDistrust);
    keySection(report, StoredRoot::User, facts.userKey, decided.user, facts.userLastRun, facts.userRecordDistrust);
    runSection(report, L"Run without arguments by this account: ", "thisAccountRun", facts.thisAccount, std::nullopt);
    runSection(report, L"Run by the startup task (LocalSystem): ", "startupTaskRun", facts.startupTask,
               decided.localSystemKeyError);
    eventSourceSection(report, facts.eventSource, decided);
    taskSection(report, facts, decided);
    report.json.endObject();
    return {std::move(report.lines), report.json.text()};
}
