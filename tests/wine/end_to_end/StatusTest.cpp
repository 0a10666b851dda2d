#include "ProgramOnMachine.h"
#include "settings/StoredColors.h"

#include <gmock/gmock.h>

#include <functional>

using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;
using ::testing::SizeIs;

namespace {

void storeUserValues(const std::vector<DWORD>& values)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Orvane\\VeltrinLighting", 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr), ERROR_SUCCESS);
    for (std::size_t i = 0; i < values.size(); ++i) {
        RegSetValueExW(key, valueNames[i].data(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]),
                       sizeof(DWORD));
    }
    RegCloseKey(key);
}

bool machineKeyExists()
{
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane", 0, KEY_READ | KEY_WOW64_64KEY, &key)
        == ERROR_SUCCESS;
    if (exists) {
        RegCloseKey(key);
    }
    return exists;
}

struct StatusCase {
    const char* name;
    std::function<void(SimulatedMachineCase&)> configure;
    std::function<void()> store;
    std::string expected;
};

using Status = ProgramOnMachine;

// status says what is set on any machine, and changes nothing: no firmware
// call, no registry key.
TEST_F(Status, ReportsModelColoursAndTaskWithoutChangingAnything)
{
    const std::string noColours = "Stored colours in the machine key: none\r\nStored colours in the user key: none\r\n";
    const std::string noTask = "Startup task: not registered\r\n";
    const StatusCase cases[] = {
        {"second generation, nothing stored", [](auto&) {}, [] {},
         "Model: Orvane VR Veltrin G2 (second generation: colour)\r\n" + noColours + noTask},
        {"first generation, machine colours", [](auto& m) { m.model(L"Orvane VR Veltrin G1 Workstation"); },
         [] { storeValues({255, 0, 0, 100, 0, 0, 255, 50}); },
         "Model: Orvane VR Veltrin G1 Workstation (first generation: brightness only)\r\n"
         "Stored colours in the machine key: logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %\r\n"
         "Stored colours in the user key: none\r\n" + noTask},
        {"unsupported, user colours", [](auto& m) { m.model(L"Wine"); },
         [] { storeUserValues({1, 2, 3, 4, 5, 6, 7, 8}); },
         "Model: Wine (not supported)\r\nStored colours in the machine key: none\r\n"
         "Stored colours in the user key: logo 1 2 3 at 4 %, light bar 5 6 7 at 8 %\r\n" + noTask},
        {"failed check", [](auto& m) { m.fail(Step::Cimv2Connect, WBEM_E_FAILED); }, [] {},
         "Model: unknown (Platform check failed: PlatformCheck::init: info exception: "
         "PlatformCheck::connectWMINamespace: unspecified error)\r\n" + noColours + noTask},
    };
    for (const auto& c : cases) {
        clearStoredColors();
        c.store();
        SimulatedMachineCase caseMachine{SimulatedMachineCase::Scope::ChildProcesses};
        c.configure(caseMachine);
        const ProgramResult result = runProgram({besideTestProgram(L"VeltrinLighting.exe"), {L"status"},
                                                 L"lighting.exe", caseMachine.environmentBlock()});
        EXPECT_EQ(result.output, c.expected) << c.name;
        EXPECT_THAT(caseMachine.calls(), SizeIs(0)) << c.name;
    }
    clearStoredColors();
    run({L"status"});
    EXPECT_FALSE(machineKeyExists());
}

} // namespace
