#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

// Keeps the zone colour vector as eight REG_DWORD values under
// "SOFTWARE\Orvane\VeltrinLighting\" in the registry's 64-bit view: in
// HKEY_LOCAL_MACHINE when this process may write there, else in
// HKEY_CURRENT_USER. Missing values are created with defaults on first use.
//
// A process that may not write the machine key and has no complete set of its
// own reads the machine key's set: a user starts from the colours the
// administrator stored, and keeps what they set in their own key.
//
// Nothing is looked up at construction: every call reads the registry as it
// is then, so that a caller holding the request lock sees what the previous
// run stored.
class RegistryController {
public:
    RegistryController();
    // For tests: other keys in place of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
    RegistryController(HKEY machineRoot, HKEY userRoot);
    virtual ~RegistryController() = default;

    // Whether a complete set of the eight values is stored: under the machine
    // root, else under the user root, else (read only) under the machine root.
    bool hasStoredColors() const;

    // Entries for which a REG_DWORD value is stored are overwritten with it.
    // True when at least one value was taken.
    bool readColors(std::vector<std::uint8_t>& colors) const;
    // True only when all eight values were written.
    bool writeColors(const std::vector<std::uint8_t>& colors) const;

    // The complete set of REG_DWORD values under the machine or the user
    // root, read without creating or writing anything; nothing when the set
    // is not complete.
    enum class Root { Machine, User };
    std::optional<std::vector<std::uint8_t>> peekStoredColors(Root root) const;

private:
    static bool checkStoredColors(HKEY root);
    // True when root holds all eight values as REG_DWORD; fills values then.
    static bool readCompleteSet(HKEY root, std::vector<std::uint8_t>& values);
    static bool completeSetReadable(HKEY root);
    bool ensureDefaults(HKEY root) const;
    // The root to read and write: the machine root when its values can be
    // made complete, else the user root; nullptr when neither can.
    HKEY chooseRoot() const;
    // The root to read from: the chosen root, or the machine root when the
    // chosen one is the user root and held no complete set of its own.
    HKEY chooseReadRoot() const;

    HKEY machineRoot;
    HKEY userRoot;
};
