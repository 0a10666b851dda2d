#pragma once

#include "status/StatusFacts.h"
#include "task_scheduler/StartupTaskState.h"

#include <cstdint>
#include <string>
#include <string_view>

// Names that both forms of "status" use: the lines in words, the JSON as
// identifiers, one table per kind of fact.

struct FactWords {
    const wchar_t* text;
    const char* identifier;
};

// {"second generation: colour", "colour"}, ...; {"unknown", nullptr}.
const FactWords& supportWords(ModelSupport support);
// {"registered", "registered"}, {"not registered", "notRegistered"}, ...
const FactWords& presenceWords(Presence presence);
// {"complete", "complete"}, ...
const FactWords& setStateWords(SetState state);
// {"machine", "machineKey"}, {"user", "userKey"}; {"", "none"} for none.
const FactWords& rootWords(StoredRoot root);
// {"missing", "missing"}, ... of a value.
const FactWords& valueStateWords(ValueFacts::State state);
// Why a run sends nothing: {"the model is not supported",
// "modelNotSupported"}, ...; {"", nullptr} for one that sends.
const FactWords& runOutcomeWords(RunFacts::Outcome outcome);
// What takes a value's place: the text with # where the replacement goes,
// the text for one not known, and the identifier; nullptrs for a used value.
struct FateWords {
    const wchar_t* text;
    const wchar_t* textWithoutNumber;
    const char* identifier;
};
const FateWords& fateWords(ValueFate fate);
// A policy's state: {"in force", "inForce"}, ...
const FactWords& policyStateWords(PolicyState state);
// A run record's request, colours' source and outcome in words ("restore",
// "the machine key", "failed: the firmware call failed", ...); the JSON
// takes the record's own words (run_record/LastRun.h) through
// recordIdentifier, as they are ASCII.
const wchar_t* requestText(RunRequest request);
const wchar_t* sourceText(ColourSource source);
const wchar_t* outcomeText(RunOutcome outcome);
std::string recordIdentifier(std::wstring_view word);

// "taskNotRegistered", ...
const char* problemIdentifier(Problem problem);

// Why a question was refused or failed: "access denied (0x80070005)", or
// the status alone ("0x80041315") for one without a name here. A Win32
// error goes in as its HRESULT (see fromWin32).
std::wstring failureText(std::int32_t status);
std::int32_t fromWin32(std::int32_t error);

// A trigger type (TASK_TRIGGER_TYPE2): {"at boot", "boot"}, {"on an event",
// "event"}, ...; {"of type N", "type N"} for one without a name here.
std::wstring triggerText(std::int32_t type);
std::string triggerIdentifier(std::int32_t type);

// A logon type (TASK_LOGON_TYPE): {"service account", "serviceAccount"}, ...
std::wstring logonText(std::int32_t type);
std::string logonIdentifier(std::int32_t type);
