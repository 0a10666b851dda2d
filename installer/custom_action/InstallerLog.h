#pragma once

#include <string>

// Where the custom actions say what they did and why they failed: the
// installation's log (msiexec /l*v).
class InstallerLog {
public:
    virtual ~InstallerLog() = default;
    virtual void line(const std::wstring& text) = 0;

protected:
    InstallerLog() = default;
    InstallerLog(const InstallerLog&) = default;
    InstallerLog& operator=(const InstallerLog&) = default;
};
