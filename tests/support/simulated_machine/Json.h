#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simulated_machine {

// A JSON value as the tests read it: a node of a document parsed by
// nlohmann's library, with strings as wide (UTF-16) text, as the program and
// the Windows API hold them, and numbers as 64-bit integers. Each accessor
// throws (an std::exception) when the value is of another kind or a member is
// absent. A value is a small handle that keeps its document alive: hold it
// by value (a reference into a temporary vector of array() dangles).
class JsonValue {
public:
    JsonValue() = default;

    bool isNull() const noexcept { return node == nullptr || node->is_null(); }
    bool boolean() const { return checked().get<bool>(); }
    std::int64_t integer() const { return checked().get<std::int64_t>(); }
    std::wstring string() const;
    std::vector<JsonValue> array() const;
    std::vector<std::pair<std::string, JsonValue>> object() const;

    JsonValue at(std::string_view key) const { return {root, &checked().at(std::string(key))}; }
    // The member, or nothing when it is absent.
    std::optional<JsonValue> find(std::string_view key) const;

private:
    friend JsonValue parseJson(std::string_view text);
    JsonValue(std::shared_ptr<const nlohmann::json> document, const nlohmann::json* value)
        : root(std::move(document)), node(value)
    {
    }
    const nlohmann::json& checked() const;

    // The document the node belongs to, kept alive by every value taken from it.
    std::shared_ptr<const nlohmann::json> root;
    const nlohmann::json* node = nullptr;
};

// Parses one complete JSON text; throws on anything else.
JsonValue parseJson(std::string_view text);

} // namespace simulated_machine
