#pragma once

// What every firmware call must look like when it reaches the simulated
// machine: the method, the instance it is called on, the security set on the
// connection, and the request record with its exact VARIANT types.

#include "SimulatedMachine.h"
#include "lighting_library/FirmwareChannel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bios_record {

// The object path of the one firmware instance the simulated machine serves.
inline const std::wstring firmwareInstancePath =
    LR"(\\SIMULATED\root\wmi:orvBIntM.InstanceName="ACPI\\PNP0C14\\0_0")";

inline std::vector<std::int64_t> asElements(const KestrineLightingLib::CommandBlock& block)
{
    return {block.begin(), block.end()};
}

inline void expectByteArray(const simulated_machine::RecordedProperty& property,
                            const std::vector<std::int64_t>& bytes)
{
    EXPECT_EQ(property.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(property.dimensions, 1u);
    EXPECT_EQ(property.lowerBound, 0);
    EXPECT_EQ(property.count, static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(property.elements.has_value());
    EXPECT_EQ(*property.elements, bytes);
}

inline void expectInt32(const simulated_machine::RecordedProperty& property, std::int64_t value)
{
    EXPECT_EQ(property.vt, VT_I4);
    EXPECT_EQ(property.value, value);
}

// The whole call, field by field.
inline void expectFirmwareCall(const simulated_machine::RecordedCall& call, std::int32_t commandType,
                               const KestrineLightingLib::CommandBlock& block)
{
    EXPECT_EQ(call.nameSpace, L"root\\wmi");
    EXPECT_EQ(call.method, L"orvBIOSInt0");
    EXPECT_EQ(call.path, firmwareInstancePath);
    EXPECT_EQ(call.flags, 0);

    ASSERT_TRUE(call.blanket.has_value()) << "no proxy blanket was set";
    EXPECT_EQ(call.blanket->authn, static_cast<std::uint32_t>(RPC_C_AUTHN_WINNT));
    EXPECT_EQ(call.blanket->authz, static_cast<std::uint32_t>(RPC_C_AUTHZ_NONE));
    EXPECT_FALSE(call.blanket->principal);
    EXPECT_EQ(call.blanket->authnLevel, static_cast<std::uint32_t>(RPC_C_AUTHN_LEVEL_CALL));
    EXPECT_EQ(call.blanket->impLevel, static_cast<std::uint32_t>(RPC_C_IMP_LEVEL_IMPERSONATE));
    EXPECT_FALSE(call.blanket->identity);
    EXPECT_EQ(call.blanket->capabilities, static_cast<std::uint32_t>(EOAC_NONE));

    EXPECT_EQ(call.inDataType, VT_UNKNOWN);
    EXPECT_EQ(call.inDataClass, L"orvBDataIn");
    ASSERT_EQ(call.properties.size(), 5u);
    EXPECT_EQ(call.properties[0].name, L"Sign");
    expectByteArray(call.properties[0], {0x53, 0x45, 0x43, 0x55});
    EXPECT_EQ(call.properties[1].name, L"Command");
    expectInt32(call.properties[1], 0x20009);
    EXPECT_EQ(call.properties[2].name, L"CommandType");
    expectInt32(call.properties[2], commandType);
    EXPECT_EQ(call.properties[3].name, L"Size");
    expectInt32(call.properties[3], 128);
    EXPECT_EQ(call.properties[4].name, L"orvBData");
    expectByteArray(call.properties[4], asElements(block));
}

} // namespace bios_record
