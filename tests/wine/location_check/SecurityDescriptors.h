#pragma once

#include "windows_wrappers/LocalPointer.h"

#include <string>

// The security descriptor that the SDDL text stands for.
LocalPointer<void> descriptorOf(const std::wstring& sddl);
