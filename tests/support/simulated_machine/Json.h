#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace simulated_machine {

// A parsed JSON value. Only what the simulated machine writes is supported:
// numbers are whole (64-bit), strings come back as UTF-16 (the record escapes
// every non-ASCII code unit as \uXXXX).
class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>;

    JsonValue() = default;
    explicit JsonValue(bool flag) : value(flag) {}
    explicit JsonValue(std::int64_t number) : value(number) {}
    explicit JsonValue(std::wstring text) : value(std::move(text)) {}
    explicit JsonValue(Array items) : value(std::move(items)) {}
    explicit JsonValue(Object members) : value(std::move(members)) {}

    bool isNull() const noexcept { return std::holds_alternative<std::nullptr_t>(value); }

    // Each accessor throws std::runtime_error when the value is of another kind.
    bool boolean() const;
    std::int64_t integer() const;
    const std::wstring& string() const;
    const Array& array() const;
    const Object& object() const;

    // Member of an object; throws when absent.
    const JsonValue& at(std::string_view key) const;

private:
    std::variant<std::nullptr_t, bool, std::int64_t, std::wstring, Array, Object> value;
};

// Parses one complete JSON text; throws std::runtime_error on anything else.
JsonValue parseJson(std::string_view text);

} // namespace simulated_machine
