#include "json_writer/JsonWriter.h"

std::string unitEscape(std::uint32_t unit)
{
    constexpr std::string_view digits = "0123456789abcdef";
    std::string escape = "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        escape += digits[(unit >> shift) & 0xF];
    }
    return escape;
}

std::string jsonString(std::wstring_view text)
{
    std::string out = "\"";
    for (const wchar_t c : text) {
        const auto unit = static_cast<std::uint32_t>(c);
        if (c == L'"') {
            out += "\\\"";
        } else if (c == L'\\') {
            out += "\\\\";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else if (unit > 0xFFFF) {
            // Where wchar_t holds whole code points: as a surrogate pair.
            const std::uint32_t offset = unit - 0x10000;
            out += unitEscape(0xD800 + (offset >> 10));
            out += unitEscape(0xDC00 + (offset & 0x3FF));
        } else {
            out += unitEscape(unit);
        }
    }
    return out + "\"";
}

void JsonWriter::beforeValue()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!hasItems.empty()) {
        if (hasItems.back()) {
            out += ',';
        }
        hasItems.back() = true;
    }
}

JsonWriter& JsonWriter::open(char bracket)
{
    beforeValue();
    out += bracket;
    hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    out += bracket;
    hasItems.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    out += '"';
    out += name;
    out += "\":";
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::wstring_view text)
{
    beforeValue();
    out += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::identifier(std::string_view text)
{
    beforeValue();
    out += '"';
    out += text;
    out += '"';
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value)
{
    beforeValue();
    out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    beforeValue();
    out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    out += "null";
    return *this;
}
