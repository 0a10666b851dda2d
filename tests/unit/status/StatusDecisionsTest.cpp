#include "status/StatusDecisions.h"
#include "Json.h"
#include "colorizers/GenOneColorizer.h"
#include "colorizers/GenTwoColorizer.h"
#include "platform_check/ModelGeneration.h"
#include "status/RunPreview.h"
#include "status/StatusJson.h"
#include "status/StatusText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using simulated_machine::JsonValue;
using simulated_machine::parseJson;
using ::testing::Contains;
using ::testing::ElementsAreArray;

namespace {

constexpr std::int32_t accessDenied = 5;

StoredSet dwordSet(std::vector<std::uint32_t> numbers, bool writable)
{
    StoredSet set;
    set.writable = writable;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        set.values[i] = {StoredValue::Answer::Read, registryDwordType, 4, numbers[i]};
    }
    return set;
}

// A healthy machine of the given generation: both the event source and the
// task registered, the task enabled and its program accepted.
StatusFacts machineOf(int generation)
{
    StatusFacts facts;
    facts.model.model = L"Orvane VR Veltrin";
    facts.model.generation = generation;
    facts.machineKey = dwordSet({1, 2, 3, 100, 4, 5, 6, 50}, true);
    facts.eventSource.registration = EventSourceState::Registration::Registered;
    facts.task.registration = StartupTaskState::Registration::Registered;
    facts.task.enabled = true;
    facts.taskProgramLocation = ProgramLocation{ProgramVerdict::Accepted, L"C:\\Program Files"};
    return facts;
}

// What the gathering does with the keys before deciding: both runs previewed
// with the generation's colorizer (LocalSystem may write the machine key, its
// own key is empty).
void previewRuns(StatusFacts& facts)
{
    std::unique_ptr<IColorizer> colorizer;
    if (facts.model.generation == firstGeneration) {
        colorizer = std::make_unique<GenOneColorizer>();
    } else if (facts.model.generation == secondGeneration) {
        colorizer = std::make_unique<GenTwoColorizer>();
    }
    const bool known = facts.model.model.has_value();
    facts.modelDefaults = colorizer ? defaultZoneValues(*colorizer) : ZoneValues{};
    facts.thisAccount = previewRun(known, colorizer.get(), facts.machineKey, facts.userKey, facts.policy);
    StoredSet machineForTask = facts.machineKey;
    machineForTask.writable = true;
    StoredSet localSystemKey;
    localSystemKey.writable = true;
    facts.startupTask = previewRun(known, colorizer.get(), machineForTask, localSystemKey, facts.policy);
}

struct DecisionCase {
    const char* name;
    int generation;
    std::function<void(StatusFacts&)> arrange;
    std::vector<std::wstring> lines;
    std::vector<std::wstring> problems;
    std::function<void(const JsonValue&)> checkJson;
};

std::vector<std::wstring> problemsIn(const JsonValue& status)
{
    std::vector<std::wstring> codes;
    for (const JsonValue& code : status.at("problems").array()) {
        codes.push_back(code.string());
    }
    return codes;
}

// Each decision once, seen in both renderings.
TEST(StatusDecisions, BothFormsWordOneDecision)
{
    const DecisionCase cases[] = {
        {"healthy, second generation",
         secondGeneration,
         [](StatusFacts&) {},
         {L"Model: \"Orvane VR Veltrin\" (second generation: colour)",
          L"Run without arguments by this account: reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 "
          L"at 50 %; the firmware gets logo 1 2 3, light bar 2 2 3; stores to the machine key"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("formatVersion").integer(), 1);
             EXPECT_EQ(status.at("model").at("support").string(), L"colour");
             EXPECT_EQ(status.at("startupTaskRun").at("reads").string(), L"machineKey");
         }},
        {"first generation",
         firstGeneration,
         [](StatusFacts&) {},
         {L"Model: \"Orvane VR Veltrin\" (first generation: brightness only)"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("model").at("support").string(), L"brightness");
             EXPECT_TRUE(status.at("thisAccountRun").at("sends").boolean());
         }},
        {"reads the machine key, stores to the user key",
         secondGeneration,
         [](StatusFacts& f) {
             f.machineKey.writable = false;
             f.userKey = dwordSet({9, 9, 9}, true);
         },
         {L"Run without arguments by this account: reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 "
          L"at 50 %; the firmware gets logo 1 2 3, light bar 2 2 3; stores to the user key"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("thisAccountRun").at("reads").string(), L"machineKey");
             EXPECT_EQ(status.at("thisAccountRun").at("stores").string(), L"userKey");
             EXPECT_EQ(status.at("userKey").at("values").array().at(3).at("replacement").integer(), 100);
         }},
        {"unsupported model",
         unsupportedGeneration,
         [](StatusFacts&) {},
         {L"Run by the startup task (LocalSystem): sends nothing (the model is not supported)"},
         {L"modelNotSupported"},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("model").at("support").string(), L"none");
             EXPECT_EQ(status.at("thisAccountRun").at("reason").string(), L"modelNotSupported");
             EXPECT_TRUE(status.at("thisAccountRun").at("reads").isNull());
         }},
        {"model unknown",
         secondGeneration,
         [](StatusFacts& f) { f.model.model.reset(); },
         {L"Model: unknown (Platform check failed: )"},
         {L"modelUnknown"},
         [](const JsonValue& status) {
             EXPECT_TRUE(status.at("model").at("support").isNull());
             EXPECT_EQ(status.at("startupTaskRun").at("reason").string(), L"modelUnknown");
         }},
        {"short REG_BINARY: the model's default is written",
         secondGeneration,
         [](StatusFacts& f) {
             f.machineKey.values[0] = {StoredValue::Answer::Read, 3, 2, 7};
         },
         {L"Stored colours in the machine key: incomplete, logo ? 2 3 at 100 %, light bar 4 5 6 at 50 %; Z1_Red is "
          L"unreadable (REG_BINARY of 2 bytes): a run that reads this key writes the model's default, 230, in its "
          L"place"},
         {L"machineKeyIncomplete"},
         [](const JsonValue& status) {
             const JsonValue value = status.at("machineKey").at("values").array().at(0);
             EXPECT_EQ(value.at("inItsPlace").string(), L"modelDefault");
             EXPECT_EQ(value.at("replacement").integer(), 230);
             EXPECT_TRUE(value.at("used").isNull());
         }},
        {"all eight exist, none readable",
         secondGeneration,
         [](StatusFacts& f) {
             for (StoredValue& value : f.machineKey.values) {
                 value = {StoredValue::Answer::Unreadable, 1, 16, 0};
             }
             f.localSystemKeyReadError = accessDenied;
         },
         {L"Stored colours in the machine key: incomplete, logo ? ? ? at ? %, light bar ? ? ? at ? %; Z1_Red is "
          L"unreadable (REG_SZ of 16 bytes): a run that reads this key writes 255 in its place; Z1_Green is unreadable "
          L"(REG_SZ of 16 bytes): a run that reads this key writes 255 in its place; Z1_Blue is unreadable (REG_SZ of "
          L"16 "
          L"bytes): a run that reads this key writes 255 in its place; Z1_Bright is unreadable (REG_SZ of 16 bytes): a "
          L"run that reads this key writes 100 in its place; Z2_Red is unreadable (REG_SZ of 16 bytes): a run that "
          L"reads "
          L"this key writes 255 in its place; Z2_Green is unreadable (REG_SZ of 16 bytes): a run that reads this key "
          L"writes 255 in its place; Z2_Blue is unreadable (REG_SZ of 16 bytes): a run that reads this key writes 255 "
          L"in "
          L"its place; Z2_Bright is unreadable (REG_SZ of 16 bytes): a run that reads this key writes 100 in its "
          L"place"},
         {L"machineKeyIncomplete"},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("machineKey").at("state").string(), L"incomplete");
             EXPECT_EQ(status.at("machineKey").at("values").array().at(7).at("inItsPlace").string(), L"defaultWritten");
             EXPECT_EQ(status.at("startupTaskRun").at("localSystemKeyError").string(), L"access denied (0x80070005)");
         }},
        {"LocalSystem's key unreadable while the machine key lacks a value",
         secondGeneration,
         [](StatusFacts& f) {
             f.machineKey.values[2] = {};
             f.localSystemKeyReadError = accessDenied;
         },
         {L"Run by the startup task (LocalSystem): uses no stored set; applies the model's defaults, logo 230 255 255 "
          L"at "
          L"100 %, light bar 210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
          L"to "
          L"the machine key; LocalSystem's own key could not be read (access denied (0x80070005)) and is taken as "
          L"empty"},
         {L"machineKeyIncomplete"},
         [](const JsonValue&) {}},
        {"LocalSystem's key unreadable, not needed",
         secondGeneration,
         [](StatusFacts& f) { f.localSystemKeyReadError = accessDenied; },
         {},
         {},
         [](const JsonValue& status) { EXPECT_TRUE(status.at("startupTaskRun").at("localSystemKeyError").isNull()); }},
        {"task disabled, program refused, no event source",
         secondGeneration,
         [](StatusFacts& f) {
             f.task.enabled = false;
             f.taskProgramLocation = ProgramLocation{ProgramVerdict::ChangeableByUsers, L"C:\\Tools"};
             f.eventSource.registration = EventSourceState::Registration::NotRegistered;
         },
         {L"Event source: not registered", L"Startup task: registered, disabled"},
         {L"taskDisabled", L"taskProgramRefused", L"eventSourceNotRegistered"},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("eventSource").at("state").string(), L"notRegistered");
             EXPECT_FALSE(status.at("startupTask").at("locationCheck").at("passes").boolean());
         }},
        {"task not registered",
         secondGeneration,
         [](StatusFacts& f) { f.task.registration = StartupTaskState::Registration::NotRegistered; },
         {L"Startup task: not registered"},
         {L"taskNotRegistered"},
         [](const JsonValue&) {}},
        {"a policy in force: read, stored nowhere",
         secondGeneration,
         [](StatusFacts& f) {
             f.policy.state = PolicyState::InForce;
             f.policy.values = {9, 8, 7, 100, 6, 5, 4, 100};
         },
         {L"Policy (HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting): in force, logo 9 8 7 at 100 %, light bar 6 5 4 "
          L"at 100 %; users may change the lighting: no",
          L"Run by the startup task (LocalSystem): reads the policy; applies logo 9 8 7 at 100 %, light bar 6 5 4 at "
          L"100 %; the firmware gets logo 9 8 7, light bar 6 5 4; stores nothing (the policy is in force)"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("policy").at("state").string(), L"inForce");
             EXPECT_EQ(status.at("thisAccountRun").at("reads").string(), L"policy");
             EXPECT_TRUE(status.at("thisAccountRun").at("stores").isNull());
         }},
        {"an unusable policy, a last run that failed",
         secondGeneration,
         [](StatusFacts& f) {
             PolicyValues values;
             values.colours[3] = {StoredValue::Answer::Read, registryDwordType, 4, 150};
             f.policy = decidePolicy(values);
             LastRun record;
             record.time = L"2026-12-08T01:23:45Z";
             record.account = L"S-1-5-18";
             record.outcome = RunOutcome::FirmwareCallFailed;
             record.eventId = 4;
             record.step = L"GetObject orvBIntM";
             record.code = 0x80041002;
             f.machineLastRun = RecordFacts{record, L"LocalSystem"};
         },
         {L"Policy (HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting): unusable: Z1_Red is missing; runs go on as "
          L"without it",
          L"Last run recorded in the machine key: \"2026-12-08T01:23:45Z\", \"LocalSystem\" (\"S-1-5-18\"), restore "
          L"from the model's defaults; failed: the firmware call failed (event 4, \"GetObject orvBIntM\", code "
          L"0x80041002)",
          L"Last run recorded in the user key: none"},
         {L"policyUnusable", L"lastRunFailed"},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("thisAccountRun").at("reads").string(), L"machineKey");
             const JsonValue record = status.at("machineKey").at("lastRun");
             EXPECT_EQ(record.at("outcome").string(), L"firmwareCallFailed");
             EXPECT_EQ(record.at("code").integer(), 0x80041002);
             EXPECT_TRUE(status.at("userKey").at("lastRun").isNull());
             EXPECT_TRUE(status.at("machineKey").at("lastRunUntrusted").isNull());
         }},
        {"a machine record key that is not trusted: not shown, said why, a problem",
         secondGeneration,
         [](StatusFacts& f) {
             LastRun record;
             record.outcome = RunOutcome::FirmwareRefused;
             f.userLastRun = RecordFacts{record, L""};
             f.machineRecordDistrust = L"it is a registry link";
         },
         {L"Last run recorded in the machine key: not shown, its key is not trusted: it is a registry link"},
         {L"recordUntrusted"},
         [](const JsonValue& status) {
             EXPECT_TRUE(status.at("machineKey").at("lastRun").isNull());
             EXPECT_EQ(status.at("machineKey").at("lastRunUntrusted").string(), L"it is a registry link");
             EXPECT_EQ(status.at("userKey").at("lastRun").at("outcome").string(), L"firmwareRefused");
             EXPECT_TRUE(status.at("userKey").at("lastRunUntrusted").isNull());
         }},
        {"a user's record key that is a link: not shown, no problem of the machine",
         secondGeneration,
         [](StatusFacts& f) { f.userRecordDistrust = L"it is a registry link"; },
         {L"Last run recorded in the user key: not shown, its key is not trusted: it is a registry link"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("userKey").at("lastRunUntrusted").string(), L"it is a registry link");
         }},
        {"a run refused by the policy is no failure",
         secondGeneration,
         [](StatusFacts& f) {
             LastRun record;
             record.outcome = RunOutcome::RefusedByPolicy;
             f.machineLastRun = RecordFacts{record, L""};
         },
         {},
         {},
         [](const JsonValue&) {}},
        {"task and event source unreadable: no problem of the machine",
         secondGeneration,
         [](StatusFacts& f) {
             f.task = {};
             f.task.error = static_cast<std::int32_t>(0x80070005U);
             f.taskProgramLocation.reset();
             f.eventSource = {};
             f.eventSource.error = accessDenied;
         },
         {L"Startup task: could not be read: access denied (0x80070005)",
          L"Event source: could not be read: access denied (0x80070005)"},
         {},
         [](const JsonValue& status) {
             EXPECT_EQ(status.at("startupTask").at("state").string(), L"couldNotBeRead");
             EXPECT_EQ(status.at("eventSource").at("error").string(), L"access denied (0x80070005)");
         }},
    };
    for (const auto& c : cases) {
        StatusFacts facts = machineOf(c.generation);
        c.arrange(facts);
        previewRuns(facts);
        decideStatus(facts);
        const auto lines = statusLines(facts);
        for (const auto& expected : c.lines) {
            EXPECT_THAT(lines, Contains(expected)) << c.name;
        }
        const JsonValue status = parseJson(statusJson(facts));
        EXPECT_THAT(problemsIn(status), ElementsAreArray(c.problems)) << c.name;
        c.checkJson(status);
    }
}

} // namespace
