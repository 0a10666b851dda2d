#include "MsiSession.h"

#include <msiquery.h>

std::wstring MsiSession::customActionData() const
{
    // Asked with no room first, for the length, which leaves out the
    // terminating null that is written too.
    std::wstring data(1, L'\0');
    DWORD length = 0;
    if (MsiGetPropertyW(handle, L"CustomActionData", data.data(), &length) != ERROR_MORE_DATA) {
        return {};
    }
    data.assign(length + 1, L'\0');
    length = static_cast<DWORD>(data.size());
    if (MsiGetPropertyW(handle, L"CustomActionData", data.data(), &length) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(length);
    return data;
}

void MsiSession::line(const std::wstring& text)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    if (record == 0) {
        return;
    }
    MsiRecordSetStringW(record, 0, L"[1]");
    MsiRecordSetStringW(record, 1, text.c_str());
    MsiProcessMessage(handle, INSTALLMESSAGE_INFO, record);
}
