#include "Settings.h"

#include <charconv>
#include <limits>

namespace simulated_machine::settings {

namespace {

constexpr std::wstring_view prefix = L"VELTRIN_SIM_";
constexpr std::wstring_view defaultModel = L"Orvane VR Veltrin G2";

std::optional<std::string> ascii(std::wstring_view text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (const wchar_t c : text) {
        if (c < 0x21 || c > 0x7E) {
            return std::nullopt;
        }
        narrow.push_back(static_cast<char>(c));
    }
    return narrow;
}

template <class Number>
std::optional<Number> parseWhole(std::string_view text, int base)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

} // namespace

std::optional<std::wstring> variable(std::wstring_view suffix)
{
    std::wstring name{prefix};
    name += suffix;
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return std::nullopt;
            }
            return std::wstring{};
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

std::optional<HRESULT> parseStatus(std::wstring_view text)
{
    const auto narrow = ascii(text);
    if (!narrow || narrow->empty()) {
        return std::nullopt;
    }
    std::string_view digits = *narrow;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        const auto bits = parseWhole<std::uint32_t>(digits.substr(2), 16);
        if (!bits) {
            return std::nullopt;
        }
        return static_cast<HRESULT>(*bits);
    }
    const auto number = parseWhole<std::int64_t>(digits, 10);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<HRESULT>(static_cast<std::uint32_t>(*number));
}

namespace {

// With VELTRIN_SIM_FAIL_<step>_CALLS set to N, only the first N calls of the
// step in this process fail: a machine whose WMI is not ready yet. The calls
// are counted in a variable of the process's own environment, which outlives
// the unloading and reloading of this DLL between two COM apartments.
// Returns whether this call is one that fails.
bool countedCallFails(std::wstring_view step, HRESULT& invalid)
{
    std::wstring suffix = L"FAIL_";
    suffix += step;
    suffix += L"_CALLS";
    const auto limit = variable(suffix);
    if (!limit || limit->empty()) {
        return true;
    }
    const auto narrowLimit = ascii(*limit);
    const auto calls = narrowLimit ? parseWhole<std::uint32_t>(*narrowLimit, 10) : std::nullopt;
    if (!calls) {
        invalid = E_INVALIDARG;
        return true;
    }
    std::wstring counterName{prefix};
    counterName += L"COUNT_";
    counterName += step;
    const auto counter = variable(counterName.substr(prefix.size()));
    const auto narrowCounter = counter ? ascii(*counter) : std::nullopt;
    const std::uint32_t made = narrowCounter ? parseWhole<std::uint32_t>(*narrowCounter, 10).value_or(0) : 0;
    if (made >= *calls) {
        return false;
    }
    SetEnvironmentVariableW(counterName.c_str(), std::to_wstring(made + 1).c_str());
    return true;
}

} // namespace

HRESULT fault(std::wstring_view step)
{
    std::wstring suffix = L"FAIL_";
    suffix += step;
    const auto value = variable(suffix);
    if (!value || value->empty()) {
        return S_OK;
    }
    HRESULT invalid = S_OK;
    if (!countedCallFails(step, invalid)) {
        return S_OK;
    }
    if (FAILED(invalid)) {
        return invalid;
    }
    return parseStatus(*value).value_or(E_INVALIDARG);
}

HRESULT flag(std::wstring_view suffix, bool& on)
{
    const auto value = variable(suffix);
    on = false;
    if (!value || value->empty() || *value == L"0") {
        return S_OK;
    }
    if (*value == L"1") {
        on = true;
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT model(std::optional<std::wstring>& text)
{
    bool isNull = false;
    if (const HRESULT status = flag(L"MODEL_NULL", isNull); FAILED(status)) {
        return status;
    }
    if (isNull) {
        text.reset();
        return S_OK;
    }
    const auto configured = variable(L"MODEL");
    if (!configured) {
        text = std::wstring{defaultModel};
        return S_OK;
    }
    // The two characters \0 stand for one NUL code unit, which an environment
    // variable cannot hold itself.
    std::wstring decoded;
    decoded.reserve(configured->size());
    for (std::size_t i = 0; i < configured->size(); ++i) {
        if ((*configured)[i] == L'\\' && i + 1 < configured->size() && (*configured)[i + 1] == L'0') {
            decoded.push_back(L'\0');
            ++i;
        } else {
            decoded.push_back((*configured)[i]);
        }
    }
    text = std::move(decoded);
    return S_OK;
}

HRESULT returnCode(std::optional<std::int32_t>& code)
{
    const auto value = variable(L"RETURN_CODE");
    if (!value || value->empty()) {
        code = 0;
        return S_OK;
    }
    if (*value == L"none") {
        code.reset();
        return S_OK;
    }
    const auto number = parseStatus(*value);
    if (!number) {
        return E_INVALIDARG;
    }
    code = static_cast<std::int32_t>(*number);
    return S_OK;
}

HRESULT execJitterMs(std::uint32_t& milliseconds)
{
    milliseconds = 0;
    const auto value = variable(L"EXEC_JITTER_MS");
    if (!value || value->empty()) {
        return S_OK;
    }
    const auto number = parseStatus(*value);
    if (!number || *number < 0 || *number > 60000) {
        return E_INVALIDARG;
    }
    milliseconds = static_cast<std::uint32_t>(*number);
    return S_OK;
}

std::optional<std::wstring> recordFile()
{
    auto file = variable(L"RECORD");
    if (file && file->empty()) {
        return std::nullopt;
    }
    return file;
}

} // namespace simulated_machine::settings
