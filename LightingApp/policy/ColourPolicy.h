#pragma once

#include "colorizers/ZoneColors.h"
#include "settings/StoredSet.h"

#include <array>
#include <string>
#include <string_view>

// Colours set by a fleet's administrator: a machine policy key that Group
// Policy or a management engine owns and removes, read ahead of the stored
// colours. One decision for the run and for "status".

// The key under HKEY_LOCAL_MACHINE (64-bit view), and as the console and the
// events name it.
inline constexpr std::wstring_view policyKeyPath = L"SOFTWARE\\Policies\\Orvane\\VeltrinLighting";
inline constexpr std::wstring_view policyKeyName = L"HKLM\\SOFTWARE\\Policies\\Orvane\\VeltrinLighting";
// Beside the eight colour values (valueNames): whether colour, brightness
// and default requests are still carried out and stored (1) or refused (0,
// and when missing).
inline constexpr std::wstring_view usersMayChangeName = L"UsersMayChange";

// The policy key's values as the registry answered a query for at most four
// bytes of each (the same answers as for the stored colours).
struct PolicyValues {
    std::array<StoredValue, storedValueCount> colours{};
    StoredValue usersMayChange;
};

enum class PolicyState {
    // The key holds none of the nine values (or does not exist).
    None,
    // All eight colour values are REG_DWORDs within their ranges, and
    // UsersMayChange is missing, 0 or 1.
    InForce,
    // Some values exist but the policy cannot be used: every run then
    // behaves as with no policy.
    Unusable,
};

// Why an unusable policy cannot be used, for the value at fault.
enum class PolicyFault {
    Missing,    // a colour value is missing while others exist
    NotDword,   // of another type than REG_DWORD (or longer than four bytes)
    OutOfRange, // a colour above 255, a brightness above 100, UsersMayChange neither 0 nor 1
};

struct ColourPolicy {
    PolicyState state = PolicyState::None;
    // InForce: the eight entries of the zone colour vector; empty otherwise.
    ZoneValues values;
    // InForce: whether requests that change the lighting are carried out.
    bool usersMayChange = false;
    // Unusable: the first value at fault, in the order Z1_Red .. Z2_Bright,
    // UsersMayChange, and why; the REG_DWORD it holds when OutOfRange.
    std::wstring faultValue;
    PolicyFault fault = PolicyFault::Missing;
    std::uint32_t faultData = 0;
};

// The highest value entry index of the zone colour vector takes (the lowest
// is 0): the same ranges as the command line's.
std::uint32_t policyValueMaximum(std::size_t index);

// The decision, from the values as read.
ColourPolicy decidePolicy(const PolicyValues& values);

// An unusable policy's fault in words, for the event and "status", e.g.
// "Z1_Bright is 150, beyond its range 0-100".
std::wstring policyFaultText(const ColourPolicy& policy);
