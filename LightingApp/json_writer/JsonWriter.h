#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// The value when holds, else none: for members that are null where they do
// not apply.
template <typename T>
std::optional<T> when(bool holds, T value)
{
    return holds ? std::optional<T>(std::move(value)) : std::nullopt;
}

// A UTF-16 code unit as JSON escapes it: \u and four lower-case hexadecimal
// digits.
std::string unitEscape(std::uint32_t unit);

// Writes one JSON text on one line. Strings are escaped so that the text is
// plain ASCII: quotes, backslashes and control characters, and every
// character beyond ASCII as \uXXXX (UTF-16 code units), which any reader
// takes whatever code page the console has.
class JsonWriter {
public:
    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }
    // The member name for the next value.
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::wstring_view text);
    JsonWriter& identifier(std::string_view text);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // The value, or null when there is none: a bool, a number, an identifier
    // (narrow) or a text (wide).
    template <typename T>
    JsonWriter& orNull(const std::optional<T>& value)
    {
        if (!value) {
            return null();
        }
        if constexpr (std::is_same_v<T, bool>) {
            return boolean(*value);
        } else if constexpr (std::is_arithmetic_v<T>) {
            return number(static_cast<std::int64_t>(*value));
        } else if constexpr (std::is_same_v<T, std::string>) {
            return identifier(*value);
        } else {
            return string(*value);
        }
    }
    // An identifier, or null for none (nullptr).
    JsonWriter& identifierOrNull(const char* text) { return text != nullptr ? identifier(text) : null(); }

    const std::string& text() const { return out; }

private:
    void beforeValue();
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);

    std::string out;
    // Per open object or array: whether it has a member or item yet.
    std::vector<bool> hasItems;
    bool afterKey = false;
};

// text as a JSON string, quotes included.
std::string jsonString(std::wstring_view text);
