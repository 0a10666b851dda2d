#include "run_record/RunRecord.h"

#include <gtest/gtest.h>

namespace {

// The record's outcome is the run's first failure past an unusable policy,
// with the event it was logged under and its code; a refusal by the policy
// and a run without failures are no failure.
TEST(RunRecord, TakesItsOutcomeFromTheFirstFailure)
{
    struct Case {
        const char* name;
        std::vector<RunFailure> failures;
        bool refusedByPolicy;
        RunOutcome outcome;
        std::optional<std::uint32_t> eventId;
        std::wstring step;
        std::optional<std::int64_t> code;
    };
    const RunFailure unusable{FailureKind::PolicyUnusable, L"Z1_Red is missing"};
    const Case cases[] = {
        {"done", {}, false, RunOutcome::Done, std::nullopt, L"", std::nullopt},
        {"done past an unusable policy", {unusable}, false, RunOutcome::Done, std::nullopt, L"", std::nullopt},
        {"refused by the policy", {}, true, RunOutcome::RefusedByPolicy, std::nullopt, L"", std::nullopt},
        {"platform check", {{FailureKind::PlatformCheck, L"connect"}}, false, RunOutcome::PlatformCheckFailed, 3, L"",
         std::nullopt},
        {"firmware call, then not stored",
         {unusable, {FailureKind::FirmwareCall, L"GetObject orvBIntM", static_cast<std::int32_t>(0x80041002U)},
          {FailureKind::NotStored, L""}},
         false, RunOutcome::FirmwareCallFailed, 4, L"GetObject orvBIntM", 0x80041002},
        {"firmware refused", {{FailureKind::FirmwareRefused, L"", 2}}, false, RunOutcome::FirmwareRefused, 5, L"", 2},
        {"not stored", {{FailureKind::NotStored, L""}}, false, RunOutcome::NotStored, 6, L"", std::nullopt},
        {"unexpected", {{FailureKind::Unexpected, L"out of memory"}}, false, RunOutcome::Unexpected, 1, L"",
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunNote note;
        note.source = ColourSource::MachineKey;
        note.refusedByPolicy = c.refusedByPolicy;
        const LastRun record = recordOf(RunRequest::Colours, note, c.failures);
        EXPECT_EQ(record.request, RunRequest::Colours);
        EXPECT_EQ(record.source, ColourSource::MachineKey);
        EXPECT_EQ(record.outcome, c.outcome);
        EXPECT_EQ(record.eventId, c.eventId);
        EXPECT_EQ(record.step, c.step);
        EXPECT_EQ(record.code, c.code);
    }
}

} // namespace
