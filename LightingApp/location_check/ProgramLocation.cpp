#include "location_check/ProgramLocation.h"

#include "location_check/ExecutablePath.h"
#include "location_check/TaskFileCharacters.h"

namespace {

// The lines that say why the task file is not written for this copy.
constexpr const wchar_t* notOnFixedDrive = L"The program is not on a fixed local drive: ";
constexpr const wchar_t* inProfileFolder = L"The program is in a user's profile folder: ";
constexpr const wchar_t* changeableByUsers = L"Users other than administrators can change ";
constexpr const wchar_t* pathUnknown = L"The program's own path could not be determined";
constexpr const wchar_t* pathUnsafe = L"The program's path holds characters that a startup task cannot carry";

} // namespace

std::optional<ProgramLocation> refusalByText(const std::wstring& path)
{
    if (path.empty()) {
        return ProgramLocation{ProgramVerdict::Unresolved, {}};
    }
    if (!taskFileCanHold(path)) {
        return ProgramLocation{ProgramVerdict::UnsafeCharacters, path};
    }
    return std::nullopt;
}

std::wstring refusalReason(const ProgramLocation& location)
{
    switch (location.verdict) {
    case ProgramVerdict::Accepted:
        return {};
    case ProgramVerdict::Unresolved:
        return pathUnknown;
    case ProgramVerdict::UnsafeCharacters:
        return pathUnsafe;
    case ProgramVerdict::NotOnFixedDrive:
        return notOnFixedDrive + location.path;
    case ProgramVerdict::InProfileFolder:
        return inProfileFolder + location.path;
    case ProgramVerdict::ChangeableByUsers:
        return changeableByUsers + location.path;
    }
    return pathUnknown;
}

ProgramLocation locateProgramForStartupTask()
{
    return locateProgram(currentExecutablePath());
}
