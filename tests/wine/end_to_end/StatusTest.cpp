#include "GoldenOutput.h"
#include "Json.h"
#include "ProgramOnMachine.h"
#include "settings/StoredColors.h"

#include <aclapi.h>
#include <sddl.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string_view>
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
    // Both forms whole: the output with nothing stored (nothingStoredOutput)
    // with these changes.
    std::vector<Change> output;
};

// Both forms of status as entries (GoldenOutput.h), the version, which each
// release changes, as VERSION.
Entries statusEntries(const std::string& lines, const std::string& json)
{
    Entries entries = lineEntries(lines);
    const Entries members = jsonEntries(json);
    entries.insert(entries.end(), members.begin(), members.end());
    for (auto& [key, value] : entries) {
        if (key == "Version" || key == "version") {
            value = "VERSION";
        }
    }
    return entries;
}

// status and status --json with nothing stored, the event source and the
// task not registered: the lines ("Label = text"), then the JSON's members.
constexpr std::string_view nothingStoredOutput = R"~(
Version = VERSION
Model = "Orvane VR Veltrin G2" (second generation: colour)
Policy (HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting) = none
Stored colours in the machine key = none
Last run recorded in the machine key = none
Stored colours in the user key = none
Last run recorded in the user key = none
Run without arguments by this account = uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar 210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores to the machine key
Run by the startup task (LocalSystem) = uses no stored set; applies the model's defaults, logo 230 255 255 at 100 %, light bar 210 200 230 at 100 %; the firmware gets logo 230 255 255, light bar 210 200 230; stores to the machine key
Event source = not registered
Startup task = not registered
formatVersion = 1
version = VERSION
problems[0] = "taskNotRegistered"
problems[1] = "eventSourceNotRegistered"
model.text = "Orvane VR Veltrin G2"
model.support = "colour"
model.error = null
policy.key = "HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting"
policy.state = "none"
policy.fault = null
policy.values = null
policy.usersMayChange = null
machineKey.state = "none"
machineKey.writable = true
machineKey.values[0].name = "Z1_Red"
machineKey.values[0].state = "missing"
machineKey.values[0].type = null
machineKey.values[0].size = null
machineKey.values[0].stored = null
machineKey.values[0].used = null
machineKey.values[0].inItsPlace = "defaultWritten"
machineKey.values[0].replacement = 255
machineKey.values[1].name = "Z1_Green"
machineKey.values[1].state = "missing"
machineKey.values[1].type = null
machineKey.values[1].size = null
machineKey.values[1].stored = null
machineKey.values[1].used = null
machineKey.values[1].inItsPlace = "defaultWritten"
machineKey.values[1].replacement = 255
machineKey.values[2].name = "Z1_Blue"
machineKey.values[2].state = "missing"
machineKey.values[2].type = null
machineKey.values[2].size = null
machineKey.values[2].stored = null
machineKey.values[2].used = null
machineKey.values[2].inItsPlace = "defaultWritten"
machineKey.values[2].replacement = 255
machineKey.values[3].name = "Z1_Bright"
machineKey.values[3].state = "missing"
machineKey.values[3].type = null
machineKey.values[3].size = null
machineKey.values[3].stored = null
machineKey.values[3].used = null
machineKey.values[3].inItsPlace = "defaultWritten"
machineKey.values[3].replacement = 100
machineKey.values[4].name = "Z2_Red"
machineKey.values[4].state = "missing"
machineKey.values[4].type = null
machineKey.values[4].size = null
machineKey.values[4].stored = null
machineKey.values[4].used = null
machineKey.values[4].inItsPlace = "defaultWritten"
machineKey.values[4].replacement = 255
machineKey.values[5].name = "Z2_Green"
machineKey.values[5].state = "missing"
machineKey.values[5].type = null
machineKey.values[5].size = null
machineKey.values[5].stored = null
machineKey.values[5].used = null
machineKey.values[5].inItsPlace = "defaultWritten"
machineKey.values[5].replacement = 255
machineKey.values[6].name = "Z2_Blue"
machineKey.values[6].state = "missing"
machineKey.values[6].type = null
machineKey.values[6].size = null
machineKey.values[6].stored = null
machineKey.values[6].used = null
machineKey.values[6].inItsPlace = "defaultWritten"
machineKey.values[6].replacement = 255
machineKey.values[7].name = "Z2_Bright"
machineKey.values[7].state = "missing"
machineKey.values[7].type = null
machineKey.values[7].size = null
machineKey.values[7].stored = null
machineKey.values[7].used = null
machineKey.values[7].inItsPlace = "defaultWritten"
machineKey.values[7].replacement = 100
machineKey.lastRun = null
machineKey.lastRunUntrusted = null
userKey.state = "none"
userKey.writable = true
userKey.values[0].name = "Z1_Red"
userKey.values[0].state = "missing"
userKey.values[0].type = null
userKey.values[0].size = null
userKey.values[0].stored = null
userKey.values[0].used = null
userKey.values[0].inItsPlace = "defaultWritten"
userKey.values[0].replacement = 255
userKey.values[1].name = "Z1_Green"
userKey.values[1].state = "missing"
userKey.values[1].type = null
userKey.values[1].size = null
userKey.values[1].stored = null
userKey.values[1].used = null
userKey.values[1].inItsPlace = "defaultWritten"
userKey.values[1].replacement = 255
userKey.values[2].name = "Z1_Blue"
userKey.values[2].state = "missing"
userKey.values[2].type = null
userKey.values[2].size = null
userKey.values[2].stored = null
userKey.values[2].used = null
userKey.values[2].inItsPlace = "defaultWritten"
userKey.values[2].replacement = 255
userKey.values[3].name = "Z1_Bright"
userKey.values[3].state = "missing"
userKey.values[3].type = null
userKey.values[3].size = null
userKey.values[3].stored = null
userKey.values[3].used = null
userKey.values[3].inItsPlace = "defaultWritten"
userKey.values[3].replacement = 100
userKey.values[4].name = "Z2_Red"
userKey.values[4].state = "missing"
userKey.values[4].type = null
userKey.values[4].size = null
userKey.values[4].stored = null
userKey.values[4].used = null
userKey.values[4].inItsPlace = "defaultWritten"
userKey.values[4].replacement = 255
userKey.values[5].name = "Z2_Green"
userKey.values[5].state = "missing"
userKey.values[5].type = null
userKey.values[5].size = null
userKey.values[5].stored = null
userKey.values[5].used = null
userKey.values[5].inItsPlace = "defaultWritten"
userKey.values[5].replacement = 255
userKey.values[6].name = "Z2_Blue"
userKey.values[6].state = "missing"
userKey.values[6].type = null
userKey.values[6].size = null
userKey.values[6].stored = null
userKey.values[6].used = null
userKey.values[6].inItsPlace = "defaultWritten"
userKey.values[6].replacement = 255
userKey.values[7].name = "Z2_Bright"
userKey.values[7].state = "missing"
userKey.values[7].type = null
userKey.values[7].size = null
userKey.values[7].stored = null
userKey.values[7].used = null
userKey.values[7].inItsPlace = "defaultWritten"
userKey.values[7].replacement = 100
userKey.lastRun = null
userKey.lastRunUntrusted = null
thisAccountRun.sends = true
thisAccountRun.reason = null
thisAccountRun.reads = "none"
thisAccountRun.stores = "machineKey"
thisAccountRun.applies.logo.red = 230
thisAccountRun.applies.logo.green = 255
thisAccountRun.applies.logo.blue = 255
thisAccountRun.applies.logo.brightness = 100
thisAccountRun.applies.lightBar.red = 210
thisAccountRun.applies.lightBar.green = 200
thisAccountRun.applies.lightBar.blue = 230
thisAccountRun.applies.lightBar.brightness = 100
thisAccountRun.firmwareGets.logo.red = 230
thisAccountRun.firmwareGets.logo.green = 255
thisAccountRun.firmwareGets.logo.blue = 255
thisAccountRun.firmwareGets.lightBar.red = 210
thisAccountRun.firmwareGets.lightBar.green = 200
thisAccountRun.firmwareGets.lightBar.blue = 230
startupTaskRun.sends = true
startupTaskRun.reason = null
startupTaskRun.reads = "none"
startupTaskRun.stores = "machineKey"
startupTaskRun.applies.logo.red = 230
startupTaskRun.applies.logo.green = 255
startupTaskRun.applies.logo.blue = 255
startupTaskRun.applies.logo.brightness = 100
startupTaskRun.applies.lightBar.red = 210
startupTaskRun.applies.lightBar.green = 200
startupTaskRun.applies.lightBar.blue = 230
startupTaskRun.applies.lightBar.brightness = 100
startupTaskRun.firmwareGets.logo.red = 230
startupTaskRun.firmwareGets.logo.green = 255
startupTaskRun.firmwareGets.logo.blue = 255
startupTaskRun.firmwareGets.lightBar.red = 210
startupTaskRun.firmwareGets.lightBar.green = 200
startupTaskRun.firmwareGets.lightBar.blue = 230
startupTaskRun.localSystemKeyError = null
eventSource.state = "notRegistered"
eventSource.messageFile = null
eventSource.error = null
startupTask.state = "notRegistered"
startupTask.error = null
startupTask.enabled = null
startupTask.notTheProgram = null
startupTask.userId = null
startupTask.logonType = null
startupTask.triggers = null
startupTask.program = null
startupTask.arguments = null
startupTask.locationCheck = null
startupTask.hasRun = null
startupTask.lastRunTime = null
)~";

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
         {},
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
         {},
         {
             {"Stored colours in the machine key",
              "complete, logo 300 (used as 255) 0 0 at 100 %, light bar 0 0 255 at 50 %"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 255 0 0, light bar 0 0 127; stores to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 255 0 0, light bar 0 0 127; stores to the machine key"},
             {"machineKey.state", R"~("complete")~"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":300,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":100,)~"
              R"~("used":100,"inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":50,"used":50,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("machineKey")~"},
             {"thisAccountRun.applies.logo", R"~({"red":255,"green":0,"blue":0,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":255,"green":0,"blue":0})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":127})~"},
             {"startupTaskRun.reads", R"~("machineKey")~"},
             {"startupTaskRun.applies.logo", R"~({"red":255,"green":0,"blue":0,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":255,"green":0,"blue":0})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":127})~"},
         }},
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
         {L"machineKeyIncomplete"},
         {
             {"Stored colours in the machine key",
              "incomplete, logo 255 0 ? at 100 %, light bar 0 0 255 at 50 %; Z1_Blue is missing: a run "
              "that reads this key writes 255 in its place"},
             {"Stored colours in the user key", "complete, logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 255 0 255 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 255 0 255, light bar 0 0 127; stores to the machine key"},
             {"problems[2]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":100,)~"
              R"~("used":100,"inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":50,"used":50,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.state", R"~("complete")~"},
             {"userKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":1,"used":1,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":2,"used":2,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":3,"used":3,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":4,"used":4,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":5,"used":5,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":6,"used":6,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":7,"used":7,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":8,"used":8,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("machineKey")~"},
             {"thisAccountRun.applies.logo.red", "255"},
             {"thisAccountRun.applies.logo.green", "0"},
             {"thisAccountRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"thisAccountRun.firmwareGets.logo.red", "255"},
             {"thisAccountRun.firmwareGets.logo.green", "0"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":127})~"},
         }},
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
         {L"machineKeyIncomplete"},
         {
             {"Stored colours in the machine key",
              "incomplete, logo ? 0 0 at 100 %, light bar 0 0 255 at 50 %; Z1_Red is unreadable "
              "(REG_BINARY of 2 bytes): a run that reads this key writes the model's default, 230, in "
              "its place"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 230 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 230 0 0, light bar 0 0 127; stores to the machine key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 230 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 230 0 0, light bar 0 0 127; stores to the machine key"},
             {"problems[2]", R"~("machineKeyIncomplete")~"},
             {"machineKey.state", R"~("incomplete")~"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"unreadable","type":"REG_BINARY","size":2,"stored":null,)~"
              R"~("used":null,"inItsPlace":"modelDefault","replacement":230})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":100,)~"
              R"~("used":100,"inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":50,"used":50,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("machineKey")~"},
             {"thisAccountRun.applies.logo.green", "0"},
             {"thisAccountRun.applies.logo.blue", "0"},
             {"thisAccountRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"thisAccountRun.firmwareGets.logo.green", "0"},
             {"thisAccountRun.firmwareGets.logo.blue", "0"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":127})~"},
             {"startupTaskRun.reads", R"~("machineKey")~"},
             {"startupTaskRun.applies.logo.green", "0"},
             {"startupTaskRun.applies.logo.blue", "0"},
             {"startupTaskRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"startupTaskRun.firmwareGets.logo.green", "0"},
             {"startupTaskRun.firmwareGets.logo.blue", "0"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":127})~"},
         }},
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
         {},
         {
             {"Stored colours in the user key", "complete, logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %"},
             {"Run without arguments by this account",
              "reads the user key; applies logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %; the firmware "
              "gets logo 0 0 0, light bar 0 0 0; stores to the user key"},
             {"machineKey.writable", "false"},
             {"userKey.state", R"~("complete")~"},
             {"userKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":1,"used":1,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":2,"used":2,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":3,"used":3,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":4,"used":4,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":5,"used":5,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":6,"used":6,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":7,"used":7,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":8,"used":8,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("userKey")~"},
             {"thisAccountRun.stores", R"~("userKey")~"},
             {"thisAccountRun.applies.logo", R"~({"red":1,"green":2,"blue":3,"brightness":4})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":5,"green":6,"blue":7,"brightness":8})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":0,"green":0,"blue":0})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":0,"green":0,"blue":0})~"},
         }},
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
         {},
         {
             {"Stored colours in the machine key", "complete, logo 10 20 30 at 40 %, light bar 50 60 70 at 80 %"},
             {"Stored colours in the user key",
              "incomplete, logo 1 2 3 at 4 %, light bar 5 6 7 at ? %; Z2_Bright is missing: a run that "
              "reads this key writes 100 in its place"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 10 20 30 at 40 %, light bar 50 60 70 at 80 %; the "
              "firmware gets logo 4 8 12, light bar 40 48 56; stores to the user key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 10 20 30 at 40 %, light bar 50 60 70 at 80 %; the "
              "firmware gets logo 4 8 12, light bar 40 48 56; stores to the machine key"},
             {"machineKey.state", R"~("complete")~"},
             {"machineKey.writable", "false"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":10,"used":10,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":20,"used":20,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":30,"used":30,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":40,"used":40,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":50,"used":50,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":60,"used":60,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":70,"used":70,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":80,"used":80,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.state", R"~("incomplete")~"},
             {"userKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":1,"used":1,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":2,"used":2,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":3,"used":3,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":4,"used":4,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":5,"used":5,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":6,"used":6,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":7,"used":7,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("machineKey")~"},
             {"thisAccountRun.stores", R"~("userKey")~"},
             {"thisAccountRun.applies.logo", R"~({"red":10,"green":20,"blue":30,"brightness":40})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":50,"green":60,"blue":70,"brightness":80})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":4,"green":8,"blue":12})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":40,"green":48,"blue":56})~"},
             {"startupTaskRun.reads", R"~("machineKey")~"},
             {"startupTaskRun.applies.logo", R"~({"red":10,"green":20,"blue":30,"brightness":40})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":50,"green":60,"blue":70,"brightness":80})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":4,"green":8,"blue":12})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":40,"green":48,"blue":56})~"},
         }},
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
         {},
         {
             {"Model", R"~("Orvane VR Veltrin G1 Workstation" (first generation: brightness only))~"},
             {"Stored colours in the machine key", "complete, logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %"},
             {"Run without arguments by this account",
              "reads the machine key; applies logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 255 53 0, light bar 0 8 127; stores to the user key"},
             {"Run by the startup task (LocalSystem)",
              "reads the machine key; applies logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %; the "
              "firmware gets logo 255 53 0, light bar 0 8 127; stores to the machine key"},
             {"model.text", R"~("Orvane VR Veltrin G1 Workstation")~"},
             {"model.support", R"~("brightness")~"},
             {"machineKey.state", R"~("complete")~"},
             {"machineKey.writable", "false"},
             {"machineKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":100,)~"
              R"~("used":100,"inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":0,"used":0,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":255,"used":255,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"machineKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":50,"used":50,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun.reads", R"~("machineKey")~"},
             {"thisAccountRun.stores", R"~("userKey")~"},
             {"thisAccountRun.applies.logo", R"~({"red":255,"green":0,"blue":0,"brightness":100})~"},
             {"thisAccountRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"thisAccountRun.firmwareGets.logo", R"~({"red":255,"green":53,"blue":0})~"},
             {"thisAccountRun.firmwareGets.lightBar", R"~({"red":0,"green":8,"blue":127})~"},
             {"startupTaskRun.reads", R"~("machineKey")~"},
             {"startupTaskRun.applies.logo", R"~({"red":255,"green":0,"blue":0,"brightness":100})~"},
             {"startupTaskRun.applies.lightBar", R"~({"red":0,"green":0,"blue":255,"brightness":50})~"},
             {"startupTaskRun.firmwareGets.logo", R"~({"red":255,"green":53,"blue":0})~"},
             {"startupTaskRun.firmwareGets.lightBar", R"~({"red":0,"green":8,"blue":127})~"},
         }},
        {"unsupported model",
         [](auto& m) { m.model(L" "); },
         [] {
             storeSet(HKEY_CURRENT_USER, {1, 2, 3, 4, 5, 6, 7, 8});
         },
         "none",
         "complete",
         "",
         "Run without arguments by this account: sends nothing (the model is not supported)",
         {L"modelNotSupported"},
         {
             {"Model", R"~(" " (not supported))~"},
             {"Stored colours in the user key", "complete, logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %"},
             {"Run without arguments by this account", "sends nothing (the model is not supported)"},
             {"Run by the startup task (LocalSystem)", "sends nothing (the model is not supported)"},
             {"problems[2]", R"~("modelNotSupported")~"},
             {"model.text", R"~(" ")~"},
             {"model.support", R"~("none")~"},
             {"userKey.state", R"~("complete")~"},
             {"userKey.values[0]",
              R"~({"name":"Z1_Red","state":"stored","type":"REG_DWORD","size":4,"stored":1,"used":1,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[1]",
              R"~({"name":"Z1_Green","state":"stored","type":"REG_DWORD","size":4,"stored":2,"used":2,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[2]",
              R"~({"name":"Z1_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":3,"used":3,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[3]",
              R"~({"name":"Z1_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":4,"used":4,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[4]",
              R"~({"name":"Z2_Red","state":"stored","type":"REG_DWORD","size":4,"stored":5,"used":5,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[5]",
              R"~({"name":"Z2_Green","state":"stored","type":"REG_DWORD","size":4,"stored":6,"used":6,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[6]",
              R"~({"name":"Z2_Blue","state":"stored","type":"REG_DWORD","size":4,"stored":7,"used":7,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"userKey.values[7]",
              R"~({"name":"Z2_Bright","state":"stored","type":"REG_DWORD","size":4,"stored":8,"used":8,)~"
              R"~("inItsPlace":null,"replacement":null})~"},
             {"thisAccountRun",
              R"~({"sends":false,"reason":"modelNotSupported","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null})~"},
             {"startupTaskRun",
              R"~({"sends":false,"reason":"modelNotSupported","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null,"localSystemKeyError":null})~"},
         }},
        {"failed model check",
         [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_FAILED); },
         [] {},
         "none",
         "none",
         "",
         "Model: unknown (Platform check failed: PlatformCheck::init: info exception: "
         "PlatformCheck::connectWMINamespace: unspecified error)",
         {L"modelUnknown"},
         {
             {"Model",
              "unknown (Platform check failed: PlatformCheck::init: info exception: "
              "PlatformCheck::connectWMINamespace: unspecified error)"},
             {"Run without arguments by this account", "sends nothing (the model could not be read)"},
             {"Run by the startup task (LocalSystem)", "sends nothing (the model could not be read)"},
             {"problems[2]", R"~("modelUnknown")~"},
             {"model",
              R"~({"text":null,"support":null,"error":"PlatformCheck::init: info exception: )~"
              R"~(PlatformCheck::connectWMINamespace: unspecified error"})~"},
             {"thisAccountRun",
              R"~({"sends":false,"reason":"modelUnknown","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null})~"},
             {"startupTaskRun",
              R"~({"sends":false,"reason":"modelUnknown","reads":null,"stores":null,"applies":null,)~"
              R"~("firmwareGets":null,"localSystemKeyError":null})~"},
         }},
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
        EXPECT_EQ(entriesText(statusEntries(lines.output, json.output)),
                  entriesText(changed(parseEntries(nothingStoredOutput), c.output)))
            << c.name;

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

// This process's account: its SID, and its name as Windows gives it
// ("DOMAIN\\name"), which a run's record names.
std::pair<std::string, std::string> thisAccount()
{
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::vector<BYTE> user(512);
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size));
    CloseHandle(token);
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    LPSTR sidText = nullptr;
    EXPECT_TRUE(ConvertSidToStringSidA(sid, &sidText));
    const std::string sidString = sidText != nullptr ? sidText : "";
    LocalFree(sidText);
    char name[256] = {};
    char domain[256] = {};
    DWORD nameLength = sizeof(name);
    DWORD domainLength = sizeof(domain);
    SID_NAME_USE use = SidTypeUnknown;
    EXPECT_TRUE(LookupAccountSidA(nullptr, sid, name, &nameLength, domain, &domainLength, &use));
    return {sidString, std::string(domain) + "\\" + name};
}

// After a run, status shows its record whole: the account by its name (its
// backslash escaped) and SID, the request and where its colours came from,
// the bytes the firmware got and the outcome.
TEST_F(Status, ARunsRecordNamesItsAccount)
{
    EXPECT_EQ(run({L"255", L"0", L"0", L"100", L"0", L"0", L"255", L"50"}).output, "");
    const auto [sid, name] = thisAccount();
    std::string escapedName;
    for (const char c : name) {
        escapedName += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    const std::string line = lineStartingWith(run({L"status"}).output, "Last run recorded in the machine key: ");
    ASSERT_FALSE(line.empty());
    const std::string time = line.substr(line.find('"'), 22);
    EXPECT_THAT(time, ::testing::MatchesRegex("\"\\d\\d\\d\\d-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\""));
    EXPECT_EQ(line,
              "Last run recorded in the machine key: " + time + ", \"" + escapedName + "\" (\"" + sid
                  + "\"), colours from the command line, the firmware got logo 255 0 0, light bar 0 0 127; done");
    const JsonValue record =
        simulated_machine::parseJson(run({L"status", L"--json"}).output).at("machineKey").at("lastRun");
    EXPECT_EQ(record.at("account").string(), std::wstring(sid.begin(), sid.end()));
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
    EXPECT_EQ(preview,
              "Run without arguments by this account: reads the machine key; applies logo 10 20 30 at 40 %, "
              "light bar 50 60 70 at 80 %; the firmware gets logo 4 8 12, light bar 40 48 56; stores to the "
              "user key");
    EXPECT_EQ(run({}).output, "");
    ASSERT_THAT(machine.calls(), ::testing::SizeIs(1));
    expectColorCommand(machine.calls()[0], {4, 8, 12, 40, 48, 56});
    EXPECT_EQ(storedValues(false), stored({10, 20, 30, 40, 50, 60, 70, 80}));
    EXPECT_EQ(storedValues(), stored({10, 20, 30, 40, 50, 60, 70, 80}));
}

} // namespace
