#include "CallRecord.h"

#include <oleauto.h>

#include <cstdio>

namespace simulated_machine {

namespace {

void appendText(std::string& out, const char* text)
{
    out += text;
}

template <class Number>
void appendNumber(std::string& out, Number number)
{
    out += std::to_string(number);
}

// JSON string from UTF-16; everything outside printable ASCII becomes a
// \uXXXX escape of its code unit, so the file is plain ASCII and any UTF-16
// text, lone surrogates and NUL included, comes back exactly.
void appendString(std::string& out, std::wstring_view text)
{
    out += '"';
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    out += '"';
}

void appendOptionalString(std::string& out, const wchar_t* text)
{
    if (text == nullptr) {
        appendText(out, "null");
    } else {
        appendString(out, text);
    }
}

void appendBlanket(std::string& out, const std::optional<ProxyBlanket>& blanket)
{
    if (!blanket) {
        appendText(out, "null");
        return;
    }
    appendText(out, "{\"authn\":");
    appendNumber(out, blanket->authenticationService);
    appendText(out, ",\"authz\":");
    appendNumber(out, blanket->authorizationService);
    appendText(out, blanket->principalGiven ? ",\"principal\":true" : ",\"principal\":false");
    appendText(out, ",\"authnLevel\":");
    appendNumber(out, blanket->authenticationLevel);
    appendText(out, ",\"impLevel\":");
    appendNumber(out, blanket->impersonationLevel);
    appendText(out, blanket->identityGiven ? ",\"identity\":true" : ",\"identity\":false");
    appendText(out, ",\"capabilities\":");
    appendNumber(out, blanket->capabilities);
    out += '}';
}

// Integer element or scalar of the given type at the given address; false
// for types that are not integers.
bool appendInteger(std::string& out, VARTYPE type, const void* data)
{
    switch (type) {
    case VT_I1: appendNumber(out, static_cast<int>(*static_cast<const signed char*>(data))); return true;
    case VT_UI1: appendNumber(out, static_cast<unsigned>(*static_cast<const unsigned char*>(data))); return true;
    case VT_I2: appendNumber(out, *static_cast<const SHORT*>(data)); return true;
    case VT_UI2: appendNumber(out, *static_cast<const USHORT*>(data)); return true;
    case VT_BOOL: appendNumber(out, *static_cast<const VARIANT_BOOL*>(data)); return true;
    case VT_I4:
    case VT_INT: appendNumber(out, *static_cast<const LONG*>(data)); return true;
    case VT_UI4:
    case VT_UINT: appendNumber(out, *static_cast<const ULONG*>(data)); return true;
    case VT_I8: appendNumber(out, *static_cast<const LONGLONG*>(data)); return true;
    case VT_UI8: appendNumber(out, *static_cast<const ULONGLONG*>(data)); return true;
    default: return false;
    }
}

void appendArray(std::string& out, VARTYPE elementType, SAFEARRAY* array)
{
    const UINT dimensions = SafeArrayGetDim(array);
    appendText(out, ",\"dimensions\":");
    appendNumber(out, dimensions);
    if (dimensions == 0) {
        return;
    }
    // The first bound in the descriptor is the last dimension; dimension 1
    // is the one a one-dimensional array has.
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    appendText(out, ",\"lowerBound\":");
    appendNumber(out, lower);
    appendText(out, ",\"count\":");
    appendNumber(out, static_cast<LONGLONG>(upper) - lower + 1);

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
    std::string elements = ",\"elements\":[";
    bool integers = true;
    for (std::size_t i = 0; i < total && integers; ++i) {
        if (i != 0) {
            elements += ',';
        }
        integers = appendInteger(elements, elementType, bytes + i * size);
    }
    SafeArrayUnaccessData(array);
    if (integers) {
        out += elements;
        out += ']';
    }
}

void appendValueFields(std::string& out, const VARIANT& value)
{
    appendText(out, ",\"vt\":");
    appendNumber(out, value.vt);
    if ((value.vt & VT_BYREF) != 0) {
        return;
    }
    if ((value.vt & VT_ARRAY) != 0) {
        if (value.parray != nullptr) {
            appendArray(out, static_cast<VARTYPE>(value.vt & VT_TYPEMASK), value.parray);
        }
        return;
    }
    if (value.vt == VT_BSTR) {
        appendText(out, ",\"text\":");
        appendString(out, std::wstring_view{value.bstrVal, SysStringLen(value.bstrVal)});
        return;
    }
    std::string number;
    if (appendInteger(number, value.vt, &value.bVal)) {
        appendText(out, ",\"value\":");
        out += number;
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

void appendInData(std::string& out, const WbemObject* inParameters)
{
    const VARIANT* inData = inParameters == nullptr ? nullptr : inParameters->value(L"InData");
    appendText(out, ",\"inDataType\":");
    if (inData == nullptr) {
        appendText(out, "null");
    } else {
        appendNumber(out, inData->vt);
    }
    const auto request = requestObject(inData);
    appendText(out, ",\"inDataClass\":");
    appendOptionalString(out, request ? request->wmiClassName().c_str() : nullptr);
    appendText(out, ",\"properties\":[");
    if (request) {
        bool first = true;
        for (const auto& [name, value] : request->putProperties()) {
            if (!first) {
                out += ',';
            }
            first = false;
            appendText(out, "{\"name\":");
            appendString(out, name);
            appendValueFields(out, *value);
            out += '}';
        }
    }
    out += ']';
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
    std::string out = "{\"namespace\":";
    appendString(out, call.nameSpace);
    appendText(out, ",\"method\":");
    appendOptionalString(out, call.method);
    appendText(out, ",\"path\":");
    appendOptionalString(out, call.path);
    appendText(out, ",\"flags\":");
    appendNumber(out, call.flags);
    char result[16];
    std::snprintf(result, sizeof result, "0x%08lX", static_cast<unsigned long>(call.result));
    appendText(out, ",\"result\":\"");
    appendText(out, result);
    appendText(out, "\",\"blanket\":");
    appendBlanket(out, call.blanket);
    appendText(out, ",\"returnCode\":");
    if (call.returnCode) {
        appendNumber(out, *call.returnCode);
    } else {
        appendText(out, "null");
    }
    appendInData(out, call.inParameters);
    appendText(out, "}\n");
    return out;
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
