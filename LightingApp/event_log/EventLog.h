#pragma once

#include <string>

// Events in the Windows Application log, for runs nobody watches (the startup
// task). The source is "VeltrinLighting"; its registration (done by the
// installer) names the program as the file that holds the message texts.

enum class EventKind {
    Error,   // event ID 1, type Error
    Warning, // event ID 2, type Warning
};

// Writes one event of the given kind whose text is `text` (Event Viewer shows
// it as it is; line breaks as "\r\n"). Every failure is ignored: an
// unregistered source still logs (Event Viewer then says it lacks the
// description), and a log that cannot be written changes nothing else. A text
// longer than the event log takes (31,839 characters) is cut to that length.
void writeEvent(EventKind kind, const std::wstring& text) noexcept;
