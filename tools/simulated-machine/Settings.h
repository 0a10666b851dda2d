#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The simulated machine is configured through VELTRIN_SIM_* environment
// variables. Every function reads the environment anew, so that a test can
// change the machine between two calls in the same process.
//
// A value that cannot be parsed makes the call that reads it fail with
// E_INVALIDARG, so that a typo in a test shows up instead of passing silently.
namespace simulated_machine::settings {

// Value of VELTRIN_SIM_<suffix>, or nothing when unset.
std::optional<std::wstring> variable(std::wstring_view suffix);

// The status configured for a step in VELTRIN_SIM_FAIL_<step>: S_OK when
// unset or empty, E_INVALIDARG when not a number. With
// VELTRIN_SIM_FAIL_<step>_CALLS=N only the first N calls of the step in this
// process fail; later ones give S_OK.
HRESULT fault(std::wstring_view step);

// A switch in VELTRIN_SIM_<suffix>: unset, empty or "0" is off, "1" is on.
HRESULT flag(std::wstring_view suffix, bool& on);

// The "Model" text; nothing means the property holds no value.
HRESULT model(std::optional<std::wstring>& text);

// The "rwReturnCode" to hand back (decimal or 0x hexadecimal, 32 bits);
// nothing means the property is absent.
HRESULT returnCode(std::optional<std::int32_t>& code);

// The longest time a firmware call may take, in milliseconds (0 when unset):
// each call then takes a random time up to it, as real firmware calls vary.
HRESULT execJitterMs(std::uint32_t& milliseconds);

// The file that records firmware calls, or nothing when calls are not recorded.
std::optional<std::wstring> recordFile();

// Parses "0x80041001" (hexadecimal) or "-2147217407"/"2147749889" (decimal)
// into the 32-bit status it denotes.
std::optional<HRESULT> parseStatus(std::wstring_view text);

} // namespace simulated_machine::settings
