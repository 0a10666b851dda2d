#pragma once

#include "location_check/ProgramLocation.h"
#include "windows_wrappers/LocalPointer.h"
#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>
#include <winioctl.h>

#include <functional>
#include <optional>
#include <string>

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

// Everything the location check asks Windows, one question a member, so that
// tests can give the answers of machines that Wine cannot be (USB disks,
// shares, descriptors with any entries, a filtered administrator's token).
struct LocationLookups {
    // The final path of a file or folder in the \\?\ form (see finalPathOf).
    std::function<std::wstring(const std::wstring& path)> finalPath;
    // Where the volume that holds a path is mounted (see volumePathOf).
    std::function<std::wstring(const std::wstring& path)> volumePath;
    // The drive type and bus of the volume mounted there.
    std::function<DriveFacts(const std::wstring& volumePath)> drive;
    // The resolved folder of the users' profiles.
    std::function<std::wstring()> profilesFolder;
    // The owner and DACL of a file or folder (see ownerAndDaclOf).
    std::function<LocalPointer<void>(const std::wstring& path)> security;
    // The token of the account that writes the task file.
    std::function<UniqueHandle()> token;
};

// The answers of the running system.
LocationLookups systemLookups();

// locateProgram with the given answers.
ProgramLocation locateProgram(const std::wstring& file, const LocationLookups& lookups);

// The final path of an existing file or folder, as Windows answers it:
// symbolic links, junctions, substituted drives and short 8.3 names resolved,
// \\?\C:\... for one on a drive and \\?\UNC\server\share\... for one on the
// network. Empty when it cannot be found.
std::wstring finalPathOf(const std::wstring& path);

// A path in the \\?\ form as people write it: C:\... and \\server\share\...;
// any other path (a volume without a drive letter) unchanged.
std::wstring writtenFormOf(const std::wstring& path);

// The root of a drive path ("C:\" for "C:\x\y"); empty for any other path.
std::wstring driveRootOf(const std::wstring& path);

// The folder where the volume that holds path is mounted: the drive's root
// (C:\), or the folder a volume is mounted into (C:\Mounted\). Empty when it
// cannot be found.
std::wstring volumePathOf(const std::wstring& path);

// The drive type and bus of the volume mounted at volumePath.
DriveFacts driveFactsOf(const std::wstring& volumePath);

// The folder that holds the users' profiles (ProfilesDirectory, C:\Users
// unless it was moved), resolved like the program's path. Every process of a
// user, elevated or not, may change what lies in that user's profile.
std::wstring profilesFolder();

// The owner and DACL of a file or folder (a full path such as C:\x or the
// root C:\), read from the object itself: a link or junction at the path is
// not followed. Empty when they cannot be read.
LocalPointer<void> ownerAndDaclOf(const std::wstring& path);
