#include "lighting_library/HardwareCommunicatorKestrineTA1.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

using KestrineLightingLib::HardwareCommunicatorKestrineTA1;

TEST(ToHardwareCommand, MapsTheFourCommandValues)
{
    struct Case {
        std::int32_t command;
        std::uint8_t byte;
    };
    const HardwareCommunicatorKestrineTA1 communicator;
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{4, 5}}) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(communicator.toHardwareCommand(c.command), c.byte);
    }
}

TEST(ToHardwareCommand, RefusesEveryOtherValue)
{
    const HardwareCommunicatorKestrineTA1 communicator;
    for (const std::int32_t command :
         {0, 5, -1, 99, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        SCOPED_TRACE(command);
        try {
            communicator.toHardwareCommand(command);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(),
                         "An invalid command value was requested. See documentation for valid values.");
        }
    }
}
