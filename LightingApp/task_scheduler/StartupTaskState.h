#pragma once

#include <cstdint>
#include <string>

// The name under which the startup task is registered, in the root folder.
inline constexpr const wchar_t* startupTaskName = L"OrvaneVRVeltrinLightingUtilityStartup";

// What the Task Scheduler says about the startup task.
struct StartupTaskState {
    enum class Registration { NotRegistered, Registered, Unknown };
    Registration registration = Registration::Unknown;
    // Registered: the program it runs; empty when that could not be read.
    std::wstring program;
    // Unknown: the status of the failed question.
    std::int32_t error = 0;
};
