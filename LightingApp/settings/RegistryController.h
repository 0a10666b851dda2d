#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Keeps the zone colour vector as eight REG_DWORD values under
// "SOFTWARE\Orvane\VeltrinLighting\" in the registry's 64-bit view: in
// HKEY_LOCAL_MACHINE when this process may write there, else in
// HKEY_CURRENT_USER. Missing values are created with defaults on first use.
class RegistryController {
public:
    RegistryController();
    // For tests: other keys in place of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
    RegistryController(HKEY machineRoot, HKEY userRoot);
    virtual ~RegistryController() = default;

    // Entries for which a REG_DWORD value is stored are overwritten with it.
    // True when at least one value was taken.
    bool readColors(std::vector<std::uint8_t>& colors) const;
    // True only when all eight values were written.
    bool writeColors(const std::vector<std::uint8_t>& colors) const;

    // All eight values were present, under the machine root or else the user root.
    bool hasStoredColors;

private:
    // Static: the constructor calls it while initialising its members, and it
    // needs nothing but the root it is given.
    static bool checkStoredColors(HKEY root);
    bool ensureDefaults(HKEY root) const;
    // The root to read and write: the machine root when its values can be
    // made complete, else the user root; nullptr when neither can.
    HKEY chooseRoot() const;

    HKEY machineRoot;
    HKEY userRoot;
};
