#pragma once

#include <optional>
#include <string>

// What a deferred action found registered before it changed the startup
// task.
struct KeptTask {
    // The registered task's definition, or nothing when none was registered
    // or the one registered was not registered as LocalSystem (which a
    // rollback then deletes).
    std::optional<std::wstring> xml;
};

// Where a deferred action leaves the task it found for its rollback action,
// which learns nothing from the run but the data fixed when the installation
// script was made. Kept per product code, so that the removal of an older
// product during an upgrade and the installation of the newer one each undo
// their own change. Each call fails when the store is not as only
// administrators and LocalSystem can have made it.
class KeptTaskStore {
public:
    virtual ~KeptTaskStore() = default;
    virtual bool keep(const std::wstring& product, const KeptTask& task) = 0;
    // False when the store could not be read; kept is empty when nothing is
    // kept for the product.
    virtual bool find(const std::wstring& product, std::optional<KeptTask>& kept) = 0;
    // False when the store could not be opened or changed.
    virtual bool forget(const std::wstring& product) = 0;

protected:
    KeptTaskStore() = default;
    KeptTaskStore(const KeptTaskStore&) = default;
    KeptTaskStore& operator=(const KeptTaskStore&) = default;
};
