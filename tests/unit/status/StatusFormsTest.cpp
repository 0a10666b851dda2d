#include "Json.h"
#include "status/JsonWriter.h"
#include "status/StatusDecisions.h"
#include "status/StatusJson.h"
#include "status/StatusText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using simulated_machine::JsonValue;
using simulated_machine::parseJson;
using ::testing::Contains;

namespace {

StatusFacts someFacts()
{
    StatusFacts facts;
    facts.version = L"1.0.0";
    facts.model.model = L"Orvane VR Veltrin G2";
    facts.model.generation = 1;
    facts.modelDefaults = {230, 255, 255, 100, 210, 200, 230, 100};
    facts.eventSource.registration = EventSourceState::Registration::NotRegistered;
    facts.task.registration = StartupTaskState::Registration::NotRegistered;
    return facts;
}

std::vector<std::wstring> linesFrom(const std::vector<std::wstring>& lines, const std::wstring& prefix)
{
    std::vector<std::wstring> found;
    for (const auto& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

struct TaskCase {
    const char* name;
    std::function<void(StatusFacts&)> arrange;
    std::vector<std::wstring> lines;
    std::function<void(const JsonValue&)> checkJson;
};

// A registered task is described fact by fact; what could not be read says
// so instead of passing for missing (Wine keeps no program, so the installed
// task reads as the first case).
TEST(StatusForms, StartupTaskFactByFact)
{
    const TaskCase cases[] = {
        {"registered, nothing readable",
         [](StatusFacts& f) { f.task.registration = StartupTaskState::Registration::Registered; },
         {L"Startup task: registered, whether it is enabled could not be read",
          L"Startup task account: could not be read", L"Startup task triggers: could not be read",
          L"Startup task program: could not be read", L"Startup task last run: could not be read"},
         [](const JsonValue& task) {
             EXPECT_EQ(task.at("state").string(), L"registered");
             EXPECT_TRUE(task.at("program").isNull());
             EXPECT_TRUE(task.at("locationCheck").isNull());
             EXPECT_TRUE(task.at("notTheProgram").isNull());
             EXPECT_TRUE(task.at("triggers").isNull());
             EXPECT_TRUE(task.at("hasRun").isNull());
         }},
        {"registered, everything read",
         [](StatusFacts& f) {
             f.task.registration = StartupTaskState::Registration::Registered;
             f.task.enabled = false;
             f.task.userId = L"S-1-5-18";
             f.task.logonType = 5;
             f.task.triggers = std::vector<TaskTrigger>{{0, true, L"<QueryList/>"}, {8, false, std::nullopt}};
             f.task.program = L"C:\\Tools\\VeltrinLighting.exe";
             f.task.arguments = L"";
             f.taskProgramLocation = ProgramLocation{ProgramVerdict::ChangeableByUsers, L"C:\\Tools"};
             f.task.lastRunRead = true;
             f.task.lastRun = TaskTime{2024, 5, 1, 9, 3, 7};
             f.taskLastRunUtc = TaskTime{2024, 5, 1, 7, 3, 7};
         },
         {L"Startup task: registered, disabled", L"Startup task account: \"S-1-5-18\" (service account)",
          L"Startup task triggers: on an event \"<QueryList/>\", at boot (disabled)",
          L"Startup task program: \"C:\\\\Tools\\\\VeltrinLighting.exe\" (fails the location check: Users other than "
          L"administrators can change C:\\Tools)",
          L"Startup task last run: 2024-05-01 09:03:07 (local time)"},
         [](const JsonValue& task) {
             EXPECT_FALSE(task.at("enabled").boolean());
             EXPECT_EQ(task.at("logonType").string(), L"serviceAccount");
             EXPECT_EQ(task.at("triggers").array().at(0).at("subscription").string(), L"<QueryList/>");
             EXPECT_EQ(task.at("triggers").array().at(1).at("type").string(), L"boot");
             EXPECT_FALSE(task.at("locationCheck").at("passes").boolean());
             EXPECT_EQ(task.at("lastRunTime").string(), L"2024-05-01T07:03:07Z");
         }},
        {"never run, program accepted",
         [](StatusFacts& f) {
             f.task.registration = StartupTaskState::Registration::Registered;
             f.task.program = L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe";
             f.taskProgramLocation = ProgramLocation{ProgramVerdict::Accepted, *f.task.program};
             f.task.lastRunRead = true;
         },
         {L"Startup task program: \"C:\\\\Program Files\\\\VeltrinLighting\\\\VeltrinLighting.exe\" (passes the location "
          L"check)",
          L"Startup task last run: never"},
         [](const JsonValue& task) {
             EXPECT_TRUE(task.at("locationCheck").at("passes").boolean());
             EXPECT_FALSE(task.at("hasRun").boolean());
         }},
        {"another principal, a path with %",
         [](StatusFacts& f) {
             f.task.registration = StartupTaskState::Registration::Registered;
             f.task.userId = L"S-1-5-21-1-2-3-1001";
             f.task.logonType = 3;
             f.task.program = L"%TEMP%\\run.exe";
         },
         {L"Startup task: registered, whether it is enabled could not be read; not the program's task: it does not "
          L"run as LocalSystem",
          L"Startup task program: \"%TEMP%\\\\run.exe\" (fails the location check: the path holds '%', which the "
          L"Task Scheduler replaces when it runs the task)"},
         [](const JsonValue& task) {
             EXPECT_EQ(task.at("notTheProgram").string(), L"it does not run as LocalSystem");
             EXPECT_FALSE(task.at("locationCheck").at("passes").boolean());
         }},
        {"LocalSystem, two actions",
         [](StatusFacts& f) {
             f.task.registration = StartupTaskState::Registration::Registered;
             f.task.userId = L"SYSTEM";
             f.task.logonType = 5;
             f.task.actionCount = 2;
             f.task.firstActionRunsProgram = true;
         },
         {L"Startup task: registered, whether it is enabled could not be read; not the program's task: it has 2 "
          L"actions, not one"},
         [](const JsonValue& task) { EXPECT_FALSE(task.at("notTheProgram").isNull()); }},
        {"refused",
         [](StatusFacts& f) {
             f.task.registration = StartupTaskState::Registration::Unknown;
             f.task.error = static_cast<std::int32_t>(0x80070005U);
         },
         {L"Startup task: could not be read: access denied (0x80070005)"},
         [](const JsonValue& task) {
             EXPECT_EQ(task.at("state").string(), L"couldNotBeRead");
             EXPECT_EQ(task.at("error").string(), L"access denied (0x80070005)");
         }},
    };
    for (const auto& c : cases) {
        StatusFacts facts = someFacts();
        c.arrange(facts);
        decideStatus(facts);
        const auto lines = statusLines(facts);
        for (const auto& expected : c.lines) {
            EXPECT_THAT(lines, Contains(expected)) << c.name;
        }
        EXPECT_EQ(linesFrom(lines, L"Startup task").size(),
                  facts.task.registration == StartupTaskState::Registration::Registered ? 5u : 1u)
            << c.name;
        const JsonValue status = parseJson(statusJson(facts));
        c.checkJson(status.at("startupTask"));
        bool listed = false;
        for (const JsonValue& code : status.at("problems").array()) {
            listed = listed || code.string() == L"taskNotTheProgram";
        }
        EXPECT_EQ(listed, !facts.taskNotTheProgram.empty()) << c.name;
    }
}

// Values that keep a key from being used, or that get replaced, are named
// with what takes their place.
TEST(StatusForms, UnusableStoredValuesAreNamed)
{
    StatusFacts facts = someFacts();
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        facts.machineKey.values[i] = {StoredValue::Answer::Read, registryDwordType, 4, 10};
    }
    facts.machineKey.values[1] = {StoredValue::Answer::Unreadable, registryDwordType, 8, 0};
    facts.machineKey.values[4] = {StoredValue::Answer::Unreadable, 1, 16, 0};
    // A REG_DWORD shorter than four bytes reads, but counts as another type.
    facts.machineKey.values[6] = {StoredValue::Answer::Read, registryDwordType, 1, 0xFF};
    decideStatus(facts);
    EXPECT_THAT(statusLines(facts),
                Contains(L"Stored colours in the machine key: incomplete, logo 10 ? 10 at 10 %, light bar ? 10 ? at "
                         L"10 %; Z1_Green is unreadable (REG_DWORD of 8 bytes): no run reads or writes this key while "
                         L"it is there; Z2_Red is unreadable (REG_SZ of 16 bytes): a run that reads this key writes "
                         L"255 in its place; Z2_Blue is unreadable (REG_DWORD of 1 bytes): a run that reads this key "
                         L"writes the model's default, 230, in its place"));
    const JsonValue values = parseJson(statusJson(facts)).at("machineKey").at("values");
    EXPECT_EQ(values.array().at(1).at("inItsPlace").string(), L"keyNotUsed");
    EXPECT_EQ(values.array().at(4).at("replacement").integer(), 255);
    EXPECT_EQ(values.array().at(6).at("state").string(), L"unreadable");
    EXPECT_EQ(values.array().at(6).at("size").integer(), 1);
}

// Text from the machine and the Task Scheduler goes into the JSON escaped,
// and comes back unchanged; the lines quote and escape it as the JSON does,
// so that a quote in a name cannot end the quotes early.
TEST(StatusForms, TextIsQuotedAndEscaped)
{
    const std::wstring model = L"Veltrin \"G2\" \\ \t\x7f \u00e9\u20ac";
    StatusFacts facts = someFacts();
    facts.model.model = model;
    facts.model.generation = 2;
    decideStatus(facts);
    const std::string json = statusJson(facts);
    EXPECT_EQ(parseJson(json).at("model").at("text").string(), model);
    EXPECT_EQ(json.find_first_of("\t\x7f"), std::string::npos);
    EXPECT_THAT(statusLines(facts),
                Contains(L"Model: \"Veltrin \\\"G2\\\" \\\\ \\u0009\\u007f \u00e9\u20ac\" (not supported)"));
    EXPECT_EQ(jsonString(L"\U0001F600"), "\"\\ud83d\\ude00\"");
    facts.model.model = L"";
    decideStatus(facts);
    EXPECT_THAT(statusLines(facts), Contains(L"Model: \"\" (not supported)"));
}

// The record's texts come from the registry: a carriage return, line feed or
// escape sequence in any of them reaches neither form raw, and cannot forge a
// line of its own.
TEST(StatusForms, RecordTextsAreQuotedAndEscaped)
{
    const std::wstring forged = L"x\r\nStartup task: registered, enabled\x1b[2J\"";
    struct Case {
        const char* name;
        std::function<void(LastRun&)> plant;
        std::wstring shown;
    };
    const std::wstring escaped = L"\"x\\u000d\\u000aStartup task: registered, enabled\\u001b[2J\\\"\"";
    const Case cases[] = {
        {"time", [&](LastRun& r) { r.time = forged; }, escaped + L", \"S-1-5-18\""},
        {"account", [&](LastRun& r) { r.account = forged; }, L"\"2026-12-08T01:23:45Z\", " + escaped},
        {"step", [&](LastRun& r) { r.step = forged; }, L"(event 4, " + escaped + L", code 0x80041002)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatusFacts facts = someFacts();
        LastRun record;
        record.time = L"2026-12-08T01:23:45Z";
        record.account = L"S-1-5-18";
        record.outcome = RunOutcome::FirmwareCallFailed;
        record.eventId = 4;
        record.step = L"GetObject";
        record.code = 0x80041002;
        c.plant(record);
        facts.machineLastRun = RecordFacts{record, L""};
        facts.userLastRun = RecordFacts{record, L""};
        decideStatus(facts);
        const std::vector<std::wstring> lines = statusLines(facts);
        for (const std::wstring& line : lines) {
            EXPECT_EQ(std::count_if(line.begin(), line.end(), [](wchar_t unit) { return unit < 0x20 || unit == 0x7F; }),
                      0)
                << std::string(line.begin(), line.end());
        }
        EXPECT_EQ(linesFrom(lines, L"Startup task: registered").size(), 0U);
        const std::vector<std::wstring> recordLines = linesFrom(lines, L"Last run recorded in the machine key: ");
        ASSERT_EQ(recordLines.size(), 1U);
        EXPECT_THAT(recordLines.front(), ::testing::HasSubstr(c.shown));
        const std::string json = statusJson(facts);
        EXPECT_EQ(json.find_first_of("\r\n\x1b"), std::string::npos);
        const JsonValue parsed = parseJson(json).at("machineKey").at("lastRun");
        EXPECT_EQ(parsed.at("time").string() + parsed.at("account").string() + parsed.at("step").string(),
                  record.time + record.account + record.step);
    }
}

} // namespace
