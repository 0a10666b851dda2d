#pragma once

#include "colorizers/ZoneColors.h"
#include "settings/RestorePlan.h"
#include "settings/StoredSet.h"

#include <windows.h>

#include <cstdint>
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

    // What a run without arguments starts from (see planRestore), carried
    // out: the keys are created and the chosen root's missing values written
    // on the way. The plan's vector is the stored set merged into
    // modelDefaults.
    RestorePlan restorePlan(const ZoneValues& modelDefaults) const;
    // True only when all eight values were written.
    bool writeColors(const std::vector<std::uint8_t>& colors) const;

    // A root's colours key as restorePlan would find it, read without
    // creating or writing anything. Whether the process may write there is
    // asked of the key's (or, when it is missing, of the nearest existing
    // parent's) security, not tried.
    enum class Root { Machine, User };
    StoredSet storedSet(Root root) const;

    // The root whose colours key keeps the record of a run (see
    // run_record/LastRun.h): the one a run stores colours to, read only; under
    // a policy, which stores nothing, the machine root when this process may
    // write it, else the user root. nullptr when the run stores nowhere.
    HKEY recordRoot(bool underPolicy) const;

private:
    bool ensureDefaults(HKEY root) const;
    // The root to write: the machine root when its values can be made
    // complete, else the user root; nullptr when neither can.
    HKEY chooseRoot() const;

    HKEY machineRoot;
    HKEY userRoot;
};

// LocalSystem's own colours key (under HKEY_USERS\S-1-5-18), which the
// startup task's runs use as their user root, read only; writable, as it is
// for LocalSystem. error is ERROR_SUCCESS, or why the key could not be read
// (a user without administrator rights may not).
StoredSet localSystemUserSet(LSTATUS& error);
