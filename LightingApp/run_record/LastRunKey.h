#pragma once

#include "run_record/LastRun.h"

#include <windows.h>

#include <optional>
#include <string>

// The record in the registry: the subkey LastRun of the colours key
// ("SOFTWARE\Orvane\VeltrinLighting\") under root, in the 64-bit view.
// prefix goes before that path: "S-1-5-18\\" reads LocalSystem's record
// under HKEY_USERS.

// Replaces the record. Whatever fails is ignored: the record never changes
// what a run does.
void writeLastRun(HKEY root, const LastRun& record) noexcept;

// The record as stored; nothing when there is none or it cannot be read or
// decoded.
std::optional<LastRun> readLastRun(HKEY root, const std::wstring& prefix = L"");
