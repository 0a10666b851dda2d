// The least a colour request has to do on the machine, with nothing around it:
// one model query, one firmware call and one write of the eight stored values,
// in a single COM apartment. The benchmark compares the program with this.
//
//   bench_reference.exe [colour|restore|model|nothing] [--phases]
//
//   colour   model query, firmware call, write of the eight values (default)
//   restore  as colour, but first reads the eight values back, as a run
//            without arguments must
//   model    the model query only (what "help" needs)
//   nothing  returns at once: the cost of starting this executable
//   --phases prints the time each step took to standard error

#include "Phases.h"

#include <windows.h>
#include <oleauto.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string_view>

using Microsoft::WRL::ComPtr;

namespace {

constexpr CLSID wbemAdministrativeLocator = {
    0xcb8555cc, 0x9128, 0x11d1, {0xad, 0x9b, 0x00, 0xc0, 0x4f, 0xd8, 0xfd, 0xff}};

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLighting";
constexpr std::array<const wchar_t*, 8> valueNames = {
    L"Z1_Red", L"Z1_Green", L"Z1_Blue", L"Z1_Bright", L"Z2_Red", L"Z2_Green", L"Z2_Blue", L"Z2_Bright"};

// "255 0 0 100": both zones red at full brightness, as the program stores it.
constexpr std::array<DWORD, 8> storedValues = {255, 0, 0, 100, 255, 0, 0, 100};

// The block the program sends for that request: command 3, then red for the
// logo and red for the light bar.
constexpr std::array<std::uint8_t, 7> blockStart = {3, 255, 0, 0, 255, 0, 0};
constexpr std::size_t blockSize = 128;

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value; }

private:
    BSTR value;
};

class Variant {
public:
    Variant() { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &value; }

private:
    VARIANT value;
};

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key; }
    HKEY* receive() { return &key; }

private:
    HKEY key = nullptr;
};

class Apartment {
public:
    Apartment() : status(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {
        if (SUCCEEDED(status)) {
            status = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
            initialized = true;
        }
    }
    ~Apartment()
    {
        if (initialized) {
            CoUninitialize();
        }
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    bool ready() const { return SUCCEEDED(status); }

private:
    HRESULT status;
    bool initialized = false;
};

HRESULT putInt(IWbemClassObject& object, const wchar_t* name, LONG number)
{
    Variant value;
    V_VT(value.get()) = VT_I4;
    V_I4(value.get()) = number;
    return object.Put(name, 0, value.get(), 0);
}

HRESULT putBytes(IWbemClassObject& object, const wchar_t* name, const std::uint8_t* bytes, ULONG count)
{
    Variant value;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, count);
    if (array == nullptr) {
        return E_OUTOFMEMORY;
    }
    V_VT(value.get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(value.get()) = array;
    for (LONG i = 0; i < static_cast<LONG>(count); ++i) {
        std::uint8_t byte = bytes[i];
        const HRESULT status = SafeArrayPutElement(array, &i, &byte);
        if (FAILED(status)) {
            return status;
        }
    }
    return object.Put(name, 0, value.get(), 0);
}

bool queryModel(Phases& phases)
{
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&locator)))) {
        return false;
    }
    phases.mark("model locator");
    ComPtr<IWbemServices> services;
    const Bstr path(L"\\\\.\\root\\cimv2");
    if (FAILED(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services))) {
        return false;
    }
    phases.mark("model connect");
    ComPtr<IEnumWbemClassObject> systems;
    const Bstr className(L"Win32_ComputerSystem");
    if (FAILED(services->CreateInstanceEnum(className.get(), 0, nullptr, &systems))) {
        return false;
    }
    ComPtr<IWbemClassObject> system;
    ULONG returned = 0;
    if (FAILED(systems->Next(2000, 1, &system, &returned)) || returned != 1) {
        return false;
    }
    Variant model;
    const bool found = SUCCEEDED(system->Get(L"Model", 0, model.get(), nullptr, nullptr))
                       && V_VT(model.get()) == VT_BSTR;
    phases.mark("model query");
    return found;
}

bool callFirmware(Phases& phases)
{
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(wbemAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&locator)))) {
        return false;
    }
    phases.mark("bios locator");
    ComPtr<IWbemServices> services;
    const Bstr path(L"root\\wmi");
    if (FAILED(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services))
        || FAILED(CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                    RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
        return false;
    }
    phases.mark("bios connect");

    const Bstr methodClassName(L"orvBIntM");
    const Bstr methodName(L"orvBIOSInt0");
    const Bstr recordClassName(L"orvBDataIn");
    ComPtr<IWbemClassObject> methodClass, inSignature, inParams, recordClass, record;
    if (FAILED(services->GetObject(methodClassName.get(), 0, nullptr, &methodClass, nullptr))
        || FAILED(methodClass->GetMethod(methodName.get(), 0, &inSignature, nullptr)) || !inSignature
        || FAILED(inSignature->SpawnInstance(0, &inParams))
        || FAILED(services->GetObject(recordClassName.get(), 0, nullptr, &recordClass, nullptr))
        || FAILED(recordClass->SpawnInstance(0, &record))) {
        return false;
    }

    const std::array<std::uint8_t, 4> sign = {0x53, 0x45, 0x43, 0x55};
    std::array<std::uint8_t, blockSize> block{};
    std::copy(blockStart.begin(), blockStart.end(), block.begin());
    Variant inData;
    V_VT(inData.get()) = VT_UNKNOWN;
    V_UNKNOWN(inData.get()) = record.Get();
    record->AddRef(); // the variant's reference, dropped when it is cleared
    if (FAILED(putBytes(*record.Get(), L"Sign", sign.data(), sign.size()))
        || FAILED(putInt(*record.Get(), L"Command", 0x20009)) || FAILED(putInt(*record.Get(), L"CommandType", 3))
        || FAILED(putInt(*record.Get(), L"Size", blockSize))
        || FAILED(putBytes(*record.Get(), L"orvBData", block.data(), block.size()))
        || FAILED(inParams->Put(L"InData", 0, inData.get(), 0))) {
        return false;
    }
    phases.mark("bios record");

    ComPtr<IEnumWbemClassObject> instances;
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    Variant instancePath;
    if (FAILED(services->CreateInstanceEnum(methodClassName.get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                            nullptr, &instances))
        || FAILED(instances->Next(2000, 1, &instance, &returned)) || returned != 1
        || FAILED(instance->Get(L"__PATH", 0, instancePath.get(), nullptr, nullptr))
        || V_VT(instancePath.get()) != VT_BSTR) {
        return false;
    }
    phases.mark("bios instance");

    ComPtr<IWbemClassObject> outParams;
    const bool executed = SUCCEEDED(services->ExecMethod(V_BSTR(instancePath.get()), methodName.get(), 0, nullptr,
                                                         inParams.Get(), &outParams, nullptr));
    phases.mark("bios exec");
    return executed;
}

bool readValues(const Key& key)
{
    for (const wchar_t* name : valueNames) {
        DWORD data = 0;
        DWORD size = sizeof(data);
        if (RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size)
            != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

bool writeValues(const Key& key)
{
    for (std::size_t i = 0; i < valueNames.size(); ++i) {
        const DWORD data = storedValues[i];
        if (RegSetValueExW(key.get(), valueNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data))
            != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

bool openKey(Key& key)
{
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.receive(), nullptr)
           == ERROR_SUCCESS;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    std::wstring_view mode = L"colour";
    bool printPhases = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        if (argument == L"--phases") {
            printPhases = true;
        } else {
            mode = argument;
        }
    }
    if (mode == L"nothing") {
        return 0;
    }
    if (mode != L"colour" && mode != L"restore" && mode != L"model") {
        std::fwprintf(stderr, L"unknown mode: %.*ls\n", static_cast<int>(mode.size()), mode.data());
        return 2;
    }

    Phases phases(printPhases);
    bool ok = true;
    {
        const Apartment apartment;
        phases.mark("com init");
        ok = apartment.ready() && queryModel(phases);
        if (ok && mode != L"model") {
            Key key;
            if (mode == L"restore") {
                ok = openKey(key) && readValues(key);
                phases.mark("registry read");
            }
            ok = ok && callFirmware(phases);
            ok = ok && (key.get() != nullptr || openKey(key)) && writeValues(key);
            phases.mark("registry write");
        }
    }
    phases.mark("com uninit");
    if (!ok) {
        std::fputs("reference: a step failed\n", stderr);
        return 1;
    }
    return 0;
}
