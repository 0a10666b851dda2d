// The custom actions of the installer package: deferred, rollback and commit
// actions that run as LocalSystem, each with the CustomActionData that an
// immediate action of the package set for it (see VeltrinLighting.wxs). Each
// entry point takes its fields and hands them to StartupTaskSetup; nothing
// escapes into the installer.
#include "ActionData.h"
#include "ComTaskRegistrar.h"
#include "MsiSession.h"
#include "RegistryKeptTasks.h"
#include "StartupTaskSetup.h"

#include <windows.h>

#include <msi.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

using Fields = std::vector<std::wstring>;

// Runs action with the session's fields (count of them). The result of a
// deferred action decides whether the installation goes on; rollback and
// commit actions are marked in the package so that theirs is ignored.
template <class Action>
UINT runAction(MSIHANDLE handle, std::size_t count, Action action) noexcept
{
    try {
        MsiSession session(handle);
        const Fields fields = actionDataFields(session.customActionData(), count);
        if (fields.empty()) {
            session.line(L"The custom action was given data it cannot read: " + session.customActionData());
            return ERROR_INSTALL_FAILURE;
        }
        ComTaskRegistrar scheduler;
        RegistryKeptTasks store;
        StartupTaskSetup setup(session, scheduler, store);
        return action(setup, fields) ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}

} // namespace

// Fields: product code, installed program, task file.
extern "C" UINT __stdcall InstallStartupTask(MSIHANDLE handle)
{
    return runAction(handle, 3, [](StartupTaskSetup& setup, const Fields& fields) {
        return setup.install(fields[0], fields[1], fields[2]);
    });
}

// Fields: product code, task file.
extern "C" UINT __stdcall UndoInstallStartupTask(MSIHANDLE handle)
{
    return runAction(handle, 2, [](StartupTaskSetup& setup, const Fields& fields) {
        setup.undoInstall(fields[0], fields[1]);
        return true;
    });
}

// Fields: product code.
extern "C" UINT __stdcall RemoveStartupTask(MSIHANDLE handle)
{
    return runAction(handle, 1, [](StartupTaskSetup& setup, const Fields& fields) { return setup.remove(fields[0]); });
}

// Fields: product code.
extern "C" UINT __stdcall UndoRemoveStartupTask(MSIHANDLE handle)
{
    return runAction(handle, 1, [](StartupTaskSetup& setup, const Fields& fields) {
        setup.undoRemove(fields[0]);
        return true;
    });
}

// Fields: product code.
extern "C" UINT __stdcall ForgetKeptStartupTask(MSIHANDLE handle)
{
    return runAction(handle, 1, [](StartupTaskSetup& setup, const Fields& fields) {
        setup.forget(fields[0]);
        return true;
    });
}
