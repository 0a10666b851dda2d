#pragma once

#include "InstallerLog.h"

#include <windows.h>

#include <msi.h>

#include <string>

// The installation session that runs a custom action: its CustomActionData,
// and its log.
class MsiSession final : public InstallerLog {
public:
    explicit MsiSession(MSIHANDLE handle) : handle(handle) {}

    // The text an immediate action set for this deferred, rollback or commit
    // action; empty when there is none.
    std::wstring customActionData() const;

    // An informational line of the log. The text is passed as a field, never
    // as the template, so that brackets in a path are not read as properties.
    void line(const std::wstring& text) override;

private:
    MSIHANDLE handle;
};
