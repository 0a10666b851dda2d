// The brightness block that setBrightness hands to the firmware channel.

#include "fake_firmware/FakeFirmware.h"
#include "lighting_library/HardwareCommunicatorKestrineTA1.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace KestrineLightingLib;

TEST(BrightnessBlock, CarriesTheLevelClampedTo100InTheLastByte)
{
    struct Case {
        std::uint8_t level;
        std::uint8_t sent;
    };
    HardwareCommunicatorKestrineTA1 communicator;
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{57, 57}, Case{100, 100}, Case{101, 100}, Case{255, 100}}) {
        SCOPED_TRACE(static_cast<int>(c.level));
        fake_firmware::reset();
        ASSERT_TRUE(communicator.setBrightness(c.level));

        ASSERT_EQ(fake_firmware::calls().size(), 1u);
        const auto& call = fake_firmware::calls()[0];
        EXPECT_EQ(call.commandType, 5);
        CommandBlock expected{};
        expected[0] = 3;
        expected[127] = c.sent;
        EXPECT_EQ(call.block, expected);
    }
}

TEST(BrightnessBlock, AFirmwareRefusalIsAFailure)
{
    HardwareCommunicatorKestrineTA1 communicator;
    fake_firmware::reset({false});
    EXPECT_FALSE(communicator.setBrightness(100));
    EXPECT_EQ(fake_firmware::calls().size(), 1u);
}

TEST(BrightnessBlock, ReportsTheFailureAndNoZoneBytes)
{
    HardwareCommunicatorKestrineTA1 communicator;
    fake_firmware::reset({false});
    const FirmwareResult refused = communicator.setBrightnessReporting(100);
    EXPECT_FALSE(refused.accepted);
    ASSERT_TRUE(refused.failure.has_value());
    EXPECT_EQ(refused.failure->returnCode, fake_firmware::refused().returnCode);
    EXPECT_TRUE(refused.failure->executed);
    EXPECT_TRUE(refused.zonesGot.empty()) << "a brightness command carries no zones";

    fake_firmware::reset();
    const FirmwareResult accepted = communicator.setBrightnessReporting(100);
    EXPECT_TRUE(accepted.accepted);
    EXPECT_FALSE(accepted.failure.has_value());
    EXPECT_TRUE(accepted.zonesGot.empty());
}
