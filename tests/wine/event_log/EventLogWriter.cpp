// Writes one event through the program's event log writer, for
// check-event-log.sh: event_log_writer error|warning STRING...
// (an error is the unexpected failure, a warning the unsupported model).
#include "event_log/EventLog.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        return 2;
    }
    const std::wstring kind = argv[1];
    writeEvent(kind == L"error" ? FailureKind::Unexpected : FailureKind::Unsupported,
               std::vector<std::wstring>(argv + 2, argv + argc));
    return 0;
}
