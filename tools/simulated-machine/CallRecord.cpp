#include "CallRecord.h"

#include <nlohmann/json.hpp>
#include <oleauto.h>

#include <cstdio>

namespace simulated_machine {

namespace {

using Json = nlohmann::ordered_json;

// UTF-8 of UTF-16 text, as the JSON library takes it; an unpaired
// surrogate becomes U+FFFD.
std::string utf8(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

Json optionalString(const wchar_t* text)
{
    return text == nullptr ? Json(nullptr) : Json(utf8(text));
}

Json blanketJson(const std::optional<ProxyBlanket>& blanket)
{
    if (!blanket) {
        return nullptr;
    }
    return Json{
        {"authn", blanket->authenticationService},
        {"authz", blanket->authorizationService},
        {"principal", blanket->principalGiven},
        {"authnLevel", blanket->authenticationLevel},
        {"impLevel", blanket->impersonationLevel},
        {"identity", blanket->identityGiven},
        {"capabilities", blanket->capabilities},
    };
}

// Integer element or scalar of the given type at the given address; nothing
// for types that are not integers.
std::optional<Json> integerJson(VARTYPE type, const void* data)
{
    switch (type) {
    case VT_I1: return Json(static_cast<int>(*static_cast<const signed char*>(data)));
    case VT_UI1: return Json(static_cast<unsigned>(*static_cast<const unsigned char*>(data)));
    case VT_I2: return Json(*static_cast<const SHORT*>(data));
    case VT_UI2: return Json(*static_cast<const USHORT*>(data));
    case VT_BOOL: return Json(*static_cast<const VARIANT_BOOL*>(data));
    case VT_I4:
    case VT_INT: return Json(*static_cast<const LONG*>(data));
    case VT_UI4:
    case VT_UINT: return Json(*static_cast<const ULONG*>(data));
    case VT_I8: return Json(*static_cast<const LONGLONG*>(data));
    case VT_UI8: return Json(*static_cast<const ULONGLONG*>(data));
    default: return std::nullopt;
    }
}

void addArray(Json& out, VARTYPE elementType, SAFEARRAY* array)
{
    const UINT dimensions = SafeArrayGetDim(array);
    out["dimensions"] = dimensions;
    if (dimensions == 0) {
        return;
    }
    // The first bound in the descriptor is the last dimension; dimension 1
    // is the one a one-dimensional array has.
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    out["lowerBound"] = lower;
    out["count"] = static_cast<LONGLONG>(upper) - lower + 1;

    std::size_t total = 1;
    for (UINT d = 0; d < dimensions; ++d) {
        total *= array->rgsabound[d].cElements;
    }
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
        return;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    const UINT size = SafeArrayGetElemsize(array);
    Json elements = Json::array();
    bool integers = true;
    for (std::size_t i = 0; i < total && integers; ++i) {
        const std::optional<Json> element = integerJson(elementType, bytes + i * size);
        integers = element.has_value();
        if (integers) {
            elements.push_back(*element);
        }
    }
    SafeArrayUnaccessData(array);
    if (integers) {
        out["elements"] = std::move(elements);
    }
}

void addValueFields(Json& out, const VARIANT& value)
{
    out["vt"] = value.vt;
    if ((value.vt & VT_BYREF) != 0) {
        return;
    }
    if ((value.vt & VT_ARRAY) != 0) {
        if (value.parray != nullptr) {
            addArray(out, static_cast<VARTYPE>(value.vt & VT_TYPEMASK), value.parray);
        }
        return;
    }
    if (value.vt == VT_BSTR) {
        out["text"] = utf8(std::wstring_view{value.bstrVal, SysStringLen(value.bstrVal)});
        return;
    }
    if (const std::optional<Json> number = integerJson(value.vt, &value.bVal)) {
        out["value"] = *number;
    }
}

// The "orvBDataIn" object held by "InData", if it is one of ours.
Microsoft::WRL::ComPtr<WbemObject> requestObject(const VARIANT* inData)
{
    if (inData == nullptr || (inData->vt != VT_UNKNOWN && inData->vt != VT_DISPATCH)) {
        return nullptr;
    }
    return WbemObject::from(inData->punkVal);
}

void addInData(Json& out, const WbemObject* inParameters)
{
    const VARIANT* inData = inParameters == nullptr ? nullptr : inParameters->value(L"InData");
    out["inDataType"] = inData == nullptr ? Json(nullptr) : Json(inData->vt);
    const auto request = requestObject(inData);
    out["inDataClass"] = optionalString(request ? request->wmiClassName().c_str() : nullptr);
    Json properties = Json::array();
    if (request) {
        for (const auto& [name, value] : request->putProperties()) {
            Json property{{"name", utf8(name)}};
            addValueFields(property, *value);
            properties.push_back(std::move(property));
        }
    }
    out["properties"] = std::move(properties);
}

// Owns a kernel handle; null and INVALID_HANDLE_VALUE both mean none.
class Handle {
public:
    explicit Handle(HANDLE handle) noexcept : handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle()
    {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const noexcept { return handle; }

private:
    HANDLE handle;
};

// Holds the record's named mutex. Windows appends a write to a handle opened
// for appending as one piece, but Wine looks up the end of the file and then
// writes there, so two processes can land on the same offset and one line is
// lost; the mutex makes the appends take turns on both.
class RecordLock {
public:
    RecordLock() noexcept : mutex(CreateMutexW(nullptr, FALSE, L"VeltrinSimulatedMachineRecord"))
    {
        if (mutex.get() != nullptr) {
            const DWORD waited = WaitForSingleObject(mutex.get(), 10000);
            held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~RecordLock()
    {
        if (held) {
            ReleaseMutex(mutex.get());
        }
    }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;
    bool isHeld() const noexcept { return held; }

private:
    Handle mutex;
    bool held = false;
};

} // namespace

std::string formatCallRecord(const ExecutedCall& call)
{
    char result[16];
    std::snprintf(result, sizeof result, "0x%08lX", static_cast<unsigned long>(call.result));
    Json record{
        {"namespace", utf8(call.nameSpace)},
        {"method", optionalString(call.method)},
        {"path", optionalString(call.path)},
        {"flags", call.flags},
        {"result", result},
        {"blanket", blanketJson(call.blanket)},
        {"returnCode", call.returnCode ? Json(*call.returnCode) : Json(nullptr)},
    };
    addInData(record, call.inParameters);
    // Plain ASCII, every other character escaped: one line of the record.
    return record.dump(-1, ' ', true) + "\n";
}

HRESULT appendRecordLine(const std::wstring& file, std::string_view line)
{
    const RecordLock lock;
    if (!lock.isHeld()) {
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of
    // the file, whoever else has it open.
    const Handle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    DWORD written = 0;
    if (!WriteFile(handle.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return written == line.size() ? S_OK : HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
}

} // namespace simulated_machine
