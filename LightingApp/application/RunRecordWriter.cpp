#include "application/RunRecordWriter.h"

#include "run_record/LastRunKey.h"
#include "windows_wrappers/LocalPointer.h"
#include "windows_wrappers/TokenInformation.h"

#include <windows.h>

#include <sddl.h>

#include <string>

namespace {

std::wstring utcNow()
{
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const auto padded = [](WORD value, std::size_t width) {
        std::wstring text = std::to_wstring(value);
        return std::wstring(width > text.size() ? width - text.size() : 0, L'0') + text;
    };
    return padded(now.wYear, 4) + L"-" + padded(now.wMonth, 2) + L"-" + padded(now.wDay, 2) + L"T"
        + padded(now.wHour, 2) + L":" + padded(now.wMinute, 2) + L":" + padded(now.wSecond, 2) + L"Z";
}

std::wstring processSid()
{
    const std::vector<ULONG_PTR> user = processTokenInformation(TokenUser);
    if (user.empty()) {
        return {};
    }
    wchar_t* raw = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &raw)) {
        return {};
    }
    const LocalPointer<wchar_t> text(raw);
    return text.get();
}

} // namespace

void writeRunRecord(const RegistryController& registry, RunRequest request, const RunNote& note,
                    const std::vector<RunFailure>& failures) noexcept
{
    try {
        const HKEY root = registry.recordRoot(note.underPolicy);
        if (root == nullptr) {
            return;
        }
        LastRun record = recordOf(request, note, failures);
        record.time = utcNow();
        record.account = processSid();
        writeLastRun(root, record);
    } catch (...) {
    }
}
