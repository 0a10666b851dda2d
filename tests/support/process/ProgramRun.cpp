#include "ProgramRun.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

std::wstring commandLine(const ProgramLaunch& launch)
{
    std::wstring line = quoteArgument(launch.argument0.empty() ? launch.program : launch.argument0);
    for (const auto& argument : launch.arguments) {
        line += L' ';
        line += quoteArgument(argument);
    }
    return line;
}

} // namespace

std::wstring quoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    // Backslashes only need doubling where they precede a quote.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

RunningProgram::RunningProgram(const ProgramLaunch& launch) : started(std::chrono::steady_clock::now())
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outputWrite = nullptr;
    if (!CreatePipe(&outputRead, &outputWrite, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);

    std::wstring line = commandLine(launch);
    std::wstring environment = launch.environment.value_or(L"");
    PROCESS_INFORMATION info{};
    BOOL created = FALSE;
    DWORD error = ERROR_SUCCESS;
    // Wine answers ERROR_INTERNAL_ERROR when the new process died before its
    // startup was done, before any of the program ran: seen now and then when
    // several processes start at once on a loaded machine. Such a start is
    // made again, a few times at most; any other failure is the test's.
    for (int attempt = 0; attempt < 3; ++attempt) {
        created = CreateProcessW(launch.program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                 CREATE_UNICODE_ENVIRONMENT, launch.environment ? environment.data() : nullptr,
                                 nullptr, &startup, &info);
        error = created ? ERROR_SUCCESS : GetLastError();
        if (error != ERROR_INTERNAL_ERROR) {
            break;
        }
    }
    CloseHandle(outputWrite);
    if (!created) {
        CloseHandle(outputRead);
        // The error says why, for a failure that comes now and then.
        throw std::runtime_error("CreateProcessW failed: error " + std::to_string(error));
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
}

RunningProgram::RunningProgram(RunningProgram&& other) noexcept
    : process(std::exchange(other.process, nullptr)),
      outputRead(std::exchange(other.outputRead, nullptr)),
      started(other.started)
{
}

RunningProgram::~RunningProgram()
{
    if (outputRead != nullptr) {
        CloseHandle(outputRead);
    }
    if (process != nullptr) {
        CloseHandle(process);
    }
}

ProgramResult RunningProgram::finish()
{
    ProgramResult result;
    // Reading until the pipe ends is not enough: a process that the program
    // starts (Wine's desktop process, for one) may inherit the pipe and keep
    // it open long after the program is gone. So the output is read while the
    // program runs, and what is left in the pipe once it has ended.
    const auto readAvailable = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(outputRead, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!ReadFile(outputRead, buffer, std::min<DWORD>(available, sizeof(buffer)), &read, nullptr) || read == 0) {
                return;
            }
            result.output.append(buffer, read);
        }
    };
    while (WaitForSingleObject(process, 10) == WAIT_TIMEOUT) {
        readAvailable();
    }
    readAvailable();
    GetExitCodeProcess(process, &result.exitCode);
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    return result;
}

ProgramResult runProgram(const ProgramLaunch& launch)
{
    return RunningProgram(launch).finish();
}

std::wstring besideTestProgram(const std::wstring& fileName)
{
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1) + fileName;
}
