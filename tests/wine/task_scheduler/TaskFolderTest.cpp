#include "task_scheduler/TaskFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Only "no such task" and "no such folder" mean that nothing is registered
// under the name (status: not registered; a delete: nothing to do); any
// other answer, a refusal above all, leaves it unknown.
TEST(TaskFolder, OnlyAMissingTaskOrFolderIsNotFound)
{
    struct Case {
        const char* name;
        HRESULT result;
        bool notFound;
    };
    const Case cases[] = {
        {"ERROR_FILE_NOT_FOUND", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), true},
        {"ERROR_PATH_NOT_FOUND", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), true},
        {"S_OK", S_OK, false},
        {"S_FALSE", S_FALSE, false},
        {"ERROR_FILE_NOT_FOUND as a plain Win32 code", ERROR_FILE_NOT_FOUND, false},
        {"ERROR_INVALID_FUNCTION", HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION), false},
        {"ERROR_TOO_MANY_OPEN_FILES", HRESULT_FROM_WIN32(ERROR_TOO_MANY_OPEN_FILES), false},
        {"E_ACCESSDENIED", E_ACCESSDENIED, false},
        {"ERROR_ALREADY_EXISTS", HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS), false},
        {"SCHED_E_SERVICE_NOT_RUNNING", static_cast<HRESULT>(0x80041315U), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isTaskNotFound(c.result), c.notFound);
    }
}

} // namespace
