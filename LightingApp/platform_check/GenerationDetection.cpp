#include "platform_check/GenerationDetection.h"

#include "platform_check/ModelGeneration.h"
#include "platform_check/PlatformCheck.h"

namespace {
// How long the check waits for another process's WMI connection.
constexpr DWORD wmiMutexWaitMs = 1000;
} // namespace

int detectGeneration()
{
    PlatformCheck check(wmiMutexWaitMs);
    check.init();
    return generationForModel(check.getModel());
}
