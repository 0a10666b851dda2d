#pragma once

#include <windows.h>
#include <winioctl.h>

#include <optional>

// What Windows tells of the volume that holds the program.
struct DriveFacts {
    // GetDriveTypeW's answer: DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_REMOTE, ...
    UINT type = DRIVE_UNKNOWN;
    // The bus of the disk under the volume; none when it cannot be read.
    std::optional<STORAGE_BUS_TYPE> bus;
};

// Whether the volume stays in the machine, so that nobody can swap what the
// startup task runs by swapping the disk. External USB and FireWire disks, SD
// and MMC cards report as fixed drives, so the bus counts as well; one that
// cannot be read cannot show that the disk stays.
bool isFixedLocalDrive(const DriveFacts& drive);
