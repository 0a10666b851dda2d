#include "location_check/LocationLookups.h"

#include "location_check/ExecutablePath.h"
#include "windows_wrappers/TokenInformation.h"
#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>
#include <aclapi.h>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace {

constexpr std::wstring_view localPrefix = L"\\\\?\\";
constexpr std::wstring_view uncPrefix = L"\\\\?\\UNC\\";

} // namespace

// GetFinalPathNameByHandleW answers in the \\?\ form; the task file and the
// messages want the form people write.
std::wstring writtenFormOf(const std::wstring& path)
{
    if (path.starts_with(uncPrefix)) {
        return L"\\\\" + path.substr(uncPrefix.size());
    }
    if (path.starts_with(localPrefix) && !driveRootOf(path.substr(localPrefix.size())).empty()) {
        return path.substr(localPrefix.size());
    }
    return path;
}

std::wstring driveRootOf(const std::wstring& path)
{
    const auto isLetter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    const bool hasRoot = path.size() >= 3 && isLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
    return hasRoot ? path.substr(0, 3) : std::wstring();
}

std::wstring finalPathOf(const std::wstring& path)
{
    if (path.empty()) {
        return {};
    }
    // Backup semantics opens folders too.
    const UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return {};
    }
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        // The result is the length without the terminating NUL when it fits,
        // the size the buffer needs (with it) when not, and 0 on failure.
        const DWORD length = GetFinalPathNameByHandleW(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(length);
    }
}

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

namespace {

// Windows keeps the profiles in %SystemDrive%\Users unless this value says
// otherwise.
constexpr const wchar_t* profileList = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const wchar_t* profilesDirectory = L"ProfilesDirectory";
constexpr const wchar_t* defaultProfilesDirectory = L"%SystemDrive%\\Users";

// The value as stored, with its environment variables not yet expanded.
std::wstring storedProfilesDirectory()
{
    for (;;) {
        DWORD size = 0;
        const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, profileList, profilesDirectory, flags, nullptr, nullptr, &size)
            != ERROR_SUCCESS) {
            return defaultProfilesDirectory;
        }
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
        const LSTATUS status =
            RegGetValueW(HKEY_LOCAL_MACHINE, profileList, profilesDirectory, flags, nullptr, text.data(), &size);
        if (status == ERROR_SUCCESS) {
            return text.data();
        }
        // Changed between the two calls: ask again.
        if (status != ERROR_MORE_DATA) {
            return defaultProfilesDirectory;
        }
    }
}

std::wstring expanded(const std::wstring& text)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return text;
        }
        if (length <= buffer.size()) {
            return buffer.data();
        }
        buffer.resize(length);
    }
}

} // namespace

std::wstring profilesFolder()
{
    const std::wstring folder = expanded(storedProfilesDirectory());
    // The program's path is resolved; so must the folder be, where it is a
    // junction or lies on a substituted drive.
    const std::wstring resolved = writtenFormOf(finalPathOf(folder));
    return resolved.empty() ? folder : resolved;
}

LocalPointer<void> ownerAndDaclOf(const std::wstring& path)
{
    // Backup semantics lets CreateFileW open folders; the \\?\ form takes the
    // path as it is, at any length.
    const UniqueHandle object(
        CreateFileW((L"\\\\?\\" + path).c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!object) {
        return nullptr;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, nullptr, nullptr, &descriptor)
        != ERROR_SUCCESS) {
        return nullptr;
    }
    return LocalPointer<void>(descriptor);
}

std::wstring currentExecutablePath()
{
    // The path may be longer than MAX_PATH; grow the buffer until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

LocationLookups systemLookups()
{
    return {finalPathOf, volumePathOf, driveFactsOf, profilesFolder, ownerAndDaclOf, processToken};
}
