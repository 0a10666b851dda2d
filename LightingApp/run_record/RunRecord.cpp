#include "run_record/RunRecord.h"

#include <algorithm>

namespace {

RunOutcome outcomeOf(FailureKind kind)
{
    switch (kind) {
    case FailureKind::PlatformCheck:
        return RunOutcome::PlatformCheckFailed;
    case FailureKind::FirmwareCall:
        return RunOutcome::FirmwareCallFailed;
    case FailureKind::FirmwareRefused:
        return RunOutcome::FirmwareRefused;
    case FailureKind::NotStored:
        return RunOutcome::NotStored;
    case FailureKind::Unexpected:
    case FailureKind::Unsupported:
    case FailureKind::PolicyUnusable:
        break;
    }
    return RunOutcome::Unexpected;
}

} // namespace

LastRun recordOf(RunRequest request, const RunNote& note, const std::vector<RunFailure>& failures)
{
    LastRun record;
    record.request = request;
    record.source = note.source;
    record.firmwareGot = note.firmwareGot;
    record.tries = note.tries;
    record.waitedMs = note.waitedMs;
    record.outcome = note.refusedByPolicy ? RunOutcome::RefusedByPolicy : RunOutcome::Done;
    const auto first = std::find_if(failures.begin(), failures.end(), [](const RunFailure& failure) {
        return failure.kind != FailureKind::PolicyUnusable;
    });
    if (note.refusedByPolicy || first == failures.end()) {
        return record;
    }
    record.outcome = outcomeOf(first->kind);
    // Every failure of a recorded run is logged (an unsupported model is not
    // recorded: nothing was tried).
    record.eventId = eventIdOf(first->kind);
    if (first->kind == FailureKind::FirmwareCall) {
        record.step = first->detail;
        record.code = static_cast<std::uint32_t>(first->code);
    } else if (first->kind == FailureKind::FirmwareRefused) {
        record.code = first->code;
    }
    return record;
}
