#include "Json.h"
#include "StatusGolden.h"
#include "json_writer/JsonWriter.h"
#include "status/StatusSections.h"

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

// The task as the Task Scheduler has it, before a case sets what it reads.
void freshTask(StatusFacts& f)
{
    f.task = {};
    f.task.registration = StartupTaskState::Registration::Registered;
    f.taskProgramLocation.reset();
}

// A registered task is described fact by fact; what could not be read says
// so instead of passing for missing (Wine keeps no program, so the installed
// task reads as the first case). Values that keep a key from being used, or
// that get replaced, are named with what takes their place.
TEST(StatusForms, StartupTaskFactByFactAndUnusableValues)
{
    expectWholeOutputs({
        {"registered, nothing readable",
         freshTask,
         {
             {"Startup task", "registered, whether it is enabled could not be read"},
             {"startupTask.enabled", "null"},
             {"startupTask.locationCheck", "null"},
         }},
        {"registered, everything read",
         [](StatusFacts& f) {
             freshTask(f);
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
         {
             {"Startup task", "registered, disabled"},
             {"Startup task account", R"~("S-1-5-18" (service account))~"},
             {"Startup task triggers", R"~(on an event "<QueryList/>", at boot (disabled))~"},
             {"Startup task program",
              R"~("C:\\Tools\\VeltrinLighting.exe" (fails the location check: Users other than )~"
              R"~(administrators can change C:\Tools))~"},
             {"Startup task last run", "2024-05-01 09:03:07 (local time)"},
             {"problems[0]", R"~("taskDisabled")~"},
             {"problems[1]", R"~("taskProgramRefused")~"},
             {"startupTask.enabled", "false"},
             {"startupTask.userId", R"~("S-1-5-18")~"},
             {"startupTask.logonType", R"~("serviceAccount")~"},
             {"startupTask.triggers[0]", R"~({"type":"event","enabled":true,"subscription":"<QueryList/>"})~"},
             {"startupTask.triggers[1]", R"~({"type":"boot","enabled":false,"subscription":null})~"},
             {"startupTask.program", R"~("C:\\Tools\\VeltrinLighting.exe")~"},
             {"startupTask.arguments", R"~("")~"},
             {"startupTask.locationCheck.passes", "false"},
             {"startupTask.locationCheck.reason", R"~("Users other than administrators can change C:\\Tools")~"},
             {"startupTask.hasRun", "true"},
             {"startupTask.lastRunTime", R"~("2024-05-01T07:03:07Z")~"},
         }},
        {"never run, program accepted, with arguments, triggers of every kind",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.program = L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe";
             f.task.arguments = L"50";
             f.taskProgramLocation = ProgramLocation{ProgramVerdict::Accepted, *f.task.program};
             f.task.lastRunRead = true;
             f.task.triggers = std::vector<TaskTrigger>{};
             for (std::int32_t type = -1; type <= 12; ++type) {
                 f.task.triggers->push_back({type, true, std::nullopt});
             }
         },
         {
             {"Startup task", "registered, whether it is enabled could not be read"},
             {"Startup task triggers",
              "of type -1, on an event, at a time, daily, weekly, monthly, monthly on a day of the "
              "week, when idle, when registered, at boot, at log on, of type 10, on a session state "
              "change, of type 12"},
             {"Startup task program",
              R"~("C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe" with arguments "50" (passes )~"
              R"~(the location check))~"},
             {"Startup task last run", "never"},
             {"startupTask.enabled", "null"},
             {"startupTask.triggers[0]", R"~({"type":"type -1","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[1]", R"~({"type":"event","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[2]", R"~({"type":"time","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[3]", R"~({"type":"daily","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[4]", R"~({"type":"weekly","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[5]", R"~({"type":"monthly","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[6]", R"~({"type":"monthlyDayOfWeek","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[7]", R"~({"type":"idle","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[8]", R"~({"type":"registration","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[9]", R"~({"type":"boot","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[10]", R"~({"type":"logon","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[11]", R"~({"type":"type 10","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[12]", R"~({"type":"sessionStateChange","enabled":true,"subscription":null})~"},
             {"startupTask.triggers[13]", R"~({"type":"type 12","enabled":true,"subscription":null})~"},
             {"startupTask.program", R"~("C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe")~"},
             {"startupTask.arguments", R"~("50")~"},
             {"startupTask.hasRun", "false"},
         }},
        {"no triggers, logon types by name",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.triggers = std::vector<TaskTrigger>{};
             f.task.userId = L"S-1-5-21-1-2-3-1001";
             f.task.logonType = 7;
         },
         {
             {"Startup task",
              "registered, whether it is enabled could not be read; not the program's task: it does "
              "not run as LocalSystem"},
             {"Startup task account", R"~("S-1-5-21-1-2-3-1001" (logon type 7))~"},
             {"Startup task triggers", "none"},
             {"problems[0]", R"~("taskNotTheProgram")~"},
             {"startupTask",
              R"~({"state":"registered","error":null,"enabled":null,"notTheProgram":"it does not run as )~"
              R"~(LocalSystem","userId":"S-1-5-21-1-2-3-1001","logonType":"type 7","triggers":[],)~"
              R"~("program":null,"arguments":null,"locationCheck":null,"hasRun":null,"lastRunTime":null})~"},
         }},
        {"another principal, a path with %",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.userId = L"S-1-5-21-1-2-3-1001";
             f.task.logonType = 3;
             f.task.program = L"%TEMP%\\run.exe";
         },
         {
             {"Startup task",
              "registered, whether it is enabled could not be read; not the program's task: it does "
              "not run as LocalSystem"},
             {"Startup task account", R"~("S-1-5-21-1-2-3-1001" (the user's own session))~"},
             {"Startup task program",
              R"~("%TEMP%\\run.exe" (fails the location check: the path holds '%', which the Task )~"
              R"~(Scheduler replaces when it runs the task))~"},
             {"problems[0]", R"~("taskProgramRefused")~"},
             {"problems[1]", R"~("taskNotTheProgram")~"},
             {"startupTask.enabled", "null"},
             {"startupTask.notTheProgram", R"~("it does not run as LocalSystem")~"},
             {"startupTask.userId", R"~("S-1-5-21-1-2-3-1001")~"},
             {"startupTask.logonType", R"~("interactiveToken")~"},
             {"startupTask.program", R"~("%TEMP%\\run.exe")~"},
             {"startupTask.locationCheck.passes", "false"},
             {"startupTask.locationCheck.reason",
              R"~("the path holds '%', which the Task Scheduler replaces when it runs the task")~"},
         }},
        {"LocalSystem, two actions",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.userId = L"SYSTEM";
             f.task.logonType = 5;
             f.task.actionCount = 2;
             f.task.firstActionRunsProgram = true;
         },
         {
             {"Startup task",
              "registered, whether it is enabled could not be read; not the program's task: it has 2 "
              "actions, not one"},
             {"Startup task account", R"~("SYSTEM" (service account))~"},
             {"problems[0]", R"~("taskNotTheProgram")~"},
             {"startupTask",
              R"~({"state":"registered","error":null,"enabled":null,"notTheProgram":"it has 2 actions, )~"
              R"~(not one","userId":"SYSTEM","logonType":"serviceAccount","triggers":null,"program":null,)~"
              R"~("arguments":null,"locationCheck":null,"hasRun":null,"lastRunTime":null})~"},
         }},
        {"refused",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.registration = StartupTaskState::Registration::Unknown;
             f.task.error = static_cast<std::int32_t>(0x80070005U);
         },
         {
             {"Startup task", "could not be read: access denied (0x80070005)"},
             {"Startup task account", gone},
             {"Startup task triggers", gone},
             {"Startup task program", gone},
             {"Startup task last run", gone},
             {"startupTask",
              R"~({"state":"couldNotBeRead","error":"access denied (0x80070005)","enabled":null,)~"
              R"~("notTheProgram":null,"userId":null,"logonType":null,"triggers":null,"program":null,)~"
              R"~("arguments":null,"locationCheck":null,"hasRun":null,"lastRunTime":null})~"},
         }},
        {"refused with a status without a name",
         [](StatusFacts& f) {
             freshTask(f);
             f.task.registration = StartupTaskState::Registration::Unknown;
             f.task.error = static_cast<std::int32_t>(0x80041318U);
         },
         {
             {"Startup task", "could not be read: 0x80041318"},
             {"Startup task account", gone},
             {"Startup task triggers", gone},
             {"Startup task program", gone},
             {"Startup task last run", gone},
             {"startupTask",
              R"~({"state":"couldNotBeRead","error":"0x80041318","enabled":null,"notTheProgram":null,)~"
              R"~("userId":null,"logonType":null,"triggers":null,"program":null,"arguments":null,)~"
              R"~("locationCheck":null,"hasRun":null,"lastRunTime":null})~"},
         }},
        {"unusable values named with what takes their place",
         [](StatusFacts& f) {
             f.machineKey = dwordSet({10, 10, 10, 10, 10, 10, 10, 10}, true);
             f.machineKey.values[1] = {StoredValue::Answer::Unreadable, registryDwordType, 8, 0};
             f.machineKey.values[4] = {StoredValue::Answer::Unreadable, 1, 16, 0};
             // A REG_DWORD shorter than four bytes reads, but counts as another type.
             f.machineKey.values[6] = {StoredValue::Answer::Read, registryDwordType, 1, 0xFF};
             f.machineKey.values[7] = {StoredValue::Answer::Read, 20, 4, 0};
         },
         {
             {"Stored colours in the machine key",
              "incomplete, logo 10 ? 10 at 10 %, light bar ? 10 ? at ? %; Z1_Green is unreadable "
              "(REG_DWORD of 8 bytes): no run reads or writes this key while it is there; Z2_Red is "
              "unreadable (REG_SZ of 16 bytes): a run that reads this key writes 255 in its place; "
              "Z2_Blue is unreadable (REG_DWORD of 1 bytes): a run that reads this key writes the "
              "model's default, 230, in its place; Z2_Bright is unreadable (type 20 of 4 bytes): a run "
              "that reads this key writes the model's default, 100, in its place"},
             {"Run without arguments by this account",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "nothing (neither key may be written)"},
             {"Run by the startup task (LocalSystem)",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "to the user key"},
             {"problems[0]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[0].stored", "10"},
             {"machineKey.values[0].used", "10"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"unreadable","type":"REG_DWORD","size":8,"stored":null,)~"
              R"~("used":null,"inItsPlace":"keyNotUsed","replacement":null})~"},
             {"machineKey.values[2].stored", "10"},
             {"machineKey.values[2].used", "10"},
             {"machineKey.values[3].stored", "10"},
             {"machineKey.values[3].used", "10"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[5].stored", "10"},
             {"machineKey.values[5].used", "10"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"unreadable","type":"REG_DWORD","size":1,"stored":null,)~"
              R"~("used":null,"inItsPlace":"modelDefault","replacement":230})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"unreadable","type":"type 20","size":4,"stored":null,)~"
              R"~("used":null,"inItsPlace":"modelDefault","replacement":100})~"},
             {"thisAccountRun.reads", R"~("none")~"},
             {"thisAccountRun.stores", "null"},
             {"thisAccountRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
             {"startupTaskRun.reads", R"~("none")~"},
             {"startupTaskRun.stores", R"~("userKey")~"},
             {"startupTaskRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
         }},
    });
}

// Text from the machine and the Task Scheduler goes into the JSON escaped,
// and comes back unchanged; the lines quote and escape it as the JSON does,
// so that a quote in a name cannot end the quotes early.
TEST(StatusForms, TextIsQuotedAndEscaped)
{
    const std::wstring model = L"Veltrin \"G2\" \\ \t\x1f\x7f \u00e9\u20ac";
    StatusFacts facts = someFacts();
    facts.model.model = model;
    facts.model.generation = 2;
    const std::string json = statusOutput(facts).json;
    EXPECT_EQ(parseJson(json).at("model").at("text").string(), model);
    EXPECT_EQ(json.find_first_of("\t\x1f\x7f"), std::string::npos);
    EXPECT_THAT(statusOutput(facts).lines,
                Contains(L"Model: \"Veltrin \\\"G2\\\" \\\\ \\u0009\\u001f\\u007f \u00e9\u20ac\" (not supported)"));
    EXPECT_EQ(jsonString(L"\U0001F600"), "\"\\ud83d\\ude00\"");
    facts.model.model = L"";
    EXPECT_THAT(statusOutput(facts).lines, Contains(L"Model: \"\" (not supported)"));
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
        const StatusOutput output = statusOutput(facts);
        const std::vector<std::wstring>& lines = output.lines;
        for (const std::wstring& line : lines) {
            EXPECT_EQ(std::count_if(line.begin(), line.end(), [](wchar_t unit) { return unit < 0x20 || unit == 0x7F; }),
                      0)
                << std::string(line.begin(), line.end());
        }
        EXPECT_EQ(linesFrom(lines, L"Startup task: registered").size(), 0U);
        const std::vector<std::wstring> recordLines = linesFrom(lines, L"Last run recorded in the machine key: ");
        ASSERT_EQ(recordLines.size(), 1U);
        EXPECT_THAT(recordLines.front(), ::testing::HasSubstr(c.shown));
        const std::string& json = output.json;
        EXPECT_EQ(json.find_first_of("\r\n\x1b"), std::string::npos);
        const JsonValue parsed = parseJson(json).at("machineKey").at("lastRun");
        EXPECT_EQ(parsed.at("time").string() + parsed.at("account").string() + parsed.at("step").string(),
                  record.time + record.account + record.step);
    }
}

} // namespace
