#include "Json.h"

#include <algorithm>
#include <stdexcept>

namespace simulated_machine {

namespace {

// Appends the code point as UTF-16 where wchar_t has 16 bits (a surrogate
// pair beyond the basic plane), as itself where it has 32.
void appendCodePoint(std::wstring& out, std::uint32_t point)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (point > 0xFFFF) {
            point -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (point >> 10));
            out += static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(point);
}

// The library gives strings as valid UTF-8.
std::wstring wideFromUtf8(const std::string& text)
{
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t point = length == 1 ? lead : lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3FU);
        }
        appendCodePoint(out, point);
        i += length;
    }
    return out;
}

} // namespace

const nlohmann::json& JsonValue::checked() const
{
    if (node == nullptr) {
        throw std::runtime_error("JSON: no value");
    }
    return *node;
}

std::wstring JsonValue::string() const
{
    return wideFromUtf8(checked().get_ref<const std::string&>());
}

std::vector<JsonValue> JsonValue::array() const
{
    std::vector<JsonValue> items;
    for (const nlohmann::json& item : checked().get_ref<const nlohmann::json::array_t&>()) {
        items.push_back({root, &item});
    }
    return items;
}

std::vector<std::pair<std::string, JsonValue>> JsonValue::object() const
{
    std::vector<std::pair<std::string, JsonValue>> members;
    for (const auto& [name, value] : checked().get_ref<const nlohmann::json::object_t&>()) {
        members.emplace_back(name, JsonValue{root, &value});
    }
    return members;
}

std::optional<JsonValue> JsonValue::find(std::string_view key) const
{
    const nlohmann::json& object = checked();
    const auto found = object.find(std::string(key));
    if (!object.is_object() || found == object.end()) {
        return std::nullopt;
    }
    return JsonValue{root, &*found};
}

JsonValue parseJson(std::string_view text)
{
    // The library keeps the last of two members of one name; a text the
    // program or the simulated machine wrote never has two.
    std::vector<std::vector<std::string>> keys;
    const nlohmann::json::parser_callback_t rejectDuplicates = [&keys](int, nlohmann::json::parse_event_t event,
                                                                       nlohmann::json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::object_start) {
            keys.emplace_back();
        } else if (event == Event::object_end) {
            keys.pop_back();
        } else if (event == Event::key) {
            const std::string& key = parsed.get_ref<const std::string&>();
            if (std::find(keys.back().begin(), keys.back().end(), key) != keys.back().end()) {
                throw std::runtime_error("JSON: member " + key + " appears twice");
            }
            keys.back().push_back(key);
        }
        return true;
    };
    nlohmann::json parsed;
    try {
        parsed = nlohmann::json::parse(text, rejectDuplicates);
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(error.what());
    }
    auto document = std::make_shared<const nlohmann::json>(std::move(parsed));
    const nlohmann::json* node = document.get();
    return {std::move(document), node};
}

} // namespace simulated_machine
