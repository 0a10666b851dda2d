#include "status/StatusReport.h"

#include "colorizers/ZoneColors.h"
#include "event_log/EventSourceRegistration.h"
#include "location_check/ProgramLocation.h"
#include "platform_check/ErrorChain.h"
#include "platform_check/ModelGeneration.h"
#include "platform_check/PlatformCheck.h"
#include "policy/PolicyKey.h"
#include "run_record/LastRunKey.h"
#include "settings/RegistryController.h"
#include "status/RunPreview.h"
#include "status/StatusDecisions.h"
#include "status/StatusSections.h"
#include "task_scheduler/StartupTaskQuery.h"
#include "windows_wrappers/AccountName.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/UtcTime.h"
#include "windows_wrappers/Utf8.h"

#include <stdexcept>

namespace {

constexpr DWORD wmiMutexWaitMs = 1000;

ModelFacts readModel()
{
    ModelFacts facts;
    PlatformCheck check(wmiMutexWaitMs);
    try {
        check.init();
    } catch (const std::runtime_error& error) {
        facts.error = widenAscii(errorChainText(error));
        return facts;
    }
    facts.model = check.getModel();
    facts.generation = generationForModel(*facts.model);
    return facts;
}

// The record under root, or why its key is not trusted (distrust).
std::optional<RecordFacts> recordIn(HKEY root, std::wstring& distrust)
{
    const StoredRecord stored = readLastRun(root);
    distrust = keyDistrustText(stored.distrust);
    if (!stored.record) {
        return std::nullopt;
    }
    RecordFacts facts{*stored.record, accountName(stored.record->account)};
    return facts;
}

StatusFacts gatherStatus(ColorizerForGeneration colorizerFor)
{
    StatusFacts facts;
    facts.version = widenAscii(VELTRIN_VERSION);
    facts.model = readModel();
    const std::unique_ptr<IColorizer> colorizer = facts.model.model ? colorizerFor(facts.model.generation) : nullptr;
    if (colorizer) {
        facts.modelDefaults = defaultZoneValues(*colorizer);
    }

    const RegistryController registry;
    facts.machineKey = registry.storedSet(RegistryController::Root::Machine);
    facts.userKey = registry.storedSet(RegistryController::Root::User);
    facts.machineLastRun = recordIn(HKEY_LOCAL_MACHINE, facts.machineRecordDistrust);
    facts.userLastRun = recordIn(HKEY_CURRENT_USER, facts.userRecordDistrust);
    // The policy decides what a run without arguments applies.
    facts.policy = decidePolicy(readPolicyValues());
    const bool modelKnown = facts.model.model.has_value();
    facts.thisAccount = previewRun(modelKnown, colorizer.get(), facts.machineKey, facts.userKey, facts.policy);

    // LocalSystem may write the machine key.
    StoredSet machineForTask = facts.machineKey;
    machineForTask.writable = true;
    LSTATUS localSystemError = ERROR_SUCCESS;
    const StoredSet localSystemUser = localSystemUserSet(localSystemError);
    facts.localSystemKeyReadError = static_cast<std::int32_t>(localSystemError);
    facts.startupTask = previewRun(modelKnown, colorizer.get(), machineForTask, localSystemUser, facts.policy);

    facts.eventSource = queryEventSource();
    facts.task = queryStartupTask();
    // Only a path the check can stand for is looked up (a network path
    // would be reached); another fails the check with a reason of its own.
    if (const std::optional<std::wstring> program = checkableProgram(facts.task)) {
        facts.taskProgramLocation = locateProgram(*program);
    }
    // The Task Scheduler gives the last run in local time; scripts compare
    // times across machines and time zones, so the JSON gives it in UTC.
    if (facts.task.lastRun) {
        facts.taskLastRunUtc = utcOfLocalTime(*facts.task.lastRun);
    }
    return facts;
}

} // namespace

void printStatus(StatusFormat format, ColorizerForGeneration colorizerFor)
{
    const StatusOutput output = statusOutput(gatherStatus(colorizerFor));
    std::wostream& out = console();
    if (format == StatusFormat::Json) {
        out << widenAscii(output.json) << std::endl;
        return;
    }
    for (const std::wstring& line : output.lines) {
        out << line << std::endl;
    }
}
