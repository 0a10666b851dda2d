#include "windows_wrappers/FileReplacement.h"

#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Whether target names a plain disk file or nothing yet.
bool isPlainFileOrFree(const std::wstring& target)
{
    // Device names (NUL, CON, COM1, ... in any folder) and pipes lie in the
    // \\.\ namespace, whether they exist or not.
    const DWORD size = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return false;
    }
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(target.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size || std::wstring_view(full.data(), length).starts_with(L"\\\\.\\")) {
        return false;
    }
    const UniqueHandle existing(
        CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!existing) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileType(existing.get()) == FILE_TYPE_DISK && GetFileInformationByHandle(existing.get(), &information)
        && (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// A new file beside the target, deleted again unless it was moved over the
// target.
class PendingFile {
public:
    explicit PendingFile(const std::wstring& target)
    {
        // The process id keeps runs apart; CREATE_NEW never takes over a
        // file that is already there, such as one left by a run that crashed.
        for (unsigned attempt = 0; attempt < 16; ++attempt) {
            const std::wstring candidate =
                target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
            file = UniqueHandle(
                CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file) {
                name = candidate;
                return;
            }
            if (GetLastError() != ERROR_FILE_EXISTS) {
                return;
            }
        }
    }
    ~PendingFile()
    {
        file.reset();
        if (!name.empty()) {
            DeleteFileW(name.c_str());
        }
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool write(const std::string& bytes)
    {
        std::size_t written = 0;
        while (file && written < bytes.size()) {
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1U << 20U));
            DWORD done = 0;
            if (!WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr) || done == 0) {
                return false;
            }
            written += done;
        }
        // On disk before the move, so that the move never puts in place a
        // file whose contents are still only in the cache.
        return file && FlushFileBuffers(file.get());
    }

    bool moveOver(const std::wstring& target)
    {
        if (!file) {
            return false;
        }
        file.reset();
        if (!MoveFileExW(name.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        name.clear();
        return true;
    }

private:
    // Empty until the file is created, and again once it has been moved.
    std::wstring name;
    UniqueHandle file;
};

} // namespace

bool replaceFile(const std::wstring& target, const std::string& bytes)
{
    if (!isPlainFileOrFree(target)) {
        return false;
    }
    PendingFile pending(target);
    return pending.write(bytes) && pending.moveOver(target);
}
