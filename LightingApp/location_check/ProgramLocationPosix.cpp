#include "location_check/ExecutablePath.h"
#include "location_check/ProgramLocation.h"

// There is no Task Scheduler and no LocalSystem here: the native build only
// resolves the path (the kernel's link to the executable is already final),
// so that the portable code around the check can be tested.
ProgramLocation locateProgramForStartupTask()
{
    const std::wstring path = currentExecutablePath();
    return refusalByText(path).value_or(ProgramLocation{ProgramVerdict::Accepted, path});
}
