#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A UTF-16 code unit as JSON escapes it: \u and four lower-case hexadecimal
// digits.
std::string unitEscape(std::uint32_t unit);

// Writes one JSON text on one line. Strings are escaped so that the text is
// plain ASCII: quotes, backslashes and control characters, and every
// character beyond ASCII as \uXXXX (UTF-16 code units), which any reader
// takes whatever code page the console has.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The member name for the next value.
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::wstring_view text);
    JsonWriter& identifier(std::string_view text);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

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
