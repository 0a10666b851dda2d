#include "location_check/FileSecurity.h"

#include "windows_wrappers/UniqueHandle.h"

#include <aclapi.h>

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
