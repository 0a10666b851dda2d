#include "run_record/RunRecordWriter.h"

#include "run_record/LastRunKey.h"
#include "windows_wrappers/CalendarTime.h"
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
    // The form status gives the task's last run in.
    return calendarTimeText({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, L'T') + L"Z";
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
