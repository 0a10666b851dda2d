#include "Json.h"
#include "ProgramOnMachine.h"
#include "settings/StoredColors.h"

#include <aclapi.h>
#include <sddl.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <tuple>

using simulated_machine::JsonValue;
using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const wchar_t* const colorsKey = L"SOFTWARE\\Orvane\\VeltrinLighting";

void setValue(HKEY root, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, colorsKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void storeSet(HKEY root, const std::vector<DWORD>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        setValue(root, valueNames[i].data(), REG_DWORD, &values[i], sizeof(DWORD));
    }
}

// The machine's colours key as a user without administrator rights sees it
// (readable, not writable), or back to full access.
void setMachineKeySecurity(const wchar_t* sddl)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, colorsKey, 0, WRITE_DAC | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
    RegCloseKey(key);
}

// An empty machine key that this account may not write.
void makeMachineKeyReadOnly()
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, colorsKey, 0, nullptr, 0, KEY_READ | KEY_WOW64_64KEY, nullptr, &key, nullptr);
    RegCloseKey(key);
    setMachineKeySecurity(L"D:(A;;KR;;;WD)");
}

bool keyExists(HKEY root)
{
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(root, colorsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS;
    if (exists) {
        RegCloseKey(key);
    }
    return exists;
}

int member(const JsonValue& zones, const char* zone, const char* component)
{
    return static_cast<int>(zones.at(zone).at(component).integer());
}

// "logo R G B, light bar R G B" of the zone bytes a colour command carries.
std::string sentText(const std::vector<std::uint8_t>& block)
{
    std::ostringstream text;
    text << "logo " << int{block[1]} << " " << int{block[2]} << " " << int{block[3]} << ", light bar " << int{block[4]}
         << " " << int{block[5]} << " " << int{block[6]};
    return text.str();
}

// The line of the output that starts with prefix; empty when there is none.
std::string lineStartingWith(const std::string& output, const std::string& prefix)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) {
            return line.substr(0, line.find_last_not_of('\r') + 1);
        }
    }
    return {};
}

class Status : public ProgramOnMachine {
protected:
    void TearDown() override
    {
        setMachineKeySecurity(L"D:(A;;KA;;;WD)");
        ProgramOnMachine::TearDown();
    }

    static ProgramResult runOn(const SimulatedMachineCase& onMachine, const std::vector<std::wstring>& arguments)
    {
        return runProgram(
            {besideTestProgram(L"VeltrinLighting.exe"), arguments, L"lighting.exe", onMachine.environmentBlock()});
    }

    static auto registry()
    {
        return std::tuple(keyExists(HKEY_LOCAL_MACHINE), keyExists(HKEY_CURRENT_USER), storedValues(true),
                          storedValues(false));
    }
};

struct StatusCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> machine;
    std::function<void()> store;
    // The states of the machine and the user key, the key the run reads, and
    // a line status must print (empty when none is looked for).
    std::string machineKey;
    std::string userKey;
    std::string reads;
    std::string line;
    // The problems beyond those of every case here: the prefix has neither
    // the event source nor the task registered.
    std::vector<std::wstring> problems;
};

const std::wstring g1 = L"Orvane VR Veltrin G1 Workstation";

// status, as lines and as JSON, says what a run without arguments by this
// account then does: the key it reads, the bytes the firmware gets, the key it
// stores to. status itself sends nothing and creates or writes nothing.
TEST_F(Status, SaysWhatARunWithoutArgumentsThenDoes)
{
    const std::uint8_t twoBytes[2] = {7, 0};
    const StatusCase cases[] = {
        {"nothing stored",
         [](auto&) {},
         [] {},
         "none",
         "none",
         "none",
         "Model: \"Orvane VR Veltrin G2\" (second generation: colour)",
         {}},
        {"machine set complete, one value out of range",
         [](auto&) {},
         [] {
             storeSet(HKEY_LOCAL_MACHINE, {300, 0, 0, 100, 0, 0, 255, 50});
         },
         "complete",
         "none",
         "machineKey",
         "Stored colours in the machine key: complete, logo 300 (used as 255) 0 0 at 100 %, light bar 0 0 255 at 50 %",
         {}},
        {"machine key lost a value, user set complete",
         [](auto&) {},
         [] {
             storeSet(HKEY_LOCAL_MACHINE, {255, 0, 0, 100, 0, 0, 255, 50});
             RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, colorsKey, L"Z1_Blue");
             storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7, 8});
         },
         "incomplete",
         "complete",
         "machineKey",
         "Stored colours in the machine key: incomplete, logo 255 0 ? at 100 %, light bar 0 0 255 at 50 %; Z1_Blue is "
         "missing: a run that reads this key writes 255 in its place",
         {L"machineKeyIncomplete"}},
        {"short REG_BINARY in the machine key",
         [](auto&) {},
         [&] {
             storeSet(HKEY_LOCAL_MACHINE, {255, 0, 0, 100, 0, 0, 255, 50});
             setValue(HKEY_LOCAL_MACHINE, L"Z1_Red", REG_BINARY, twoBytes, sizeof(twoBytes));
         },
         "incomplete",
         "none",
         "machineKey",
         "Stored colours in the machine key: incomplete, logo ? 0 0 at 100 %, light bar 0 0 255 at 50 %; Z1_Red is "
         "unreadable (REG_BINARY of 2 bytes): a run that reads this key writes the model's default, 230, in its place",
         {L"machineKeyIncomplete"}},
        {"machine key read only, user set complete",
         [](auto&) {},
         [] {
             storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7, 8});
             makeMachineKeyReadOnly();
         },
         "none",
         "complete",
         "userKey",
         "Stored colours in the user key: complete, logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %",
         {}},
        {"machine set complete and read only, user set incomplete",
         [](auto&) {},
         [] {
             storeSet(HKEY_LOCAL_MACHINE, {10, 20, 30, 40, 50, 60, 70, 80});
             setMachineKeySecurity(L"D:(A;;KR;;;WD)");
             storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7});
         },
         "complete",
         "incomplete",
         "machineKey",
         "Stored colours in the user key: incomplete, logo 1 2 3 at 4 %, light bar 5 6 7 at ? %; Z2_Bright is missing: "
         "a run that reads this key writes 100 in its place",
         {}},
        {"machine set complete and read only, first generation",
         [](auto& m) { m.model(g1); },
         [] {
             storeSet(HKEY_LOCAL_MACHINE, {255, 0, 0, 100, 0, 0, 255, 50});
             setMachineKeySecurity(L"D:(A;;KR;;;WD)");
         },
         "complete",
         "none",
         "machineKey",
         "Model: \"Orvane VR Veltrin G1 Workstation\" (first generation: brightness only)",
         {}},
        {"unsupported model",
         [](auto& m) { m.model(L" "); },
         [] {
             storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7, 8});
         },
         "none",
         "complete",
         "",
         "Run without arguments by this account: sends nothing (the model is not supported)",
         {L"modelNotSupported"}},
        {"failed model check",
         [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_FAILED); },
         [] {},
         "none",
         "none",
         "",
         "Model: unknown (Platform check failed: PlatformCheck::init: info exception: "
         "PlatformCheck::connectWMINamespace: unspecified error)",
         {L"modelUnknown"}},
    };
    for (const auto& c : cases) {
        TearDown();
        c.store();
        SimulatedMachineCase onMachine{SimulatedMachineCase::Scope::ChildProcesses};
        c.machine(onMachine);
        const auto before = registry();

        const ProgramResult lines = runOn(onMachine, {L"status"});
        const ProgramResult json = runOn(onMachine, {L"status", L"--json"});
        EXPECT_EQ(registry(), before) << c.name;
        EXPECT_THAT(onMachine.calls(), IsEmpty()) << c.name;
        EXPECT_EQ(lineStartingWith(lines.output, c.line.substr(0, c.line.find(':') + 1)), c.line) << c.name;

        JsonValue status;
        ASSERT_NO_THROW(status = simulated_machine::parseJson(json.output)) << c.name << ": " << json.output;
        EXPECT_EQ(status.at("machineKey").at("state").string(), std::wstring(c.machineKey.begin(), c.machineKey.end()))
            << c.name;
        EXPECT_EQ(status.at("userKey").at("state").string(), std::wstring(c.userKey.begin(), c.userKey.end()))
            << c.name;
        EXPECT_EQ(status.at("formatVersion").integer(), 1) << c.name;
        std::vector<std::wstring> problems;
        for (const JsonValue& code : status.at("problems").array()) {
            problems.push_back(code.string());
        }
        std::vector<std::wstring> expected = {L"taskNotRegistered", L"eventSourceNotRegistered"};
        expected.insert(expected.end(), c.problems.begin(), c.problems.end());
        std::sort(problems.begin(), problems.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(problems, expected) << c.name;
        const JsonValue run = status.at("thisAccountRun");

        // The run itself, on the same machine.
        const ProgramResult restore = runOn(onMachine, {});
        const auto calls = onMachine.calls();
        if (c.reads.empty()) {
            EXPECT_FALSE(run.at("sends").boolean()) << c.name;
            EXPECT_THAT(calls, IsEmpty()) << c.name;
            continue;
        }
        EXPECT_EQ(restore.output, "") << c.name;
        EXPECT_EQ(run.at("reads").string(), std::wstring(c.reads.begin(), c.reads.end())) << c.name;
        ASSERT_EQ(calls.size(), 1u) << c.name;
        const std::vector<std::uint8_t> block = calls[0].data();
        const JsonValue gets = run.at("firmwareGets");
        EXPECT_EQ(std::vector<int>({member(gets, "logo", "red"), member(gets, "logo", "green"),
                                    member(gets, "logo", "blue"), member(gets, "lightBar", "red"),
                                    member(gets, "lightBar", "green"), member(gets, "lightBar", "blue")}),
                  std::vector<int>(block.begin() + 1, block.begin() + 7))
            << c.name;
        EXPECT_THAT(lineStartingWith(lines.output, "Run without arguments by this account:"),
                    HasSubstr("the firmware gets " + sentText(block) + ";"))
            << c.name;
        // What it applied is stored where status said.
        const JsonValue applies = run.at("applies");
        const bool toMachine = run.at("stores").string() == L"machineKey";
        EXPECT_EQ(storedValues(toMachine),
                  stored({static_cast<std::uint32_t>(member(applies, "logo", "red")),
                          static_cast<std::uint32_t>(member(applies, "logo", "green")),
                          static_cast<std::uint32_t>(member(applies, "logo", "blue")),
                          static_cast<std::uint32_t>(member(applies, "logo", "brightness")),
                          static_cast<std::uint32_t>(member(applies, "lightBar", "red")),
                          static_cast<std::uint32_t>(member(applies, "lightBar", "green")),
                          static_cast<std::uint32_t>(member(applies, "lightBar", "blue")),
                          static_cast<std::uint32_t>(member(applies, "lightBar", "brightness"))}))
            << c.name;
    }
}

// A restore by an account that may not write the machine key completes the
// user key and stores there what it applied, the machine's colours, as
// status says it would.
TEST_F(Status, ARestoreCompletesTheUserKeyWhenTheMachineKeyIsReadOnly)
{
    storeSet(HKEY_LOCAL_MACHINE, {10, 20, 30, 40, 50, 60, 70, 80});
    setMachineKeySecurity(L"D:(A;;KR;;;WD)");
    storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7});
    const std::string preview = lineStartingWith(run({L"status"}).output, "Run without arguments by this account");
    EXPECT_EQ(preview, "Run without arguments by this account: reads the machine key; applies logo 10 20 30 at 40 %, "
                       "light bar 50 60 70 at 80 %; the firmware gets logo 4 8 12, light bar 40 48 56; stores to the "
                       "user key");
    EXPECT_EQ(run({}).output, "");
    ASSERT_THAT(machine.calls(), ::testing::SizeIs(1));
    expectColorCommand(machine.calls()[0], {4, 8, 12, 40, 48, 56});
    EXPECT_EQ(storedValues(false), stored({10, 20, 30, 40, 50, 60, 70, 80}));
    EXPECT_EQ(storedValues(), stored({10, 20, 30, 40, 50, 60, 70, 80}));
}

} // namespace
