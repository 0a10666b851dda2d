#include "application/ConsoleOutput.h"
#include "application/FailureGuard.h"
#include "application/Messages.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "application/StatusReport.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "platform_check/ErrorChain.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

std::wstring widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

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
        out << Messages::platformCheckFailed << widen(errorChainText(error)) << std::endl;
        out << Messages::requestFailed << std::endl;
        return;
    }
}

void runRequest(const Request& request)
{
    if (request.kind == RequestKind::Status) {
        printStatus();
        return;
    }
    std::optional<Platform> platform;
    try {
        platform.emplace();
    } catch (const std::runtime_error& error) {
        reportFailedPlatformCheck(request, error);
        return;
    }
    platform->handleRequest(request);
}

} // namespace

// Parses the command line, identifies the machine, and carries out the
// request. The exit code is 0 whatever happened; the console says what did.
int wmain(int argc, wchar_t** argv)
{
    runReportingEscapes([&] {
        Parser parser;
        const std::shared_ptr<const Request> request = parser.parse(argc, argv);
        runRequest(*request);
    });
    return 0;
}
