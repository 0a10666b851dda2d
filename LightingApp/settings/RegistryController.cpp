#include "settings/RegistryController.h"

#include "settings/RegistryKey.h"
#include "settings/RegistryValue.h"
#include "settings/StoredColors.h"

#include <array>

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLighting\\";
// The key's parents, nearest first, down to the root itself.
constexpr std::array<const wchar_t*, 3> parentPaths = {L"SOFTWARE\\Orvane", L"SOFTWARE", L""};
constexpr const wchar_t* localSystemKeyPath = L"S-1-5-18\\SOFTWARE\\Orvane\\VeltrinLighting\\";

constexpr REGSAM checkAccess = KEY_READ | KEY_SET_VALUE | KEY_WOW64_64KEY;
constexpr REGSAM writeAccess = KEY_SET_VALUE | KEY_WOW64_64KEY;
constexpr REGSAM readAccess = KEY_READ | KEY_WOW64_64KEY;

// Opens the key, creating it when missing.
bool createKey(HKEY root, RegistryKey& key)
{
    return RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, checkAccess, nullptr, key.receive(),
                           nullptr)
        == ERROR_SUCCESS;
}

LSTATUS openKey(HKEY root, const wchar_t* path, REGSAM access, RegistryKey& key)
{
    return RegOpenKeyExW(root, path, 0, access, key.receive());
}

// Whether createKey would succeed, asked without creating anything.
bool mayCreate(HKEY root)
{
    RegistryKey key;
    const LSTATUS opened = openKey(root, keyPath, checkAccess, key);
    if (opened != ERROR_FILE_NOT_FOUND) {
        return opened == ERROR_SUCCESS;
    }
    for (const wchar_t* parent : parentPaths) {
        RegistryKey parentKey;
        const LSTATUS status = openKey(root, parent, KEY_CREATE_SUB_KEY | KEY_WOW64_64KEY, parentKey);
        if (status != ERROR_FILE_NOT_FOUND) {
            return status == ERROR_SUCCESS;
        }
    }
    return false;
}

// The values of an open key (none when key is null).
StoredSet readSet(HKEY key, bool writable)
{
    StoredSet set;
    set.writable = writable;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        set.values[i] = readStoredValue(key, valueNames[i].data());
    }
    return set;
}

bool writeValue(HKEY key, std::size_t index, DWORD data)
{
    return RegSetValueExW(key, valueNames[index].data(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data))
        == ERROR_SUCCESS;
}

// The set as a run finds it: the key is created where this process may.
StoredSet setForRun(HKEY root)
{
    RegistryKey key;
    if (createKey(root, key)) {
        return readSet(key.get(), true);
    }
    RegistryKey readOnly;
    openKey(root, keyPath, readAccess, readOnly);
    return readSet(readOnly.get(), false);
}

} // namespace

RegistryController::RegistryController() : RegistryController(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) {}

RegistryController::RegistryController(HKEY machineRoot, HKEY userRoot) : machineRoot(machineRoot), userRoot(userRoot)
{}

RestorePlan RegistryController::restorePlan(const ZoneValues& modelDefaults) const
{
    StoredSet machine = setForRun(machineRoot);
    StoredSet user = setForRun(userRoot);
    RestorePlan plan = planRestore(machine, user, modelDefaults);
    // A root whose missing values cannot be written after all is passed
    // over, as one this process may not write.
    if (plan.completes == StoredRoot::Machine && !ensureDefaults(machineRoot)) {
        machine.writable = false;
        plan = planRestore(machine, user, modelDefaults);
    }
    if (plan.completes == StoredRoot::User && !ensureDefaults(userRoot)) {
        user.writable = false;
        plan = planRestore(machine, user, modelDefaults);
    }
    return plan;
}

StoredSet RegistryController::storedSet(Root root) const
{
    const HKEY rootHandle = root == Root::Machine ? machineRoot : userRoot;
    RegistryKey key;
    openKey(rootHandle, keyPath, readAccess, key);
    return readSet(key.get(), mayCreate(rootHandle));
}

HKEY RegistryController::recordRoot(bool underPolicy) const
{
    const StoredSet machine = storedSet(Root::Machine);
    if (underPolicy) {
        return machine.writable ? machineRoot : userRoot;
    }
    switch (planRestore(machine, storedSet(Root::User), {}).stores) {
    case StoredRoot::Machine:
        return machineRoot;
    case StoredRoot::User:
        return userRoot;
    case StoredRoot::None:
        break;
    }
    return nullptr;
}

bool RegistryController::ensureDefaults(HKEY root) const
{
    RegistryKey key;
    if (!createKey(root, key)) {
        return false;
    }
    // The same rule as the plan's: a key that holds a REG_DWORD too long to
    // read is refused before anything is written to it.
    const StoredSet set = readSet(key.get(), true);
    if (!canBeCompleted(set)) {
        return false;
    }
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (fateOf(set.values[i]) == ValueFate::DefaultWritten && !writeValue(key.get(), i, defaultStoredValue(i))) {
            return false;
        }
    }
    return true;
}

HKEY RegistryController::chooseRoot() const
{
    if (ensureDefaults(machineRoot)) {
        return machineRoot;
    }
    if (ensureDefaults(userRoot)) {
        return userRoot;
    }
    return nullptr;
}

bool RegistryController::writeColors(const std::vector<std::uint8_t>& colors) const
{
    const HKEY root = chooseRoot();
    if (root == nullptr || colors.size() != storedValueCount) {
        return false;
    }
    RegistryKey key;
    if (openKey(root, keyPath, writeAccess, key) != ERROR_SUCCESS) {
        return false;
    }
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (!writeValue(key.get(), i, colors[i])) {
            return false;
        }
    }
    return true;
}

StoredSet localSystemUserSet(LSTATUS& error)
{
    RegistryKey key;
    error = openKey(HKEY_USERS, localSystemKeyPath, readAccess, key);
    if (error == ERROR_FILE_NOT_FOUND) {
        error = ERROR_SUCCESS;
    }
    return readSet(key.get(), true);
}
