#include "ProgramOnMachine.h"
#include "run_record/LastRun.h"
#include "settings/RegistryKey.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <regex>

using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;
using ::testing::SizeIs;

namespace {

const wchar_t* const recordKey = L"SOFTWARE\\Orvane\\VeltrinLightingLastRun";
const wchar_t* const policyKeyPath = L"SOFTWARE\\Policies\\Orvane\\VeltrinLighting";
// The account Wine runs the tests as.
const wchar_t* const wineUser = L"S-1-5-21-0-0-0-1000";

// Every value of the record's key, by name, as the registry holds it.
std::vector<RecordValue> recordValues()
{
    std::vector<RecordValue> values;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, recordKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive())
        != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD index = 0; index < 100; ++index) {
        std::array<wchar_t, 256> name{};
        auto length = static_cast<DWORD>(name.size());
        DWORD type = 0;
        std::vector<std::uint8_t> data(1024);
        auto size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key.get(), index, name.data(), &length, nullptr, &type, data.data(), &size)
            != ERROR_SUCCESS) {
            break;
        }
        data.resize(size);
        values.push_back({std::wstring(name.data(), length), type, data});
    }
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return values;
}

std::vector<std::wstring> namesOf(const std::vector<RecordValue>& values)
{
    std::vector<std::wstring> names;
    for (const RecordValue& value : values) {
        names.push_back(value.name);
    }
    return names;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

nlohmann::json zonesJson(const std::array<std::uint8_t, 6>& bytes)
{
    return {{"logo", {{"red", bytes[0]}, {"green", bytes[1]}, {"blue", bytes[2]}}},
            {"lightBar", {{"red", bytes[3]}, {"green", bytes[4]}, {"blue", bytes[5]}}}};
}

void clearPolicyKey()
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, policyKeyPath, KEY_WOW64_64KEY, 0);
}

// How a refused or failed run ended, as its record says: the event it
// wrote, and the failing step and its status or the firmware's return code.
struct FirstRun {
    RunOutcome outcome;
    std::optional<std::uint32_t> eventId;
    const wchar_t* step;
    std::optional<std::int64_t> code;
};

// What a good run leaves after a refused or failed one.
struct Case {
    const char* name;
    // The machine and registry for the first run, and its arguments and
    // console output.
    std::function<void(SimulatedMachineCase&)> arrangeFirst;
    std::vector<std::wstring> firstArguments;
    std::string firstOutput;
    // How the first run's record says it ended, and the values it holds
    // besides Time, Account, Request, Source, Outcome, Tries and WaitedMs.
    FirstRun firstRun;
    std::vector<std::wstring> firstExtraValues;
    // What is changed between the runs (the machine is the default one).
    std::function<void()> between;
    std::vector<std::wstring> secondArguments;
    // The zone bytes of the colour command the second run sends.
    std::array<std::uint8_t, 6> sent;
    std::vector<std::uint32_t> storedAfter;
    RunRequest request;
    ColourSource source;
    const char* requestWord;
    const char* sourceWord;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

const std::vector<std::uint32_t> policyColours = {0, 0, 255, 100, 0, 255, 0, 50};

const Case cases[] = {
    {"firmware refuses, then two colours",
     [](auto& m) { m.returnCode(2); },
     {L"255", L"0", L"0", L"100"},
     "Request Failed\r\n",
     {RunOutcome::FirmwareRefused, 5, L"", 2},
     {L"Code", L"EventId", L"LightBarBytes", L"LogoBytes"},
     [] {},
     {L"0", L"255", L"0", L"100", L"0", L"0", L"255", L"50"},
     {0, 255, 0, 0, 0, 127},
     {0, 255, 0, 100, 0, 0, 255, 50},
     RunRequest::Colours,
     ColourSource::CommandLine,
     "colours",
     "commandLine"},
    {"firmware interface missing, then a restore",
     [](auto& m) { m.fail(Step::WmiGetClass, WBEM_E_NOT_FOUND); },
     {L"255", L"0", L"0", L"100", L"0", L"0", L"255", L"50"},
     "Request Failed\r\n",
     {RunOutcome::FirmwareCallFailed, 4, L"GetObject orvBIntM", 0x80041002},
     {L"Code", L"EventId", L"Step"},
     [] {},
     {},
     {255, 0, 0, 0, 0, 127},
     {255, 0, 0, 100, 0, 0, 255, 50},
     RunRequest::Restore,
     ColourSource::MachineKey,
     "restore",
     "machineKey"},
    {"refused by the policy, then the policy lifted",
     [](auto&) { setPolicy(policyColours, 0); },
     {L"10", L"20", L"30", L"50"},
     "The lighting is set by policy: HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting\r\nRequest Failed\r\n",
     {RunOutcome::RefusedByPolicy, std::nullopt, L"", std::nullopt},
     {},
     clearPolicyKey,
     {L"10", L"20", L"30", L"50"},
     {5, 10, 15, 5, 10, 15},
     {10, 20, 30, 50, 10, 20, 30, 50},
     RunRequest::Colours,
     ColourSource::CommandLine,
     "colours",
     "commandLine"},
};

class RunAfterAFailure : public ProgramOnMachine, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        ProgramOnMachine::SetUp();
        clearPolicyKey();
    }
    void TearDown() override
    {
        clearPolicyKey();
        ProgramOnMachine::TearDown();
    }
};

// A refused or failed run, then a good one on a healthy machine: the second
// leaves its own colours and a record of its own alone, with no value of the
// first's record left behind, and status shows that record whole.
TEST_P(RunAfterAFailure, LeavesOnlyItsOwnRecord)
{
    const Case& c = GetParam();
    const std::vector<std::wstring> everyRecord = {L"Account", L"Outcome", L"Request", L"Source",
                                                   L"Time",    L"Tries",   L"WaitedMs"};

    SimulatedMachineCase failing{SimulatedMachineCase::Scope::ChildProcesses};
    c.arrangeFirst(failing);
    const ProgramResult first = runProgram({besideTestProgram(L"VeltrinLighting.exe"), c.firstArguments,
                                            L"C:\\Tools\\lighting.exe", failing.environmentBlock()});
    EXPECT_EQ(first.output, c.firstOutput);
    std::vector<std::wstring> firstNames = everyRecord;
    firstNames.insert(firstNames.end(), c.firstExtraValues.begin(), c.firstExtraValues.end());
    std::sort(firstNames.begin(), firstNames.end());
    const std::vector<RecordValue> firstRecord = recordValues();
    EXPECT_EQ(namesOf(firstRecord), firstNames) << "the first run's record";
    const std::optional<LastRun> firstRead = decodeLastRun(firstRecord);
    ASSERT_TRUE(firstRead.has_value());
    EXPECT_EQ(firstRead->outcome, c.firstRun.outcome);
    EXPECT_EQ(firstRead->eventId, c.firstRun.eventId);
    EXPECT_EQ(firstRead->step, std::wstring(c.firstRun.step));
    EXPECT_EQ(firstRead->code, c.firstRun.code);

    c.between();
    const ProgramResult second = run(c.secondArguments);
    EXPECT_EQ(second.output, "");
    EXPECT_EQ(second.exitCode, 0u);
    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(1));
    expectColorCommand(calls[0], {c.sent.begin(), c.sent.end()});
    EXPECT_EQ(storedValues(), std::vector<std::optional<std::uint32_t>>(c.storedAfter.begin(), c.storedAfter.end()));

    // The whole record, value by value: the second run's time, and nothing
    // of the first's event, step or code.
    const std::vector<RecordValue> values = recordValues();
    const auto time = std::find_if(values.begin(), values.end(), [](const auto& v) { return v.name == L"Time"; });
    ASSERT_NE(time, values.end());
    const std::optional<LastRun> read = decodeLastRun(values);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(
        std::regex_match(narrow(read->time), std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z")))
        << narrow(read->time);
    EXPECT_GE(read->time, firstRead->time);
    LastRun expected;
    expected.time = read->time;
    expected.account = wineUser;
    expected.request = c.request;
    expected.source = c.source;
    expected.firmwareGot = ZoneBytes{Color(c.sent[0], c.sent[1], c.sent[2]), Color(c.sent[3], c.sent[4], c.sent[5])};
    expected.outcome = RunOutcome::Done;
    std::vector<RecordValue> expectedValues = encodeLastRun(expected);
    std::sort(expectedValues.begin(), expectedValues.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    std::vector<std::wstring> secondNames = everyRecord;
    secondNames.insert(secondNames.end(), {L"LightBarBytes", L"LogoBytes"});
    std::sort(secondNames.begin(), secondNames.end());
    EXPECT_EQ(namesOf(values), secondNames);
    ASSERT_EQ(values.size(), expectedValues.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(narrow(values[i].name));
        EXPECT_EQ(values[i].name, expectedValues[i].name);
        EXPECT_EQ(values[i].type, expectedValues[i].type);
        EXPECT_EQ(values[i].data, expectedValues[i].data);
    }

    // status --json shows that record, every member.
    const std::string status = run({L"status", L"--json"}).output;
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(status)) << status;
    const nlohmann::json expectedJson = {
        {"time", narrow(read->time)},
        {"account", narrow(wineUser)},
        {"request", c.requestWord},
        {"source", c.sourceWord},
        {"firmwareGot", zonesJson(c.sent)},
        {"outcome", "done"},
        {"eventId", nullptr},
        {"step", nullptr},
        {"code", nullptr},
        {"tries", 1},
        {"waitedMs", 0},
    };
    EXPECT_EQ(parsed.at("machineKey").at("lastRun"), expectedJson) << parsed.at("machineKey").at("lastRun").dump();
    EXPECT_EQ(parsed.at("machineKey").at("lastRunUntrusted"), nullptr);
    EXPECT_EQ(parsed.at("problems"), nlohmann::json({"taskNotRegistered", "eventSourceNotRegistered"}));
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, RunAfterAFailure, ::testing::ValuesIn(cases), [](const auto& info) {
    std::string name;
    for (const char c : std::string(info.param.name)) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
});

} // namespace
