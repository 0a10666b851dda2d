#pragma once

#include <windows.h>

// An open registry key, closed when it goes out of scope.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { reset(); }

    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY get() const { return key; }
    // Closes the key, if one is open.
    void reset()
    {
        if (key != nullptr) {
            RegCloseKey(key);
            key = nullptr;
        }
    }
    // For the out-parameter of RegCreateKeyExW / RegOpenKeyExW: a key still
    // open is closed first, as every owner of a handle here does, so that
    // none is lost.
    HKEY* receive()
    {
        reset();
        return &key;
    }

private:
    HKEY key = nullptr;
};
