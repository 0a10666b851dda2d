// Fuzzes the decoding of the run record: a user who may write the key can put
// any values there, of any name, type and size. The decoder must never read
// outside a value (AddressSanitizer), and a record it accepts must mean what
// it says: encoded again, it decodes to the same record, and every value the
// record holds came from the key as it was.

#include "run_record/LastRun.h"

#include "support/Require.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The record's own names, so that the fuzzer reaches past "a value is
// missing"; any other byte makes a name of its own.
constexpr std::array<std::wstring_view, 13> names = {
    L"Time",    L"Account", L"Request", L"Source", L"Outcome", L"LogoBytes", L"LightBarBytes",
    L"EventId", L"Step",    L"Code",    L"Tries",  L"WaitedMs", L"Other",
};

// Each value: a name byte, a type byte, a size byte, then that many data
// bytes (as many as are left).
std::vector<RecordValue> valuesOf(const std::uint8_t* data, std::size_t size)
{
    std::vector<RecordValue> values;
    std::size_t at = 0;
    while (at + 3 <= size) {
        RecordValue value;
        value.name = std::wstring(names[data[at] % names.size()]);
        value.type = data[at + 1] % 12U; // REG_NONE to REG_QWORD
        const std::size_t length = data[at + 2];
        at += 3;
        const std::size_t taken = length < size - at ? length : size - at;
        value.data.assign(data + at, data + at + taken);
        at += taken;
        values.push_back(std::move(value));
    }
    return values;
}

bool sameRecord(const LastRun& a, const LastRun& b)
{
    const auto bytes = [](const std::optional<ZoneBytes>& zones) {
        return zones ? std::vector<int>{zones->logo.red,     zones->logo.green,     zones->logo.blue,
                                        zones->lightBar.red, zones->lightBar.green, zones->lightBar.blue}
                     : std::vector<int>{};
    };
    return a.time == b.time && a.account == b.account && a.request == b.request && a.source == b.source
        && bytes(a.firmwareGot) == bytes(b.firmwareGot) && a.outcome == b.outcome && a.eventId == b.eventId
        && a.step == b.step && a.code == b.code && a.tries == b.tries && a.waitedMs == b.waitedMs;
}

bool holdsText(const std::vector<RecordValue>& values, std::wstring_view name, const std::wstring& text)
{
    for (const RecordValue& value : values) {
        if (value.name == name && value.type == 1 && value.data.size() >= 2 * text.size()) {
            std::wstring stored;
            for (std::size_t i = 0; i + 1 < value.data.size() && stored.size() < text.size(); i += 2) {
                stored += static_cast<wchar_t>(value.data[i] | (value.data[i + 1] << 8U));
            }
            return stored == text;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<RecordValue> values = valuesOf(data, size);
    const std::optional<LastRun> record = decodeLastRun(values);
    if (!record) {
        return 0;
    }
    const std::optional<LastRun> again = decodeLastRun(encodeLastRun(*record));
    FUZZ_REQUIRE(again.has_value(), "an accepted record, encoded again, decodes");
    FUZZ_REQUIRE(sameRecord(*record, *again), "an accepted record, encoded again, decodes to the same");
    FUZZ_REQUIRE(holdsText(values, L"Time", record->time), "the time is the key's");
    FUZZ_REQUIRE(holdsText(values, L"Account", record->account), "the account is the key's");
    FUZZ_REQUIRE(record->step.empty() || holdsText(values, L"Step", record->step), "the step is the key's");
    return 0;
}
