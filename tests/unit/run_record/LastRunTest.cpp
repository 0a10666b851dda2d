#include "run_record/LastRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

LastRun firmwareRefused()
{
    LastRun record;
    record.time = L"2026-12-08T01:23:45Z";
    record.account = L"S-1-5-18";
    record.request = RunRequest::Brightness;
    record.source = ColourSource::Policy;
    record.firmwareGot = ZoneBytes{Color(255, 0, 0), Color(0, 0, 128)};
    record.outcome = RunOutcome::FirmwareRefused;
    record.eventId = 5;
    record.code = 3;
    record.tries = 7;
    record.waitedMs = 23500;
    return record;
}

RecordValue& named(std::vector<RecordValue>& values, std::wstring_view name)
{
    return *std::find_if(values.begin(), values.end(), [&](const RecordValue& v) { return v.name == name; });
}

bool sameRecord(const LastRun& a, const LastRun& b)
{
    const auto bytes = [](const std::optional<ZoneBytes>& z) {
        return z ? std::vector<int>{z->logo.red, z->logo.green, z->logo.blue, z->lightBar.red, z->lightBar.green,
                                    z->lightBar.blue}
                 : std::vector<int>{};
    };
    return a.time == b.time && a.account == b.account && a.request == b.request && a.source == b.source
        && bytes(a.firmwareGot) == bytes(b.firmwareGot) && a.outcome == b.outcome && a.eventId == b.eventId
        && a.step == b.step && a.code == b.code && a.tries == b.tries && a.waitedMs == b.waitedMs;
}

// What is written reads back the same; a record that lacks what it needs, or
// holds a value of the wrong type or an unknown word, reads as none.
TEST(LastRun, ReadsBackWhatWasWrittenAndNothingMalformed)
{
    LastRun callFailed = firmwareRefused();
    callFailed.outcome = RunOutcome::FirmwareCallFailed;
    callFailed.eventId = 4;
    callFailed.step = L"ExecMethod orvBIOSInt0";
    callFailed.code = 0x8004100A;
    callFailed.firmwareGot.reset();
    LastRun done = firmwareRefused();
    done.outcome = RunOutcome::Done;
    done.eventId.reset();
    done.code.reset();
    for (const LastRun& record : {firmwareRefused(), callFailed, done}) {
        const auto decoded = decodeLastRun(encodeLastRun(record));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_TRUE(sameRecord(*decoded, record));
    }

    const std::function<void(std::vector<RecordValue>&)> faults[] = {
        [](std::vector<RecordValue>& v) { v.erase(v.begin()); },                 // no time
        [](std::vector<RecordValue>& v) { v[2].data = {'x', 0, 0, 0}; },         // an unknown request
        [](std::vector<RecordValue>& v) { v[4].type = 3; },                      // the outcome not a REG_SZ
        [](std::vector<RecordValue>& v) { v[5].data.pop_back(); },               // two bytes of the logo
        [](std::vector<RecordValue>& v) { v.erase(v.begin() + 6); },             // the light bar's bytes missing
        [](std::vector<RecordValue>& v) { named(v, L"Code").data.resize(4); },     // a code of four bytes
        [](std::vector<RecordValue>& v) { named(v, L"Tries").data.resize(2); },    // tries of two bytes
        [](std::vector<RecordValue>& v) { named(v, L"WaitedMs").type = 11; },      // the wait a REG_QWORD
        [](std::vector<RecordValue>& v) { named(v, L"EventId").data.resize(1); },  // an event ID of one byte
        [](std::vector<RecordValue>& v) { named(v, L"EventId").data.clear(); },    // an event ID of no bytes
    };
    for (const auto& fault : faults) {
        std::vector<RecordValue> values = encodeLastRun(firmwareRefused());
        ASSERT_EQ(values.at(7).name, L"EventId");
        fault(values);
        EXPECT_FALSE(decodeLastRun(values).has_value());
    }

    // A record of a run that never waited may lack the tries and the wait.
    std::vector<RecordValue> values = encodeLastRun(firmwareRefused());
    std::erase_if(values, [](const RecordValue& v) { return v.name == L"Tries" || v.name == L"WaitedMs"; });
    const auto decoded = decodeLastRun(values);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->tries, 1U);
    EXPECT_EQ(decoded->waitedMs, 0U);
}

} // namespace
