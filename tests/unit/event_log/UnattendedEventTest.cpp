#include "event_log/UnattendedEvent.h"

#include <gtest/gtest.h>

namespace {

struct EventCase {
    const char* name;
    RunPurpose purpose;
    std::vector<RunFailure> failures;
    std::vector<std::wstring> arguments;
    std::vector<std::pair<FailureKind, std::vector<std::wstring>>> expected;
};

const std::wstring restore = L"Restoring the stored colours (run without arguments)";
const std::wstring shown = L"Request Failed\r\n"; // the console's "Request Failed\n"
constexpr std::int32_t wbemFailed = static_cast<std::int32_t>(0x80041001);

// Failures of what the startup task and users' lighting requests do are
// logged, each as the event of its kind with what failed, and a restore on a
// machine that is not supported; nothing that runs well or answers on the
// console alone.
TEST(UnattendedEvent, EachFailureOfALightingRunIsTheEventOfItsKind)
{
    const EventCase cases[] = {
        {"refused", RunPurpose::ChangeLighting, {{FailureKind::FirmwareRefused, L"", 2}},
         {L"255", L"0", L"0", L"100"},
         {{FailureKind::FirmwareRefused, {L"The request \"255 0 0 100\"", L"2", shown}}}},
        {"platform check", RunPurpose::Restore, {{FailureKind::PlatformCheck, L"PlatformCheck::init: info exception"}},
         {}, {{FailureKind::PlatformCheck, {restore, L"PlatformCheck::init: info exception", shown}}}},
        {"call failed, then not stored", RunPurpose::Restore,
         {{FailureKind::FirmwareCall, L"ExecMethod orvBIOSInt0", wbemFailed}, {FailureKind::NotStored, L""}}, {},
         {{FailureKind::FirmwareCall, {restore, L"ExecMethod orvBIOSInt0", L"0x80041001", shown}},
          {FailureKind::NotStored, {restore, shown}}}},
        {"escaped", RunPurpose::ChangeLighting, {{FailureKind::Unexpected, L"std::bad_alloc"}}, {L"default"},
         {{FailureKind::Unexpected, {L"The request \"default\"", L"std::bad_alloc", shown}}}},
        {"unsupported restore", RunPurpose::Restore, {{FailureKind::Unsupported, L"Wine"}}, {},
         {{FailureKind::Unsupported, {restore, L"Wine"}}}},
        {"unsupported request", RunPurpose::ChangeLighting, {{FailureKind::Unsupported, L"Wine"}}, {L"50"}, {}},
        {"restored", RunPurpose::Restore, {}, {}, {}},
        {"help after a failed check", RunPurpose::Other, {{FailureKind::PlatformCheck, L"x"}}, {L"help"}, {}},
        {"invalid", RunPurpose::Other, {{FailureKind::Unexpected, L"x"}}, {L"x"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto events = unattendedEvents(c.purpose, c.failures, c.arguments, L"Request Failed\n");
        ASSERT_EQ(events.size(), c.expected.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].kind, c.expected[i].first);
            EXPECT_EQ(events[i].strings, c.expected[i].second);
        }
    }
}

} // namespace
