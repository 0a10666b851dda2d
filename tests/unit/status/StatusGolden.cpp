#include "StatusGolden.h"

#include "PrintableText.h"
#include "colorizers/GenOneColorizer.h"
#include "colorizers/GenTwoColorizer.h"
#include "platform_check/ModelGeneration.h"
#include "status/RunPreview.h"
#include "status/StatusSections.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

StoredSet dwordSet(std::vector<std::uint32_t> numbers, bool writable)
{
    StoredSet set;
    set.writable = writable;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        set.values[i] = {StoredValue::Answer::Read, registryDwordType, 4, numbers[i]};
    }
    return set;
}

StatusFacts machineOf(int generation)
{
    StatusFacts facts;
    facts.version = L"1.0.0";
    facts.model.model = L"Orvane VR Veltrin";
    facts.model.generation = generation;
    facts.machineKey = dwordSet({1, 2, 3, 100, 4, 5, 6, 50}, true);
    facts.eventSource.registration = EventSourceState::Registration::Registered;
    facts.task.registration = StartupTaskState::Registration::Registered;
    facts.task.enabled = true;
    facts.taskProgramLocation = ProgramLocation{ProgramVerdict::Accepted, L"C:\\Program Files"};
    return facts;
}

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

Entries statusEntries(const StatusFacts& facts)
{
    const StatusOutput output = statusOutput(facts);
    std::string lines;
    for (const std::wstring& line : output.lines) {
        lines += printable(line) + "\n";
    }
    Entries entries = lineEntries(lines);
    const Entries members = jsonEntries(output.json);
    entries.insert(entries.end(), members.begin(), members.end());
    return entries;
}

namespace {

// Both forms on machineOf(secondGeneration) with both runs previewed: the
// lines ("Label = text"), then the JSON's members.
constexpr std::string_view healthyOutput = R"~(
Version = 1.0.0
Model = "Orvane VR Veltrin" (second generation: colour)
Policy (HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting) = none
Stored colours in the machine key = complete, logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %
Last run recorded in the machine key = none
Stored colours in the user key = none
Last run recorded in the user key = none
Run without arguments by this account = reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %; the firmware gets logo 1 2 3, light bar 2 2 3; stores to the machine key
Run by the startup task (LocalSystem) = reads the machine key; applies logo 1 2 3 at 100 %, light bar 4 5 6 at 50 %; the firmware gets logo 1 2 3, light bar 2 2 3; stores to the machine key
Event source = registered, without a message file
Startup task = registered, enabled
Startup task account = could not be read
Startup task triggers = could not be read
Startup task program = could not be read
Startup task last run = could not be read
formatVersion = 1
version = "1.0.0"
problems = []
model.text = "Orvane VR Veltrin"
model.support = "colour"
model.error = null
policy.key = "HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting"
policy.state = "none"
policy.fault = null
policy.values = null
policy.usersMayChange = null
machineKey.state = "complete"
machineKey.writable = true
machineKey.values[0].name = "Z1_Red"
machineKey.values[0].state = "stored"
machineKey.values[0].type = "REG_DWORD"
machineKey.values[0].size = 4
machineKey.values[0].stored = 1
machineKey.values[0].used = 1
machineKey.values[0].inItsPlace = null
machineKey.values[0].replacement = null
machineKey.values[1].name = "Z1_Green"
machineKey.values[1].state = "stored"
machineKey.values[1].type = "REG_DWORD"
machineKey.values[1].size = 4
machineKey.values[1].stored = 2
machineKey.values[1].used = 2
machineKey.values[1].inItsPlace = null
machineKey.values[1].replacement = null
machineKey.values[2].name = "Z1_Blue"
machineKey.values[2].state = "stored"
machineKey.values[2].type = "REG_DWORD"
machineKey.values[2].size = 4
machineKey.values[2].stored = 3
machineKey.values[2].used = 3
machineKey.values[2].inItsPlace = null
machineKey.values[2].replacement = null
machineKey.values[3].name = "Z1_Bright"
machineKey.values[3].state = "stored"
machineKey.values[3].type = "REG_DWORD"
machineKey.values[3].size = 4
machineKey.values[3].stored = 100
machineKey.values[3].used = 100
machineKey.values[3].inItsPlace = null
machineKey.values[3].replacement = null
machineKey.values[4].name = "Z2_Red"
machineKey.values[4].state = "stored"
machineKey.values[4].type = "REG_DWORD"
machineKey.values[4].size = 4
machineKey.values[4].stored = 4
machineKey.values[4].used = 4
machineKey.values[4].inItsPlace = null
machineKey.values[4].replacement = null
machineKey.values[5].name = "Z2_Green"
machineKey.values[5].state = "stored"
machineKey.values[5].type = "REG_DWORD"
machineKey.values[5].size = 4
machineKey.values[5].stored = 5
machineKey.values[5].used = 5
machineKey.values[5].inItsPlace = null
machineKey.values[5].replacement = null
machineKey.values[6].name = "Z2_Blue"
machineKey.values[6].state = "stored"
machineKey.values[6].type = "REG_DWORD"
machineKey.values[6].size = 4
machineKey.values[6].stored = 6
machineKey.values[6].used = 6
machineKey.values[6].inItsPlace = null
machineKey.values[6].replacement = null
machineKey.values[7].name = "Z2_Bright"
machineKey.values[7].state = "stored"
machineKey.values[7].type = "REG_DWORD"
machineKey.values[7].size = 4
machineKey.values[7].stored = 50
machineKey.values[7].used = 50
machineKey.values[7].inItsPlace = null
machineKey.values[7].replacement = null
machineKey.lastRun = null
machineKey.lastRunUntrusted = null
userKey.state = "none"
userKey.writable = false
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
thisAccountRun.reads = "machineKey"
thisAccountRun.stores = "machineKey"
thisAccountRun.applies.logo.red = 1
thisAccountRun.applies.logo.green = 2
thisAccountRun.applies.logo.blue = 3
thisAccountRun.applies.logo.brightness = 100
thisAccountRun.applies.lightBar.red = 4
thisAccountRun.applies.lightBar.green = 5
thisAccountRun.applies.lightBar.blue = 6
thisAccountRun.applies.lightBar.brightness = 50
thisAccountRun.firmwareGets.logo.red = 1
thisAccountRun.firmwareGets.logo.green = 2
thisAccountRun.firmwareGets.logo.blue = 3
thisAccountRun.firmwareGets.lightBar.red = 2
thisAccountRun.firmwareGets.lightBar.green = 2
thisAccountRun.firmwareGets.lightBar.blue = 3
startupTaskRun.sends = true
startupTaskRun.reason = null
startupTaskRun.reads = "machineKey"
startupTaskRun.stores = "machineKey"
startupTaskRun.applies.logo.red = 1
startupTaskRun.applies.logo.green = 2
startupTaskRun.applies.logo.blue = 3
startupTaskRun.applies.logo.brightness = 100
startupTaskRun.applies.lightBar.red = 4
startupTaskRun.applies.lightBar.green = 5
startupTaskRun.applies.lightBar.blue = 6
startupTaskRun.applies.lightBar.brightness = 50
startupTaskRun.firmwareGets.logo.red = 1
startupTaskRun.firmwareGets.logo.green = 2
startupTaskRun.firmwareGets.logo.blue = 3
startupTaskRun.firmwareGets.lightBar.red = 2
startupTaskRun.firmwareGets.lightBar.green = 2
startupTaskRun.firmwareGets.lightBar.blue = 3
startupTaskRun.localSystemKeyError = null
eventSource.state = "registered"
eventSource.messageFile = null
eventSource.error = null
startupTask.state = "registered"
startupTask.error = null
startupTask.enabled = true
startupTask.notTheProgram = null
startupTask.userId = null
startupTask.logonType = null
startupTask.triggers = null
startupTask.program = null
startupTask.arguments = null
startupTask.locationCheck.passes = true
startupTask.locationCheck.reason = null
startupTask.hasRun = null
startupTask.lastRunTime = null
)~";

} // namespace

void expectWholeOutputs(const std::vector<GoldenCase>& cases)
{
    const Entries base = parseEntries(healthyOutput);
    for (const GoldenCase& c : cases) {
        StatusFacts facts = machineOf(secondGeneration);
        c.arrange(facts);
        previewRuns(facts);
        EXPECT_EQ(entriesText(statusEntries(facts)), entriesText(changed(base, c.changes))) << c.name;
    }
}
