#include "application/ProgramLocation.h"

#include "application/Messages.h"

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
