#pragma once

#include "InstallerLog.h"
#include "KeptTaskStore.h"
#include "TaskRegistrar.h"

#include "location_check/ProgramLocation.h"

#include <string>
#include <vector>

// What the installer package does with the startup task, one member for each
// of its custom actions. The task runs the installed program as LocalSystem,
// so the package applies the program's own check and writes the program's
// own task file, and registers the very text it wrote. product is the
// package's product code, under which the task found before a change is kept
// for the rollback.
class StartupTaskSetup {
public:
    // The check of --create-xml; replaceable for tests.
    using ProgramLocator = ProgramLocation (*)(const std::wstring& file);

    StartupTaskSetup(InstallerLog& log, TaskRegistrar& scheduler, KeptTaskStore& store,
                     ProgramLocator locate = locateProgram);

    // Install, upgrade and repair: forgets what is kept for the product,
    // checks where program lies as --create-xml does, keeps the registered
    // task, writes the task file as --create-xml does and registers the text
    // it meant to write. False, with the reason in the log, when any step but
    // the writing fails (a task file that a user holds open is a warning);
    // nothing is written or registered when the check refuses.
    bool install(const std::wstring& product, const std::wstring& program, const std::wstring& taskFile);
    // Rollback of install: when it kept a task, registers the kept task
    // again, or, when there was none, deletes the task and the task file.
    void undoInstall(const std::wstring& product, const std::wstring& taskFile);

    // Uninstall: forgets what is kept for the product, keeps the registered
    // task, then deletes it.
    bool remove(const std::wstring& product);
    // Rollback of remove: registers the kept task again.
    void undoRemove(const std::wstring& product);

    // Commit: the change stays, what was kept for its rollback goes.
    void forget(const std::wstring& product);

private:
    // Forgets what an earlier run left for the product, so that a rollback
    // acts only on what this run kept.
    bool forgetEarlier(const std::wstring& product);
    // Keeps the registered task when it was registered as LocalSystem; any
    // other task under the name is kept as none, which a rollback deletes.
    bool keepRegisteredTask(const std::wstring& product);
    // Whether a task is kept for the product (false, logged, also when the
    // store cannot be read).
    bool findKeptTask(const std::wstring& product, std::optional<KeptTask>& kept);
    // Registers the kept task again, or deletes the task when none was kept;
    // once done, forgets it.
    void restore(const std::wstring& product, const KeptTask& kept);
    void logLines(const std::vector<std::wstring>& lines);
    // Logs failure with the status when the status is one.
    bool succeeded(std::int32_t status, const std::wstring& failure);

    InstallerLog& log;
    TaskRegistrar& scheduler;
    KeptTaskStore& store;
    ProgramLocator locate;
};
