#pragma once

#include "RecordedCall.h"

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simulated_machine {

// The steps whose status a case can choose (VELTRIN_SIM_FAIL_<step>).
enum class Step {
    Cimv2Locator,  // creating WbemLocator
    WmiLocator,    // creating WbemAdministrativeLocator
    Cimv2Connect,  // ConnectServer to root\cimv2
    WmiConnect,    // ConnectServer to root\wmi
    Cimv2Enum,     // CreateInstanceEnum of "Win32_ComputerSystem"
    Cimv2Next,     // Next on that enumeration
    WmiGetClass,   // GetObject of "orvBIntM"
    WmiEnum,       // CreateInstanceEnum of "orvBIntM"
    WmiExec,       // ExecMethod
    WmiOutData,    // Get of "OutData" on ExecMethod's answer
};

// The variable name part of a step, e.g. L"CIMV2_LOCATOR".
std::wstring_view stepName(Step step);

// Sets up the simulated machine for one test case.
//
// A case starts from the default machine (second-generation model, return
// code 0, no faults) and a new, empty record file in a directory of its own.
// With Scope::Process it puts its settings into this process's environment
// (clearing every other VELTRIN_SIM_* variable) and restores the previous
// variables when it goes; only one such case may live at a time. With
// Scope::ChildProcesses it leaves this process alone and only hands out
// environment blocks, so several can live side by side.
class SimulatedMachineCase {
public:
    enum class Scope { Process, ChildProcesses };

    explicit SimulatedMachineCase(Scope scope = Scope::Process);
    ~SimulatedMachineCase();
    SimulatedMachineCase(const SimulatedMachineCase&) = delete;
    SimulatedMachineCase& operator=(const SimulatedMachineCase&) = delete;

    // "Model" text; NUL code units are allowed. Throws std::invalid_argument
    // for text holding a backslash followed by '0', which cannot be expressed.
    SimulatedMachineCase& model(std::wstring_view text);
    SimulatedMachineCase& modelNull();
    SimulatedMachineCase& returnCode(std::int32_t code);
    SimulatedMachineCase& noReturnCode();
    SimulatedMachineCase& fail(Step step, HRESULT status);
    // The same for a WMI status, which WMI's headers declare as an unsigned enumeration.
    SimulatedMachineCase& fail(Step step, WBEMSTATUS status) { return fail(step, static_cast<HRESULT>(status)); }
    // The step fails with the status for its first `calls` calls in each
    // process, then works: WMI that is not ready yet.
    SimulatedMachineCase& failFirst(Step step, HRESULT status, unsigned calls);
    // Put of the named property fails with the status (the name as the caller spells it).
    SimulatedMachineCase& failPut(std::wstring_view property, HRESULT status);
    SimulatedMachineCase& cimv2NextTimeout();
    SimulatedMachineCase& wmiNoInstance();
    // Any VELTRIN_SIM_<suffix> variable, as text (e.g. to try invalid values).
    SimulatedMachineCase& set(std::wstring_view suffix, std::wstring_view value);

    const std::filesystem::path& recordFile() const noexcept { return record; }
    std::vector<RecordedCall> calls() const { return readRecord(record); }

    // This process's environment with every VELTRIN_SIM_* variable replaced by
    // this case's settings, for CreateProcessW with CREATE_UNICODE_ENVIRONMENT.
    std::wstring environmentBlock() const;

private:
    void apply(const std::wstring& suffix, const std::wstring& value);

    const Scope scope;
    std::filesystem::path directory;
    std::filesystem::path record;
    std::map<std::wstring, std::wstring> settings;               // suffix -> value
    std::vector<std::pair<std::wstring, std::wstring>> previous;  // full name -> value
};

} // namespace simulated_machine
