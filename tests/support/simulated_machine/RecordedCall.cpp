#include "RecordedCall.h"

#include "Json.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace simulated_machine {

namespace {

template <class Integer>
Integer narrow(const JsonValue& value)
{
    const std::int64_t number = value.integer();
    if (number < std::numeric_limits<Integer>::min() || number > std::numeric_limits<Integer>::max()) {
        throw std::runtime_error("record: number out of range");
    }
    return static_cast<Integer>(number);
}

template <class T, class Read>
std::optional<T> optional(const JsonValue& value, Read read)
{
    if (value.isNull()) {
        return std::nullopt;
    }
    return read(value);
}

std::optional<std::wstring> optionalString(const JsonValue& value)
{
    return optional<std::wstring>(value, [](const JsonValue& v) { return v.string(); });
}

RecordedBlanket readBlanket(const JsonValue& value)
{
    RecordedBlanket blanket;
    blanket.authn = narrow<std::uint32_t>(value.at("authn"));
    blanket.authz = narrow<std::uint32_t>(value.at("authz"));
    blanket.principal = value.at("principal").boolean();
    blanket.authnLevel = narrow<std::uint32_t>(value.at("authnLevel"));
    blanket.impLevel = narrow<std::uint32_t>(value.at("impLevel"));
    blanket.identity = value.at("identity").boolean();
    blanket.capabilities = narrow<std::uint32_t>(value.at("capabilities"));
    return blanket;
}

RecordedProperty readProperty(const JsonValue& value)
{
    RecordedProperty property;
    property.name = value.at("name").string();
    property.vt = narrow<VARTYPE>(value.at("vt"));
    if (const auto scalar = value.find("value")) {
        property.value = scalar->integer();
    }
    if (const auto text = value.find("text")) {
        property.text = text->string();
    }
    if (const auto dimensions = value.find("dimensions")) {
        property.dimensions = narrow<std::uint32_t>(*dimensions);
        if (property.dimensions > 0) {
            property.lowerBound = narrow<std::int32_t>(value.at("lowerBound"));
            property.count = value.at("count").integer();
        }
    }
    if (const auto elements = value.find("elements")) {
        property.elements.emplace();
        for (const JsonValue& element : elements->array()) {
            property.elements->push_back(element.integer());
        }
    }
    return property;
}

std::vector<std::uint8_t> bytesOf(const RecordedCall& call, std::wstring_view name)
{
    const RecordedProperty* property = call.property(name);
    const std::string label(name.begin(), name.end());
    if (property == nullptr) {
        throw std::runtime_error("record: no property " + label);
    }
    if (property->vt != (VT_ARRAY | VT_UI1) || !property->elements) {
        throw std::runtime_error("record: " + label + " is not a byte array");
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(property->elements->size());
    for (const std::int64_t element : *property->elements) {
        bytes.push_back(static_cast<std::uint8_t>(element));
    }
    return bytes;
}

} // namespace

const RecordedProperty* RecordedCall::property(std::wstring_view name) const
{
    for (const auto& candidate : properties) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::optional<std::int32_t> RecordedCall::commandType() const
{
    const RecordedProperty* found = property(L"CommandType");
    if (found == nullptr || found->vt != VT_I4 || !found->value) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*found->value);
}

std::vector<std::uint8_t> RecordedCall::data() const
{
    return bytesOf(*this, L"orvBData");
}

std::vector<std::uint8_t> RecordedCall::sign() const
{
    return bytesOf(*this, L"Sign");
}

namespace {

RecordedCall readCall(const JsonValue& document)
{
    RecordedCall call;
    call.nameSpace = document.at("namespace").string();
    call.method = optionalString(document.at("method"));
    call.path = optionalString(document.at("path"));
    call.flags = narrow<std::int32_t>(document.at("flags"));

    const std::wstring result = document.at("result").string();
    if (result.size() != 10 || result.compare(0, 2, L"0x") != 0 ||
        result.find_first_not_of(L"0123456789ABCDEF", 2) != std::wstring::npos) {
        throw std::runtime_error("record: result is not 0x and eight upper-case hexadecimal digits");
    }
    call.result = static_cast<HRESULT>(std::stoul(result.substr(2), nullptr, 16));

    call.blanket = optional<RecordedBlanket>(document.at("blanket"), readBlanket);
    call.returnCode = optional<std::int32_t>(document.at("returnCode"), narrow<std::int32_t>);
    call.inDataType = optional<VARTYPE>(document.at("inDataType"), narrow<VARTYPE>);
    call.inDataClass = optionalString(document.at("inDataClass"));
    for (const JsonValue& property : document.at("properties").array()) {
        call.properties.push_back(readProperty(property));
    }
    return call;
}

} // namespace

RecordedCall parseRecordLine(std::string_view line)
{
    try {
        return readCall(parseJson(line));
    } catch (const nlohmann::json::exception& error) {
        // A member missing or of another kind.
        throw std::runtime_error(std::string("record: ") + error.what());
    }
}


std::vector<RecordedCall> readRecord(const std::filesystem::path& file)
{
    std::vector<RecordedCall> calls;
    std::ifstream input(file, std::ios::binary);
    std::string line;
    for (int number = 1; std::getline(input, line); ++number) {
        try {
            if (input.eof()) {
                throw std::runtime_error("line does not end with a newline");
            }
            calls.push_back(parseRecordLine(line));
        } catch (const std::exception& error) {
            throw std::runtime_error(file.string() + " line " + std::to_string(number) + ": " + error.what());
        }
    }
    return calls;
}

} // namespace simulated_machine
