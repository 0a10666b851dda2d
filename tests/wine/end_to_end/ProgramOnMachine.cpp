#include "ProgramOnMachine.h"

#include "ExpectedUsage.h"
#include "settings/StoredColors.h"

#include <sstream>

namespace {

const wchar_t* const colorsKey = L"SOFTWARE\\Orvane\\VeltrinLighting";
const wchar_t* const policyKey = L"SOFTWARE\\Policies\\Orvane\\VeltrinLighting";

std::wstring widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace

void ProgramOnMachine::SetUp()
{
    clearStoredColors();
}

void ProgramOnMachine::TearDown()
{
    clearStoredColors();
}

ProgramResult ProgramOnMachine::run(const std::vector<std::wstring>& arguments)
{
    return runProgram({besideTestProgram(L"VeltrinLighting.exe"), arguments, L"C:\\Tools\\lighting.exe",
                       machine.environmentBlock()});
}

std::vector<std::optional<std::uint32_t>> ProgramOnMachine::storedValues(bool machineKey)
{
    const std::wstring key = std::wstring(machineKey ? L"HKLM\\" : L"HKCU\\") + colorsKey;
    const ProgramResult query = runProgram({L"C:\\windows\\system32\\reg.exe", {L"query", key, L"/reg:64"}, {}, {}});

    // Lines look like "    Z1_Red    REG_DWORD    0xff".
    std::vector<std::optional<std::uint32_t>> values(storedValueCount);
    std::istringstream lines(query.output);
    std::string name;
    std::string type;
    std::string data;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        if (!(fields >> name >> type >> data) || type != "REG_DWORD") {
            continue;
        }
        for (std::size_t i = 0; i < storedValueCount; ++i) {
            if (widen(name) == valueNames[i]) {
                values[i] = static_cast<std::uint32_t>(std::stoul(data, nullptr, 16));
            }
        }
    }
    return values;
}

void ProgramOnMachine::storeValue(const wchar_t* name, std::uint32_t value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, colorsKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD data = value;
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void ProgramOnMachine::storeValues(const std::vector<std::uint32_t>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        storeValue(valueNames[i].data(), values[i]);
    }
}

void ProgramOnMachine::clearStoredColors()
{
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY software = nullptr;
        if (RegOpenKeyExW(root, L"SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &software) == ERROR_SUCCESS) {
            RegDeleteTreeW(software, L"Orvane");
            RegCloseKey(software);
        }
    }
}

std::vector<std::optional<std::uint32_t>> stored(std::initializer_list<std::uint32_t> values)
{
    return {values.begin(), values.end()};
}

std::vector<std::optional<std::uint32_t>> nothingStored()
{
    return std::vector<std::optional<std::uint32_t>>(storedValueCount);
}

std::string usageText()
{
    return expectedUsage("lighting.exe");
}

void expectColorCommand(const simulated_machine::RecordedCall& call, const std::vector<std::uint8_t>& zoneBytes)
{
    EXPECT_EQ(call.commandType(), 3);
    std::vector<std::uint8_t> block(128, 0);
    block[0] = 3;
    std::copy(zoneBytes.begin(), zoneBytes.end(), block.begin() + 1);
    EXPECT_EQ(call.data(), block);
}

void expectBrightnessCommand(const simulated_machine::RecordedCall& call, std::uint8_t level)
{
    EXPECT_EQ(call.commandType(), 5);
    std::vector<std::uint8_t> block(128, 0);
    block[0] = 3;
    block[127] = level;
    EXPECT_EQ(call.data(), block);
}

void setPolicyValue(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, policyKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void setPolicy(const std::vector<std::uint32_t>& colours, std::optional<DWORD> usersMayChange)
{
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const DWORD data = colours[i];
        setPolicyValue(valueNames[i].data(), REG_DWORD, &data, sizeof(data));
    }
    if (usersMayChange) {
        setPolicyValue(L"UsersMayChange", REG_DWORD, &*usersMayChange, sizeof(DWORD));
    }
}

void clearPolicy()
{
    HKEY policies = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &policies)
        == ERROR_SUCCESS) {
        RegDeleteTreeW(policies, L"Orvane");
        RegCloseKey(policies);
    }
}
