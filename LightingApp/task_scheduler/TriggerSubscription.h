#pragma once

#include <windows.h>

#include <unknwn.h>

#include <optional>
#include <string>

// An event trigger's query (its Subscription property), read through the
// trigger's scripting interface, which every trigger has: the SDK's
// IEventTrigger is missing from MinGW-w64's headers. Nothing when the
// trigger has no such interface or property, the call fails, or the answer
// is not a string.
std::optional<std::wstring> triggerSubscription(IUnknown& trigger);
