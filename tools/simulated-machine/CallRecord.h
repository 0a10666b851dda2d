#pragma once

#include "ProxyBlanket.h"
#include "WbemObject.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The record of firmware calls: one JSON object per line, appended to the
// file named by VELTRIN_SIM_RECORD.
namespace simulated_machine {

struct ExecutedCall {
    std::wstring_view nameSpace;
    const wchar_t* method;          // may be null
    const wchar_t* path;            // may be null
    LONG flags;
    HRESULT result;
    const std::optional<ProxyBlanket>& blanket;
    std::optional<std::int32_t> returnCode;  // as handed out; nothing when no output object was
    const WbemObject* inParameters;          // null when none or not a simulated object
};

std::string formatCallRecord(const ExecutedCall& call);

// Appends one line with a single write on a handle opened for appending,
// under a named mutex, so that lines from concurrent processes stay whole.
HRESULT appendRecordLine(const std::wstring& file, std::string_view line);

} // namespace simulated_machine
