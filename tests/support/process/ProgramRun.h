#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// What a finished program left behind.
struct ProgramResult {
    DWORD exitCode = 0;
    std::string output;  // standard output, byte for byte
    std::chrono::milliseconds elapsed{0};
};

struct ProgramLaunch {
    std::wstring program;                  // path of the executable
    std::vector<std::wstring> arguments;   // after argument 0
    // Argument 0 as the program sees it; the program path when empty.
    std::wstring argument0;
    // A CreateProcessW environment block (NUL-separated, double NUL at the
    // end); the test process's own environment when absent.
    std::optional<std::wstring> environment;
};

// Runs the program to its end and returns its exit code and output.
// Throws std::runtime_error when it cannot be started.
ProgramResult runProgram(const ProgramLaunch& launch);

// Starts the program without waiting: for tests that run several at once.
// Collect each with finishProgram.
class RunningProgram {
public:
    explicit RunningProgram(const ProgramLaunch& launch);
    ~RunningProgram();
    RunningProgram(RunningProgram&& other) noexcept;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    RunningProgram& operator=(RunningProgram&&) = delete;

    ProgramResult finish();

private:
    HANDLE process = nullptr;
    HANDLE outputRead = nullptr;
    std::chrono::steady_clock::time_point started;
};

// A file in the directory of the running test program (where the build puts
// VeltrinLighting.exe too).
std::wstring besideTestProgram(const std::wstring& fileName);

// Command-line form of one argument, quoted so that the C runtime parses it
// back unchanged.
std::wstring quoteArgument(const std::wstring& argument);
