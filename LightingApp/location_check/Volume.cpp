#include "location_check/Volume.h"

#include "location_check/FinalPath.h"
#include "windows_wrappers/UniqueHandle.h"

#include <array>
#include <cstddef>
#include <vector>

namespace {

// The \\?\Volume{GUID} name of the volume mounted at volumePath, without the
// trailing backslash, as CreateFileW opens the volume itself.
std::wstring volumeDeviceOf(const std::wstring& volumePath)
{
    // A volume GUID path is 49 characters with its terminating NUL.
    std::array<wchar_t, 64> name{};
    if (!GetVolumeNameForVolumeMountPointW(volumePath.c_str(), name.data(), static_cast<DWORD>(name.size()))) {
        return {};
    }
    std::wstring device(name.data());
    if (device.ends_with(L'\\')) {
        device.pop_back();
    }
    return device;
}

std::optional<STORAGE_BUS_TYPE> busTypeOf(const std::wstring& volumePath)
{
    const std::wstring device = volumeDeviceOf(volumePath);
    if (device.empty()) {
        return std::nullopt;
    }
    // No access rights are needed to ask a device for its description.
    const UniqueHandle volume(CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume) {
        return std::nullopt;
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    // The descriptor is followed by the device's names; only its fixed part
    // is read, so room for it alone is enough.
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    DWORD returned = 0;
    if (!DeviceIoControl(volume.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &descriptor,
                         sizeof(descriptor), &returned, nullptr)
        || returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(descriptor.BusType)) {
        return std::nullopt;
    }
    return descriptor.BusType;
}

} // namespace

std::wstring volumePathOf(const std::wstring& path)
{
    // The \\?\ form takes a path of any length; the answer is as long as the
    // path at most, with a trailing backslash.
    const std::wstring longForm = L"\\\\?\\" + path;
    std::vector<wchar_t> buffer(longForm.size() + 2);
    if (!GetVolumePathNameW(longForm.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()))) {
        return {};
    }
    return writtenFormOf(buffer.data());
}

DriveFacts driveFactsOf(const std::wstring& volumePath)
{
    return {GetDriveTypeW(volumePath.c_str()), busTypeOf(volumePath)};
}
