#include "settings/RegistryController.h"

#include "settings/RegistryKey.h"
#include "settings/StoredColors.h"

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLighting\\";

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

bool openKey(HKEY root, REGSAM access, RegistryKey& key)
{
    return RegOpenKeyExW(root, keyPath, 0, access, key.receive()) == ERROR_SUCCESS;
}

struct StoredValue {
    LSTATUS status;
    DWORD type;
    DWORD data;
};

// Reads at most four bytes: a longer value fails with ERROR_MORE_DATA.
StoredValue queryValue(HKEY key, std::size_t index)
{
    StoredValue value{ERROR_SUCCESS, REG_NONE, 0};
    DWORD size = sizeof(value.data);
    value.status = RegQueryValueExW(key, valueNames[index].data(), nullptr, &value.type,
                                    reinterpret_cast<BYTE*>(&value.data), &size);
    return value;
}

bool writeValue(HKEY key, std::size_t index, DWORD data)
{
    return RegSetValueExW(key, valueNames[index].data(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data))
        == ERROR_SUCCESS;
}

} // namespace

RegistryController::RegistryController() : RegistryController(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) {}

RegistryController::RegistryController(HKEY machineRoot, HKEY userRoot) : machineRoot(machineRoot), userRoot(userRoot)
{}

bool RegistryController::hasStoredColors() const
{
    return checkStoredColors(machineRoot) || checkStoredColors(userRoot) || completeSetReadable(machineRoot);
}

bool RegistryController::checkStoredColors(HKEY root)
{
    RegistryKey key;
    if (!createKey(root, key)) {
        return false;
    }
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (queryValue(key.get(), i).status != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

bool RegistryController::readCompleteSet(HKEY root, std::vector<std::uint8_t>& values)
{
    RegistryKey key;
    if (!openKey(root, readAccess, key)) {
        return false;
    }
    std::vector<std::uint8_t> read(storedValueCount);
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue value = queryValue(key.get(), i);
        if (value.status != ERROR_SUCCESS || value.type != REG_DWORD) {
            return false;
        }
        read[i] = vectorEntryFromStored(i, value.data);
    }
    values = read;
    return true;
}

bool RegistryController::completeSetReadable(HKEY root)
{
    std::vector<std::uint8_t> unused;
    return readCompleteSet(root, unused);
}

std::optional<std::vector<std::uint8_t>> RegistryController::peekStoredColors(Root root) const
{
    std::vector<std::uint8_t> values;
    if (!readCompleteSet(root == Root::Machine ? machineRoot : userRoot, values)) {
        return std::nullopt;
    }
    return values;
}

bool RegistryController::ensureDefaults(HKEY root) const
{
    RegistryKey key;
    if (!createKey(root, key)) {
        return false;
    }
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue value = queryValue(key.get(), i);
        if (value.status == ERROR_SUCCESS) {
            continue;
        }
        // A REG_DWORD that cannot be read is left alone and the root refused;
        // a missing value, or an oversized one of another type, is replaced.
        if (value.status != ERROR_FILE_NOT_FOUND && value.type == REG_DWORD) {
            return false;
        }
        if (!writeValue(key.get(), i, defaultStoredValue(i))) {
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

HKEY RegistryController::chooseReadRoot() const
{
    if (ensureDefaults(machineRoot)) {
        return machineRoot;
    }
    // Looked at before the user root is filled with defaults.
    const bool userSetComplete = checkStoredColors(userRoot);
    if (!ensureDefaults(userRoot)) {
        return nullptr;
    }
    if (!userSetComplete && completeSetReadable(machineRoot)) {
        return machineRoot;
    }
    return userRoot;
}

bool RegistryController::readColors(std::vector<std::uint8_t>& colors) const
{
    if (colors.size() < storedValueCount) {
        return false;
    }
    const HKEY root = chooseReadRoot();
    RegistryKey key;
    if (root == nullptr || !openKey(root, readAccess, key)) {
        return false;
    }
    bool anyTaken = false;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const StoredValue value = queryValue(key.get(), i);
        if (value.status == ERROR_SUCCESS && value.type == REG_DWORD) {
            colors[i] = vectorEntryFromStored(i, value.data);
            anyTaken = true;
        }
    }
    return anyTaken;
}

bool RegistryController::writeColors(const std::vector<std::uint8_t>& colors) const
{
    const HKEY root = chooseRoot();
    if (root == nullptr || colors.size() != storedValueCount) {
        return false;
    }
    RegistryKey key;
    if (!openKey(root, writeAccess, key)) {
        return false;
    }
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        if (!writeValue(key.get(), i, colors[i])) {
            return false;
        }
    }
    return true;
}
