#include "application/TaskFileReport.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"

std::vector<std::wstring> taskFileReportLines(const std::wstring& file, bool written, const std::wstring& reason)
{
    if (written) {
        return {Messages::taskFileWritten + file};
    }
    std::vector<std::wstring> lines{Messages::taskFileNotWritten + file};
    if (!reason.empty()) {
        lines.push_back(reason);
    }
    return lines;
}

bool reportTaskFile(const Request& request)
{
    std::wostream& out = console();
    for (const auto& line : taskFileReportLines(request.taskFile, request.taskFileWritten, request.taskFileReason)) {
        out << line << std::endl;
    }
    return request.taskFileWritten;
}
