#include "application/ColorizerFactory.h"
#include "application/FailureGuard.h"
#include "application/Messages.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "application/ReadinessWait.h"
#include "application/RequestLock.h"
#include "application/RequestTable.h"
#include "event_log/ConsoleTranscript.h"
#include "event_log/EventLog.h"
#include "event_log/UnattendedEvent.h"
#include "platform_check/ErrorChain.h"
#include "policy/PolicyKey.h"
#include "run_record/RunFailure.h"
#include "run_record/RunRecordWriter.h"
#include "status/StatusReport.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The request's way: what failed in the run, in order; nothing when it was
// carried out.
std::vector<RunFailure> runRequest(const Request& request);
// Nobody reads the console of the startup task: what went wrong goes to the
// event log as well. Writing it changes nothing else, whatever happens.
void logUnattended(RequestKind kind, const std::vector<RunFailure>& failures, int argc, const wchar_t* const* argv,
                   const std::wstring& consoleText) noexcept;

// Identifies the machine into platform; a run that waits tries again while
// WMI is not ready. Why it could not, when it could not.
std::optional<std::wstring> identifyMachine(std::optional<Platform>& platform, ReadinessWait& wait);
// The answer and the record of a run that could not identify the machine.
std::vector<RunFailure> failPlatformCheck(const Request& request, const std::wstring& why, const ReadinessWait& wait);
// The run's note with how long it waited for WMI and the firmware.
RunNote withWait(RunNote note, const ReadinessWait& wait);
std::unique_ptr<IColorizer> colorizerForGeneration(int generation);

} // namespace

// Parses the command line, identifies the machine, and carries out the
// request. The exit code is 0 whatever happened; the console says what did.
int wmain(int argc, wchar_t** argv)
{
    // DLLs that COM and WMI load later by name come from System32 only, never
    // from beside the program or the current folder: the startup task runs
    // this as LocalSystem.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    RequestKind kind = RequestKind::Invalid;
    std::vector<RunFailure> failures;
    const ConsoleTranscript transcript;
    const std::optional<std::wstring> escaped = runReportingEscapes([&] {
        Parser parser;
        const std::shared_ptr<const Request> request = parser.parse(argc, argv);
        kind = request->kind;
        failures = runRequest(*request);
    });
    if (escaped) {
        failures = {{FailureKind::Unexpected, *escaped}};
    }
    logUnattended(kind, failures, argc, argv, transcript.text());
    return 0;
}

namespace {

std::vector<RunFailure> runRequest(const Request& request)
{
    const RequestFacts facts = requestFacts(request.kind);
    if (!facts.needsMachine) {
        printStatus(request.statusAsJson ? StatusFormat::Json : StatusFormat::Lines, colorizerForGeneration);
        return {};
    }
    // A restore waits for WMI and the firmware's interface to be ready, for
    // at most a minute from here.
    ReadinessWait wait(facts.waitsForFirmware, systemWaitClock());
    std::optional<Platform> platform;
    if (const std::optional<std::wstring> why = identifyMachine(platform, wait)) {
        return failPlatformCheck(request, *why, wait);
    }
    const bool done = platform->handleRequest(request, wait);
    if (!platform->supported()) {
        return {{FailureKind::Unsupported, platform->model()}};
    }
    std::vector<RunFailure> failures = platform->failures();
    const bool causeNamed = std::any_of(failures.begin(), failures.end(), [](const RunFailure& failure) {
        return failure.kind != FailureKind::PolicyUnusable;
    });
    if (!done && !causeNamed && !platform->note().refusedByPolicy) {
        // A failure that names no cause is still one.
        failures.push_back({FailureKind::Unexpected, L"the request was not carried out"});
    }
    if (facts.recordedAs) {
        writeRunRecord(platform->registry(), *facts.recordedAs, withWait(platform->note(), wait), failures);
    }
    return failures;
}

std::optional<std::wstring> identifyMachine(std::optional<Platform>& platform, ReadinessWait& wait)
{
    for (;;) {
        try {
            platform.emplace();
            return std::nullopt;
        } catch (const std::runtime_error& error) {
            const auto pause = wait.waitAfterFailure(wmiStatusOf(error));
            if (!pause) {
                return widenAscii(errorChainText(error));
            }
            wait.sleep(*pause);
        }
    }
}

// The machine could not be identified. Help, the task file and invalid
// arguments need no machine and are answered as usual; every other request
// fails, with nothing sent or stored, and a lighting run is recorded: where
// its colours would have come from, read without writing anything.
std::vector<RunFailure> failPlatformCheck(const Request& request, const std::wstring& why, const ReadinessWait& wait)
{
    const RequestFacts facts = requestFacts(request.kind);
    if (!facts.changesLighting) {
        answerWithoutFirmware(request);
        return {{FailureKind::PlatformCheck, why}};
    }
    console() << Messages::platformCheckFailed << why << std::endl << Messages::requestFailed << std::endl;
    std::vector<RunFailure> failures = {{FailureKind::PlatformCheck, why}};
    if (!facts.recordedAs) {
        return failures;
    }
    const RegistryController registry;
    const ColourPolicy policy = readColourPolicy();
    const StoredRoot reads =
        planRestore(registry.storedSet(RegistryController::Root::Machine),
                    registry.storedSet(RegistryController::Root::User), ZoneValues(storedValueCount, 0))
            .reads;
    RunNote note;
    note.source = requestSource(request.kind, policy, reads);
    note.underPolicy = policy.state == PolicyState::InForce;
    // Under the lock, as a run's record is: not mixed with a concurrent run's.
    const RequestLock lock;
    writeRunRecord(registry, *facts.recordedAs, withWait(note, wait), failures);
    return failures;
}

RunNote withWait(RunNote note, const ReadinessWait& wait)
{
    note.tries = wait.mostTries();
    note.waitedMs = wait.waitedMs();
    return note;
}

std::unique_ptr<IColorizer> colorizerForGeneration(int generation)
{
    return ColorizerFactory().createColorizer(generation);
}

void logUnattended(RequestKind kind, const std::vector<RunFailure>& failures, int argc, const wchar_t* const* argv,
                   const std::wstring& consoleText) noexcept
{
    try {
        const std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        for (const auto& event : unattendedEvents(requestFacts(kind).purpose, failures, arguments, consoleText)) {
            writeEvent(event.kind, event.strings);
        }
    } catch (...) {
    }
}

} // namespace
