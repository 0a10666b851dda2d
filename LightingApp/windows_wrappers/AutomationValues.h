#pragma once

// Owners for the OLE Automation values that a WMI call passes around, so that
// every string and variant is freed on every way out.

#include <windows.h>
#include <oleauto.h>

#include <new>

class ScopedBstr {
public:
    explicit ScopedBstr(const wchar_t* text) : value(SysAllocString(text))
    {
        if (value == nullptr) {
            throw std::bad_alloc();
        }
    }
    // Empty, to receive a string from an out-parameter.
    ScopedBstr() : value(nullptr) {}
    ~ScopedBstr() { SysFreeString(value); }

    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;

    BSTR get() const { return value; }
    BSTR* receive()
    {
        SysFreeString(value);
        value = nullptr;
        return &value;
    }

private:
    BSTR value;
};

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&value); }
    ~ScopedVariant() { VariantClear(&value); }

    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* get() { return &value; }
    const VARIANT* get() const { return &value; }

private:
    VARIANT value{};
};
