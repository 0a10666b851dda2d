#include "Catalog.h"

using Microsoft::WRL::ComPtr;

namespace simulated_machine::catalog {

namespace {

constexpr CIMTYPE byteArray = CIM_UINT8 | CIM_FLAG_ARRAY;

ComPtr<WbemObject> firmwareClassObject()
{
    auto in = WbemObject::newClass(L"__PARAMETERS", {{L"InData", CIM_OBJECT}});
    auto out = WbemObject::newClass(L"__PARAMETERS", {{L"OutData", CIM_OBJECT}});
    return WbemObject::newClass(std::wstring{firmwareClass}, {{L"InstanceName", CIM_STRING}, {L"Active", CIM_BOOLEAN}},
                                {{std::wstring{firmwareMethod}, in, out}});
}

ComPtr<WbemObject> requestClassObject()
{
    return WbemObject::newClass(std::wstring{requestClass}, {{L"Sign", byteArray},
                                                             {L"Command", CIM_SINT32},
                                                             {L"CommandType", CIM_SINT32},
                                                             {L"Size", CIM_SINT32},
                                                             {L"orvBData", byteArray}});
}

} // namespace

std::optional<Namespace> namespaceNamed(std::wstring_view name)
{
    constexpr std::wstring_view local = LR"(\\.\)";
    if (name.size() > local.size() && sameName(name.substr(0, local.size()), local)) {
        name.remove_prefix(local.size());
    }
    if (sameName(name, LR"(root\cimv2)")) {
        return Namespace::Cimv2;
    }
    if (sameName(name, LR"(root\wmi)")) {
        return Namespace::Wmi;
    }
    return std::nullopt;
}

ComPtr<WbemObject> classObject(Namespace space, std::wstring_view className)
{
    if (space == Namespace::Cimv2 && sameName(className, computerSystemClass)) {
        return WbemObject::newClass(std::wstring{computerSystemClass}, {{L"Model", CIM_STRING}});
    }
    if (space == Namespace::Wmi && sameName(className, firmwareClass)) {
        return firmwareClassObject();
    }
    if (space == Namespace::Wmi && sameName(className, requestClass)) {
        return requestClassObject();
    }
    return nullptr;
}

bool isFirmwareInstancePath(std::wstring_view path)
{
    const std::wstring_view relative = firmwareInstancePath.substr(firmwareInstancePath.find(L':') + 1);
    return sameName(path, firmwareInstancePath) || sameName(path, relative);
}

ComPtr<WbemObject> methodOutput(std::optional<std::int32_t> returnCode)
{
    auto resultClass = returnCode ? WbemObject::newClass(L"orvBDataOut", {{L"rwReturnCode", CIM_SINT32}})
                                  : WbemObject::newClass(L"orvBDataOut", {});
    auto result = resultClass->newInstance();
    if (returnCode) {
        VARIANT code;
        code.vt = VT_I4;
        code.lVal = *returnCode;
        if (FAILED(result->assign(L"rwReturnCode", code))) {
            return nullptr;
        }
    }
    auto output = WbemObject::newClass(L"__PARAMETERS", {{L"OutData", CIM_OBJECT}})->newInstance();
    VARIANT embedded;
    embedded.vt = VT_UNKNOWN;
    embedded.punkVal = static_cast<IWbemClassObject*>(result.Get());
    if (FAILED(output->assign(L"OutData", embedded))) {
        return nullptr;
    }
    return output;
}

} // namespace simulated_machine::catalog
