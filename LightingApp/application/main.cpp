#include "application/ColorizerFactory.h"
#include "application/FailureGuard.h"
#include "application/Messages.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "event_log/ConsoleTranscript.h"
#include "event_log/EventLog.h"
#include "event_log/UnattendedEvent.h"
#include "platform_check/ErrorChain.h"
#include "status/StatusReport.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/Utf8.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The machine could not be identified. Help and the task file need no
// machine and are answered as usual; every other request fails, with nothing
// sent or stored.
void reportFailedPlatformCheck(const Request& request, const std::runtime_error& error)
{
    std::wostream& out = console();
    switch (request.kind) {
    case RequestKind::Help:
        printUsage(request);
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

std::unique_ptr<IColorizer> colorizerForGeneration(int generation)
{
    return ColorizerFactory().createColorizer(generation);
}

RunOutcome runRequest(const Request& request)
{
    if (request.kind == RequestKind::Status) {
        printStatus(request.statusAsJson ? StatusFormat::Json : StatusFormat::Lines, colorizerForGeneration);
        return RunOutcome::Done;
    }
    std::optional<Platform> platform;
    try {
        platform.emplace();
    } catch (const std::runtime_error& error) {
        reportFailedPlatformCheck(request, error);
        return RunOutcome::PlatformCheckFailed;
    }
    const bool done = platform->handleRequest(request);
    if (!platform->supported()) {
        return RunOutcome::Unsupported;
    }
    return done ? RunOutcome::Done : RunOutcome::Failed;
}

RunPurpose purposeOf(RequestKind kind)
{
    if (kind == RequestKind::Restore) {
        return RunPurpose::Restore;
    }
    return changesLighting(kind) ? RunPurpose::ChangeLighting : RunPurpose::Other;
}

// Nobody reads the console of the startup task: what went wrong goes to the
// event log as well. Writing it changes nothing else, whatever happens.
void logUnattended(RequestKind kind, RunOutcome outcome, int argc, const wchar_t* const* argv,
                   const std::wstring& consoleText) noexcept
{
    try {
        const std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        if (const auto event = unattendedEvent(purposeOf(kind), outcome, arguments, consoleText)) {
            writeEvent(event->kind, event->text);
        }
    } catch (...) {
    }
}

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
    RunOutcome outcome = RunOutcome::Failed;
    const ConsoleTranscript transcript;
    const bool ranThrough = runReportingEscapes([&] {
        Parser parser;
        const std::shared_ptr<const Request> request = parser.parse(argc, argv);
        kind = request->kind;
        outcome = runRequest(*request);
    });
    logUnattended(kind, ranThrough ? outcome : RunOutcome::Failed, argc, argv, transcript.text());
    return 0;
}
