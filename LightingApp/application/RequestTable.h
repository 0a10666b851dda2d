#pragma once

#include "application/Request.h"
#include "event_log/UnattendedEvent.h"
#include "policy/ColourPolicy.h"
#include "run_record/LastRun.h"
#include "settings/RestorePlan.h"

#include <optional>

// What the program does with each kind of request, said once: a new kind is
// a row of requestFacts and a case of its handler (answerWithoutFirmware,
// or Platform::handleRequest for the kinds that change the lighting); the
// compiler names a kind that either lacks.
struct RequestFacts {
    // Identifies the machine first. Only "status" does not: it reports what
    // it finds, a model that cannot be read included.
    bool needsMachine = true;
    // Reads the policy, sends and stores colours, all under the request lock;
    // refused on an unsupported model. The other kinds are answered whatever
    // the machine (answerWithoutFirmware).
    bool changesLighting = false;
    // Tries again while WMI or the firmware's interface is not ready yet: the
    // startup task's run, which nobody watches and which must not miss a start.
    bool waitsForFirmware = false;
    // Leaves a record of the run, as this request.
    std::optional<RunRequest> recordedAs;
    // What the event log calls the run.
    RunPurpose purpose = RunPurpose::Other;
};

RequestFacts requestFacts(RequestKind kind);

// The answer to a request that needs no firmware: help, invalid arguments
// and the startup task file, each on the console with "Request Failed" when
// it failed. True when it was carried out.
bool answerWithoutFirmware(const Request& request);

// Where a restore's or a brightness request's colours come from.
ColourSource storedColoursSource(const ColourPolicy& policy, StoredRoot reads);

// Where the request's colours come from, when the run got no further than
// working that out.
ColourSource requestSource(RequestKind kind, const ColourPolicy& policy, StoredRoot reads);
