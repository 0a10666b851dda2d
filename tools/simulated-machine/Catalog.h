#pragma once

#include "WbemObject.h"

#include <wrl/client.h>

#include <optional>
#include <string_view>

// The namespaces, classes and objects the simulated machine knows.
namespace simulated_machine::catalog {

enum class Namespace { Cimv2, Wmi };

inline constexpr std::wstring_view computerSystemClass = L"Win32_ComputerSystem";
inline constexpr std::wstring_view firmwareClass = L"orvBIntM";
inline constexpr std::wstring_view requestClass = L"orvBDataIn";
inline constexpr std::wstring_view firmwareMethod = L"orvBIOSInt0";

// The one instance of the firmware class: its key, and its object path as
// WMI writes it, with the backslashes of the key value doubled.
inline constexpr std::wstring_view firmwareInstanceName = LR"(ACPI\PNP0C14\0_0)";
inline constexpr std::wstring_view firmwareInstancePath =
    LR"(\\SIMULATED\root\wmi:orvBIntM.InstanceName="ACPI\\PNP0C14\\0_0")";

// "\\.\root\cimv2" and "root\cimv2", "\\.\root\wmi" and "root\wmi", in any case.
std::optional<Namespace> namespaceNamed(std::wstring_view name);

// A fresh class object, or null when the namespace has no such class.
Microsoft::WRL::ComPtr<WbemObject> classObject(Namespace space, std::wstring_view className);

// True when the path names the firmware instance, in full or relative to
// its namespace.
bool isFirmwareInstancePath(std::wstring_view path);

// The method's output: "OutData" holding an object with "rwReturnCode",
// or without that property when no code is given. Null when out of memory.
Microsoft::WRL::ComPtr<WbemObject> methodOutput(std::optional<std::int32_t> returnCode);

} // namespace simulated_machine::catalog
