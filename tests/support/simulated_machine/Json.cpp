#include "Json.h"

#include <charconv>
#include <stdexcept>

namespace simulated_machine {

namespace {

class Parser {
public:
    explicit Parser(std::string_view input) : text(input) {}

    JsonValue document()
    {
        JsonValue result = value();
        skipSpace();
        if (position != text.size()) {
            fail("text after the value");
        }
        return result;
    }

private:
    [[noreturn]] void fail(const char* what) const
    {
        throw std::runtime_error("JSON: " + std::string(what) + " at offset " + std::to_string(position));
    }

    void skipSpace()
    {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\t' ||
                                          text[position] == '\r' || text[position] == '\n')) {
            ++position;
        }
    }

    char peek()
    {
        skipSpace();
        if (position == text.size()) {
            fail("unexpected end");
        }
        return text[position];
    }

    void expect(char c)
    {
        if (peek() != c) {
            fail("unexpected character");
        }
        ++position;
    }

    bool literal(std::string_view word)
    {
        if (text.substr(position, word.size()) == word) {
            position += word.size();
            return true;
        }
        return false;
    }

    JsonValue value()
    {
        const char c = peek();
        if (c == '{') {
            return object();
        }
        if (c == '[') {
            return array();
        }
        if (c == '"') {
            return JsonValue(string());
        }
        if (literal("null")) {
            return JsonValue();
        }
        if (literal("true")) {
            return JsonValue(true);
        }
        if (literal("false")) {
            return JsonValue(false);
        }
        return number();
    }

    JsonValue number()
    {
        std::int64_t result = 0;
        const char* begin = text.data() + position;
        const auto [end, error] = std::from_chars(begin, text.data() + text.size(), result);
        if (error != std::errc{} || (end < text.data() + text.size() && (*end == '.' || *end == 'e' || *end == 'E'))) {
            fail("not a whole number");
        }
        position += static_cast<std::size_t>(end - begin);
        return JsonValue(result);
    }

    unsigned hexDigit(char c)
    {
        if (c >= '0' && c <= '9') {
            return static_cast<unsigned>(c - '0');
        }
        if (c >= 'a' && c <= 'f') {
            return static_cast<unsigned>(c - 'a' + 10);
        }
        if (c >= 'A' && c <= 'F') {
            return static_cast<unsigned>(c - 'A' + 10);
        }
        fail("bad \\u escape");
    }

    std::wstring string()
    {
        expect('"');
        std::wstring result;
        for (;;) {
            if (position == text.size()) {
                fail("unterminated string");
            }
            const char c = text[position++];
            if (c == '"') {
                return result;
            }
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
                fail("raw control or non-ASCII character in string");
            }
            if (c != '\\') {
                result.push_back(static_cast<wchar_t>(c));
                continue;
            }
            if (position == text.size()) {
                fail("unterminated escape");
            }
            switch (const char e = text[position++]) {
            case '"': case '\\': case '/': result.push_back(static_cast<wchar_t>(e)); break;
            case 'b': result.push_back(L'\b'); break;
            case 'f': result.push_back(L'\f'); break;
            case 'n': result.push_back(L'\n'); break;
            case 'r': result.push_back(L'\r'); break;
            case 't': result.push_back(L'\t'); break;
            case 'u': {
                if (text.size() - position < 4) {
                    fail("bad \\u escape");
                }
                unsigned unit = 0;
                for (int i = 0; i < 4; ++i) {
                    unit = unit * 16 + hexDigit(text[position++]);
                }
                result.push_back(static_cast<wchar_t>(unit));
                break;
            }
            default: fail("unknown escape");
            }
        }
    }

    JsonValue array()
    {
        expect('[');
        JsonValue::Array items;
        if (peek() == ']') {
            ++position;
            return JsonValue(std::move(items));
        }
        for (;;) {
            items.push_back(value());
            if (peek() == ']') {
                ++position;
                return JsonValue(std::move(items));
            }
            expect(',');
        }
    }

    JsonValue object()
    {
        expect('{');
        JsonValue::Object members;
        if (peek() == '}') {
            ++position;
            return JsonValue(std::move(members));
        }
        for (;;) {
            peek();
            const std::wstring key = string();
            std::string narrowKey(key.begin(), key.end());
            for (const auto& member : members) {
                if (member.first == narrowKey) {
                    fail("duplicate key");
                }
            }
            expect(':');
            members.emplace_back(std::move(narrowKey), value());
            if (peek() == '}') {
                ++position;
                return JsonValue(std::move(members));
            }
            expect(',');
        }
    }

    std::string_view text;
    std::size_t position = 0;
};

template <class T, class Variant>
const T& alternative(const Variant& value, const char* kind)
{
    if (const T* held = std::get_if<T>(&value)) {
        return *held;
    }
    throw std::runtime_error(std::string("JSON: expected ") + kind);
}

} // namespace

bool JsonValue::boolean() const { return alternative<bool>(value, "true or false"); }
std::int64_t JsonValue::integer() const { return alternative<std::int64_t>(value, "a number"); }
const std::wstring& JsonValue::string() const { return alternative<std::wstring>(value, "a string"); }
const JsonValue::Array& JsonValue::array() const { return alternative<Array>(value, "an array"); }
const JsonValue::Object& JsonValue::object() const { return alternative<Object>(value, "an object"); }

const JsonValue& JsonValue::at(std::string_view key) const
{
    for (const auto& [name, member] : object()) {
        if (name == key) {
            return member;
        }
    }
    throw std::runtime_error("JSON: missing member \"" + std::string(key) + "\"");
}

JsonValue parseJson(std::string_view text)
{
    return Parser(text).document();
}

} // namespace simulated_machine
