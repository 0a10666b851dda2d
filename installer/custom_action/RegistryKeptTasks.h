#pragma once

#include "KeptTaskStore.h"

// Keeps the tasks in the registry, under
// HKLM\SOFTWARE\Orvane\VeltrinLighting\Installer (64-bit view): one REG_SZ
// value a product code, holding the task's definition, or nothing when no
// task was registered. A rollback registers what it finds there as
// LocalSystem, so only administrators and LocalSystem may change it: nobody
// else can create a key below HKLM\SOFTWARE, and the key is created with a
// protected access list for those two alone. The key goes with its last value.
class RegistryKeptTasks final : public KeptTaskStore {
public:
    bool keep(const std::wstring& product, const KeptTask& task) override;
    bool find(const std::wstring& product, std::optional<KeptTask>& kept) override;
    void forget(const std::wstring& product) override;
};
