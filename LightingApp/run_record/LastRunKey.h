#pragma once

#include "run_record/LastRun.h"
#include "settings/KeyTrust.h"

#include <windows.h>

#include <optional>
#include <string_view>

// The record in the registry: a key of its own under root, in the 64-bit
// view, beside the colours key (SOFTWARE\Orvane\VeltrinLighting) rather
// than below it, so that no right given on the colours key reaches it.
// Under HKEY_LOCAL_MACHINE it is created owned by Administrators with a
// protected access list: LocalSystem and Administrators may change it,
// everyone may read it. It is opened as itself, never through a registry
// link, and checked at every open: a link, or a machine key whose owner or
// access list lets others change it, is neither written nor read.
inline constexpr std::wstring_view recordKeyPath = L"SOFTWARE\\Orvane\\VeltrinLightingLastRun";
inline constexpr const wchar_t* recordKeySecurity = L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KR;;;WD)";

// Sets every value of the record in place and deletes the values of an
// earlier record that it lacks; never deletes or re-creates the key.
// Whatever fails is ignored: the record never changes what a run does.
void writeLastRun(HKEY root, const LastRun& record) noexcept;

// The record as stored, or why its key is not trusted.
struct StoredRecord {
    // Nothing when there is none, it cannot be read or decoded, or its key
    // is not trusted.
    std::optional<LastRun> record;
    KeyDistrust distrust = KeyDistrust::None;
};
StoredRecord readLastRun(HKEY root);
