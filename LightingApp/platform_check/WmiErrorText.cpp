#include "platform_check/WmiErrorText.h"

#include "windows_wrappers/Utf8.h"

namespace {

// The HRESULTs as the signed 32-bit values that Windows defines them as.
constexpr std::int32_t hresult(std::uint32_t bits)
{
    return static_cast<std::int32_t>(bits);
}

constexpr std::int32_t classNotRegistered = hresult(0x80040154); // REGDB_E_CLASSNOTREG
constexpr std::int32_t noInterface = hresult(0x80004002);        // E_NOINTERFACE
constexpr std::int32_t accessDenied = hresult(0x80041003);       // WBEM_E_ACCESS_DENIED
constexpr std::int32_t failed = hresult(0x80041001);             // WBEM_E_FAILED
constexpr std::int32_t invalidNamespace = hresult(0x8004100E);   // WBEM_E_INVALID_NAMESPACE
constexpr std::int32_t invalidParameter = hresult(0x80041008);   // WBEM_E_INVALID_PARAMETER
constexpr std::int32_t outOfMemory = hresult(0x80041006);        // WBEM_E_OUT_OF_MEMORY
constexpr std::int32_t transportFailure = hresult(0x80041015);   // WBEM_E_TRANSPORT_FAILURE
constexpr std::int32_t localCredentials = hresult(0x80041064);   // WBEM_E_LOCAL_CREDENTIALS

const std::string connectPrefix = "PlatformCheck::connectWMINamespace: ";

} // namespace

std::string locatorErrorMessage(std::int32_t code)
{
    switch (code) {
    case classNotRegistered:
        return connectPrefix + "WbemLocator not registered in the registration database";
    case noInterface:
        return connectPrefix + "WbemLocator interface is not exposed";
    default:
        return connectPrefix + "CoCreateInstance error: 0x" + hexCode(code);
    }
}

std::string connectServerErrorMessage(std::int32_t code)
{
    switch (code) {
    case accessDenied:
        return connectPrefix + "user name or password not valid or authorized";
    case failed:
        return connectPrefix + "unspecified error";
    case invalidNamespace:
        return connectPrefix + "invalid namespace on server";
    case invalidParameter:
        // Two blanks: the message has always been written this way.
        return connectPrefix + " invalid parameter was specified";
    case outOfMemory:
        return connectPrefix + "not enough memory to complete operation";
    case transportFailure:
        return connectPrefix + "RPC call failure to WMI";
    case localCredentials:
        return connectPrefix + "Local Credential Error";
    default:
        return connectPrefix + "ConnectServer error: 0x" + hexCode(code);
    }
}
