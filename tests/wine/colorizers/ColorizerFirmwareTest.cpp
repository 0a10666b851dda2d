// Both colorizers driving the real firmware channel, checked against what the
// simulated machine recorded.

#include "SimulatedMachine.h"
#include "colorizers/GenOneColorizer.h"
#include "colorizers/GenTwoColorizer.h"
#include "lighting_library/BiosRecordExpectations.h"

#include <gtest/gtest.h>
#include <wbemcli.h>

#include <cstdint>
#include <vector>

using KestrineLightingLib::CommandBlock;
using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;

namespace {

CommandBlock blockOf(std::vector<std::uint8_t> leadingBytes)
{
    CommandBlock block{};
    for (std::size_t i = 0; i < leadingBytes.size(); ++i) {
        block[i] = leadingBytes[i];
    }
    return block;
}

CommandBlock fullBrightnessBlock()
{
    CommandBlock block{};
    block[0] = 3;
    block[127] = 100;
    return block;
}

} // namespace

TEST(GenTwoColorizerOnFirmware, SendsRedLogoAndHalfBlueLightBar)
{
    SimulatedMachineCase machine;
    GenTwoColorizer colorizer;

    EXPECT_TRUE(colorizer.setColors({Color(255, 0, 0), Color(0, 0, 127)}));

    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 1u);
    bios_record::expectFirmwareCall(calls[0], 3, blockOf({3, 255, 0, 0, 0, 0, 127}));
}

TEST(GenTwoColorizerOnFirmware, WithoutTheFirmwareInterfaceNothingIsSentAndTheColoursStay)
{
    SimulatedMachineCase machine;
    machine.fail(Step::WmiGetClass, WBEM_E_INVALID_CLASS);
    GenTwoColorizer colorizer;

    EXPECT_FALSE(colorizer.setColors({Color(1, 2, 3), Color(4, 5, 6)}));

    EXPECT_TRUE(machine.calls().empty());
    EXPECT_EQ(colorizer.getColor(0), Color(1, 2, 3));
    EXPECT_EQ(colorizer.getColor(1), Color(4, 5, 6));
}

TEST(GenOneColorizerOnFirmware, SetDefaultSendsFullBrightnessThenTheLuminosityBlock)
{
    SimulatedMachineCase machine;
    GenOneColorizer colorizer;

    EXPECT_TRUE(colorizer.setDefault());

    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 2u);
    bios_record::expectFirmwareCall(calls[0], 5, fullBrightnessBlock());
    bios_record::expectFirmwareCall(calls[1], 3, blockOf({3, 255, 254, 255, 255, 254, 255}));
}

TEST(GenOneColorizerOnFirmware, SetDefaultSendsBothBlocksEvenWhenTheFirmwareRefuses)
{
    SimulatedMachineCase machine;
    machine.returnCode(1);
    GenOneColorizer colorizer;

    EXPECT_FALSE(colorizer.setDefault());

    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].commandType(), 5);
    EXPECT_EQ(calls[1].commandType(), 3);
}
