#pragma once

#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <string>

// The owner and DACL of a file or folder (a full path such as C:\x or the
// root C:\), read from the object itself: a link or junction at the path is
// not followed. Empty when they cannot be read.
LocalPointer<void> ownerAndDaclOf(const std::wstring& path);
