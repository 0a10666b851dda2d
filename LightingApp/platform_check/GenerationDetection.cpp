#include "platform_check/GenerationDetection.h"

#include "platform_check/ModelGeneration.h"
#include "platform_check/PlatformCheck.h"

namespace {
// How long the check waits for another process's WMI connection.
constexpr DWORD wmiMutexWaitMs = 1000;
} // namespace

std::wstring readMachineModel()
{
    PlatformCheck check(wmiMutexWaitMs);
    check.init();
    return check.getModel();
}

int detectGeneration()
{
    return generationForModel(readMachineModel());
}
