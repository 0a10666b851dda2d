#include "status/StatusReport.h"

#include "platform_check/ErrorChain.h"
#include "platform_check/ModelGeneration.h"
#include "platform_check/PlatformCheck.h"
#include "settings/RegistryController.h"
#include "status/StatusText.h"
#include "task_scheduler/StartupTaskQuery.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/Utf8.h"

#include <stdexcept>

namespace {

constexpr DWORD wmiMutexWaitMs = 1000;

std::wstring modelStatus()
{
    PlatformCheck check(wmiMutexWaitMs);
    try {
        check.init();
    } catch (const std::runtime_error& error) {
        return modelUnknownLine(widenAscii(errorChainText(error)));
    }
    const std::wstring model = check.getModel();
    return modelLine(model, generationForModel(model));
}

} // namespace

void printStatus()
{
    std::wostream& out = console();
    out << modelStatus() << std::endl;
    const RegistryController registry;
    out << storedColorsLine(L"machine", registry.peekStoredColors(RegistryController::Root::Machine)) << std::endl;
    out << storedColorsLine(L"user", registry.peekStoredColors(RegistryController::Root::User)) << std::endl;
    out << startupTaskLine(queryStartupTask()) << std::endl;
}
