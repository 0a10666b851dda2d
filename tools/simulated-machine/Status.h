#pragma once

#include <windows.h>
#include <wbemcli.h>

namespace simulated_machine {

// The WBEM status codes as HRESULTs (the SDK declares them as enumerators,
// which do not convert cleanly).
inline constexpr HRESULT statusFalse = static_cast<HRESULT>(WBEM_S_FALSE);
inline constexpr HRESULT statusTimedOut = static_cast<HRESULT>(WBEM_S_TIMEDOUT);
inline constexpr HRESULT errorNotFound = static_cast<HRESULT>(WBEM_E_NOT_FOUND);
inline constexpr HRESULT errorInvalidParameter = static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
inline constexpr HRESULT errorInvalidNamespace = static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE);
inline constexpr HRESULT errorInvalidClass = static_cast<HRESULT>(WBEM_E_INVALID_CLASS);
inline constexpr HRESULT errorInvalidOperation = static_cast<HRESULT>(WBEM_E_INVALID_OPERATION);
inline constexpr HRESULT errorReadOnly = static_cast<HRESULT>(WBEM_E_READ_ONLY);
inline constexpr HRESULT errorNotSupported = static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);

} // namespace simulated_machine
