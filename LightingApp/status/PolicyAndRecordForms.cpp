#include "status/PolicyAndRecordForms.h"

#include "status/StatusWords.h"
#include "windows_wrappers/Utf8.h"

#include <array>
#include <string_view>

namespace {

// Indexed by PolicyState.
constexpr std::array<FactWords, 3> policyStateWords = {{
    {L"none", "none"},
    {L"in force", "inForce"},
    {L"unusable", "unusable"},
}};
// Indexed by RunRequest, ColourSource and RunOutcome: the JSON's words are
// the record's own.
constexpr std::array<const wchar_t*, 4> requestTexts = {L"restore", L"colours", L"brightness", L"default"};
constexpr std::array<const wchar_t*, 5> sourceTexts = {L"the policy", L"the machine key", L"the user key",
                                                       L"the model's defaults", L"the command line"};
constexpr std::array<const wchar_t*, 7> outcomeTexts = {
    L"done",
    L"refused by the policy",
    L"failed: the platform check failed",
    L"failed: the firmware call failed",
    L"failed: the firmware refused the command",
    L"failed: the colours could not be stored",
    L"failed: something unexpected stopped it",
};

template <typename Table, typename Enum>
const auto& entry(const Table& table, Enum value)
{
    return table.at(static_cast<std::size_t>(value));
}

// The record's words are ASCII.
std::string narrow(std::wstring_view word)
{
    return {word.begin(), word.end()};
}

std::wstring zoneText(const ZoneValues& values, std::size_t first)
{
    return std::to_wstring(values[first]) + L" " + std::to_wstring(values[first + 1]) + L" "
        + std::to_wstring(values[first + 2]) + L" at " + std::to_wstring(values[first + 3]) + L" %";
}

std::wstring bytesText(const Color& color)
{
    return std::to_wstring(color.red) + L" " + std::to_wstring(color.green) + L" " + std::to_wstring(color.blue);
}

void writeBytes(JsonWriter& json, const char* name, const Color& color)
{
    json.key(name).beginObject();
    json.key("red").number(color.red).key("green").number(color.green).key("blue").number(color.blue);
    json.endObject();
}

void writeZone(JsonWriter& json, const char* name, const ZoneValues& values, std::size_t first)
{
    json.key(name).beginObject();
    json.key("red").number(values[first]).key("green").number(values[first + 1]);
    json.key("blue").number(values[first + 2]).key("brightness").number(values[first + 3]);
    json.endObject();
}

} // namespace

std::wstring policyLine(const ColourPolicy& policy)
{
    std::wstring line = L"Policy (" + std::wstring(policyKeyName) + L"): " + entry(policyStateWords, policy.state).text;
    if (policy.state == PolicyState::InForce) {
        line += L", logo " + zoneText(policy.values, 0) + L", light bar " + zoneText(policy.values, 4);
        line += std::wstring(L"; users may change the lighting: ") + (policy.usersMayChange ? L"yes" : L"no");
    } else if (policy.state == PolicyState::Unusable) {
        line += L": " + policyFaultText(policy) + L"; runs go on as without it";
    }
    return line;
}

std::wstring lastRunLine(StoredRoot root, const std::optional<RecordFacts>& run)
{
    std::wstring line = L"Last run recorded in the " + std::wstring(rootWords(root).text) + L" key: ";
    if (!run) {
        return line + L"none";
    }
    const LastRun& record = run->record;
    line += record.time + L", "
        + (run->accountName.empty() ? record.account : run->accountName + L" (" + record.account + L")");
    line += std::wstring(L", ") + entry(requestTexts, record.request) + L" from " + entry(sourceTexts, record.source);
    if (record.firmwareGot) {
        line += L", the firmware got logo " + bytesText(record.firmwareGot->logo) + L", light bar "
            + bytesText(record.firmwareGot->lightBar);
    }
    line += std::wstring(L"; ") + entry(outcomeTexts, record.outcome);
    if (record.eventId) {
        line += L" (event " + std::to_wstring(*record.eventId);
        if (!record.step.empty()) {
            line += L", " + record.step;
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

void writePolicy(JsonWriter& json, const ColourPolicy& policy)
{
    const bool inForce = policy.state == PolicyState::InForce;
    json.key("policy").beginObject();
    json.key("key").string(policyKeyName);
    json.key("state").identifier(entry(policyStateWords, policy.state).identifier);
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
        writeZone(json, "logo", policy.values, 0);
        writeZone(json, "lightBar", policy.values, 4);
        json.endObject();
    } else {
        json.null();
    }
    json.key("usersMayChange");
    inForce ? json.boolean(policy.usersMayChange) : json.null();
    json.endObject();
}

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
    json.key("request").identifier(narrow(requestWord(record.request)));
    json.key("source").identifier(narrow(sourceWord(record.source)));
    json.key("firmwareGot");
    if (record.firmwareGot) {
        json.beginObject();
        writeBytes(json, "logo", record.firmwareGot->logo);
        writeBytes(json, "lightBar", record.firmwareGot->lightBar);
        json.endObject();
    } else {
        json.null();
    }
    json.key("outcome").identifier(narrow(outcomeWord(record.outcome)));
    json.key("eventId");
    record.eventId ? json.number(*record.eventId) : json.null();
    json.key("step");
    record.step.empty() ? json.null() : json.string(record.step);
    json.key("code");
    record.code ? json.number(*record.code) : json.null();
    json.endObject();
}
