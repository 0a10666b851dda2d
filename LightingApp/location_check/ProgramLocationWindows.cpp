#include "location_check/ProgramLocation.h"

#include "location_check/ChangeRights.h"
#include "location_check/FileSecurity.h"
#include "location_check/FinalPath.h"
#include "location_check/RunningAdministrator.h"

#include <windows.h>

namespace {

// The folder that holds path, down to the drive's root.
std::wstring parentOf(const std::wstring& path, const std::wstring& root)
{
    const std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    return parent.size() < root.size() ? root : parent;
}

// A descriptor that cannot be read cannot show that users are kept out.
bool onlyTrustedCanChange(const std::wstring& path, PathObject object, const TrustedAccounts& trusted)
{
    const LocalPointer<void> descriptor = ownerAndDaclOf(path);
    return descriptor && onlyTrustedCanChange(descriptor.get(), object, trusted);
}

} // namespace

ProgramLocation locateProgram(const std::wstring& file)
{
    const std::wstring program = finalPathOf(file);
    if (auto refusal = refusalByText(program)) {
        return *refusal;
    }
    // Network paths have no drive root here; removable drives and RAM disks
    // can be swapped or filled by whoever has them.
    const std::wstring root = driveRootOf(program);
    if (root.empty() || GetDriveTypeW(root.c_str()) != DRIVE_FIXED) {
        return {ProgramVerdict::NotOnFixedDrive, program};
    }
    const TrustedAccounts trusted(runningAdministrator());
    if (!onlyTrustedCanChange(program, PathObject::File, trusted)) {
        return {ProgramVerdict::ChangeableByUsers, program};
    }
    for (std::wstring folder = parentOf(program, root);; folder = parentOf(folder, root)) {
        if (!onlyTrustedCanChange(folder, PathObject::Folder, trusted)) {
            return {ProgramVerdict::ChangeableByUsers, folder};
        }
        if (folder == root) {
            return {ProgramVerdict::Accepted, program};
        }
    }
}
