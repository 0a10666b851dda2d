#pragma once

#include <cstdint>
#include <string>

// Texts of the platform check's errors. Codes are HRESULTs, written as
// hexCode writes them (windows_wrappers/Utf8.h).

// Why the WMI locator could not be created.
std::string locatorErrorMessage(std::int32_t code);

// Why ConnectServer did not connect; any result other than S_OK is an error.
std::string connectServerErrorMessage(std::int32_t code);
