#pragma once

#include <cstdint>

// Registering the startup task deletes any task of its name and then creates
// it (TASK_CREATE), so that nothing of an earlier task stays. Between the two
// a user may register a task under the free name in the root folder, and the
// create then fails with ERROR_ALREADY_EXISTS: the pair is tried again, a
// bounded number of times, so that a user has to win every gap to keep the
// name. Header only and portable: statuses are HRESULTs as 32-bit integers.

inline constexpr std::int32_t taskNameTaken = static_cast<std::int32_t>(0x800700B7U);
inline constexpr int deleteThenCreateAttempts = 8;

// remove() and create() return a status, negative when they failed. The
// first failure of remove(), or create()'s status when it is anything but
// taskNameTaken, ends the tries; after the last try, taskNameTaken.
template <class Remove, class Create>
std::int32_t deleteThenCreate(Remove remove, Create create, int attempts = deleteThenCreateAttempts)
{
    std::int32_t result = taskNameTaken;
    for (int attempt = 0; attempt < attempts && result == taskNameTaken; ++attempt) {
        const std::int32_t removed = remove();
        if (removed < 0) {
            return removed;
        }
        result = create();
    }
    return result;
}
