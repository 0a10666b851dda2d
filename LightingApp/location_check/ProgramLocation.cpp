#include "application/ProgramLocation.h"

#include "application/Messages.h"
#include "application/TaskXml.h"

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
        return Messages::programPathUnknown;
    case ProgramVerdict::UnsafeCharacters:
        return Messages::programPathUnsafe;
    case ProgramVerdict::NotOnFixedDrive:
        return Messages::programNotOnFixedDrive + location.path;
    case ProgramVerdict::ChangeableByUsers:
        return Messages::programChangeableByUsers + location.path;
    }
    return Messages::programPathUnknown;
}
