#include "application/ColorizerFactory.h"
#include "application/FailureGuard.h"
#include "application/Messages.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "application/ReadinessWait.h"
#include "application/RequestLock.h"
#include "application/RunRecordWriter.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "event_log/ConsoleTranscript.h"
#include "event_log/EventLog.h"
#include "event_log/RunFailure.h"
#include "event_log/UnattendedEvent.h"
#include "platform_check/ErrorChain.h"
#include "policy/PolicyKey.h"
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

// The reporting of a run that could not identify the machine, below.
void reportFailedPlatformCheck(const Request& request, const std::runtime_error& error);
void recordFailedPlatformCheck(RequestKind kind, const ReadinessWait& wait, const std::vector<RunFailure>& failures);
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
    if (request.kind == RequestKind::Status) {
        printStatus(request.statusAsJson ? StatusFormat::Json : StatusFormat::Lines, colorizerForGeneration);
        return {};
    }
    // A restore waits for WMI and the firmware's interface to be ready, for
    // at most a minute from here.
    ReadinessWait wait(waitsForFirmware(request.kind), systemWaitClock());
    std::optional<Platform> platform;
    while (!platform) {
        try {
            platform.emplace();
        } catch (const std::runtime_error& error) {
            if (const auto pause = wait.waitAfterFailure(wmiStatusOf(error))) {
                wait.sleep(*pause);
                continue;
            }
            reportFailedPlatformCheck(request, error);
            std::vector<RunFailure> failures = {{FailureKind::PlatformCheck, widenAscii(errorChainText(error))}};
            recordFailedPlatformCheck(request.kind, wait, failures);
            return failures;
        }
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
    if (const std::optional<RunRequest> recorded = recordedRequest(request.kind)) {
        RunNote note = platform->note();
        note.tries = wait.mostTries();
        note.waitedMs = wait.waitedMs();
        writeRunRecord(platform->registry(), *recorded, note, failures);
    }
    return failures;
}

// The machine could not be identified. Help, the task file and invalid
// arguments need no machine and are answered as usual; every other request
// fails, with nothing sent or stored.
void reportFailedPlatformCheck(const Request& request, const std::runtime_error& error)
{
    std::wostream& out = console();
    switch (request.kind) {
    case RequestKind::Help:
        printUsage(request);
        return;
    case RequestKind::Invalid:
        reportInvalidArguments(request);
        return;
    case RequestKind::CreateTaskFile:
        if (!reportTaskFile(request)) {
            out << Messages::requestFailed << std::endl;
        }
        return;
    default:
        out << Messages::platformCheckFailed << widenAscii(errorChainText(error)) << std::endl;
        out << Messages::requestFailed << std::endl;
        return;
    }
}

// The record of a lighting run that failed its platform check: where its
// colours would have come from, read without writing anything.
void recordFailedPlatformCheck(RequestKind kind, const ReadinessWait& wait, const std::vector<RunFailure>& failures)
{
    const std::optional<RunRequest> recorded = recordedRequest(kind);
    if (!recorded) {
        return;
    }
    const RegistryController registry;
    const ColourPolicy policy = readColourPolicy();
    const StoredRoot reads =
        planRestore(registry.storedSet(RegistryController::Root::Machine),
                    registry.storedSet(RegistryController::Root::User), ZoneValues(storedValueCount, 0))
            .reads;
    RunNote note;
    note.source = requestSource(kind, policy, reads);
    note.underPolicy = policy.state == PolicyState::InForce;
    note.tries = wait.mostTries();
    note.waitedMs = wait.waitedMs();
    // Under the lock, as a run's record is: not mixed with a concurrent run's.
    const RequestLock lock;
    writeRunRecord(registry, *recorded, note, failures);
}

std::unique_ptr<IColorizer> colorizerForGeneration(int generation)
{
    return ColorizerFactory().createColorizer(generation);
}

RunPurpose purposeOf(RequestKind kind)
{
    if (kind == RequestKind::Restore) {
        return RunPurpose::Restore;
    }
    return changesLighting(kind) ? RunPurpose::ChangeLighting : RunPurpose::Other;
}

void logUnattended(RequestKind kind, const std::vector<RunFailure>& failures, int argc, const wchar_t* const* argv,
                   const std::wstring& consoleText) noexcept
{
    try {
        const std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        for (const auto& event : unattendedEvents(purposeOf(kind), failures, arguments, consoleText)) {
            writeEvent(event.kind, event.strings);
        }
    } catch (...) {
    }
}

} // namespace
