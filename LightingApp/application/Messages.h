#pragma once

// What the program says on the console. The texts are fixed: scripts and the
// README rely on them.
namespace Messages {
inline constexpr const wchar_t* notCompatible = L"This hardware is not compatible.";
inline constexpr const wchar_t* invalidArguments = L"Invalid arguments";
inline constexpr const wchar_t* requestFailed = L"Request Failed";
inline constexpr const wchar_t* taskFileWritten = L"Startup task file written: ";
inline constexpr const wchar_t* taskFileNotWritten = L"Could not write the startup task file: ";
inline constexpr const wchar_t* platformCheckFailed = L"Platform check failed: ";
// Why --create-xml refuses to write the task file for this copy of the program.
inline constexpr const wchar_t* programNotOnFixedDrive = L"The program is not on a fixed local drive: ";
inline constexpr const wchar_t* programChangeableByUsers = L"Users other than administrators can change ";
inline constexpr const wchar_t* programPathUnknown = L"The program's own path could not be determined";
inline constexpr const wchar_t* programPathUnsafe =
    L"The program's path holds characters that a startup task cannot carry";
} // namespace Messages
