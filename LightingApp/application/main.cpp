#include "application/ConsoleOutput.h"
#include "application/Messages.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "platform_check/ErrorChain.h"

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

std::wstring widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
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
    Parser parser;
    const std::shared_ptr<const Request> request = parser.parse(argc, argv);

    try {
        Platform platform;
        platform.handleRequest(*request);
    } catch (const std::runtime_error& error) {
        // The machine could not be identified: nothing is sent or stored.
        std::wostream& out = console();
        out << Messages::platformCheckFailed << widen(errorChainText(error)) << std::endl;
        out << Messages::requestFailed << std::endl;
    }
    return 0;
}
