#pragma once

#include "location_check/FixedDrive.h"

#include <string>

// The folder where the volume that holds path is mounted: the drive's root
// (C:\), or the folder a volume is mounted into (C:\Mounted\). Empty when it
// cannot be found.
std::wstring volumePathOf(const std::wstring& path);

// The drive type and bus of the volume mounted at volumePath.
DriveFacts driveFactsOf(const std::wstring& volumePath);
