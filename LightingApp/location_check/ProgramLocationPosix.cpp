#include "location_check/ProgramLocation.h"

// There is no Task Scheduler and no LocalSystem here: the native build only
// checks the path's text (the kernel's link to the executable is already
// final), so that the portable code around the check can be tested.
ProgramLocation locateProgram(const std::wstring& file)
{
    return refusalByText(file).value_or(ProgramLocation{ProgramVerdict::Accepted, file});
}
