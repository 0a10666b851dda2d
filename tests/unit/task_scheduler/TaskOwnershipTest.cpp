#include "task_scheduler/TaskOwnership.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace {

// TASK_LOGON_TYPE: none, password, S4U, the user's session, a group, a
// service account, the session or a password.
constexpr std::int32_t logonNone = 0;
constexpr std::int32_t logonPassword = 1;
constexpr std::int32_t logonS4u = 2;
constexpr std::int32_t interactiveToken = 3;
constexpr std::int32_t logonGroup = 4;
constexpr std::int32_t serviceAccount = 5;
constexpr std::int32_t tokenOrPassword = 6;

// LocalSystem is told by its SID whatever the name's language; the English
// names stand for it only when the name could not be resolved; only a
// service account logon counts.
TEST(TaskOwnership, LocalSystemIsToldBySid)
{
    struct Case {
        const char* name;
        std::wstring userId;
        std::optional<std::wstring> userSid;
        std::int32_t logonType;
        bool localSystem;
    };
    const Case cases[] = {
        {"English name, resolved", L"NT AUTHORITY\\SYSTEM", L"S-1-5-18", serviceAccount, true},
        {"German name, resolved", L"NT-AUTORIT\u00c4T\\SYSTEM", L"S-1-5-18", serviceAccount, true},
        {"French name, resolved", L"AUTORITE NT\\Syst\u00e8me", L"S-1-5-18", serviceAccount, true},
        {"the SID itself, unresolved", L"S-1-5-18", std::nullopt, serviceAccount, true},
        {"the SID in lower case, unresolved", L"s-1-5-18", std::nullopt, serviceAccount, true},
        {"English short name, unresolved", L"system", std::nullopt, serviceAccount, true},
        {"English long name, unresolved", L"nt authority\\system", std::nullopt, serviceAccount, true},
        {"LocalSystem, unresolved", L"LocalSystem", std::nullopt, serviceAccount, true},
        {"French name, unresolved", L"AUTORITE NT\\Syst\u00e8me", std::nullopt, serviceAccount, false},
        {"the short name with a space, unresolved", L"SYSTEM ", std::nullopt, serviceAccount, false},
        {"the short name in this machine's domain, unresolved", L".\\SYSTEM", std::nullopt, serviceAccount, false},
        {"LocalSystem in a domain, unresolved", L"NT AUTHORITY\\LocalSystem", std::nullopt, serviceAccount, false},
        {"no name, unresolved", L"", std::nullopt, serviceAccount, false},
        {"a user named like it, resolved to their SID", L"SYSTEM", L"S-1-5-21-1-2-3-1001", serviceAccount, false},
        {"a resolved SID in another case (Windows writes it upper-case)", L"SYSTEM", L"s-1-5-18", serviceAccount,
         false},
        {"LocalService", L"NT AUTHORITY\\LOCAL SERVICE", L"S-1-5-19", serviceAccount, false},
        {"NetworkService", L"NT AUTHORITY\\NETWORK SERVICE", L"S-1-5-20", serviceAccount, false},
        {"a SID that only starts like it", L"S-1-5-180", L"S-1-5-180", serviceAccount, false},
        {"a SID that only starts like it, unresolved", L"S-1-5-180", std::nullopt, serviceAccount, false},
        {"LocalSystem in a user's session", L"SYSTEM", L"S-1-5-18", interactiveToken, false},
        {"LocalSystem with no logon type", L"SYSTEM", L"S-1-5-18", logonNone, false},
        {"LocalSystem with a password", L"SYSTEM", L"S-1-5-18", logonPassword, false},
        {"LocalSystem by S4U", L"SYSTEM", L"S-1-5-18", logonS4u, false},
        {"LocalSystem as a group", L"SYSTEM", L"S-1-5-18", logonGroup, false},
        {"LocalSystem by session or password", L"SYSTEM", L"S-1-5-18", tokenOrPassword, false},
        {"LocalSystem's name in a user's session, unresolved", L"SYSTEM", std::nullopt, interactiveToken, false},
        {"a user", L"PC\\someone", L"S-1-5-21-1-2-3-1001", interactiveToken, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isLocalSystemServiceAccount(c.userId, c.userSid, c.logonType), c.localSystem);
        const RegisteredTaskDefinition definition{L"<Task/>", c.userId, c.logonType, c.userSid};
        EXPECT_EQ(definition.registeredAsLocalSystem(), c.localSystem);
        StartupTaskState state;
        state.userId = c.userId;
        state.userSid = c.userSid;
        state.logonType = c.logonType;
        EXPECT_EQ(notTheProgramReason(state), c.localSystem ? L"" : L"it does not run as LocalSystem");
    }
}

// A principal that could not be read (Wine keeps none) says nothing against
// the task in status, while the installer keeps only a task it knows to be
// LocalSystem's.
TEST(TaskOwnership, AnUnreadPrincipalIsNeitherForeignNorLocalSystem)
{
    struct Case {
        const char* name;
        std::optional<std::wstring> userId;
        std::optional<std::int32_t> logonType;
        std::optional<std::wstring> userSid;
    };
    const Case cases[] = {
        {"nothing read", std::nullopt, std::nullopt, std::nullopt},
        {"no account read", std::nullopt, serviceAccount, L"S-1-5-18"},
        {"no logon type read", L"SYSTEM", std::nullopt, L"S-1-5-18"},
        {"a user's account, no logon type read", L"PC\\someone", std::nullopt, L"S-1-5-21-1-2-3-1001"},
        {"a user's session, no account read", std::nullopt, interactiveToken, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RegisteredTaskDefinition definition{L"<Task/>", c.userId, c.logonType, c.userSid};
        EXPECT_FALSE(definition.registeredAsLocalSystem());
        StartupTaskState state;
        state.userId = c.userId;
        state.logonType = c.logonType;
        state.userSid = c.userSid;
        EXPECT_EQ(notTheProgramReason(state), L"");
    }
}

// The task as the installer registers it, read back from Windows.
StartupTaskState installedTask()
{
    StartupTaskState task;
    task.registration = StartupTaskState::Registration::Registered;
    task.enabled = true;
    task.userId = L"NT AUTHORITY\\SYSTEM";
    task.userSid = L"S-1-5-18";
    task.logonType = serviceAccount;
    task.actionCount = 1;
    task.firstActionRunsProgram = true;
    task.program = L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe";
    task.arguments = L"";
    return task;
}

// Each row changes one fact (two where their order is the point) of the
// task as the installer registers it, and states why it is not the
// program's (empty: nothing read says so) and why its program path is not
// one the location check can be asked about (empty: the check decides).
TEST(TaskOwnership, EachFactOfARegisteredTask)
{
    const std::wstring notLocalSystem = L"it does not run as LocalSystem";
    const std::wstring failsCheck = L"its program fails the location check: ";
    const std::wstring percent = L"the path holds '%', which the Task Scheduler replaces when it runs the task";
    const std::wstring notAbsolute = L"the path is not one absolute path";
    const auto program = [](std::wstring path) { return [path](StartupTaskState& t) { t.program = path; }; };
    struct Case {
        const char* name;
        std::function<void(StartupTaskState&)> change;
        std::wstring notTheProgram;
        std::wstring pathReason;
    };
    const Case cases[] = {
        {"as the installer registers it", [](StartupTaskState&) {}, L"", L""},
        // The account.
        {"a user's account",
         [](StartupTaskState& t) {
             t.userId = L"PC\\someone";
             t.userSid = L"S-1-5-21-1-2-3-1001";
         },
         notLocalSystem, L""},
        {"LocalSystem in a user's session", [](StartupTaskState& t) { t.logonType = interactiveToken; }, notLocalSystem,
         L""},
        {"LocalSystem by its SID", [](StartupTaskState& t) { t.userId = L"S-1-5-18"; }, L"", L""},
        {"LocalSystem's English name, unresolved", [](StartupTaskState& t) { t.userSid.reset(); }, L"", L""},
        {"an account named SYSTEM that resolves to a user",
         [](StartupTaskState& t) {
             t.userId = L"SYSTEM";
             t.userSid = L"S-1-5-21-1-2-3-1001";
         },
         notLocalSystem, L""},
        {"the account not read",
         [](StartupTaskState& t) {
             t.userId.reset();
             t.userSid.reset();
         },
         L"", L""},
        {"the logon type not read", [](StartupTaskState& t) { t.logonType.reset(); }, L"", L""},
        // The actions.
        {"no action",
         [](StartupTaskState& t) {
             t.actionCount = 0;
             t.firstActionRunsProgram.reset();
             t.program.reset();
         },
         L"it has 0 actions, not one", L""},
        {"two actions", [](StartupTaskState& t) { t.actionCount = 2; }, L"it has 2 actions, not one", L""},
        {"a negative count of actions", [](StartupTaskState& t) { t.actionCount = -1; }, L"it has -1 actions, not one",
         L""},
        {"an action that runs no program (e-mail, message)",
         [](StartupTaskState& t) {
             t.firstActionRunsProgram = false;
             t.program.reset();
         },
         L"its action runs no program", L""},
        {"whether the action runs a program not read", [](StartupTaskState& t) { t.firstActionRunsProgram.reset(); },
         L"", L""},
        {"the actions not read, the first said to run none",
         [](StartupTaskState& t) {
             t.actionCount.reset();
             t.firstActionRunsProgram = false;
             t.program.reset();
         },
         L"", L""},
        {"the program not read", [](StartupTaskState& t) { t.program.reset(); }, L"", L""},
        // The program's path: forms the location check is asked about.
        {"quoted", program(L"\"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe\""), L"", L""},
        {"in lower case", program(L"c:\\program files\\veltrinlighting\\veltrinlighting.exe"), L"", L""},
        {"by its short name", program(L"C:\\PROGRA~1\\VELTRI~1\\VELTRI~1.EXE"), L"", L""},
        {"in another folder", program(L"D:\\Tools\\VeltrinLighting.exe"), L"", L""},
        {"another program", program(L"C:\\Windows\\System32\\cmd.exe"), L"", L""},
        {"a drive's root folder", program(L"C:\\"), L"", L""},
        {"with arguments (status shows them)", [](StartupTaskState& t) { t.arguments = L"255 0 0 100"; }, L"", L""},
        // Forms that are not one absolute path.
        {"relative", program(L"VeltrinLighting.exe"), failsCheck + notAbsolute, notAbsolute},
        {"relative to this folder", program(L".\\VeltrinLighting.exe"), failsCheck + notAbsolute, notAbsolute},
        {"relative to the drive's current folder", program(L"C:VeltrinLighting.exe"), failsCheck + notAbsolute,
         notAbsolute},
        {"relative to the current drive's root", program(L"\\Program Files\\VeltrinLighting\\VeltrinLighting.exe"),
         failsCheck + notAbsolute, notAbsolute},
        {"a drive alone", program(L"C:"), failsCheck + notAbsolute, notAbsolute},
        {"with forward slashes", program(L"C:/Program Files/VeltrinLighting/VeltrinLighting.exe"),
         failsCheck + notAbsolute, notAbsolute},
        {"a share", program(L"\\\\server\\share\\VeltrinLighting.exe"), failsCheck + notAbsolute, notAbsolute},
        {"a device path", program(L"\\\\?\\C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe"),
         failsCheck + notAbsolute, notAbsolute},
        {"a digit for a drive", program(L"1:\\VeltrinLighting.exe"), failsCheck + notAbsolute, notAbsolute},
        {"empty", program(L""), failsCheck + notAbsolute, notAbsolute},
        {"a quote alone", program(L"\""), failsCheck + notAbsolute, notAbsolute},
        {"two quotes", program(L"\"\""), failsCheck + notAbsolute, notAbsolute},
        {"quoted twice", program(L"\"\"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe\"\""),
         failsCheck + notAbsolute, notAbsolute},
        {"only an opening quote", program(L"\"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe"),
         failsCheck + notAbsolute, notAbsolute},
        {"only a closing quote", program(L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe\""),
         failsCheck + notAbsolute, notAbsolute},
        {"quoted, with arguments inside", program(L"\"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe\" 50"),
         failsCheck + notAbsolute, notAbsolute},
        {"two quoted paths",
         program(L"\"C:\\Tools\\a.exe\" \"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe\""),
         failsCheck + notAbsolute, notAbsolute},
        {"a quote inside", program(L"C:\\Program Files\\\"VeltrinLighting\\VeltrinLighting.exe"),
         failsCheck + notAbsolute, notAbsolute},
        // Forms the Task Scheduler would expand.
        {"an environment variable", program(L"%ProgramFiles%\\VeltrinLighting\\VeltrinLighting.exe"),
         failsCheck + percent, percent},
        {"an environment variable, quoted", program(L"\"%ProgramFiles%\\VeltrinLighting\\VeltrinLighting.exe\""),
         failsCheck + percent, percent},
        {"a '%' in an absolute path", program(L"C:\\Tools\\100%\\VeltrinLighting.exe"), failsCheck + percent, percent},
        {"a '%' in a relative path", program(L"%PATH%"), failsCheck + percent, percent},
        // Which reason is given when two facts fail.
        {"another account and a relative path",
         [](StartupTaskState& t) {
             t.logonType = interactiveToken;
             t.program = L"VeltrinLighting.exe";
         },
         notLocalSystem, notAbsolute},
        {"another account and two actions",
         [](StartupTaskState& t) {
             t.logonType = interactiveToken;
             t.actionCount = 2;
         },
         notLocalSystem, L""},
        {"two actions, the first running no program",
         [](StartupTaskState& t) {
             t.actionCount = 2;
             t.firstActionRunsProgram = false;
         },
         L"it has 2 actions, not one", L""},
        {"two actions and a relative path",
         [](StartupTaskState& t) {
             t.actionCount = 2;
             t.program = L"VeltrinLighting.exe";
         },
         L"it has 2 actions, not one", notAbsolute},
        {"an action that runs no program, with a relative path read",
         [](StartupTaskState& t) {
             t.firstActionRunsProgram = false;
             t.program = L"VeltrinLighting.exe";
         },
         L"its action runs no program", notAbsolute},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupTaskState task = installedTask();
        c.change(task);
        EXPECT_EQ(notTheProgramReason(task), c.notTheProgram);
        EXPECT_EQ(task.program ? programPathReason(*task.program) : std::wstring(), c.pathReason);
    }
}

// What the location check is asked about: the path without the one pair of
// quotes around it, and nothing else taken off.
TEST(TaskOwnership, UnquotedPathTakesOffOnePairOfQuotes)
{
    struct Case {
        std::wstring registered;
        std::wstring path;
    };
    const Case cases[] = {
        {L"\"C:\\Tools\\a.exe\"", L"C:\\Tools\\a.exe"},
        {L"C:\\Tools\\a.exe", L"C:\\Tools\\a.exe"},
        {L"\"\"C:\\Tools\\a.exe\"\"", L"\"C:\\Tools\\a.exe\""},
        {L"\"C:\\Tools\\a.exe", L"\"C:\\Tools\\a.exe"},
        {L"C:\\Tools\\a.exe\"", L"C:\\Tools\\a.exe\""},
        {L"\"C:\\Tools\\a.exe\" 50", L"\"C:\\Tools\\a.exe\" 50"},
        {L" \"C:\\Tools\\a.exe\"", L" \"C:\\Tools\\a.exe\""},
        {L"\"a\"", L"a"},
        {L"\"\"", L""},
        {L"\"", L"\""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.registered.begin(), c.registered.end()));
        EXPECT_EQ(unquotedPath(c.registered), c.path);
    }
}

} // namespace
