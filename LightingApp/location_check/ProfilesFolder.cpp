#include "location_check/ProfilesFolder.h"

#include "location_check/FinalPath.h"

#include <windows.h>

#include <vector>

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
