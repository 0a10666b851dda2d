#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simulated_machine {

// The proxy blanket the caller set on its services object.
struct RecordedBlanket {
    std::uint32_t authn = 0;
    std::uint32_t authz = 0;
    bool principal = false;  // a server principal name was given
    std::uint32_t authnLevel = 0;
    std::uint32_t impLevel = 0;
    bool identity = false;   // an identity was given
    std::uint32_t capabilities = 0;
};

// One property of the request record as the caller put it.
struct RecordedProperty {
    std::wstring name;
    VARTYPE vt = VT_EMPTY;
    std::optional<std::int64_t> value;   // integer scalars
    std::optional<std::wstring> text;    // VT_BSTR
    // Arrays: the first dimension's bounds, and every element when they are integers.
    std::uint32_t dimensions = 0;
    std::int32_t lowerBound = 0;
    std::int64_t count = 0;
    std::optional<std::vector<std::int64_t>> elements;
};

// One ExecMethod call received by the simulated machine.
struct RecordedCall {
    std::wstring nameSpace;
    std::optional<std::wstring> method;
    std::optional<std::wstring> path;
    std::int32_t flags = 0;
    HRESULT result = S_OK;
    std::optional<RecordedBlanket> blanket;     // nothing when none was set
    std::optional<std::int32_t> returnCode;     // "rwReturnCode" handed back, if any
    std::optional<VARTYPE> inDataType;          // type of "InData"; nothing without in-parameters
    std::optional<std::wstring> inDataClass;    // class of the object in "InData"
    std::vector<RecordedProperty> properties;   // of that object, in put order

    // The property of that name (exact spelling), or null.
    const RecordedProperty* property(std::wstring_view name) const;

    // "CommandType" as put; nothing when it was not put as VT_I4.
    std::optional<std::int32_t> commandType() const;

    // The bytes of "orvBData" / "Sign". Throws std::runtime_error when the
    // property is missing or not an array of VT_UI1.
    std::vector<std::uint8_t> data() const;
    std::vector<std::uint8_t> sign() const;
};

// Parses one line of the record; throws std::runtime_error when it is not
// exactly what the simulated machine writes.
RecordedCall parseRecordLine(std::string_view line);

// Every call in the record file, oldest first. A missing or empty file means
// no call. Throws std::runtime_error (with the line number) on a bad line.
std::vector<RecordedCall> readRecord(const std::filesystem::path& file);

} // namespace simulated_machine
