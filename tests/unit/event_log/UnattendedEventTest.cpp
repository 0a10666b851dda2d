#include "event_log/UnattendedEvent.h"

#include <gtest/gtest.h>

namespace {

struct EventCase {
    RunPurpose purpose;
    RunOutcome outcome;
    std::vector<std::wstring> arguments;
    std::optional<EventKind> expected;
    std::wstring opening; // how the text begins
};

// Only failures of what the startup task and users' lighting requests do are
// logged, and a restore on a machine that is not supported; nothing that runs
// well or answers on the console alone.
TEST(UnattendedEvent, IsWrittenOnlyForFailedLightingAndUnsupportedRestores)
{
    const EventCase cases[] = {
        {RunPurpose::ChangeLighting, RunOutcome::Failed, {L"255", L"0", L"0", L"100"}, EventKind::Error,
         L"The request \"255 0 0 100\" failed."},
        {RunPurpose::Restore, RunOutcome::PlatformCheckFailed, {}, EventKind::Error,
         L"Restoring the stored colours (run without arguments) failed."},
        {RunPurpose::ChangeLighting, RunOutcome::Failed, {L"default"}, EventKind::Error, L"The request \"default\" failed."},
        {RunPurpose::Restore, RunOutcome::Unsupported, {}, EventKind::Warning,
         L"Restoring the stored colours (run without arguments) found a machine that is not supported."},
        {RunPurpose::ChangeLighting, RunOutcome::Unsupported, {L"50"}, std::nullopt, L""},
        {RunPurpose::Restore, RunOutcome::Done, {}, std::nullopt, L""},
        {RunPurpose::Other, RunOutcome::PlatformCheckFailed, {L"help"}, std::nullopt, L""},
        {RunPurpose::Other, RunOutcome::Failed, {L"x"}, std::nullopt, L""},
        {RunPurpose::Other, RunOutcome::Failed, {L"--create-xml", L"t.xml"}, std::nullopt, L""},
        {RunPurpose::Other, RunOutcome::Done, {L"status"}, std::nullopt, L""},
    };
    for (const auto& c : cases) {
        const auto event = unattendedEvent(c.purpose, c.outcome, c.arguments, L"Request Failed\n");
        ASSERT_EQ(event.has_value(), c.expected.has_value()) << c.opening;
        if (event) {
            EXPECT_EQ(event->kind, *c.expected);
            EXPECT_EQ(event->text, c.opening + L"\r\n\r\nThe program showed:\r\nRequest Failed\r\n");
        }
    }
}

} // namespace
