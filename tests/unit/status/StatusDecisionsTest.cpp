#include "StatusGolden.h"
#include "platform_check/ModelGeneration.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t accessDenied = 5;

LastRun failedRestore()
{
    LastRun record;
    record.time = L"2026-12-08T01:23:45Z";
    record.account = L"S-1-5-18";
    record.outcome = RunOutcome::FirmwareCallFailed;
    record.eventId = 4;
    record.step = L"GetObject orvBIntM";
    record.code = 0x80041002;
    return record;
}

// Each decision once, seen whole in both renderings: every line and every
// JSON member of the case is the healthy machine's but for the changes.
TEST(StatusDecisions, BothFormsWordOneDecision)
{
    expectWholeOutputs({
        {"healthy, second generation", [](StatusFacts&) {}, {}},
        {"first generation",
         [](StatusFacts& f) { f.model.generation = firstGeneration; },
         {
             {"Model", R"~("Orvane VR Veltrin" (first generation: brightness only))~"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %; the "
              "firmware gets logo 1 1 3, light bar 2 2 3; stores to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %; the "
              "firmware gets logo 1 1 3, light bar 2 2 3; stores to the machine key"},
             {"model.support", R"~("brightness")~"},
             {"thisAccountRun.firmwareGets.logo.green", "1"},
             {"startupTaskRun.firmwareGets.logo.green", "1"},
         }},
        {"reads the machine key, stores to the user key",
         [](StatusFacts& f) {
             f.machineKey.writable = false;
             f.userKey = dwordSet({9, 9, 9}, true);
         },
         {
             {"Stored colours in the user key",
              "incomplete, logo 9 9 9 at ? %, light bar ? ? ? at ? %; Z1_Bright is missing: a run that "
              "reads this key writes 100 in its place; Z2_Red is missing: a run that reads this key "
              "writes 255 in its place; Z2_Green is missing: a run that reads this key writes 255 in "
              "its place; Z2_Blue is missing: a run that reads this key writes 255 in its place; "
              "Z2_Bright is missing: a run that reads this key writes 100 in its place"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %; the "
              "firmware gets logo 1 2 3, light bar 2 2 3; stores to the user key"},
             {"machineKey.writable", "false"},
             {"userKey.state", R"~("incomplete")~"},
             {"userKey.writable", "true"},
             {"userKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":9,"used":9,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":9,"used":9,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":9,"used":9,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.stores", R"~("userKey")~"},
         }},
        {"unsupported model",
         [](StatusFacts& f) { f.model.generation = unsupportedGeneration; },
         {
             {"Model", R"~("Orvane VR Veltrin" (not supported))~"},
             {"Run without arguments by this account", "sends nothing (the model is not supported)"},
             {"Run by the startup task (LocalSystem)", "sends nothing (the model is not supported)"},
             {"problems[0]", R"~("modelNotSupported")~"},
             {"model.support", R"~("none")~"},
             {"thisAccountRun",
              R"~({"sends":false,"reason":"modelNotSupported","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null})~"},
             {"startupTaskRun",
              R"~({"sends":false,"reason":"modelNotSupported","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null,"localSystemKeyError":null})~"},
         }},
        {"model unknown",
         [](StatusFacts& f) { f.model.model.reset(); },
         {
             {"Model", "unknown (Platform check failed: )"},
             {"Run without arguments by this account", "sends nothing (the model could not be read)"},
             {"Run by the startup task (LocalSystem)", "sends nothing (the model could not be read)"},
             {"problems[0]", R"~("modelUnknown")~"},
             {"model", R"~({"text":null,"support":null,"error":""})~"},
             {"thisAccountRun",
              R"~({"sends":false,"reason":"modelUnknown","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null})~"},
             {"startupTaskRun",
              R"~({"sends":false,"reason":"modelUnknown","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null,"localSystemKeyError":null})~"},
         }},
        {"short REG_BINARY: the model's default is written",
         [](StatusFacts& f) {
             f.machineKey.values[0] = {StoredValue::Answer::Read, 3, 2, 7};
         },
         {
             {"Stored colours in the machine key",
              "incomplete, logo ? 2 3 at 100 %, light bar 4 5 6 at 50 %; Z1_Red is unreadable "
              "(REG_BINARY of 2 bytes): a run that reads this key writes the model's default, 230, in "
              "its place"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 230 2 3 at 100 %, light bar 4 5 6 at 50 %; the "
              "firmware gets logo 230 2 3, light bar 2 2 3; stores to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 230 2 3 at 100 %, light bar 4 5 6 at 50 %; the "
              "firmware gets logo 230 2 3, light bar 2 2 3; stores to the machine key"},
             {"problems[0]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"unreadable","type":"REG_BINARY","size":2,"stored":null,)~"
              R"~("used":null,"inItsPlace":"modelDefault","replacement":230})~"},
             {"thisAccountRun.applies.logo.red", "230"},
             {"thisAccountRun.firmwareGets.logo.red", "230"},
             {"startupTaskRun.applies.logo.red", "230"},
             {"startupTaskRun.firmwareGets.logo.red", "230"},
         }},
        {"all eight exist, none readable",
         [](StatusFacts& f) {
             for (StoredValue& value : f.machineKey.values) {
                 value = {StoredValue::Answer::Unreadable, 1, 16, 0};
             }
             f.localSystemKeyReadError = accessDenied;
         },
         {
             {"Stored colours in the machine key",
              "incomplete, logo ? ? ? at ? %, light bar ? ? ? at ? %; Z1_Red is unreadable (REG_SZ of "
              "16 bytes): a run that reads this key writes 255 in its place; Z1_Green is unreadable "
              "(REG_SZ of 16 bytes): a run that reads this key writes 255 in its place; Z1_Blue is "
              "unreadable (REG_SZ of 16 bytes): a run that reads this key writes 255 in its place; "
              "Z1_Bright is unreadable (REG_SZ of 16 bytes): a run that reads this key writes 100 in "
              "its place; Z2_Red is unreadable (REG_SZ of 16 bytes): a run that reads this key writes "
              "255 in its place; Z2_Green is unreadable (REG_SZ of 16 bytes): a run that reads this "
              "key writes 255 in its place; Z2_Blue is unreadable (REG_SZ of 16 bytes): a run that "
              "reads this key writes 255 in its place; Z2_Bright is unreadable (REG_SZ of 16 bytes): a "
              "run that reads this key writes 100 in its place"},
             {"Run without arguments by this account",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "to the machine key; LocalSystem's own key could not be read (access denied "
              "(0x80070005)) and is taken as empty"},
             {"problems[0]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":100})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":255})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"unreadable","type":"REG_SZ","size":16,"stored":null,)~"
              R"~("used":null,"inItsPlace":"defaultWritten","replacement":100})~"},
             {"thisAccountRun.reads", R"~("none")~"},
             {"thisAccountRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
             {"startupTaskRun.reads", R"~("none")~"},
             {"startupTaskRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
             {"startupTaskRun.localSystemKeyError", R"~("access denied (0x80070005)")~"},
         }},
        {"LocalSystem's key unreadable while the machine key lacks a value",
         [](StatusFacts& f) {
             f.machineKey.values[2] = {};
             f.localSystemKeyReadError = accessDenied;
         },
         {
             {"Stored colours in the machine key",
              "incomplete, logo 1 2 ? at 100 %, light bar 4 5 6 at 50 %; Z1_Blue is missing: a run "
              "that reads this key writes 255 in its place"},
             {"Run without arguments by this account",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar "
              "210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores "
              "to the machine key; LocalSystem's own key could not be read (access denied "
              "(0x80070005)) and is taken as empty"},
             {"problems[0]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"missing","type":null,"size":null,"stored":null,"used":null,)~"
              R"~("inItsPlace":"defaultWritten","replacement":255})~"},
             {"thisAccountRun.reads", R"~("none")~"},
             {"thisAccountRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
             {"startupTaskRun.reads", R"~("none")~"},
             {"startupTaskRun.applies.logo", R"~({"red":230,"green":255,"blue":255,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":210,"green":200,"blue":230,"brightness":100})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":230,"green":255,"blue":255})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":210,"green":200,"blue":230})~"},
             {"startupTaskRun.localSystemKeyError", R"~("access denied (0x80070005)")~"},
         }},
        {"LocalSystem's key unreadable, not needed",
         [](StatusFacts& f) { f.localSystemKeyReadError = accessDenied; },
         {}},
        {"task disabled, program refused, no event source",
         [](StatusFacts& f) {
             f.task.enabled = false;
             f.taskProgramLocation = ProgramLocation{ProgramVerdict::ChangeableByUsers, L"C:\\Tools"};
             f.eventSource.registration = EventSourceState::Registration::NotRegistered;
         },
         {
             {"Event source", "not registered"},
             {"Startup task", "registered, disabled"},
             {"problems[0]", R"~("taskDisabled")~"},
             {"problems[1]", R"~("taskProgramRefused")~"},
             {"problems[2]", R"~("eventSourceNotRegistered")~"},
             {"eventSource.state", R"~("notRegistered")~"},
             {"startupTask.enabled", "false"},
             {"startupTask.locationCheck.passes", "false"},
             {"startupTask.locationCheck.reason", R"~("Users other than administrators can change C:\\Tools")~"},
         }},
        {"task not registered",
         [](StatusFacts& f) { f.task.registration = StartupTaskState::Registration::NotRegistered; },
         {
             {"Startup task", "not registered"},
             {"Startup task account", gone},
             {"Startup task triggers", gone},
             {"Startup task program", gone},
             {"Startup task last run", gone},
             {"problems[0]", R"~("taskNotRegistered")~"},
             {"startupTask.state", R"~("notRegistered")~"},
         }},
        {"a policy in force: read, stored nowhere",
         [](StatusFacts& f) {
             f.policy.state = PolicyState::InForce;
             f.policy.values = {9, 8, 7, 100, 6, 5, 4, 100};
         },
         {
             {R"~(Policy (HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting))~",
              "in force, logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; users may change the lighting: "
              "no"},
             {"Run without arguments by this account",
              "reads the policy; applies logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; the firmware "
              "gets logo 9 8 7, light bar 6 5 4; stores nothing (the policy is in force)"},
             {"Run by the startup task (LocalSystem)",
              "reads the policy; applies logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; the firmware "
              "gets logo 9 8 7, light bar 6 5 4; stores nothing (the policy is in force)"},
             {"policy.state", R"~("inForce")~"},
             {"policy.values.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"policy.values.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"policy.usersMayChange", "false"},
             {"thisAccountRun.reads", R"~("policy")~"},
             {"thisAccountRun.stores", "null"},
             {"thisAccountRun.applies.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":9,"green":8,"blue":7})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":6,"green":5,"blue":4})~"},
             {"startupTaskRun.reads", R"~("policy")~"},
             {"startupTaskRun.stores", "null"},
             {"startupTaskRun.applies.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":9,"green":8,"blue":7})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":6,"green":5,"blue":4})~"},
         }},
        {"a policy in force that users may change",
         [](StatusFacts& f) {
             f.policy.state = PolicyState::InForce;
             f.policy.values = {9, 8, 7, 100, 6, 5, 4, 100};
             f.policy.usersMayChange = true;
         },
         {
             {R"~(Policy (HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting))~",
              "in force, logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; users may change the lighting: "
              "yes"},
             {"Run without arguments by this account",
              "reads the policy; applies logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; the firmware "
              "gets logo 9 8 7, light bar 6 5 4; stores nothing (the policy is in force)"},
             {"Run by the startup task (LocalSystem)",
              "reads the policy; applies logo 9 8 7 at 100 %, light bar 6 5 4 at 100 %; the firmware "
              "gets logo 9 8 7, light bar 6 5 4; stores nothing (the policy is in force)"},
             {"policy.state", R"~("inForce")~"},
             {"policy.values.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"policy.values.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"policy.usersMayChange", "true"},
             {"thisAccountRun.reads", R"~("policy")~"},
             {"thisAccountRun.stores", "null"},
             {"thisAccountRun.applies.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":9,"green":8,"blue":7})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":6,"green":5,"blue":4})~"},
             {"startupTaskRun.reads", R"~("policy")~"},
             {"startupTaskRun.stores", "null"},
             {"startupTaskRun.applies.logo", R"~({"red":9,"green":8,"blue":7,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":6,"green":5,"blue":4,"brightness":100})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":9,"green":8,"blue":7})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":6,"green":5,"blue":4})~"},
         }},
        {"an unusable policy, a last run that failed",
         [](StatusFacts& f) {
             PolicyValues values;
             values.colours[3] = {StoredValue::Answer::Read, registryDwordType, 4, 150};
             f.policy = decidePolicy(values);
             f.machineLastRun = RecordFacts{failedRestore(), L"LocalSystem"};
         },
         {
             {R"~(Policy (HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting))~",
              "unusable: Z1_Red is missing; runs go on as without it"},
             {"Last run recorded in the machine key",
              R"~("2026-12-08T01:23:45Z", "LocalSystem" ("S-1-5-18"), restore from the model's defaults; )~"
              R"~(failed: the firmware call failed (event 4, "GetObject orvBIntM", code 0x80041002))~"},
             {"problems[0]", R"~("policyUnusable")~"},
             {"problems[1]", R"~("lastRunFailed")~"},
             {"policy.state", R"~("unusable")~"},
             {"policy.fault.value", R"~("Z1_Red")~"},
             {"policy.fault.text", R"~("Z1_Red is missing")~"},
             {"machineKey.lastRun",
              R"~({"time":"2026-12-08T01:23:45Z","account":"S-1-5-18","request":"restore",)~"
              R"~("source":"modelDefaults","firmwareGot":null,"outcome":"firmwareCallFailed","eventId":4,)~"
              R"~("step":"GetObject orvBIntM","code":2147749890,"tries":1,"waitedMs":0})~"},
         }},
        {"a record of colours from the command line, done after tries, by an account without a name",
         [](StatusFacts& f) {
             LastRun record;
             record.time = L"2026-12-08T01:23:45Z";
             record.account = L"S-1-5-21-1-2-3-1001";
             record.request = RunRequest::Colours;
             record.source = ColourSource::CommandLine;
             record.firmwareGot = ZoneBytes{Color(1, 2, 3), Color(4, 5, 6)};
             record.tries = 4;
             record.waitedMs = 3512;
             f.userLastRun = RecordFacts{record, L""};
         },
         {
             {"Last run recorded in the user key",
              R"~("2026-12-08T01:23:45Z", "S-1-5-21-1-2-3-1001", colours from the command line, the )~"
              R"~(firmware got logo 1 2 3, light bar 4 5 6; done after 4 tries in 3.5 s)~"},
             {"userKey.lastRun.time", R"~("2026-12-08T01:23:45Z")~"},
             {"userKey.lastRun.account", R"~("S-1-5-21-1-2-3-1001")~"},
             {"userKey.lastRun.request", R"~("colours")~"},
             {"userKey.lastRun.source", R"~("commandLine")~"},
             {"userKey.lastRun.firmwareGot.logo", R"~({"red":1,"green":2,"blue":3})~"},
             {"userKey.lastRun.firmwareGot.lightBar", R"~({"red":4,"green":5,"blue":6})~"},
             {"userKey.lastRun.outcome", R"~("done")~"},
             {"userKey.lastRun.eventId", "null"},
             {"userKey.lastRun.step", "null"},
             {"userKey.lastRun.code", "null"},
             {"userKey.lastRun.tries", "4"},
             {"userKey.lastRun.waitedMs", "3512"},
         }},
        {"a record of a firmware that refused the command",
         [](StatusFacts& f) {
             LastRun record = failedRestore();
             record.request = RunRequest::Brightness;
             record.source = ColourSource::UserKey;
             record.outcome = RunOutcome::FirmwareRefused;
             record.eventId = 5;
             record.step.clear();
             record.code = 2;
             f.machineLastRun = RecordFacts{record, L"LocalSystem"};
         },
         {
             {"Last run recorded in the machine key",
              R"~("2026-12-08T01:23:45Z", "LocalSystem" ("S-1-5-18"), brightness from the user key; )~"
              R"~(failed: the firmware refused the command (event 5, code 2))~"},
             {"problems[0]", R"~("lastRunFailed")~"},
             {"machineKey.lastRun",
              R"~({"time":"2026-12-08T01:23:45Z","account":"S-1-5-18","request":"brightness",)~"
              R"~("source":"userKey","firmwareGot":null,"outcome":"firmwareRefused","eventId":5,)~"
              R"~("step":null,"code":2,"tries":1,"waitedMs":0})~"},
         }},
        {"a machine record key that is not trusted: not shown, said why, a problem",
         [](StatusFacts& f) {
             LastRun record;
             record.outcome = RunOutcome::FirmwareRefused;
             f.userLastRun = RecordFacts{record, L""};
             f.machineRecordDistrust = L"it is a registry link";
         },
         {
             {"Last run recorded in the machine key", "not shown, its key is not trusted: it is a registry link"},
             {"Last run recorded in the user key",
              R"~("", "", restore from the model's defaults; failed: the firmware refused the command)~"},
             {"problems[0]", R"~("recordUntrusted")~"},
             {"machineKey.lastRunUntrusted", R"~("it is a registry link")~"},
             {"userKey.lastRun",
              R"~({"time":"","account":"","request":"restore","source":"modelDefaults","firmwareGot":null,)~"
              R"~("outcome":"firmwareRefused","eventId":null,"step":null,"code":null,"tries":1,)~"
              R"~("waitedMs":0})~"},
         }},
        {"a user's record key that is a link: not shown, no problem of the machine",
         [](StatusFacts& f) { f.userRecordDistrust = L"it is a registry link"; },
         {
             {"Last run recorded in the user key", "not shown, its key is not trusted: it is a registry link"},
             {"userKey.lastRunUntrusted", R"~("it is a registry link")~"},
         }},
        {"a run refused by the policy is no failure",
         [](StatusFacts& f) {
             LastRun record;
             record.outcome = RunOutcome::RefusedByPolicy;
             f.machineLastRun = RecordFacts{record, L""};
         },
         {
             {"Last run recorded in the machine key",
              R"~("", "", restore from the model's defaults; refused by the policy)~"},
             {"machineKey.lastRun",
              R"~({"time":"","account":"","request":"restore","source":"modelDefaults","firmwareGot":null,)~"
              R"~("outcome":"refusedByPolicy","eventId":null,"step":null,"code":null,"tries":1,)~"
              R"~("waitedMs":0})~"},
         }},
        {"task and event source unreadable: no problem of the machine",
         [](StatusFacts& f) {
             f.task = {};
             f.task.error = static_cast<std::int32_t>(0x80070005U);
             f.taskProgramLocation.reset();
             f.eventSource = {};
             f.eventSource.error = accessDenied;
         },
         {
             {"Event source", "could not be read: access denied (0x80070005)"},
             {"Startup task", "could not be read: access denied (0x80070005)"},
             {"Startup task account", gone},
             {"Startup task triggers", gone},
             {"Startup task program", gone},
             {"Startup task last run", gone},
             {"eventSource.state", R"~("couldNotBeRead")~"},
             {"eventSource.error", R"~("access denied (0x80070005)")~"},
             {"startupTask",
              R"~({"state":"couldNotBeRead","error":"access denied (0x80070005)","enabled":null,)~"
              R"~("notTheProgram":null,"userId":null,"logonType":null,"triggers":null,"program":null,)~"
              R"~("arguments":null,"locationCheck":null,"hasRun":null,"lastRunTime":null})~"},
         }},
        {"event source without a message file, the Task Scheduler not running",
         [](StatusFacts& f) {
             f.task = {};
             f.task.error = static_cast<std::int32_t>(0x80041315U);
             f.taskProgramLocation.reset();
             f.eventSource.messageFile = std::nullopt;
         },
         {
             {"Startup task", "could not be read: the Task Scheduler service is not running (0x80041315)"},
             {"Startup task account", gone},
             {"Startup task triggers", gone},
             {"Startup task program", gone},
             {"Startup task last run", gone},
             {"startupTask",
              R"~({"state":"couldNotBeRead","error":"the Task Scheduler service is not running )~"
              R"~((0x80041315)","enabled":null,"notTheProgram":null,"userId":null,"logonType":null,)~"
              R"~("triggers":null,"program":null,"arguments":null,"locationCheck":null,"hasRun":null,)~"
              R"~("lastRunTime":null})~"},
         }},
    });
}

} // namespace
