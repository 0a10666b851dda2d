#include "ActionData.h"
#include "StartupTaskSetup.h"

#include "application/TaskXml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

// As the Windows Installer gives it: the final path, its letters' case aside.
const std::wstring programPath = L"c:\\program files\\VeltrinLighting\\VeltrinLighting.exe";
// Where the check finds it, short names and links resolved: what the task runs.
const std::wstring resolvedPath = L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe";
const std::wstring earlierTask = L"<Task><RegistrationInfo><Description>earlier</Description></RegistrationInfo></Task>";
constexpr std::int32_t malformedTask = static_cast<std::int32_t>(0x80041318U);
constexpr std::int32_t serviceNotRunning = static_cast<std::int32_t>(0x80041315U);

constexpr const wchar_t* localSystem = L"SYSTEM";
// A standard user's own task, in their session.
constexpr const wchar_t* standardUser = L"S-1-5-21-1-2-3-1001";

class FakeScheduler final : public TaskRegistrar {
public:
    std::int32_t registerTask(const std::wstring& xml) override
    {
        ++changes;
        if (failRegister == 0) {
            registered = xml;
            registeredAs = localSystem;
        }
        return failRegister;
    }
    std::int32_t read(std::optional<RegisteredTaskDefinition>& task) override
    {
        task.reset();
        if (registered) {
            task = RegisteredTaskDefinition{*registered, registeredAs,
                                            registeredAs == localSystem ? 5 : 3, std::nullopt};
        }
        return failRead;
    }
    std::int32_t remove() override
    {
        ++changes;
        if (failRemove == 0) {
            registered.reset();
        }
        return failRemove;
    }

    std::optional<std::wstring> registered;
    std::wstring registeredAs = localSystem;
    std::int32_t failRegister = 0;
    std::int32_t failRead = 0;
    std::int32_t failRemove = 0;
    int changes = 0;
};

enum class StoreFault { None, Keep, Find, Forget };

class MemoryStore final : public KeptTaskStore {
public:
    bool keep(const std::wstring& product, const KeptTask& task) override
    {
        if (fault == StoreFault::Keep) {
            return false;
        }
        tasks[product] = task;
        return true;
    }
    bool find(const std::wstring& product, std::optional<KeptTask>& kept) override
    {
        const auto found = tasks.find(product);
        kept = found == tasks.end() ? std::nullopt : std::optional<KeptTask>(found->second);
        return fault != StoreFault::Find;
    }
    bool forget(const std::wstring& product) override
    {
        if (fault == StoreFault::Forget) {
            return false;
        }
        tasks.erase(product);
        return true;
    }

    std::map<std::wstring, KeptTask> tasks;
    StoreFault fault = StoreFault::None;
};

class LinesLog final : public InstallerLog {
public:
    void line(const std::wstring& text) override { lines.push_back(text); }
    std::vector<std::wstring> lines;
};

ProgramLocation accepted(const std::wstring& /*file*/)
{
    return {ProgramVerdict::Accepted, resolvedPath};
}

ProgramLocation inOpenFolder(const std::wstring& /*file*/)
{
    return {ProgramVerdict::ChangeableByUsers, L"C:\\Tools"};
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StartupTaskSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path()
            / ("veltrin-setup-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        taskFile = (folder / "task.xml").wstring();
    }
    void TearDown() override { fs::remove_all(folder); }

    // The log lines expected, with FILE standing for the task file.
    std::vector<std::wstring> withTaskFile(std::vector<std::wstring> lines) const
    {
        for (auto& line : lines) {
            if (const auto at = line.find(L"FILE"); at != std::wstring::npos) {
                line.replace(at, 4, taskFile);
            }
        }
        return lines;
    }

    fs::path folder;
    std::wstring taskFile;
    FakeScheduler scheduler;
    MemoryStore store;
    LinesLog log;
};

struct InstallCase {
    const char* name;
    std::optional<std::wstring> before;
    StartupTaskSetup::ProgramLocator locate;
    // A folder where the task file would go.
    bool taskFileBlocked;
    std::int32_t failRead;
    std::int32_t failRegister;
    bool installs;
    std::vector<std::wstring> log;
    // Who registered the task found, what an earlier run left kept, and a
    // store that fails.
    const wchar_t* beforeAs = localSystem;
    std::optional<KeptTask> stale = std::nullopt;
    StoreFault storeFault = StoreFault::None;
    // The program's path as the Windows Installer gives it.
    std::wstring program = programPath;
};

// Install, upgrade and repair register exactly the text they wrote, and only
// for a program the check accepts; their rollback leaves the task they found
// when LocalSystem registered it, and deletes any other.
TEST_F(StartupTaskSetupTest, InstallRegistersTheWrittenTextAndItsRollbackPutsBackWhatWasThere)
{
    const std::wstring written = L"Startup task file written: FILE";
    const std::wstring registered = L"Startup task registered: OrvaneVRVeltrinLightingUtilityStartup";
    const std::wstring notWritten = L"Could not write the startup task file: FILE";
    const std::wstring foreign = L"A task not registered as LocalSystem is registered under the name "
                                 L"OrvaneVRVeltrinLightingUtilityStartup: it is not kept, and undoing this change "
                                 L"deletes it";
    const std::wstring refused = L"Users other than administrators can change C:\\Tools";
    const InstallCase cases[] = {
        {"fresh install", std::nullopt, accepted, false, 0, 0, true, {written, registered}},
        {"repair or upgrade over a task", earlierTask, accepted, false, 0, 0, true, {written, registered}},
        {"over a standard user's task", earlierTask, accepted, false, 0, 0, true, {foreign, written, registered},
         standardUser},
        {"folder users may change", earlierTask, inOpenFolder, false, 0, 0, false, {notWritten, refused}},
        {"folder users may change, a stale kept value", earlierTask, inOpenFolder, false, 0, 0, false,
         {notWritten, refused}, localSystem, KeptTask{}},
        {"task file cannot be written", std::nullopt, accepted, true, 0, 0, true, {notWritten, registered}},
        {"registered task cannot be read", earlierTask, accepted, false, serviceNotRunning, 0, false,
         {L"The registered startup task could not be read: the Task Scheduler answered 0x80041315"}},
        {"registration refused", earlierTask, accepted, false, 0, malformedTask, false,
         {written, L"The startup task could not be registered: the Task Scheduler answered 0x80041318"}},
        {"store cannot keep", earlierTask, accepted, false, 0, 0, false,
         {L"The registered startup task could not be kept for undoing this change"}, localSystem, std::nullopt,
         StoreFault::Keep},
        {"store cannot forget", earlierTask, accepted, false, 0, 0, false,
         {L"What an earlier run kept for undoing its change could not be forgotten"}, localSystem, std::nullopt,
         StoreFault::Forget},
        {"a junction in the install folder", earlierTask, accepted, false, 0, 0, false,
         {L"The install folder is not given as its final path: C:\\Tools\\VeltrinLighting\\VeltrinLighting.exe "
          L"leads to C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe; PATH and the event source would "
          L"name a path that was not checked. Install to the final path (INSTALLFOLDER)"},
         localSystem, std::nullopt, StoreFault::None, L"C:\\Tools\\VeltrinLighting\\VeltrinLighting.exe"},
        {"a short name in the install folder", earlierTask, accepted, false, 0, 0, false,
         {L"The install folder is not given as its final path: C:\\PROGRA~1\\VELTRI~1\\VeltrinLighting.exe "
          L"leads to C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe; PATH and the event source would "
          L"name a path that was not checked. Install to the final path (INSTALLFOLDER)"},
         localSystem, std::nullopt, StoreFault::None, L"C:\\PROGRA~1\\VELTRI~1\\VeltrinLighting.exe"},
        {"one character longer", earlierTask, accepted, false, 0, 0, false,
         {L"The install folder is not given as its final path: " + resolvedPath + L"x leads to " + resolvedPath
          + L"; PATH and the event source would name a path that was not checked. Install to the final path "
            L"(INSTALLFOLDER)"},
         localSystem, std::nullopt, StoreFault::None, resolvedPath + L"x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        scheduler = FakeScheduler();
        scheduler.registered = c.before;
        scheduler.registeredAs = c.beforeAs;
        scheduler.failRead = c.failRead;
        scheduler.failRegister = c.failRegister;
        store.tasks.clear();
        if (c.stale) {
            store.tasks[L"{product}"] = *c.stale;
        }
        store.fault = c.storeFault;
        log.lines.clear();
        if (c.taskFileBlocked) {
            fs::create_directory(taskFile);
        }
        StartupTaskSetup setup(log, scheduler, store, c.locate);

        EXPECT_EQ(setup.install(L"{product}", c.program, taskFile), c.installs);
        EXPECT_THAT(log.lines, ElementsAreArray(withTaskFile(c.log)));
        if (c.installs) {
            ASSERT_TRUE(scheduler.registered.has_value());
            EXPECT_EQ(*scheduler.registered, taskXmlText(resolvedPath));
            if (!c.taskFileBlocked) {
                EXPECT_EQ(readBytes(taskFile), utf16LeWithBom(*scheduler.registered));
            }
        } else {
            EXPECT_EQ(scheduler.registered, c.before);
        }
        // Kept only once the check has passed and the task could be read;
        // a task of another principal is kept as none.
        const bool kept =
            c.locate == accepted && c.program == programPath && c.failRead == 0 && c.storeFault == StoreFault::None;
        EXPECT_EQ(store.tasks.size(), kept ? 1U : 0U);
        if (kept) {
            EXPECT_EQ(store.tasks.begin()->second.xml, c.beforeAs == localSystem ? c.before : std::nullopt);
        }
        const bool fileWritten = fs::is_regular_file(taskFile);

        scheduler.failRegister = 0;
        store.fault = StoreFault::None;
        setup.undoInstall(L"{product}", taskFile);
        EXPECT_EQ(scheduler.registered, kept && c.beforeAs != localSystem ? std::nullopt : c.before);
        EXPECT_THAT(store.tasks, IsEmpty());
        // The task file goes with a task that was not there before.
        EXPECT_EQ(fs::exists(taskFile), c.taskFileBlocked || (fileWritten && c.before && c.beforeAs == localSystem));
    }
}

// An upgrade removes the older product and installs the newer one in one
// transaction; if it fails, each rollback undoes its own change, newest first.
TEST_F(StartupTaskSetupTest, FailedUpgradeRegistersTheOlderProductsTaskAgain)
{
    scheduler.registered = earlierTask;
    StartupTaskSetup setup(log, scheduler, store, accepted);

    ASSERT_TRUE(setup.remove(L"{older}"));
    EXPECT_FALSE(scheduler.registered.has_value());
    ASSERT_TRUE(setup.install(L"{newer}", programPath, taskFile));

    setup.undoInstall(L"{newer}", taskFile);
    EXPECT_FALSE(scheduler.registered.has_value());
    setup.undoRemove(L"{older}");
    EXPECT_EQ(scheduler.registered, earlierTask);
    EXPECT_THAT(store.tasks, IsEmpty());
    EXPECT_EQ(log.lines.back(),
              L"Startup task registered again as it was before: OrvaneVRVeltrinLightingUtilityStartup");
}

struct RemoveCase {
    const char* name;
    std::optional<std::wstring> before;
    const wchar_t* beforeAs;
    StoreFault removeFault;
    StoreFault undoFault;
    std::int32_t failRestore;
    bool removes;
    // What is registered after the rollback, and whether the store still
    // holds what was kept.
    std::optional<std::wstring> afterRollback;
    bool keptStays;
    std::wstring lastLine;
};

// Uninstall and its rollback put back only what LocalSystem registered; a
// store that fails stops the removal, and leaves an undo only its log line.
TEST_F(StartupTaskSetupTest, UninstallAndItsRollback)
{
    const std::wstring restored = L"Startup task registered again as it was before: OrvaneVRVeltrinLightingUtilityStartup";
    const std::wstring noneRestored =
        L"Startup task deleted, as none was registered before: OrvaneVRVeltrinLightingUtilityStartup";
    const std::wstring notRead = L"The startup task kept before this change could not be read";
    const RemoveCase cases[] = {
        {"LocalSystem's task", earlierTask, localSystem, StoreFault::None, StoreFault::None, 0, true, earlierTask,
         false, restored},
        {"a standard user's task", earlierTask, standardUser, StoreFault::None, StoreFault::None, 0, true,
         std::nullopt, false, noneRestored},
        {"no task", std::nullopt, localSystem, StoreFault::None, StoreFault::None, 0, true, std::nullopt, false,
         noneRestored},
        {"store cannot keep", earlierTask, localSystem, StoreFault::Keep, StoreFault::None, 0, false, earlierTask,
         false, L"The registered startup task could not be kept for undoing this change"},
        {"store cannot be read by the undo", earlierTask, localSystem, StoreFault::None, StoreFault::Find, 0, true,
         std::nullopt, true, notRead},
        {"restore refused", earlierTask, localSystem, StoreFault::None, StoreFault::None, malformedTask, true,
         std::nullopt, true, L"The startup task could not be registered: the Task Scheduler answered 0x80041318"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scheduler = FakeScheduler();
        scheduler.registered = c.before;
        scheduler.registeredAs = c.beforeAs;
        store.tasks.clear();
        store.fault = c.removeFault;
        log.lines.clear();
        StartupTaskSetup setup(log, scheduler, store, accepted);

        EXPECT_EQ(setup.remove(L"{product}"), c.removes);
        EXPECT_EQ(scheduler.registered.has_value(), !c.removes && c.before);
        store.fault = c.undoFault;
        scheduler.failRegister = c.failRestore;
        const int changes = scheduler.changes;
        setup.undoRemove(L"{product}");
        EXPECT_EQ(scheduler.registered, c.afterRollback);
        EXPECT_EQ(store.tasks.size(), c.keptStays ? 1U : 0U);
        if (c.undoFault == StoreFault::Find) {
            EXPECT_EQ(scheduler.changes, changes);
        }
        EXPECT_EQ(log.lines.back(), c.lastLine);
    }
}

TEST_F(StartupTaskSetupTest, UninstallThatCannotDeleteTheTaskFails)
{
    scheduler.registered = earlierTask;
    scheduler.failRemove = serviceNotRunning;
    StartupTaskSetup setup(log, scheduler, store, accepted);
    EXPECT_FALSE(setup.remove(L"{product}"));
    EXPECT_THAT(log.lines,
                ElementsAre(L"The startup task could not be deleted: the Task Scheduler answered 0x80041315"));
}

// A value an earlier run left is forgotten before anything can fail: the
// rollback of a removal that stopped early must not delete the task.
TEST_F(StartupTaskSetupTest, UninstallThatStopsEarlyLeavesItsRollbackNothingStale)
{
    scheduler.registered = earlierTask;
    scheduler.failRead = serviceNotRunning;
    store.tasks[L"{product}"] = KeptTask{};
    StartupTaskSetup setup(log, scheduler, store, accepted);
    EXPECT_FALSE(setup.remove(L"{product}"));
    scheduler.failRead = 0;
    setup.undoRemove(L"{product}");
    EXPECT_EQ(scheduler.registered, earlierTask);
    EXPECT_EQ(scheduler.changes, 0);
}

TEST(ActionData, TakesExactlyTheFieldsAsked)
{
    EXPECT_THAT(actionDataFields(L"{code}|C:\\a b\\x.exe|C:\\a b\\task.xml", 3),
                ElementsAre(L"{code}", L"C:\\a b\\x.exe", L"C:\\a b\\task.xml"));
    EXPECT_THAT(actionDataFields(L"{code}||", 3), ElementsAre(L"{code}", L"", L""));
    EXPECT_THAT(actionDataFields(L"{code}", 1), ElementsAre(L"{code}"));
    EXPECT_THAT(actionDataFields(L"{code}|C:\\x.exe", 3), IsEmpty());
    EXPECT_THAT(actionDataFields(L"{code}|a|b|c", 3), IsEmpty());
}

} // namespace
