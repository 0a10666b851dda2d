#include "platform_check/PlatformCheck.h"

#include "platform_check/ErrorChain.h"
#include "platform_check/WmiErrorText.h"
#include "windows_wrappers/AutomationValues.h"
#include "windows_wrappers/Utf8.h"

#include <exception>
#include <stdexcept>

using Microsoft::WRL::ComPtr;

namespace {

constexpr long nextTimeoutMs = 2000;

// The real COM calls, for every check that is given no other.
ComRuntime& systemComRuntime()
{
    static ComRuntime runtime;
    return runtime;
}

// Owns "WmiMutex" for the span of one WMI connection, when the wait got it.
class MutexOwnership {
public:
    MutexOwnership(HANDLE mutex, DWORD waitMs) : mutex(mutex)
    {
        const DWORD result = WaitForSingleObject(mutex, waitMs);
        // An abandoned mutex is owned all the same and must be given back.
        owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~MutexOwnership()
    {
        if (owned) {
            ReleaseMutex(mutex);
        }
    }

    MutexOwnership(const MutexOwnership&) = delete;
    MutexOwnership& operator=(const MutexOwnership&) = delete;

private:
    HANDLE mutex;
    bool owned = false;
};

} // namespace

// NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables): the
// process-wide state declared in the class.
ComPtr<IWbemServices> PlatformCheck::services;
HANDLE PlatformCheck::mutex = nullptr;
bool PlatformCheck::mutexCreated = false;
bool PlatformCheck::comInitialized = false;
// NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

PlatformCheck::PlatformCheck(DWORD mutexWaitMs) : PlatformCheck(mutexWaitMs, systemComRuntime()) {}

PlatformCheck::PlatformCheck(DWORD mutexWaitMs, ComRuntime& com) : mutexWaitMs(mutexWaitMs), com(com) {}

PlatformCheck::~PlatformCheck() = default;

std::wstring PlatformCheck::getModel() const
{
    return model;
}

void PlatformCheck::init()
{
    if (!mutexCreated) {
        // Kept open until the process ends. Without it the check runs unserialised.
        mutex = CreateMutexW(nullptr, FALSE, L"WmiMutex");
        mutexCreated = true;
    }

    try {
        initializeCOM();
        setupWmi();
        initModel();
        releaseWmi();
        uninitializeCOM();
    } catch (...) {
        // Leave nothing behind: the WMI objects go before COM does.
        releaseWmi();
        uninitializeCOM();
        std::throw_with_nested(std::runtime_error("PlatformCheck::init: info exception"));
    }
}

void PlatformCheck::initializeCOM()
{
    if (comInitialized) {
        return;
    }
    try {
        HRESULT result = com.initialize();
        if (FAILED(result)) {
            throw std::runtime_error("PlatformCheck::initializeCOM: CoInitializeEx error: 0x" + hexCode(result));
        }
        result = com.initializeSecurity();
        // RPC_E_TOO_LATE: the process's security is already set, which is fine.
        if (FAILED(result) && result != RPC_E_TOO_LATE) {
            com.uninitialize();
            throw std::runtime_error("PlatformCheck::initializeCOM: CoInitializeSecurity error: 0x" + hexCode(result));
        }
        comInitialized = true;
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string("PlatformCheck::initializeCOM: ") + error.what());
    }
}

void PlatformCheck::uninitializeCOM()
{
    if (comInitialized) {
        com.uninitialize();
        comInitialized = false;
    }
}

void PlatformCheck::setupWmi()
{
    const MutexOwnership ownership(mutex, mutexWaitMs);
    connectWMINamespace();
    try {
        HRESULT result = E_POINTER;
        if (services) {
            const ScopedBstr className(L"Win32_ComputerSystem");
            // Synchronous and not forward-only, so that initModel can reset it.
            result = services->CreateInstanceEnum(className.get(), 0, nullptr, &enumerator);
        }
        handleCreateInstanceEnumResult(result);
    } catch (...) {
        releaseWmi();
        std::throw_with_nested(std::runtime_error("PlatformCheck::setupWmi: unknown exception"));
    }
}

void PlatformCheck::connectWMINamespace()
{
    ComPtr<IWbemLocator> locator;
    HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_ALL, IID_IWbemLocator, &locator);
    if (result != S_OK) {
        throw WmiStepError(locatorErrorMessage(result), result);
    }

    services.Reset();
    const ScopedBstr namespacePath(L"\\\\.\\root\\cimv2");
    result = locator->ConnectServer(namespacePath.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
    if (result != S_OK) {
        throw WmiStepError(connectServerErrorMessage(result), result);
    }
}

void PlatformCheck::handleCreateInstanceEnumResult(HRESULT result)
{
    if (result != S_OK) {
        throw WmiStepError("PlatformCheck::handleCreateInstanceEnumResult error", result);
    }
}

void PlatformCheck::initModel()
{
    if (!enumerator) {
        return;
    }
    try {
        nextStatus = S_OK;
        enumerator->Reset();
        ScopedVariant value;
        if (!getVariant(*value.get())) {
            const std::string message = "PlatformCheck::initModel: getVariant exception";
            // A failed Next is a WMI step's failure; no model in the answer is not.
            if (FAILED(nextStatus)) {
                throw WmiStepError(message, nextStatus);
            }
            throw std::runtime_error(message);
        }
        // Taken up to the first NUL, as a C string would be.
        const BSTR text = value.get()->bstrVal;
        model = text != nullptr ? std::wstring(text) : std::wstring();
    } catch (...) {
        std::throw_with_nested(std::runtime_error("PlatformCheck::initModel: unknown exception"));
    }
}

bool PlatformCheck::getVariant(VARIANT& out)
{
    VariantInit(&out);
    if (!enumerator) {
        return false;
    }
    try {
        const ScopedBstr propertyName(L"Model");
        ComPtr<IWbemClassObject> computerSystem;
        ULONG returned = 0;
        const HRESULT nextResult = enumerator->Next(nextTimeoutMs, 1, &computerSystem, &returned);
        nextStatus = nextResult;
        // A time-out or an empty enumeration returns a success code without an object.
        if (FAILED(nextResult) || returned != 1 || !computerSystem) {
            return false;
        }

        VariantClear(&out);
        const HRESULT getResult = computerSystem->Get(propertyName.get(), 0, &out, nullptr, nullptr);
        computerSystem.Reset();
        // No model (VT_NULL) is no answer; neither is a value that is not text.
        if (FAILED(getResult) || out.vt != VT_BSTR) {
            VariantClear(&out);
            return false;
        }
        return true;
    } catch (...) {
        releaseWmi();
        std::throw_with_nested(std::runtime_error("PlatformCheck::getVariant: unknown exception"));
    }
}

void PlatformCheck::releaseWmi()
{
    enumerator.Reset();
    services.Reset();
}
