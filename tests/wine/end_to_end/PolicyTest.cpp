#include "Json.h"
#include "ProgramOnMachine.h"
#include "settings/StoredColors.h"

#include <gmock/gmock.h>

#include <cctype>
#include <functional>

using simulated_machine::JsonValue;
using ::testing::Contains;
using ::testing::SizeIs;

namespace {

const std::vector<std::uint32_t> policyColours = {0, 0, 255, 100, 0, 255, 0, 50};
const std::vector<std::uint32_t> storedColours = {255, 0, 0, 100, 255, 0, 0, 100};

std::vector<std::optional<std::uint32_t>> asStored(const std::vector<std::uint32_t>& values)
{
    return {values.begin(), values.end()};
}

class Policy : public ProgramOnMachine {
protected:
    void SetUp() override
    {
        ProgramOnMachine::SetUp();
        clearPolicy();
    }
    void TearDown() override
    {
        clearPolicy();
        ProgramOnMachine::TearDown();
    }
};

struct Case {
    const char* name;
    std::function<void(simulated_machine::SimulatedMachineCase&)> arrange;
    std::vector<std::wstring> arguments;
    std::string output;
    // The zone bytes of the colour command sent; empty when nothing is sent.
    std::vector<std::uint8_t> sent;
    std::vector<std::uint32_t> storedAfter;
    // What status --json then says.
    const wchar_t* policyState;
    const wchar_t* recordSource;
    const wchar_t* recordOutcome;
    std::vector<std::wstring> problems;
};

const std::string refusedOutput = "The lighting is set by policy: HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting\r\n"
                                  "Request Failed\r\n";
const std::vector<std::wstring> noProblems = {L"taskNotRegistered", L"eventSourceNotRegistered"};
const std::vector<std::wstring> unusable = {L"taskNotRegistered", L"eventSourceNotRegistered", L"policyUnusable"};

const Case cases[] = {
    {"restore in force", [](auto&) { setPolicy(policyColours, 0); }, {}, "", {0, 0, 255, 0, 127, 0}, storedColours,
     L"inForce", L"policy", L"done", noProblems},
    // The first generation's bytes are its own: the status check below holds
    // them to what status previews.
    {"restore in force, first generation",
     [](auto& m) { m.model(L"Orvane VR Veltrin G1 Workstation"), setPolicy(policyColours, std::nullopt); }, {}, "",
     {}, storedColours, L"inForce", L"policy", L"done", noProblems},
    {"colours refused", [](auto&) { setPolicy(policyColours, 0); }, {L"1", L"2", L"3", L"4"}, refusedOutput, {},
     storedColours, L"inForce", L"commandLine", L"refusedByPolicy", noProblems},
    {"default refused", [](auto&) { setPolicy(policyColours, std::nullopt); }, {L"default"}, refusedOutput, {},
     storedColours, L"inForce", L"modelDefaults", L"refusedByPolicy", noProblems},
    {"brightness when users may change it", [](auto&) { setPolicy(policyColours, 1); }, {L"50"}, "",
     {0, 0, 127, 0, 127, 0}, {0, 0, 255, 50, 0, 255, 0, 50}, L"inForce", L"policy", L"done", noProblems},
    {"seven values", [](auto&) { setPolicy({0, 0, 255, 100, 0, 255, 0}, 0); }, {}, "", {255, 0, 0, 255, 0, 0},
     storedColours, L"unusable", L"machineKey", L"done", unusable},
    {"a brightness of 150", [](auto&) { setPolicy({0, 0, 255, 150, 0, 255, 0, 50}, 0); }, {L"1", L"2", L"3", L"4"},
     "", {0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 1, 2, 3, 4}, L"unusable", L"commandLine", L"done", unusable},
    {"a REG_SZ",
     [](auto&) {
         setPolicy(policyColours, 0);
         setPolicyValue(L"Z2_Red", REG_SZ, L"0", 4);
     },
     {}, "", {255, 0, 0, 255, 0, 0}, storedColours, L"unusable", L"machineKey", L"done", unusable},
    {"firmware refuses", [](auto& m) { m.returnCode(2); }, {}, "Request Failed\r\n", {255, 0, 0, 255, 0, 0},
     storedColours, L"none", L"machineKey", L"firmwareRefused",
     {L"taskNotRegistered", L"eventSourceNotRegistered", L"lastRunFailed"}},
};

class PolicyRun : public Policy, public ::testing::WithParamInterface<Case> {};

// Each case starts from the stored colours (red), runs the program once and
// then reads status --json: a policy in force is applied by a restore and
// stored nowhere, refuses requests unless users may change them, and an
// unusable one changes nothing; the record says who did what and how it
// ended, and the firmware got what status previews.
TEST_P(PolicyRun, AndItsRecord)
{
    const Case& c = GetParam();
    storeValues(storedColours);
    c.arrange(machine);

    EXPECT_EQ(run(c.arguments).output, c.output);
    const auto calls = machine.calls();
    if (!c.sent.empty()) {
        ASSERT_THAT(calls, SizeIs(1));
        expectColorCommand(calls[0], c.sent);
    }
    EXPECT_EQ(calls.empty(), c.output == refusedOutput);
    EXPECT_EQ(storedValues(), asStored(c.storedAfter));

    const std::string json = run({L"status", L"--json"}).output;
    JsonValue status;
    ASSERT_NO_THROW(status = simulated_machine::parseJson(json)) << json;
    EXPECT_EQ(status.at("policy").at("state").string(), c.policyState);
    std::vector<std::wstring> problems;
    for (const JsonValue& code : status.at("problems").array()) {
        problems.push_back(code.string());
    }
    EXPECT_EQ(problems, c.problems);
    const JsonValue record = status.at("machineKey").at("lastRun");
    EXPECT_EQ(record.at("account").string(), L"S-1-5-21-0-0-0-1000") << "the account Wine runs as";
    EXPECT_EQ(record.at("source").string(), c.recordSource);
    EXPECT_EQ(record.at("outcome").string(), c.recordOutcome);
    const bool refusedByFirmware = std::wstring(c.recordOutcome) == L"firmwareRefused";
    EXPECT_EQ(record.at("eventId").isNull(), !refusedByFirmware);
    if (refusedByFirmware) {
        EXPECT_EQ(record.at("eventId").integer(), 5);
        EXPECT_EQ(record.at("code").integer(), 2);
    }
    const JsonValue preview = status.at("startupTaskRun");
    const bool underPolicy = std::wstring(c.policyState) == L"inForce";
    EXPECT_EQ(preview.at("reads").string(), underPolicy ? L"policy" : L"machineKey");
    EXPECT_EQ(preview.at("stores").isNull(), underPolicy);
    // A restore's record and the preview of the next restore agree on what
    // the firmware gets.
    EXPECT_EQ(record.at("firmwareGot").isNull(), calls.empty());
    if (c.arguments.empty()) {
        for (const char* zone : {"logo", "lightBar"}) {
            for (const char* byte : {"red", "green", "blue"}) {
                EXPECT_EQ(record.at("firmwareGot").at(zone).at(byte).integer(),
                          preview.at("firmwareGets").at(zone).at(byte).integer())
                    << zone << " " << byte;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Policy, PolicyRun, ::testing::ValuesIn(cases), [](const auto& info) {
    std::string name;
    for (const char c : std::string(info.param.name)) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
});

// With users allowed to change it, a request is stored, and the next restore
// brings the policy's colours back.
TEST_F(Policy, ARestoreBringsThePolicyBackAfterAUsersChange)
{
    setPolicy(policyColours, 1);
    EXPECT_EQ(run({L"1", L"2", L"3", L"4"}).output, "");
    EXPECT_EQ(storedValues(), stored({1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(run({}).output, "");
    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(2));
    expectColorCommand(calls[1], {0, 0, 255, 0, 127, 0});
    EXPECT_EQ(storedValues(), stored({1, 2, 3, 4, 1, 2, 3, 4}));
}

} // namespace
