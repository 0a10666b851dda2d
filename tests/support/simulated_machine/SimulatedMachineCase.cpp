#include "SimulatedMachineCase.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace simulated_machine {

namespace {

constexpr std::wstring_view prefix = L"VELTRIN_SIM_";

struct EnvironmentStrings {
    void operator()(wchar_t* block) const noexcept { FreeEnvironmentStringsW(block); }
};

// "NAME=value" entries of this process's environment.
std::vector<std::wstring> environmentEntries()
{
    std::unique_ptr<wchar_t, EnvironmentStrings> block{GetEnvironmentStringsW()};
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = block.get(); entry != nullptr && *entry != L'\0'; entry += entries.back().size() + 1) {
        entries.emplace_back(entry);
    }
    return entries;
}

bool isMachineSetting(std::wstring_view entry)
{
    return entry.size() >= prefix.size() &&
           CompareStringOrdinal(entry.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::wstring hex(HRESULT status)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(status));
    return text;
}

std::filesystem::path newDirectory()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "GetTempPathW");
    }
    for (;;) {
        auto candidate = std::filesystem::path(temp) /
                         (L"veltrin-sim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
}

} // namespace

std::wstring_view stepName(Step step)
{
    switch (step) {
    case Step::Cimv2Locator: return L"CIMV2_LOCATOR";
    case Step::WmiLocator: return L"WMI_LOCATOR";
    case Step::Cimv2Connect: return L"CIMV2_CONNECT";
    case Step::WmiConnect: return L"WMI_CONNECT";
    case Step::Cimv2Enum: return L"CIMV2_ENUM";
    case Step::Cimv2Next: return L"CIMV2_NEXT";
    case Step::WmiGetClass: return L"WMI_GET_CLASS";
    case Step::WmiEnum: return L"WMI_ENUM";
    case Step::WmiExec: return L"WMI_EXEC";
    case Step::WmiOutData: return L"WMI_OUT_DATA";
    }
    throw std::invalid_argument("unknown step");
}

SimulatedMachineCase::SimulatedMachineCase(Scope chosen) : scope(chosen)
{
    directory = newDirectory();
    record = directory / L"calls.jsonl";
    // An empty record means "no call", as opposed to a record that was never set up.
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const auto error = GetLastError();
        std::filesystem::remove_all(directory);
        throw std::system_error(static_cast<int>(error), std::system_category(), "creating the record file");
    }
    CloseHandle(file);

    if (scope == Scope::Process) {
        for (const std::wstring& entry : environmentEntries()) {
            if (isMachineSetting(entry)) {
                const auto equals = entry.find(L'=', 1);
                previous.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
                SetEnvironmentVariableW(previous.back().first.c_str(), nullptr);
            }
        }
    }
    apply(L"RECORD", record.wstring());
}

SimulatedMachineCase::~SimulatedMachineCase()
{
    if (scope == Scope::Process) {
        for (const auto& [suffix, value] : settings) {
            SetEnvironmentVariableW((std::wstring{prefix} + suffix).c_str(), nullptr);
        }
        for (const auto& [name, value] : previous) {
            SetEnvironmentVariableW(name.c_str(), value.c_str());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

void SimulatedMachineCase::apply(const std::wstring& suffix, const std::wstring& value)
{
    settings[suffix] = value;
    if (scope == Scope::Process && !SetEnvironmentVariableW((std::wstring{prefix} + suffix).c_str(), value.c_str())) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "SetEnvironmentVariableW");
    }
}

SimulatedMachineCase& SimulatedMachineCase::set(std::wstring_view suffix, std::wstring_view value)
{
    apply(std::wstring{suffix}, std::wstring{value});
    return *this;
}

SimulatedMachineCase& SimulatedMachineCase::model(std::wstring_view text)
{
    if (text.find(L"\\0") != std::wstring_view::npos) {
        throw std::invalid_argument("a model text holding \\0 cannot be configured");
    }
    // The machine reads the two characters \0 as one NUL code unit.
    std::wstring encoded;
    for (const wchar_t c : text) {
        if (c == L'\0') {
            encoded += L"\\0";
        } else {
            encoded.push_back(c);
        }
    }
    return set(L"MODEL", encoded);
}

SimulatedMachineCase& SimulatedMachineCase::modelNull() { return set(L"MODEL_NULL", L"1"); }
SimulatedMachineCase& SimulatedMachineCase::returnCode(std::int32_t code) { return set(L"RETURN_CODE", std::to_wstring(code)); }
SimulatedMachineCase& SimulatedMachineCase::noReturnCode() { return set(L"RETURN_CODE", L"none"); }
SimulatedMachineCase& SimulatedMachineCase::cimv2NextTimeout() { return set(L"CIMV2_NEXT_TIMEOUT", L"1"); }
SimulatedMachineCase& SimulatedMachineCase::wmiNoInstance() { return set(L"WMI_NO_INSTANCE", L"1"); }

SimulatedMachineCase& SimulatedMachineCase::fail(Step step, HRESULT status)
{
    return set(L"FAIL_" + std::wstring{stepName(step)}, hex(status));
}

SimulatedMachineCase& SimulatedMachineCase::failFirst(Step step, HRESULT status, unsigned calls)
{
    fail(step, status);
    return set(L"FAIL_" + std::wstring{stepName(step)} + L"_CALLS", std::to_wstring(calls));
}

SimulatedMachineCase& SimulatedMachineCase::failPut(std::wstring_view property, HRESULT status)
{
    std::wstring step = L"FAIL_PUT_";
    for (const wchar_t c : property) {
        step.push_back(static_cast<wchar_t>(std::towupper(c)));
    }
    return set(step, hex(status));
}

std::wstring SimulatedMachineCase::environmentBlock() const
{
    std::vector<std::wstring> entries;
    for (std::wstring& entry : environmentEntries()) {
        if (!isMachineSetting(entry)) {
            entries.push_back(std::move(entry));
        }
    }
    for (const auto& [suffix, value] : settings) {
        entries.push_back(std::wstring{prefix} + suffix + L"=" + value);
    }
    // Windows expects the block sorted by name, without regard to case.
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace simulated_machine
