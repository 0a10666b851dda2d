// Writes one event through the program's event log writer, for
// check-event-log.sh: event_log_writer error|warning TEXT
#include "event_log/EventLog.h"

#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        return 2;
    }
    const std::wstring kind = argv[1];
    writeEvent(kind == L"error" ? EventKind::Error : EventKind::Warning, argv[2]);
    return 0;
}
