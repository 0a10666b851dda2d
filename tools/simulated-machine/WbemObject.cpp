#include "WbemObject.h"

#include "Settings.h"
#include "Status.h"

#include <cwctype>

using Microsoft::WRL::ComPtr;

namespace simulated_machine {

namespace {

// Asked for by WbemObject::from: only the simulated objects answer it, with
// their own IWbemClassObject pointer. Never leaves the DLL.
constexpr IID IID_SimulatedObject = {0x8c13a688, 0x26c1, 0x4398, {0x9b, 0x82, 0x8a, 0xa5, 0xf7, 0xa6, 0xe0, 0xa8}};

HRESULT putString(VARIANT* target, std::wstring_view text)
{
    VariantInit(target);
    target->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (target->bstrVal == nullptr) {
        return E_OUTOFMEMORY;
    }
    target->vt = VT_BSTR;
    return S_OK;
}

std::wstring upperCase(std::wstring_view name)
{
    std::wstring upper{name};
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return upper;
}

} // namespace

bool sameName(std::wstring_view a, std::wstring_view b) noexcept
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

WbemObject::WbemObject(bool classObject, std::wstring name, std::vector<PropertyDeclaration> declarations,
                       std::vector<Method> classMethods)
    : isClass(classObject), className(std::move(name)), methods(std::move(classMethods))
{
    properties.reserve(declarations.size());
    for (auto& declaration : declarations) {
        Property property{std::move(declaration.name), declaration.type, {}};
        property.value.setNull();
        properties.push_back(std::move(property));
    }
}

ComPtr<WbemObject> WbemObject::newClass(std::wstring name, std::vector<PropertyDeclaration> declarations,
                                        std::vector<Method> classMethods)
{
    return adopt(new WbemObject(true, std::move(name), std::move(declarations), std::move(classMethods)));
}

ComPtr<WbemObject> WbemObject::from(IUnknown* object)
{
    IWbemClassObject* raw = nullptr;
    if (object == nullptr || FAILED(object->QueryInterface(IID_SimulatedObject, reinterpret_cast<void**>(&raw)))) {
        return nullptr;
    }
    return adopt(static_cast<WbemObject*>(raw));
}

ComPtr<WbemObject> WbemObject::newInstance() const
{
    std::vector<PropertyDeclaration> declarations;
    declarations.reserve(properties.size());
    for (const auto& property : properties) {
        declarations.push_back({property.name, property.type});
    }
    return adopt(new WbemObject(false, className, std::move(declarations), {}));
}

WbemObject::Property* WbemObject::find(std::wstring_view name)
{
    for (auto& property : properties) {
        if (sameName(property.name, name)) {
            return &property;
        }
    }
    return nullptr;
}

const WbemObject::Property* WbemObject::find(std::wstring_view name) const
{
    return const_cast<WbemObject*>(this)->find(name);
}

HRESULT WbemObject::assign(std::wstring_view name, const VARIANT& value)
{
    Property* property = find(name);
    return property == nullptr ? errorNotFound : property->value.copyFrom(value);
}

const VARIANT* WbemObject::value(std::wstring_view name) const
{
    const Property* property = find(name);
    return property == nullptr ? nullptr : &property->value.get();
}

std::vector<std::pair<std::wstring, const VARIANT*>> WbemObject::putProperties() const
{
    std::vector<std::pair<std::wstring, const VARIANT*>> result;
    result.reserve(putOrder.size());
    for (const auto& put : putOrder) {
        result.emplace_back(put.nameAsGiven, &properties[put.property].value.get());
    }
    return result;
}

HRESULT WbemObject::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IWbemClassObject || riid == IID_SimulatedObject) {
        *object = static_cast<IWbemClassObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT WbemObject::getSystemProperty(std::wstring_view name, VARIANT* value, CIMTYPE* type, LONG* flavor) const
{
    UniqueVariant result;
    CIMTYPE cimType = CIM_STRING;
    HRESULT status = S_OK;
    if (sameName(name, L"__CLASS")) {
        status = putString(result.reset(), className);
    } else if (sameName(name, L"__GENUS")) {
        cimType = CIM_SINT32;
        VARIANT* genus = result.reset();
        genus->vt = VT_I4;
        genus->lVal = isClass ? WBEM_GENUS_CLASS : WBEM_GENUS_INSTANCE;
    } else if (sameName(name, L"__PATH") || sameName(name, L"__RELPATH")) {
        if (!path) {
            result.setNull();
        } else {
            std::wstring_view text = *path;
            // The relative path is what follows the namespace part.
            if (sameName(name, L"__RELPATH")) {
                text = text.substr(text.find(L':') + 1);
            }
            status = putString(result.reset(), text);
        }
    } else {
        return errorNotFound;
    }
    if (FAILED(status)) {
        return status;
    }
    if (type != nullptr) {
        *type = cimType;
    }
    if (flavor != nullptr) {
        *flavor = WBEM_FLAVOR_ORIGIN_SYSTEM;
    }
    return value == nullptr ? S_OK : result.copyTo(value);
}

HRESULT WbemObject::Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor)
{
    if (name == nullptr || flags != 0) {
        return errorInvalidParameter;
    }
    return guarded([&] {
        if (std::wstring_view{name}.starts_with(L"__")) {
            return getSystemProperty(name, value, type, flavor);
        }
        if (!isClass && sameName(name, L"OutData")) {
            // Reading the firmware method's answer, after the call went through.
            const HRESULT status = settings::fault(L"WMI_OUT_DATA");
            if (FAILED(status)) {
                return status;
            }
        }
        const Property* property = find(name);
        if (property == nullptr) {
            return errorNotFound;
        }
        if (type != nullptr) {
            *type = property->type;
        }
        if (flavor != nullptr) {
            *flavor = isClass ? WBEM_FLAVOR_ORIGIN_LOCAL : WBEM_FLAVOR_ORIGIN_PROPAGATED;
        }
        return value == nullptr ? S_OK : property->value.copyTo(value);
    });
}

HRESULT WbemObject::Put(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE)
{
    if (name == nullptr || flags != 0) {
        return errorInvalidParameter;
    }
    return guarded([&] {
        const std::wstring_view given{name};
        // The fault is looked up before anything else: a failing put stores nothing.
        const HRESULT status = settings::fault(L"PUT_" + upperCase(given));
        if (FAILED(status)) {
            return status;
        }
        if (isClass) {
            return errorInvalidOperation;
        }
        if (given.starts_with(L"__")) {
            return errorReadOnly;
        }
        Property* property = find(given);
        if (property == nullptr) {
            return errorNotFound;
        }
        if (value == nullptr) {
            property->value.setNull();
        } else if (const HRESULT copied = property->value.copyFrom(*value); FAILED(copied)) {
            return copied;
        }
        const auto index = static_cast<std::size_t>(property - properties.data());
        for (auto& put : putOrder) {
            if (put.property == index) {
                put.nameAsGiven = given;
                return status;
            }
        }
        putOrder.push_back({std::wstring{given}, index});
        return status;
    });
}

HRESULT WbemObject::SpawnInstance(LONG flags, IWbemClassObject** instance)
{
    if (instance == nullptr || flags != 0) {
        return errorInvalidParameter;
    }
    *instance = nullptr;
    if (!isClass) {
        return errorInvalidOperation;
    }
    return guarded([&] {
        *instance = newInstance().Detach();
        return S_OK;
    });
}

HRESULT WbemObject::GetMethod(LPCWSTR name, LONG flags, IWbemClassObject** inSignature,
                              IWbemClassObject** outSignature)
{
    if (inSignature != nullptr) {
        *inSignature = nullptr;
    }
    if (outSignature != nullptr) {
        *outSignature = nullptr;
    }
    if (name == nullptr || flags != 0) {
        return errorInvalidParameter;
    }
    for (const auto& method : methods) {
        if (sameName(method.name, name)) {
            if (inSignature != nullptr && method.inSignature) {
                *inSignature = ComPtr<IWbemClassObject>(method.inSignature).Detach();
            }
            if (outSignature != nullptr && method.outSignature) {
                *outSignature = ComPtr<IWbemClassObject>(method.outSignature).Detach();
            }
            return S_OK;
        }
    }
    return errorNotFound;
}

// What the program does not use is not simulated.
HRESULT WbemObject::GetQualifierSet(IWbemQualifierSet**) { return errorNotSupported; }
HRESULT WbemObject::Delete(LPCWSTR) { return errorNotSupported; }
HRESULT WbemObject::GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) { return errorNotSupported; }
HRESULT WbemObject::BeginEnumeration(LONG) { return errorNotSupported; }
HRESULT WbemObject::Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) { return errorNotSupported; }
HRESULT WbemObject::EndEnumeration() { return errorNotSupported; }
HRESULT WbemObject::GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) { return errorNotSupported; }
HRESULT WbemObject::Clone(IWbemClassObject**) { return errorNotSupported; }
HRESULT WbemObject::GetObjectText(LONG, BSTR*) { return errorNotSupported; }
HRESULT WbemObject::SpawnDerivedClass(LONG, IWbemClassObject**) { return errorNotSupported; }
HRESULT WbemObject::CompareTo(LONG, IWbemClassObject*) { return errorNotSupported; }
HRESULT WbemObject::GetPropertyOrigin(LPCWSTR, BSTR*) { return errorNotSupported; }
HRESULT WbemObject::InheritsFrom(LPCWSTR) { return errorNotSupported; }
HRESULT WbemObject::PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) { return errorNotSupported; }
HRESULT WbemObject::DeleteMethod(LPCWSTR) { return errorNotSupported; }
HRESULT WbemObject::BeginMethodEnumeration(LONG) { return errorNotSupported; }
HRESULT WbemObject::NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) { return errorNotSupported; }
HRESULT WbemObject::EndMethodEnumeration() { return errorNotSupported; }
HRESULT WbemObject::GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) { return errorNotSupported; }
HRESULT WbemObject::GetMethodOrigin(LPCWSTR, BSTR*) { return errorNotSupported; }

} // namespace simulated_machine
