#include "location_check/ProgramLocation.h"

#include "location_check/ChangeRights.h"
#include "location_check/LocationLookups.h"
#include "location_check/TrustedAccounts.h"

#include <windows.h>

bool isFixedLocalDrive(const DriveFacts& drive)
{
    if (drive.type != DRIVE_FIXED || !drive.bus) {
        return false;
    }
    switch (*drive.bus) {
    case BusTypeUsb:
    case BusType1394:
    case BusTypeSd:
    case BusTypeMmc:
        return false;
    default:
        return true;
    }
}

namespace {

// The folder that holds path, down to the drive's root.
std::wstring parentOf(const std::wstring& path, const std::wstring& root)
{
    const std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    return parent.size() < root.size() ? root : parent;
}

// Network paths have no drive root; removable drives, RAM disks and disks on
// a bus that lets them be unplugged can be swapped or filled by whoever has
// them. A volume mounted into a folder is judged itself, not as the drive
// that holds the folder.
bool onFixedLocalDrive(const std::wstring& program, const LocationLookups& lookups)
{
    if (driveRootOf(program).empty()) {
        return false;
    }
    const std::wstring volume = lookups.volumePath(program);
    return !volume.empty() && isFixedLocalDrive(lookups.drive(volume));
}

// Whether path lies below folder, compared as Windows compares file names:
// without regard to case.
bool liesBelow(const std::wstring& path, const std::wstring& folder)
{
    std::wstring prefix = folder;
    if (!prefix.ends_with(L'\\')) {
        prefix += L'\\';
    }
    return prefix.size() > 1 && path.size() > prefix.size()
        && CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE)
        == CSTR_EQUAL;
}

class RightsWalk {
public:
    explicit RightsWalk(const LocationLookups& lookups)
        : lookups(lookups), trusted(runningAdministrator(lookups.token().get()))
    {}

    // The first file or folder, from the program up to the drive's root, that
    // others than the trusted accounts can change; empty when there is none.
    std::wstring firstChangeable(const std::wstring& program) const
    {
        if (!onlyTrustedCanChange(program, PathObject::File)) {
            return program;
        }
        const std::wstring root = driveRootOf(program);
        PathObject object = PathObject::ProgramFolder;
        for (std::wstring folder = parentOf(program, root);; folder = parentOf(folder, root)) {
            if (!onlyTrustedCanChange(folder, object)) {
                return folder;
            }
            if (folder == root) {
                return {};
            }
            object = PathObject::Folder;
        }
    }

private:
    // A descriptor that cannot be read cannot show that users are kept out.
    bool onlyTrustedCanChange(const std::wstring& path, PathObject object) const
    {
        const LocalPointer<void> descriptor = lookups.security(path);
        return descriptor && ::onlyTrustedCanChange(descriptor.get(), object, trusted);
    }

    const LocationLookups& lookups;
    const TrustedAccounts trusted;
};

} // namespace

ProgramLocation locateProgram(const std::wstring& file, const LocationLookups& lookups)
{
    const std::wstring program = writtenFormOf(lookups.finalPath(file));
    if (auto refusal = refusalByText(program)) {
        return *refusal;
    }
    if (!onFixedLocalDrive(program, lookups)) {
        return {ProgramVerdict::NotOnFixedDrive, program};
    }
    if (liesBelow(program, lookups.profilesFolder())) {
        return {ProgramVerdict::InProfileFolder, program};
    }
    const std::wstring changeable = RightsWalk(lookups).firstChangeable(program);
    if (!changeable.empty()) {
        return {ProgramVerdict::ChangeableByUsers, changeable};
    }
    return {ProgramVerdict::Accepted, program};
}

ProgramLocation locateProgram(const std::wstring& file)
{
    return locateProgram(file, systemLookups());
}
