#pragma once

// Drives the simulated machine through COM the way a WMI client does, and
// reports which step failed with which status.
#include <windows.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simulated_machine::testing {

// WbemLocator and WbemAdministrativeLocator.
extern const CLSID locatorClass;
extern const CLSID administrativeLocatorClass;

// Initialises COM on this thread for the lifetime of the object.
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) : status(CoInitializeEx(nullptr, model)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(status)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    const HRESULT status;
};

// Owns one BSTR.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const noexcept { return value; }

private:
    BSTR value;
};

// Owns one VARIANT.
class Variant {
public:
    Variant() noexcept { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    const VARIANT& get() const noexcept { return value; }
    // Clears the value and hands out the VARIANT to be filled.
    VARIANT* put() noexcept
    {
        VariantClear(&value);
        return &value;
    }

private:
    VARIANT value;
};

HRESULT connect(const CLSID& locatorClsid, const wchar_t* nameSpace,
                Microsoft::WRL::ComPtr<IWbemServices>& services);

// The first "Win32_ComputerSystem" instance's "Model".
struct ModelQuery {
    std::string failedStep;   // empty when every step succeeded
    HRESULT status = S_OK;    // of the failed step, or of the last one
    VARTYPE type = VT_EMPTY;
    std::wstring model;       // the whole BSTR, NUL code units included
};
ModelQuery queryModel(const wchar_t* nameSpace = LR"(\\.\root\cimv2)");

using CommandBlock = std::array<std::uint8_t, 128>;

struct FirmwareCallOptions {
    std::int32_t commandType = 3;
    CommandBlock data{};
    bool setBlanket = true;
    const wchar_t* method = L"orvBIOSInt0";
};

// One firmware call: the request record is filled as "Sign", "Command",
// "CommandType", "Size", "orvBData", put into "InData", and the method is
// executed on the first instance's path. A failing put does not stop the
// call (its status is kept); any other failing step does.
struct FirmwareCall {
    std::string failedStep;
    HRESULT status = S_OK;
    std::vector<std::pair<std::wstring, HRESULT>> puts;
    std::wstring path;                    // "__PATH" of the instance
    bool gotOutput = false;
    HRESULT returnCodeStatus = S_OK;      // of Get("rwReturnCode")
    std::optional<std::int32_t> returnCode;
};
FirmwareCall callFirmware(const FirmwareCallOptions& options = {});

} // namespace simulated_machine::testing
