#include "application/ConsoleOutput.h"
#include "application/Parser.h"
#include "application/UsageText.h"

#include <memory>

int wmain(int argc, wchar_t* argv[])
{
    Parser parser;
    const std::shared_ptr<const Request> request = parser.parse(argc, argv);

    std::wostream& out = console();
    switch (request->kind) {
    case RequestKind::Help:
        printUsage(*request);
        break;
    case RequestKind::CreateTaskFile:
        if (request->taskFileWritten) {
            out << L"Startup task file written: " << request->taskFile << std::endl;
        } else {
            out << L"Could not write the startup task file: " << request->taskFile << std::endl;
            out << L"Request Failed" << std::endl;
        }
        break;
    case RequestKind::Invalid:
        out << L"Invalid arguments" << std::endl;
        printUsage(*request);
        out << L"Request Failed" << std::endl;
        break;
    default:
        break;
    }
    return 0;
}
