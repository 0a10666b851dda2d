#pragma once

#include "ServerObject.h"
#include "UniqueVariant.h"

#include <windows.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simulated_machine {

struct PropertyDeclaration {
    std::wstring name;
    CIMTYPE type;
};

// A WMI class object or instance of the simulated machine: declared
// properties with values, methods on classes, and the system properties
// __CLASS, __GENUS, __PATH and __RELPATH. Names compare without regard to
// case, as in WMI. Put works on instances only, and only for declared
// properties; the order of the puts is kept so that a firmware call can be
// recorded as the caller built it.
class WbemObject final : public IWbemClassObject, private ServerObject {
public:
    struct Method {
        std::wstring name;
        Microsoft::WRL::ComPtr<WbemObject> inSignature;
        Microsoft::WRL::ComPtr<WbemObject> outSignature;
    };

    static Microsoft::WRL::ComPtr<WbemObject> newClass(std::wstring className,
                                                       std::vector<PropertyDeclaration> properties,
                                                       std::vector<Method> methods = {});

    // The simulated object behind a COM pointer, or null for any other object.
    static Microsoft::WRL::ComPtr<WbemObject> from(IUnknown* object);

    Microsoft::WRL::ComPtr<WbemObject> newInstance() const;

    const std::wstring& wmiClassName() const noexcept { return className; }
    void setPath(std::wstring objectPath) { path = std::move(objectPath); }

    // Sets a declared property as the machine itself does: no fault applies
    // and the put order is not touched.
    HRESULT assign(std::wstring_view name, const VARIANT& value);

    // The value of a declared property, or null when there is no such property.
    const VARIANT* value(std::wstring_view name) const;

    // The properties put by the client, in put order, with the names as given.
    std::vector<std::pair<std::wstring, const VARIANT*>> putProperties() const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseReference(); }

    // IWbemClassObject
    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet** qualifiers) override;
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) override;
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE type) override;
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR qualifierName, LONG flags, VARIANT* qualifierValue,
                                       SAFEARRAY** names) override;
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG flags) override;
    HRESULT STDMETHODCALLTYPE Next(LONG flags, BSTR* name, VARIANT* value, CIMTYPE* type, LONG* flavor) override;
    HRESULT STDMETHODCALLTYPE EndEnumeration() override;
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR property, IWbemQualifierSet** qualifiers) override;
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject** copy) override;
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG flags, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG flags, IWbemClassObject** newClass) override;
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG flags, IWbemClassObject** instance) override;
    HRESULT STDMETHODCALLTYPE CompareTo(LONG flags, IWbemClassObject* other) override;
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR name, BSTR* className) override;
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR ancestor) override;
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR name, LONG flags, IWbemClassObject** inSignature,
                                        IWbemClassObject** outSignature) override;
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR name, LONG flags, IWbemClassObject* inSignature,
                                        IWbemClassObject* outSignature) override;
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG flags) override;
    HRESULT STDMETHODCALLTYPE NextMethod(LONG flags, BSTR* name, IWbemClassObject** inSignature,
                                         IWbemClassObject** outSignature) override;
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override;
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR method, IWbemQualifierSet** qualifiers) override;
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR methodName, BSTR* className) override;

private:
    struct Property {
        std::wstring name;
        CIMTYPE type;
        UniqueVariant value;
    };
    struct PutRecord {
        std::wstring nameAsGiven;
        std::size_t property;
    };

    WbemObject(bool isClass, std::wstring className, std::vector<PropertyDeclaration> declarations,
               std::vector<Method> methods);

    Property* find(std::wstring_view name);
    const Property* find(std::wstring_view name) const;
    HRESULT getSystemProperty(std::wstring_view name, VARIANT* value, CIMTYPE* type, LONG* flavor) const;

    const bool isClass;
    const std::wstring className;
    std::optional<std::wstring> path;
    std::vector<Property> properties;
    std::vector<Method> methods;
    std::vector<PutRecord> putOrder;
};

// Case-insensitive comparison, as WMI does for class, property and method names.
bool sameName(std::wstring_view a, std::wstring_view b) noexcept;

} // namespace simulated_machine
