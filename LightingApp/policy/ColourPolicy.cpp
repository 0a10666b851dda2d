#include "policy/ColourPolicy.h"

#include <algorithm>

namespace {

bool exists(const StoredValue& value)
{
    return value.answer != StoredValue::Answer::Missing;
}

ColourPolicy unusable(std::wstring_view name, PolicyFault fault, std::uint32_t data = 0)
{
    ColourPolicy policy;
    policy.state = PolicyState::Unusable;
    policy.faultValue = std::wstring(name);
    policy.fault = fault;
    policy.faultData = data;
    return policy;
}

} // namespace

std::uint32_t policyValueMaximum(std::size_t index)
{
    return index == 3 || index == 7 ? maxBrightness : maxColorValue;
}

ColourPolicy decidePolicy(const PolicyValues& values)
{
    const bool anyColour = std::any_of(values.colours.begin(), values.colours.end(), exists);
    if (!anyColour && !exists(values.usersMayChange)) {
        return {};
    }
    ColourPolicy policy;
    policy.state = PolicyState::InForce;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue& value = values.colours[i];
        if (!exists(value)) {
            return unusable(valueNames[i], PolicyFault::Missing);
        }
        if (!value.isDword()) {
            return unusable(valueNames[i], PolicyFault::NotDword);
        }
        if (value.data > policyValueMaximum(i)) {
            return unusable(valueNames[i], PolicyFault::OutOfRange, value.data);
        }
        policy.values.push_back(static_cast<std::uint8_t>(value.data));
    }
    const StoredValue& mayChange = values.usersMayChange;
    if (exists(mayChange)) {
        if (!mayChange.isDword()) {
            return unusable(usersMayChangeName, PolicyFault::NotDword);
        }
        if (mayChange.data > 1) {
            return unusable(usersMayChangeName, PolicyFault::OutOfRange, mayChange.data);
        }
        policy.usersMayChange = mayChange.data == 1;
    }
    return policy;
}

std::wstring policyFaultText(const ColourPolicy& policy)
{
    if (policy.state != PolicyState::Unusable) {
        return {};
    }
    const std::wstring& name = policy.faultValue;
    switch (policy.fault) {
    case PolicyFault::Missing:
        return name + L" is missing";
    case PolicyFault::NotDword:
        return name + L" is not a REG_DWORD";
    case PolicyFault::OutOfRange:
        break;
    }
    std::wstring range = L"0 or 1";
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (valueNames[i] == name) {
            range = L"0-" + std::to_wstring(policyValueMaximum(i));
        }
    }
    return name + L" is " + std::to_wstring(policy.faultData) + L", beyond its range " + range;
}
