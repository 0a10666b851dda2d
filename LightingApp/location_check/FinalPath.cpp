#include "location_check/FinalPath.h"

#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>

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
