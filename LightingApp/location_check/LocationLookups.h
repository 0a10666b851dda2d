#pragma once

#include "location_check/FixedDrive.h"
#include "location_check/ProgramLocation.h"
#include "windows_wrappers/LocalPointer.h"
#include "windows_wrappers/UniqueHandle.h"

#include <functional>
#include <string>

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
