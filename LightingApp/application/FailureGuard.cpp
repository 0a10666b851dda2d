#include "application/FailureGuard.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"

bool runReportingEscapes(const std::function<void()>& request)
{
    try {
        request();
        return true;
    } catch (...) {
        // Not even the report may end the run otherwise.
        try {
            console() << Messages::requestFailed << std::endl;
        } catch (...) {
        }
        return false;
    }
}
