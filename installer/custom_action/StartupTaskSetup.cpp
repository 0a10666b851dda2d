#include "StartupTaskSetup.h"

#include "application/TaskFileReport.h"
#include "application/TaskXml.h"
#include "task_scheduler/StartupTaskState.h"
#include "windows_wrappers/Utf8.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace {

constexpr const wchar_t* taskNotRead = L"The registered startup task could not be read: ";
constexpr const wchar_t* taskNotKept = L"The registered startup task could not be kept for undoing this change";
constexpr const wchar_t* taskNotRegistered = L"The startup task could not be registered: ";
constexpr const wchar_t* taskNotDeleted = L"The startup task could not be deleted: ";
constexpr const wchar_t* keptNotRead = L"The startup task kept before this change could not be read";
constexpr const wchar_t* keptNotForgotten = L"What an earlier run kept for undoing its change could not be forgotten";
constexpr const wchar_t* foreignTask = L"A task not registered as LocalSystem is registered under the name ";
constexpr const wchar_t* foreignTaskFate = L": it is not kept, and undoing this change deletes it";
constexpr const wchar_t* taskRegistered = L"Startup task registered: ";
constexpr const wchar_t* notFinalPath = L"The install folder is not given as its final path: ";
constexpr const wchar_t* notFinalPathFix = L"; PATH and the event source would name a path that was not checked. "
                                           L"Install to the final path (INSTALLFOLDER)";
constexpr const wchar_t* taskDeleted = L"Startup task deleted: ";
constexpr const wchar_t* taskRestored = L"Startup task registered again as it was before: ";
constexpr const wchar_t* noTaskRestored = L"Startup task deleted, as none was registered before: ";

// The Windows Installer writes the program's path as given (PATH, the event
// source's message file); the check judged the final one. The two must be
// one path, up to the case of its letters, which Windows ignores.
bool samePath(const std::wstring& given, const std::wstring& final)
{
    return given.size() == final.size()
        && std::equal(given.begin(), given.end(), final.begin(),
                      [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); });
}

std::wstring schedulerAnswer(std::int32_t status)
{
    return L"the Task Scheduler answered 0x" + widenAscii(hexCode(status));
}

} // namespace

StartupTaskSetup::StartupTaskSetup(InstallerLog& log, TaskRegistrar& scheduler, KeptTaskStore& store,
                                   ProgramLocator locate)
    : log(log), scheduler(scheduler), store(store), locate(locate)
{}

bool StartupTaskSetup::install(const std::wstring& product, const std::wstring& program, const std::wstring& taskFile)
{
    if (!forgetEarlier(product)) {
        return false;
    }
    // The same lines as --create-xml prints, so that the log says why.
    const ProgramLocation location = locate(program);
    const std::wstring reason = refusalReason(location);
    if (!reason.empty()) {
        logLines(taskFileReportLines(taskFile, false, reason));
        return false;
    }
    // A junction or link in the folder as given could later lead elsewhere,
    // and PATH and the event source would follow it: refused.
    if (!samePath(program, location.path)) {
        log.line(notFinalPath + program + L" leads to " + location.path + notFinalPathFix);
        return false;
    }
    if (!keepRegisteredTask(product)) {
        return false;
    }
    // A file that cannot be written is only a warning: any user may read the
    // task file, and hold it open so that it cannot be replaced.
    const bool written = writeTaskXml(taskFile, location.path);
    logLines(taskFileReportLines(taskFile, written, {}));
    // The text from memory: never the file, which a user could have put there
    // before the check, or held open so that it stayed.
    if (!succeeded(scheduler.registerTask(taskXmlText(location.path)), taskNotRegistered)) {
        return false;
    }
    log.line(taskRegistered + std::wstring(startupTaskName));
    return true;
}

void StartupTaskSetup::undoInstall(const std::wstring& product, const std::wstring& taskFile)
{
    std::optional<KeptTask> kept;
    // Only a run that passed the check kept a task: then the task file lies in
    // a folder that only administrators can change.
    if (!findKeptTask(product, kept)) {
        return;
    }
    // Where no task was registered before, the task file written for the new
    // one goes with it. Otherwise it stays: written for the same program, or,
    // in an upgrade, put back by the rollback of the older version's removal.
    std::error_code error;
    if (!kept->xml && std::filesystem::symlink_status(taskFile, error).type() == std::filesystem::file_type::regular) {
        std::filesystem::remove(taskFile, error);
    }
    restore(product, *kept);
}

bool StartupTaskSetup::remove(const std::wstring& product)
{
    if (!forgetEarlier(product) || !keepRegisteredTask(product) || !succeeded(scheduler.remove(), taskNotDeleted)) {
        return false;
    }
    log.line(taskDeleted + std::wstring(startupTaskName));
    return true;
}

void StartupTaskSetup::undoRemove(const std::wstring& product)
{
    std::optional<KeptTask> kept;
    if (findKeptTask(product, kept)) {
        restore(product, *kept);
    }
}

void StartupTaskSetup::forget(const std::wstring& product)
{
    store.forget(product);
}

bool StartupTaskSetup::forgetEarlier(const std::wstring& product)
{
    if (!store.forget(product)) {
        log.line(keptNotForgotten);
        return false;
    }
    return true;
}

bool StartupTaskSetup::keepRegisteredTask(const std::wstring& product)
{
    std::optional<RegisteredTaskDefinition> found;
    if (!succeeded(scheduler.read(found), taskNotRead)) {
        return false;
    }
    KeptTask kept;
    if (found && found->registeredAsLocalSystem()) {
        kept.xml = found->xml;
    } else if (found) {
        log.line(foreignTask + std::wstring(startupTaskName) + foreignTaskFate);
    }
    if (!store.keep(product, kept)) {
        log.line(taskNotKept);
        return false;
    }
    return true;
}

bool StartupTaskSetup::findKeptTask(const std::wstring& product, std::optional<KeptTask>& kept)
{
    if (!store.find(product, kept)) {
        log.line(keptNotRead);
        return false;
    }
    return kept.has_value();
}

void StartupTaskSetup::restore(const std::wstring& product, const KeptTask& kept)
{
    const bool restored = kept.xml ? succeeded(scheduler.registerTask(*kept.xml), taskNotRegistered)
                                   : succeeded(scheduler.remove(), taskNotDeleted);
    if (restored) {
        log.line((kept.xml ? taskRestored : noTaskRestored) + std::wstring(startupTaskName));
        store.forget(product);
    }
}

void StartupTaskSetup::logLines(const std::vector<std::wstring>& lines)
{
    for (const auto& line : lines) {
        log.line(line);
    }
}

bool StartupTaskSetup::succeeded(std::int32_t status, const std::wstring& failure)
{
    if (status < 0) {
        log.line(failure + schedulerAnswer(status));
        return false;
    }
    return true;
}
