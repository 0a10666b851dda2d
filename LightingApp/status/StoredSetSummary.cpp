#include "status/StoredSetSummary.h"

#include <algorithm>
#include <array>

SetState setState(const StoredSet& set)
{
    const auto& values = set.values;
    if (std::all_of(values.begin(), values.end(), [](const StoredValue& value) { return value.isDword(); })) {
        return SetState::Complete;
    }
    if (std::all_of(values.begin(), values.end(),
                    [](const StoredValue& value) { return value.answer == StoredValue::Answer::Missing; })) {
        return SetState::None;
    }
    return SetState::Incomplete;
}

std::optional<std::uint8_t> replacementFor(std::size_t index, ValueFate fate, const ZoneValues& modelDefaults)
{
    if (fate == ValueFate::DefaultWritten) {
        return vectorEntryFromStored(index, defaultStoredValue(index));
    }
    if (fate == ValueFate::ModelDefault && index < modelDefaults.size()) {
        return modelDefaults[index];
    }
    return std::nullopt;
}

std::wstring registryTypeName(std::uint32_t type)
{
    static constexpr std::array<const wchar_t*, 12> names = {
        L"REG_NONE",
        L"REG_SZ",
        L"REG_EXPAND_SZ",
        L"REG_BINARY",
        L"REG_DWORD",
        L"REG_DWORD_BIG_ENDIAN",
        L"REG_LINK",
        L"REG_MULTI_SZ",
        L"REG_RESOURCE_LIST",
        L"REG_FULL_RESOURCE_DESCRIPTOR",
        L"REG_RESOURCE_REQUIREMENTS_LIST",
        L"REG_QWORD",
    };
    if (type < names.size()) {
        return names[type];
    }
    return L"type " + std::to_wstring(type);
}
