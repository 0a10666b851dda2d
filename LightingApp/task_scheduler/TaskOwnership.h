#pragma once

#include "task_scheduler/StartupTaskState.h"

#include <cstdint>
#include <cwctype>
#include <optional>
#include <string>
#include <string_view>

// Whether a task of the startup task's name is one the program registers, or
// could be: header only, as the decisions are portable and the library is
// not.

// LocalSystem's SID, the same on every language of Windows.
inline constexpr std::wstring_view localSystemSid = L"S-1-5-18";

// Whether a registered principal is LocalSystem logging on as a service
// account (TASK_LOGON_SERVICE_ACCOUNT): the only principal the installer
// registers, and one that only an administrator or LocalSystem can give a
// task. The Task Scheduler gives the account as a name, in the language of
// Windows ("NT AUTHORITY\SYSTEM" in English, another name elsewhere), or as the
// SID; userSid is the SID Windows resolved the name to. The SID decides; only
// when the name could not be resolved do the English names stand for it.
inline bool isLocalSystemServiceAccount(const std::wstring& userId, const std::optional<std::wstring>& userSid,
                                        std::int32_t logonType)
{
    constexpr std::int32_t serviceAccount = 5;
    std::wstring upper;
    for (const wchar_t c : userId) {
        upper += static_cast<wchar_t>(std::towupper(c));
    }
    if (logonType != serviceAccount) {
        return false;
    }
    if (userSid) {
        return *userSid == localSystemSid;
    }
    return upper == localSystemSid || upper == L"SYSTEM" || upper == L"NT AUTHORITY\\SYSTEM" || upper == L"LOCALSYSTEM";
}

// The task's program path without the quotes it may be registered with.
inline std::wstring unquotedPath(const std::wstring& path)
{
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
        return path.substr(1, path.size() - 2);
    }
    return path;
}

// Why a task's program path (quoted or not) is not one the location check
// can stand for: it holds the '%' that the Task Scheduler expands into
// environment variables when it runs the task, or it is not one absolute
// path. Empty for a path the check can be asked about.
inline std::wstring programPathReason(const std::wstring& program)
{
    const std::wstring path = unquotedPath(program);
    if (path.find(L'%') != std::wstring::npos) {
        return L"the path holds '%', which the Task Scheduler replaces when it runs the task";
    }
    const bool absolute = path.size() >= 3 && std::iswalpha(path[0]) != 0 && path[1] == L':' && path[2] == L'\\';
    if (!absolute || path.find(L'"') != std::wstring::npos) {
        return L"the path is not one absolute path";
    }
    return {};
}

// Why the task registered under the name is not the program's: it runs as
// another principal, it runs more than one action or no program, or its
// program is not one absolute path free of the '%' that the Task Scheduler
// expands into environment variables when it runs the task. Empty when
// nothing read says so (a fact that could not be read, as under Wine, says
// nothing).
inline std::wstring notTheProgramReason(const StartupTaskState& task)
{
    if (task.userId && task.logonType && !isLocalSystemServiceAccount(*task.userId, task.userSid, *task.logonType)) {
        return L"it does not run as LocalSystem";
    }
    if (task.actionCount && *task.actionCount != 1) {
        return L"it has " + std::to_wstring(*task.actionCount) + L" actions, not one";
    }
    if (task.actionCount && task.firstActionRunsProgram && !*task.firstActionRunsProgram) {
        return L"its action runs no program";
    }
    if (task.program && !programPathReason(*task.program).empty()) {
        return L"its program fails the location check: " + programPathReason(*task.program);
    }
    return {};
}

// A registered task as the installer reads it before it changes the startup
// task: its definition, and its principal as the Task Scheduler registered it
// (which the definition's text need not tell: the account given to
// RegisterTask overrides it). userId or logonType is empty when it could not
// be read; Wine keeps no principal.
struct RegisteredTaskDefinition {
    std::wstring xml;
    std::optional<std::wstring> userId;
    std::optional<std::int32_t> logonType;
    // The SID Windows resolved userId to, when it could.
    std::optional<std::wstring> userSid;

    bool registeredAsLocalSystem() const
    {
        return userId && logonType && isLocalSystemServiceAccount(*userId, userSid, *logonType);
    }
};
