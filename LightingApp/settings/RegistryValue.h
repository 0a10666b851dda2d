#pragma once

#include "settings/StoredSet.h"

#include <windows.h>

// A value of an open key as a query for at most four bytes of it answers:
// missing, read (type, size, data), or unreadable (longer, or the query
// failed otherwise). A null key holds no values.
StoredValue readStoredValue(HKEY key, const wchar_t* name);
