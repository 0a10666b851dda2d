#pragma once

#include "platform_check/ComRuntime.h"

#include <windows.h>
#include <wbemidl.h>
#include <wrl/client.h>

#include <string>

// Reads the machine's "Model" from the first "Win32_ComputerSystem" instance
// in "\\.\root\cimv2". COM is brought up on the calling thread for the length
// of init() and taken down again. The WMI connection and the creation of the
// enumeration are serialised across processes by the named mutex "WmiMutex".
//
// Every failure leaves init() as a std::runtime_error with the message
// "PlatformCheck::init: info exception"; the error of the failing step is kept
// nested inside it (std::throw_with_nested), as a WmiStepError with its
// status when a WMI call failed.
class PlatformCheck {
public:
    explicit PlatformCheck(DWORD mutexWaitMs);
    // For tests: COM entered and left through com, which must outlive the check.
    PlatformCheck(DWORD mutexWaitMs, ComRuntime& com);
    virtual ~PlatformCheck();

    PlatformCheck(const PlatformCheck&) = delete;
    PlatformCheck& operator=(const PlatformCheck&) = delete;

    void init();
    std::wstring getModel() const;

private:
    void initializeCOM();
    void uninitializeCOM();
    void setupWmi();
    static void connectWMINamespace();
    static void handleCreateInstanceEnumResult(HRESULT result);
    void initModel();
    bool getVariant(VARIANT& out);
    void releaseWmi();

    DWORD mutexWaitMs;
    ComRuntime& com;
    Microsoft::WRL::ComPtr<IEnumWbemClassObject> enumerator;
    std::wstring model;
    // What the enumeration's Next last returned.
    HRESULT nextStatus = S_OK;

    // Shared by every check in the process.
    // NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables): one
    // WMI connection, one "WmiMutex" handle and one COM initialisation per
    // process, whatever the number of checks.
    static Microsoft::WRL::ComPtr<IWbemServices> services;
    static HANDLE mutex;
    static bool mutexCreated;
    static bool comInitialized;
    // NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)
};
