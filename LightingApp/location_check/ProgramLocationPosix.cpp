#include "location_check/ExecutablePath.h"
#include "location_check/ProgramLocation.h"

#include <filesystem>
#include <system_error>

std::wstring currentExecutablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::wstring() : path.wstring();
}

// There is no Task Scheduler and no LocalSystem here: the native build only
// checks the path's text (the kernel's link to the executable is already
// final), so that the portable code around the check can be tested.
ProgramLocation locateProgram(const std::wstring& file)
{
    return refusalByText(file).value_or(ProgramLocation{ProgramVerdict::Accepted, file});
}
