#pragma once

#include "ProgramRun.h"
#include "SimulatedMachine.h"

#include <wbemidl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Runs VeltrinLighting.exe on a simulated machine and inspects what it left:
// its console output, the firmware calls and the stored colours.
class ProgramOnMachine : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the program with these arguments on the machine as configured.
    ProgramResult run(const std::vector<std::wstring>& arguments);

    // The eight stored values under HKEY_LOCAL_MACHINE (or HKEY_CURRENT_USER),
    // as "reg query" shows them in the 64-bit view; nullopt for a missing one.
    static std::vector<std::optional<std::uint32_t>> storedValues(bool machineKey = true);
    static void storeValues(const std::vector<std::uint32_t>& values);
    static void storeValue(const wchar_t* name, std::uint32_t value);
    static void clearStoredColors();

    simulated_machine::SimulatedMachineCase machine{simulated_machine::SimulatedMachineCase::Scope::ChildProcesses};
};

std::vector<std::optional<std::uint32_t>> stored(std::initializer_list<std::uint32_t> values);
std::vector<std::optional<std::uint32_t>> nothingStored();

// The colour policy under HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting:
// one value, the eight colour values (and UsersMayChange, when given), or
// none at all.
void setPolicyValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
void setPolicy(const std::vector<std::uint32_t>& colours, std::optional<DWORD> usersMayChange);
void clearPolicy();

// The usage text as the program prints it when invoked as "lighting.exe".
std::string usageText();

// The call is the colour command (CommandType 3) carrying these zone bytes
// (red, green, blue of zone 1, then of zone 2) after the command byte 3.
void expectColorCommand(const simulated_machine::RecordedCall& call, const std::vector<std::uint8_t>& zoneBytes);
// The call is the brightness command (CommandType 5) for the level.
void expectBrightnessCommand(const simulated_machine::RecordedCall& call, std::uint8_t level);
