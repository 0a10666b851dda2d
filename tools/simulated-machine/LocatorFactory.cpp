#include "LocatorFactory.h"

#include "Locator.h"
#include "Settings.h"

namespace simulated_machine {

namespace {

// WbemLocator, which the model query uses.
constexpr CLSID locatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// WbemAdministrativeLocator, which the firmware call uses.
constexpr CLSID administrativeLocatorClass = {0xCB8555CC, 0x9128, 0x11D1, {0xAD, 0x9B, 0x00, 0xC0, 0x4F, 0xD8, 0xFD, 0xFF}};

// VELTRIN_SIM_LOAD_LIBRARY: creating a locator loads the DLL of that bare name,
// as WMI's own machinery loads its helpers, so that a test can see where the
// program's process looks for DLLs. One that is not found fails the creation.
HRESULT loadConfiguredLibrary()
{
    const auto name = settings::variable(L"LOAD_LIBRARY");
    if (!name || name->empty()) {
        return S_OK;
    }
    const HMODULE library = LoadLibraryW(name->c_str());
    if (library == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    FreeLibrary(library);
    return S_OK;
}

} // namespace

IClassFactory* LocatorFactory::forClass(REFCLSID clsid)
{
    if (clsid == locatorClass) {
        return new (std::nothrow) LocatorFactory(L"CIMV2_LOCATOR");
    }
    if (clsid == administrativeLocatorClass) {
        return new (std::nothrow) LocatorFactory(L"WMI_LOCATOR");
    }
    return nullptr;
}

HRESULT LocatorFactory::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT LocatorFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return guarded([&] {
        const HRESULT loaded = loadConfiguredLibrary();
        if (FAILED(loaded)) {
            return loaded;
        }
        const HRESULT status = settings::fault(creationStep);
        if (FAILED(status)) {
            return status;
        }
        const HRESULT found = Locator::create()->QueryInterface(riid, object);
        return FAILED(found) ? found : status;
    });
}

HRESULT LocatorFactory::LockServer(BOOL lock)
{
    lockServer(lock != FALSE);
    return S_OK;
}

} // namespace simulated_machine
