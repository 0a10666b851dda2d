#include "application/TaskFileReport.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"

bool reportTaskFile(const Request& request)
{
    std::wostream& out = console();
    if (request.taskFileWritten) {
        out << Messages::taskFileWritten << request.taskFile << std::endl;
        return true;
    }
    out << Messages::taskFileNotWritten << request.taskFile << std::endl;
    if (!request.taskFileReason.empty()) {
        out << request.taskFileReason << std::endl;
    }
    return false;
}
