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

const std::wstring programPath = L"C:\\PROGRA~1\\VELTRI~1\\VeltrinLighting.exe";
// Where the check finds it, short names and links resolved: what the task runs.
const std::wstring resolvedPath = L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe";
const std::wstring earlierTask = L"<Task><RegistrationInfo><Description>earlier</Description></RegistrationInfo></Task>";
constexpr std::int32_t malformedTask = static_cast<std::int32_t>(0x80041318U);
constexpr std::int32_t serviceNotRunning = static_cast<std::int32_t>(0x80041315U);

class FakeScheduler final : public TaskRegistrar {
public:
    std::int32_t registerTask(const std::wstring& xml) override
    {
        if (failRegister == 0) {
            registered = xml;
        }
        return failRegister;
    }
    std::int32_t read(std::optional<std::wstring>& xml) override
    {
        xml = registered;
        return failRead;
    }
    std::int32_t remove() override
    {
        if (failRemove == 0) {
            registered.reset();
        }
        return failRemove;
    }

    std::optional<std::wstring> registered;
    std::int32_t failRegister = 0;
    std::int32_t failRead = 0;
    std::int32_t failRemove = 0;
};

class MemoryStore final : public KeptTaskStore {
public:
    bool keep(const std::wstring& product, const KeptTask& task) override
    {
        tasks[product] = task;
        return true;
    }
    bool find(const std::wstring& product, std::optional<KeptTask>& kept) override
    {
        const auto found = tasks.find(product);
        kept = found == tasks.end() ? std::nullopt : std::optional<KeptTask>(found->second);
        return true;
    }
    void forget(const std::wstring& product) override { tasks.erase(product); }

    std::map<std::wstring, KeptTask> tasks;
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
};

// Install, upgrade and repair register exactly the text they wrote, and only
// for a program the check accepts; their rollback leaves the task they found.
TEST_F(StartupTaskSetupTest, InstallRegistersTheWrittenTextAndItsRollbackPutsBackWhatWasThere)
{
    const std::wstring written = L"Startup task file written: FILE";
    const std::wstring registered = L"Startup task registered: OrvaneVRVeltrinLightingUtilityStartup";
    const std::wstring notWritten = L"Could not write the startup task file: FILE";
    const InstallCase cases[] = {
        {"fresh install", std::nullopt, accepted, false, 0, 0, true, {written, registered}},
        {"repair or upgrade over a task", earlierTask, accepted, false, 0, 0, true, {written, registered}},
        {"folder users may change", earlierTask, inOpenFolder, false, 0, 0, false,
         {notWritten, L"Users other than administrators can change C:\\Tools"}},
        {"task file cannot be written", std::nullopt, accepted, true, 0, 0, false, {notWritten}},
        {"registered task cannot be read", earlierTask, accepted, false, serviceNotRunning, 0, false,
         {L"The registered startup task could not be read: the Task Scheduler answered 0x80041315"}},
        {"registration refused", earlierTask, accepted, false, 0, malformedTask, false,
         {written, L"The startup task could not be registered: the Task Scheduler answered 0x80041318"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        scheduler = FakeScheduler();
        scheduler.registered = c.before;
        scheduler.failRead = c.failRead;
        scheduler.failRegister = c.failRegister;
        store.tasks.clear();
        log.lines.clear();
        if (c.taskFileBlocked) {
            fs::create_directory(taskFile);
        }
        StartupTaskSetup setup(log, scheduler, store, c.locate);

        EXPECT_EQ(setup.install(L"{product}", programPath, taskFile), c.installs);
        EXPECT_THAT(log.lines, ElementsAreArray(withTaskFile(c.log)));
        if (c.installs) {
            ASSERT_TRUE(scheduler.registered.has_value());
            EXPECT_EQ(*scheduler.registered, taskXmlText(resolvedPath));
            EXPECT_EQ(readBytes(taskFile), utf16LeWithBom(*scheduler.registered));
        } else {
            EXPECT_EQ(scheduler.registered, c.before);
        }
        // Kept only once the check has passed and the task could be read.
        EXPECT_EQ(store.tasks.size(), c.locate == accepted && c.failRead == 0 ? 1U : 0U);
        const bool fileWritten = fs::is_regular_file(taskFile);

        scheduler.failRegister = 0;
        setup.undoInstall(L"{product}", taskFile);
        EXPECT_EQ(scheduler.registered, c.before);
        EXPECT_THAT(store.tasks, IsEmpty());
        // The task file goes with a task that was not there before.
        EXPECT_EQ(fs::exists(taskFile), c.taskFileBlocked || (fileWritten && c.before));
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

TEST_F(StartupTaskSetupTest, UninstallThatCannotDeleteTheTaskFails)
{
    scheduler.registered = earlierTask;
    scheduler.failRemove = serviceNotRunning;
    StartupTaskSetup setup(log, scheduler, store, accepted);
    EXPECT_FALSE(setup.remove(L"{product}"));
    EXPECT_THAT(log.lines,
                ElementsAre(L"The startup task could not be deleted: the Task Scheduler answered 0x80041315"));
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
