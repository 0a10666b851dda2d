#include "location_check/ExecutablePath.h"

#include <filesystem>
#include <system_error>

std::wstring currentExecutablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::wstring() : path.wstring();
}
