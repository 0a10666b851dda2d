#pragma once

// What the program says on the console. The texts are fixed: scripts and the
// guides (docs/using.md) rely on them.
namespace Messages {
inline constexpr const wchar_t* notCompatible = L"This hardware is not compatible.";
inline constexpr const wchar_t* invalidArguments = L"Invalid arguments";
inline constexpr const wchar_t* requestFailed = L"Request Failed";
inline constexpr const wchar_t* taskFileWritten = L"Startup task file written: ";
inline constexpr const wchar_t* taskFileNotWritten = L"Could not write the startup task file: ";
inline constexpr const wchar_t* platformCheckFailed = L"Platform check failed: ";
// A colour, brightness or default request refused under a policy that does
// not let users change the lighting.
inline constexpr const wchar_t* setByPolicy = L"The lighting is set by policy: ";
} // namespace Messages
