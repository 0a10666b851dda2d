#pragma once

#include "KeptTaskStore.h"

// Keeps the tasks in the registry, under
// HKLM\SOFTWARE\Orvane\VeltrinLightingSetup (64-bit view): one REG_SZ value
// a product code, holding the task's definition, or nothing when no task was
// kept. A rollback registers what it finds there as LocalSystem, so only
// administrators and LocalSystem may change it. The key is not below the
// colours key HKLM\SOFTWARE\Orvane\VeltrinLighting, which an administrator
// may open to users (to let them set the boot colours) and whose rights its
// subkeys would inherit. It is created owned by Administrators with a
// protected access list for those two alone, and every open checks that it
// still is so (an existing key keeps the descriptor it has, whoever made
// it): a key that is not fails each call. The key goes with its last value.
class RegistryKeptTasks final : public KeptTaskStore {
public:
    bool keep(const std::wstring& product, const KeptTask& task) override;
    bool find(const std::wstring& product, std::optional<KeptTask>& kept) override;
    bool forget(const std::wstring& product) override;
};
