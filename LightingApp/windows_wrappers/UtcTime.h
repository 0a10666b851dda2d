#pragma once

#include "windows_wrappers/CalendarTime.h"

#include <optional>

// A local time in UTC, by the time zone rules of that date; nothing for a
// time Windows cannot convert.
std::optional<CalendarTime> utcOfLocalTime(const CalendarTime& local);
