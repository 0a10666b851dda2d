#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace simulated_machine {

// Owns one VARIANT and clears it when it goes. The program has its own owner
// (ScopedVariant in windows_wrappers/), kept apart on purpose: this is the
// test double that the program's WMI code is tested against, so it uses
// nothing of the program's own code, which a shared fault would then hide on
// both sides; and it must move, to be held in the containers of an object's
// properties, where the program's owner never moves.
class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&value); }
    ~UniqueVariant() { VariantClear(&value); }

    UniqueVariant(UniqueVariant&& other) noexcept : value(other.value) { VariantInit(&other.value); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept
    {
        if (this != &other) {
            VariantClear(&value);
            value = other.value;
            VariantInit(&other.value);
        }
        return *this;
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    const VARIANT& get() const noexcept { return value; }

    // Clears the held value and returns the VARIANT for a function to fill.
    VARIANT* reset() noexcept
    {
        VariantClear(&value);
        return &value;
    }

    HRESULT copyFrom(const VARIANT& source) noexcept
    {
        return VariantCopy(reset(), const_cast<VARIANT*>(&source));
    }

    // Copies into a VARIANT that the caller owns and has not initialised.
    HRESULT copyTo(VARIANT* target) const noexcept
    {
        VariantInit(target);
        return VariantCopy(target, const_cast<VARIANT*>(&value));
    }

    void setNull() noexcept { reset()->vt = VT_NULL; }

private:
    VARIANT value;
};

} // namespace simulated_machine
