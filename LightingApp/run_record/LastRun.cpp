#include "run_record/LastRun.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Registry types, for code that does not see the Windows headers.
constexpr std::uint32_t typeString = 1; // REG_SZ
constexpr std::uint32_t typeBinary = 3; // REG_BINARY
constexpr std::uint32_t typeDword = 4;  // REG_DWORD
constexpr std::uint32_t typeQword = 11; // REG_QWORD

constexpr std::array<std::wstring_view, 4> requestWords = {L"restore", L"colours", L"brightness", L"default"};
constexpr std::array<std::wstring_view, 5> sourceWords = {L"policy", L"machineKey", L"userKey", L"modelDefaults",
                                                          L"commandLine"};
constexpr std::array<std::wstring_view, 7> outcomeWords = {
    L"done",      L"refusedByPolicy", L"platformCheckFailed", L"firmwareCallFailed", L"firmwareRefused",
    L"notStored", L"unexpected",
};

// REG_SZ: UTF-16 code units, little-endian, with the terminating null.
std::vector<std::uint8_t> stringData(std::wstring_view text)
{
    std::vector<std::uint8_t> data;
    for (const wchar_t c : text) {
        const auto unit = static_cast<std::uint16_t>(c);
        data.push_back(static_cast<std::uint8_t>(unit & 0xFFU));
        data.push_back(static_cast<std::uint8_t>(unit >> 8U));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

std::vector<std::uint8_t> numberData(std::uint64_t number, std::size_t bytes)
{
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < bytes; ++i) {
        data.push_back(static_cast<std::uint8_t>((number >> (8U * i)) & 0xFFU));
    }
    return data;
}

std::vector<std::uint8_t> colourData(const Color& color)
{
    return {color.red, color.green, color.blue};
}

const RecordValue* find(const std::vector<RecordValue>& values, std::wstring_view name, std::uint32_t type)
{
    const auto found =
        std::find_if(values.begin(), values.end(), [&](const RecordValue& value) { return value.name == name; });
    return found != values.end() && found->type == type ? &*found : nullptr;
}

bool present(const std::vector<RecordValue>& values, std::wstring_view name)
{
    return std::any_of(values.begin(), values.end(), [&](const RecordValue& value) { return value.name == name; });
}

std::optional<std::wstring> readString(const std::vector<RecordValue>& values, std::wstring_view name)
{
    const RecordValue* value = find(values, name, typeString);
    if (value == nullptr) {
        return std::nullopt;
    }
    std::wstring text;
    for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(value->data[i] | (value->data[i + 1] << 8U));
        if (unit == L'\0') {
            break;
        }
        text += unit;
    }
    return text;
}

std::optional<std::uint64_t> readNumber(const std::vector<RecordValue>& values, std::wstring_view name,
                                        std::uint32_t type, std::size_t bytes)
{
    const RecordValue* value = find(values, name, type);
    if (value == nullptr || value->data.size() != bytes) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        number |= static_cast<std::uint64_t>(value->data[i]) << (8U * i);
    }
    return number;
}

std::optional<Color> readColour(const std::vector<RecordValue>& values, std::wstring_view name)
{
    const RecordValue* value = find(values, name, typeBinary);
    if (value == nullptr || value->data.size() != 3) {
        return std::nullopt;
    }
    return Color(value->data[0], value->data[1], value->data[2]);
}

template <typename Enum, std::size_t N>
std::optional<Enum> readWord(const std::vector<RecordValue>& values, std::wstring_view name,
                             const std::array<std::wstring_view, N>& words)
{
    const std::optional<std::wstring> text = readString(values, name);
    if (!text) {
        return std::nullopt;
    }
    const auto found = std::find(words.begin(), words.end(), *text);
    if (found == words.end()) {
        return std::nullopt;
    }
    return static_cast<Enum>(found - words.begin());
}

} // namespace

std::wstring_view requestWord(RunRequest request)
{
    return requestWords.at(static_cast<std::size_t>(request));
}

std::wstring_view sourceWord(ColourSource source)
{
    return sourceWords.at(static_cast<std::size_t>(source));
}

std::wstring_view outcomeWord(RunOutcome outcome)
{
    return outcomeWords.at(static_cast<std::size_t>(outcome));
}

std::vector<RecordValue> encodeLastRun(const LastRun& record)
{
    std::vector<RecordValue> values = {
        {L"Time", typeString, stringData(record.time)},
        {L"Account", typeString, stringData(record.account)},
        {L"Request", typeString, stringData(requestWord(record.request))},
        {L"Source", typeString, stringData(sourceWord(record.source))},
        {L"Outcome", typeString, stringData(outcomeWord(record.outcome))},
    };
    if (record.firmwareGot) {
        values.push_back({L"LogoBytes", typeBinary, colourData(record.firmwareGot->logo)});
        values.push_back({L"LightBarBytes", typeBinary, colourData(record.firmwareGot->lightBar)});
    }
    if (record.eventId) {
        values.push_back({L"EventId", typeDword, numberData(*record.eventId, 4)});
    }
    if (!record.step.empty()) {
        values.push_back({L"Step", typeString, stringData(record.step)});
    }
    if (record.code) {
        values.push_back({L"Code", typeQword, numberData(static_cast<std::uint64_t>(*record.code), 8)});
    }
    values.push_back({L"Tries", typeDword, numberData(record.tries, 4)});
    values.push_back({L"WaitedMs", typeDword, numberData(record.waitedMs, 4)});
    return values;
}

std::optional<LastRun> decodeLastRun(const std::vector<RecordValue>& values)
{
    LastRun record;
    const auto time = readString(values, L"Time");
    const auto account = readString(values, L"Account");
    const auto request = readWord<RunRequest>(values, L"Request", requestWords);
    const auto source = readWord<ColourSource>(values, L"Source", sourceWords);
    const auto outcome = readWord<RunOutcome>(values, L"Outcome", outcomeWords);
    if (!time || !account || !request || !source || !outcome) {
        return std::nullopt;
    }
    record.time = *time;
    record.account = *account;
    record.request = *request;
    record.source = *source;
    record.outcome = *outcome;

    // An optional value that is there must be well formed.
    const auto logo = readColour(values, L"LogoBytes");
    const auto lightBar = readColour(values, L"LightBarBytes");
    if (logo && lightBar) {
        record.firmwareGot = ZoneBytes{*logo, *lightBar};
    } else if (present(values, L"LogoBytes") || present(values, L"LightBarBytes")) {
        return std::nullopt;
    }
    if (present(values, L"EventId")) {
        const auto eventId = readNumber(values, L"EventId", typeDword, 4);
        if (!eventId) {
            return std::nullopt;
        }
        record.eventId = static_cast<std::uint32_t>(*eventId);
    }
    if (present(values, L"Step")) {
        const auto step = readString(values, L"Step");
        if (!step) {
            return std::nullopt;
        }
        record.step = *step;
    }
    if (present(values, L"Code")) {
        const auto code = readNumber(values, L"Code", typeQword, 8);
        if (!code) {
            return std::nullopt;
        }
        record.code = static_cast<std::int64_t>(*code);
    }
    // Records of runs that never waited may lack these.
    for (const auto& [name, field] : {std::pair{L"Tries", &record.tries}, std::pair{L"WaitedMs", &record.waitedMs}}) {
        if (present(values, name)) {
            const auto number = readNumber(values, name, typeDword, 4);
            if (!number) {
                return std::nullopt;
            }
            *field = static_cast<std::uint32_t>(*number);
        }
    }
    return record;
}
