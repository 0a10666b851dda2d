#pragma once

#include "lighting_library/FirmwareChannel.h"
#include "lighting_library/FirmwareFailure.h"

#include <windows.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <cstdint>
#include <optional>

// One call of the firmware's BIOS WMI method "orvBIOSInt0" in root\wmi: sends
// a command type and a 128-byte block in an "orvBDataIn" record. The caller
// holds a COM apartment on its thread for the object's whole life. Every call
// connects anew; nothing is cached between calls.
class OrvaneWMIClassA {
public:
    OrvaneWMIClassA() = default;
    virtual ~OrvaneWMIClassA() = default;

    OrvaneWMIClassA(const OrvaneWMIClassA&) = delete;
    OrvaneWMIClassA& operator=(const OrvaneWMIClassA&) = delete;

    // Returns the status of the first step that failed, or a success status.
    // It fails, and the method is not executed, when the request record cannot
    // be filled or the firmware object has no instance; it also fails when the
    // firmware answers with a non-zero return code. outData is zeroed once the
    // method has run; nothing else is written into it.
    HRESULT callBiosMethod(std::int32_t commandType, const KestrineLightingLib::CommandBlock& inData,
                           KestrineLightingLib::CommandBlock& outData);

    // The same call, answered with why it failed: the step and its status, or
    // the firmware's return code when it refused the command. Empty when it
    // succeeded.
    std::optional<KestrineLightingLib::FirmwareFailure>
    callBiosMethodReporting(std::int32_t commandType, const KestrineLightingLib::CommandBlock& inData,
                            KestrineLightingLib::CommandBlock& outData);

private:
    // The failure of a step of the call; empty while it succeeded.
    using StepFailure = std::optional<KestrineLightingLib::FirmwareFailure>;

    StepFailure runMethod(std::int32_t commandType, const KestrineLightingLib::CommandBlock& inData,
                          KestrineLightingLib::CommandBlock& outData);

    // The locator, the connection to root\wmi and its proxy security.
    StepFailure connect();

    // The method's class and its in-parameters, and an empty request record.
    StepFailure spawnRecord();

    // Fills dataIn with the request record and puts it into inParams as "InData".
    StepFailure fillInData(const KestrineLightingLib::CommandBlock& inData, std::int32_t commandType);

    // The object path of the first instance of the firmware's method class.
    StepFailure findMethodInstance(VARIANT* path);

    // Reads "rwReturnCode" from the method's answer, if it has one.
    StepFailure checkFirmwareAnswer();

    void releaseAll();

    Microsoft::WRL::ComPtr<IWbemLocator> locator;
    Microsoft::WRL::ComPtr<IWbemServices> services;
    Microsoft::WRL::ComPtr<IWbemClassObject> inParams;
    Microsoft::WRL::ComPtr<IWbemClassObject> outParams;
    Microsoft::WRL::ComPtr<IWbemClassObject> methodClass;
    Microsoft::WRL::ComPtr<IWbemClassObject> inSignature;
    Microsoft::WRL::ComPtr<IWbemClassObject> dataIn;
    Microsoft::WRL::ComPtr<IWbemClassObject> dataInClass;
};
