#pragma once

#include "colorizers/Color.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The record of the last run that sent lighting, tried to and failed before
// it could, or was refused by the policy: kept in a key of its own beside the
// colours key the run stores to (LastRunKey.h), so that an administrator can
// see who set the colours, when, what the firmware got and how it ended.

enum class RunRequest { Restore, Colours, Brightness, Default };
enum class ColourSource { Policy, MachineKey, UserKey, ModelDefaults, CommandLine };
enum class RunOutcome {
    Done,
    RefusedByPolicy,
    PlatformCheckFailed,
    FirmwareCallFailed,
    FirmwareRefused,
    NotStored,
    Unexpected,
};

struct ZoneBytes {
    Color logo;
    Color lightBar;
};

struct LastRun {
    // UTC, as "2026-12-08T01:23:45Z".
    std::wstring time;
    // The account the run ran as, as a SID string ("S-1-5-18").
    std::wstring account;
    RunRequest request = RunRequest::Restore;
    ColourSource source = ColourSource::ModelDefaults;
    // The bytes the firmware got for each zone; none when no command went
    // through to it.
    std::optional<ZoneBytes> firmwareGot;
    RunOutcome outcome = RunOutcome::Done;
    // The event the run wrote for its outcome, if any.
    std::optional<std::uint32_t> eventId;
    // FirmwareCallFailed: the WMI step that failed.
    std::wstring step;
    // FirmwareCallFailed: the HRESULT (as its unsigned 32 bits);
    // FirmwareRefused: the firmware's return code.
    std::optional<std::int64_t> code;
    // How many times the run tried the step that needed the most tries (1
    // when every step went through at once), and the time it spent waiting
    // between tries, in milliseconds: a restore tries again while the
    // firmware's interface is not ready.
    std::uint32_t tries = 1;
    std::uint32_t waitedMs = 0;
};

// The names the JSON and the registry use: "restore", "colours", ...;
// "policy", "machineKey", ...; "done", "refusedByPolicy", ...
std::wstring_view requestWord(RunRequest request);
std::wstring_view sourceWord(ColourSource source);
std::wstring_view outcomeWord(RunOutcome outcome);

// One registry value of the record, as the registry holds it.
struct RecordValue {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// The record as registry values (see docs/policy.md), and back. A record
// that lacks a value it needs, or holds one of the wrong type or an unknown
// word, decodes to nothing.
std::vector<RecordValue> encodeLastRun(const LastRun& record);
std::optional<LastRun> decodeLastRun(const std::vector<RecordValue>& values);
